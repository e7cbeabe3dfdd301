#include "tests/platform/private_bus.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

PrivateBus::PrivateBus()
{
    const std::string config = (m_folder.Path() / "bus.conf").string();
    WriteFileBytes(config,
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig>\n"
                   "  <type>session</type>\n"
                   "  <listen>unix:dir=" +
                       m_folder.Path().string() +
                       "</listen>\n"
                       "  <auth>EXTERNAL</auth>\n"
                       "  <policy context=\"default\">\n"
                       "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                       "    <allow eavesdrop=\"true\"/>\n"
                       "    <allow own=\"*\"/>\n"
                       "  </policy>\n"
                       "</busconfig>\n");
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return;
    const std::string configArg = "--config-file=" + config;
    const char* argv[] = {"dbus-daemon", configArg.c_str(), "--nofork", "--print-address=1", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    // Its complaints about resource limits it may not raise are of no interest here.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned =
        ::posix_spawnp(&m_daemon, "dbus-daemon", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (spawned != 0) {
        m_daemon = 0;
        ::close(pipe[0]);
        return;
    }
    // The daemon prints its address once it listens.
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{pipe[0], POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(pipe[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipe[0]);
    if (const size_t end = line.find('\n'); end != std::string::npos)
        m_address = line.substr(0, end);
}

PrivateBus::~PrivateBus()
{
    if (m_daemon <= 0)
        return;
    ::kill(m_daemon, SIGTERM);
    int status = 0;
    ::waitpid(m_daemon, &status, 0);
}
