#include "platform/file_chooser.h"

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace {

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Home()
{
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file: a shell-quoted text, "$HOME/..." or absolute.
std::string DocumentsEntry(const std::string& file)
{
    std::ifstream in(file);
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
            continue;
        std::string value = line.substr(start + key.size());
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t'))
            value.pop_back();
        if (value.size() < 2 || value.front() != '"' || value.back() != '"')
            return {};
        value = value.substr(1, value.size() - 2);
        // The file's own escapes: \" \\ \$ \`.
        std::string unescaped;
        for (size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size())
                ++i;
            unescaped += value[i];
        }
        if (unescaped.starts_with("$HOME"))
            return Home() + unescaped.substr(5);
        return unescaped.starts_with("/") ? unescaped : std::string();
    }
    return {};
}

} // namespace

std::optional<NativeFilePath> FileChooser::Choose(FileChooserRequest request)
{
    if (request.folder.empty())
        request.folder = IsFolder(m_lastFolder.Native()) ? m_lastFolder : UserDocumentsFolder();
    std::optional<NativeFilePath> chosen = Show(request);
    if (chosen && chosen->empty())
        chosen.reset();
    if (chosen) {
        if (NativeFilePath folder = FolderOf(*chosen); !folder.empty())
            m_lastFolder = std::move(folder);
    }
    return chosen;
}

NativeFilePath UserDocumentsFolder()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string config = configHome && *configHome ? configHome : Home() + "/.config";
    const std::string documents = DocumentsEntry(config + "/user-dirs.dirs");
    return NativeFilePath(IsFolder(documents) ? documents : Home());
}

NativeFilePath FolderOf(const NativeFilePath& path)
{
    const std::string& bytes = path.Native();
    const size_t slash = bytes.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return NativeFilePath(slash == 0 ? std::string("/") : bytes.substr(0, slash));
}
