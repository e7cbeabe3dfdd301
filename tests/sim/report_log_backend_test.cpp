#include <gtest/gtest.h>

#include <array>

#include "platform/fake/manual_monotonic_clock.h"
#include "sim/keyboard_simulator.h"
#include "sim/report_log_backend.h"
#include "tests/support/scoped_folders.h"

using namespace std::chrono_literals;

namespace {

constexpr std::chrono::milliseconds kTimeout{1000};

std::unique_ptr<HidDevice> OpenVendorInterface(HidBackend& backend, uint16_t productId)
{
    for (const HidInterfaceInfo& info : backend.Enumerate()) {
        if (info.usagePage == 0xFF01 && info.productId == productId)
            return backend.Open(info.path);
    }
    return nullptr;
}

} // namespace

TEST(ReportLogBackend, WritesEveryReportTheKeyboardTakes)
{
    ManualMonotonicClock clock;
    KeyboardSimulator simulator(clock);
    SimulatedKeyboard& feature = simulator.AddKeyboard(SimulatedModel::FeatureKeyboard());
    SimulatedKeyboard& output = simulator.AddKeyboard(SimulatedModel::OutputKeyboard());
    ASSERT_TRUE(feature.Connect(0));
    ASSERT_TRUE(feature.Connect(2));
    ASSERT_TRUE(output.Connect(0));
    const ScopedTempDir folder;
    const auto logPath = folder.Path() / "reports.log";
    ReportLogBackend backend(simulator, clock);
    ASSERT_TRUE(backend.OpenLog(logPath.string()));

    auto cable = OpenVendorInterface(backend, 0x0001);
    auto bluetooth = OpenVendorInterface(backend, 0x0003);
    auto tkl = OpenVendorInterface(backend, 0x0004);
    ASSERT_TRUE(cable && bluetooth && tkl);

    clock.Advance(5ms);
    const std::array<uint8_t, 8> music{0x07, 0x23, 0x45, 0x67, 0x89, 0x01, 0x2A, 0x00};
    ASSERT_EQ(cable->SendFeatureReport(music, kTimeout), 8);
    // A read is a request, not a report the keyboard receives.
    std::array<uint8_t, 8> answer{0x07};
    cable->GetFeatureReport(answer, kTimeout);
    clock.Advance(1250ms);
    ASSERT_EQ(bluetooth->SendFeatureReport(music, kTimeout), 8);
    std::array<uint8_t, 65> command{0x00, 0x8B, 0x01};
    ASSERT_EQ(tkl->Write(command, kTimeout), 65);
    // A report that fails on the way never reached the keyboard.
    feature.FailTransfers(SimTransfer::SendFeature);
    EXPECT_EQ(cable->SendFeatureReport(music, kTimeout), -1);

    const std::string expectedCommand = "8b01" + std::string(2 * 62, '0');
    EXPECT_EQ(ReadFileBytes(logPath), "5 MI_02 072345678901"
                                      "2a00\n"
                                      "1255 BLE 0723456789012a00\n"
                                      "1255 MI_01 00" +
                                          expectedCommand + "\n");
}

TEST(ReportLogBackend, AnUnwritableLogIsRefused)
{
    ManualMonotonicClock clock;
    KeyboardSimulator simulator(clock);
    ReportLogBackend backend(simulator, clock);
    const ScopedTempDir folder;
    EXPECT_FALSE(backend.OpenLog((folder.Path() / "missing" / "reports.log").string()));
    EXPECT_EQ(ReportLogBackend::FormatLine(0, "MI_03", std::array<uint8_t, 3>{0x00, 0xFF, 0x0A}),
              "0 MI_03 00ff0a");
}
