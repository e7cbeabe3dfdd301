#pragma once
// A server program that a test runs for itself (a sound server, an X server): started without a shell,
// ended with the object (SIGTERM, then SIGKILL after two seconds).

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Runs argv[0] (looked up in PATH) with the environment plus `environment` ("NAME=value"); its output
    // goes nowhere. `inheritedFd`, when not -1, stays open in the server. False when it cannot start.
    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {},
               int inheritedFd = -1);
    // Polls `ready` until it holds (true), the server dies or the time runs out (false).
    bool WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds timeout);
    bool IsAlive();
    void Kill(int signal);
    void Stop();

private:
    pid_t m_pid = -1;
};

// Whether a program of that name is on the PATH.
bool ProgramExists(const std::string& name);
