#include "platform/linux/kelvo_file_dialog.h"

#include <algorithm>
#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>

#include "core/virtual_keys.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_list_box.h"
#include "ui/controls/m_text.h"
#include "ui/framework/window_system.h"

namespace {

constexpr DWORD kStyle = 0x96000000;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kGrey = 0xFFADADAD;
constexpr ARGB kAccent = 0xFFED801B;
constexpr unsigned kClick = 2;
constexpr unsigned kDoubleClick = 3;
constexpr unsigned kEditChanged = 26;

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string Join(const NativeFilePath& folder, const std::string& name)
{
    const std::string& f = folder.Native();
    return f.empty() || f.back() == '/' ? f + name : f + "/" + name;
}

void SortNames(std::vector<std::string>& names)
{
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int c = ::strcasecmp(a.c_str(), b.c_str());
        return c != 0 ? c < 0 : a < b;
    });
}

template <class T>
T* Make(MDialog& dialog, const wchar_t* className, unsigned id, const CRect& rect, const CString& title = L"")
{
    auto* control = dynamic_cast<T*>(dialog.CreateControl(className, id, rect, title.c_str()));
    return control;
}

void Style(MControlFont* control, ARGB colour, int size, FontStyle style, int align)
{
    if (!control)
        return;
    control->SetTextColor(colour);
    control->SetFont(nullptr, size, style);
    control->SetAlignment(align);
}

} // namespace

KelvoFileDialog::KelvoFileDialog(FileChooserRequest request, FileDialogTexts texts)
    : m_request(std::move(request)), m_texts(std::move(texts))
{
    m_folder = IsFolder(m_request.folder.Native()) ? m_request.folder : UserDocumentsFolder();
}

std::optional<NativeFilePath> KelvoFileDialog::Run()
{
    const HWND owner = m_request.owner && WindowSystem::IsWindow(m_request.owner) ? m_request.owner : nullptr;
    const CRect work = WindowSystem::GetWorkArea(owner);
    const int left = work.left + (work.Width() - kWidth) / 2;
    const int top = work.top + (work.Height() - kHeight) / 2;
    if (!Create(owner, m_request.title.c_str(), kStyle, 0, CRect(left, top, left + kWidth, top + kHeight)))
        return std::nullopt;
    return ShowModal(SW_SHOW) == IDOK ? m_result : std::nullopt;
}

int KelvoFileDialog::InitUI(CRect client)
{
    SetLayeredWindow(1);
    LoadBKImage(L"bk_prompt.png");
    SetBackMode(BACK_MODE_FRAME, 30);
    const int w = client.Width();
    const int h = client.Height();

    Style(Make<MText>(*this, L"MText", kTitleId, CRect(20, 12, w - 20, 40), m_request.title), kWhite, 16,
          FontStyleBold, 1);
    Style(Make<MText>(*this, L"MText", kPathId, CRect(20, 50, w - 130, 78)), kGrey, 13, FontStyleRegular, 0);
    if (auto* up = Make<MButton>(*this, L"MButton", kUpId, CRect(w - 120, 46, w - 20, 80), m_texts.up)) {
        up->SetImage(L"btn_apply.png", 4);
        Style(up, kWhite, 14, FontStyleRegular, 1);
    }
    Style(Make<MText>(*this, L"MText", kFoldersLabelId, CRect(20, 88, 220, 110), m_texts.folders), kWhite, 14,
          FontStyleRegular, 0);
    Style(Make<MText>(*this, L"MText", kFilesLabelId, CRect(230, 88, w - 20, 110), m_texts.files), kWhite, 14,
          FontStyleRegular, 0);
    Make<MListBox>(*this, L"MListBox", kFoldersId, CRect(20, 112, 220, h - 122));
    Make<MListBox>(*this, L"MListBox", kFilesId, CRect(230, 112, w - 20, h - 122));

    Style(Make<MText>(*this, L"MText", kNameLabelId, CRect(20, h - 114, 130, h - 80), m_texts.name), kWhite,
          14, FontStyleRegular, 0);
    if (auto* name = Make<MEdit>(*this, L"MEdit", kNameId, CRect(130, h - 116, w - 20, h - 80))) {
        name->SetImage(L"img_edit.png", 4);
        Style(name, kWhite, 14, FontStyleRegular, 0);
    }
    Style(Make<MText>(*this, L"MText", kTypeLabelId, CRect(20, h - 72, 130, h - 38), m_texts.type), kWhite,
          14, FontStyleRegular, 0);
    if (auto* type = Make<MComboBox>(*this, L"MComboBox", kTypeId, CRect(130, h - 74, 380, h - 38))) {
        type->SetBackImage(L"img_combobox.png");
        for (size_t i = 0; i < m_request.filters.size(); ++i)
            type->AddItem(m_request.filters[i].name.c_str(), static_cast<long>(i));
        type->SetCurSel(m_request.filters.empty() ? -1 : 0);
    }
    if (auto* ok =
            Make<MButton>(*this, L"MButton", kOkId, CRect(w - 240, h - 74, w - 135, h - 38), m_texts.ok)) {
        ok->SetImage(L"btn_apply.png", 4);
        Style(ok, kWhite, 14, FontStyleRegular, 1);
    }
    if (auto* cancel = Make<MButton>(*this, L"MButton", kCancelId, CRect(w - 125, h - 74, w - 20, h - 38),
                                     m_texts.cancel)) {
        cancel->SetImage(L"btn_apply.png", 4);
        Style(cancel, kWhite, 14, FontStyleRegular, 1);
    }
    Style(Make<MText>(*this, L"MText", kStatusId, CRect(20, h - 34, w - 20, h - 10)), kAccent, 13,
          FontStyleRegular, 0);

    if (m_request.kind == FileChooserRequest::Kind::Save)
        SetName(WideToUtf8(m_request.suggestedName));
    OpenFolder(m_folder);
    return 0;
}

void KelvoFileDialog::OpenFolder(NativeFilePath folder)
{
    // A folder that cannot be read is not entered.
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    m_folder = std::move(folder);
    m_folderNames.clear();
    m_allFiles.clear();
    size_t seen = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (++seen > kMaxEntries)
            break;
        const std::string name = entry->d_name;
        // Hidden entries, and "." and "..", stay out of the lists; Up goes to the parent.
        if (name.empty() || name.front() == '.')
            continue;
        const std::string path = Join(m_folder, name);
        if (IsFolder(path))
            m_folderNames.push_back(name);
        else if (IsFile(path))
            m_allFiles.push_back(name);
    }
    ::closedir(dir);
    SortNames(m_folderNames);
    SortNames(m_allFiles);

    if (auto* path = dynamic_cast<MText*>(GetControl(kPathId)))
        path->SetTitle(Utf8ToWide(m_folder.Native()).c_str());
    if (auto* folders = dynamic_cast<MListBox*>(GetControl(kFoldersId))) {
        folders->DeleteAllItems();
        for (size_t i = 0; i < m_folderNames.size(); ++i)
            folders->AddString(Utf8ToWide(m_folderNames[i]).c_str(), static_cast<long>(i));
    }
    ClearQuestion();
    FillFiles();
}

bool KelvoFileDialog::Matches(const std::string& name) const
{
    const auto* type = dynamic_cast<const MComboBox*>(GetControl(kTypeId));
    const int index = type ? type->GetCurSel() : (m_request.filters.empty() ? -1 : 0);
    if (index < 0 || static_cast<size_t>(index) >= m_request.filters.size())
        return true;
    for (const CString& pattern : m_request.filters[static_cast<size_t>(index)].patterns) {
        if (::fnmatch(WideToUtf8(pattern).c_str(), name.c_str(), FNM_CASEFOLD) == 0)
            return true;
    }
    return false;
}

void KelvoFileDialog::FillFiles()
{
    m_fileNames.clear();
    for (const std::string& name : m_allFiles) {
        if (Matches(name))
            m_fileNames.push_back(name);
    }
    if (auto* files = dynamic_cast<MListBox*>(GetControl(kFilesId))) {
        files->DeleteAllItems();
        for (size_t i = 0; i < m_fileNames.size(); ++i)
            files->AddString(Utf8ToWide(m_fileNames[i]).c_str(), static_cast<long>(i));
    }
}

void KelvoFileDialog::SetName(const std::string& name)
{
    // The name's own bytes are kept: a name that is not UTF-8 only shows approximately in the field.
    m_picked = name;
    m_pickedShown = Utf8ToWide(name);
    if (auto* field = dynamic_cast<MEdit*>(GetControl(kNameId)))
        field->SetControlTitle(m_pickedShown.c_str());
    ClearQuestion();
}

void KelvoFileDialog::ClearQuestion()
{
    m_confirmed = NativeFilePath();
    if (auto* status = dynamic_cast<MText*>(GetControl(kStatusId)))
        status->SetTitle(L"");
    if (auto* ok = dynamic_cast<MButton*>(GetControl(kOkId)))
        ok->SetControlTitle(m_texts.ok.c_str());
}

void KelvoFileDialog::Accept()
{
    const auto* field = dynamic_cast<const MEdit*>(GetControl(kNameId));
    const CString shown = field ? field->GetEditText() : CString();
    const std::string name = shown == m_pickedShown ? m_picked : WideToUtf8(shown);
    if (name.empty())
        return;
    std::string path = name.front() == '/' ? name : Join(m_folder, name);
    if (IsFolder(path)) {
        OpenFolder(NativeFilePath(path));
        SetName("");
        return;
    }
    if (m_request.kind == FileChooserRequest::Kind::Open) {
        if (!IsFile(path))
            return;
        m_result = NativeFilePath(path);
        DoOK();
        return;
    }
    // A name without an extension gets the chosen type's ("*.xml" → ".xml").
    const std::string fileName = path.substr(path.find_last_of('/') + 1);
    const auto* type = dynamic_cast<const MComboBox*>(GetControl(kTypeId));
    const int index = type ? type->GetCurSel() : -1;
    if (fileName.find('.') == std::string::npos && index >= 0 &&
        static_cast<size_t>(index) < m_request.filters.size() && !m_request.filters[index].patterns.empty()) {
        const std::string pattern = WideToUtf8(m_request.filters[index].patterns.front());
        if (pattern.starts_with("*.") && pattern.find_first_of("*?[", 2) == std::string::npos)
            path += pattern.substr(1);
    }
    if (!IsFolder(FolderOf(NativeFilePath(path)).Native()))
        return;
    if (Exists(path) && m_confirmed.Native() != path) {
        // Asked once; OK again replaces it.
        if (auto* status = dynamic_cast<MText*>(GetControl(kStatusId)))
            status->SetTitle(FormatText(m_texts.replaceQuestion.c_str(),
                                        Utf8ToWide(path.substr(path.find_last_of('/') + 1)).c_str())
                                 .c_str());
        if (auto* ok = dynamic_cast<MButton*>(GetControl(kOkId)))
            ok->SetControlTitle(m_texts.replace.c_str());
        m_confirmed = NativeFilePath(path);
        return;
    }
    m_result = NativeFilePath(path);
    DoOK();
}

long KelvoFileDialog::OnMessage(unsigned id, unsigned code, unsigned wParam, long /*lParam*/)
{
    switch (id) {
    case kUpId:
        if (code == kClick) {
            const NativeFilePath parent = FolderOf(m_folder);
            if (!parent.empty())
                OpenFolder(parent);
        }
        return 1;
    case kFoldersId:
        if (code == kClick && wParam < m_folderNames.size())
            OpenFolder(NativeFilePath(Join(m_folder, m_folderNames[wParam])));
        return 1;
    case kFilesId:
        if ((code == kClick || code == kDoubleClick) && wParam < m_fileNames.size()) {
            SetName(m_fileNames[wParam]);
            if (code == kDoubleClick)
                Accept();
        }
        return 1;
    case kNameId:
        if (code == kEditChanged)
            ClearQuestion();
        return 0;
    case kTypeId:
        if (code == kClick)
            FillFiles();
        return 1;
    case kOkId:
        if (code == kClick)
            Accept();
        return 1;
    case kCancelId:
        if (code == kClick)
            DoCancel();
        return 1;
    default:
        return 0;
    }
}

LRESULT KelvoFileDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        DoCancel();
        return 0;
    }
    if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
        Accept();
        return 0;
    }
    return MDialog::OnWindowMessage(msg, wParam, lParam);
}
