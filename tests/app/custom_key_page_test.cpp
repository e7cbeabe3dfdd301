// The custom key page as a user drives it, on the headless window system with a real database and the
// in-memory key filter, virtual keyboard and shell: keys clicked on the keyboard view, functions picked,
// the key menu and the custom key dialog, what is stored, shown and handed to the filter, and the
// program-run keys carried out when the filter reports them.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "app/app_messages.h"
#include "app/custom_key_dlg.h"
#include "app/custom_key_page.h"
#include "app/key_menu.h"
#include "app/main_window_ids.h"
#include "app/ui_message_box.h"
#include "core/native_path.h"
#include "device/device_worker.h"
#include "keys/assignment_rules.h"
#include "platform/fake/us_character_keys.h"
#include "tests/app/app_fixture.h"
#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_text.h"
#include "ui/framework/window_system.h"
#include "ui/keyboard/key_func_control.h"
#include "ui/keyboard/keyboard_ctrl.h"

namespace {

using namespace std::chrono_literals;

constexpr int kCapsLock = 57, kEscape = 41, kKeyA = 4, kKeyB = 5, kKeyC = 6, kKeyF1 = 58, kFn = 175;

std::vector<HWND> WindowsWithTitle(const wchar_t* title)
{
    std::vector<HWND> found;
    for (const HWND hwnd : WindowSystem::Windows()) {
        CString text;
        if (WindowSystem::IsWindowVisible(hwnd) && WindowSystem::GetWindowTextW(hwnd, &text) && text == title)
            found.push_back(hwnd);
    }
    return found;
}

template <class T> T* WindowObject(HWND hwnd)
{
    return dynamic_cast<T*>(reinterpret_cast<MWindow*>(WindowSystem::GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
}

CRect Centre(const CRect& rect)
{
    const CPoint c((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return CRect(c, CSize(0, 0));
}

class CustomKeyPageTest : public AppFixture {
protected:
    void SetUp() override
    {
        services.mayAskToInstall = false;
        services.characterKeys = &layout;
        services.log = [this](const std::string& line) { logLines.push_back(line); };
    }

    // The window with a keyboard connected by cable, on the custom key page.
    void StartOnPage()
    {
        ConnectUnannounced(0);
        Start();
        RunWorker();
        ASSERT_TRUE(Control(MainId::kCustomKeyPage)->IsVisible());
        keyFilter.ClearRequests();
    }

    KeyboardCtrl* View() const { return ControlAs<KeyboardCtrl>(MainId::kCustomKeyboard); }
    KeyFuncControl* Picker() const { return ControlAs<KeyFuncControl>(MainId::kKeyPicker); }

    int IndexOfKey(int code)
    {
        const std::vector<KEY_INFO*> keys = View()->GetKeyItems();
        for (size_t i = 0; i < keys.size(); ++i) {
            if (keys[i]->keyValue == static_cast<unsigned long>(code))
                return static_cast<int>(i);
        }
        ADD_FAILURE() << "no key " << code << " on the view";
        return -1;
    }
    const KEY_INFO& Key(int code) { return *View()->GetKeyItems()[static_cast<size_t>(IndexOfKey(code))]; }

    void ClickKey(int code, int button = kButtonLeft)
    {
        const CPoint at = Centre(View()->GetKeyScreenRect(IndexOfKey(code))).TopLeft();
        Backend().MoveMouse(Hwnd(), at);
        Backend().Click(Hwnd(), at, button);
        Pump();
    }

    int PickerIndex(int value) const
    {
        for (int i = 0; i < Picker()->GetItemCount(); ++i) {
            if (Picker()->GetItem(i)->value == value)
                return i;
        }
        ADD_FAILURE() << "no picker button " << value;
        return -1;
    }

    void ClickPicker(int value)
    {
        const CPoint at = Centre(Picker()->GetItemWindowRect(PickerIndex(value))).TopLeft();
        ClickAt(Hwnd(), at);
        Pump();
    }

    // Right-clicks the key and chooses the key menu's row.
    void ChooseFromKeyMenu(int code, unsigned row)
    {
        WhileShown(L"Menu Window", [row](HWND menu) {
            MenuItem* item = WindowObject<MenuWnd>(menu)->GetItem(row);
            ASSERT_NE(item, nullptr) << row;
            const CPoint at = Centre(item->GetRect()).TopLeft();
            WindowSystem::PostClosure([menu, at] {
                auto* backend = dynamic_cast<HeadlessBackend*>(&WindowSystem::Backend());
                backend->MoveMouse(menu, at);
                backend->Click(menu, at);
            });
        });
        ClickKey(code, kButtonRight);
    }

    // Runs `inside` once a window with the title shows (within the next modal loops).
    static void WhileShown(const wchar_t* title, std::function<void(HWND)> inside)
    {
        const CString name = title;
        WhileModalUntil([name] { return !WindowsWithTitle(name.c_str()).empty(); },
                        [name, inside = std::move(inside)] {
                            const std::vector<HWND> shown = WindowsWithTitle(name.c_str());
                            if (!shown.empty())
                                inside(shown.front());
                        });
    }

    // Answers the next message box with its button, keeping its title and text.
    void AnswerMessageBox(std::vector<std::pair<CString, CString>>* shown)
    {
        WhileShown(L"MessageBox", [shown](HWND box) {
            auto* dialog = WindowObject<CUIMessageBox>(box);
            if (shown)
                shown->emplace_back(
                    dynamic_cast<MText*>(dialog->GetControl(CUIMessageBox::kTitleId))->GetTitle(),
                    dynamic_cast<MText*>(dialog->GetControl(CUIMessageBox::kTextId))->GetTitle());
            dialog->DoOK();
        });
    }

    // Opens the custom key dialog from the key menu and runs `fill` in it before Apply is clicked.
    void AssignThroughDialog(int code, unsigned row, std::function<void(CustomKeyDlg&)> fill)
    {
        WhileShown(L"CustomKeyDlg", [fill = std::move(fill)](HWND hwnd) {
            auto* dialog = WindowObject<CustomKeyDlg>(hwnd);
            ASSERT_NE(dialog, nullptr);
            fill(*dialog);
            ClickControl(*dialog, CustomKeyDlg::kApply);
        });
        ChooseFromKeyMenu(code, row);
    }

    static void ClickControl(MDialog& dialog, unsigned id, CPoint offset = {})
    {
        const CPoint at = Centre(dialog.GetControl(id)->GetRect()).TopLeft() + offset;
        const HWND hwnd = dialog.GetSafeHwnd();
        WindowSystem::PostClosure([hwnd, at] {
            auto* backend = dynamic_cast<HeadlessBackend*>(&WindowSystem::Backend());
            backend->MoveMouse(hwnd, at);
            backend->Click(hwnd, at);
        });
    }

    // A row stored as a profile file would bring it; true when stored.
    bool StoreRow(int profile, int layer, int key, int type, int value, const CString& desc = L"")
    {
        KeyAssignmentRow row;
        row.profile = profile;
        row.fn_layer = layer;
        row.key_code = key;
        row.macro_type = type;
        row.macro_value = value;
        row.macro_desc = desc;
        return database.SaveKeyAssignment(row) != 0;
    }

    // What the page and the software keys do after an import or a connection: load the profile again.
    void ReloadPage()
    {
        Window().QueueTask(WorkerTask::kPageReload);
        RunWorker();
    }

    KeyAssignmentList Rows(int profile = 1, int layer = 0)
    {
        KeyAssignmentList rows;
        database.ListKeyAssignments(profile, layer, rows);
        return rows;
    }

    // The refreshes of the software keys since the requests were last cleared: one key list each.
    int Refreshes() const
    {
        int lists = 0;
        for (const MemoryKeyFilterDevice::Request& request : keyFilter.Requests())
            lists += request.code == KeyFilterDevice::kSetKeyList && request.input.size() == 1024;
        return lists;
    }

    KeyTip TipOfKey(int code)
    {
        const KEY_INFO& key = Key(code);
        return {key.tip1, key.tip2};
    }

    static KeyTip Tip(int headingId, const CString& text) { return {TextIn(1033, headingId), text}; }

    bool PumpUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            Pump();
            std::this_thread::sleep_for(2ms);
        }
        return done();
    }

    // Presses and releases a watched key on the keyboard; returns once the key filter's monitor has
    // handled both (what it posts to the window is then queued).
    void PressOnKeyboard(int code)
    {
        keyFilter.InjectKey(static_cast<unsigned>(code), true);
        keyFilter.InjectKey(static_cast<unsigned>(code), false);
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while ((keyFilter.Pending() > 0 || keyFilter.Waiting() == 0) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        ASSERT_EQ(keyFilter.Pending(), 0u);
    }

    // The keys held in each keyboard report the virtual keyboard sent.
    std::vector<std::vector<unsigned>> KeyboardReports() const
    {
        std::vector<std::vector<unsigned>> held;
        for (const MemoryVirtualHidDevice::Report& report : virtualDevice.Reports()) {
            if (report[1] != 1)
                continue;
            held.emplace_back();
            for (unsigned usage = 0; usage < 256; ++usage) {
                if ((report[3 + usage / 8] >> (usage % 8)) & 1)
                    held.back().push_back(usage);
            }
        }
        return held;
    }

    UsCharacterKeys layout;
    std::vector<std::string> logLines;
};

using Fields = std::tuple<int, int, int, int, int, CString, int, int, int, int, CString>;
Fields FieldsOf(const KeyAssignmentRow& r)
{
    return {r.profile,     r.fn_layer,    r.key_code,     r.layout_value, r.macro_type,
            r.layout_desc, r.macro_value, r.macro_value2, r.macro_value3, 0,
            r.macro_desc};
}
Fields Expected(int key, int type, int value, const CString& desc)
{
    return {1, 0, key, 0, type, CString(), value, 0, 0, 0, desc};
}

// --- The keyboard views ---

TEST_F(CustomKeyPageTest, TheThreeKeyboardViewsAreFilledFromTheModelsLayout)
{
    StartOnPage();
    struct ViewCase {
        unsigned id;
        int mode;
        bool tips;
    };
    for (const ViewCase& v : {ViewCase{MainId::kCustomKeyboard, KeyboardCtrl::kModeAssign, true},
                              ViewCase{MainId::kLightingKeyboard, KeyboardCtrl::kModeLightPreview, false},
                              ViewCase{MainId::kSettingsKeyboard, KeyboardCtrl::kModeLightPreview, false}}) {
        SCOPED_TRACE(v.id);
        auto* view = ControlAs<KeyboardCtrl>(v.id);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->GetKeyboardCtrlMode(), v.mode);
        EXPECT_EQ(view->IsKBTipsEnabled(), v.tips);
        EXPECT_EQ(view->GetRect(), CRect(330, 60, 1270, 340));
        EXPECT_TRUE(view->HasKeyboardImage());
        const std::vector<KEY_INFO*> keys = view->GetKeyItems();
        ASSERT_EQ(keys.size(), 104u);
        EXPECT_EQ(keys[0]->keyValue, 0x29u);
        EXPECT_EQ(keys[0]->name, L"Esc");
        EXPECT_EQ(keys[0]->text, L"Escape");
        EXPECT_EQ(keys[0]->rect, CRect(12, 12, 48, 48));
    }
    EXPECT_EQ(TitleOf(MainId::kCustomKeyboard), TextIn(1033, 304));
    EXPECT_EQ(TitleOf(MainId::kKeyAssignmentLine), TextIn(1033, 363));
    // The picker's special functions carry their descriptions.
    EXPECT_EQ(Picker()->GetItemCount(), 122);
    EXPECT_EQ(Picker()->GetItem(PickerIndex(235))->label, TextIn(1033, 236));
}

TEST_F(CustomKeyPageTest, WithoutTheVirtualKeyboardThePageSaysWhyKeysDoNothing)
{
    virtualDevice.SetOpenResult(DeviceAccess::Denied);
    StartOnPage();
    EXPECT_EQ(Window().CustomKeys().SoftwareKeysState(), SoftwareKeyStatus::NoVirtualDevice);
    EXPECT_EQ(TitleOf(MainId::kKeyAssignmentLine), TextIn(1033, 285));
    EXPECT_EQ(ControlAs<MText>(MainId::kKeyAssignmentLine)->GetTextColor(), 0xFFED801Bu);
}

// --- Picking a function ---

TEST_F(CustomKeyPageTest, AFunctionPickedForAKeyIsStoredMarkedAndHandedToTheFilter)
{
    StartOnPage();
    ClickKey(kCapsLock);
    ClickPicker(kEscape);

    KeyAssignmentList rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(FieldsOf(*rows[0]), Expected(kCapsLock, 2, kEscape, L"Esc"));
    EXPECT_EQ(Key(kCapsLock).checked, 1);
    EXPECT_EQ(TipOfKey(kCapsLock), Tip(205, L"Esc"));
    EXPECT_EQ(Picker()->GetMarkedIndex(), PickerIndex(kEscape));
    EXPECT_EQ(Refreshes(), 1);
    EXPECT_EQ(keyFilter.WatchedKeys(), std::vector<unsigned>{kCapsLock});

    // A media function is stored with its description.
    ClickKey(kKeyF1);
    EXPECT_EQ(Picker()->GetMarkedIndex(), -1) << "F1 has no function yet";
    ClickPicker(235);
    rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(FieldsOf(*rows[1]), Expected(kKeyF1, 2, 235, TextIn(1033, 236)));
    EXPECT_EQ(Refreshes(), 2);
    EXPECT_EQ(keyFilter.WatchedKeys(), (std::vector<unsigned>{kCapsLock, kKeyF1}));

    // The picker's mark follows the key clicked.
    ClickKey(kCapsLock);
    EXPECT_EQ(Picker()->GetMarkedIndex(), PickerIndex(kEscape));
    EXPECT_EQ(Refreshes(), 2) << "a click alone changes nothing";
}

TEST_F(CustomKeyPageTest, APickWithoutAKeyStoresNothing)
{
    StartOnPage();
    ClickPicker(kEscape);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Refreshes(), 0);
}

TEST_F(CustomKeyPageTest, TheFnKeyTakesNoFunction)
{
    StartOnPage();
    std::vector<std::pair<CString, CString>> messages;
    AnswerMessageBox(&messages);
    ClickKey(kFn);
    EXPECT_EQ(View()->GetSelectItem(), -1);
    AnswerMessageBox(&messages);
    ClickPicker(kEscape);
    // No menu for it either: the message again.
    AnswerMessageBox(&messages);
    ClickKey(kFn, kButtonRight);

    const std::pair<CString, CString> fnMessage{TextIn(1033, 366), TextIn(1033, 365)};
    EXPECT_EQ(messages, (std::vector<std::pair<CString, CString>>(3, fnMessage)));
    EXPECT_TRUE(WindowsWithTitle(L"Menu Window").empty());
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Refreshes(), 0);
}

// --- The key menu ---

TEST_F(CustomKeyPageTest, TheKeyMenuRestoresAndDisablesKeys)
{
    StartOnPage();
    ClickKey(kCapsLock);
    ClickPicker(kEscape);

    std::vector<std::pair<unsigned, CString>> menuRows;
    WhileShown(L"Menu Window", [&menuRows](HWND menu) {
        for (MenuItem* item : WindowObject<MenuWnd>(menu)->GetItems())
            menuRows.emplace_back(item->IsSeparator() ? 0 : item->GetID(), item->GetTitle());
        WindowObject<MenuWnd>(menu)->CloseMenu();
    });
    ClickKey(kKeyB, kButtonRight);
    EXPECT_EQ(menuRows, (std::vector<std::pair<unsigned, CString>>{
                            {606, TextIn(1033, 201)},
                            {608, TextIn(1033, 206)},
                            {609, TextIn(1033, 209)},
                            {607, TextIn(1033, 202)},
                            {0, L""},
                            {614, TextIn(1033, 207)},
                            {610, TextIn(1033, 210)},
                            {611, TextIn(1033, 211)},
                            {612, TextIn(1033, 212)},
                            {613, TextIn(1033, 367)},
                        }));
    EXPECT_EQ(Window().CustomKeys().CurrentKey(), kKeyB) << "a right click makes the key current";
    keyFilter.ClearRequests();

    ChooseFromKeyMenu(kCapsLock, KeyMenu::kDisable);
    KeyAssignmentList rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(FieldsOf(*rows[0]), Expected(kCapsLock, 1, 1, TextIn(1033, 202)));
    EXPECT_EQ(TipOfKey(kCapsLock), Tip(202, L""));
    EXPECT_EQ(Picker()->GetMarkedIndex(), -1);
    EXPECT_EQ(Refreshes(), 1);
    EXPECT_EQ(keyFilter.WatchedKeys(), std::vector<unsigned>{kCapsLock})
        << "the filter keeps it from the system";

    ChooseFromKeyMenu(kCapsLock, KeyMenu::kRestoreDefault);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Key(kCapsLock).checked, 0);
    EXPECT_EQ(TipOfKey(kCapsLock), (KeyTip{L"", L""}));
    EXPECT_EQ(View()->GetSelectItem(), -1);
    EXPECT_EQ(Refreshes(), 2);
    EXPECT_TRUE(keyFilter.WatchedKeys().empty());

    // A key without an assignment stays without one.
    ChooseFromKeyMenu(kKeyB, KeyMenu::kRestoreDefault);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Key(kKeyB).checked, 0);
}

// --- The custom key dialog ---

TEST_F(CustomKeyPageTest, TheMacroDialogStoresAMacroThatHasEvents)
{
    StartOnPage();
    const int empty = database.AddMacro(L"Empty");
    const int jump = database.AddMacro(L"Makro 2");
    MacroRecordRow press;
    press.macro_id = jump;
    press.type = 2;
    press.value = 65;
    ASSERT_NE(database.AddMacroRecord(press), 0);

    std::vector<std::pair<CString, CString>> messages;
    std::vector<CustomKeyChoice> offered;
    CString heading, caption;
    bool fieldsHidden = false;
    AssignThroughDialog(kCapsLock, KeyMenu::kMacro, [&](CustomKeyDlg& dialog) {
        offered = dialog.Choices();
        heading = dynamic_cast<MText*>(dialog.GetControl(CustomKeyDlg::kHeading))->GetTitle();
        caption = dynamic_cast<MText*>(dialog.GetControl(CustomKeyDlg::kKeyCaption))->GetTitle();
        fieldsHidden = !dialog.GetControl(CustomKeyDlg::kTextField)->IsVisible() &&
                       !dialog.GetControl(CustomKeyDlg::kFirstModifier)->IsVisible() &&
                       !dialog.GetControl(CustomKeyDlg::kBrowse)->IsVisible();
        // The first macro has nothing to play: the dialog says so and stays open for another choice.
        WhileShown(L"MessageBox", [&messages, &dialog](HWND box) {
            auto* answer = WindowObject<CUIMessageBox>(box);
            messages.emplace_back(
                dynamic_cast<MText*>(answer->GetControl(CUIMessageBox::kTitleId))->GetTitle(),
                dynamic_cast<MText*>(answer->GetControl(CUIMessageBox::kTextId))->GetTitle());
            answer->DoOK();
            WindowSystem::PostClosure([&dialog] {
                dynamic_cast<MComboBox*>(dialog.GetControl(CustomKeyDlg::kValueList))->SetCurSel(1);
                // Away from the first click, so the two do not make a double click.
                ClickControl(dialog, CustomKeyDlg::kApply, CPoint(30, 0));
            });
        });
    });

    EXPECT_EQ(heading, TextIn(1033, 206));
    EXPECT_EQ(caption, L"CAPS");
    EXPECT_TRUE(fieldsHidden);
    EXPECT_EQ(offered, (std::vector<CustomKeyChoice>{{empty, L"Empty"}, {jump, L"Macro 2"}}));
    EXPECT_EQ(messages, (std::vector<std::pair<CString, CString>>{{TextIn(1033, 206), TextIn(1033, 293)}}));
    EXPECT_TRUE(WindowsWithTitle(L"CustomKeyDlg").empty());
    KeyAssignmentList rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(FieldsOf(*rows[0]), Expected(kCapsLock, 3, jump, L"Macro 2"));
    EXPECT_EQ(TipOfKey(kCapsLock), Tip(206, L"Macro 2"));
    EXPECT_EQ(Refreshes(), 1);
}

TEST_F(CustomKeyPageTest, TheShortcutAndMouseDialogsStoreTheChosenItem)
{
    struct ListCase {
        unsigned menuRow;
        size_t items;
        CustomKeyChoice first;
        int chosen;
        int type;
        int value;
        int text;
    };
    const ListCase cases[] = {
        {KeyMenu::kShortcut, 15, {1, TextIn(1033, 701)}, 3, 7, 4, 704},
        {KeyMenu::kMouse, 5, {1, TextIn(1033, 220)}, 1, 5, 3, 223},
    };
    StartOnPage();
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.type);
        keyFilter.ClearRequests();
        std::vector<CustomKeyChoice> offered;
        AssignThroughDialog(kKeyA, c.menuRow, [&](CustomKeyDlg& dialog) {
            offered = dialog.Choices();
            dynamic_cast<MComboBox*>(dialog.GetControl(CustomKeyDlg::kValueList))->SetCurSel(c.chosen);
        });

        ASSERT_EQ(offered.size(), c.items);
        EXPECT_EQ(offered.front(), c.first);
        KeyAssignmentList rows = Rows();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(FieldsOf(*rows[0]), Expected(kKeyA, c.type, c.value, TextIn(1033, c.text)));
        EXPECT_EQ(TipOfKey(kKeyA), Tip(c.type == 7 ? 209 : 207, TextIn(1033, c.text)));
        EXPECT_EQ(Refreshes(), 1);
        EXPECT_EQ(keyFilter.WatchedKeys(), std::vector<unsigned>{kKeyA});
    }
}

TEST_F(CustomKeyPageTest, ClosingTheDialogStoresNothing)
{
    StartOnPage();
    WhileShown(L"CustomKeyDlg", [](HWND hwnd) {
        ClickControl(*WindowObject<CustomKeyDlg>(hwnd), CustomKeyDlg::kCloseButton);
    });
    ChooseFromKeyMenu(kKeyA, KeyMenu::kShortcut);
    EXPECT_TRUE(WindowsWithTitle(L"CustomKeyDlg").empty());
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Refreshes(), 0);
}

// --- Rows from profile files ---

struct ShownCase {
    const char* what;
    int type;
    int value;
    const wchar_t* desc;
    std::optional<KeyExtraRow> record; // stored first; its id becomes the value
    int heading;                       // the tip's heading text; 0: shown as default
    CString tip;
};

TEST_F(CustomKeyPageTest, EveryTypeIsShownAndBadRowsShowAsDefault)
{
    const std::vector<ShownCase> cases = {
        {"disabled", 1, 1, L"Disabled", std::nullopt, 202, L""},
        {"another key", 2, 41, L"Esc", std::nullopt, 205, L"Esc"},
        {"a macro with a Polish default name", 3, 9, L"Makro 4", std::nullopt, 206, L"Macro 4"},
        {"mouse right", 5, 3, L"stored", std::nullopt, 207, TextIn(1033, 223)},
        {"media by number", 6, 2, L"Stop", std::nullopt, 208, L"Stop"},
        {"a shortcut", 7, 15, L"stored", std::nullopt, 209, TextIn(1033, 715)},
        {"a program", 8, 0, L"editor", KeyExtraRow{L"editor", L"/usr/bin/editor", 8}, 210, L"editor"},
        {"an address", 9, 0, L"example.com", KeyExtraRow{L"example.com", L"", 9}, 211, L"example.com"},
        {"a text", 10, 0, L"Hello", KeyExtraRow{L"Hello", L"", 10}, 212, L"Hello"},
        {"a profile switch", 11, 0, L"Games", KeyExtraRow{L"Games", L"2", 11}, 367, L"Games"},
        {"a picker value from 500", 12, 600, L"Glow", std::nullopt, 205, L"Glow"},
        {"type 4", 4, 1, L"?", std::nullopt, 0, L""},
        {"a usage past the media functions", 2, 300, L"?", std::nullopt, 0, L""},
        {"shortcut 16", 7, 16, L"?", std::nullopt, 0, L""},
        {"an address row on a program's record", 9, 0, L"?", KeyExtraRow{L"x", L"/bin/x", 8}, 0, L""},
        {"a text row without its record", 10, 4711, L"?", std::nullopt, 0, L""},
    };
    // The database is the model's: open once the window has started.
    StartOnPage();
    // One key each, from A on.
    std::vector<unsigned> watched;
    for (size_t i = 0; i < cases.size(); ++i) {
        const ShownCase& c = cases[i];
        const int key = kKeyA + static_cast<int>(i);
        ASSERT_TRUE(StoreRow(1, 0, key, c.type, c.record ? database.AddKeyExtra(*c.record) : c.value, c.desc))
            << c.what;
        if (c.heading)
            watched.push_back(static_cast<unsigned>(key));
    }
    // Another Fn layer is never shown nor carried out.
    ASSERT_TRUE(StoreRow(1, 1, kCapsLock, 2, kEscape));
    ReloadPage();

    for (size_t i = 0; i < cases.size(); ++i) {
        const ShownCase& c = cases[i];
        SCOPED_TRACE(c.what);
        const int code = kKeyA + static_cast<int>(i);
        EXPECT_EQ(Key(code).checked, c.heading ? 1 : 0);
        EXPECT_EQ(TipOfKey(code), c.heading ? Tip(c.heading, c.tip) : (KeyTip{L"", L""}));
    }
    EXPECT_EQ(Key(kCapsLock).checked, 0);
    EXPECT_EQ(keyFilter.WatchedKeys(), watched);

    // A key whose row is bad marks nothing in the picker; a sound one marks its button.
    ClickKey(kKeyA + 12);
    EXPECT_EQ(Picker()->GetMarkedIndex(), -1);
    ClickKey(kKeyA + 1);
    EXPECT_EQ(Picker()->GetMarkedIndex(), PickerIndex(kEscape));
}

// --- Program-run keys ---

TEST_F(CustomKeyPageTest, ProgramAddressAndTextKeysAreMadeOnThePageAndRunFromTheKeyFilter)
{
    StartOnPage();
    const CString program = services.dataFolder + L"tool.sh";
    std::ofstream(NativePath(program)) << "#!/bin/sh\n";
    // The program is looked for with the file chooser; the others are typed.
    fileChooser.Answer(NativeFilePath(NativePath(program)));
    struct MadeCase {
        int key;
        unsigned menuRow;
        CString entered;
        KeyExtraRow record;
        CString shown;
    };
    const MadeCase cases[] = {
        {kKeyA, KeyMenu::kProgram, L"", {L"tool.sh", program, 8}, L"tool.sh"},
        {kKeyB, KeyMenu::kAddress, L" example.com", {L"example.com", L"", 9}, L"example.com"},
        {kKeyC, KeyMenu::kText, L"Hi \u00E9", {L"Hi \u00E9", L"", 10}, L"Hi \u00E9"},
    };
    for (const MadeCase& c : cases) {
        SCOPED_TRACE(c.record.type);
        AssignThroughDialog(c.key, c.menuRow, [&c](CustomKeyDlg& dialog) {
            auto* field = dynamic_cast<MEdit*>(dialog.GetControl(CustomKeyDlg::kTextField));
            ASSERT_TRUE(field->IsVisible());
            EXPECT_FALSE(dialog.GetControl(CustomKeyDlg::kValueList)->IsVisible());
            const bool browse = c.record.type == 8;
            EXPECT_EQ(dialog.GetControl(CustomKeyDlg::kBrowse)->IsVisible() != 0, browse);
            if (browse)
                ClickControl(dialog, CustomKeyDlg::kBrowse);
            else
                field->SetTitle(c.entered.c_str());
        });
        KeyAssignmentRow row;
        ASSERT_TRUE(database.GetKeyAssignment(1, 0, c.key, row));
        EXPECT_EQ(FieldsOf(row), Expected(c.key, c.record.type, row.macro_value, c.shown));
        const std::optional<KeyExtraRow> record = Window().CustomKeys().Assignments().Record(row.macro_value);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(std::tie(record->macro_desc, record->param, record->type),
                  std::tie(c.record.macro_desc, c.record.param, c.record.type));
        EXPECT_EQ(TipOfKey(c.key), Tip(c.record.type == 8 ? 210 : c.record.type == 9 ? 211 : 212, c.shown));
    }
    ASSERT_EQ(fileChooser.Requests().size(), 1u);
    EXPECT_EQ(fileChooser.Requests()[0].kind, FileChooserRequest::Kind::Open);
    EXPECT_EQ(fileChooser.Requests()[0].title, TextIn(1033, 218));
    EXPECT_EQ(Refreshes(), 3);
    EXPECT_EQ(keyFilter.WatchedKeys(), (std::vector<unsigned>{kKeyA, kKeyB, kKeyC}));

    virtualDevice.Clear();
    for (const MadeCase& c : cases)
        PressOnKeyboard(c.key);
    ASSERT_TRUE(PumpUntil([&] { return KeyboardReports().size() >= 8; }));
    EXPECT_EQ(shell.StartedPrograms(), std::vector<CString>{program});
    EXPECT_EQ(shell.OpenedAddresses(), std::vector<CString>{L"https://www.example.com"});
    // "H", "i" and a space; the layout has no key for the last one.
    const unsigned shift = 0xE1;
    EXPECT_EQ(KeyboardReports(),
              (std::vector<std::vector<unsigned>>{{shift}, {11, shift}, {shift}, {}, {12}, {}, {44}, {}}));
    EXPECT_EQ(logLines,
              std::vector<std::string>{
                  "typing a text: 3 of 4 characters, 1 skipped (no key of the keyboard layout types them)"});
}

TEST_F(CustomKeyPageTest, AProfileKeySwitchesTheProfileItNames)
{
    StartOnPage();
    for (const wchar_t* name : {L"Main", L"Games"}) {
        ProfileRow profile;
        profile.name = name;
        ASSERT_NE(database.AddProfile(profile), 0);
    }
    ASSERT_TRUE(StoreRow(2, 0, kKeyB, 2, kEscape));

    std::vector<CustomKeyChoice> offered;
    AssignThroughDialog(kKeyA, KeyMenu::kProfile, [&offered](CustomKeyDlg& dialog) {
        offered = dialog.Choices();
        dynamic_cast<MComboBox*>(dialog.GetControl(CustomKeyDlg::kValueList))->SetCurSel(1);
    });
    EXPECT_EQ(offered, (std::vector<CustomKeyChoice>{{1, L"Main"}, {2, L"Games"}}));
    KeyAssignmentRow row;
    ASSERT_TRUE(database.GetKeyAssignment(1, 0, kKeyA, row));
    EXPECT_EQ(FieldsOf(row), Expected(kKeyA, 11, row.macro_value, L"Games"));
    const std::optional<KeyExtraRow> record = Window().CustomKeys().Assignments().Record(row.macro_value);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(std::tie(record->macro_desc, record->param), std::tie(L"Games", L"2"));
    EXPECT_EQ(TipOfKey(kKeyA), Tip(367, L"Games"));

    PressOnKeyboard(kKeyA);
    ASSERT_TRUE(PumpUntil([&] { return Window().CurrentProfile().Profile() == 2; }));
    EXPECT_EQ(database.GetActiveProfile(), 2);
    EXPECT_EQ(Key(kKeyA).checked, 0);
    EXPECT_EQ(Key(kKeyB).checked, 1);
    EXPECT_EQ(keyFilter.WatchedKeys(), std::vector<unsigned>{kKeyB}) << "the keys of the profile switched to";
}

TEST_F(CustomKeyPageTest, AProgramThatIsGoneIsReportedNotIgnored)
{
    StartOnPage();
    const int record = database.AddKeyExtra(ProgramRecord(L"/nonexistent/tool"));
    ASSERT_TRUE(StoreRow(1, 0, kKeyA, 8, record));
    ReloadPage();

    std::vector<std::pair<CString, CString>> messages;
    AnswerMessageBox(&messages);
    EXPECT_EQ(Send(WM_RUN_KEY_ACTION, 0, record), 1);
    PressOnKeyboard(kKeyA);
    AnswerMessageBox(&messages);
    Pump();

    const std::pair<CString, CString> gone{TextIn(1033, 210), TextIn(1033, 213) + L"\n/nonexistent/tool"};
    EXPECT_EQ(messages, (std::vector<std::pair<CString, CString>>{gone, gone}));
    EXPECT_TRUE(shell.StartedPrograms().empty());
}

} // namespace
