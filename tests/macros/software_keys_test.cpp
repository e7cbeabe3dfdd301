#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <thread>

#include "macros/filter_key_list.h"
#include "tests/macros/software_keys_fixture.h"

namespace {

using namespace std::chrono_literals;
using Request = MemoryKeyFilterDevice::Request;

constexpr int kKey = 2, kMacro = 3, kMouse = 5, kShortcut = 7;

// --- Refresh and the filter's key list ---

class RefreshTest : public SoftwareKeysTest, public testing::WithParamInterface<int> {};

TEST_P(RefreshTest, ClearsListsArmsAndStartsWithTheFirst256Rows)
{
    const int rows = GetParam();
    for (int code = 1; code <= rows; ++code)
        Assign(code, kKey, 4);
    Assign(300, kKey, 4, /*profile*/ 2); // another profile: never listed
    ASSERT_EQ(m_keys->StartVirtualDevice(nullptr), SoftwareKeyStatus::Active);
    m_filter.ClearRequests();

    Refresh();

    std::array<uint8_t, 1024> list{};
    for (int i = 0; i < std::min(rows, 256); ++i) {
        const int code = i + 1;
        list[4 * i] = static_cast<uint8_t>(code & 0xFF);
        list[4 * i + 1] = static_cast<uint8_t>(code >> 8);
        list[4 * i + 2] = 7;
        list[4 * i + 3] = 0x02;
    }
    const std::vector<Request> expected = {
        {KeyFilterDevice::kSetKeyList, std::vector<uint8_t>(256, 0)},
        {KeyFilterDevice::kSetKeyList, std::vector<uint8_t>(list.begin(), list.end())},
        {KeyFilterDevice::kArm, {}},
        {KeyFilterDevice::kStart, {}},
    };
    EXPECT_EQ(m_filter.Requests(), expected);

    // The table holds what the list holds: the 257th key does nothing.
    ClearSent();
    m_keys->OnFilterKey(std::max(rows, 1), true);
    EXPECT_EQ(Sent().size(), rows >= 1 && rows <= 256 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, RefreshTest, testing::Values(0, 1, 257));

TEST_F(SoftwareKeysTest, ARefreshReplacesTheTableWithTheNewProfile)
{
    Assign(4, kKey, 5);
    Assign(6, kKey, 7, /*profile*/ 2);
    Start();

    m_keys->RefreshSoftwareKeys(2, kLayer);
    ClearSent();
    m_keys->OnFilterKey(4, true);
    m_keys->OnFilterKey(6, true);

    EXPECT_EQ(Sent(), Reports{KeyboardReport({7})});
    EXPECT_EQ(m_filter.WatchedKeys(), std::vector<unsigned>{6});
}

// --- What each assignment sends ---

TEST_F(SoftwareKeysTest, AKeyAssignmentHoldsItsUsageWhileTheKeyIsDown)
{
    Assign(0x04, kKey, 0x05);
    Assign(0x06, kKey, 0xE1); // left Shift
    Start();

    m_keys->OnFilterKey(0x04, true);
    m_keys->OnFilterKey(0x06, true);
    m_keys->OnFilterKey(0x04, false);
    m_keys->OnFilterKey(0x06, false);

    EXPECT_EQ(Sent(), (Reports{KeyboardReport({0x05}), KeyboardReport({0x05, 0xE1}), KeyboardReport({0xE1}),
                               KeyboardReport({})}));
}

TEST_F(SoftwareKeysTest, MediaFunctionsSendTheirConsumerUsageWhileHeld)
{
    const std::pair<int, unsigned> media[] = {
        {232, 0x183}, {233, 0x0EA}, {234, 0x0E9}, {235, 0x0E2}, {236, 0x0B7}, {237, 0x0B6},
        {238, 0x0CD}, {239, 0x0B5}, {240, 0x18A}, {241, 0x223}, {242, 0x192}, {243, 0x224},
        {244, 0x225}, {245, 0x226}, {246, 0x227}, {247, 0x221}, {248, 0x22A}, {249, 0x194},
    };
    for (const auto& [value, usage] : media)
        Assign(value - 200, kKey, value);
    Start();

    for (const auto& [value, usage] : media) {
        ClearSent();
        m_keys->OnFilterKey(value - 200, true);
        m_keys->OnFilterKey(value - 200, false);
        EXPECT_EQ(Sent(), (Reports{ConsumerReport(usage), ConsumerReport(0)})) << "value " << value;
    }
}

TEST_F(SoftwareKeysTest, MouseAssignmentsSetTheirButtonBit)
{
    const std::pair<int, uint8_t> buttons[] = {{1, 0x01}, {2, 0x04}, {3, 0x02}, {7, 0x10}, {8, 0x08}};
    for (const auto& [value, bit] : buttons)
        Assign(10 + value, kMouse, value);
    Assign(30, kMouse, 4); // no such button
    Start();

    for (const auto& [value, bit] : buttons) {
        ClearSent();
        m_keys->OnFilterKey(10 + value, true);
        m_keys->OnFilterKey(10 + value, false);
        EXPECT_EQ(Sent(), (Reports{MouseReport(bit), MouseReport(0)})) << "value " << value;
    }
    ClearSent();
    m_keys->OnFilterKey(30, true);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(SoftwareKeysTest, KeysThatDoNothingOnThePcAreWatchedRowsItCannotCarryOutAreNot)
{
    // Watched, so the filter keeps them from the system, but nothing is sent for them.
    Assign(4, 1, 1);    // disabled
    Assign(5, 6, 2);    // media function by number
    Assign(6, 12, 600); // a picker value the keyboard alone knows
    // Rows from old or foreign profile files: their keys keep doing what they did.
    Assign(7, 4, 1);     // no meaning
    Assign(8, 13, 1);    // no meaning
    Assign(9, kKey, -3); // not a usage
    Assign(10, kKey, 250);
    Assign(11, kMouse, 4);
    Assign(12, 9, 77); // an address whose record is not there
    const int program = m_database.AddKeyExtra({L"tool", L"/usr/bin/tool", 8});
    Assign(13, 10, program); // a text row pointing at a program's record
    Start();

    for (int code = 4; code <= 13; ++code) {
        m_keys->OnFilterKey(code, true);
        m_keys->OnFilterKey(code, false);
    }
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(m_filter.WatchedKeys(), (std::vector<unsigned>{4, 5, 6}));
}

TEST_F(SoftwareKeysTest, ProgramRunActionsGoToTheHandlerWithTheirRow)
{
    std::vector<std::pair<int, bool>> handled;
    m_keys->SetOtherAssignmentHandler(
        [&](const KeyAssignmentRow& row, bool pressed) { handled.emplace_back(row.macro_type, pressed); });
    for (int type = 8; type <= 11; ++type)
        Assign(type, type, m_database.AddKeyExtra({L"record", L"1", type}));
    Start();

    for (int type = 8; type <= 11; ++type) {
        m_keys->OnFilterKey(type, true);
        m_keys->OnFilterKey(type, false);
    }
    EXPECT_EQ(
        handled,
        (std::vector<std::pair<int, bool>>{
            {8, true}, {8, false}, {9, true}, {9, false}, {10, true}, {10, false}, {11, true}, {11, false}}));
    EXPECT_TRUE(Sent().empty());
}

// --- Typing a text ---

TEST_F(SoftwareKeysTest, TypedKeysArePressedAndReleasedWithTheirModifiersOneAtATime)
{
    constexpr unsigned kShift = 0xE1, kAltGr = 0xE6;
    Start();
    ClearSent();
    bool secondAccepted = true;
    // A second text while the first is typed is refused, not mixed in.
    m_clock.At(6ms, [&] { secondAccepted = m_keys->TypeKeys({{5, false, false}}); });

    ASSERT_TRUE(m_keys->TypeKeys({{4, true, false}, {30, false, false}, {8, false, true}}));
    ASSERT_TRUE(WaitForReports(10));
    for (int i = 0; i < 500 && m_keys->IsTyping(); ++i)
        std::this_thread::sleep_for(1ms);

    EXPECT_EQ(Sent(),
              (Reports{KeyboardReport({kShift}), KeyboardReport({kShift, 4}), KeyboardReport({kShift}),
                       KeyboardReport({}), KeyboardReport({30}), KeyboardReport({}), KeyboardReport({kAltGr}),
                       KeyboardReport({kAltGr, 8}), KeyboardReport({kAltGr}), KeyboardReport({})}));
    EXPECT_EQ(ReportTimesMs(), (std::vector<int>{0, 4, 8, 12, 16, 20, 24, 28, 32, 36}));
    EXPECT_FALSE(secondAccepted);
    EXPECT_FALSE(m_keys->IsTyping());
    // Once the first is done, the next one is typed.
    EXPECT_TRUE(m_keys->TypeKeys({{5, false, false}}));
}

TEST_F(SoftwareKeysTest, NothingIsTypedWithoutAVirtualKeyboardOrAfterTheExit)
{
    Start();
    m_device.Close();
    m_device.SetOpenResult(DeviceAccess::Missing);
    EXPECT_FALSE(m_keys->TypeKeys({{4, false, false}}));
    m_device.SetOpenResult(DeviceAccess::Ok);
    m_keys->Exit();
    ClearSent();
    EXPECT_FALSE(m_keys->TypeKeys({{4, false, false}}));
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(Sent().empty());
}

// --- Built-in shortcuts ---

struct ShortcutCase {
    int value;
    std::vector<std::pair<unsigned, bool>> events; // usage, pressed
};

class ShortcutTest : public SoftwareKeysTest, public testing::WithParamInterface<ShortcutCase> {};

TEST_P(ShortcutTest, PlaysItsKeysTenMillisecondsApartThenReleasesAll)
{
    const ShortcutCase& shortcut = GetParam();
    Assign(0x3A, kShortcut, shortcut.value);
    Start();

    m_keys->OnFilterKey(0x3A, true);
    m_keys->OnFilterKey(0x3A, false); // releases play nothing

    Reports expected;
    std::vector<int> times;
    std::vector<unsigned> held;
    for (const auto& [usage, pressed] : shortcut.events) {
        if (pressed)
            held.push_back(usage);
        else
            held.erase(std::find(held.begin(), held.end(), usage));
        Report report = KeyboardReport({});
        for (unsigned each : held)
            report[3 + each / 8] |= static_cast<uint8_t>(1u << (each % 8));
        expected.push_back(report);
        times.push_back(10 * static_cast<int>(times.size()));
    }
    if (shortcut.events.empty()) {
        EXPECT_TRUE(Sent().empty()) << "a shortcut that does not exist is not watched";
        return;
    }
    const int end = 10 * static_cast<int>(times.size());
    for (const Report& report : ReleaseAllReports()) {
        expected.push_back(report);
        times.push_back(end);
    }
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(ReportTimesMs(), times);
}

constexpr unsigned kCtrl = 0xE0, kAlt = 0xE2, kGui = 0xE3;

std::vector<std::pair<unsigned, bool>> Chord(unsigned modifier, unsigned key)
{
    return {{modifier, true}, {key, true}, {key, false}, {modifier, false}};
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShortcutTest,
    testing::Values(
        ShortcutCase{1, Chord(kCtrl, 0x04)}, ShortcutCase{2, Chord(kCtrl, 0x06)},
        ShortcutCase{3, Chord(kCtrl, 0x1B)}, ShortcutCase{4, Chord(kCtrl, 0x19)},
        ShortcutCase{5, Chord(kCtrl, 0x1D)}, ShortcutCase{6, Chord(kCtrl, 0x16)},
        ShortcutCase{7, Chord(kGui, 0x08)}, ShortcutCase{8, Chord(kGui, 0x0F)},
        ShortcutCase{9, Chord(kGui, 0x07)}, ShortcutCase{10, Chord(kAlt, 0x2B)},
        ShortcutCase{11, Chord(kGui, 0x10)}, ShortcutCase{12, Chord(kCtrl, 0x1A)},
        ShortcutCase{13,
                     {{kAlt, true}, {0x2C, true}, {0x1B, true}, {0x1B, false}, {0x2C, false}, {kAlt, false}}},
        ShortcutCase{14,
                     {{kAlt, true}, {0x2C, true}, {0x11, true}, {0x11, false}, {0x2C, false}, {kAlt, false}}},
        ShortcutCase{15, Chord(kAlt, 0x3D)}, ShortcutCase{16, {}}, ShortcutCase{-1, {}}));

// --- A missing virtual keyboard ---

TEST_F(SoftwareKeysTest, WithoutTheVirtualKeyboardAssignmentsSendNothingUntilItIsBack)
{
    Assign(4, kKey, 5);
    Assign(5, kShortcut, 1);
    Start();
    m_device.Close();
    m_device.SetOpenResult(DeviceAccess::Missing);

    m_keys->OnFilterKey(4, true);
    m_keys->OnFilterKey(5, true);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(m_clock.Played(), 0ms) << "no shortcut was played into the void";

    m_device.SetOpenResult(DeviceAccess::Ok);
    m_keys->OnFilterKey(4, false);
    EXPECT_EQ(Sent(), Reports{KeyboardReport({})});
}

// --- Driver installation and status ---

class FakeInstaller : public DriverInstaller {
public:
    explicit FakeInstaller(std::function<bool()> install) : m_install(std::move(install)) {}
    bool Install() override
    {
        ++calls;
        return m_install();
    }
    int calls = 0;

private:
    std::function<bool()> m_install;
};

class DriverSetupTest : public SoftwareKeysTest {
protected:
    void MakeKeys(bool installs)
    {
        m_installer = std::make_unique<FakeInstaller>([this, installs] {
            if (installs) {
                m_device.SetOpenResult(DeviceAccess::Ok);
                m_filter.SetAccessDenied(false);
            }
            return installs;
        });
        m_keys = std::make_unique<SoftwareKeys>(
            SoftwareKeys::Backends{m_device, m_filter, m_database, m_clock, m_installer.get()}, "Corvid Z5");
        m_keys->SetStatusHandler([this](SoftwareKeyStatus status) { m_statuses.push_back(status); });
    }
    std::function<bool()> Ask(bool answer)
    {
        return [this, answer] {
            ++m_asked;
            return answer;
        };
    }

    std::unique_ptr<FakeInstaller> m_installer;
    std::vector<SoftwareKeyStatus> m_statuses;
    int m_asked = 0;
};

TEST_F(DriverSetupTest, WithoutAccessToUinputTheRuleIsOfferedOnceAndInstalled)
{
    m_device.SetOpenResult(DeviceAccess::Denied);
    MakeKeys(/*installs*/ true);

    EXPECT_EQ(m_keys->StartVirtualDevice(Ask(true)), SoftwareKeyStatus::Active);
    EXPECT_EQ(m_asked, 1);
    EXPECT_EQ(m_installer->calls, 1);
    EXPECT_TRUE(m_filter.IsOpen());
    EXPECT_EQ(Sent(), ReleaseAllReports());
    EXPECT_EQ(m_statuses, std::vector<SoftwareKeyStatus>{SoftwareKeyStatus::Active});
}

TEST_F(DriverSetupTest, DeclinedOrFailedTheProgramRunsOnWithoutSoftwareKeys)
{
    for (bool accept : {false, true}) {
        SCOPED_TRACE(accept ? "installation fails" : "declined");
        m_device.SetOpenResult(DeviceAccess::Denied);
        MakeKeys(/*installs*/ false);
        m_asked = 0;
        Assign(4, kKey, 5);

        EXPECT_EQ(m_keys->StartVirtualDevice(Ask(accept)), SoftwareKeyStatus::NoVirtualDevice);
        EXPECT_EQ(m_installer->calls, accept ? 1 : 0);
        Refresh();
        m_keys->OnFilterKey(4, true);
        EXPECT_TRUE(Sent().empty());
        // Asked once per process, whatever comes later.
        EXPECT_FALSE(m_keys->OfferDriverInstall(Ask(true)));
        EXPECT_EQ(m_asked, 1);
        EXPECT_EQ(m_keys->Status(), SoftwareKeyStatus::NoVirtualDevice);
    }
}

TEST_F(DriverSetupTest, KeyboardNodesWithoutAccessAreReportedAndFixedByTheRule)
{
    Assign(4, kKey, 5);
    MakeKeys(/*installs*/ true);
    ASSERT_EQ(m_keys->StartVirtualDevice(Ask(true)), SoftwareKeyStatus::Active);
    EXPECT_EQ(m_asked, 0) << "the virtual keyboard opened; the keyboard is not known yet";

    m_filter.SetAccessDenied(true); // what the filter finds when it looks the keyboard up
    Refresh();
    EXPECT_EQ(m_keys->Status(), SoftwareKeyStatus::NoKeyboardAccess);
    m_filter.ClearRequests();

    EXPECT_TRUE(m_keys->OfferDriverInstall(Ask(true)));
    EXPECT_EQ(m_keys->Status(), SoftwareKeyStatus::Active);
    EXPECT_EQ(m_filter.WatchedKeys(), std::vector<unsigned>{4}) << "the last profile is handed over again";
    EXPECT_EQ(m_statuses,
              (std::vector<SoftwareKeyStatus>{SoftwareKeyStatus::Active, SoftwareKeyStatus::NoKeyboardAccess,
                                              SoftwareKeyStatus::Active}));
}

TEST_F(SoftwareKeysTest, AFilterThatCannotBeOpenedLeavesTheKeysInert)
{
    m_filter.SetOpenFails(true);
    Assign(4, kKey, 5);
    EXPECT_EQ(m_keys->StartVirtualDevice(nullptr), SoftwareKeyStatus::NoFilter);
    Refresh();
    ClearSent();
    m_filter.InjectKey(4, true);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(m_filter.Pending(), 1u);
    EXPECT_TRUE(Sent().empty());
}

// --- The monitor thread ---

TEST_F(SoftwareKeysTest, TheMonitorAnswersFilterEventsThroughTheVirtualKeyboard)
{
    Assign(4, kKey, 5);
    m_keys->StartVirtualDevice(nullptr);
    Start(); // registering the handler again adds nothing

    m_filter.InjectKey(4, true);
    m_filter.InjectKey(4, false);
    m_filter.InjectKey(9, true); // not assigned

    ASSERT_TRUE(WaitForReports(2));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(Sent(), (Reports{KeyboardReport({5}), KeyboardReport({})}));
}

TEST_F(SoftwareKeysTest, AStoppedMonitorTakesNoEventsAndHoldsNoKey)
{
    Assign(4, kKey, 5);
    Start();
    m_filter.InjectKey(4, true);
    ASSERT_TRUE(WaitForReports(1));

    m_keys->StopMonitor();
    EXPECT_EQ(Sent().back(), FourthReport());
    EXPECT_TRUE(HeldUsages(Sent()[Sent().size() - 4]).empty());
    m_filter.InjectKey(4, false);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(m_filter.Pending(), 1u);

    const auto before = Sent().size();
    Refresh(); // releases everything, then the monitor runs again and takes the waiting release
    ASSERT_TRUE(WaitForReports(before + 4 + 1));
    EXPECT_EQ(Sent().back(), KeyboardReport({}));
    EXPECT_EQ(m_filter.Pending(), 0u);
}

TEST_F(SoftwareKeysTest, AHandlerThatThrowsEndsTheMonitorWithEverythingReleased)
{
    Assign(4, kKey, 5);
    Assign(8, 8, m_database.AddKeyExtra({L"tool", L"/usr/bin/tool", 8}));
    m_keys->SetOtherAssignmentHandler(
        [](const KeyAssignmentRow&, bool) { throw std::runtime_error("broken"); });
    Start();

    m_filter.InjectKey(4, true);
    m_filter.InjectKey(8, true);
    ASSERT_TRUE(WaitForReports(1 + 4));
    EXPECT_EQ(Sent(), (Reports{KeyboardReport({5}), KeyboardReport({}), MouseReport(0), ConsumerReport(0),
                               FourthReport()}));

    m_filter.InjectKey(4, true);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(m_filter.Pending(), 1u) << "the monitor has ended";
    Refresh();
    EXPECT_TRUE(WaitForReports(5 + 4 + 1));
}

TEST_F(SoftwareKeysTest, ExitClearsTheFilterAndLeavesNothingHeld)
{
    Assign(4, kKey, 5);
    Assign(5, kMouse, 1);
    Start();
    m_keys->OnFilterKey(4, true);
    m_keys->OnFilterKey(5, true);
    m_filter.ClearRequests();

    m_keys->Exit();

    EXPECT_EQ(m_filter.Requests(),
              (std::vector<Request>{{KeyFilterDevice::kSetKeyList, std::vector<uint8_t>(256, 0)}}));
    EXPECT_FALSE(m_filter.IsOpen());
    EXPECT_FALSE(m_device.IsOpen());
    const Reports sent = Sent();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(Reports(sent.end() - 4, sent.end()), ReleaseAllReports());

    ClearSent();
    m_keys->OnFilterKey(4, true);
    m_keys->RefreshSoftwareKeys(kProfile, kLayer);
    EXPECT_TRUE(Sent().empty());
}

} // namespace
