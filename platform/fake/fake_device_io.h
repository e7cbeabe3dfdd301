#pragma once
// A stand-in for the kernel under the uinput and evdev backends: /dev/uinput, evdev nodes that tests
// feed with events, and eventfds. Every uinput device made through it is kept with its setup ioctls and
// every frame written to it. Thread-safe: a backend's reader thread polls while the test feeds events.

#include <linux/input.h>
#include <linux/uinput.h>

#include <bitset>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/device_io.h"

class FakeDeviceIo : public DeviceIo {
public:
    struct Ioctl {
        unsigned long request = 0;
        unsigned long value = 0;
        bool operator==(const Ioctl&) const = default;
    };

    // One device made through /dev/uinput.
    struct Uinput {
        std::vector<Ioctl> setBits; // UI_SET_*BIT requests in order
        uinput_setup setup{};
        bool created = false;
        bool destroyed = false;
        std::vector<std::vector<input_event>> writes; // one entry per write
    };

    // What an evdev node reports about itself.
    struct EvdevCapabilities {
        std::vector<uint16_t> types; // EV_* besides EV_SYN
        std::vector<uint16_t> keys;
        std::vector<uint16_t> relativeAxes;
        std::vector<uint16_t> miscEvents;
        input_id id{};
    };

    // --- Setting the scene ---

    // Opening /dev/uinput fails with this errno (0: it opens).
    void SetUinputError(int error);
    void AddEvdevNode(const std::string& path, const EvdevCapabilities& capabilities);
    void SetOpenError(const std::string& path, int error);
    // Events as the keyboard sends them; key events also change the node's key state. Only a reader
    // that has the node open receives them.
    void Feed(const std::string& path, const std::vector<input_event>& events);
    // A press or release of `code` as one frame (MSC_SCAN, EV_KEY, SYN_REPORT).
    void Key(const std::string& path, uint16_t code, int value);
    // The node goes away: reads fail with ENODEV.
    void Unplug(const std::string& path);
    // It comes back under the same path, with nothing held.
    void Replug(const std::string& path);
    // EVIOCGRAB fails with this errno (0: it works).
    void SetGrabError(const std::string& path, int error);

    // --- What happened ---

    std::vector<Uinput> UinputDevices() const;
    bool Grabbed(const std::string& path) const;
    int GrabCount(const std::string& path) const;
    bool IsOpen(const std::string& path) const;
    // Events written to the uinput device made `index`-th, flattened.
    std::vector<input_event> Written(size_t index) const;
    int OpenDescriptors() const;

    // --- DeviceIo ---
    int Open(const std::string& path, int flags) override;
    void Close(int fd) override;
    ssize_t Read(int fd, void* buffer, size_t length) override;
    ssize_t Write(int fd, const void* buffer, size_t length) override;
    int IoctlPointer(int fd, unsigned long request, void* argument) override;
    int IoctlValue(int fd, unsigned long request, unsigned long value) override;
    int Poll(std::span<pollfd> fds, int timeoutMs) override;
    int MakeEventFd() override;

private:
    struct Evdev {
        EvdevCapabilities capabilities;
        std::deque<input_event> queue;
        std::bitset<KEY_CNT> keyState;
        int openError = 0;
        int grabError = 0;
        bool unplugged = false;
        bool grabbed = false;
        int grabCount = 0;
        int openCount = 0;
    };
    struct Descriptor {
        enum Kind { UinputFd, EvdevFd, EventFd } kind;
        std::string path;
        size_t uinput = 0;  // index into m_uinputs
        uint64_t count = 0; // eventfd
    };

    bool ReadableLocked(const Descriptor& d) const;
    Descriptor* Find(int fd);

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    int m_uinputError = 0;
    std::map<std::string, Evdev> m_evdev;
    std::vector<Uinput> m_uinputs;
    std::map<int, Descriptor> m_fds;
    int m_nextFd = 100;
};
