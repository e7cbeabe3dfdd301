#pragma once
// What the import and export buttons ask the file chooser: the title and the file type of each exchange
// file (profile and macro files, both XML), and the texts of the program's own file dialog in the
// language of the moment.

#include "platform/file_chooser.h"

// `suggestedName` is offered in the save dialog's name field (empty: none).
FileChooserRequest ProfileExportRequest(HWND owner, const CString& suggestedName = L"");
FileChooserRequest ProfileImportRequest(HWND owner);
FileChooserRequest MacroExportRequest(HWND owner, const CString& suggestedName = L"");
FileChooserRequest MacroImportRequest(HWND owner);

FileDialogTexts CurrentFileDialogTexts();
