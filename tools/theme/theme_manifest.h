#pragma once
// pictures.xml, the list of every picture the theme holds and how each is made:
//
//   <theme stylesheet="theme.css">                                   the colours of every source
//     <states name="button">normal hover pressed disabled</states>   frames of a strip, left to right;
//                                                                     "checked.hover" is two classes
//     <picture file="btn_apply.png" width="120" height="38" states="button">   width, height: one frame
//       <layer src="faces/button.svg"/>                               the whole frame
//       <layer src="glyphs/add.svg" width="20" height="20"/>          centred, or at x, y when given
//     </picture>
//     <picture file="icon/icon_macro.png" width="32" height="32" class="selected">   a fixed state
//     <picture file="btn_colorful.png" width="30" height="30" frames="4">   one drawing across all frames
//     <picture file="scroll_v_102.png" ... resource="1"/>             the library's own, not in the skin
//     <wheel file="img_circlepalette.png" size="140" radius="69" rim="65"/>   rim: full colour from
//                                                                     there (default: the radius)
//     <spinner file="loading.gif" size="100" frames="24" delay="4" background="333333"/>
//     <icon src="program_icon.svg" ico="Torvik.ico" hicolor="../../icons/hicolor" name="torvik"
//           sizes="16 24 32 48 64 128 256"/>
//   </theme>
//
// Sources are named relative to the manifest's folder.

#include <optional>
#include <string>
#include <vector>

struct PictureLayer {
    std::string src;
    std::optional<int> x, y, width, height;
};

struct PictureEntry {
    std::string file;
    int width = 0; // of one frame
    int height = 0;
    std::vector<std::vector<std::string>> frames; // classes of each frame; one empty frame without states
    std::vector<PictureLayer> layers;
    bool wholeStrip = false; // the layers span every frame at once, drawn without a state
    bool resource = false;
};

struct WheelEntry {
    std::string file;
    int size = 0;
    int radius = 0;
    int rim = 0;
};

struct SpinnerEntry {
    std::string file;
    int size = 0;
    int frames = 0;
    int delay = 0; // hundredths of a second per frame
    unsigned background = 0;
};

struct IconEntry {
    std::string src;
    std::string ico;
    std::string hicolor; // folder of the desktop icon theme, relative to the skin folder
    std::string name;
    std::vector<int> sizes;
};

struct ThemeManifest {
    std::string folder;     // where the sources are
    std::string stylesheet; // its text
    std::vector<PictureEntry> pictures;
    std::vector<WheelEntry> wheels;
    std::vector<SpinnerEntry> spinners;
    std::vector<IconEntry> icons;

    const PictureEntry* FindPicture(const std::string& file) const;
};

// nullopt, with the reason printed, when the file is unreadable or names an unknown state set.
std::optional<ThemeManifest> LoadThemeManifest(const std::string& path);
