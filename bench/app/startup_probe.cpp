// Measures a start of the program as a user sees it, on the X display in DISPLAY:
//   - time from starting the process to its main window being mapped (median of several starts);
//   - resident memory 5 s after the window was mapped;
//   - CPU time used over 30 s while the window sits idle.
// Usage: startup_probe <program> [runs] [settle seconds] [idle seconds] [-- program arguments...]
// Every start gets fresh data, configuration and runtime folders, so no earlier run is found running.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Started {
    pid_t pid = -1;
    double mappedMs = -1;
};

fs::path FreshFolder()
{
    char pattern[] = "/tmp/torvik-probe-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    return made ? fs::path(made) : fs::path();
}

// The process's window: a top-level window whose pid property is the child's, or whose name starts
// with the program's (Xvfb without a window manager reports no pid for our windows).
bool IsProgramWindow(Display* display, Window window)
{
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name)
        return false;
    const bool simulated = std::strstr(name, "(simulated)") != nullptr;
    XFree(name);
    return simulated;
}

Started StartAndWaitForMap(Display* display, const std::string& program, const std::vector<std::string>& args,
                           const fs::path& folder)
{
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);

    Started started;
    const Clock::time_point begin = Clock::now();
    started.pid = ::fork();
    if (started.pid == 0) {
        ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (folder / "run").c_str(), 1);
        fs::create_directories(folder / "run");
        // The simulated run's terminal is none of the measurement's business.
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        std::perror("execv");
        ::_exit(127);
    }
    const Clock::time_point deadline = begin + std::chrono::seconds(20);
    const int fd = ConnectionNumber(display);
    while (Clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && IsProgramWindow(display, event.xmap.window)) {
                started.mappedMs = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
                XSelectInput(display, DefaultRootWindow(display), NoEventMask);
                return started;
            }
        }
        pollfd wait{fd, POLLIN, 0};
        ::poll(&wait, 1, 50);
    }
    return started;
}

void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

long ResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Time on a CPU of every thread of the process, in nanoseconds (the scheduler's own count, far finer
// than the clock ticks of /proc/<pid>/stat). Threads that ended are left out: none should while idle.
long long CpuNanoseconds(pid_t pid)
{
    long long total = 0;
    std::error_code error;
    for (const fs::directory_entry& task :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        long long onCpu = 0;
        if (schedstat >> onCpu)
            total += onCpu;
    }
    return total;
}

// Threads of the process now.
size_t ThreadCount(pid_t pid)
{
    std::error_code error;
    size_t count = 0;
    for (auto it = fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error);
         it != fs::directory_iterator(); ++it)
        ++count;
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_probe <program> [runs] [settle s] [idle s] [-- args...]\n");
        return 2;
    }
    const std::string program = argv[1];
    int runs = 5;
    int settle = 5;
    int idle = 30;
    std::vector<std::string> args{"--simulate"};
    int i = 2;
    for (int* value : {&runs, &settle, &idle}) {
        if (i < argc && std::strcmp(argv[i], "--") != 0)
            *value = std::max(1, std::atoi(argv[i++]));
    }
    if (i < argc && std::strcmp(argv[i], "--") == 0) {
        args.assign(argv + i + 1, argv + argc);
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup_probe: cannot open the display\n");
        return 1;
    }

    std::vector<double> starts;
    Started last;
    fs::path lastFolder;
    for (int run = 0; run < runs; ++run) {
        const fs::path folder = FreshFolder();
        const Started started = StartAndWaitForMap(display, program, args, folder);
        if (started.mappedMs < 0) {
            std::fprintf(stderr, "startup_probe: the window was not mapped within 20 s\n");
            Stop(started.pid);
            fs::remove_all(folder);
            return 1;
        }
        starts.push_back(started.mappedMs);
        if (run + 1 < runs) {
            Stop(started.pid);
            fs::remove_all(folder);
        } else {
            last = started;
            lastFolder = folder;
        }
    }
    std::sort(starts.begin(), starts.end());
    const double median = starts[starts.size() / 2];

    std::this_thread::sleep_for(std::chrono::seconds(settle));
    const long rss = ResidentKiB(last.pid);
    const size_t threads = ThreadCount(last.pid);
    const long long before = CpuNanoseconds(last.pid);
    const Clock::time_point idleStart = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(idle));
    const long long after = CpuNanoseconds(last.pid);
    const double seconds = std::chrono::duration<double>(Clock::now() - idleStart).count();
    const double cpuPercent = 100.0 * static_cast<double>(after - before) / (1e9 * seconds);
    Stop(last.pid);
    fs::remove_all(lastFolder);
    XCloseDisplay(display);

    std::printf("start to window mapped: %.1f ms (median of %d; min %.1f, max %.1f)   target <= 120 ms\n",
                median, runs, starts.front(), starts.back());
    std::printf("resident memory %d s after mapping: %.1f MiB   target <= 45 MiB\n", settle,
                static_cast<double>(rss) / 1024.0);
    std::printf("CPU over %d s idle: %.4f %% of a core (%.2f ms on a CPU, %zu threads)   target <= 0.05 %%\n",
                idle, cpuPercent, static_cast<double>(after - before) / 1e6, threads);
    return 0;
}
