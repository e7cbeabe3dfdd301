// Edit boxes and the in-place editor on the headless backend: the editing rules of the text model, the
// notifications of an edit box through a whole edit (open, change, close, Escape), typing non-Latin text,
// the clipboard both ways, selection with keys and the mouse, the caret's timer, the rich edits'
// lines, and the editor's place over a layered window.

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

#include "tests/support/scoped_folders.h"
#include "tests/ui/control_probe.h"
#include "tests/ui/keyboard_input.h"
#include "ui/controls/edit_text.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_rich_edit.h"
#include "ui/framework/control_factory.h"

namespace {

// --- The text model ---

TEST(EditTextTest, EditsFollowTheRulesOfTheOptions)
{
    struct Case {
        const char* what;
        int limit;
        bool numberOnly;
        bool multiLine;
        bool readOnly;
        const wchar_t* start;
        const wchar_t* insert;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"the limit cuts what is typed", 5, false, false, false, L"abc", L"defgh", L"abcde"},
        {"a full text takes nothing more", 3, false, false, false, L"abc", L"d", L"abc"},
        {"digits only keeps the digits", 0, true, false, false, L"", L"a1b2 3-", L"123"},
        {"one line takes the first line", 0, false, false, false, L"", L"one\r\ntwo", L"one"},
        {"several lines keep their breaks", 0, false, true, false, L"", L"one\r\ntwo\rthree",
         L"one\ntwo\nthree"},
        {"control characters go", 0, false, false, false, L"",
         L"a\tb\x1b"
         L"c\x7f",
         L"abc"},
        {"read-only takes nothing", 0, false, false, true, L"abc", L"d", L"abc"},
        {"non-Latin text is text", 3, false, false, false, L"", L"Жёлтый", L"Жёл"},
    };
    for (const Case& c : cases) {
        EditText text;
        text.SetLimit(c.limit);
        text.SetNumberOnly(c.numberOnly);
        text.SetMultiLine(c.multiLine);
        text.SetText(c.start);
        text.SetReadOnly(c.readOnly);
        text.Insert(c.insert);
        EXPECT_EQ(text.Text(), c.expected) << c.what;
        EXPECT_EQ(text.Caret(), text.Length()) << c.what;
    }

    // A letter typed over a selected number is refused; it does not clear the number.
    EditText digits;
    digits.SetNumberOnly(true);
    digits.SetText(L"250");
    digits.SelectAll();
    EXPECT_FALSE(digits.Insert(L"x"));
    EXPECT_EQ(digits.Text(), L"250");
    EXPECT_EQ(digits.SelectedText(), L"250");
}

TEST(EditTextTest, WordsAndSelectionsGuideDeletes)
{
    EditText text;
    text.SetText(L"red  green, blue");
    EXPECT_EQ(text.WordBefore(16), 12u); // "blue"
    EXPECT_EQ(text.WordBefore(12), 10u); // ","
    EXPECT_EQ(text.WordAfter(0), 5u);    // past "red" and its spaces
    EXPECT_EQ(text.WordAfter(5), 10u);   // past "green"

    text.MoveTo(10, false);
    EXPECT_TRUE(text.Backspace(true));
    EXPECT_EQ(text.Text(), L"red  , blue");
    text.MoveTo(0, false);
    text.MoveTo(3, true);
    EXPECT_EQ(text.SelectedText(), L"red");
    EXPECT_TRUE(text.Delete(false));
    EXPECT_EQ(text.Text(), L"  , blue");
    EXPECT_FALSE(text.Backspace(false)); // at the start
    text.SelectWordAt(6);
    EXPECT_EQ(text.SelectedText(), L"blue");
    text.SelectWordAt(8); // just after the last word
    EXPECT_EQ(text.SelectedText(), L"blue");
}

// --- Edit boxes ---

enum EditIds : unsigned { kName = 40, kCode = 41, kNotes = 42, kOther = 43 };

class EditTest : public ControlFixture {
protected:
    EditTest() : keys(Backend(), hwnd)
    {
        name =
            static_cast<MEdit*>(dialog.CreateControl(L"MEdit", kName, CRect(20, 20, 220, 52), L"Keyboard"));
        other = dialog.Add<ProbeControl>(kOther, CRect(300, 20, 380, 52));
        Run();
        dialog.notifications.clear();
    }

    CEditWnd* Editor(MEdit* edit) const { return edit->GetTitleEditor().Window(); }
    // Notifications of one control, without its id.
    std::vector<std::string> NotificationsOf(unsigned id)
    {
        std::vector<std::string> out;
        const std::string prefix = std::to_string(id) + ":";
        for (const std::string& n : dialog.notifications) {
            if (n.rfind(prefix, 0) == 0)
                out.push_back(n.substr(prefix.size()));
        }
        dialog.notifications.clear();
        return out;
    }
    void Open(MEdit* edit)
    {
        Click(edit->GetRect().CenterPoint());
        ASSERT_TRUE(edit->IsEditing());
    }

    MEdit* name = nullptr;
    ProbeControl* other = nullptr;
    KeyboardInput keys;
};

TEST_F(EditTest, AWholeEditNotifiesOpenChangesAndClose)
{
    Open(name);
    EXPECT_EQ(NotificationsOf(kName), (std::vector<std::string>{"30:0:0", "1:0:0", "2:0:0"}));
    CEditWnd* editor = Editor(name);
    EXPECT_EQ(WindowSystem::GetFocus(), editor->GetSafeHwnd());
    EXPECT_TRUE(WindowSystem::IsWindowVisible(editor->GetSafeHwnd()));
    EXPECT_EQ(editor->Text().SelectedText(), L"Keyboard");
    // Over the text rectangle, as a child of the dialog.
    CRect placed;
    WindowSystem::GetWindowRect(editor->GetSafeHwnd(), &placed);
    CRect expected = name->GetTextRect();
    expected.OffsetRect(CPoint(100, 100) + name->GetRect().TopLeft());
    expected.InflateRect(CEditWindow::kPadding, 0);
    EXPECT_EQ(placed, expected);
    EXPECT_EQ(WindowSystem::GetParent(editor->GetSafeHwnd()), hwnd);

    keys.Type(L"Pad");
    Run();
    EXPECT_EQ(name->GetEditText(), L"Pad");
    EXPECT_EQ(NotificationsOf(kName), (std::vector<std::string>{"26:0:0", "26:0:0", "26:0:0"}));

    keys.Press(KEY_ENTER);
    Run();
    EXPECT_FALSE(name->IsEditing());
    EXPECT_FALSE(WindowSystem::IsWindowVisible(editor->GetSafeHwnd()));
    EXPECT_EQ(name->GetTitle(), L"Pad");
    EXPECT_EQ(NotificationsOf(kName), (std::vector<std::string>{"29:0:0"}));
    EXPECT_EQ(WindowSystem::GetFocus(), hwnd);
}

TEST_F(EditTest, EscapePutsBackTheTextItOpenedWith)
{
    Open(name);
    keys.Type(L"Mouse");
    Run();
    dialog.notifications.clear();
    keys.Press(KEY_ESC);
    Run();
    EXPECT_FALSE(name->IsEditing());
    EXPECT_EQ(name->GetEditText(), L"Keyboard");
    EXPECT_EQ(NotificationsOf(kName), (std::vector<std::string>{"26:0:0", "29:0:0"}));

    // Nothing typed: nothing to put back, only the close.
    Open(name);
    dialog.notifications.clear();
    keys.Press(KEY_ESC);
    Run();
    EXPECT_EQ(NotificationsOf(kName), (std::vector<std::string>{"29:0:0"}));
}

TEST_F(EditTest, LosingTheFocusClosesKeepingTheText)
{
    Open(name);
    keys.Type(L"Kb");
    Run();
    dialog.notifications.clear();
    Click(other->GetRect().CenterPoint());
    EXPECT_FALSE(name->IsEditing());
    EXPECT_EQ(name->GetTitle(), L"Kb");
    EXPECT_EQ(NotificationsOf(kName), (std::vector<std::string>{"29:0:0"}));

    // The window's keyboard focus going elsewhere closes it too.
    Open(name);
    dialog.notifications.clear();
    WindowSystem::SetFocus(hwnd);
    Run();
    EXPECT_FALSE(name->IsEditing());
    EXPECT_EQ(NotificationsOf(kName), (std::vector<std::string>{"29:0:0"}));
}

TEST_F(EditTest, LimitAndDigitsOnlyHoldForTypingAndPasting)
{
    auto* code = static_cast<MEdit*>(dialog.CreateControl(L"MEdit", kCode, CRect(20, 70, 220, 102), L""));
    code->SetLimitText(4);
    code->SetNumberOnly(1);
    Open(code);
    keys.Type(L"1a2-3");
    Run();
    EXPECT_EQ(code->GetEditText(), L"123");
    Backend().SetClipboardText("9 8 7");
    keys.Chord(KEY_LEFTCTRL, KEY_V);
    Run();
    EXPECT_EQ(code->GetEditText(), L"1239");
    keys.Type(L"5");
    Run();
    EXPECT_EQ(code->GetEditText(), L"1239");
}

TEST_F(EditTest, NonLatinTextIsTypedAsItComes)
{
    Open(name);
    keys.Type(L"Клавиатура ünd 鍵盤 🎹");
    Run();
    EXPECT_EQ(name->GetEditText(), L"Клавиатура ünd 鍵盤 🎹");
    // One character each for the caret, however many bytes it takes.
    keys.Press(KEY_BACKSPACE);
    keys.Press(KEY_BACKSPACE);
    Run();
    EXPECT_EQ(name->GetEditText(), L"Клавиатура ünd 鍵盤");
}

TEST_F(EditTest, TheClipboardCarriesTextBothWays)
{
    Open(name);
    keys.Chord(KEY_LEFTCTRL, KEY_C);
    Run();
    EXPECT_EQ(Backend().GetClipboardText(0), std::optional<std::string>("Keyboard"));

    // Cut takes the selection away; paste puts it back at the caret.
    keys.Press(KEY_END);
    keys.Chord(KEY_LEFTSHIFT, KEY_LEFT);
    keys.Chord(KEY_LEFTSHIFT, KEY_LEFT);
    keys.Chord(KEY_LEFTCTRL, KEY_X);
    Run();
    EXPECT_EQ(name->GetEditText(), L"Keyboa");
    EXPECT_EQ(Backend().GetClipboardText(0), std::optional<std::string>("rd"));
    keys.Press(KEY_HOME);
    keys.Chord(KEY_LEFTCTRL, KEY_V);
    Run();
    EXPECT_EQ(name->GetEditText(), L"rdKeyboa");

    // Another application's text, with its line break, into a one-line box.
    Backend().SetClipboardText("Грüße\nzweite Zeile");
    keys.Chord(KEY_LEFTCTRL, KEY_A);
    keys.Chord(KEY_LEFTSHIFT, KEY_INSERT);
    Run();
    EXPECT_EQ(name->GetEditText(), L"Грüße");

    // A password is never copied out.
    name->EnablePassWord(1);
    keys.Chord(KEY_LEFTCTRL, KEY_A);
    keys.Chord(KEY_LEFTCTRL, KEY_C);
    Run();
    EXPECT_EQ(Backend().GetClipboardText(0), std::optional<std::string>("Грüße\nzweite Zeile"));
    EXPECT_EQ(Editor(name)->DisplayText(), L"*****");
}

TEST_F(EditTest, KeysAndTheMouseMoveTheCaretAndSelect)
{
    name->SetTitle(L"alpha beta");
    Open(name);
    CEditWnd* editor = Editor(name);
    keys.Press(KEY_HOME);
    keys.Chord(KEY_LEFTCTRL, KEY_RIGHT);
    keys.Chord(KEY_LEFTSHIFT, KEY_END);
    Run();
    EXPECT_EQ(editor->Text().SelectedText(), L"beta");
    keys.Chord(KEY_LEFTCTRL, KEY_BACKSPACE);
    Run();
    EXPECT_EQ(name->GetEditText(), L"alpha ");
    keys.Chord(KEY_LEFTCTRL, KEY_BACKSPACE);
    keys.Type(L"x");
    keys.Press(KEY_HOME);
    keys.Press(KEY_DELETE);
    Run();
    EXPECT_EQ(name->GetEditText(), L"");

    // Press at the left edge, drag past the right: everything; a double click takes one word.
    keys.Press(KEY_ENTER);
    Run();
    name->SetTitle(L"one two three");
    Open(name);
    const HWND window = editor->GetSafeHwnd();
    Backend().Press(window, kButtonLeft, {0, 8});
    Backend().MoveMouse(window, {400, 8});
    Backend().Release(window, kButtonLeft, {400, 8});
    Run();
    EXPECT_EQ(editor->Text().SelectedText(), L"one two three");
    const int twoX = 40; // inside "two" at the default font size
    Backend().Click(window, {twoX, 8});
    Backend().Click(window, {twoX, 8});
    Run();
    EXPECT_EQ(editor->Text().SelectedText(), L"two");
}

TEST_F(EditTest, TheCaretBlinksOnlyWhileTheEditorIsOpen)
{
    Open(name);
    CEditWnd* editor = Editor(name);
    keys.Press(KEY_END);
    Run();
    const HWND window = editor->GetSafeHwnd();
    EXPECT_TRUE(editor->IsCaretShown());
    // Between blinks exactly one column changes: the caret's, right of the text.
    auto snapshot = [&]() {
        const Surface& shown = Backend().Window(window)->image;
        std::vector<ARGB> pixels;
        for (int y = 0; y < shown.Height(); ++y)
            for (int x = 0; x < shown.Width(); ++x)
                pixels.push_back(shown.Pixel(x, y));
        return pixels;
    };
    const int width = Backend().Window(window)->image.Width();
    const std::vector<ARGB> on = snapshot();
    Backend().RunFor(CEditWindow::kCaretBlinkMs);
    EXPECT_FALSE(editor->IsCaretShown());
    const std::vector<ARGB> off = snapshot();
    std::set<int> changed;
    for (size_t i = 0; i < on.size(); ++i) {
        if (on[i] != off[i]) {
            changed.insert(static_cast<int>(i) % width);
            EXPECT_EQ(on[i], 0xFFFFFFFFu);
        }
    }
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_GT(*changed.begin(), 40);
    Backend().RunFor(CEditWindow::kCaretBlinkMs);
    EXPECT_TRUE(editor->IsCaretShown());
    EXPECT_EQ(snapshot(), on);

    keys.Press(KEY_ENTER);
    Backend().RunFor(1000); // the pointer's hover time passes too
    EXPECT_EQ(WindowSystem::PendingDeadline(), std::nullopt);
}

TEST_F(EditTest, TheEditorAlignsItsTextAsTheBoxDoes)
{
    // Where the text's lit pixels start and end in the open editor, for each alignment.
    auto extent = [&](int align) {
        name->SetAlignment(align);
        Open(name);
        keys.Press(KEY_END);
        Backend().RunFor(CEditWindow::kCaretBlinkMs); // the caret off, so only letters are lit
        const Surface& shown = Backend().Window(Editor(name)->GetSafeHwnd())->image;
        int left = shown.Width();
        int right = -1;
        for (int y = 0; y < shown.Height(); ++y)
            for (int x = 0; x < shown.Width(); ++x)
                if ((shown.Pixel(x, y) & 0xFF) > 0xA0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        keys.Press(KEY_ENTER);
        Run();
        return std::pair{left, shown.Width() - 1 - right};
    };
    const auto [leftL, leftR] = extent(0);
    const auto [centreL, centreR] = extent(1);
    const auto [rightL, rightR] = extent(2);
    EXPECT_LE(leftL, CEditWindow::kPadding + 2);
    EXPECT_LE(std::abs(centreL - centreR), 3);
    EXPECT_LE(rightR, CEditWindow::kPadding + 3);
    EXPECT_GT(leftR, 40);
    EXPECT_GT(rightL, 40);
}

TEST_F(EditTest, ReadOnlyTextCanBeSelectedAndCopiedButNotChanged)
{
    name->SetReadOnly(1);
    Open(name);
    keys.Type(L"x");
    keys.Press(KEY_BACKSPACE);
    keys.Chord(KEY_LEFTCTRL, KEY_X);
    keys.Chord(KEY_LEFTCTRL, KEY_C);
    Run();
    EXPECT_EQ(name->GetEditText(), L"Keyboard");
    EXPECT_EQ(Backend().GetClipboardText(0), std::optional<std::string>("Keyboard"));
    EXPECT_EQ(NotificationsOf(kName), (std::vector<std::string>{"30:0:0", "1:0:0", "2:0:0"}));
}

TEST_F(EditTest, TheIconAreaClosesTheEditorAndReportsItself)
{
    // Without its picture there is no icon area: the whole box edits.
    EXPECT_EQ(name->SetIconImage(L"missing_icon.png", 3), 0);
    EXPECT_TRUE(name->GetIconRect().IsRectEmpty());

    ScopedFolders folders;
    Surface strip(3 * 16, 16);
    strip.Fill(CRect(0, 0, 48, 16), 0xFF40C0E0);
    const auto path = folders.AppFolder() / "skins" / "theme1" / "icon_clear.png";
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(strip.WritePng(path.string()));
    ASSERT_EQ(name->SetIconImage(L"icon_clear.png", 3), 1);
    // At the right, vertically centred; the text ends before it.
    EXPECT_EQ(name->GetIconRect(), CRect(200 - 6 - 16, 8, 200 - 6, 24));
    EXPECT_EQ(name->GetTextRect().right, 200 - 6 - 16 - 6);
    Run();
    EXPECT_EQ(Shown().image.Pixel(20 + 186, 20 + 16), 0xFF40C0E0u);

    Open(name);
    const CPoint icon = name->GetRect().TopLeft() + name->GetIconRect().CenterPoint();
    Click(icon);
    EXPECT_FALSE(name->IsEditing());
    EXPECT_EQ(NotificationsOf(kName),
              (std::vector<std::string>{"30:0:0", "1:0:0", "2:0:0", "29:0:0", "9:0:0", "31:0:0"}));
    // Released away from the icon: no 31.
    Backend().Press(hwnd, kButtonLeft, icon);
    Backend().Release(hwnd, kButtonLeft, CPoint(name->GetRect().left + 10, icon.y));
    Run();
    EXPECT_EQ(NotificationsOf(kName), (std::vector<std::string>{"9:0:0"}));
}

TEST_F(EditTest, SpaceWhileEditingCountsAsAPressAndClick)
{
    Open(name);
    dialog.notifications.clear();
    keys.Type(L" ");
    Run();
    EXPECT_EQ(NotificationsOf(kName), (std::vector<std::string>{"26:0:0", "1:0:0", "2:0:0"}));
}

TEST_F(EditTest, OverALayeredWindowTheEditorIsAPopupInScreenCoordinates)
{
    ControlDialog layered;
    layered.SetLayeredWindow(1);
    const HWND window =
        layered.Create(nullptr, L"layered", WS_POPUP | WS_VISIBLE, 0, CRect(500, 300, 800, 500));
    auto* edit = static_cast<MEdit*>(layered.CreateControl(L"MEdit", kName, CRect(10, 10, 210, 40), L"text"));
    Run();
    Backend().Click(window, {50, 25});
    Run();
    ASSERT_TRUE(edit->IsEditing());
    CEditWnd* editor = edit->GetTitleEditor().Window();
    EXPECT_TRUE(editor->IsPopupEditor());
    EXPECT_EQ(WindowSystem::GetParent(editor->GetSafeHwnd()), window);
    CRect placed;
    WindowSystem::GetWindowRect(editor->GetSafeHwnd(), &placed);
    EXPECT_EQ(placed.TopLeft(), CPoint(500 + 10 + MEdit::kTextInset - CEditWindow::kPadding, 300 + 10 + 3));
    KeyboardInput(Backend(), editor->GetSafeHwnd()).Type(L"!");
    Run();
    EXPECT_EQ(edit->GetEditText(), L"!");
    // A click back on the layered window takes the focus from the popup: the edit ends.
    Backend().Click(window, {250, 150});
    Run();
    EXPECT_FALSE(edit->IsEditing());
    layered.DestroyWindow();
}

// --- Rich edits ---

TEST_F(EditTest, RichEditsKeepSeveralLines)
{
    auto* notes = static_cast<MRichEdit*>(
        dialog.CreateControl(L"MRichEdit", kNotes, CRect(20, 120, 260, 260), L"first line"));
    ASSERT_NE(notes, nullptr);
    Run();
    Click(CPoint(notes->GetRect().right - 10, notes->GetRect().bottom - 10));
    ASSERT_TRUE(notes->IsEditing());
    CEditWnd* editor = notes->GetTitleEditor().Window();
    // The press put the caret where it was: after the text, not selecting it.
    EXPECT_FALSE(editor->Text().HasSelection());
    EXPECT_EQ(editor->Text().Caret(), 10u);
    keys.Press(KEY_ENTER);
    keys.Type(L"second");
    keys.Press(KEY_HOME);
    keys.Press(KEY_UP);
    keys.Type(L"!");
    keys.Press(KEY_DOWN);
    keys.Press(KEY_END);
    keys.Type(L"?");
    Run();
    EXPECT_EQ(notes->GetEditText(), L"!first line\nsecond?");
    keys.Chord(KEY_LEFTCTRL, KEY_ENTER);
    Run();
    EXPECT_FALSE(notes->IsEditing());
    EXPECT_EQ(NotificationsOf(kNotes).back(), "29:0:0");

    auto* counted =
        static_cast<MEditEx*>(dialog.CreateControl(L"MEditEx", kCode, CRect(280, 120, 380, 260), L"abc"));
    ASSERT_NE(counted, nullptr);
    counted->SetLimitText(140);
    EXPECT_EQ(counted->CounterText(), L"3/140");

    CLogonEdit logon(&dialog, kOther, CRect(0, 0, 100, 30), L"", 1, 1);
    EXPECT_FALSE(logon.GetTitleEditor().IsMultiLine());
}

} // namespace
