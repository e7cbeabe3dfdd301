#include <gtest/gtest.h>

#include "app/simulated_keyboard_run.h"
#include "device/device_description.h"
#include "tests/support/scoped_folders.h"

TEST(SimulatedRun, ModelByTypeOrName)
{
    const DeviceDescription description =
        LoadDeviceDescription(Utf8ToWide((BuildBinDir() / "config.xml").string()));
    ASSERT_FALSE(description.models.empty());
    struct Case {
        const char* model;
        std::optional<int> type;
    };
    const Case cases[] = {
        {"", 201},
        {"201", 201},
        {"101", 101},
        {"202", 202},
        {"Corvid Z5 TKL", 101},
        {"corvid z5 mini", 202},
        {"999", std::nullopt},
        {"Corvid", std::nullopt},
        {"-101", std::nullopt},
        {"101x", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SimulatedDeviceType(description, c.model), c.type) << c.model;
}
