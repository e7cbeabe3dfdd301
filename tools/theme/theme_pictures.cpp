// The theme's pictures, made at build time from the sources in data/skins/theme1-src:
//   theme_pictures skin <pictures.xml> <skin folder> <convert>   every skin picture and the program icon
//   theme_pictures picture <pictures.xml> <name> <out.png>       one picture, e.g. the library's resources
//   theme_pictures keyboard <layout.xml> <skin folder> [<out.png>]
//                                                                the keyboard picture of a layout, by
//                                                                default the skin's keyboard/<image>
//   theme_pictures sheet <pictures.xml> <skin folder> <out.png>  a contact sheet of the whole skin

#include <cstdio>
#include <string>

#include "tools/theme/contact_sheet.h"
#include "tools/theme/keyboard_picture.h"
#include "tools/theme/skin_builder.h"
#include "tools/theme/theme_manifest.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: theme_pictures skin <pictures.xml> <skin folder> <convert>\n"
                         "       theme_pictures picture <pictures.xml> <name> <out.png>\n"
                         "       theme_pictures keyboard <layout.xml> <skin folder> [<out.png>]\n"
                         "       theme_pictures sheet <pictures.xml> <skin folder> <out.png>\n");
    return 2;
}

bool OnePicture(const ThemeManifest& manifest, const std::string& name, const std::string& out)
{
    const PictureEntry* entry = manifest.FindPicture(name);
    if (!entry) {
        std::fprintf(stderr, "theme_pictures: no picture %s\n", name.c_str());
        return false;
    }
    Surface strip = RenderPicture(manifest, *entry);
    return strip && WritePng(strip, out);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    bool ok = false;
    if (command == "keyboard" && (argc == 4 || argc == 5)) {
        ok = DrawKeyboardPicture(argv[2], argv[3], argc == 5 ? argv[4] : "");
    } else if (argc != 5) {
        return Usage();
    } else {
        const std::optional<ThemeManifest> manifest = LoadThemeManifest(argv[2]);
        if (!manifest)
            return 1;
        if (command == "skin")
            ok = BuildSkin(*manifest, argv[3], argv[4]);
        else if (command == "picture")
            ok = OnePicture(*manifest, argv[3], argv[4]);
        else if (command == "sheet")
            ok = DrawContactSheet(*manifest, argv[3], argv[4]);
        else
            return Usage();
    }
    return ok ? 0 : 1;
}
