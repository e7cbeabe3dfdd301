#include <gtest/gtest.h>

#include "app/software_data.h"
#include "app/startup_device_name.h"
#include "tests/support/scoped_folders.h"
#include "ui/framework/manager.h"

namespace {

class ConfigFileTest : public testing::Test {
protected:
    CString Write(std::string_view xml)
    {
        WriteFileBytes(m_folders.AppFolder() / "config.xml", xml);
        return Utf8ToWide((m_folders.AppFolder() / "config.xml").string());
    }
    void TearDown() override { Manager::SetDeviceName(L"Torvik"); }

    ScopedFolders m_folders;
};

} // namespace

TEST_F(ConfigFileTest, SoftwareDataInForwardSearchOrder)
{
    struct Case {
        const char* what;
        const char* xml;
        SoftwareData data;
    };
    const Case cases[] = {
        {"all present",
         "<config><device.info/><software name=\"N\" version=\"1.2.3\"><website url=\"https://w/\"/>"
         "<store url=\"https://s/\"/><upgrade url=\"https://u/\"/><copyright info=\"&#169; "
         "C\"/></software></config>",
         {L"1.2.3", L"https://w/", L"https://s/", L"https://u/", L"© C"}},
        {"children out of order: one before an element already found is not seen",
         "<config><software version=\"1\"><store url=\"s\"/><copyright info=\"c\"/><website url=\"w\"/>"
         "<upgrade url=\"u\"/></software></config>",
         {L"1", L"w", L"", L"u", L""}},
        {"software before device.info is not seen",
         "<config><software version=\"1\"/><device.info/></config>",
         {}},
        {"no software", "<config><device.info/></config>", {}},
        {"not loadable", "<config>", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LoadSoftwareData(Write(c.xml)), c.data);
    }
}

TEST_F(ConfigFileTest, StartupDeviceName)
{
    struct Case {
        const char* what;
        const char* xml;
        const wchar_t* name;
    };
    const Case cases[] = {
        {"named", "<config><device.info/><software name=\"Corvid Z5\"/></config>", L"Corvid Z5"},
        {"found wherever it stands under config", "<config><software name=\"First\"/><device.info/></config>",
         L"First"},
        {"no name attribute: empty", "<config><software version=\"1\"/></config>", L""},
        {"no software: initial name", "<config><device.info/></config>", L"Torvik"},
        {"software outside config: initial name", "<config/>", L"Torvik"},
        {"not parseable: initial name", "<config><software name=\"X\"></config>", L"Torvik"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Manager::SetDeviceName(L"Torvik");
        Write(c.xml);
        ApplyStartupDeviceName();
        EXPECT_EQ(Manager::GetDeviceName(), c.name);
    }
    Manager::SetDeviceName(L"Torvik");
    std::filesystem::remove(m_folders.AppFolder() / "config.xml");
    ApplyStartupDeviceName();
    EXPECT_EQ(Manager::GetDeviceName(), L"Torvik") << "missing file";
}

TEST_F(ConfigFileTest, ShippedConfig)
{
    m_folders.InstallFromBuild("config.xml");
    ApplyStartupDeviceName();
    EXPECT_EQ(Manager::GetDeviceName(), L"Corvid Z5");
    const SoftwareData data = LoadSoftwareData(Utf8ToWide((m_folders.AppFolder() / "config.xml").string()));
    EXPECT_FALSE(data.version.empty());
    for (const CString& address : {data.website, data.store, data.upgrade})
        EXPECT_EQ(address.substr(0, 8), L"https://");
    EXPECT_FALSE(data.copyright.empty());
}
