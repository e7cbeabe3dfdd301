#pragma once
// The rows of the profile database as the program holds them. Field names are the column names; every
// integer is 32-bit, every text a wide string. List reads hand the caller heap rows it owns.

#include <memory>
#include <vector>

#include "core/wide_text.h"

// t_profile_data
struct ProfileRow {
    int profile = 0;
    CString name{};
    CString app{};
    int type = 0;
    int status = 0; // 1 on the active profile
};

// t_key_macro_data: what one key does in one profile and Fn layer.
struct KeyAssignmentRow {
    int key_id = 0;
    int profile = 0;
    int fn_layer = 0;
    int key_code = 0;
    int layout_value = 0;
    CString layout_desc{};
    int macro_type = 0; // 3: runs the macro whose id is macro_value
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    CString macro_desc{};
};

// t_key_otherdata: the text an assignment needs; its id goes into the assignment's macro_value.
struct KeyExtraRow {
    CString macro_desc{};
    CString param{};
    int type = 0;
};

// t_light_data: one lighting mode's settings in one profile.
struct LightRow {
    int light_id = 0;
    int profile = 0;
    CString name{};
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorindex = 0;
    int color_value = 0; // 0x00BBGGRR
    int config_func = 0;
    int reserved = 0;
    int status = 0; // 1 on the one applied row of the whole file
};

// t_key_light_data: one key's colour in a per-key colour set.
struct KeyLightRow {
    int keylight_id = 0;
    int profile = 0;
    int light_id = 0; // the set: 128 plus its index
    int key_code = 0;
    int key_rgb = 0; // 0x00BBGGRR
};

// t_macro_data
struct MacroRow {
    int macro_id = 0;
    CString name{};
    int link_count = 0;
    int play_times = 0;
    int delay_type = 0;
    int delay_time = 0;
    int loop_type = 0;
};

// t_macrorecord: one step of a macro.
struct MacroRecordRow {
    int record_id = 0;
    int macro_id = 0;
    int type = 0; // 2 press, 3 release
    int record_index = 0;
    int value = 0; // virtual-key code
    int delay_time = 0;
    CString desc{};
};

// t_musiclayer_data
struct MusicLayerRow {
    int layer_id = 0;
    int profile = 0;
    CString name{};
    int deviceindex = 0;
    int foremode = 0;
    int fore_amplitude = 0;
    int backmode = 0;
    int backb_right = 0;
};

using ProfileList = std::vector<std::unique_ptr<ProfileRow>>;
using KeyAssignmentList = std::vector<std::unique_ptr<KeyAssignmentRow>>;
using LightList = std::vector<std::unique_ptr<LightRow>>;
using KeyLightList = std::vector<std::unique_ptr<KeyLightRow>>;
using MacroList = std::vector<std::unique_ptr<MacroRow>>;
using MacroRecordList = std::vector<std::unique_ptr<MacroRecordRow>>;
