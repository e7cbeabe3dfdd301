#pragma once
// Points the program's folders into a fresh temporary directory for the lifetime of the object.

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "core/wide_text.h"

// Sets one environment variable and restores its previous value (or absence) on destruction.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

// A temporary directory removed with everything in it on destruction.
class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    CString WidePath() const { return Utf8ToWide(m_path.string()); }

private:
    std::filesystem::path m_path;
};

// XDG_DATA_HOME, XDG_CONFIG_HOME and the application folder inside one fresh temporary directory:
// <root>/data, <root>/config and <root>/app (all created).
class ScopedFolders {
public:
    ScopedFolders();

    std::filesystem::path Root() const { return m_root.Path(); }
    std::filesystem::path AppFolder() const { return m_root.Path() / "app"; }
    std::filesystem::path DataHome() const { return m_root.Path() / "data"; }
    std::filesystem::path ConfigHome() const { return m_root.Path() / "config"; }

    // Copies a file of the built installation (build/bin/...) into the application folder.
    void InstallFromBuild(const std::string& relativePath) const;

private:
    ScopedTempDir m_root;
    ScopedEnv m_data;
    ScopedEnv m_config;
    ScopedEnv m_app;
};

// The built installation folder (build/bin): config.xml, layouts/, language/, skins/, font/.
std::filesystem::path BuildBinDir();

// tests/fixtures in the source tree.
std::filesystem::path FixturesDir();

// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);
