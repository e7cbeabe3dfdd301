#include "platform/linux/hidraw_uevent.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/linux/hid_report_descriptor.h"

namespace {

// Kernel bus numbers (linux/input.h).
constexpr unsigned kBusUsb = 0x03;
constexpr unsigned kBusBluetooth = 0x05;
constexpr unsigned kBusI2c = 0x18;
constexpr unsigned kBusSpi = 0x1C;

std::vector<std::string> Components(const std::string& path)
{
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= path.size()) {
        const size_t end = std::min(path.find('/', at), path.size());
        if (end > at)
            parts.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

bool ParseHex(const std::string& text, unsigned& value)
{
    if (text.empty() || text.size() > 8)
        return false;
    value = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        value =
            value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c))
                                                   ? c - '0'
                                                   : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
    }
    return true;
}

bool ParseDecimal(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    value = std::stoi(text);
    return true;
}

// "0003:1209:0001.0004": bus, vendor and product of a HID device's directory.
bool ParseHidDeviceName(const std::string& name, unsigned& bus, unsigned& vendor, unsigned& product)
{
    if (name.size() != 19 || name[4] != ':' || name[9] != ':' || name[14] != '.')
        return false;
    unsigned number = 0;
    return ParseHex(name.substr(0, 4), bus) && ParseHex(name.substr(5, 4), vendor) &&
           ParseHex(name.substr(10, 4), product) && ParseHex(name.substr(15, 4), number);
}

// "1-4.2:1.3": a USB interface's directory (port path, configuration, interface number).
std::optional<int> UsbInterfaceNumber(const std::string& name)
{
    const size_t colon = name.find(':');
    const size_t dot = name.rfind('.');
    if (colon == std::string::npos || dot == std::string::npos || dot < colon || name.find('-') > colon)
        return std::nullopt;
    int configuration = 0;
    int number = 0;
    if (!ParseDecimal(name.substr(colon + 1, dot - colon - 1), configuration) ||
        !ParseDecimal(name.substr(dot + 1), number))
        return std::nullopt;
    return number;
}

} // namespace

std::optional<HidrawNode> HidrawNodeOfDevpath(const std::string& devpath)
{
    const std::vector<std::string> parts = Components(devpath);
    const size_t count = parts.size();
    if (count < 3 || parts[count - 2] != "hidraw" || !parts[count - 1].starts_with("hidraw"))
        return std::nullopt;
    unsigned bus = 0;
    unsigned vendor = 0;
    unsigned product = 0;
    if (!ParseHidDeviceName(parts[count - 3], bus, vendor, product))
        return std::nullopt;

    HidrawNode node;
    node.node = parts[count - 1];
    node.vendorId = static_cast<uint16_t>(vendor);
    node.productId = static_cast<uint16_t>(product);
    const auto above = parts.begin() + static_cast<std::ptrdiff_t>(count - 3);
    switch (bus) {
    case kBusUsb:
        // A USB HID device made through uhid has no USB interface above it; hidapi then names no bus.
        node.bus = HidBus::Unknown;
        for (auto part = above; part != parts.begin();) {
            --part;
            if (const std::optional<int> number = UsbInterfaceNumber(*part)) {
                node.bus = HidBus::Usb;
                node.interfaceNumber = *number;
                break;
            }
        }
        break;
    case kBusBluetooth:
        node.bus =
            std::find(parts.begin(), above, "uhid") != above ? HidBus::BluetoothLowEnergy : HidBus::Bluetooth;
        break;
    case kBusI2c:
        node.bus = HidBus::I2c;
        break;
    case kBusSpi:
        node.bus = HidBus::Spi;
        break;
    default:
        return std::nullopt;
    }
    return node;
}

HidrawEventTracker::HidrawEventTracker(std::string sysfsRoot) : m_sysfsRoot(std::move(sysfsRoot)) {}

std::vector<std::string> HidrawEventTracker::NamesOf(const std::string& devpath, const HidrawNode& node) const
{
    std::ifstream file(m_sysfsRoot + devpath + "/device/report_descriptor", std::ios::binary);
    const std::vector<uint8_t> descriptor{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    const int count = TopLevelCollectionCount(descriptor);
    std::vector<std::string> names;
    for (int index = 1; index <= count; ++index)
        names.push_back(HidrawInterfaceName(node, index, count));
    return names;
}

void HidrawEventTracker::RememberPresentNodes()
{
    std::error_code error;
    const std::filesystem::path root = std::filesystem::canonical(m_sysfsRoot, error);
    if (error)
        return;
    for (const auto& entry : std::filesystem::directory_iterator(root / "class" / "hidraw", error)) {
        std::error_code linkError;
        const std::filesystem::path target = std::filesystem::canonical(entry.path(), linkError);
        if (linkError)
            continue;
        const std::string full = target.string();
        const std::string base = root.string();
        if (!full.starts_with(base + "/"))
            continue;
        const std::string devpath = full.substr(base.size());
        if (const std::optional<HidrawNode> node = HidrawNodeOfDevpath(devpath))
            m_names[devpath] = NamesOf(devpath, *node);
    }
}

std::vector<HidDeviceEvent> HidrawEventTracker::OnUevent(const UeventProperties& properties)
{
    const auto action = properties.find("ACTION");
    const auto devpathEntry = properties.find("DEVPATH");
    if (action == properties.end() || devpathEntry == properties.end())
        return {};
    const std::string& devpath = devpathEntry->second;
    std::optional<HidrawNode> node = HidrawNodeOfDevpath(devpath);
    if (!node)
        return {};
    if (const auto devname = properties.find("DEVNAME");
        devname != properties.end() && !devname->second.empty())
        node->node = devname->second;

    std::vector<std::string> names;
    HidDeviceEventKind kind = HidDeviceEventKind::Arrival;
    if (action->second == "add") {
        names = NamesOf(devpath, *node);
        m_names[devpath] = names;
    } else if (action->second == "remove") {
        kind = HidDeviceEventKind::Removal;
        if (const auto known = m_names.find(devpath); known != m_names.end()) {
            names = std::move(known->second);
            m_names.erase(known);
        } else {
            names = {HidrawInterfaceName(*node, 1, 1)};
        }
    } else {
        return {};
    }

    std::vector<HidDeviceEvent> events;
    for (std::string& name : names)
        events.push_back({kind, std::move(name)});
    return events;
}
