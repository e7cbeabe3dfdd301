// The paint manager's control tree on the headless backend: creation by class name, routing of mouse,
// wheel and keyboard input, focus and Tab order, activation loss, removal while an event is being
// handled, repaint requests and stale marking, control timers and the animation tick.

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <set>

#include "tests/ui/control_probe.h"
#include "ui/framework/c_area.h"
#include "ui/framework/control_factory.h"
#include "ui/framework/m_panel.h"

namespace {

using ControlTreeTest = ControlFixture;

// A stand-in constructor for a table entry, restored afterwards.
class ScopedConstructor {
public:
    ScopedConstructor(const wchar_t* name, ControlConstructor construct)
        : m_name(name), m_previous(SetControlConstructor(name, construct))
    {
    }
    ~ScopedConstructor() { SetControlConstructor(m_name, m_previous); }

private:
    const wchar_t* m_name;
    ControlConstructor m_previous;
};

struct MadeWith {
    std::wstring title;
    int a = -1;
    int b = -1;
};
MadeWith g_lastMade;

std::unique_ptr<MControl> MakeProbe(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int a,
                                    int b)
{
    g_lastMade = {title, a, b};
    return std::make_unique<ProbeControl>(parent, id, rect, a, b);
}

TEST_F(ControlTreeTest, ClassNamesAreExactAndEachClassHasItsMakers)
{
    ScopedConstructor keyFunc(L"KeyFuncControl", &MakeProbe);
    ScopedConstructor battery(L"BatteryCtrl", &MakeProbe);
    ScopedConstructor text(L"MText", &MakeProbe);
    auto* panel = static_cast<MPanel*>(
        Manager().AddControl(std::make_unique<MPanel>(&dialog, 50, CRect(0, 0, 90, 90), 1)));
    struct Case {
        const wchar_t* name;
        bool byWindow;
        bool byPanel;
    };
    const Case cases[] = {
        {L"CArea", true, true},        {L"carea", false, false},
        {L"CAREA", false, false},      {L"CArea ", false, false},
        {L"", false, false},           {L"MNothing", false, false},
        {L"MText", true, true},        {L"KeyFuncControl", false, true},
        {L"BatteryCtrl", true, false}, {L"DListBox", false, true},
    };
    unsigned id = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        const size_t before = Manager().GetControls().Size();
        MControl* made = dialog.CreateControl(c.name, ++id, CRect(1, 2, 3, 4), L"t", 1, 1);
        EXPECT_EQ(made != nullptr, c.byWindow);
        EXPECT_EQ(Manager().GetControls().Size(), before + (c.byWindow ? 1 : 0));
        EXPECT_EQ(panel->CreateControl(c.name, ++id, CRect(1, 2, 3, 4), L"t", 1, 1) != nullptr, c.byPanel);
    }
    EXPECT_EQ(dialog.CreateControl(nullptr, 1, CRect()), nullptr);

    // The table's constructor gets the title and both flags; the manager and the owner are set.
    MControl* made = dialog.CreateControl(L"MText", 7, CRect(5, 6, 25, 16), L"Hello", 1, 0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(g_lastMade.title, L"Hello");
    EXPECT_EQ(g_lastMade.a, 1);
    EXPECT_EQ(g_lastMade.b, 0);
    EXPECT_EQ(made->GetManager(), &Manager());
    EXPECT_EQ(made->GetParantObject(), static_cast<MObject*>(&dialog));
    EXPECT_EQ(made->GetRect(), CRect(5, 6, 25, 16));
    EXPECT_EQ(dialog.GetControl(7), made);

    // Areas go to their own list, drawn first.
    MControl* area = dialog.CreateArea(L"CArea", 8, CRect(0, 0, 10, 10));
    EXPECT_TRUE(Manager().GetAreas().Contains(area));
    EXPECT_FALSE(Manager().GetControls().Contains(area));
}

TEST_F(ControlTreeTest, TheHoverIsTheLastResponsiveControlHoldingThePoint)
{
    auto* a = dialog.Add<ProbeControl>(1u, CRect(0, 0, 100, 100));
    auto* b = dialog.Add<ProbeControl>(2u, CRect(50, 50, 150, 150));
    auto* hidden = dialog.Add<ProbeControl>(3u, CRect(0, 0, 200, 200), 0);
    auto* deaf = dialog.Add<ProbeControl>(4u, CRect(0, 0, 30, 30));
    deaf->SetRresponse(0);
    auto* area = dialog.AddArea<ProbeControl>(5u, CRect(0, 0, 400, 300));
    struct Case {
        CPoint at;
        MControl* hover;
    };
    const Case cases[] = {
        {{75, 75}, b}, {{25, 40}, a}, {{10, 10}, a}, {{120, 120}, b}, {{300, 250}, nullptr},
    };
    for (const Case& c : cases) {
        Move(c.at);
        EXPECT_EQ(Manager().GetHoverControl(), c.hover) << c.at.x << "," << c.at.y;
    }
    // Every control hears every move (that is how one notices the pointer leaving); areas hear nothing.
    EXPECT_EQ(a->CountOf("move"), 5);
    EXPECT_EQ(hidden->CountOf("move"), 0);
    EXPECT_TRUE(area->events.empty());
    Click({10, 10});
    EXPECT_TRUE(area->events.empty());
}

TEST_F(ControlTreeTest, PressCapturesAndTheReleaseGoesToThePressedControl)
{
    auto* a = dialog.Add<ProbeControl>(1u, CRect(10, 10, 60, 60));
    a->SetTabStop(1);
    Move({20, 20});
    a->Take();
    Backend().Press(hwnd, kButtonLeft, {20, 20});
    Run();
    EXPECT_EQ(a->Take(), (std::vector<std::string>{"focus", "ldown 20,20"}));
    EXPECT_EQ(WindowSystem::GetCapture(), hwnd);
    EXPECT_TRUE(Manager().IsCaptured());
    EXPECT_EQ(Manager().GetFocusControl(), a);

    // While pressed the control follows the pointer out of its rectangle.
    Move({200, 150});
    EXPECT_EQ(a->Take(), (std::vector<std::string>{"move 200,150"}));
    Backend().Release(hwnd, kButtonLeft, {200, 150});
    Run();
    EXPECT_EQ(a->Take(), (std::vector<std::string>{"lup 200,150"}));
    EXPECT_EQ(WindowSystem::GetCapture(), nullptr);
    EXPECT_FALSE(Manager().IsCaptured());
    EXPECT_EQ(Manager().GetHoverControl(), nullptr);
    EXPECT_EQ(Manager().GetFocusControl(), a);

    // A press elsewhere takes the focus away (and drags the window: nothing holds the press).
    Click({300, 250});
    EXPECT_EQ(Manager().GetFocusControl(), nullptr);
    EXPECT_EQ(a->Take(), (std::vector<std::string>{"move 300,250", "blur"}));
}

TEST_F(ControlTreeTest, RightButtonAndDoubleClicks)
{
    auto* a = dialog.Add<ProbeControl>(1u, CRect(10, 10, 60, 60));
    auto* reporting = dialog.Add<ProbeControl>(2u, CRect(100, 10, 160, 60));
    reporting->SetDblClk(1);
    Click({20, 20}, kButtonRight);
    EXPECT_EQ(a->CountOf("rdown"), 1);
    EXPECT_EQ(a->CountOf("rup"), 1);
    EXPECT_EQ(Manager().GetFocusControl(), a);

    // A second quick click is a double click: a plain control takes it as another press; one that
    // reports double clicks tells its owner (code 3) and gets its double-click handler.
    Click({20, 20});
    Click({20, 20});
    EXPECT_EQ(a->CountOf("ldown"), 2);
    EXPECT_EQ(a->CountOf("ldbl"), 0);
    Backend().GetVirtualClock().Advance(1000);
    Click({110, 20});
    Click({110, 20});
    EXPECT_EQ(reporting->CountOf("ldown"), 1);
    EXPECT_EQ(reporting->CountOf("ldbl"), 1);
    ASSERT_FALSE(dialog.notifications.empty());
    EXPECT_EQ(dialog.notifications.back().rfind("2:3:", 0), 0u);
}

TEST_F(ControlTreeTest, WheelStepsGoToTheHoverFirstThenToTheFirstTaker)
{
    auto* a = dialog.Add<ProbeControl>(1u, CRect(0, 0, 50, 50));
    auto* b = dialog.Add<ProbeControl>(2u, CRect(100, 0, 150, 50));
    auto* c = dialog.Add<ProbeControl>(3u, CRect(200, 0, 250, 50));
    b->takesWheel = 1;
    c->takesWheel = 1;
    Move({210, 10}); // c is the hover
    struct Case {
        int distance;
        std::vector<std::string> a, b, c;
    };
    auto down = std::string("wheel down");
    auto up = std::string("wheel up");
    const Case cases[] = {
        {-240, {}, {}, {down, down}},
        {0, {}, {}, {}},
        {120, {}, {}, {up}},
        {-119, {}, {}, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.distance);
        a->Take();
        b->Take();
        c->Take();
        CPoint screen(210, 10);
        WindowSystem::ClientToScreen(hwnd, &screen);
        WindowSystem::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, k.distance),
                                   MAKELPARAM(screen.x, screen.y));
        EXPECT_EQ(c->Take(), k.c);
    }
    // A hover that does not take a step passes it to the controls in order until one takes it.
    c->takesWheel = 0;
    a->Take();
    CPoint screen(210, 10);
    WindowSystem::ClientToScreen(hwnd, &screen);
    const LRESULT taken =
        WindowSystem::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -240), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(c->CountOf("wheel down"), 2);
    EXPECT_EQ(a->CountOf("wheel down"), 2);
    EXPECT_EQ(b->CountOf("wheel down"), 2);
}

TEST_F(ControlTreeTest, TabMovesTheFocusAroundAndCtrlTabDoesNothing)
{
    auto* p1 = dialog.Add<ProbeControl>(1u, CRect(0, 0, 10, 10));
    auto* p2 = dialog.Add<ProbeControl>(2u, CRect(20, 0, 30, 10), 1, 0); // disabled
    auto* p3 = dialog.Add<ProbeControl>(3u, CRect(40, 0, 50, 10));
    auto* p4 = dialog.Add<ProbeControl>(4u, CRect(60, 0, 70, 10)); // no tab stop
    for (ProbeControl* p : {p1, p2, p3})
        p->SetTabStop(1);
    (void)p4;
    WindowSystem::SetFocus(hwnd);
    auto press = [&](std::initializer_list<unsigned> held) {
        for (unsigned k : held)
            Backend().KeyDown(hwnd, k);
        Key(KEY_TAB);
        for (unsigned k : held)
            Backend().KeyUp(hwnd, k);
        Run();
        return Manager().GetFocusControl();
    };
    EXPECT_EQ(press({}), p1);
    EXPECT_EQ(press({}), p3);
    EXPECT_EQ(press({}), p1); // wraps around
    EXPECT_EQ(press({KEY_LEFTSHIFT}), p3);
    EXPECT_EQ(press({KEY_LEFTCTRL}), p3);
    EXPECT_EQ(press({KEY_LEFTCTRL, KEY_LEFTSHIFT}), p3);
    // A consumed Tab never reaches the controls' key handlers.
    EXPECT_EQ(p1->CountOf("key 9 0"), 0);
    // Ctrl+Tab (with or without Shift) is not consumed: it goes on to the controls with modifier code 17.
    EXPECT_EQ(p1->CountOf("key 9 17"), 2);
}

TEST_F(ControlTreeTest, KeysGoToTheHoverFirstThenToTheControlsInOrder)
{
    auto* a = dialog.Add<ProbeControl>(1u, CRect(0, 0, 50, 50));
    auto* b = dialog.Add<ProbeControl>(2u, CRect(100, 0, 150, 50));
    b->takesKeys = 1;
    Move({110, 10});
    WindowSystem::SetFocus(hwnd);
    Key(KEY_A);
    EXPECT_EQ(b->CountOf("key 65 0"), 1);
    EXPECT_EQ(a->CountOf("key"), 0);
    Move({300, 200});
    Key(KEY_A);
    EXPECT_EQ(a->CountOf("key 65 0"), 1);
    EXPECT_EQ(b->CountOf("key 65 0"), 2);
}

TEST_F(ControlTreeTest, ActivationLossAndLeavingEndThePress)
{
    auto* a = dialog.Add<ProbeControl>(1u, CRect(10, 10, 60, 60));
    Backend().FocusIn(hwnd);
    Move({20, 20});
    Backend().Press(hwnd, kButtonLeft, {20, 20});
    Run();
    a->Take();
    Backend().FocusOut(hwnd);
    Run();
    EXPECT_EQ(a->Take(), (std::vector<std::string>{"lup -1,-1"}));
    EXPECT_EQ(Manager().GetHoverControl(), nullptr);
    EXPECT_FALSE(Manager().IsCaptured());
    EXPECT_EQ(WindowSystem::GetCapture(), nullptr);
    Backend().Release(hwnd, kButtonLeft, {20, 20});
    Run();

    // Without a press the hover hears a move to (−1, −1) instead.
    Backend().FocusIn(hwnd);
    Move({20, 20});
    a->Take();
    Backend().FocusOut(hwnd);
    Run();
    EXPECT_EQ(a->Take(), (std::vector<std::string>{"move -1,-1"}));

    // Leaving the window does the same.
    Backend().FocusIn(hwnd);
    Move({20, 20});
    a->Take();
    Backend().LeaveWindow(hwnd);
    Run();
    EXPECT_EQ(a->Take(), (std::vector<std::string>{"move -1,-1"}));
    EXPECT_EQ(Manager().GetHoverControl(), nullptr);
}

TEST_F(ControlTreeTest, DisabledControlsDoNotHoldAPressSoTheWindowDrags)
{
    auto* label = dialog.Add<ProbeControl>(1u, CRect(0, 0, 200, 40), 1, 0);
    Move({20, 20});
    Backend().Press(hwnd, kButtonLeft, {20, 20});
    Run();
    Backend().MoveMouse(hwnd, {40, 25});
    Backend().Release(hwnd, kButtonLeft, {40, 25});
    Run();
    CRect rect;
    dialog.GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(120, 105));
    EXPECT_EQ(label->CountOf("ldown"), 0);
}

// A control that tells its owner when it is clicked.
class Clicker : public ProbeControl {
public:
    using ProbeControl::ProbeControl;
    int OnControlLButtonUp(unsigned flags, CPoint p) override
    {
        ProbeControl::OnControlLButtonUp(flags, p);
        SendMessageW(2);
        // Still alive here even when the owner removed it.
        events.push_back("after");
        return 1;
    }
};

TEST_F(ControlTreeTest, AControlMayBeRemovedWhileItHandlesAnEvent)
{
    auto* panel = static_cast<MPanel*>(
        Manager().AddControl(std::make_unique<MPanel>(&dialog, 9, CRect(0, 0, 200, 200), 1)));
    auto* inner =
        static_cast<Clicker*>(panel->AddControl(std::make_unique<Clicker>(panel, 20, CRect(10, 10, 50, 50))));
    auto* top = dialog.Add<Clicker>(21u, CRect(250, 10, 300, 50));
    dialog.onMessage = [&](unsigned id, unsigned code) {
        if (code != 2)
            return;
        if (id == 20)
            panel->RemoveControl(dialog.GetControl(20));
        if (id == 21)
            Manager().ClearControls();
    };
    Click({20, 20});
    EXPECT_EQ(dialog.GetControl(20), nullptr);
    EXPECT_EQ(panel->GetHotChild(), nullptr);
    (void)inner;
    Click({260, 20});
    EXPECT_EQ(dialog.GetControl(21), nullptr);
    EXPECT_EQ(dialog.GetControl(9), nullptr);
    EXPECT_EQ(Manager().GetHoverControl(), nullptr);
    EXPECT_EQ(Manager().GetFocusControl(), nullptr);
    (void)top;
    Move({20, 20});
}

TEST_F(ControlTreeTest, RepaintMarksLaterOverlappingControlsStale)
{
    auto* back = dialog.AddArea<ProbeControl>(1u, CRect(0, 0, 400, 300));
    auto* a = dialog.Add<ProbeControl>(2u, CRect(0, 0, 100, 100));
    auto* b = dialog.Add<ProbeControl>(3u, CRect(50, 50, 150, 150));
    auto* c = dialog.Add<ProbeControl>(4u, CRect(300, 0, 350, 50));
    auto* hiddenOverlap = dialog.Add<ProbeControl>(5u, CRect(0, 0, 100, 100), 0);
    dialog.InvalidateRect(nullptr, 0);
    Run();
    for (ProbeControl* p : {back, a, b, c})
        EXPECT_EQ(p->redraws, 1);

    a->UpdateControl(1, 0);
    EXPECT_EQ(a->GetUpdate(), 0);
    EXPECT_EQ(b->GetUpdate(), 0);    // later and overlapping
    EXPECT_EQ(c->GetUpdate(), 1);    // later, elsewhere
    EXPECT_EQ(back->GetUpdate(), 1); // beneath
    EXPECT_EQ(hiddenOverlap->GetUpdate(), 1);
    CRegion expected(CRect(0, 0, 100, 100));
    expected.Union(CRect(50, 50, 150, 150));
    CRegion invalid = WindowSystem::GetUpdateRegion(hwnd);
    EXPECT_EQ(invalid.Rects(), expected.Rects());
    Run();
    EXPECT_EQ(a->redraws, 2);
    EXPECT_EQ(b->redraws, 2);
    EXPECT_EQ(c->redraws, 1);
    EXPECT_EQ(back->redraws, 1);
    // What the window shows: b over a over the area.
    EXPECT_EQ(Shown().image.Pixel(60, 60), b->colour);

    // An area's change marks the controls above it stale too.
    back->UpdateControl(1, 0);
    EXPECT_EQ(c->GetUpdate(), 0);

    // In a layered window every request repaints the whole window.
    Run();
    dialog.SetLayeredWindow(1);
    c->UpdateControl(1, 0);
    CRect update;
    WindowSystem::GetUpdateRect(hwnd, &update, FALSE);
    EXPECT_EQ(update, CRect(0, 0, 400, 300));
}

TEST_F(ControlTreeTest, ControlTimersStartAt17AndNeverTakeOverlayIds)
{
    auto* a = dialog.Add<ProbeControl>(1u, CRect(0, 0, 10, 10));
    auto* b = dialog.Add<ProbeControl>(2u, CRect(20, 0, 30, 10));
    EXPECT_EQ(Manager().SetTimer(a, 5, 100), 17);
    EXPECT_EQ(Manager().SetTimer(b, 5, 100), 18);
    EXPECT_EQ(Manager().SetTimer(a, 5, 50), 17); // the same entry, restarted
    Backend().RunFor(100);
    EXPECT_EQ(a->CountOf("timer 5"), 2);
    EXPECT_EQ(b->CountOf("timer 5"), 1);
    EXPECT_EQ(Manager().KillTimer(a, 5), 1);
    Backend().RunFor(200);
    EXPECT_EQ(a->CountOf("timer 5"), 2);
    EXPECT_EQ(Manager().SetTimer(a, 5, 50), 17); // a killed entry comes back with its id
    EXPECT_EQ(Manager().KillTimer(a), 1);
    EXPECT_EQ(Manager().KillTimer(b), 1);

    // Every id of the cycle but 0, 66, 88 and 99 can be handed out, each once; then there is none.
    std::set<int> ids;
    for (unsigned key = 0; key < 236; ++key) {
        const int id = Manager().SetTimer(a, key, 1000);
        ASSERT_NE(id, 0) << key;
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 236u);
    for (int reserved : {0, 66, 88, 99})
        EXPECT_FALSE(ids.contains(reserved)) << reserved;
    EXPECT_EQ(Manager().SetTimer(a, 999, 1000), 0);

    // The overlay's timers never reach a control.
    a->Take();
    Manager().SetMessage(L"saved", CRect(10, 10, 200, 60), MSG_LEVEL_INFO);
    Manager().ClearTimers();
    Backend().RunFor(3200);
    EXPECT_TRUE(a->Take().empty());
}

TEST_F(ControlTreeTest, AnimationTickReachesVisibleRunningControlsOnly)
{
    auto* parent = dialog.Add<ProbeControl>(1u, CRect(0, 0, 100, 100));
    auto* child = static_cast<ProbeControl*>(
        parent->AddControl(std::make_unique<ProbeControl>(parent, 2, CRect(0, 0, 10, 10))));
    auto* idle = dialog.Add<ProbeControl>(3u, CRect(200, 0, 210, 10));
    for (ProbeControl* p : {parent, child, idle})
        p->AddMTimer();
    parent->SetRunTimer(1);
    child->SetRunTimer(1);
    const std::string tick = "timer " + std::to_string(kAnimationTimerKey);
    ASSERT_NE(dialog.SetMTimer(10), 0u);
    Backend().RunFor(30);
    EXPECT_EQ(parent->CountOf(tick), 3);
    EXPECT_EQ(child->CountOf(tick), 6); // its own entry, and again through its running parent
    EXPECT_EQ(idle->CountOf(tick), 0);

    // A hidden parent stops both; a control that leaves the tick hears no more of it.
    parent->SetVisible(0);
    Backend().RunFor(30);
    EXPECT_EQ(parent->CountOf(tick), 3);
    EXPECT_EQ(child->CountOf(tick), 6);
    parent->SetVisible(1);
    Manager().DeleteFSTimer(child);
    Backend().RunFor(10);
    EXPECT_EQ(parent->CountOf(tick), 4);
    EXPECT_EQ(child->CountOf(tick), 7);
}

// The main window turns the tick on at start-up; its timer runs only while a joined control would get
// the tick, so an idle window has nothing to wake for. What reaches the controls stays the same.
TEST_F(ControlTreeTest, AnimationTickTimerRunsOnlyWhileAVisibleControlWantsIt)
{
    const unsigned id = dialog.SetMTimer(10);
    ASSERT_NE(id, 0u);
    auto* panel = dialog.Add<ProbeControl>(1u, CRect(0, 0, 100, 100));
    auto* spinner = static_cast<ProbeControl*>(
        panel->AddControl(std::make_unique<ProbeControl>(panel, 2, CRect(0, 0, 10, 10))));
    spinner->AddMTimer();
    const std::string tick = "timer " + std::to_string(kAnimationTimerKey);

    struct Step {
        const char* change;
        std::function<void()> apply;
        bool runs;
    };
    const Step steps[] = {
        {"joined, no run-timer flag", [] {}, false},
        {"run-timer flag set", [&] { spinner->SetRunTimer(1); }, true},
        {"parent hidden", [&] { panel->SetVisible(0); }, false},
        {"parent shown", [&] { panel->SetVisible(1); }, true},
        {"hidden without a repaint request", [&] { spinner->SetVisible(0, 0); }, false},
        {"shown again", [&] { spinner->SetVisible(1); }, true},
        {"run-timer flag cleared", [&] { spinner->SetRunTimer(0); }, false},
        {"set again", [&] { spinner->SetRunTimer(1); }, true},
        {"left the tick", [&] { Manager().DeleteFSTimer(spinner); }, false},
        {"joined again", [&] { spinner->AddMTimer(); }, true},
    };
    for (const Step& step : steps) {
        step.apply();
        EXPECT_EQ(Manager().IsMTimerRunning(), step.runs) << step.change;
        EXPECT_EQ(WindowSystem::PendingDeadline().has_value(), step.runs) << step.change;
        const int before = spinner->CountOf(tick);
        Backend().RunFor(50);
        EXPECT_EQ(spinner->CountOf(tick) - before, step.runs ? 5 : 0) << step.change;
        EXPECT_EQ(Manager().GetMTimerID(), id) << step.change;
    }

    // Turned on while a control already animates, the tick runs at once; removing the control ends it.
    dialog.KillMTimer(id);
    ASSERT_NE(dialog.SetMTimer(10), 0u);
    EXPECT_TRUE(Manager().IsMTimerRunning());
    panel->RemoveControl(spinner);
    EXPECT_FALSE(Manager().IsMTimerRunning());
    const uint64_t ticks = Manager().AnimationTicks();
    Backend().RunFor(50);
    EXPECT_EQ(Manager().AnimationTicks(), ticks);
}

TEST_F(ControlTreeTest, AManagerWithoutAWindowStillReleasesItsControls)
{
    auto manager = std::make_unique<PaintManager>();
    auto* probe = static_cast<ProbeControl*>(
        manager->AddControl(std::make_unique<ProbeControl>(nullptr, 1, CRect(0, 0, 5, 5))));
    probe->AddMTimer();
    EXPECT_EQ(manager->SetTimer(probe, 1, 10), 0); // no window, no timer
    manager->SetFocusControl(probe);
    manager.reset();
}

} // namespace
