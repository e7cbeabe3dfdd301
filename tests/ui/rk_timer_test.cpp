// RKTimer and the window's animation tick on the headless backend's virtual clock.

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <thread>

#include "tests/ui/control_probe.h"
#include "tests/ui/headless_fixture.h"
#include "tests/ui/test_dialogs.h"
#include "ui/framework/mm_timer_service.h"
#include "ui/framework/rk_timer.h"

namespace {

class CountingTimer : public RKTimer {
public:
    void OnMTimer(unsigned id, CString name) override { named[id].push_back(name); }
    std::map<unsigned, int> plain;
    std::map<unsigned, std::vector<CString>> named;
    unsigned killOnTick = 0;

protected:
    void OnMTimer(unsigned id) override
    {
        ++plain[id];
        if (killOnTick == id)
            KillTimer(id);
    }
};

using RKTimerTest = HeadlessFixture;

TEST_F(RKTimerTest, TicksArriveEveryPeriodAndNamedTicksOnlyForAppTimers)
{
    CountingTimer timer;
    const unsigned animation = static_cast<unsigned>(timer.SetTimer(10, L"anim", 1));
    const unsigned slow = static_cast<unsigned>(timer.SetTimer(25));
    ASSERT_NE(animation, 0u);
    ASSERT_NE(slow, 0u);
    EXPECT_NE(animation, slow);
    Backend().RunFor(100);
    EXPECT_EQ(timer.plain[animation], 10);
    EXPECT_EQ(timer.plain[slow], 4);
    EXPECT_EQ(timer.named[animation], std::vector<CString>(10, L"anim"));
    EXPECT_TRUE(timer.named[slow].empty());

    EXPECT_EQ(timer.GetTimerIsRun(animation), 1);
    EXPECT_EQ(timer.GetTimerIsRun(L"anim"), 1);
    EXPECT_EQ(timer.IsAppTimer(animation), 1);
    EXPECT_EQ(timer.IsAppTimer(slow), 0);
    EXPECT_EQ(timer.GetTimerName(animation), L"anim");
    EXPECT_EQ(RKTimer::GetFSTimer(slow), &timer);
    EXPECT_EQ(RKTimer::GetFSTimer(12345), nullptr);
}

TEST_F(RKTimerTest, KillingByIdOrNameReturnsWhatIsLeft)
{
    CountingTimer timer;
    const unsigned a = static_cast<unsigned>(timer.SetTimer(10, L"a"));
    timer.SetTimer(10, L"b");
    timer.SetTimer(10, L"c");
    EXPECT_EQ(timer.KillTimer(999u), 3) << "an unknown id changes nothing";
    EXPECT_EQ(timer.KillTimer(L"zzz"), 3);
    EXPECT_EQ(timer.KillTimer(a), 2);
    EXPECT_EQ(timer.GetTimerIsRun(a), 0);
    EXPECT_EQ(timer.GetTimerName(a), L"");
    EXPECT_EQ(timer.IsAppTimer(a), 0);
    EXPECT_EQ(timer.KillTimer(L"b"), 1);
    timer.plain.clear();
    Backend().RunFor(50);
    EXPECT_EQ(timer.plain.size(), 1u) << "only c still ticks";
    timer.KillTimer();
    EXPECT_EQ(timer.TimerCount(), 0u);
    timer.plain.clear();
    Backend().RunFor(50);
    EXPECT_TRUE(timer.plain.empty());

    // A period of 0 cannot start: id 0, but the entry is kept.
    EXPECT_EQ(timer.SetTimer(0, L"zero"), 0);
    EXPECT_EQ(timer.TimerCount(), 1u);
    EXPECT_EQ(timer.GetTimerIsRun(L"zero"), 0);
    EXPECT_EQ(timer.KillTimer(0u), 0);
}

TEST_F(RKTimerTest, ABusyUiThreadGetsOneTickNotABacklog)
{
    CountingTimer timer;
    const unsigned id = static_cast<unsigned>(timer.SetTimer(10));
    Backend().GetVirtualClock().Advance(55);
    Pump();
    EXPECT_EQ(timer.plain[id], 1);
    Backend().RunFor(10);
    EXPECT_EQ(timer.plain[id], 2);
}

TEST_F(RKTimerTest, TicksStopWithTheTimerOrItsOwner)
{
    CountingTimer timer;
    const unsigned id = static_cast<unsigned>(timer.SetTimer(10, L"once", 1));
    timer.killOnTick = id;
    Backend().RunFor(100);
    EXPECT_EQ(timer.plain[id], 1);
    EXPECT_TRUE(timer.named[id].empty()) << "killed during the plain tick";

    // A tick already queued for a timer whose owner is gone by then does nothing.
    class Killer : public RKTimer {
    public:
        std::unique_ptr<CountingTimer>* victim = nullptr;

    protected:
        void OnMTimer(unsigned) override { victim->reset(); }
    };
    Killer killer;
    auto victim = std::make_unique<CountingTimer>();
    killer.victim = &victim;
    killer.SetTimer(10); // the lower id: its tick is queued first
    const unsigned victimId = static_cast<unsigned>(victim->SetTimer(10));
    Backend().RunFor(10);
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(RKTimer::GetFSTimer(victimId), nullptr);
    Backend().RunFor(50);
}

// A paused timer keeps its id and entry but is off the schedule: nothing is due, nothing ticks; resumed,
// its next tick is one period away.
TEST_F(RKTimerTest, PausedTimersKeepTheirIdButNeitherTickNorWake)
{
    CountingTimer timer;
    const unsigned paused = static_cast<unsigned>(timer.SetPausedTimer(10, L"later", 1));
    ASSERT_NE(paused, 0u);
    EXPECT_EQ(timer.IsTimerPaused(paused), 1);
    EXPECT_EQ(timer.GetTimerIsRun(paused), 1);
    EXPECT_EQ(WindowSystem::PendingDeadline(), std::nullopt) << "nothing to wake for";
    Backend().RunFor(100);
    EXPECT_EQ(timer.plain[paused], 0);

    timer.ResumeTimer(paused);
    EXPECT_EQ(WindowSystem::PendingDeadline(), Backend().GetVirtualClock().NowMs() + 10);
    Backend().RunFor(30);
    EXPECT_EQ(timer.plain[paused], 3);
    EXPECT_EQ(timer.named[paused].size(), 3u);

    // Pausing twice and resuming a running timer change nothing; its phase stays.
    const unsigned other = static_cast<unsigned>(timer.SetTimer(25));
    Backend().RunFor(5);
    timer.ResumeTimer(other);
    timer.PauseTimer(paused);
    timer.PauseTimer(paused);
    EXPECT_EQ(WindowSystem::PendingDeadline(), Backend().GetVirtualClock().NowMs() + 20);
    Backend().RunFor(100);
    EXPECT_EQ(timer.plain[paused], 3);
    EXPECT_EQ(timer.plain[other], 4);
    timer.PauseTimer(999);
    EXPECT_EQ(timer.IsTimerPaused(999), 0);

    // A paused timer is still killed with the others.
    EXPECT_EQ(timer.KillTimer(paused), 1);
    timer.PauseTimer(other);
    EXPECT_EQ(WindowSystem::PendingDeadline(), std::nullopt);
}

// The X11 backend's service on its own thread: a paused timer is never delivered, a resumed one is.
TEST(ThreadedMmTimerService, DeliversOnlyWhileNotPaused)
{
    std::atomic<int> delivered{0};
    ThreadedMmTimerService service([&](unsigned id) {
        ++delivered;
        service.Acknowledge(id);
    });
    const unsigned id = service.Start(1, true);
    ASSERT_NE(id, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(delivered.load(), 0);

    service.SetPaused(id, false);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (delivered.load() < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GE(delivered.load(), 3);

    service.SetPaused(id, true);
    // A tick taken just before the pause may still be on its way.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const int atPause = delivered.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(delivered.load(), atPause);
    service.Stop(id);
}

TEST_F(RKTimerTest, DialogAnimationTickRunsOnTheUiThread)
{
    RecordingDialog dialog;
    dialog.Create(nullptr, L"d", WS_POPUP, 0, CRect(0, 0, 10, 10));
    auto* spinner =
        dialog.GetPaintManager().AddControl(std::make_unique<ProbeControl>(&dialog, 1, CRect(0, 0, 5, 5)));
    spinner->SetRunTimer(1);
    spinner->AddMTimer();
    const unsigned id = dialog.SetMTimer(10);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(dialog.GetPaintManager().GetMTimerID(), id);
    Backend().RunFor(100);
    EXPECT_EQ(dialog.GetPaintManager().AnimationTicks(), 10u);
    dialog.KillMTimer(id);
    Backend().RunFor(100);
    EXPECT_EQ(dialog.GetPaintManager().AnimationTicks(), 10u);

    // A second SetMTimer replaces the first timer.
    const unsigned first = dialog.SetMTimer(10);
    const unsigned second = dialog.SetMTimer(10);
    EXPECT_EQ(dialog.GetPaintManager().GetTimerIsRun(first), 0);
    EXPECT_EQ(dialog.GetPaintManager().GetMTimerID(), second);
    EXPECT_EQ(dialog.GetPaintManager().TimerCount(), 1u);

    // The window's end stops its tick.
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.GetPaintManager().TimerCount(), 0u);
}

} // namespace
