#pragma once
// A keyboard model's layout file, "layouts\<layout name>.xml" in the application folder, and the
// per-model state the program keeps from it:
//
//   <device.info>
//     <menu macro="1" light_mode="1"/>                       feature flags
//     <function sleep_time="1"/>
//     <firmware version="1.0.2" file="z5_update.bin" url="https://..."/>
//     <light rgb_keyboard="1" default_mode="3" default_brightness="4" default_speed="2"
//            brightness_max="4" speed_max="4">
//       <info name="800" mode="1" attribute="35"/>           one per lighting mode, in order
//     </light>
//     <Keyboard xpos="340" ypos="110" width="900" height="330" image="z5.png" row_count="6" col_count="21">
//       <KeyItems>
//         <key code="0x04" name="A" desc="A" key_index="31" light_index="31" icon="" row_col="3#1"
//              rect="62#140#44#44"/>
//       </KeyItems>
//     </Keyboard>
//   </device.info>
//
// Every child of the root is optional and found by forward search in the order above, so one placed
// before an element already found is not seen. Decimal attributes read by their leading digits, `code`
// by its leading hexadecimal digits; anything else reads 0.
//
// `row_col` is a row digit, one separator character and one or two column digits ("3#7", "3-7",
// "3#12"). `rect` is left#top#width#height in pixels of the keyboard picture. A `row_col` or `rect` of
// any other form (too short or long, a part missing, a part that is not a number, a negative size, a
// rectangle past the int range) is ignored for that key: the key stays out of the matrix, or its
// rectangle stays empty, and the key is still listed.

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "core/geometry.h"
#include "core/wide_text.h"
#include "device/key_matrix.h"
#include "store/profile_rows.h"

// Feature flags of the current model: which pages and keyboard views it has.
constexpr int kFeatureCustomKeys = 0x01;   // custom key page and its keyboard view
constexpr int kFeatureMacros = 0x02;       // macro page
constexpr int kFeatureLighting = 0x04;     // lighting page and its keyboard view
constexpr int kFeatureSettingsView = 0x40; // the settings page's keyboard view
constexpr int kFeaturesAll = 0x7F;         // before any layout with `menu` was read
constexpr int kFeaturesOfMenu = kFeatureCustomKeys | kFeatureSettingsView;

// One `key` of `KeyItems`: what the keyboard views draw and the maps are built from.
struct LayoutKeyItem {
    CString name;        // drawn on the key
    CString description; // the key's tip text
    unsigned code = 0;
    int keyIndex = 0;   // position in the keyboard's key table
    int lightIndex = 0; // read, not used
    CString icon;
    CRect rect; // empty without a readable `rect`

    bool operator==(const LayoutKeyItem&) const = default;
};

// The `Keyboard` element: where the views sit in their pages and the picture they show.
struct KeyboardGeometry {
    int xpos = 0;
    int ypos = 0;
    int width = 0;
    int height = 0;
    CString image; // a file of the skin's "keyboard" folder
    int rowCount = 0;
    int colCount = 0;

    // (xpos, ypos, xpos + width, ypos + height); an edge past the int range stops at its limit.
    CRect ViewRect() const;
    bool operator==(const KeyboardGeometry&) const = default;
};

// The `firmware` element: the update offered for the model.
struct FirmwareInfo {
    CString version;
    CString file;
    CString url;
};

// The `light` element: lighting defaults, slider maxima and the model's lighting modes.
struct LightingInfo {
    bool rgbKeyboard = false;
    int defaultMode = 0;
    int defaultBrightness = 0;
    int defaultSpeed = 0;
    int brightnessMax = 0;
    int speedMax = 0;
    std::vector<LightRow> modes; // name, mode and config_func of each `info`, in order; the rest is 0
};

// What one layout file says. A missing element is nullopt: the state it would set stays as it was.
struct LayoutFile {
    struct Menu {
        bool macro = false;
        bool lightMode = false;
    };
    struct Key {
        LayoutKeyItem item;
        std::optional<std::pair<int, int>> cell; // (row, column) of a well-formed `row_col`
    };

    std::optional<Menu> menu;
    std::optional<bool> sleepTime; // the `function` element
    std::optional<FirmwareInfo> firmware;
    std::optional<LightingInfo> light;
    std::optional<KeyboardGeometry> keyboard;
    std::vector<Key> keys; // only with `Keyboard`, in document order
};

// nullopt when the file cannot be read or parsed or its root is not `device.info`.
std::optional<LayoutFile> ReadLayoutFile(const CString& path);

// `row_col` and `rect` texts; nullopt when malformed.
std::optional<std::pair<int, int>> ParseRowColumn(std::wstring_view text);
std::optional<CRect> ParseKeyRect(std::wstring_view text);

// The per-model state: set by model selection, replaced by the next one.
struct KeyboardLayout {
    int deviceType = 0;
    CString modelName; // also the name of the model's database
    int featureFlags = kFeaturesAll;
    bool sleepTime = false;
    FirmwareInfo firmware;
    LightingInfo lighting;
    KeyboardGeometry geometry; // the last `Keyboard` read; the views keep it when a layout has none
    std::vector<LayoutKeyItem> keyItems;
    std::map<int, int> keyIndexByCode;    // key code → key index, for the key map download
    std::map<int, int> colourIndexByCode; // key code → key index, for per-key colours
    int rowCount = 0;
    int colCount = 0;
    KeyMatrix matrix = EmptyMatrix();

    static KeyMatrix EmptyMatrix();

    // Takes over what the file says. Elements the file lacks leave their state; the keys, both maps,
    // the matrix and its size are always replaced (emptied when the file has no `Keyboard`).
    void Apply(const LayoutFile& file);
};
