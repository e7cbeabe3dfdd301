#pragma once
// The process-wide HID manager: the table of known devices, the keyboard's opened vendor interfaces,
// the choice of the interface that carries commands, and the transfer primitives the command protocol is
// built from (8-byte feature reports, 65-byte output reports, with their fixed pauses and single retries).
//
// One lock is held for each whole transfer, pauses included, so that a slot-table read or a retry is
// never interleaved with another thread's report; a job that must not be interleaved either holds
// LockTransfers() across its reports. Every write and feature read gives up after kTransferTimeout and
// then counts as failed.
//
// A device that goes away or stops answering ends what is under way quickly instead of failing one
// report after another:
//   gone      a transfer found the interface unplugged: every later transfer to it fails at once, with
//             no pause, until the next CloseAll drops it.
//   stalled   a transfer timed out: every later transfer fails at once, with no pause, until the
//             outermost transfer lock (the job's, or the primitive's own) is released; the next job
//             tries again.
// CanTransfer() tells a job whether to go on.

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/wide_text.h"
#include "platform/hid_backend.h"
#include "platform/monotonic_clock.h"

// One row of the known-device table: one connection mode of one keyboard model.
struct KnownDevice {
    int vendorId = 0;
    int productId = 0;
    CString productName; // empty matches any interface; a name matches none, as no strings are read
    int deviceType = 0;
    int connectionMode = 0; // 0 cable; 1 and 2 the two wireless connections
    CString interfacePattern;
};

// One opened vendor interface of a connected keyboard, as callers see it: a copy, which stays valid
// whatever happens to the interface. The handle and the last error stay inside the manager; `id` names
// the interface there (LastError) and is never given to another interface.
struct DeviceInterface {
    int index = 0;   // the length of the interface list when it was appended; -1 for the auxiliary one
    uint64_t id = 0; // unique over the manager's life; 0 is no interface
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string path;       // the interface name that patterns are matched against; at most 1023 chars
    std::string devicePath; // what the backend opened
    CString productString;  // always empty: the enumeration reads no strings
    uint16_t releaseNumber = 0;
    int deviceType = 0;     // from the first known device with equal ids; 0 when none
    int connectionMode = 0; // likewise
    bool wired = false;     // connection mode 0

    bool operator==(const DeviceInterface&) const = default;
};

class HidDeviceManager {
public:
    static constexpr size_t kFeatureReportLength = 8;
    static constexpr size_t kOutputReportLength = 65;
    static constexpr size_t kPayloadLength = 64;
    static constexpr size_t kSlotTableLength = 28;
    static constexpr size_t kMaxPathLength = 1023;
    static constexpr uint8_t kFeatureReportId = 0x07;
    static constexpr uint16_t kVendorUsagePage = 0xFF01;
    static constexpr uint16_t kVendorUsage = 0x0001;
    static constexpr std::chrono::milliseconds kTransferTimeout{1000};
    static constexpr std::chrono::milliseconds kFeaturePause{16};
    static constexpr std::chrono::milliseconds kWriteRetryPause{10};
    static constexpr std::chrono::milliseconds kPayloadRetryPause{32};

    // The process-wide manager, created on first use over the backend given to UseBackend (hidapi when
    // none was given) and the real clock; destroyed at process exit.
    static HidDeviceManager& Instance();
    // Chooses the backend of the process-wide manager (the simulator for a simulated run). False, and the
    // backend dropped, once the manager exists.
    static bool UseBackend(std::unique_ptr<HidBackend> backend);

    // A manager of its own over `backend` and `clock`, which must outlive it (tests, simulated runs).
    HidDeviceManager(HidBackend& backend, MonotonicClock& clock);
    ~HidDeviceManager();
    HidDeviceManager(const HidDeviceManager&) = delete;
    HidDeviceManager& operator=(const HidDeviceManager&) = delete;

    void AddKnownDevice(int vendorId, int productId, const CString& productName, int deviceType,
                        int connectionMode, const CString& interfacePattern);

    // When opened: clears the flag, closes every interface and the auxiliary one. Nothing when not opened.
    void CloseAll();
    // Enumerates, matches and opens the keyboard's vendor interfaces, appending to what is open.
    void Refresh();
    // The device scan sets the flag right after Refresh; every transfer fails while it is 0.
    void SetOpened(int opened);
    int Opened() const;

    void SelectDeviceType(int deviceType);
    // False (and `out` untouched) when no interface is open; otherwise appends every interface of the
    // selected type (all of them for type 0).
    bool CollectInterfaces(std::vector<DeviceInterface>& out);
    // Position in the interface list of the first interface with these ids and mode (and, when the
    // product name is not empty, that product string); -1 when none.
    int FindInterface(int vendorId, int productId, const CString& productName, int connectionMode);
    // Among interfaces of the selected type: 0 if one is wired, else 2, else 1, else -1.
    int ConnectedMode();
    // The interface that carries commands: of the selected type, mode 0 first, then 1, then 2; nullopt
    // when none.
    std::optional<DeviceInterface> ActiveInterface();
    // The text of the interface's last failed transfer, up to its first line break; empty when none
    // failed or the interface is no longer open.
    CString LastError(uint64_t interfaceId) const;
    // Opened, with an interface that carries commands, which is neither gone nor stalled (see above).
    bool CanTransfer();

    // Waits 16 ms and sends a feature report to the active interface; always false.
    bool SendFeatureDelayed(std::span<const uint8_t, kFeatureReportLength> report);
    bool SendFeature(std::span<const uint8_t, kFeatureReportLength> report);
    // Sends the request in the first 8 bytes, then reads four 7-byte chunks into bytes 0-27, 16 ms apart;
    // a chunk whose read fails keeps its bytes. True whenever there is an active interface.
    bool ReadSlotTable(std::span<uint8_t, kSlotTableLength> table);
    // The 16-bit version from answer bytes 1 and 2; false when the request or the read failed.
    bool ReadFirmwareVersion(int& version);
    // An output report to the active interface, written again after 10 ms if it failed.
    bool WriteReport(std::span<const uint8_t, kOutputReportLength> report);
    // An output report to the auxiliary interface, with the same retry; true whenever that exists.
    bool WriteAuxReport(std::span<const uint8_t, kOutputReportLength> report);
    // Report id 0 and the 64 bytes to the active interface, written again after 32 ms if it failed.
    bool WritePayload(std::span<const uint8_t, kPayloadLength> data);

    // Held by a job across its reports (and by each primitive for its own): other threads' transfers
    // wait; the holder's own go on. Releasing the outermost one ends a stall.
    class TransferLock {
    public:
        TransferLock() = default;
        explicit TransferLock(HidDeviceManager& manager);
        TransferLock(TransferLock&& other) noexcept;
        TransferLock& operator=(TransferLock&& other) noexcept;
        ~TransferLock();

    private:
        void Release();
        HidDeviceManager* m_manager = nullptr;
    };

    // Keeps every other thread's transfers out while held; the transfers of this thread go on.
    [[nodiscard]] TransferLock LockTransfers();

private:
    // An opened interface with what only the manager touches.
    struct OpenInterface {
        DeviceInterface info;
        std::unique_ptr<HidDevice> device;
        CString lastError;
        bool gone = false;
    };

    HidDeviceManager(std::unique_ptr<HidBackend> backend, MonotonicClock& clock);

    bool EnsureInitialised();
    const KnownDevice* FirstKnownDevice(uint16_t vendorId, uint16_t productId) const;
    bool IsKnown(const HidInterfaceInfo& info) const;
    OpenInterface* ActiveInterfaceLocked();
    OpenInterface* TransferTarget();
    bool Usable(const OpenInterface& target) const;
    // A pause of the protocol, left out once the transfer cannot succeed anyway.
    void PauseFor(const OpenInterface& target, std::chrono::milliseconds duration);
    void NoteFailure(OpenInterface& target);

    bool SendFeatureTo(OpenInterface& target, std::span<const uint8_t> report);
    bool GetFeatureFrom(OpenInterface& target, std::span<uint8_t> report);
    bool WriteTo(OpenInterface& target, std::span<const uint8_t, kOutputReportLength> report);
    bool WriteWithRetry(OpenInterface& target, std::span<const uint8_t, kOutputReportLength> report,
                        std::chrono::milliseconds retryPause);

    std::unique_ptr<HidBackend> m_ownedBackend;
    HidBackend& m_backend;
    MonotonicClock& m_clock;
    bool m_initialised = false;
    mutable std::recursive_mutex m_lock;

    int m_opened = 0;
    std::vector<std::unique_ptr<OpenInterface>> m_interfaces;
    std::vector<KnownDevice> m_knownDevices;
    int m_selectedDeviceType = 0;
    OpenInterface* m_activeInterface = nullptr;    // an element of m_interfaces, or null
    std::unique_ptr<OpenInterface> m_auxInterface; // interface 3; never in m_interfaces
    uint64_t m_lastId = 0;
    int m_lockDepth = 0;    // transfer locks held by the owning thread
    bool m_stalled = false; // a transfer timed out under the outermost transfer lock
};
