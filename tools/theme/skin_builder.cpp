#include "tools/theme/skin_builder.h"

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "tools/theme/icon_file.h"
#include "tools/theme/procedural_pictures.h"
#include "tools/theme/svg_source.h"

namespace fs = std::filesystem;

namespace {

bool Run(const std::vector<std::string>& command)
{
    std::vector<char*> argv;
    for (const std::string& a : command)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "theme_pictures: %s failed\n", command.front().c_str());
        return false;
    }
    return true;
}

bool BuildSpinner(const SpinnerEntry& spinner, const std::string& skinFolder, const std::string& convert)
{
    const fs::path frames = fs::path(skinFolder) / (spinner.file + ".frames");
    fs::create_directories(frames);
    std::vector<std::string> command{convert, "-delay", std::to_string(spinner.delay), "-loop", "0"};
    for (int i = 0; i < spinner.frames; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%03d.png", i);
        const std::string path = (frames / name).string();
        if (!WritePng(DrawSpinnerFrame(spinner.size, i, spinner.frames, spinner.background), path))
            return false;
        command.push_back(path);
    }
    command.push_back((fs::path(skinFolder) / spinner.file).string());
    fs::create_directories(fs::path(command.back()).parent_path());
    const bool ok = Run(command);
    fs::remove_all(frames);
    return ok;
}

bool BuildIcon(const ThemeManifest& manifest, const IconEntry& icon, const std::string& skinFolder)
{
    const std::string src = (fs::path(manifest.folder) / icon.src).string();
    std::vector<Surface> sizes;
    bool ok = true;
    for (int size : icon.sizes) {
        Surface s = NewSurface(size, size);
        ok &= DrawSvg(NewContext(s).get(), src, manifest.stylesheet, {}, 0, 0, size, size);
        if (!icon.hicolor.empty()) {
            const fs::path png = fs::path(skinFolder) / icon.hicolor /
                                 (std::to_string(size) + "x" + std::to_string(size)) / "apps" /
                                 (icon.name + ".png");
            ok &= WritePng(s, png.lexically_normal().string());
        }
        sizes.push_back(std::move(s));
    }
    if (!icon.hicolor.empty()) {
        const fs::path svg =
            (fs::path(skinFolder) / icon.hicolor / "scalable" / "apps" / (icon.name + ".svg"))
                .lexically_normal();
        fs::create_directories(svg.parent_path());
        fs::copy_file(src, svg, fs::copy_options::overwrite_existing);
    }
    return ok && WriteIcoFile(sizes, (fs::path(skinFolder) / icon.ico).string());
}

} // namespace

Surface RenderPicture(const ThemeManifest& manifest, const PictureEntry& entry)
{
    const int frames = static_cast<int>(entry.frames.size());
    Surface strip = NewSurface(entry.width * frames, entry.height);
    Context cr = NewContext(strip);
    if (entry.wholeStrip) {
        for (const PictureLayer& layer : entry.layers)
            if (!DrawSvg(cr.get(), (fs::path(manifest.folder) / layer.src).string(), manifest.stylesheet,
                         entry.frames[0], 0, 0, entry.width * frames, entry.height))
                return nullptr;
        return strip;
    }
    for (int f = 0; f < frames; ++f) {
        const double x0 = f * entry.width;
        for (const PictureLayer& layer : entry.layers) {
            const int w = layer.width.value_or(entry.width);
            const int h = layer.height.value_or(entry.height);
            const double x = x0 + layer.x.value_or((entry.width - w) / 2);
            const double y = layer.y.value_or((entry.height - h) / 2);
            // Each frame keeps to its own cell, whatever a source draws past its edges.
            cairo_save(cr.get());
            cairo_rectangle(cr.get(), x0, 0, entry.width, entry.height);
            cairo_clip(cr.get());
            const bool drawn = DrawSvg(cr.get(), (fs::path(manifest.folder) / layer.src).string(),
                                       manifest.stylesheet, entry.frames[f], x, y, w, h);
            cairo_restore(cr.get());
            if (!drawn)
                return nullptr;
        }
    }
    return strip;
}

bool BuildSkin(const ThemeManifest& manifest, const std::string& skinFolder, const std::string& convert)
{
    bool ok = true;
    for (const PictureEntry& entry : manifest.pictures) {
        if (entry.resource)
            continue;
        Surface strip = RenderPicture(manifest, entry);
        ok &= strip && WritePng(strip, (fs::path(skinFolder) / entry.file).string());
    }
    for (const WheelEntry& wheel : manifest.wheels)
        ok &= WritePng(DrawColourWheel(wheel.size, wheel.radius, wheel.rim),
                       (fs::path(skinFolder) / wheel.file).string());
    for (const SpinnerEntry& spinner : manifest.spinners)
        ok &= BuildSpinner(spinner, skinFolder, convert);
    for (const IconEntry& icon : manifest.icons)
        ok &= BuildIcon(manifest, icon, skinFolder);
    return ok;
}
