#pragma once
// The key filter: it watches the keyboard, reports every press and release of the watched keys to the
// program and passes every other key on to the system unchanged. The program talks to it with control
// requests, each with the meaning it has always had:
//
//   kSetKeyList      1024 bytes: up to 256 entries of (key code LE16, 7, 0x02), the rest zero, sets the
//                    watched keys; 256 zero bytes clears them
//   kArm             no data, sent after setting the list, first: the filter looks up the keyboard anew
//   kStart           no data, sent after setting the list, second: the filter starts watching
//   WaitForKeyEvent  the next 4-byte key event: key code LE16, a byte passed on, bit 0 of byte 3 pressed
//
// The Linux backend grabs the keyboard's evdev nodes (platform/linux); the in-memory one records the
// requests and hands out events that tests inject.

#include <array>
#include <cstdint>
#include <span>

class KeyFilterDevice {
public:
    static constexpr uint32_t kSetKeyList = 0x22A000;
    static constexpr uint32_t kArm = 0x226008;
    static constexpr uint32_t kStart = 0x22600C;
    static constexpr uint32_t kWaitKeyEvent = 0x226044;

    using KeyEventRecord = std::array<uint8_t, 4>;

    enum class WaitResult {
        Delivered, // `record` holds the event
        Cancelled, // CancelWaits was called
        Failed,    // the filter is not open
    };

    virtual ~KeyFilterDevice() = default;

    virtual bool Open() = 0;
    // Stops watching and gives the keyboard back to the system.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // kSetKeyList, kArm or kStart; false when not open or the request was refused.
    virtual bool Control(uint32_t code, std::span<const uint8_t> input) = 0;

    // Blocks until an event arrives or the waits are cancelled. Returns at once with Failed when not open.
    virtual WaitResult WaitForKeyEvent(KeyEventRecord& record) = 0;
    // Ends every wait in progress and makes new ones return Cancelled until ResumeWaits.
    virtual void CancelWaits() = 0;
    virtual void ResumeWaits() = 0;

    // The last kArm found keyboard nodes that could not be opened for lack of permission.
    virtual bool KeyboardAccessDenied() const = 0;
};
