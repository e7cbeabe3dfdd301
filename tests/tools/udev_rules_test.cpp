// The udev rules made from config.xml: every keyboard mode gets access to its hidraw nodes, and nothing
// taken from the file can add a rule of its own.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string_view>

#include "device/device_description.h"
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

// The vendor/product pairs of the rule lines; fails the test on any line that is neither a comment nor
// a well-formed hidraw rule.
std::vector<Pair> RulePairs(const std::string& text)
{
    constexpr std::string_view head = R"(SUBSYSTEM=="hidraw", KERNELS=="*:)";
    constexpr std::string_view tail = R"(.*", TAG+="uaccess")";
    std::vector<Pair> pairs;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::string_view rule = line;
        const bool shaped = rule.starts_with(head) && rule.ends_with(tail) &&
                            rule.size() == head.size() + 9 + tail.size() && rule[head.size() + 4] == ':';
        const int vid = shaped ? KernelHex(rule.substr(head.size(), 4)) : -1;
        const int pid = shaped ? KernelHex(rule.substr(head.size() + 5, 4)) : -1;
        if (vid < 0 || pid < 0) {
            ADD_FAILURE() << "not a hidraw rule: " << line;
            continue;
        }
        pairs.emplace_back(vid, pid);
    }
    return pairs;
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
    const std::vector<Pair> pairs = RulePairs(rules.text);
    EXPECT_EQ(std::set<Pair>(pairs.begin(), pairs.end()), expected);
    EXPECT_EQ(pairs.size(), expected.size()) << "one rule per pair";
}

TEST(UdevRules, RulesInDocumentOrderOnePerPairInKernelHex)
{
    DeviceDescription description;
    description.models = {Model(L"Wireless", 201), Model(L"Other", 101)};
    description.modes = {Mode(201, 0x04d9, 0xa0f1), Mode(201, 0x04d9, 0xA0F2, L"Receiver"),
                         Mode(101, 0x1209, 0x0004), Mode(101, 0x04D9, 0xa0f1, L"same pair again")};
    const UdevRules rules = MakeUdevRules(description);
    ASSERT_EQ(rules.error, "");
    EXPECT_EQ(RulePairs(rules.text),
              (std::vector<Pair>{{0x04D9, 0xA0F1}, {0x04D9, 0xA0F2}, {0x1209, 0x0004}}));
    EXPECT_NE(rules.text.find("KERNELS==\"*:04D9:A0F1.*\""), std::string::npos) << rules.text;
    EXPECT_NE(rules.text.find("# Wireless, Receiver\n"), std::string::npos) << rules.text;
    EXPECT_NE(rules.text.find("# Other, Cable\n"), std::string::npos) << rules.text;
}

TEST(UdevRules, NamesWithLineBreaksStayInsideTheirComment)
{
    DeviceDescription description;
    description.models = {Model(L"Z5\nSUBSYSTEM==\"usb\", MODE=\"0666\"", 201)};
    description.modes = {Mode(201, 0x1209, 0x0001, L"Cable\r\nRUN+=\"/bin/sh\"")};
    const UdevRules rules = MakeUdevRules(description);
    ASSERT_EQ(rules.error, "");
    // RulePairs fails on any line that is not a comment or a hidraw rule.
    EXPECT_EQ(RulePairs(rules.text), (std::vector<Pair>{{0x1209, 0x0001}}));
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
