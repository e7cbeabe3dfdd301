#pragma once
// The key filter on Linux. The keyboard's input event nodes (found through sysfs from its vendor HID
// interfaces) are grabbed, so the system no longer reads them; a reader thread reports the watched keys
// as key events and passes every other event on, unchanged, through a uinput device of its own.
//
// Requests:
//   kSetKeyList  replaces the watched keys; an empty list passes everything on but keeps the grab
//   kArm         looks the keyboard up again; nodes that stay are kept as they are
//   kStart       grabs when keys are watched, gives the keyboard back when none are
//   Close        gives the keyboard back
//
// No key is ever left down: a node is grabbed only while none of its keys is held (the system saw the
// presses, so it must see the releases); a key goes up the way it went down, wherever the watched list
// has moved meanwhile; when a node is given back or vanishes, every key passed on for it is released
// and every watched key reported down is reported up.

#include <bitset>
#include <condition_variable>
#include <deque>
#include <functional>
#include <linux/input.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/key_filter_device.h"
#include "platform/linux/device_io.h"
#include "platform/linux/uinput_device.h"

class EvdevKeyFilter : public KeyFilterDevice {
public:
    // The hidraw paths of the keyboard's open vendor interfaces (empty while no keyboard is connected).
    using InterfaceSource = std::function<std::vector<std::string>()>;

    // Watched key events waiting for the monitor; past this, new ones are dropped.
    static constexpr size_t kMaxQueuedEvents = 1024;

    EvdevKeyFilter(std::string deviceName, InterfaceSource interfaces,
                   DeviceIo& io = SystemDeviceIo::Shared(), std::string sysfsRoot = "/sys",
                   std::string deviceRoot = "/dev/input");
    ~EvdevKeyFilter() override;
    EvdevKeyFilter(const EvdevKeyFilter&) = delete;
    EvdevKeyFilter& operator=(const EvdevKeyFilter&) = delete;

    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    bool Control(uint32_t code, std::span<const uint8_t> input) override;
    WaitResult WaitForKeyEvent(KeyEventRecord& record) override;
    void CancelWaits() override;
    void ResumeWaits() override;
    bool KeyboardAccessDenied() const override;

private:
    struct Node {
        std::string path;
        int fd = -1;
        bool grabbed = false;
        bool resyncing = false; // the kernel dropped events: skip to the next frame, then compare states
        std::vector<input_event> frame;
        std::bitset<KEY_CNT> passedDown;   // down on the pass-through device
        std::bitset<KEY_CNT> reportedDown; // reported pressed to the monitor
    };

    bool SetKeyList(std::span<const uint8_t> input);
    void Rescan();
    std::unique_ptr<Node> OpenNode(const std::string& path, bool& denied);
    // Makes the pass-through device when grabbing, gives every node back when not.
    void ApplyGrab();
    bool CreatePassThrough();
    void CloseNodes();

    void StartReader();
    void StopReader();
    void ReaderLoop();
    // false when the node has gone
    bool ReadNode(Node& node);
    void TryGrab(Node& node);
    bool AnyKeyHeld(const Node& node);
    void Drain(Node& node);
    void RouteFrame(Node& node);
    void Resync(Node& node);
    void Release(Node& node);
    void Report(unsigned keyCode, bool pressed);

    const std::string m_deviceName;
    const InterfaceSource m_interfaces;
    DeviceIo& m_io;
    const std::string m_sysfsRoot;
    const std::string m_deviceRoot;

    mutable std::mutex m_controlLock; // one request at a time; guards what follows up to the reader
    bool m_open = false;
    bool m_grabWanted = false;
    std::atomic<bool> m_accessDenied{false};
    // Touched by the reader thread while it runs and by requests only while it is stopped.
    std::vector<std::unique_ptr<Node>> m_nodes;
    std::vector<std::string> m_scannedPaths; // what the last look-up found, kept or not
    UinputDevice m_passThrough;
    int m_wakeFd = -1;
    std::thread m_reader;
    std::atomic<bool> m_stopReader{false};

    mutable std::mutex m_watchLock;
    std::bitset<256> m_watched;

    std::mutex m_eventLock;
    std::condition_variable m_eventReady;
    std::deque<KeyEventRecord> m_events;
    bool m_cancelled = false;
    bool m_waitsOpen = false; // mirrors m_open for waiters
};
