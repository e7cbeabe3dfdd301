#pragma once
// The program's own file dialog, for desktops with neither the portal nor zenity/kdialog: a KelvoUI
// dialog with the current folder and an "up" button, the folder's subfolders, its files of the chosen
// type, a name field, the type list, OK and Cancel.
//
//   click on a folder       → the dialog moves into it
//   click on a file         → its name goes into the name field; double click takes it at once
//   OK, Enter               → the name is taken (a folder's name moves into it): Open wants an existing
//                             file; Save adds the type's extension to a name without one and asks once
//                             before replacing an existing file (OK becomes "Replace")
//   Cancel, Escape, closing → nothing is chosen
//
// File names are kept as the file system gives them (any bytes), shown as well as they decode.

#include <optional>
#include <string>
#include <vector>

#include "platform/file_chooser.h"
#include "ui/framework/m_dialog.h"

class KelvoFileDialog final : public MDialog {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    // The most entries of a folder that are listed.
    static constexpr size_t kMaxEntries = 10000;
    enum ControlId : unsigned {
        kTitleId = 30,
        kPathId,
        kUpId,
        kFoldersLabelId,
        kFoldersId,
        kFilesLabelId,
        kFilesId,
        kNameLabelId,
        kNameId,
        kTypeLabelId,
        kTypeId,
        kOkId,
        kCancelId,
        kStatusId,
    };

    KelvoFileDialog(FileChooserRequest request, FileDialogTexts texts);

    // Modal over the request's owner; the chosen file, or nullopt.
    std::optional<NativeFilePath> Run();

    const NativeFilePath& Folder() const { return m_folder; }
    // The names listed now, as the file system gives them.
    const std::vector<std::string>& FolderNames() const { return m_folderNames; }
    const std::vector<std::string>& FileNames() const { return m_fileNames; }

    int InitUI(CRect client) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OpenFolder(NativeFilePath folder);
    void FillFiles();
    bool Matches(const std::string& name) const;
    void SetName(const std::string& name);
    void Accept();
    void ClearQuestion();

    FileChooserRequest m_request;
    FileDialogTexts m_texts;
    NativeFilePath m_folder;
    std::vector<std::string> m_folderNames;
    std::vector<std::string> m_fileNames;
    std::vector<std::string> m_allFiles;
    std::string m_picked; // the name last put in the field, as the file system gives it
    CString m_pickedShown;
    NativeFilePath m_confirmed; // the existing file the user was asked about
    std::optional<NativeFilePath> m_result;
};
