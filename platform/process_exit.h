#pragma once
// Ends the process at once, as the program does after handing over to an installer: no windows are
// closed and no destructors run. Only the in-memory backend returns (it records the request).

class ProcessExit {
public:
    virtual ~ProcessExit() = default;

    virtual void ExitNow(int exitCode) = 0;
};
