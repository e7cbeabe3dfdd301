#pragma once
// Records what would have been started. Like the real shell it only starts files that exist, unless a
// result is forced.

#include <mutex>
#include <optional>
#include <vector>

#include "platform/shell.h"

class FakeShell final : public Shell {
public:
    bool StartProgram(const CString& path) override;
    // Recorded when the real shell would try to open it.
    bool OpenAddress(const CString& address) override;

    void ForceResult(std::optional<bool> result);
    std::vector<CString> StartedPrograms() const;
    std::vector<CString> OpenedAddresses() const;

private:
    mutable std::mutex m_lock;
    std::vector<CString> m_started;
    std::vector<CString> m_opened;
    std::optional<bool> m_forced;
};
