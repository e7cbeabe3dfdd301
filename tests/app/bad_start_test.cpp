// Starts on a broken installation or home folder: the window comes up with what there is.

#include <gtest/gtest.h>

#include "app/language_text.h"
#include "tests/app/app_fixture.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/framework/manager.h"
#include "ui/keyboard/c_device_ctrl.h"

namespace fs = std::filesystem;

namespace {

class BadStartTest : public AppFixture {
protected:
    // The window is there, painted, with its frame and pages, and still answers.
    void ExpectUsableWindow()
    {
        ASSERT_TRUE(Window().IsLive());
        EXPECT_EQ(QueuedTasks(), (std::vector<int>{12, 1}));
        RunWorker();
        EXPECT_EQ(TitleOf(55), TextIn(kLanguageEnglish, 61));
        for (unsigned id : {30u, 41u, 49u, 50u, 54u, 55u, 240u})
            EXPECT_NE(Control(id), nullptr) << id;
        EXPECT_GT(Backend().Window(Hwnd())->presentCount, 0);
        Window().OnModelChosen(0);
        EXPECT_EQ(ControlAs<MTabCtrl>(49)->GetSelectItem(), 1);
    }
};

const char* const kConfigWithoutName = R"(<?xml version="1.0" encoding="UTF-8"?>
<config><software version="2.0"><copyright info="c"/></software></config>)";

TEST_F(BadStartTest, NoConfigFile)
{
    UseAppFolder(MakeAppFolder(""));
    Start();
    EXPECT_EQ(Manager::GetDeviceName(), L"Torvik");
    EXPECT_EQ(ControlAs<CDeviceCtrl>(56)->GetDeviceCount(), 0);
    EXPECT_EQ(TitleOf(58), L"Ver: ");
    EXPECT_EQ(TitleOf(57), L"");
    ExpectUsableWindow();
}

TEST_F(BadStartTest, ConfigFileThatIsNotXml)
{
    UseAppFolder(MakeAppFolder("<config><software name=\"Broken\"><device.info>\x01\xff"));
    Start();
    EXPECT_EQ(Manager::GetDeviceName(), L"Torvik");
    EXPECT_EQ(ControlAs<CDeviceCtrl>(56)->GetDeviceCount(), 0);
    ExpectUsableWindow();
}

TEST_F(BadStartTest, SoftwareWithoutANameGivesAnEmptyDeviceName)
{
    UseAppFolder(MakeAppFolder(kConfigWithoutName));
    Start();
    EXPECT_EQ(Manager::GetDeviceName(), L"");
    EXPECT_EQ(TitleOf(58), L"Ver: 2.0");
    ExpectUsableWindow();
}

TEST_F(BadStartTest, NoLanguageFiles)
{
    const fs::path app = MakeAppFolder("", {"language"});
    fs::copy_file(BuildBinDir() / "config.xml", app / "config.xml");
    UseAppFolder(app);
    Start();
    EXPECT_EQ(TitleOf(55), L"");
    EXPECT_EQ(TooltipOf(41), L"");
    EXPECT_EQ(TitleOf(58), L"Ver: 1.0.0");
    ExpectUsableWindow();
}

TEST_F(BadStartTest, DataFolderThatCannotBeMade)
{
    const fs::path blocked = fs::temp_directory_path() / ("torvik-blocked-" + std::to_string(::getpid()));
    WriteFileBytes(blocked, "a file where the data folder would go");
    UseDataHome(blocked);
    Start();
    EXPECT_FALSE(database.IsOpened());
    ExpectUsableWindow();
    fs::remove(blocked);
}

} // namespace
