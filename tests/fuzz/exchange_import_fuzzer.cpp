// Feeds arbitrary bytes to the profile and the macro importer against a scratch database.
//
// Beyond not crashing, each run checks what the importers promise: a file they turn down leaves the
// database as it was, an accepted one adds exactly the profile and macros it reports, and what was
// imported can be exported again.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/macro_exchange.h"
#include "store/profile_database.h"
#include "store/profile_exchange.h"

namespace {

constexpr const wchar_t* kModel = L"Fuzz";
// The database is started afresh now and then so that it stays small and each run stays fast.
constexpr int kRunsPerDatabase = 500;

struct Scratch {
    std::filesystem::path folder;
    CString dataFolder; // with the trailing separator OpenForDevice expects
    NativeFilePath input;
    NativeFilePath output;
    ProfileDatabase database;
    int runs = 0;

    Scratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvik-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        folder = pattern;
        std::filesystem::create_directories(folder / "db");
        dataFolder = Utf8ToWide(folder.string()) + L"/";
        input = NativeFilePath((folder / "input.xml").string());
        output = NativeFilePath((folder / "output.xml").string());
    }
    ~Scratch()
    {
        database.Close();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void Renew()
    {
        database.DeleteDatabaseFile(dataFolder, kModel);
        if (!database.OpenForDevice(dataFolder, kModel))
            std::abort();
    }
};

Scratch& State()
{
    static Scratch scratch;
    return scratch;
}

int CountProfiles(ProfileDatabase& database)
{
    ProfileList list;
    return database.ListProfiles(list);
}

int CountMacros(ProfileDatabase& database)
{
    MacroList list;
    return database.ListMacros(list);
}

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Scratch& scratch = State();
    if (scratch.runs++ % kRunsPerDatabase == 0)
        scratch.Renew();
    ProfileDatabase& database = scratch.database;

    std::FILE* file = std::fopen(std::filesystem::path(scratch.folder / "input.xml").c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    const int profiles = CountProfiles(database);
    const int macros = CountMacros(database);
    const ProfileImport imported = ImportProfile(database, scratch.input, L"fuzz.xml");
    Check(CountProfiles(database) == profiles + (imported.profile > 0 ? 1 : 0), "profile count");
    Check(CountMacros(database) == macros + static_cast<int>(imported.macros.size()), "macro count");
    Check((imported.profile > 0) == (imported.error == ExchangeError::None), "profile import reason");
    if (imported.profile > 0)
        Check(ExportProfile(database, imported.profile, L"fuzz", scratch.output) == ExchangeError::None,
              "profile export");

    const int macrosBefore = CountMacros(database);
    const MacroImport macro = ImportMacro(database, scratch.input, L"fuzz.xml");
    Check(CountMacros(database) == macrosBefore + (macro.macro.macro_id > 0 ? 1 : 0), "macro import count");
    Check((macro.macro.macro_id > 0) == (macro.error == ExchangeError::None), "macro import reason");
    if (macro.macro.macro_id > 0)
        Check(ExportMacro(database, macro.macro.macro_id, scratch.output) == ExchangeError::None,
              "macro export");
    return 0;
}
