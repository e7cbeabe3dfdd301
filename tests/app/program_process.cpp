#include "tests/app/program_process.h"

#include <cairo.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

ProgramProcess::ProgramProcess(const std::string& program, const std::vector<std::string>& arguments,
                               const Environment& environment)
{
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return;
    m_pid = ::fork();
    if (m_pid == 0) {
        for (const auto& [name, value] : environment) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(out[1], STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    m_outFd = out[0];
    ::fcntl(m_outFd, F_SETFL, O_NONBLOCK);
}

ProgramProcess::~ProgramProcess()
{
    Terminate();
    if (m_outFd >= 0)
        ::close(m_outFd);
}

void ProgramProcess::Drain()
{
    char buffer[4096];
    ssize_t got;
    while (m_outFd >= 0 && (got = ::read(m_outFd, buffer, sizeof buffer)) > 0)
        m_output.append(buffer, static_cast<size_t>(got));
}

std::optional<int> ProgramProcess::Wait(std::chrono::milliseconds timeout)
{
    if (m_status || m_pid <= 0)
        return m_status;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        Drain();
        int status = 0;
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            Drain();
            m_pid = -1;
            if (WIFEXITED(status))
                m_status = WEXITSTATUS(status);
            return m_status;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        pollfd wait{m_outFd, POLLIN, 0};
        ::poll(&wait, 1, 20);
    }
}

bool ProgramProcess::IsRunning()
{
    return !Wait(std::chrono::milliseconds(0)) && m_pid > 0;
}

void ProgramProcess::Terminate()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    if (!Wait(std::chrono::seconds(5)) && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

std::string TorvikProgram()
{
    return TORVIK_PROGRAM;
}

bool WaitForFile(const std::filesystem::path& file, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!std::filesystem::exists(file)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

PngSummary SummarisePng(const std::filesystem::path& file)
{
    PngSummary summary;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(file.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        summary.width = cairo_image_surface_get_width(surface);
        summary.height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        std::set<uint32_t> values;
        for (int y = 0; y < summary.height; y += 3) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
            for (int x = 0; x < summary.width; x += 3)
                values.insert(row[x]);
        }
        summary.distinctPixels = values.size();
    }
    cairo_surface_destroy(surface);
    return summary;
}
