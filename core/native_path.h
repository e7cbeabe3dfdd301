#pragma once
// Two kinds of path, kept apart by type:
//
// - The program's own path forms, built the way its texts give them ("%s\\config.xml",
//   "db\\%s_data_v6.db", "icon//icon_pc.png"). NativePath turns such a path into a Linux one right
//   before a file-system call; nothing else rewrites paths.
// - NativeFilePath: a path the user chose (file chooser, command line). On Linux a backslash is an
//   ordinary character of a file name, so such a path is handed to the file system exactly as given and
//   never goes through NativePath.

#include <string>
#include <string_view>

// Backslashes become '/', and runs of separators collapse to one. Returns UTF-8.
std::string NativePath(std::wstring_view path);

class NativeFilePath {
public:
    NativeFilePath() = default;
    // The bytes the file system takes; they need not be UTF-8.
    explicit NativeFilePath(std::string bytes) : m_bytes(std::move(bytes)) {}
    // A path a dialog handed over as text: UTF-8, and nothing else changed.
    static NativeFilePath FromWide(std::wstring_view path);

    const std::string& Native() const { return m_bytes; }
    const char* c_str() const { return m_bytes.c_str(); }
    bool empty() const { return m_bytes.empty(); }

    bool operator==(const NativeFilePath&) const = default;

private:
    std::string m_bytes;
};
