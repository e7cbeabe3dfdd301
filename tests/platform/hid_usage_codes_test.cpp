#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include "core/linux_keys.h"
#include "device/key_codes.h"
#include "platform/linux/hid_usage_codes.h"

namespace {

// The usage table agrees with the program's other key table: the evdev key of a virtual key is the
// evdev key of its key code.
TEST(HidUsageCodes, AgreeWithTheVirtualKeyTable)
{
    int checked = 0;
    for (const LinuxKey& key : LinuxKeyTable()) {
        const unsigned code = VirtualKeyToKeyCode(key.vk);
        if (code == 0 || code == kFnKeyCode)
            continue;
        if (key.evdev == KEY_KPENTER || key.evdev == KEY_MENU || key.evdev == KEY_COMPUTER ||
            key.evdev == KEY_MEDIA)
            continue; // the second evdev spelling of a key the table names twice
        SCOPED_TRACE(testing::Message() << "evdev " << key.evdev << ", key code " << code);
        EXPECT_EQ(KeyCodeFromEvdev(key.evdev), code);
        if (code < 232)
            EXPECT_EQ(EvdevFromKeyboardUsage(code), key.evdev);
        else
            EXPECT_EQ(EvdevFromConsumerUsage(ConsumerUsageOf(code)), key.evdev);
        ++checked;
    }
    EXPECT_GT(checked, 120);
}

TEST(HidUsageCodes, MapTheKeysBothTablesNameDifferently)
{
    const struct {
        unsigned usage;
        uint16_t evdev;
    } cases[] = {
        {88, KEY_KPENTER},
        {50, KEY_BACKSLASH},
        {100, KEY_102ND},
        {101, KEY_COMPOSE},
        {136, KEY_KATAKANAHIRAGANA},
        {139, KEY_MUHENKAN},
        {0, 0},
        {102, 0},
        {175, 0},
        {232, 0},
        {300, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EvdevFromKeyboardUsage(c.usage), c.evdev) << "usage " << c.usage;
    EXPECT_EQ(KeyCodeFromEvdev(KEY_KPENTER), 88u);
    EXPECT_EQ(KeyCodeFromEvdev(KEY_BACKSLASH), 49u);
    EXPECT_EQ(KeyCodeFromEvdev(KEY_RIGHTMETA), 231u);
    EXPECT_EQ(KeyCodeFromEvdev(BTN_LEFT), 0u);
    EXPECT_EQ(KeyCodeFromEvdev(KEY_MAX + 1), 0u);
}

TEST(HidUsageCodes, EveryMediaFunctionHasAKeyTheVirtualKeyboardDeclares)
{
    const auto keys = VirtualKeyboardEvdevKeys();
    for (const MediaFunction& media : MediaFunctions()) {
        const uint16_t evdev = EvdevFromConsumerUsage(media.consumerUsage);
        EXPECT_NE(evdev, 0) << "consumer usage " << media.consumerUsage;
        EXPECT_EQ(KeyCodeFromEvdev(evdev), media.keyCode);
        EXPECT_TRUE(std::binary_search(keys.begin(), keys.end(), evdev));
    }
}

} // namespace
