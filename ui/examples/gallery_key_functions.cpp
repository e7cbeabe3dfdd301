// The key functions page: the key function picker as the custom key page shows it (the program's strip
// and icons, descriptions as tooltips, the picked button marked) and the macro record list with the
// macro page's move and delete buttons, plus a pretend recorder that appends steps from a thread of its
// own while the list is shown.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "ui/controls/m_button.h"
#include "ui/controls/m_text.h"
#include "ui/examples/gallery_pages.h"
#include "ui/keyboard/c_record_list.h"
#include "ui/keyboard/key_func_control.h"

namespace {

enum KeyFunctionIds : unsigned {
    kPanel = kGalleryKeyFunctionsIds,
    kPicker,
    kPicked,
    kRecords,
    kUp,
    kDown,
    kDelete,
    kRecord,
    kClear,
    kLabels = kGalleryKeyFunctionsIds + 80,
};

constexpr int kRecordSteps = 24;
constexpr auto kRecordPace = std::chrono::milliseconds(120);

// The special functions' descriptions, in the words the program's language file would give.
struct Description {
    int value;
    const wchar_t* text;
};
constexpr Description kDescriptions[] = {
    {0xF9, L"My computer"},  {0xF2, L"Calculator"},   {0xF0, L"E-mail"},         {0xE8, L"Media player"},
    {0xEE, L"Play / pause"}, {0xEC, L"Stop"},         {0xED, L"Previous track"}, {0xEF, L"Next track"},
    {0xE9, L"Volume down"},  {0xEA, L"Volume up"},    {0xEB, L"Mute"},           {0xF1, L"Web home"},
    {0xF6, L"Refresh"},      {0xF5, L"Stop loading"}, {0xF3, L"Back"},           {0xF4, L"Forward"},
    {0xF8, L"Favourites"},   {0xF7, L"Search"},
};

class KeyFunctionsPanel : public MPanel {
public:
    KeyFunctionsPanel(MObject* parent, unsigned id, CRect rect) : MPanel(parent, id, rect, 1) {}
    ~KeyFunctionsPanel() override { StopRecording(); }

    void Build();
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    void DrawControl(HDC&, CRect) override {}

private:
    void Picked();
    void MoveSelected(int by);
    void DeleteSelected();
    void StartRecording();
    void StopRecording();

    KeyFuncControl* m_picker = nullptr;
    MText* m_picked = nullptr;
    CRecordList* m_records = nullptr;
    std::thread m_recorder;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop = false;
};

void KeyFunctionsPanel::Build()
{
    unsigned label = kLabels;
    GalleryHeading(this, label++, GalleryRect(this, 24, 12, 400, 24), L"Key function picker");
    GalleryCaption(this, label++, GalleryRect(this, 300, 16, 640, 20),
                   L"Click a function: it is marked, as a key's assignment is. The icons tell what they "
                   L"are in a tooltip.");
    m_picker =
        GalleryControl<KeyFuncControl>(this, L"KeyFuncControl", kPicker, GalleryRect(this, 24, 48, 903, 236));
    m_picker->SetImage(L"img_customkey.png", 4);
    m_picker->SetTextColor(0xFFFFFFFF);
    m_picker->SetFont(nullptr, 10, FontStyleRegular);
    m_picker->InitItemInfo();
    for (const Description& d : kDescriptions)
        m_picker->SetItemDesc(d.value, d.text);
    m_picked = GalleryCaption(this, kPicked, GalleryRect(this, 950, 48, 270, 60), L"Nothing picked yet.");
    m_picked->SetFont(nullptr, 14, FontStyleRegular);
    m_picked->SetTextColor(0xFFC8C8C8);

    GalleryHeading(this, label++, GalleryRect(this, 24, 304, 400, 24), L"Macro record list");
    GalleryOutline(this, label++, GalleryRect(this, 24, 338, 440, 5 * CRecordList::kDefaultRowHeight));
    m_records = GalleryControl<CRecordList>(
        this, L"CRecordList", kRecords, GalleryRect(this, 24, 338, 440, 5 * CRecordList::kDefaultRowHeight));
    const struct {
        const wchar_t* name;
        int kind;
        int code;
        int delay;
    } steps[] = {{L"Left Ctrl", 2, 0xA2, 0},   {L"C", 2, 'C', 45},     {L"C", 3, 'C', 80},
                 {L"Left Ctrl", 3, 0xA2, 30},  {L"Tab", 2, 0x09, 250}, {L"Tab", 3, 0x09, 60},
                 {L"Left Ctrl", 2, 0xA2, 400}, {L"V", 2, 'V', 40},     {L"V", 3, 'V', 75},
                 {L"Left Ctrl", 3, 0xA2, 20}};
    for (const auto& s : steps)
        m_records->AddString(s.name, s.kind, s.code, s.delay);
    m_records->SetCurSel(0);

    auto button = [&](unsigned id, int y, const wchar_t* picture, const wchar_t* tip) {
        auto* b = GalleryControl<CImageButton>(this, L"CImageButton", id, GalleryRect(this, 480, y, 30, 30));
        b->SetImage(picture, 4);
        b->SetTooltip(tip);
    };
    button(kUp, 338, L"btn_record_up.png", L"Move the step up");
    button(kDown, 376, L"btn_record_down.png", L"Move the step down");
    button(kDelete, 414, L"btn_record_del.png", L"Delete the step");
    auto* record = GalleryControl<MButton>(this, L"MButton", kRecord, GalleryRect(this, 530, 338, 200, 38),
                                           L"Record steps");
    record->SetImage(L"btn_apply.png", 4);
    auto* clear =
        GalleryControl<MButton>(this, L"MButton", kClear, GalleryRect(this, 530, 386, 200, 38), L"Clear");
    clear->SetImage(L"btn_apply.png", 4);
    GalleryCaption(this, label++, GalleryRect(this, 750, 338, 460, 120),
                   L"Click a delay to change it: digits only, five at most; an emptied field means 10 ms. "
                   L"\"Record steps\" appends key presses from a thread of its own while the list is shown, "
                   L"as a recorder would.");
}

long KeyFunctionsPanel::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    if (id == kPicker && code == KeyFuncControl::kNotifyPress)
        Picked();
    else if (id == kUp && code == 2)
        MoveSelected(-1);
    else if (id == kDown && code == 2)
        MoveSelected(1);
    else if (id == kDelete && code == 2)
        DeleteSelected();
    else if (id == kRecord && code == 2)
        StartRecording();
    else if (id == kClear && code == 2) {
        StopRecording();
        m_records->DeleteAllItems();
    }
    return MPanel::OnMessage(id, code, wParam, lParam);
}

void KeyFunctionsPanel::Picked()
{
    int first = 0, value = 0, data2 = 0, data3 = 0;
    CString label;
    if (!m_picker->GetCurItemData(first, value, data2, data3, label))
        return;
    m_picker->SetItemCheckByItemData(value, data2, data3);
    m_picked->SetTitle(
        FormatText(L"Picked: %s (value %d)", label.empty() ? L"(no description)" : label.c_str(), value)
            .c_str());
}

// As the macro page moves a step: the rows swap and the selection goes with the step.
void KeyFunctionsPanel::MoveSelected(int by)
{
    const int a = m_records->GetCurSel();
    const int b = a + by;
    if (a < 0 || b < 0 || b >= m_records->GetItemCount())
        return;
    m_records->SwapItem(a, b);
    m_records->SetCurSel(b);
    m_records->UpdateControl();
}

void KeyFunctionsPanel::DeleteSelected()
{
    const int a = m_records->GetCurSel();
    if (a < 0)
        return;
    m_records->DeleteItem(a);
    m_records->SetCurSel(a);
}

void KeyFunctionsPanel::StartRecording()
{
    StopRecording();
    m_stop = false;
    m_recorder = std::thread([this] {
        const wchar_t* keys[] = {L"H", L"E", L"L", L"L", L"O", L"Space",
                                 L"W", L"O", L"R", L"L", L"D", L"Enter"};
        auto last = std::chrono::steady_clock::now();
        for (int i = 0; i < kRecordSteps; ++i) {
            {
                std::unique_lock lock(m_lock);
                if (m_wake.wait_for(lock, kRecordPace, [this] { return m_stop; }))
                    return;
            }
            const auto now = std::chrono::steady_clock::now();
            // The delay after the previous step, as measured.
            m_records->UpdateDelayTime(
                static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count()));
            last = now;
            const wchar_t* key = keys[(i / 2) % std::size(keys)];
            m_records->AddString(key, i % 2 == 0 ? CRecordList::kKindKeyDown : CRecordList::kKindKeyUp,
                                 static_cast<int>(key[0]), 0);
        }
    });
}

void KeyFunctionsPanel::StopRecording()
{
    if (!m_recorder.joinable())
        return;
    {
        std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_recorder.join();
}

} // namespace

void BuildKeyFunctionsGalleryPage(MPanel* page)
{
    if (!page)
        return;
    auto* panel = static_cast<KeyFunctionsPanel*>(
        page->AddControl(std::make_unique<KeyFunctionsPanel>(page, kPanel, page->GetRect())));
    panel->Build();
}
