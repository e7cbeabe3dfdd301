#pragma once

#include <string>

#include "platform/shell.h"

class LinuxShell final : public Shell {
public:
    // `opener` opens files that are not programs; a bare name is looked up on PATH.
    explicit LinuxShell(std::string opener = "xdg-open");

    bool StartProgram(const CString& path) override;
    bool OpenAddress(const CString& address) override;

private:
    std::string m_opener;
};
