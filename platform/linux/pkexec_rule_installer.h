#pragma once
// Installs the installation's udev rules with administrator rights through pkexec (the desktop asks for
// the password): the rules file goes to /etc/udev/rules.d, the uinput module is loaded now and, through
// modules-load.d, at every start, and udev applies the rules to the devices present.
//
// The copy in /etc has a name of its own: under the packaged file's name it would mask that file, and a
// keyboard a later package adds would stay without access.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/command_runner.h"
#include "platform/driver_installer.h"

class PkexecRuleInstaller : public DriverInstaller {
public:
    // The files, in the application folder (the build makes the rules from config.xml).
    static constexpr const char* kRuleFile = "udev/70-torvik.rules";
    static constexpr const char* kModulesFile = "udev/torvik-uinput.conf";
    static constexpr const char* kInstalledRule = "/etc/udev/rules.d/70-torvik-keyboards.rules";
    static constexpr const char* kInstalledModules = "/etc/modules-load.d/torvik-uinput.conf";
    // Long enough to type a password, not forever.
    static constexpr std::chrono::minutes kTimeout{5};

    // `appFolder`: the application folder, where kRuleFile and kModulesFile are found.
    PkexecRuleInstaller(const std::filesystem::path& appFolder, CommandRunner& runner);

    bool Install() override;

    // The command line Install runs.
    std::vector<std::string> CommandLine() const;

private:
    std::string m_ruleFile;
    std::string m_modulesFile;
    CommandRunner& m_runner;
};
