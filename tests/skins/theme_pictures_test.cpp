// The skin as the build lays it out: every picture the program's code and data name is there, loads
// and splits into whole frames, and every keyboard picture has a keycap under each key of its layout.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>

#include "core/wide_text.h"
#include "device/keyboard_layout.h"
#include "tests/support/scoped_folders.h"

namespace fs = std::filesystem;

namespace {

// The names the pages and controls use, with the frame count each draws its picture with.
struct NamedPicture {
    const char* name;
    int frames;
};

const NamedPicture kNamedPictures[] = {
    // Main window, tab bar, pages, message box and wait dialog.
    {"main_bkg.png", 1},
    {"pic_caption.png", 1},
    {"logo/logo.png", 1},
    {"main_sysbtn_close.png", 4},
    {"main_sysbtn_min.png", 4},
    {"main_sysbtn_website.png", 4},
    {"icon/tab_home.png", 4},
    {"icon/tab_customkey.png", 4},
    {"icon/tab_macro.png", 4},
    {"icon/tab_light.png", 4},
    {"icon/tab_config.png", 4},
    {"icon/icon_keyboard.png", 1},
    {"icon/icon_macro.png", 1},
    {"icon/icon_lightmode.png", 1},
    {"icon/icon_config.png", 1},
    {"icon/icon_battery_bkg.png", 1},
    {"icon/icon_batteryvalue.png", 1},
    {"icon/icon_charge.png", 1},
    {"icon/mode_usb.png", 1},
    {"img_device_state.png", 2},
    {"bk_prompt.png", 1},
    {"loading.gif", 1},
    {"Torvik.ico", 1},
    // Standard controls.
    {"btn_apply.png", 4},
    {"btn_checkbox.png", 8},
    {"btn_radiobox.png", 8},
    {"img_combobox.png", 4},
    {"img_edit.png", 4},
    {"img_slider.png", 1},
    {"img_slider_thumb.png", 4},
    {"img_scroll_v.png", 1},
    {"img_scroll_h.png", 1},
    {"img_tip_bk.png", 1},
    {"img_tip_arrow_left.png", 1},
    {"img_tip_arrow_right.png", 1},
    {"img_tip_arrow_top.png", 1},
    {"img_sys_close.png", 4},
    {"logo/logo_loading.png", 1},
    {"loading/loading.gif", 1},
    // Custom key page, profiles, custom key dialog.
    {"img_customkey.png", 4},
    {"icon/icon_circle.png", 2},
    {"imgbtn_add.png", 4},
    {"imgbtn_del.png", 4},
    {"imgbtn_edit.png", 4},
    {"imgbtn_import.png", 4},
    {"imgbtn_export.png", 4},
    {"btn_openfile.png", 4},
    {"icon/icon_pc.png", 1},
    {"icon/icon_cal.png", 1},
    {"icon/icon_email.png", 1},
    {"icon/icon_multimedia.png", 1},
    {"icon/icon_playpause.png", 1},
    {"icon/icon_stop.png", 1},
    {"icon/icon_pre.png", 1},
    {"icon/icon_next.png", 1},
    {"icon/icon_vol_down.png", 1},
    {"icon/icon_vol_up.png", 1},
    {"icon/icon_vol_mute.png", 1},
    {"icon/icon_home.png", 1},
    {"icon/icon_web_refresh.png", 1},
    {"icon/icon_web_stop.png", 1},
    {"icon/icon_web_backward.png", 1},
    {"icon/icon_web_foreward.png", 1},
    {"icon/icon_favorites.png", 1},
    {"icon/icon_web_search.png", 1},
    // Macro page.
    {"btn_record_up.png", 4},
    {"btn_record_down.png", 4},
    {"btn_record_del.png", 4},
    {"btn_record_time.png", 4},
    // Lighting page.
    {"btn_direction_left.png", 8},
    {"btn_direction_right.png", 8},
    {"btn_direction_top.png", 8},
    {"btn_direction_bottom.png", 8},
    {"btn_colorful.png", 4},
    {"img_circlepalette.png", 1},
    {"img_palette_thumb.png", 4},
};

// A skin name as the code writes it ("icon\\tab_home.png", "icon//icon_pc.png") as a relative path.
std::string SkinRelative(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    std::string out;
    for (char c : name)
        if (c != '/' || out.empty() || out.back() != '/')
            out += c;
    return out;
}

struct FoundName {
    std::string name;
    std::optional<int> frames; // the count written right after the name ("x.png", 4)
    std::string where;
};

// Picture-name literals of a source text: a quoted name of letters, digits and _ - . / \ ending in .png,
// .gif or .ico. A count that directly follows (`"a.png", 4)`) is taken as its frame count.
std::vector<FoundName> PictureLiterals(const std::string& text, const std::string& where)
{
    const auto isNameChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '/' || c == '\\' ||
               c == '-';
    };
    const auto endsWith = [](const std::string& s, const char* tail) {
        const size_t n = std::strlen(tail);
        return s.size() > n && s.compare(s.size() - n, n, tail) == 0;
    };
    std::vector<FoundName> found;
    for (size_t open = text.find('"'); open != std::string::npos; open = text.find('"', open + 1)) {
        size_t close = open + 1;
        while (close < text.size() && isNameChar(text[close]))
            ++close;
        if (close >= text.size() || text[close] != '"')
            continue;
        std::string name = text.substr(open + 1, close - open - 1);
        const bool picture = !name.empty() &&
                             (std::isalnum(static_cast<unsigned char>(name[0])) || name[0] == '_') &&
                             (endsWith(name, ".png") || endsWith(name, ".gif") || endsWith(name, ".ico"));
        if (!picture) {
            open = close; // a whole literal that is no name: its closing quote opens nothing
            continue;
        }
        for (size_t pos = name.find("\\\\"); pos != std::string::npos; pos = name.find("\\\\", pos + 1))
            name.erase(pos, 1); // a C++ "\\" is one backslash
        FoundName f{SkinRelative(name), std::nullopt, where};
        // `, <digits>` then `,` or `)`, blanks allowed between.
        size_t pos = text.find_first_not_of(" \t\r\n", close + 1);
        if (pos != std::string::npos && text[pos] == ',') {
            const size_t digits = text.find_first_not_of(" \t\r\n", pos + 1);
            size_t after = digits;
            while (after < text.size() && std::isdigit(static_cast<unsigned char>(text[after])))
                ++after;
            const size_t next =
                after < text.size() ? text.find_first_not_of(" \t\r\n", after) : std::string::npos;
            if (digits != std::string::npos && after > digits && after - digits < 4 &&
                next != std::string::npos && (text[next] == ',' || text[next] == ')'))
                f.frames = std::stoi(text.substr(digits, after - digits));
        }
        found.push_back(std::move(f));
        open = close; // the closing quote does not open the next literal
    }
    return found;
}

// The text without its comments (C++ // and /* */ outside string literals, XML <!-- -->), so that
// examples in comments are not taken for names.
std::string WithoutComments(const std::string& text, bool xml)
{
    std::string out;
    if (xml) {
        for (size_t pos = 0; pos < text.size();) {
            const size_t open = text.find("<!--", pos);
            out.append(text, pos, open == std::string::npos ? std::string::npos : open - pos);
            if (open == std::string::npos)
                break;
            const size_t close = text.find("-->", open);
            pos = close == std::string::npos ? text.size() : close + 3;
        }
        return out;
    }
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            out += c;
            if (c == '\\' && i + 1 < text.size())
                out += text[++i];
            else if (c == quote)
                quote = 0;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            i = std::min(text.find('\n', i), text.size()) - 1;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            const size_t close = text.find("*/", i + 2);
            i = close == std::string::npos ? text.size() : close + 1;
        } else {
            if (c == '"' || c == '\'')
                quote = c;
            out += c;
        }
    }
    return out;
}

// Every picture name in the program's and the library's sources and in the installation data. Layout
// files are read by the layout tests below (their `image` lives in the keyboard folder); the theme's
// sources name the pictures they make.
std::vector<FoundName> NamesInSourceTrees()
{
    const fs::path root = TORVIK_SOURCE_DIR;
    std::vector<FoundName> names;
    for (const char* tree :
         {"app", "device", "keys", "macros", "lighting", "update", "ui", "tools", "data"}) {
        if (!fs::exists(root / tree))
            continue;
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(root / tree)) {
            const std::string ext = e.path().extension().string();
            const std::string rel = fs::relative(e.path(), root).generic_string();
            if (!e.is_regular_file() || rel.rfind("data/layouts/", 0) == 0 ||
                rel.rfind("data/skins/", 0) == 0)
                continue;
            if (ext != ".cpp" && ext != ".h" && ext != ".in" && ext != ".xml" && ext != ".lan")
                continue;
            const std::string text = WithoutComments(ReadFileBytes(e.path()), ext == ".xml");
            for (FoundName& f : PictureLiterals(text, rel))
                names.push_back(std::move(f));
        }
    }
    return names;
}

struct Pixbuf {
    GdkPixbuf* p = nullptr;
    explicit Pixbuf(const fs::path& path) : p(gdk_pixbuf_new_from_file(path.c_str(), nullptr)) {}
    ~Pixbuf()
    {
        if (p)
            g_object_unref(p);
    }
    Pixbuf(const Pixbuf&) = delete;
    Pixbuf& operator=(const Pixbuf&) = delete;

    int Width() const { return gdk_pixbuf_get_width(p); }
    int Height() const { return gdk_pixbuf_get_height(p); }
    // Red, green, blue, alpha of a pixel.
    std::array<int, 4> At(int x, int y) const
    {
        const guchar* px =
            gdk_pixbuf_read_pixels(p) + y * gdk_pixbuf_get_rowstride(p) + x * gdk_pixbuf_get_n_channels(p);
        return {px[0], px[1], px[2], gdk_pixbuf_get_has_alpha(p) ? px[3] : 255};
    }
};

fs::path SkinFolder()
{
    return BuildBinDir() / "skins" / "theme1";
}

// A picture that loads and whose width splits into `frames` whole frames.
void ExpectStrip(const std::string& name, int frames, const std::string& where)
{
    SCOPED_TRACE(name + " (" + where + ")");
    const fs::path path = SkinFolder() / name;
    ASSERT_TRUE(fs::exists(path)) << "missing from the skin";
    const Pixbuf picture(path);
    ASSERT_NE(picture.p, nullptr) << "does not load";
    EXPECT_EQ(picture.Width() % frames, 0)
        << "width " << picture.Width() << " is not " << frames << " frames";
}

std::vector<fs::path> ShippedLayouts()
{
    std::vector<fs::path> layouts;
    for (const fs::directory_entry& e : fs::directory_iterator(BuildBinDir() / "layouts"))
        if (e.path().extension() == ".xml")
            layouts.push_back(e.path());
    std::sort(layouts.begin(), layouts.end());
    return layouts;
}

int Luminance(const std::array<int, 4>& c)
{
    return (c[0] * 299 + c[1] * 587 + c[2] * 114) / 1000;
}

// Keys whose rectangle has a point without a keycap under it: points 3 pixels inside each corner and
// the middle of the left and right edges, each of which must stand clearly apart from the case just
// left of the keys. The legend in the middle of the cap is left out.
std::vector<std::string> KeysOffTheirCaps(const Pixbuf& picture, const std::vector<LayoutFile::Key>& keys)
{
    int left = picture.Width();
    for (const LayoutFile::Key& k : keys)
        left = std::min(left, k.item.rect.left);
    const int caseLuminance = Luminance(picture.At(std::max(0, left - 2), picture.Height() / 2));

    std::vector<std::string> off;
    for (const LayoutFile::Key& k : keys) {
        const CRect& r = k.item.rect;
        const std::string name = WideToUtf8(k.item.name);
        if (r.left < 0 || r.top < 0 || r.right > picture.Width() || r.bottom > picture.Height() ||
            r.Width() < 8 || r.Height() < 8) {
            off.push_back(name + " (outside the picture)");
            continue;
        }
        const int midY = (r.top + r.bottom) / 2;
        const std::pair<int, int> points[] = {{r.left + 3, r.top + 3},    {r.right - 4, r.top + 3},
                                              {r.left + 3, r.bottom - 4}, {r.right - 4, r.bottom - 4},
                                              {r.left + 3, midY},         {r.right - 4, midY}};
        for (const auto& [x, y] : points) {
            const std::array<int, 4> c = picture.At(x, y);
            if (c[3] != 255 || std::abs(Luminance(c) - caseLuminance) < 15) {
                off.push_back(name + " at " + std::to_string(x) + "," + std::to_string(y));
                break;
            }
        }
    }
    return off;
}

} // namespace

TEST(ThemePictures, EveryNamedPictureLoadsInWholeFrames)
{
    for (const NamedPicture& p : kNamedPictures)
        ExpectStrip(p.name, p.frames, "named by the pages and controls");
}

TEST(ThemePictures, EveryPictureTheSourcesNameIsInTheSkin)
{
    const std::vector<FoundName> names = NamesInSourceTrees();
    std::map<std::string, int> named;
    for (const NamedPicture& p : kNamedPictures)
        named[p.name] = p.frames;

    std::set<std::string> seen;
    for (const FoundName& f : names) {
        seen.insert(f.name);
        // A count in the code and the table above must agree with each other and with the picture.
        const auto listed = named.find(f.name);
        if (f.frames && listed != named.end()) {
            EXPECT_EQ(*f.frames, listed->second) << f.name << " (" << f.where << ")";
        }
        ExpectStrip(f.name, f.frames.value_or(listed != named.end() ? listed->second : 1), f.where);
    }
    // The scan reaches the library: names it uses today must be among those found.
    for (const char* known : {"img_scroll_v.png", "img_tip_bk.png", "demo/bk_dialog.png"}) {
        EXPECT_TRUE(seen.count(known)) << known << " not found by the scan";
    }
}

TEST(ThemePictures, LiteralScanReadsNamesAsTheCodeWritesThem)
{
    const struct {
        const char* source;
        const char* name;
        std::optional<int> frames;
    } cases[] = {
        {R"(SetImage(L"btn_apply.png", 4);)", "btn_apply.png", 4},
        {R"(AddImgResInfo(v ? L"img_scroll_v.png" : L"x.png", 1))", "img_scroll_v.png", std::nullopt},
        {R"(LoadBKImage(L"demo\\bk_dialog.png");)", "demo/bk_dialog.png", std::nullopt},
        {R"(<key icon="icon\icon_pc.png"/>)", "icon/icon_pc.png", std::nullopt},
        {R"(InsertItem(0, t, L"icon//icon_pc.png", page, 4, 80))", "icon/icon_pc.png", std::nullopt},
        {R"(Open(L"loading\\loading.gif"))", "loading/loading.gif", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::vector<FoundName> found = PictureLiterals(c.source, "case");
        ASSERT_FALSE(found.empty()) << c.source;
        EXPECT_EQ(found[0].name, c.name) << c.source;
        EXPECT_EQ(found[0].frames, c.frames) << c.source;
    }
    EXPECT_TRUE(PictureLiterals(R"(snprintf(n, 9, "%03d.png", i); puts("<out.png>");)", "case").empty());

    // Comments are not names; a "//" inside a literal is not a comment.
    const std::string code =
        WithoutComments("// \"a.png\"\nf(L\"icon//b.png\"); /* \"c.png\" */ g('\"');", false);
    ASSERT_EQ(PictureLiterals(code, "case").size(), 1u);
    EXPECT_EQ(PictureLiterals(code, "case")[0].name, "icon/b.png");
    EXPECT_TRUE(PictureLiterals(WithoutComments("<!-- x=\"a.png\" --><k/>", true), "case").empty());
}

TEST(ThemePictures, AnimationsPlayAndTheProgramIconComesInEveryDesktopSize)
{
    for (const char* name : {"loading.gif", "loading/loading.gif"}) {
        GdkPixbufAnimation* animation =
            gdk_pixbuf_animation_new_from_file((SkinFolder() / name).c_str(), nullptr);
        ASSERT_NE(animation, nullptr) << name;
        EXPECT_FALSE(gdk_pixbuf_animation_is_static_image(animation)) << name;
        g_object_unref(animation);
    }
    // The wait dialog shows its animation at (1, 1, 101, 101).
    EXPECT_EQ(Pixbuf(SkinFolder() / "loading.gif").Width(), 100);

    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const Pixbuf icon(BuildBinDir() / "icons" / "hicolor" / folder / "apps" / "torvik.png");
        ASSERT_NE(icon.p, nullptr) << folder;
        EXPECT_EQ(icon.Width(), size);
        EXPECT_EQ(icon.Height(), size);
    }
    EXPECT_TRUE(fs::exists(BuildBinDir() / "icons" / "hicolor" / "scalable" / "apps" / "torvik.svg"));
}

TEST(KeyboardPictures, EveryLayoutsPictureHasAKeycapUnderEachKey)
{
    const std::vector<fs::path> layouts = ShippedLayouts();
    ASSERT_FALSE(layouts.empty());
    for (const fs::path& path : layouts) {
        SCOPED_TRACE(path.filename().string());
        const std::optional<LayoutFile> layout = ReadLayoutFile(Utf8ToWide(path.string()));
        ASSERT_TRUE(layout && layout->keyboard);
        const Pixbuf picture(SkinFolder() / "keyboard" / SkinRelative(WideToUtf8(layout->keyboard->image)));
        ASSERT_NE(picture.p, nullptr) << "no picture " << WideToUtf8(layout->keyboard->image);
        EXPECT_EQ(picture.Width(), layout->keyboard->width);
        EXPECT_EQ(picture.Height(), layout->keyboard->height);
        ASSERT_FALSE(layout->keys.empty());
        const std::vector<std::string> off = KeysOffTheirCaps(picture, layout->keys);
        EXPECT_TRUE(off.empty()) << off.size() << " keys off their caps, first: " << off.front();

        // Icons and Fn legends a layout names are skin pictures too.
        const std::string image = SkinRelative(WideToUtf8(layout->keyboard->image));
        for (const FoundName& f : PictureLiterals(ReadFileBytes(path), path.filename().string())) {
            if (f.name != image)
                ExpectStrip(f.name, 1, f.where);
        }
    }
}

TEST(KeyboardPictures, KeycapCheckRejectsAPictureOfAnotherLayout)
{
    // The compact keyboard's picture under the full keyboard's keys: most keys miss their caps.
    const std::optional<LayoutFile> full =
        ReadLayoutFile(Utf8ToWide((BuildBinDir() / "layouts" / "z5_wireless.xml").string()));
    ASSERT_TRUE(full);
    const Pixbuf mini(SkinFolder() / "keyboard" / "z5_mini.png");
    ASSERT_NE(mini.p, nullptr);
    EXPECT_GT(KeysOffTheirCaps(mini, full->keys).size(), full->keys.size() / 2);
}
