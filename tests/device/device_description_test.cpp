#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>

#include "device/device_description.h"
#include "store/xml_document.h"
#include "tests/support/scoped_folders.h"

namespace {

class DeviceDescriptionTest : public testing::Test {
protected:
    CString Write(std::string_view xml)
    {
        WriteFileBytes(m_dir.Path() / "config.xml", xml);
        return Utf8ToWide((m_dir.Path() / "config.xml").string());
    }
    ScopedTempDir m_dir;
};

DeviceRecord Model(const wchar_t* name, int type, const wchar_t* layout)
{
    DeviceRecord record;
    record.name = name;
    record.deviceType = type;
    record.layoutName = layout;
    return record;
}

DeviceRecord Mode(const DeviceRecord& model, int value, const wchar_t* desc, int vid, int pid,
                  const wchar_t* productName, const wchar_t* pattern)
{
    DeviceRecord record = model;
    record.name = productName;
    record.modeValue = value;
    record.description = desc;
    record.vendorId = vid;
    record.productId = pid;
    record.interfacePattern = pattern;
    return record;
}

} // namespace

TEST_F(DeviceDescriptionTest, ModelsAndModesInDocumentOrder)
{
    const CString path = Write(R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
<software name="before the description"/>
<device.info>
<keyboard name="Full" device_type="201" device_info="full">
<mode value="0" desc="Cable" vid="0x1209" pid="0x0001" product_name="" hid_interface="VID_1209&amp;PID_0001"/>
<other/>
<mode value="2" desc="Bluetooth" vid="1209" pid="3" product_name="Full BT" hid_interface="PID&amp;0003"/>
</keyboard>
<keyboard name="Bare" device_type=" 12abc"/>
<keyboard name="Odd" device_type="x" device_info="odd">
<mode value="one" vid="zz" pid="-0x2" hid_interface=""/>
</keyboard>
<keyboard name="Second full" device_type="201" device_info="full2"/>
</device.info>
</config>
)");
    const DeviceDescription description = LoadDeviceDescription(path);

    const DeviceRecord full = Model(L"Full", 201, L"full");
    const DeviceRecord odd = Model(L"Odd", 0, L"odd");
    const std::vector<DeviceRecord> models = {full, Model(L"Bare", 12, L""), odd,
                                              Model(L"Second full", 201, L"full2")};
    EXPECT_EQ(description.models, models);

    const std::vector<DeviceRecord> modes = {
        Mode(full, 0, L"Cable", 0x1209, 0x0001, L"", L"VID_1209&PID_0001"),
        Mode(full, 2, L"Bluetooth", 0x1209, 0x0003, L"Full BT", L"PID&0003"),
        // Nothing read, nothing kept: a missing or non-numeric attribute reads as empty or 0, and an
        // empty pattern (which matches every interface name) stays empty.
        Mode(odd, 0, L"", 0, -2, L"", L""),
    };
    EXPECT_EQ(description.modes, modes);

    const std::vector<KnownDeviceRow> rows = {
        {0x1209, 0x0001, L"", 201, 0, L"VID_1209&PID_0001"},
        {0x1209, 0x0003, L"Full BT", 201, 2, L"PID&0003"},
        {0, -2, L"", 0, 0, L""},
    };
    EXPECT_EQ(description.KnownDeviceRows(), rows);

    ASSERT_NE(description.FindModel(201), nullptr);
    EXPECT_EQ(description.FindModel(201)->name, L"Full") << "duplicate types resolve to the first";
    EXPECT_EQ(description.FindModel(202), nullptr);
}

TEST_F(DeviceDescriptionTest, NothingToReadGivesEmptyLists)
{
    const std::pair<const char*, std::string> cases[] = {
        {"no device.info", "<config><software name=\"x\"/></config>"},
        {"another root", "<settings><device.info><keyboard name=\"A\"/></device.info></settings>"},
        {"not well-formed", "<config><device.info><keyboard name=\"A\"/></device.info></config><config/>"},
    };
    for (const auto& [what, xml] : cases) {
        SCOPED_TRACE(what);
        const DeviceDescription description = LoadDeviceDescription(Write(xml));
        EXPECT_TRUE(description.models.empty());
        EXPECT_TRUE(description.modes.empty());
    }
    EXPECT_TRUE(LoadDeviceDescription(L"/no/such/config.xml").models.empty());
}

TEST_F(DeviceDescriptionTest, ReadingLeavesThePositionOnTheDescription)
{
    XmlDocument document;
    ASSERT_TRUE(document.LoadFile(Write("<config><device.info><keyboard name=\"A\"/></device.info>"
                                        "<software version=\"2\"/></config>")));
    document.FindElement(L"config");
    document.EnterElement();
    DeviceDescription description;
    description.models.push_back(Model(L"stale", 1, L""));
    ASSERT_TRUE(ReadDeviceDescription(document, description));
    EXPECT_EQ(description.models.size(), 1u);
    ASSERT_TRUE(document.FindElement(L"software"));
    EXPECT_EQ(document.GetAttribute(L"version"), L"2");
    EXPECT_FALSE(ReadDeviceDescription(document, description)) << "only one description, already passed";
    EXPECT_TRUE(description.models.empty());
}

// The shipped config.xml: three or more models, both command families, every connection mode.
TEST(InstalledDeviceDescription, CoversEveryFamilyAndConnection)
{
    const ScopedFolders folders;
    folders.InstallFromBuild("config.xml");
    const DeviceDescription description =
        LoadDeviceDescription(Utf8ToWide((folders.AppFolder() / "config.xml").string()));
    ASSERT_GE(description.models.size(), 3u);

    const DeviceRecord* startup = description.FindModel(201);
    ASSERT_NE(startup, nullptr);
    std::set<int> startupModes;
    bool outputReportFamily = false;
    std::set<std::pair<int, int>> identities;
    for (const DeviceRecord& mode : description.modes) {
        SCOPED_TRACE(WideToUtf8(mode.layoutName + L" mode " + std::to_wstring(mode.modeValue)));
        if (mode.deviceType == 201)
            startupModes.insert(mode.modeValue);
        outputReportFamily = outputReportFamily || mode.deviceType < 200;
        EXPECT_EQ(mode.vendorId, 0x1209);
        EXPECT_GE(mode.productId, 0x0001);
        EXPECT_LE(mode.productId, 0x000F);
        EXPECT_TRUE(identities.insert({mode.vendorId, mode.productId}).second) << "one product id per mode";
        EXPECT_TRUE(mode.name.empty()) << "no product strings are read, so a product name never matches";
        // Patterns are compared with the upper-cased interface name: lower case would never match.
        EXPECT_FALSE(mode.interfacePattern.empty());
        EXPECT_TRUE(std::none_of(mode.interfacePattern.begin(), mode.interfacePattern.end(),
                                 [](wchar_t c) { return std::iswlower(static_cast<wint_t>(c)); }));
        EXPECT_FALSE(mode.layoutName.empty());
    }
    EXPECT_EQ(startupModes, (std::set<int>{0, 1, 2}));
    EXPECT_TRUE(outputReportFamily);
}
