#include "platform/linux/pkexec_rule_installer.h"

#include <unistd.h>

PkexecRuleInstaller::PkexecRuleInstaller(const std::filesystem::path& appFolder, CommandRunner& runner)
    : m_ruleFile((appFolder / kRuleFile).string()), m_modulesFile((appFolder / kModulesFile).string()),
      m_runner(runner)
{
}

std::vector<std::string> PkexecRuleInstaller::CommandLine() const
{
    // The files' paths go in as arguments, never into the script's text. hidraw is triggered too: the
    // rules grant the keyboards' HID interfaces as well, which an installation outside udev's folders
    // has no other way to get.
    std::string script = "set -e; PATH=/usr/sbin:/usr/bin:/sbin:/bin; "
                         "install -D -m 0644 \"$1\" ";
    script += kInstalledRule;
    script += "; install -D -m 0644 \"$2\" ";
    script += kInstalledModules;
    script += "; modprobe uinput || true; "
              "udevadm control --reload-rules; "
              "udevadm trigger --action=change --subsystem-match=hidraw --subsystem-match=input "
              "--subsystem-match=misc; "
              "udevadm settle --timeout=10 || true";
    return {"pkexec", "/bin/sh", "-c", script, "torvik-rule-install", m_ruleFile, m_modulesFile};
}

bool PkexecRuleInstaller::Install()
{
    if (::access(m_ruleFile.c_str(), R_OK) != 0 || ::access(m_modulesFile.c_str(), R_OK) != 0)
        return false;
    return m_runner.Run(CommandLine(), kTimeout) == 0;
}
