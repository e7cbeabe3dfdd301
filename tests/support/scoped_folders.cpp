#include "tests/support/scoped_folders.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

#include "core/folders.h"

namespace fs = std::filesystem;

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name)
{
    if (const char* previous = std::getenv(name))
        m_previous = previous;
    ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (m_previous)
        ::setenv(m_name.c_str(), m_previous->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

ScopedTempDir::ScopedTempDir()
{
    std::string pattern = (fs::temp_directory_path() / "torvik-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

ScopedTempDir::~ScopedTempDir()
{
    std::error_code ignored;
    // Tests may have made folders read-only; give write access back so removal succeeds.
    for (auto it = fs::recursive_directory_iterator(m_path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

ScopedFolders::ScopedFolders()
    : m_data("XDG_DATA_HOME", (m_root.Path() / "data").string()),
      m_config("XDG_CONFIG_HOME", (m_root.Path() / "config").string()),
      m_app(kApplicationFolderVariable, (m_root.Path() / "app").string())
{
    fs::create_directories(DataHome());
    fs::create_directories(ConfigHome());
    fs::create_directories(AppFolder());
}

void ScopedFolders::InstallFromBuild(const std::string& relativePath) const
{
    const fs::path target = AppFolder() / relativePath;
    fs::create_directories(target.parent_path());
    fs::copy(BuildBinDir() / relativePath, target,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

fs::path BuildBinDir()
{
    if (const char* dir = std::getenv("TORVIK_BUILD_BIN_DIR"))
        return dir;
    return TORVIK_INSTALL_DIR;
}

fs::path FixturesDir()
{
    return TORVIK_FIXTURES_DIR;
}

std::string ReadFileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const fs::path& path, std::string_view bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
