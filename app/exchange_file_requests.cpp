#include "app/exchange_file_requests.h"

#include "app/language_text.h"
#include "app/text_ids.h"

namespace {

FileChooserRequest Request(FileChooserRequest::Kind kind, HWND owner, int titleId, const wchar_t* typeName,
                           const CString& suggestedName)
{
    FileChooserRequest request;
    request.kind = kind;
    request.owner = owner;
    request.title = GetText(kDialogSection, titleId);
    request.filters = {FileTypeFilter{typeName, {L"*.xml"}}};
    request.suggestedName = suggestedName;
    return request;
}

} // namespace

FileChooserRequest ProfileExportRequest(HWND owner, const CString& suggestedName)
{
    return Request(FileChooserRequest::Kind::Save, owner, kTextExportProfileDialog, L"Profile (*.xml)",
                   suggestedName);
}

FileChooserRequest ProfileImportRequest(HWND owner)
{
    return Request(FileChooserRequest::Kind::Open, owner, kTextImportProfileDialog, L"Custom Key (*.xml)",
                   L"");
}

FileChooserRequest MacroExportRequest(HWND owner, const CString& suggestedName)
{
    return Request(FileChooserRequest::Kind::Save, owner, kTextExportMacroDialog, L"Macro (*.xml)",
                   suggestedName);
}

FileChooserRequest MacroImportRequest(HWND owner)
{
    return Request(FileChooserRequest::Kind::Open, owner, kTextImportMacroDialog, L"Macros (*.xml)", L"");
}

FileDialogTexts CurrentFileDialogTexts()
{
    auto text = [](int id) { return GetText(kDialogSection, id); };
    FileDialogTexts texts;
    texts.ok = text(20);
    texts.cancel = text(25);
    texts.folders = text(kTextFileDialogFolders);
    texts.files = text(kTextFileDialogFiles);
    texts.name = text(kTextFileDialogName);
    texts.type = text(kTextFileDialogType);
    texts.up = text(kTextFileDialogUp);
    texts.replace = text(kTextFileDialogReplace);
    texts.replaceQuestion = text(kTextFileDialogReplaceQuestion);
    return texts;
}
