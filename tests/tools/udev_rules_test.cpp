// The udev rules made from config.xml: every keyboard mode gets access to its hidraw and input event
// nodes, uinput is granted once, and nothing taken from the file can add a rule of its own.

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <sstream>
#include <string_view>

#include "device/device_description.h"
#include "platform/linux/pkexec_rule_installer.h"
#include "tests/support/scoped_folders.h"
#include "tools/udev/udev_rules.h"

namespace {

using Pair = std::pair<int, int>;

DeviceRecord Model(const CString& name, int type)
{
    DeviceRecord model;
    model.name = name;
    model.deviceType = type;
    return model;
}

DeviceRecord Mode(int type, int vid, int pid, const CString& desc = L"Cable")
{
    DeviceRecord mode;
    mode.deviceType = type;
    mode.vendorId = vid;
    mode.productId = pid;
    mode.description = desc;
    return mode;
}

// "XXXX" of four upper-case hexadecimal digits, as the kernel writes them; -1 otherwise.
int KernelHex(std::string_view text)
{
    if (text.size() != 4)
        return -1;
    int value = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            value = value * 16 + (c - '0');
        else if (c >= 'A' && c <= 'F')
            value = value * 16 + (c - 'A' + 10);
        else
            return -1;
    }
    return value;
}

// The rule lines, sorted by what they grant; fails the test on any line that is neither a comment nor
// one of the three well-formed rules.
struct ParsedRules {
    std::vector<Pair> hidraw; // by HID device name
    std::vector<Pair> event;  // by input modalias
    int uinput = 0;
};

// "<head>VVVV<separator>PPPP<tail>" -> the pair; nullopt for any other shape.
std::optional<Pair> PairBetween(std::string_view rule, std::string_view head, char separator,
                                std::string_view tail)
{
    if (!rule.starts_with(head) || !rule.ends_with(tail) || rule.size() != head.size() + 9 + tail.size() ||
        rule[head.size() + 4] != separator)
        return std::nullopt;
    const int vid = KernelHex(rule.substr(head.size(), 4));
    const int pid = KernelHex(rule.substr(head.size() + 5, 4));
    if (vid < 0 || pid < 0)
        return std::nullopt;
    return Pair{vid, pid};
}

ParsedRules Parse(const std::string& text)
{
    ParsedRules parsed;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        if (auto pair =
                PairBetween(line, R"(SUBSYSTEM=="hidraw", KERNELS=="*:)", ':', R"(.*", TAG+="uaccess")"))
            parsed.hidraw.push_back(*pair);
        else if (auto pair =
                     PairBetween(line, R"(SUBSYSTEM=="input", KERNEL=="event*", ATTRS{modalias}=="input:b*v)",
                                 'p', R"(e*", TAG+="uaccess")"))
            parsed.event.push_back(*pair);
        else if (line ==
                 R"(KERNEL=="uinput", SUBSYSTEM=="misc", TAG+="uaccess", OPTIONS+="static_node=uinput")")
            ++parsed.uinput;
        else
            ADD_FAILURE() << "not a rule of ours: " << line;
    }
    return parsed;
}

} // namespace

TEST(UdevRules, ShippedConfigGrantsEveryMode)
{
    const DeviceDescription description =
        LoadDeviceDescription(Utf8ToWide((BuildBinDir() / "config.xml").string()));
    ASSERT_FALSE(description.modes.empty());
    const UdevRules rules = MakeUdevRules(description);
    ASSERT_EQ(rules.error, "");

    std::set<Pair> expected;
    for (const DeviceRecord& mode : description.modes)
        expected.insert({mode.vendorId, mode.productId});
    const ParsedRules parsed = Parse(rules.text);
    EXPECT_EQ(std::set<Pair>(parsed.hidraw.begin(), parsed.hidraw.end()), expected);
    EXPECT_EQ(parsed.hidraw.size(), expected.size()) << "one rule per pair";
    EXPECT_EQ(parsed.event, parsed.hidraw);
    EXPECT_EQ(parsed.uinput, 1);
}

// The program offers the file in its folder when the software keys find no access: it must be the one
// made from the folder's own config.xml, and where the installer looks.
TEST(UdevRules, TheApplicationFolderHoldsTheRulesOfItsConfig)
{
    const UdevRules rules =
        MakeUdevRules(LoadDeviceDescription(Utf8ToWide((BuildBinDir() / "config.xml").string())));
    ASSERT_EQ(rules.error, "");
    EXPECT_EQ(ReadFileBytes(BuildBinDir() / PkexecRuleInstaller::kRuleFile), rules.text);
    std::vector<std::string> modules;
    std::istringstream lines(ReadFileBytes(BuildBinDir() / PkexecRuleInstaller::kModulesFile));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != '#')
            modules.push_back(line);
    }
    EXPECT_EQ(modules, std::vector<std::string>{"uinput"});
}

TEST(UdevRules, RulesInDocumentOrderOnePerPairInKernelHex)
{
    DeviceDescription description;
    description.models = {Model(L"Wireless", 201), Model(L"Other", 101)};
    description.modes = {Mode(201, 0x04d9, 0xa0f1), Mode(201, 0x04d9, 0xA0F2, L"Receiver"),
                         Mode(101, 0x1209, 0x0004), Mode(101, 0x04D9, 0xa0f1, L"same pair again")};
    const UdevRules rules = MakeUdevRules(description);
    ASSERT_EQ(rules.error, "");
    const ParsedRules parsed = Parse(rules.text);
    const std::vector<Pair> pairs{{0x04D9, 0xA0F1}, {0x04D9, 0xA0F2}, {0x1209, 0x0004}};
    EXPECT_EQ(parsed.hidraw, pairs);
    EXPECT_EQ(parsed.event, pairs);
    EXPECT_EQ(parsed.uinput, 1);
    for (const char* text : {"KERNELS==\"*:04D9:A0F1.*\"", "ATTRS{modalias}==\"input:b*v04D9pA0F1e*\"",
                             "# Wireless, Receiver\n", "# Other, Cable\n"})
        EXPECT_NE(rules.text.find(text), std::string::npos) << text << " in\n" << rules.text;
}

TEST(UdevRules, NamesWithLineBreaksStayInsideTheirComment)
{
    DeviceDescription description;
    description.models = {Model(L"Z5\nSUBSYSTEM==\"usb\", MODE=\"0666\"", 201)};
    description.modes = {Mode(201, 0x1209, 0x0001, L"Cable\r\nRUN+=\"/bin/sh\"")};
    const UdevRules rules = MakeUdevRules(description);
    ASSERT_EQ(rules.error, "");
    // Parse fails on any line that is not a comment or one of our rules.
    const ParsedRules parsed = Parse(rules.text);
    EXPECT_EQ(parsed.hidraw, (std::vector<Pair>{{0x1209, 0x0001}}));
    EXPECT_EQ(parsed.event, parsed.hidraw);
}

TEST(UdevRules, ModesNoRuleCanMatchFailTheBuild)
{
    struct Case {
        const char* what;
        std::vector<DeviceRecord> modes;
        const char* error;
    };
    const Case cases[] = {
        {"no mode at all", {}, "config.xml describes no keyboard mode"},
        {"missing vid", {Mode(201, 0x1209, 1), Mode(201, 0, 2)}, "mode \"Z5, Cable\" has no usable vid/pid"},
        {"missing pid", {Mode(201, 0x1209, 0)}, "mode \"Z5, Cable\" has no usable vid/pid"},
        {"vid past 16 bits", {Mode(201, 0x11209, 1)}, "mode \"Z5, Cable\" has no usable vid/pid"},
        {"negative pid", {Mode(201, 0x1209, -1)}, "mode \"Z5, Cable\" has no usable vid/pid"},
        {"mode of no model", {Mode(7, 0x1209, 0)}, "mode \"device type 7, Cable\" has no usable vid/pid"},
    };
    for (const Case& c : cases) {
        DeviceDescription description;
        description.models = {Model(L"Z5", 201)};
        description.modes = c.modes;
        const UdevRules rules = MakeUdevRules(description);
        EXPECT_EQ(rules.error, c.error) << c.what;
        EXPECT_EQ(rules.text, "") << c.what;
    }
}
