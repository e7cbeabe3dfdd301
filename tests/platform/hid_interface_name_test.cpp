#include <gtest/gtest.h>

#include "platform/hid_interface_name.h"

TEST(HidInterfaceName, WindowsStyleNamesByBus)
{
    struct Case {
        HidInterfaceIdentity identity;
        const char* name;
    };
    const Case cases[] = {
        {{HidBus::Usb, 0x1209, 0x0001, 0x0100, 2, 0, "HIDRAW3"},
         R"(\\?\HID#VID_1209&PID_0001&MI_02#HIDRAW3#{4d1e55b2-f16f-11cf-88cb-001111000030})"},
        {{HidBus::Usb, 0x046d, 0xc52b, 0x1200, -1, 0, "HIDRAW0"},
         R"(\\?\HID#VID_046D&PID_C52B#HIDRAW0#{4d1e55b2-f16f-11cf-88cb-001111000030})"},
        {{HidBus::Usb, 0x1209, 0x0004, 0x0100, 3, 2, "HIDRAW7"},
         R"(\\?\HID#VID_1209&PID_0004&MI_03&COL02#HIDRAW7#{4d1e55b2-f16f-11cf-88cb-001111000030})"},
        {{HidBus::BluetoothLowEnergy, 0x1209, 0x0003, 0x0105, -1, 0, "HIDRAW5"},
         R"(\\?\HID#{00001812-0000-1000-8000-00805F9B34FB}_DEV_VID&021209_PID&0003_REV&0105#HIDRAW5#{4d1e55b2-f16f-11cf-88cb-001111000030})"},
        {{HidBus::BluetoothLowEnergy, 0x1209, 0x000a, 0x0001, 4, 1, "HIDRAW5"},
         R"(\\?\HID#{00001812-0000-1000-8000-00805F9B34FB}_DEV_VID&021209_PID&000A_REV&0001&COL01#HIDRAW5#{4d1e55b2-f16f-11cf-88cb-001111000030})"},
        {{HidBus::Bluetooth, 0x1209, 0x0003, 0x0001, -1, 0, "HIDRAW6"},
         R"(\\?\HID#{00001124-0000-1000-8000-00805F9B34FB}_VID&00021209_PID&0003#HIDRAW6#{4d1e55b2-f16f-11cf-88cb-001111000030})"},
        // Buses without interface numbers never show one, even when given.
        {{HidBus::I2c, 0x06cb, 0xcd7e, 0x0001, 1, 0, "HIDRAW1"},
         R"(\\?\HID#VID_06CB&PID_CD7E#HIDRAW1#{4d1e55b2-f16f-11cf-88cb-001111000030})"},
        {{HidBus::Unknown, 0x1209, 0x0001, 0x0001, -1, 0, R"(A#B\C)"},
         R"(\\?\HID#VID_1209&PID_0001#A_B_C#{4d1e55b2-f16f-11cf-88cb-001111000030})"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SynthesiseInterfaceName(c.identity), c.name);
}
