#pragma once
// Every device job: the reports each sends, in order, with the pauses that pace the keyboard, and which
// failures stop it. Two command families exist (device types up to 200 speak output reports, 201-299
// feature reports, 300 and above nothing; see protocol_encoding.h).
//
// Threads: the music level comes from the capture thread, the lighting preview from the UI thread,
// every other job from the worker. Each job holds the HID manager's transfer lock from its first report
// to its last, so no other thread's report lands inside it; a caller may wait that long. A job whose
// manager is not opened or has no interface that carries commands sends nothing.
//
// A job takes what it needs as arguments: profile and Fn layer for the key map, the lighting mode and
// custom-set choice for lighting, the connection mode, the layout's key-code-to-index maps. The state
// that lives from one job to the next is ProtocolState; the lighting page clears its mode-sent flag
// through State() when the user picks a mode.

#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "device/key_buffers.h"
#include "device/keyboard_layout.h"
#include "device/protocol_link.h"
#include "device/protocol_state.h"

// What the worker knows when it runs a key map download (task 6) or a lighting apply (task 7).
struct DeviceJobContext {
    int deviceType = 0;
    int connectionMode = -1; // 0 cable, 1 and 2 wireless
    int profile = 0;         // the current profile and Fn layer
    int fnLayer = 0;
    int lightingMode = 0;                         // the lighting page's current mode
    int customSet = 0;                            // the custom-set choice, 0-2
    std::shared_ptr<const KeyboardLayout> layout; // its key-code-to-index maps; none reads as empty maps
};

// The pages a reset to factory settings reloads afterwards, in this order. Called on the job's thread
// with no lock held; an empty function is passed over.
struct ResetReloads {
    std::function<void()> macroPage;
    std::function<void()> profileList;
    std::function<void()> lightingPage;
};

class CommandProtocol {
public:
    // Not owned; all three must outlive the protocol. `clock` paces the jobs' own pauses (the manager
    // paces its primitives with its own).
    CommandProtocol(HidDeviceManager& manager, ProfileDatabase& database, MonotonicClock& clock);

    ProtocolState& State() { return m_state; }

    // --- By family ---

    // Worker task 6: the key map download of the device type's family.
    void DownloadKeyMap(const DeviceJobContext& context);
    // Worker task 7: the lighting apply of the device type's family.
    void ApplyLighting(const DeviceJobContext& context);

    // --- Feature-report family ---

    // The key map download: slot table, clearing the slots in use, then the profile's assignments into
    // the macro and remap slots (FeatureKeyMapDownload).
    void DownloadFeatureKeyMap(int profile, int fnLayer);
    // One macro slot and one remap slot on their own.
    void WriteMacroSlot(int key, int slot, int macroType, int value);
    void WriteRemapSlot(int profile, int fnLayer, int key, int slot);
    // Lighting apply: the lighting row of `mode`. Cable: 07 FF FF mode-1 brightness-1 combined-1 set
    // direction, set being the custom-set choice for modes with per-key colours and 0 otherwise
    // (SendFeatureDelayed). Wireless: payload AA mode-1 brightness-1 combined-1 00 set direction with the
    // custom-set choice whatever the mode. Nothing without a row.
    void ApplyFeatureLighting(int mode, int connectionMode, int customSet);

    // --- Output-report family ---

    // Lighting preview (UI thread, device types below 200 only): 07 FF FF mode-1 brightness speed 00 set,
    // with brightness and speed as stored (SendFeatureDelayed). Nothing without a row.
    void PreviewLighting(int deviceType, int mode, int customSet);
    // Lighting apply: 88 00 mode when the mode-sent flag is clear, else 89 00 flags c0 c1 c2 brightness; the
    // flag is set afterwards. Nothing without a row.
    void ApplyOutputLighting(int mode);
    // The key map download: the macro upload, 20 ms, then the key map (OutputKeyMapDownload).
    void DownloadOutputKeyMap(int profile, int fnLayer, const KeyIndexMap& keyIndexByCode);
    // The macro upload on its own; false when a packet failed and the upload stopped there.
    bool UploadMacros(int profile, int fnLayer);
    // Colour stream, the worker's idle step: only by cable and when some key's colour is above 1. F0 F4 01
    // once per process, then 6 packets on the auxiliary interface (lengths 60 x 5, then 30), 1 ms before
    // each, stopping when that interface is missing. True when all six went.
    bool StreamColours(int connectionMode, std::span<const KeyColour> keys,
                       const KeyIndexMap& colourIndexByCode);

    // --- Both families ---

    // Reset to factory settings: feature-report family by cable 07 F0 AA then 100 ms; wireless payload AA x6,
    // 1600 ms, payload of zeros; output-report family FF FE AA FF then 100 ms. Then the reloads. Device types
    // 300 and above, or no keyboard to send to: nothing, no reloads either.
    void ResetToFactory(int deviceType, int connectionMode, const ResetReloads& reloads);
    // Firmware version: answer bytes 1 and 2 as one number; nullopt when the request or the read failed.
    std::optional<int> ReadFirmwareVersion();
    // Music level (capture thread): 07 23 45 67 89 effect level 00, at once. The level is held to 0-255. The
    // caller resets the keyboard view's colours to 0xFFFF00 before each send. True when it was sent.
    bool SendMusicLevel(int effect, int level);
    // Per-key colours: light set 128 as 4-byte colour entries, in 8 packets (lengths 60 x 7, then 20), 1 ms
    // before each, stopping at the first that failed. True when all eight went.
    bool SendKeyColours(const KeyIndexMap& colourIndexByCode);

private:
    ProtocolState m_state;
    ProtocolLink m_link;
};
