#pragma once
// Installs the software keys' udev rule with administrator rights through pkexec (the desktop asks for
// the password): the rule file goes to /etc/udev/rules.d, the uinput module is loaded now and at every
// start, and udev applies the rule to the devices present.

#include <chrono>
#include <string>
#include <vector>

#include "platform/command_runner.h"
#include "platform/driver_installer.h"

class PkexecRuleInstaller : public DriverInstaller {
public:
    static constexpr const char* kInstalledRule = "/etc/udev/rules.d/70-torvik-keyboards.rules";
    static constexpr const char* kModulesFile = "/etc/modules-load.d/torvik-uinput.conf";
    // Long enough to type a password, not forever.
    static constexpr std::chrono::minutes kTimeout{5};

    // `ruleFile`: the installation's rule file (native path).
    PkexecRuleInstaller(std::string ruleFile, CommandRunner& runner)
        : m_ruleFile(std::move(ruleFile)), m_runner(runner)
    {
    }

    bool Install() override;

    // The command line Install runs.
    std::vector<std::string> CommandLine() const;

private:
    std::string m_ruleFile;
    CommandRunner& m_runner;
};
