#include "platform/fake/fake_shell.h"

#include "core/folders.h"

bool FakeShell::StartProgram(const CString& path)
{
    const std::lock_guard lock(m_lock);
    const bool started = m_forced.value_or(PathExists(path));
    if (started)
        m_started.push_back(path);
    return started;
}

void FakeShell::ForceResult(std::optional<bool> result)
{
    const std::lock_guard lock(m_lock);
    m_forced = result;
}

std::vector<CString> FakeShell::StartedPrograms() const
{
    const std::lock_guard lock(m_lock);
    return m_started;
}

bool FakeShell::OpenAddress(const CString& address)
{
    const std::lock_guard lock(m_lock);
    const bool opened = m_forced.value_or(IsOpenableAddress(address));
    if (opened)
        m_opened.push_back(address);
    return opened;
}

std::vector<CString> FakeShell::OpenedAddresses() const
{
    const std::lock_guard lock(m_lock);
    return m_opened;
}
