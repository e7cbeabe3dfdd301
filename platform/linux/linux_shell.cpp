#include "platform/linux/linux_shell.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <linux/close_range.h>

#include "core/native_path.h"

namespace {

// How long to wait for the started program's exec to be confirmed.
constexpr int kExecConfirmTimeoutMs = 5000;

std::string FindOnPath(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return ::access(name.c_str(), X_OK) == 0 ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string_view rest = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        std::string candidate;
        candidate.append(folder.empty() ? std::string_view(".") : folder).append("/").append(name);
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos)
            return {};
        rest.remove_prefix(colon + 1);
    }
}

// Runs argv[0] (a path) in a grandchild in its own session, so it outlives us and never becomes our
// zombie. A close-on-exec pipe tells whether the exec itself succeeded. Between fork and exec only
// async-signal-safe calls are made: other threads may hold locks.
bool SpawnDetached(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            if (grandchild < 0) {
                const int error = errno;
                (void)!::write(report[1], &error, sizeof error);
            }
            ::_exit(0);
        }
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0 && null != STDIN_FILENO) {
            ::dup2(null, STDIN_FILENO);
            ::close(null);
        }
        // Our sockets and files are none of the started program's business.
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        ::execv(argv[0], argv.data());
        const int error = errno;
        (void)!::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    pollfd wait{report[0], POLLIN, 0};
    int error = 0;
    bool started = true;
    if (::poll(&wait, 1, kExecConfirmTimeoutMs) > 0) {
        ssize_t got;
        while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
        started = got == 0;
    }
    ::close(report[0]);
    return started;
}

} // namespace

LinuxShell::LinuxShell(std::string opener) : m_opener(std::move(opener)) {}

bool LinuxShell::OpenAddress(const CString& address)
{
    // The scheme check also keeps an address from reading as an option of the opener.
    if (!IsOpenableAddress(address))
        return false;
    const std::string opener = FindOnPath(m_opener);
    if (opener.empty())
        return false;
    return SpawnDetached({opener, WideToUtf8(address)});
}

bool LinuxShell::StartProgram(const CString& path)
{
    std::string file = NativePath(path);
    struct stat st {};
    if (file.empty() || ::stat(file.c_str(), &st) != 0)
        return false;
    if (file.find('/') == std::string::npos)
        file.insert(0, "./");
    if (S_ISREG(st.st_mode) && ::access(file.c_str(), X_OK) == 0)
        return SpawnDetached({file});
    const std::string opener = FindOnPath(m_opener);
    if (opener.empty())
        return false;
    return SpawnDetached({opener, file});
}
