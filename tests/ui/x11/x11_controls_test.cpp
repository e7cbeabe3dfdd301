// The editing controls on a real X server (Xvfb in the test script), driven by XTest: a combo box's
// popup and a menu opened and an item picked with clicks, an edit box typed into (also a character of a
// layout that is not Latin), and the clipboard with another X client on either side of it.

// Xlib comes last: its macros (None, FocusIn, …) would break the headers before it.
#include <gtest/gtest.h>

#include "tests/ui/control_probe.h"
#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/menu_wnd.h"

#include "tests/ui/x11/x11_fixture.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <atomic>
#include <chrono>
#include <poll.h>
#include <thread>

namespace {

constexpr UINT kMenuMessage = WM_USER + 801;
enum Ids : unsigned { kCombo = 240, kEdit = 241 };

class DialogWithPosts : public ControlDialog {
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == kMenuMessage)
            posted.push_back(static_cast<long>(lParam));
        return ControlDialog::OnWindowMessage(msg, wParam, lParam);
    }
    std::vector<long> posted;
};

class X11ControlsTest : public X11Test {
protected:
    void SetUp() override
    {
        X11Test::SetUp();
        if (HasFatalFailure())
            return;
        dialog.Create(nullptr, L"controls", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 600, 500));
        combo = static_cast<MComboBox*>(dialog.CreateControl(L"MComboBox", kCombo, CRect(20, 20, 220, 58)));
        for (const wchar_t* mode : {L"Static", L"Breathing", L"Wave", L"Ripple"})
            combo->AddItem(mode);
        edit = static_cast<MEdit*>(dialog.CreateControl(L"MEdit", kEdit, CRect(20, 80, 220, 112), L"old"));
        ASSERT_TRUE(PumpUntil([&] { return Viewable(dialog.GetSafeHwnd()); }));
    }

    void TearDown() override
    {
        dialog.DestroyWindow();
        X11Test::TearDown();
    }

    void ClickAt(CPoint screen)
    {
        XTestFakeMotionEvent(m_probe, DefaultScreen(m_probe), screen.x, screen.y, CurrentTime);
        XTestFakeButtonEvent(m_probe, 1, True, CurrentTime);
        XTestFakeButtonEvent(m_probe, 1, False, CurrentTime);
        XFlush(m_probe);
    }
    void Tap(KeySym keysym, KeySym modifier = NoSymbol)
    {
        const KeyCode held = modifier != NoSymbol ? XKeysymToKeycode(m_probe, modifier) : 0;
        if (held)
            XTestFakeKeyEvent(m_probe, held, True, CurrentTime);
        const KeyCode key = XKeysymToKeycode(m_probe, keysym);
        XTestFakeKeyEvent(m_probe, key, True, CurrentTime);
        XTestFakeKeyEvent(m_probe, key, False, CurrentTime);
        if (held)
            XTestFakeKeyEvent(m_probe, held, False, CurrentTime);
        XFlush(m_probe);
    }
    // Puts a keysym on a key nobody uses, as a keyboard layout does, and types it.
    void TypeRemapped(KeySym keysym)
    {
        int minCode = 0;
        int maxCode = 0;
        XDisplayKeycodes(m_probe, &minCode, &maxCode);
        int perCode = 0;
        KeySym* map =
            XGetKeyboardMapping(m_probe, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
        int spare = 0;
        for (int code = maxCode; code >= minCode && !spare; --code) {
            bool unused = true;
            for (int i = 0; i < perCode; ++i)
                unused = unused && map[(code - minCode) * perCode + i] == NoSymbol;
            if (unused)
                spare = code;
        }
        XFree(map);
        ASSERT_NE(spare, 0);
        KeySym symbols[1] = {keysym};
        XChangeKeyboardMapping(m_probe, spare, 1, symbols, 1);
        XSync(m_probe, False);
        // The mapping change reaches the window system before the key does.
        PumpUntil([] { return false; }, 100);
        XTestFakeKeyEvent(m_probe, static_cast<KeyCode>(spare), True, CurrentTime);
        XTestFakeKeyEvent(m_probe, static_cast<KeyCode>(spare), False, CurrentTime);
        XFlush(m_probe);
        PumpUntil([] { return false; }, 100);
        KeySym none[1] = {NoSymbol};
        XChangeKeyboardMapping(m_probe, spare, 1, none, 1);
        XSync(m_probe, False);
    }
    CPoint OnScreen(const MControl* control) const
    {
        return control->GetRect().CenterPoint() + CPoint(100, 100);
    }

    DialogWithPosts dialog;
    MComboBox* combo = nullptr;
    MEdit* edit = nullptr;
};

// Another X client holding the clipboard, answering requests for its text on a thread of its own.
class OtherClipboardOwner {
public:
    explicit OtherClipboardOwner(std::string text) : m_text(std::move(text))
    {
        m_display = XOpenDisplay(nullptr);
        m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        m_clipboard = XInternAtom(m_display, "CLIPBOARD", False);
        m_utf8 = XInternAtom(m_display, "UTF8_STRING", False);
        XSetSelectionOwner(m_display, m_clipboard, m_window, CurrentTime);
        XSync(m_display, False);
        m_thread = std::thread([this] { Serve(); });
    }
    ~OtherClipboardOwner()
    {
        m_stop = true;
        m_thread.join();
        XCloseDisplay(m_display);
    }

private:
    void Serve()
    {
        while (!m_stop) {
            pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
            poll(&fd, 1, 20);
            while (XPending(m_display)) {
                XEvent event;
                XNextEvent(m_display, &event);
                if (event.type != SelectionRequest)
                    continue;
                const XSelectionRequestEvent& request = event.xselectionrequest;
                XEvent reply{};
                reply.xselection.type = SelectionNotify;
                reply.xselection.requestor = request.requestor;
                reply.xselection.selection = request.selection;
                reply.xselection.target = request.target;
                reply.xselection.time = request.time;
                reply.xselection.property = None;
                if (request.target == m_utf8) {
                    XChangeProperty(m_display, request.requestor, request.property, m_utf8, 8,
                                    PropModeReplace, reinterpret_cast<const unsigned char*>(m_text.data()),
                                    static_cast<int>(m_text.size()));
                    reply.xselection.property = request.property;
                }
                XSendEvent(m_display, request.requestor, False, NoEventMask, &reply);
                XFlush(m_display);
            }
        }
    }

    std::string m_text;
    Display* m_display = nullptr;
    Window m_window = 0;
    Atom m_clipboard = 0;
    Atom m_utf8 = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

TEST_F(X11ControlsTest, AComboPopupOpensAndARowIsPickedWithClicks)
{
    ClickAt(OnScreen(combo));
    ASSERT_TRUE(
        PumpUntil([&] { return combo->IsDroppedDown() && Viewable(combo->GetDropDown()->GetSafeHwnd()); }));
    CRect popup;
    combo->GetDropDown()->GetWindowRect(&popup);
    EXPECT_EQ(popup, CRect(124, 158, 314, 158 + 4 * 30 + 12));
    // The third row, through the real pointer.
    ClickAt(CPoint(popup.left + 40, popup.top + 6 + 2 * 30 + 15));
    ASSERT_TRUE(PumpUntil([&] { return !combo->IsDroppedDown(); }));
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(combo->GetTitle(), L"Wave");
    EXPECT_EQ(dialog.notifications, (std::vector<std::string>{"240:2:2:0"}));

    // Opened again, a click back on the dialog closes it without a choice.
    ClickAt(OnScreen(combo));
    ASSERT_TRUE(PumpUntil([&] { return combo->IsDroppedDown(); }));
    ClickAt(CPoint(450, 450));
    EXPECT_TRUE(PumpUntil([&] { return !combo->IsDroppedDown(); }));
    EXPECT_EQ(combo->GetCurSel(), 2);
}

TEST_F(X11ControlsTest, AMenuRowIsPickedWithAClick)
{
    MenuWnd menu(&dialog);
    menu.Create(dialog.GetSafeHwnd(), CPoint(300, 250), kMenuMessage);
    menu.AddMenu(L"Restore default", 606);
    menu.AddMenu(L"Macro", 608);
    menu.AddMenu(L"Disable", 607);
    menu.ShowWindow(SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(menu.GetSafeHwnd()); }));
    const CPoint row = menu.GetItem(608)->GetRect().CenterPoint() + CPoint(300, 250);
    XTestFakeMotionEvent(m_probe, DefaultScreen(m_probe), row.x, row.y, CurrentTime);
    XFlush(m_probe);
    ASSERT_TRUE(PumpUntil([&] { return menu.GetHotItem() == menu.GetItem(608); }));
    ClickAt(row);
    ASSERT_TRUE(PumpUntil([&] { return !menu.IsLive() && !dialog.posted.empty(); }));
    EXPECT_EQ(dialog.posted, (std::vector<long>{608}));
}

TEST_F(X11ControlsTest, AnEditBoxTakesTypedTextFromTheKeyboard)
{
    ClickAt(OnScreen(edit));
    ASSERT_TRUE(PumpUntil([&] { return edit->IsEditing(); }));
    // The editor has the keyboard: typing replaces the selected text.
    Tap(XK_k);
    Tap(XK_b, XK_Shift_L);
    Tap(XK_space);
    ASSERT_TRUE(PumpUntil([&] { return edit->GetEditText() == L"kB "; }));
    TypeRemapped(0x1000436); // "ж" on a Cyrillic layout
    ASSERT_TRUE(PumpUntil([&] { return edit->GetEditText() == L"kB ж"; }));
    Tap(XK_BackSpace);
    Tap(XK_Left);
    Tap(XK_Delete);
    Tap(XK_Return);
    ASSERT_TRUE(PumpUntil([&] { return !edit->IsEditing(); }));
    EXPECT_EQ(edit->GetTitle(), L"kB");
    EXPECT_EQ(dialog.notifications.back(), "241:29:0:0");
}

TEST_F(X11ControlsTest, TheClipboardIsSharedWithOtherClients)
{
    // Copy: another client asks for our CLIPBOARD and gets the text as UTF-8.
    edit->SetTitle(L"Grüße");
    ClickAt(OnScreen(edit));
    ASSERT_TRUE(PumpUntil([&] { return edit->IsEditing(); }));
    Tap(XK_c, XK_Control_L);
    const Atom clipboard = XInternAtom(m_probe, "CLIPBOARD", False);
    ASSERT_TRUE(PumpUntil([&] { return XGetSelectionOwner(m_probe, clipboard) != None; }));
    const Window asker = XCreateSimpleWindow(m_probe, DefaultRootWindow(m_probe), 0, 0, 1, 1, 0, 0, 0);
    const Atom utf8 = XInternAtom(m_probe, "UTF8_STRING", False);
    const Atom into = XInternAtom(m_probe, "PASTED", False);
    XConvertSelection(m_probe, clipboard, utf8, into, asker, CurrentTime);
    XFlush(m_probe);
    XEvent answer;
    ASSERT_TRUE(
        PumpUntil([&] { return XCheckTypedWindowEvent(m_probe, asker, SelectionNotify, &answer) != 0; }));
    ASSERT_EQ(answer.xselection.property, into);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(m_probe, asker, into, 0, 1024, True, AnyPropertyType, &type, &format, &count, &after,
                       &data);
    EXPECT_EQ(type, utf8);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), count), "Grüße");
    XFree(data);

    // Paste: another client holds the clipboard; Ctrl+V asks it and waits for the answer.
    OtherClipboardOwner other("Клавиатура");
    Tap(XK_End);
    Tap(XK_v, XK_Control_L);
    EXPECT_TRUE(PumpUntil([&] { return edit->GetEditText() == L"GrüßeКлавиатура"; }));
}

} // namespace
