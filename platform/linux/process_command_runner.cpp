#include "platform/linux/process_command_runner.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Waits until the child has ended or the deadline passed; true when it ended (status filled in).
bool WaitUntil(pid_t child, Clock::time_point deadline, int& status)
{
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    while (true) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) {
            if (pidfd >= 0)
                ::close(pidfd);
            return done == child;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            if (pidfd >= 0)
                ::close(pidfd);
            return false;
        }
        if (pidfd >= 0) {
            pollfd p{pidfd, POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count() + 1, 60'000)));
        } else {
            // Kernels before 5.3: look again a little later.
            std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(10)));
        }
    }
}

} // namespace

int ProcessCommandRunner::Run(const std::vector<std::string>& args, std::chrono::milliseconds timeout)
{
    if (args.empty())
        return kNotStarted;
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // Its own process group, so that an overrun ends whatever it started as well.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return kNotStarted;

    int status = 0;
    if (!WaitUntil(child, Clock::now() + timeout, status)) {
        ::kill(-child, SIGTERM);
        if (!WaitUntil(child, Clock::now() + std::chrono::seconds(1), status)) {
            ::kill(-child, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }
        return kTimedOut;
    }
    // posix_spawnp reports a program it could not run as exit code 127.
    return WIFEXITED(status) ? WEXITSTATUS(status) : kNotStarted;
}
