#include <gtest/gtest.h>

#include "app/program_settings.h"
#include "platform/fake/memory_autostart.h"
#include "platform/fake/memory_settings_store.h"
#include "platform/registry_values.h"
#include "tests/support/scoped_folders.h"
#include "ui/framework/manager.h"

namespace {

class ProgramSettingsTest : public testing::Test {
protected:
    void SetUp() override { Manager::SetDeviceName(L"Corvid Z5"); }
    void TearDown() override { Manager::SetDeviceName(L"Torvik"); }

    ScopedFolders m_folders;
    MemorySettingsStore m_store;
    MemoryAutostart m_autostart;
    ProgramSettings m_settings{m_store, m_autostart};
};

} // namespace

TEST_F(ProgramSettingsTest, ValuesLiveUnderTheDeviceName)
{
    EXPECT_EQ(m_settings.ReadRegInt(kExitModeValue), 0);
    m_settings.WriteRegString(kExitModeValue, L"2");
    m_settings.SaveLanguageId(1045);
    EXPECT_EQ(m_store.QueryValue(L"Corvid Z5", kExitModeValue), CString(L"2"));
    EXPECT_EQ(m_store.QueryValue(L"Corvid Z5", kLanguageValue), CString(L"1045"));

    // Another installation (another device name) has its own key.
    Manager::SetDeviceName(L"Other");
    EXPECT_EQ(m_settings.ReadRegInt(kExitModeValue), 0);
}

TEST_F(ProgramSettingsTest, CheckingAndUncheckingLeavesOneOrNoEntry)
{
    EXPECT_FALSE(m_settings.IsAutostartChecked());
    m_settings.ApplyAutostart(true);
    m_settings.ApplyAutostart(true);
    const std::map<CString, CString> expected = {
        {L"Corvid Z5", Utf8ToWide(m_folders.AppFolder().string()) + L"/Torvik"}};
    EXPECT_EQ(m_autostart.Entries(), expected);
    EXPECT_TRUE(m_settings.IsAutostartChecked());

    m_settings.ApplyAutostart(false);
    EXPECT_TRUE(m_autostart.Entries().empty());
    EXPECT_FALSE(m_settings.IsAutostartChecked());

    // An entry someone else made under the device name counts as checked, whatever it starts.
    m_autostart.SetEntry(L"Corvid Z5", CString(300, L'x'));
    EXPECT_TRUE(m_settings.IsAutostartChecked());
}
