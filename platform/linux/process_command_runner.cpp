#include "platform/linux/process_command_runner.h"

#include "platform/cancel_token.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
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

// Starts the program in a process group of its own (so that ending it ends whatever it started as
// well), standard input from /dev/null and standard output to `outFd` when that is set; 0 when it
// could not be started.
pid_t Spawn(const std::vector<std::string>& args, int outFd)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? child : 0;
}

// Ends the child's process group, politely first, and reaps the child.
void EndGroup(pid_t child)
{
    int status = 0;
    ::kill(-child, SIGTERM);
    if (!WaitUntil(child, Clock::now() + std::chrono::seconds(1), status)) {
        ::kill(-child, SIGKILL);
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

// posix_spawnp reports a program it could not run as exit code 127.
int ExitCode(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : CommandRunner::kNotStarted;
}

} // namespace

int CommandRunner::RunForOutput(const std::vector<std::string>& args, std::chrono::milliseconds timeout,
                                std::string& output, const CancelToken* /*cancel*/)
{
    output.clear();
    return Run(args, timeout);
}

int ProcessCommandRunner::Run(const std::vector<std::string>& args, std::chrono::milliseconds timeout)
{
    if (args.empty())
        return kNotStarted;
    const pid_t child = Spawn(args, -1);
    if (!child)
        return kNotStarted;
    int status = 0;
    if (!WaitUntil(child, Clock::now() + timeout, status)) {
        EndGroup(child);
        return kTimedOut;
    }
    return ExitCode(status);
}

int ProcessCommandRunner::RunForOutput(const std::vector<std::string>& args,
                                       std::chrono::milliseconds timeout, std::string& output,
                                       const CancelToken* cancel)
{
    output.clear();
    if (args.empty())
        return kNotStarted;
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return kNotStarted;
    const pid_t child = Spawn(args, out[1]);
    ::close(out[1]);
    if (!child) {
        ::close(out[0]);
        return kNotStarted;
    }
    // A raised token wakes the wait below at once.
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    CancelToken::Registration registration;
    if (cancel && wake >= 0)
        registration = cancel->OnCancel([wake] {
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t n = ::write(wake, &one, sizeof one);
        });
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    const auto deadline = Clock::now() + timeout;
    int result = kNotStarted;
    bool reading = true;
    bool ended = false;
    int status = 0;
    while (true) {
        if (cancel && cancel->IsCancelled()) {
            result = kCancelled;
            break;
        }
        if (!reading) {
            const pid_t done = ::waitpid(child, &status, WNOHANG);
            if (done == child) {
                ended = true;
                result = ExitCode(status);
                break;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            result = kTimedOut;
            break;
        }
        pollfd fds[3];
        nfds_t count = 0;
        if (reading)
            fds[count++] = {out[0], POLLIN, 0};
        if (wake >= 0)
            fds[count++] = {wake, POLLIN, 0};
        if (!reading && pidfd >= 0)
            fds[count++] = {pidfd, POLLIN, 0};
        // Without a pidfd (kernels before 5.3) the end of the child is looked for every 10 ms.
        const long long most = !reading && pidfd < 0 ? 10 : 60'000;
        if (::poll(fds, count, static_cast<int>(std::min<long long>(left.count() + 1, most))) < 0 &&
            errno != EINTR)
            break;
        if (reading && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buffer[4096];
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n > 0) {
                output.append(buffer, static_cast<size_t>(n));
                if (output.size() > kMaxOutputBytes) {
                    output.clear();
                    result = kNotStarted;
                    break;
                }
            } else if (n == 0 || errno != EINTR) {
                reading = false;
            }
        }
    }
    if (!ended)
        EndGroup(child);
    if (pidfd >= 0)
        ::close(pidfd);
    ::close(out[0]);
    registration = CancelToken::Registration();
    if (wake >= 0)
        ::close(wake);
    if (result < 0)
        output.clear();
    return result;
}
