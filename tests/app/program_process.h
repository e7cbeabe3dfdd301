#pragma once
// Runs the program (or a peer built on its entry) as a separate process, the way a user starts it.

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

class ProgramProcess {
public:
    // Environment changes on top of the test's own: a value sets, nullopt removes.
    using Environment = std::map<std::string, std::optional<std::string>>;

    ProgramProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const Environment& environment);
    ~ProgramProcess(); // ends the process if it still runs
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // The exit status once it ended within the time; nullopt when it still runs (or was killed).
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    bool IsRunning();
    void Terminate();
    // Everything written to standard output and error so far (after Wait).
    const std::string& Output() const { return m_output; }

private:
    void Drain();

    pid_t m_pid = -1;
    int m_outFd = -1;
    std::optional<int> m_status;
    std::string m_output;
};

// The built program.
std::string TorvikProgram();

// Waits until a file exists; false after the time-out.
bool WaitForFile(const std::filesystem::path& file, std::chrono::milliseconds timeout);

// A PNG's size and how many different pixel values it holds; {0, 0, 0} when it does not load.
struct PngSummary {
    int width = 0;
    int height = 0;
    size_t distinctPixels = 0;
};
PngSummary SummarisePng(const std::filesystem::path& file);
