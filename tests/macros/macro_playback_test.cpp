#include <gtest/gtest.h>

#include <thread>

#include "core/virtual_keys.h"
#include "tests/macros/software_keys_fixture.h"

namespace {

using namespace std::chrono_literals;

constexpr int kMacroKey = 0x3A; // F1 runs the macro
constexpr int kOtherKey = 0x3B; // F2 is disabled: watched, sends nothing
constexpr int kPress = 2, kRelease = 3;
constexpr int kVkA = 'A', kVkB = 'B';

class MacroPlaybackTest : public SoftwareKeysTest {
protected:
    int AddMacroOnKey(int playTimes, int loopType, const std::vector<RecordStep>& records)
    {
        const int id = AddMacro(playTimes, loopType, records);
        Assign(kMacroKey, 3, id);
        Assign(kOtherKey, 1, 1);
        Start();
        return id;
    }
    // The reports since playing began without the release of everything that opens every macro.
    Reports Played() const
    {
        Reports sent = Sent();
        EXPECT_GE(sent.size(), 4u);
        if (sent.size() >= 4 && Reports(sent.begin(), sent.begin() + 4) == ReleaseAllReports())
            sent.erase(sent.begin(), sent.begin() + 4);
        return sent;
    }
    int Count(const Report& report) const
    {
        const Reports sent = Sent();
        return static_cast<int>(std::count(sent.begin(), sent.end(), report));
    }
    // Reports of one pass of a press-A, release-A macro, with the release of everything after it.
    static Reports Pass()
    {
        Reports pass = {KeyboardReport({4}), KeyboardReport({})};
        for (const Report& report : ReleaseAllReports())
            pass.push_back(report);
        return pass;
    }
};

TEST_F(MacroPlaybackTest, RecordsPlayWithTheirDelaysAndAtLeastFiveMilliseconds)
{
    const int id = AddMacroOnKey(1, 0,
                                 {{kPress, kVkA, 30},
                                  {kRelease, kVkA, 0},
                                  {kPress, VK_LSHIFT, -8},
                                  {kPress, kVkB, 12},
                                  {kRelease, kVkB, 1},
                                  {kRelease, VK_LSHIFT, 1000}});

    m_keys->PlayMacro(id);

    Reports expected = ReleaseAllReports();
    for (const Report& report : {KeyboardReport({4}), KeyboardReport({}), KeyboardReport({0xE1}),
                                 KeyboardReport({0xE1, 5}), KeyboardReport({0xE1}), KeyboardReport({})})
        expected.push_back(report);
    for (const Report& report : ReleaseAllReports())
        expected.push_back(report);
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(ReportTimesMs(), (std::vector<int>{0, 0, 0, 0, 0, 30, 35, 40, 52, 57, 1057, 1057, 1057, 1057}));
    EXPECT_EQ(m_keys->PlayingLoopType(), 0);
}

TEST_F(MacroPlaybackTest, MediaKeysGoToTheConsumerChannelAndOtherRecordsOnlyWait)
{
    const int id = AddMacroOnKey(1, 0,
                                 {{kPress, VK_VOLUME_MUTE, 0},
                                  {kRelease, VK_VOLUME_MUTE, 0},
                                  {kPress, 0x07, 7}, // no key code: nothing sent
                                  {kPress, kVkA, 0},
                                  {1, kVkA, 0}}); // another type counts as a release

    m_keys->PlayMacro(id);

    Reports expected = {ConsumerReport(0xE2), ConsumerReport(0), KeyboardReport({4}), KeyboardReport({})};
    for (const Report& report : ReleaseAllReports())
        expected.push_back(report);
    EXPECT_EQ(Played(), expected);
    EXPECT_EQ(m_clock.Played(), 5ms + 5ms + 7ms + 5ms + 5ms);
}

class PlayTimesTest : public MacroPlaybackTest, public testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(PlayTimesTest, PlaysThePassesThePlayCountAsks)
{
    const auto [playTimes, passes] = GetParam();
    const int id = AddMacroOnKey(playTimes, 0, {{kPress, kVkA, 0}, {kRelease, kVkA, 0}});

    m_keys->PlayMacro(id);

    Reports expected;
    for (int pass = 0; pass < passes; ++pass) {
        for (const Report& report : Pass())
            expected.push_back(report);
    }
    EXPECT_EQ(Played(), expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, PlayTimesTest,
                         testing::Values(std::pair{1, 1}, std::pair{3, 3}, std::pair{0, 1}, std::pair{-4, 1},
                                         std::pair{1000, 255}));

TEST_F(MacroPlaybackTest, LoopType16PlaysUntilItsKeyIsReleased)
{
    const int id = AddMacroOnKey(1, 16, {{kPress, kVkA, 10}, {kRelease, kVkA, 10}});
    m_keys->OnFilterKey(kMacroKey, true);
    ASSERT_EQ(m_queue, std::vector<int>{id});
    m_clock.At(65ms, [this] { m_keys->OnFilterKey(kMacroKey, false); });
    m_clock.At(15ms, [this] {
        EXPECT_EQ(m_keys->PlayingLoopType(), 16);
        m_keys->OnFilterKey(kMacroKey, true); // queues nothing while the macro plays
    });

    m_keys->PlayMacro(id);

    // Three whole passes, the fourth stopped after its press.
    const Reports sent = Sent();
    EXPECT_EQ(Count(KeyboardReport({4})), 4);
    EXPECT_EQ(Reports(sent.end() - 5, sent.end() - 4), Reports{KeyboardReport({4})});
    EXPECT_EQ(m_clock.Played(), 70ms);
    EXPECT_EQ(m_queue.size(), 1u);
    EXPECT_EQ(m_keys->PlayingLoopType(), 0);
}

TEST_F(MacroPlaybackTest, LoopType16StopsInsideALongDelay)
{
    const int id = AddMacroOnKey(1, 16, {{kPress, kVkA, 5000}, {kRelease, kVkA, 10}});
    m_keys->OnFilterKey(kMacroKey, true);
    m_clock.At(30ms, [this] { m_keys->OnFilterKey(kMacroKey, false); });

    m_keys->PlayMacro(id);

    EXPECT_LE(m_clock.Played(), 30ms + SoftwareKeys::kStopCheckInterval);
    EXPECT_EQ(Played(), (Reports{KeyboardReport({4}), KeyboardReport({}), MouseReport(0), ConsumerReport(0),
                                 FourthReport()}));
}

TEST_F(MacroPlaybackTest, LoopType16TappedBeforePlayingBeganPlaysOnePass)
{
    const int id = AddMacroOnKey(1, 16, {{kPress, kVkA, 10}, {kRelease, kVkA, 10}});
    m_keys->OnFilterKey(kMacroKey, true);
    m_keys->OnFilterKey(kMacroKey, false); // the worker was busy with a job

    m_keys->PlayMacro(id);

    EXPECT_EQ(Played(), Pass());
}

TEST_F(MacroPlaybackTest, LoopType32PlaysUntilTheNextPressOfAnAssignedKey)
{
    const int id = AddMacroOnKey(1, 32, {{kPress, kVkA, 10}, {kRelease, kVkA, 10}});
    m_keys->OnFilterKey(kMacroKey, true);
    m_clock.At(15ms, [this] { m_keys->OnFilterKey(kMacroKey, false); }); // a release does not stop it
    m_clock.At(45ms, [this] { m_keys->OnFilterKey(kOtherKey, true); });

    m_keys->PlayMacro(id);

    const Reports sent = Sent();
    EXPECT_EQ(Count(KeyboardReport({4})), 3);
    EXPECT_EQ(m_clock.Played(), 50ms);
    EXPECT_EQ(Reports(sent.end() - 4, sent.end()), ReleaseAllReports());
    EXPECT_EQ(m_keys->PlayingLoopType(), 0);
}

TEST_F(MacroPlaybackTest, ALoopWithoutRecordsEndsAtOnce)
{
    const int id = AddMacroOnKey(1, 32, {});
    m_keys->PlayMacro(id);
    EXPECT_EQ(Played(), ReleaseAllReports());
    EXPECT_EQ(m_clock.Played(), 0ms);
}

TEST_F(MacroPlaybackTest, NothingPlaysForAMissingMacroOrWithoutTheVirtualKeyboard)
{
    const int id = AddMacroOnKey(1, 0, {{kPress, kVkA, 0}});
    m_keys->PlayMacro(id + 1);
    EXPECT_EQ(Sent(), ReleaseAllReports());

    ClearSent();
    m_device.Close();
    m_device.SetOpenResult(DeviceAccess::Denied);
    m_keys->PlayMacro(id);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(MacroPlaybackTest, ExitEndsALoopingMacroWithEverythingReleased)
{
    const int id = AddMacroOnKey(1, 32, {{kPress, kVkA, 10}, {kRelease, kVkA, 10}});
    m_keys->OnFilterKey(kMacroKey, true);

    std::thread worker([&] { m_keys->PlayMacro(id); });
    ASSERT_TRUE(WaitForReports(20));
    m_keys->Exit();
    worker.join();

    const Reports sent = Sent();
    EXPECT_EQ(Reports(sent.end() - 4, sent.end()), ReleaseAllReports());
    EXPECT_EQ(m_keys->PlayingLoopType(), 0);
}

} // namespace
