#include "platform/linux/input_node_finder.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool IsUsbDevice(const fs::path& folder)
{
    std::error_code error;
    return fs::exists(folder / "idVendor", error) && !fs::exists(folder / "bInterfaceNumber", error);
}

bool IsBelow(const fs::path& path, const fs::path& folder)
{
    const std::string& p = path.native();
    const std::string& f = folder.native();
    return p.size() > f.size() && p.compare(0, f.size(), f) == 0 && p[f.size()] == '/';
}

// The folder below which every interface of the HID device's physical device lies. The HID device's
// name begins with its bus: 0003 USB, 0005 Bluetooth.
fs::path PhysicalDevice(const fs::path& hidDevice, const fs::path& devicesRoot)
{
    const std::string name = hidDevice.filename().string();
    if (name.rfind("0003:", 0) == 0) {
        for (fs::path folder = hidDevice.parent_path(); IsBelow(folder, devicesRoot);
             folder = folder.parent_path()) {
            if (IsUsbDevice(folder))
                return folder;
        }
    }
    // uhid puts every device it creates into one folder: there the HID device is all there is. Under
    // a Bluetooth adapter the parent is the connection, never the adapter, which may itself be USB.
    if (hidDevice.parent_path().filename() == "uhid")
        return hidDevice;
    return hidDevice.parent_path();
}

unsigned NodeNumber(const std::string& name)
{
    unsigned number = 0;
    for (char c : name.substr(5)) {
        if (c < '0' || c > '9')
            break;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    return number;
}

} // namespace

std::vector<std::string> FindInputEventNodes(const std::string& hidrawPath, const std::string& sysfsRoot,
                                             const std::string& deviceRoot)
{
    const std::string node = fs::path(hidrawPath).filename().string();
    if (node.rfind("hidraw", 0) != 0)
        return {};
    std::error_code error;
    const fs::path root = fs::canonical(sysfsRoot, error);
    if (error)
        return {};
    const fs::path hidDevice = fs::canonical(root / "class" / "hidraw" / node / "device", error);
    if (error)
        return {};
    const fs::path anchor = PhysicalDevice(hidDevice, root / "devices");

    std::vector<std::string> names;
    for (fs::directory_iterator it(root / "class" / "input", error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("event", 0) != 0)
            continue;
        std::error_code linkError;
        const fs::path target = fs::canonical(it->path(), linkError);
        if (!linkError && IsBelow(target, anchor))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return NodeNumber(a) < NodeNumber(b); });
    std::vector<std::string> nodes;
    for (const std::string& name : names)
        nodes.push_back(deviceRoot + "/" + name);
    return nodes;
}
