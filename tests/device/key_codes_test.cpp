#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "device/key_codes.h"
#include "platform/key_name_source.h"

namespace {

// Shows which names come from the layout: "<vk>".
class MarkedNames : public KeyNameSource {
public:
    CString KeyName(unsigned virtualKey) const override { return L"<" + std::to_wstring(virtualKey) + L">"; }
};

} // namespace

TEST(VirtualKeyToKeyCode, TableRowsAndTheirEnds)
{
    const std::pair<unsigned, unsigned> cases[] = {
        {65, 4},
        {90, 29},
        {49, 30},
        {57, 38},
        {48, 39},
        {13, 40},
        {27, 41},
        {8, 42},
        {9, 43},
        {32, 44},
        {189, 45},
        {187, 46},
        {219, 47},
        {221, 48},
        {220, 49},
        {666, 50},
        {186, 51},
        {222, 52},
        {192, 53},
        {188, 54},
        {190, 55},
        {191, 56},
        {20, 57},
        {112, 58},
        {123, 69},
        {124, 104},
        {135, 115},
        {44, 70},
        {145, 71},
        {19, 72},
        {45, 73},
        {36, 74},
        {33, 75},
        {46, 76},
        {35, 77},
        {34, 78},
        {39, 79},
        {37, 80},
        {40, 81},
        {38, 82},
        {144, 83},
        {111, 84},
        {106, 85},
        {109, 86},
        {107, 87},
        {108, 88},
        {97, 89},
        {105, 97},
        {96, 98},
        {110, 99},
        {162, 224},
        {160, 225},
        {164, 226},
        {91, 227},
        {163, 228},
        {161, 229},
        {165, 230},
        {92, 231},
        {93, 101},
        {254, 175},
        {226, 100},
        {136, 136},
        {139, 139},
        {166, 243},
        {181, 232},
        {183, 242},
        {182, 249},
        // No code: the side-neutral modifiers, Clear, and the neighbours of every run.
        {16, 0},
        {17, 0},
        {18, 0},
        {12, 0},
        {0, 0},
        {47, 0},
        {58, 0},
        {64, 0},
        {95, 0},
        {94, 0},
        {140, 0},
        {184, 0},
        {185, 0},
        {193, 0},
        {255, 0},
        {665, 0},
        {667, 0},
    };
    for (const auto& [virtualKey, keyCode] : cases)
        EXPECT_EQ(VirtualKeyToKeyCode(virtualKey), keyCode) << "virtual key " << virtualKey;
}

// Every key code the program knows comes from exactly one virtual key, and nothing else comes out.
TEST(VirtualKeyToKeyCode, CoversTheKeyCodeSpaceOneToOne)
{
    std::map<unsigned, unsigned> sourceOf;
    for (unsigned virtualKey = 0; virtualKey < 1024; ++virtualKey) {
        const unsigned keyCode = VirtualKeyToKeyCode(virtualKey);
        if (keyCode == 0)
            continue;
        EXPECT_TRUE(sourceOf.emplace(keyCode, virtualKey).second)
            << "key code " << keyCode << " from " << sourceOf[keyCode] << " and " << virtualKey;
    }
    std::set<unsigned> expected;
    for (unsigned c = 4; c <= 101; ++c)
        expected.insert(c);
    for (unsigned c = 104; c <= 115; ++c)
        expected.insert(c);
    for (unsigned c = 136; c <= 139; ++c)
        expected.insert(c);
    expected.insert(kFnKeyCode);
    for (unsigned c = 224; c <= 249; ++c)
        expected.insert(c);
    std::set<unsigned> produced;
    for (const auto& [keyCode, virtualKey] : sourceOf)
        produced.insert(keyCode);
    EXPECT_EQ(produced, expected);
}

// Every row pinned: a swap of two rows' usages, virtual keys or texts is a wrong key sent or named.
TEST(MediaFunctions, EveryRowOfTheTable)
{
    const MediaFunction expected[] = {
        {232, 0x183, 181, 272}, // media player
        {233, 0x0EA, 174, 235}, // volume down
        {234, 0x0E9, 175, 234}, // volume up
        {235, 0x0E2, 173, 236}, // mute
        {236, 0x0B7, 178, 231}, // stop
        {237, 0x0B6, 177, 232}, // previous track
        {238, 0x0CD, 179, 230}, // play/pause
        {239, 0x0B5, 176, 233}, // next track
        {240, 0x18A, 180, 271}, // e-mail
        {241, 0x223, 172, 273}, // browser home
        {242, 0x192, 183, 270}, // calculator
        {243, 0x224, 166, 276}, // browser back
        {244, 0x225, 167, 277}, // browser forward
        {245, 0x226, 169, 275}, // browser stop
        {246, 0x227, 168, 274}, // browser refresh
        {247, 0x221, 170, 279}, // browser search
        {248, 0x22A, 171, 278}, // browser favourites
        {249, 0x194, 182, 252}, // my computer
    };
    const auto functions = MediaFunctions();
    ASSERT_EQ(functions.size(), std::size(expected));
    for (size_t i = 0; i < functions.size(); ++i) {
        const MediaFunction& row = expected[i];
        SCOPED_TRACE("key code " + std::to_string(row.keyCode));
        EXPECT_EQ(functions[i].keyCode, row.keyCode);
        EXPECT_EQ(functions[i].consumerUsage, row.consumerUsage);
        EXPECT_EQ(functions[i].virtualKey, row.virtualKey);
        EXPECT_EQ(functions[i].textId, row.textId);
        EXPECT_EQ(ConsumerUsageOf(row.keyCode), row.consumerUsage);
        EXPECT_EQ(VirtualKeyToKeyCode(row.virtualKey), row.keyCode);
        EXPECT_TRUE(IsMediaVirtualKey(row.virtualKey));
    }

    // Codes outside the media run have no usage.
    for (unsigned keyCode : {231u, 250u, 0u, 175u, 40u})
        EXPECT_EQ(ConsumerUsageOf(keyCode), 0u) << "key code " << keyCode;
    EXPECT_FALSE(IsMediaVirtualKey(165));
    EXPECT_FALSE(IsMediaVirtualKey(184));
}

TEST(KeyCodeShortName, Captions)
{
    const std::pair<unsigned, const wchar_t*> cases[] = {
        {4, L"A"},
        {29, L"Z"},
        {30, L"1"},
        {38, L"9"},
        {39, L"0"},
        {89, L"1"},
        {97, L"9"},
        {98, L"0"},
        {40, L"ENTER"},
        {41, L"ESC"},
        {42, L"backspace"},
        {43, L"TAB"},
        {44, L"SPACE"},
        {45, L"-_"},
        {46, L"+="},
        {47, L"[{"},
        {48, L"]}"},
        {49, L"\\"},
        {51, L";:"},
        {52, L"'"},
        {53, L"~`"},
        {54, L"<,"},
        {55, L">."},
        {56, L"/?"},
        {57, L"CAPS"},
        {58, L"F1"},
        {69, L"F12"},
        {70, L"PRTSC"},
        {71, L"SCRLK"},
        {72, L"PASE"},
        {73, L"INS"},
        {74, L"HOME"},
        {75, L"PG UP"},
        {76, L"DEL"},
        {77, L"END"},
        {78, L"PG DN"},
        {79, L"RIGHT"},
        {80, L"LEFT"},
        {81, L"DOWN"},
        {82, L"UP"},
        {83, L"NumLock"},
        {84, L"/"},
        {85, L"*"},
        {86, L"-"},
        {87, L"+"},
        {88, L"Enter"},
        {99, L"."},
        {101, L"MENU"},
        {175, L"FN"},
        {224, L"CTRL"},
        {225, L"SHIFT"},
        {226, L"ALT"},
        {227, L"WIN"},
        {228, L"RCTRL"},
        {229, L"RSHIFT"},
        {230, L"RALT"},
        // No caption.
        {0, L""},
        {3, L""},
        {50, L""},
        {100, L""},
        {102, L""},
        {104, L""},
        {115, L""},
        {136, L""},
        {231, L""},
        {232, L""},
        {249, L""},
        {1000, L""},
    };
    for (const auto& [keyCode, caption] : cases)
        EXPECT_EQ(KeyCodeShortName(keyCode), caption) << "key code " << keyCode;
}

TEST(VirtualKeyName, OverridesByVariant)
{
    using enum KeyNameVariant;
    struct Case {
        unsigned virtualKey;
        KeyNameVariant variant;
        unsigned namedKey;
        const wchar_t* name;
    };
    const Case cases[] = {
        {65, Dialog, 65, L"<65>"},
        {65, Hook, 65, L"<65>"},
        // Side-neutral modifiers: the layout's name in the dialog; the left-hand key in the input paths.
        {16, Dialog, 16, L"<16>"},
        {16, Input, 160, L"Shift"},
        {17, Input, 162, L"Ctrl"},
        {18, Hook, 164, L"Alt"},
        {160, Dialog, 160, L"<160>"},
        {160, Input, 160, L"Shift"},
        {161, Input, 161, L"RShift"},
        {163, Hook, 163, L"RCtrl"},
        {165, Hook, 165, L"RAlt"},
        // Fixed in every variant.
        {19, Dialog, 19, L"Pause"},
        {19, Input, 19, L"Pause"},
        {44, Hook, 44, L"Print Screen"},
        {91, Dialog, 91, L"Windows"},
        {92, Input, 92, L"RWindows"},
        {93, Hook, 93, L"Application"},
        {144, Dialog, 144, L"Num Lock"},
        // F13–F24 and the punctuation keys: fixed in the dialog only.
        {123, Dialog, 123, L"<123>"},
        {124, Dialog, 124, L"F13"},
        {135, Dialog, 135, L"F24"},
        {124, Input, 124, L"<124>"},
        {136, Dialog, 136, L"<136>"},
        {186, Dialog, 186, L";:"},
        {187, Dialog, 187, L"=+"},
        {188, Dialog, 188, L"<,"},
        {189, Dialog, 189, L"-_"},
        {190, Dialog, 190, L">."},
        {191, Dialog, 191, L"?/"},
        {192, Dialog, 192, L"`~"},
        {219, Dialog, 219, L"[{"},
        {220, Dialog, 220, L"\\||"},
        {221, Dialog, 221, L"]}"},
        {222, Dialog, 222, L"'\""},
        {186, Input, 186, L"<186>"},
        {220, Hook, 220, L"<220>"},
        // Media keys: named by the hook alone.
        {166, Hook, 166, L"Web-Backward"},
        {172, Hook, 172, L"Web-Home"},
        {173, Hook, 173, L"Vol Mute"},
        {179, Hook, 179, L"Play/Pause"},
        {183, Hook, 183, L"Calculator"},
        {166, Input, 166, L"<166>"},
        {173, Dialog, 173, L"<173>"},
        {184, Hook, 184, L"<184>"},
    };
    const MarkedNames names;
    for (const Case& c : cases) {
        const NamedKey key = VirtualKeyName(c.virtualKey, c.variant, names);
        EXPECT_EQ(key.virtualKey, c.namedKey) << c.virtualKey << " variant " << static_cast<int>(c.variant);
        EXPECT_EQ(key.name, c.name) << c.virtualKey << " variant " << static_cast<int>(c.variant);
    }
    EXPECT_EQ(VirtualKeyName(220, Dialog, names).name.size(), 3u) << "a backslash and two bars";
}

TEST(KeypadCorrectedKey, KeypadKeysWhateverNumLockMadeOfThem)
{
    struct Case {
        unsigned virtualKey;
        unsigned scanCode;
        unsigned flags;
        unsigned expected;
    };
    const Case cases[] = {
        // Num Lock off: the keypad reports navigation keys; down (0) and up (128) are both corrected.
        {36, 71, 0, 103},
        {36, 71, 128, 103},
        {38, 72, 0, 104},
        {33, 73, 0, 105},
        {37, 75, 0, 100},
        {12, 76, 0, 101},
        {39, 77, 0, 102},
        {35, 79, 0, 97},
        {40, 80, 128, 98},
        {34, 81, 0, 99},
        {45, 82, 0, 96},
        {46, 83, 0, 110},
        {103, 71, 0, 103}, // Num Lock on
        // The navigation block shares the scan codes but carries the extended flag.
        {36, 71, 1, 36},
        {46, 83, 129, 46},
        // Keypad minus and plus never change with Num Lock; neighbouring scan codes are not keypad keys.
        {109, 74, 0, 109},
        {107, 78, 0, 107},
        {145, 70, 0, 145},
        {44, 84, 0, 44},
        // Injected (0x10) or Alt held (0x20): left alone.
        {36, 71, 0x10, 36},
        {36, 71, 0x20, 36},
        {36, 71, 0xA0, 36},
        // Enter: the keypad's carries the extended flag, the main one does not.
        {13, 28, 1, 108},
        {13, 28, 129, 108},
        {13, 28, 0, 13},
        {13, 28, 128, 13},
        {13, 28, 0x11, 13},
        {13, 71, 1, 13},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeypadCorrectedKey(c.virtualKey, c.scanCode, c.flags), c.expected)
            << "vk " << c.virtualKey << " scan " << c.scanCode << " flags " << c.flags;
}
