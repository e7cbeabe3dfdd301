#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/scoped_folders.h"

namespace {

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The rule gives the seat's user every keyboard of the installation and uinput.
TEST(UdevRule, CoversUinputAndEveryKeyboardOfTheConfiguration)
{
    const std::string rule = ReadFile(BuildBinDir() / "udev" / "70-torvik-keyboards.rules");
    ASSERT_FALSE(rule.empty());
    EXPECT_NE(rule.find("KERNEL==\"uinput\", SUBSYSTEM==\"misc\", TAG+=\"uaccess\""), std::string::npos);

    const std::string config = ReadFile(BuildBinDir() / "config.xml");
    size_t modes = 0;
    for (size_t at = config.find("<mode "); at != std::string::npos; at = config.find("<mode ", at + 1)) {
        const auto attribute = [&](const std::string& name) {
            const size_t start = config.find(name + "=\"0x", at) + name.size() + 4;
            return config.substr(start, 4);
        };
        std::string vid = attribute("vid"), pid = attribute("pid");
        for (char& c : vid)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (char& c : pid)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const std::string line = "SUBSYSTEM==\"input\", KERNEL==\"event*\", ATTRS{modalias}==\"input:b*v" +
                                 vid + "p" + pid + "e*\", TAG+=\"uaccess\"";
        EXPECT_NE(rule.find(line), std::string::npos) << vid << ":" << pid;
        ++modes;
    }
    EXPECT_GT(modes, 0u);
}

} // namespace
