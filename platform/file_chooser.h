#pragma once
// Asking the user for a file to open or to save to. One seam for the pages that import and export
// files; its backends are the desktop's own dialogs (the portal, zenity, kdialog), a dialog of the
// program's own, and a scripted chooser for tests.
//
// Every chooser opens where the request says, else in the folder of the last file chosen through it,
// else in the user's documents folder; a path the user chose is handed back exactly as the file system
// knows it (NativeFilePath), never rewritten.
//
// Threads: the UI thread. Choose returns once the user has answered; the windows keep painting
// meanwhile, and the owner window takes no input.

#include <optional>
#include <vector>

#include "core/native_path.h"
#include "core/wide_text.h"
#include "ui/framework/win_types.h"

struct FileTypeFilter {
    CString name;                  // as the user reads it: "Profile (*.xml)"
    std::vector<CString> patterns; // "*.xml"
};

struct FileChooserRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    CString title;
    // The file types offered, the first chosen at first; none: every file.
    std::vector<FileTypeFilter> filters;
    // Save: the name offered in the name field.
    CString suggestedName;
    // Where it opens; empty: the last folder chosen, else the documents folder.
    NativeFilePath folder;
    // The window it belongs to (modal over it); may be null.
    HWND owner = nullptr;
};

// The texts of a file dialog the program draws itself, in the language of the moment.
struct FileDialogTexts {
    CString ok = L"OK";
    CString cancel = L"Cancel";
    CString up = L"Up";
    CString folders = L"Folders";
    CString files = L"Files";
    CString name = L"File name";
    CString type = L"File type";
    CString replace = L"Replace";
    // %s: the file's name.
    CString replaceQuestion = L"\"%s\" already exists. Replace it?";
};

class FileChooser {
public:
    virtual ~FileChooser() = default;

    // The chosen file; nullopt when the user cancelled or no chooser could be shown.
    std::optional<NativeFilePath> Choose(FileChooserRequest request);
    // The folder of the last file chosen (empty before the first).
    const NativeFilePath& LastFolder() const { return m_lastFolder; }

protected:
    // Shows the chooser for a request whose folder is filled in.
    virtual std::optional<NativeFilePath> Show(const FileChooserRequest& request) = 0;

private:
    NativeFilePath m_lastFolder;
};

// The user's documents folder: XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (with "$HOME"
// expanded) when it exists, else the home folder.
NativeFilePath UserDocumentsFolder();
// The folder part of a path ("/a/b" for "/a/b/c.xml"); empty when it has none.
NativeFilePath FolderOf(const NativeFilePath& path);
