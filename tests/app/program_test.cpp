// The program as a user starts it, without a display: a screenshot drawn off-screen, bad starts, bad
// options.

#include <gtest/gtest.h>

#include "tests/app/program_process.h"
#include "tests/support/scoped_folders.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// No display, the program's own installation (build/bin), and a runtime folder of the test's own, so a
// copy running on the user's desktop is never found.
ProgramProcess::Environment Headless(const ScopedTempDir& folder)
{
    return {{"DISPLAY", std::nullopt},
            {"XDG_RUNTIME_DIR", (folder.Path() / "run").string()},
            {"TORVIK_APP_FOLDER", std::nullopt}};
}

TEST(Program, ScreenshotWithoutADisplay)
{
    const ScopedTempDir folder;
    for (const bool simulate : {false, true}) {
        const fs::path shot = folder.Path() / (simulate ? "simulated.png" : "plain.png");
        std::vector<std::string> args{"--screenshot", shot.string()};
        if (simulate)
            args.push_back("--simulate");
        ProgramProcess program(TorvikProgram(), args, Headless(folder));
        ASSERT_EQ(program.Wait(30s), 0) << program.Output();
        EXPECT_NE(program.Output().find(shot.string()), std::string::npos) << program.Output();
        const PngSummary png = SummarisePng(shot);
        EXPECT_EQ(png.width, 1280);
        EXPECT_EQ(png.height, 720);
        EXPECT_GT(png.distinctPixels, 50u) << "a blank picture";
    }
}

TEST(Program, ABrokenInstallationStillStarts)
{
    const ScopedTempDir folder;
    const fs::path app = folder.Path() / "app";
    fs::create_directories(app);
    for (const char* part : {"layouts", "skins", "font"})
        fs::create_directory_symlink(BuildBinDir() / part, app / part);
    WriteFileBytes(app / "config.xml", "<config><software name=");
    ProgramProcess::Environment env = Headless(folder);
    env["TORVIK_APP_FOLDER"] = app.string();
    const fs::path shot = folder.Path() / "shot.png";
    ProgramProcess program(TorvikProgram(), {"--screenshot", shot.string()}, env);
    ASSERT_EQ(program.Wait(30s), 0) << program.Output();
    EXPECT_GT(SummarisePng(shot).distinctPixels, 50u);
    // The initial device name names the data folder.
    EXPECT_TRUE(fs::is_directory(fs::path(std::getenv("XDG_DATA_HOME")) / "Torvik Files" / "db"));
}

TEST(Program, BadStartsEndWithAMessage)
{
    const ScopedTempDir folder;
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--simulate=999"}, 2, "no keyboard model '999'"},
        {{"--simulate", "--simulate-log", (folder.Path() / "no" / "such" / "r.log").string()},
         1,
         "cannot write the report log"},
        {{}, 1, "no display"},
        {{"--screenshot", (folder.Path() / "no" / "such" / "shot.png").string()}, 1, "could not be written"},
    };
    for (const Case& c : cases) {
        ProgramProcess program(TorvikProgram(), c.args, Headless(folder));
        EXPECT_EQ(program.Wait(30s), c.status) << program.Output();
        EXPECT_NE(program.Output().find(c.message), std::string::npos) << program.Output();
    }
}

} // namespace
