#include "platform/linux/pkexec_rule_installer.h"

#include <unistd.h>

std::vector<std::string> PkexecRuleInstaller::CommandLine() const
{
    // The rule file's path goes in as an argument, never into the script's text.
    std::string script = "set -e; PATH=/usr/sbin:/usr/bin:/sbin:/bin; "
                         "install -m 0644 \"$1\" ";
    script += kInstalledRule;
    script += "; printf 'uinput\\n' > ";
    script += kModulesFile;
    script += "; modprobe uinput || true; "
              "udevadm control --reload-rules; "
              "udevadm trigger --action=change --subsystem-match=misc --subsystem-match=input; "
              "udevadm settle --timeout=10 || true";
    return {"pkexec", "/bin/sh", "-c", script, "torvik-rule-install", m_ruleFile};
}

bool PkexecRuleInstaller::Install()
{
    if (::access(m_ruleFile.c_str(), R_OK) != 0)
        return false;
    return m_runner.Run(CommandLine(), kTimeout) == 0;
}
