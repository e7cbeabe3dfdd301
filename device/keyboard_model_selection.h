#pragma once
// Selecting the keyboard model in use (by device type): at start-up type 201, after restore defaults the
// first model of the description, after a connection the connected keyboard's. It makes the model
// current, switches the profile database to the model's file and reads the model's layout into the
// per-model state, then brings the main window's pages, sliders and keyboard views in line.

#include <memory>
#include <mutex>

#include "core/geometry.h"
#include "core/wide_text.h"
#include "device/keyboard_layout.h"

struct DeviceDescription;
class ProfileDatabase;

// The model selected at start-up, and after a scan that matched no model.
constexpr int kStartupDeviceType = 201;

// The three keyboard views a layout fills, in the order they are filled; each is selected by a feature
// flag: custom key page by kFeatureCustomKeys, lighting page by kFeatureLighting, settings page by
// kFeatureSettingsView.
enum class KeyboardView { CustomKey, Lighting, Settings };

std::vector<KeyboardView> ViewsSelectedBy(int featureFlags);

// What model selection changes in the main window, which implements it. Called on the selecting thread
// in the order of the selection's steps, after the new state is published.
class ModelSelectionView {
public:
    virtual ~ModelSelectionView() = default;

    // Tab positions 1 (custom key page), 2 (macro page) and 3 (lighting page), by the feature flags of a
    // layout with `menu`.
    virtual void SetTabItemVisible(int position, bool visible) = 0;
    // The settings page's firmware update button: shown when the layout names a version and a file.
    virtual void ShowFirmwareUpdate(bool visible) = 0;
    // The lighting page's brightness and speed slider maxima.
    virtual void SetLightingMaxima(int brightnessMax, int speedMax) = 0;
    virtual void ClearKeyboardView(KeyboardView view) = 0;
    // The view's rectangle in its page, its picture (a skin path, "keyboard\<image>") and picture size.
    virtual void PlaceKeyboardView(KeyboardView view, const CRect& rect, const CString& picture, int width,
                                   int height) = 0;
    virtual void AddKeyItem(KeyboardView view, const LayoutKeyItem& key) = 0;
};

class KeyboardModelSelection {
public:
    // The description, database and view are not owned and must outlive the selection. appFolder ends
    // with a separator (the layouts are "<appFolder>layouts\<name>.xml"); dataFolder is the data folder
    // with its separator, holding the "db" folder.
    KeyboardModelSelection(const DeviceDescription& description, ProfileDatabase& database,
                           ModelSelectionView& view, CString appFolder, CString dataFolder);

    // The whole selection of a device type:
    //   1. clear the firmware address;
    //   2. find the first model of the type (layout and model name stay empty when there is none);
    //   3. the type becomes current;
    //   4. close the database and open the model's (even for an empty model name);
    //   5. read the layout; when that fails, publish and stop: nothing else changes, the views keep
    //      their items;
    //   6. take over the layout's state, publish it, then update the view: tab positions 1–3 (with
    //      `menu`), the firmware button (with `firmware`), the slider maxima (with `light`), clear each
    //      view the feature flags select, place them (with `Keyboard`) and add every key to each.
    // Run selections from one thread (the UI thread); the state may be read from any.
    void SelectDeviceType(int deviceType);
    // The same, unless the type is current already: a connection that finds the model in use keeps
    // its database, layout and views as they are. True when it selected.
    bool SelectDeviceTypeIfChanged(int deviceType);

    // A consistent snapshot of the per-model state; it stays valid while held, whatever happens next.
    std::shared_ptr<const KeyboardLayout> Layout() const;

    // A connected keyboard of the feature-report family gets every page (0x47). Any thread: the device
    // worker sets them; a selection under way finishes first.
    void SetFeatureFlags(int featureFlags);

private:
    void Publish(KeyboardLayout layout);
    void UpdateView(const LayoutFile& file, const KeyboardLayout& layout);

    const DeviceDescription& m_description;
    ProfileDatabase& m_database;
    ModelSelectionView& m_view;
    const CString m_appFolder;
    const CString m_dataFolder;

    std::mutex m_selectLock;   // one selection or flag change at a time
    mutable std::mutex m_lock; // guards the pointer; the state it points to never changes
    std::shared_ptr<const KeyboardLayout> m_layout;
};
