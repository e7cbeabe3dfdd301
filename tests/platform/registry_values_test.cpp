#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/fake/memory_settings_store.h"
#include "platform/linux/file_settings_store.h"
#include "platform/registry_values.h"
#include "tests/support/scoped_folders.h"

// The registry rules hold the same over the real store and the in-memory one.
namespace {

struct Backend {
    const char* name;
    std::function<std::unique_ptr<SettingsStore>()> make;
};

void PrintTo(const Backend& backend, std::ostream* out)
{
    *out << backend.name;
}

class RegistryValuesTest : public testing::TestWithParam<Backend> {
protected:
    ScopedFolders m_folders;
    std::unique_ptr<SettingsStore> m_store = GetParam().make();
    const CString m_device = L"Corvid Z5";
};

} // namespace

TEST_P(RegistryValuesTest, FirstReadCreatesTheKeyAndWritesNeedIt)
{
    WriteRegString(*m_store, m_device, kExitModeValue, L"2");
    EXPECT_FALSE(m_store->KeyExists(m_device)) << "a write to a missing key is skipped";

    EXPECT_EQ(ReadRegInt(*m_store, m_device, kExitModeValue), 0);
    EXPECT_TRUE(m_store->KeyExists(m_device));
    WriteRegString(*m_store, m_device, kExitModeValue, L"2");
    EXPECT_EQ(ReadRegInt(*m_store, m_device, kExitModeValue), 2);
    WriteRegString(*m_store, m_device, L"EXIT_MODE", L"1");
    EXPECT_EQ(ReadRegInt(*m_store, m_device, kExitModeValue), 1) << "value names compare without case";

    SaveLanguageId(*m_store, m_device, 1045);
    EXPECT_EQ(m_store->QueryValue(m_device, kLanguageValue), CString(L"1045"));
    // Another device name is another key.
    EXPECT_EQ(ReadRegInt(*m_store, L"Other", kLanguageValue), 0);
}

TEST_P(RegistryValuesTest, ValuesThatReadAsZero)
{
    ReadRegInt(*m_store, m_device, kExitModeValue);
    struct Case {
        CString text;
        int value;
    };
    const Case cases[] = {
        {L"abc", 0},
        {L"", 0},
        {L" 3 tabs", 3},
        {L"-4", -4},
        // 126 UTF-16 units and the terminator fill 254 of the 255 bytes; one more no longer fits.
        {L"7" + CString(125, L' '), 7},
        {L"7" + CString(126, L' '), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "length " << c.text.size());
        WriteRegString(*m_store, m_device, kExitModeValue, c.text);
        EXPECT_EQ(ReadRegInt(*m_store, m_device, kExitModeValue), c.value);
    }
    EXPECT_EQ(ReadRegInt(*m_store, m_device, L"never_written"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Backends, RegistryValuesTest,
    testing::Values(Backend{"File", [] { return std::make_unique<FileSettingsStore>(); }},
                    Backend{"Memory", [] { return std::make_unique<MemorySettingsStore>(); }}),
    [](const testing::TestParamInfo<Backend>& info) { return info.param.name; });

TEST(RegistryValues, UnwritableStoreSkipsWritesAndReadsZero)
{
    MemorySettingsStore store;
    store.SetReadOnly(true);
    EXPECT_EQ(ReadRegInt(store, L"Corvid Z5", kExitModeValue), 0);
    WriteRegString(store, L"Corvid Z5", kExitModeValue, L"1");
    EXPECT_EQ(ReadRegInt(store, L"Corvid Z5", kExitModeValue), 0);
}
