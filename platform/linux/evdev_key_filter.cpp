#include "platform/linux/evdev_key_filter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

#include "platform/linux/debug_output.h"
#include "platform/linux/hid_usage_codes.h"
#include "platform/linux/input_node_finder.h"

namespace {

constexpr size_t kKeyListLength = 1024;
constexpr size_t kClearListLength = 256;
constexpr size_t kReadBatch = 64;

template <size_t N> bool ReadBits(DeviceIo& io, int fd, unsigned type, std::bitset<N>& bits)
{
    uint8_t bytes[(N + 7) / 8] = {};
    if (io.IoctlPointer(fd, EVIOCGBIT(type, sizeof bytes), bytes) < 0)
        return false;
    for (size_t i = 0; i < N; ++i)
        bits[i] = (bytes[i / 8] >> (i % 8)) & 1;
    return true;
}

template <size_t N> std::vector<uint16_t> SetBits(const std::bitset<N>& bits)
{
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < N; ++i) {
        if (bits[i])
            codes.push_back(static_cast<uint16_t>(i));
    }
    return codes;
}

} // namespace

EvdevKeyFilter::EvdevKeyFilter(std::string deviceName, InterfaceSource interfaces, DeviceIo& io,
                               std::string sysfsRoot, std::string deviceRoot)
    : m_deviceName(std::move(deviceName)), m_interfaces(std::move(interfaces)), m_io(io),
      m_sysfsRoot(std::move(sysfsRoot)), m_deviceRoot(std::move(deviceRoot)), m_passThrough(io)
{
}

EvdevKeyFilter::~EvdevKeyFilter()
{
    Close();
}

bool EvdevKeyFilter::Open()
{
    std::lock_guard lock(m_controlLock);
    if (m_open)
        return true;
    m_wakeFd = m_io.MakeEventFd();
    if (m_wakeFd < 0)
        return false;
    m_open = true;
    std::lock_guard events(m_eventLock);
    m_waitsOpen = true;
    return true;
}

void EvdevKeyFilter::Close()
{
    std::lock_guard lock(m_controlLock);
    if (!m_open)
        return;
    StopReader();
    CloseNodes();
    m_scannedPaths.clear();
    m_passThrough.Destroy();
    m_io.Close(m_wakeFd);
    m_wakeFd = -1;
    m_open = false;
    m_grabWanted = false;
    {
        std::lock_guard watch(m_watchLock);
        m_watched.reset();
    }
    std::lock_guard events(m_eventLock);
    m_waitsOpen = false;
    m_events.clear();
    m_eventReady.notify_all();
}

bool EvdevKeyFilter::IsOpen() const
{
    std::lock_guard lock(m_controlLock);
    return m_open;
}

bool EvdevKeyFilter::KeyboardAccessDenied() const
{
    return m_accessDenied;
}

bool EvdevKeyFilter::Control(uint32_t code, std::span<const uint8_t> input)
{
    std::lock_guard lock(m_controlLock);
    if (!m_open)
        return false;
    switch (code) {
    case kSetKeyList:
        return SetKeyList(input);
    case kArm:
        StopReader();
        Rescan();
        ApplyGrab();
        StartReader();
        return true;
    case kStart: {
        StopReader();
        {
            std::lock_guard watch(m_watchLock);
            m_grabWanted = m_watched.any();
        }
        ApplyGrab();
        StartReader();
        return true;
    }
    default:
        return false;
    }
}

bool EvdevKeyFilter::SetKeyList(std::span<const uint8_t> input)
{
    std::bitset<256> watched;
    if (input.size() == kKeyListLength) {
        for (size_t entry = 0; entry + 4 <= input.size(); entry += 4) {
            const unsigned keyCode = input[entry] | input[entry + 1] << 8;
            if (keyCode != 0 && keyCode < watched.size())
                watched[keyCode] = true;
        }
    } else if (input.size() != kClearListLength) {
        return false;
    }
    std::lock_guard watch(m_watchLock);
    m_watched = watched;
    return true;
}

void EvdevKeyFilter::Rescan()
{
    std::vector<std::string> paths;
    for (const std::string& interface : m_interfaces ? m_interfaces() : std::vector<std::string>{}) {
        for (std::string& node : FindInputEventNodes(interface, m_sysfsRoot, m_deviceRoot)) {
            if (std::find(paths.begin(), paths.end(), node) == paths.end())
                paths.push_back(std::move(node));
        }
    }
    std::sort(paths.begin(), paths.end());
    // The same keyboard keeps its grab and what is held on it. Nodes left out (no keys, a touch pad)
    // stay out; nodes that could not be opened are tried again.
    if (paths == m_scannedPaths && !m_accessDenied)
        return;
    m_scannedPaths = paths;

    CloseNodes();
    m_passThrough.Destroy();
    bool denied = false;
    for (const std::string& path : paths) {
        if (auto node = OpenNode(path, denied))
            m_nodes.push_back(std::move(node));
    }
    m_accessDenied = denied;
}

std::unique_ptr<EvdevKeyFilter::Node> EvdevKeyFilter::OpenNode(const std::string& path, bool& denied)
{
    const int fd = m_io.Open(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        DebugPrint("key filter: cannot open %s: %s\n", path.c_str(), std::strerror(-fd));
        denied = denied || fd == -EACCES || fd == -EPERM;
        return nullptr;
    }
    // Keys and maybe a wheel or buttons pass through; absolute axes (a touch pad) would need more
    // than a copy of the events, so such nodes stay with the system.
    std::bitset<EV_CNT> types;
    std::bitset<KEY_CNT> keys;
    const bool known =
        ReadBits(m_io, fd, 0, types) && types[EV_KEY] && !types[EV_ABS] && ReadBits(m_io, fd, EV_KEY, keys);
    bool hasKeyCode = false;
    for (size_t code = 0; known && code < keys.size() && !hasKeyCode; ++code)
        hasKeyCode = keys[code] && KeyCodeFromEvdev(static_cast<unsigned>(code)) != 0;
    if (!hasKeyCode) {
        DebugPrint("key filter: %s left to the system\n", path.c_str());
        m_io.Close(fd);
        return nullptr;
    }
    auto node = std::make_unique<Node>();
    node->path = path;
    node->fd = fd;
    return node;
}

void EvdevKeyFilter::ApplyGrab()
{
    if (m_grabWanted && !m_nodes.empty() && !CreatePassThrough())
        m_grabWanted = false;
    if (!m_grabWanted) {
        for (const auto& node : m_nodes)
            Release(*node);
    }
}

bool EvdevKeyFilter::CreatePassThrough()
{
    if (m_passThrough.IsCreated())
        return true;
    UinputCapabilities caps;
    caps.name = m_deviceName + " pass-through";
    std::bitset<KEY_CNT> keys;
    std::bitset<REL_CNT> axes;
    std::bitset<MSC_CNT> misc;
    for (const auto& node : m_nodes) {
        std::bitset<EV_CNT> types;
        std::bitset<KEY_CNT> nodeKeys;
        std::bitset<REL_CNT> nodeAxes;
        std::bitset<MSC_CNT> nodeMisc;
        ReadBits(m_io, node->fd, 0, types);
        if (ReadBits(m_io, node->fd, EV_KEY, nodeKeys))
            keys |= nodeKeys;
        if (types[EV_REL] && ReadBits(m_io, node->fd, EV_REL, nodeAxes))
            axes |= nodeAxes;
        if (types[EV_MSC] && ReadBits(m_io, node->fd, EV_MSC, nodeMisc))
            misc |= nodeMisc;
    }
    // The keyboard's own identity keeps per-model keyboard settings of the desktop in force.
    m_io.IoctlPointer(m_nodes.front()->fd, EVIOCGID, &caps.id);
    caps.keys = SetBits(keys);
    caps.relativeAxes = SetBits(axes);
    caps.miscEvents = SetBits(misc);
    // Repeats come from the keyboard's nodes and pass through as they are.
    caps.autoRepeat = false;
    const DeviceAccess access = m_passThrough.Create(caps);
    if (access == DeviceAccess::Denied)
        m_accessDenied = true;
    return access == DeviceAccess::Ok;
}

void EvdevKeyFilter::CloseNodes()
{
    for (const auto& node : m_nodes) {
        Release(*node);
        m_io.Close(node->fd);
    }
    m_nodes.clear();
}

KeyFilterDevice::WaitResult EvdevKeyFilter::WaitForKeyEvent(KeyEventRecord& record)
{
    std::unique_lock lock(m_eventLock);
    m_eventReady.wait(lock, [&] { return m_cancelled || !m_waitsOpen || !m_events.empty(); });
    if (m_cancelled)
        return WaitResult::Cancelled;
    if (!m_waitsOpen)
        return WaitResult::Failed;
    record = m_events.front();
    m_events.pop_front();
    return WaitResult::Delivered;
}

void EvdevKeyFilter::CancelWaits()
{
    std::lock_guard lock(m_eventLock);
    m_cancelled = true;
    m_eventReady.notify_all();
}

void EvdevKeyFilter::ResumeWaits()
{
    std::lock_guard lock(m_eventLock);
    m_cancelled = false;
}

// --- The reader thread ---

void EvdevKeyFilter::StartReader()
{
    // Nodes that are not to be grabbed are left unread: the system reads them.
    if (m_reader.joinable() || m_nodes.empty() || !m_grabWanted)
        return;
    m_stopReader = false;
    m_reader = std::thread([this] { ReaderLoop(); });
}

void EvdevKeyFilter::StopReader()
{
    if (!m_reader.joinable())
        return;
    m_stopReader = true;
    const uint64_t one = 1;
    m_io.Write(m_wakeFd, &one, sizeof one);
    m_reader.join();
    uint64_t count = 0;
    m_io.Read(m_wakeFd, &count, sizeof count);
}

void EvdevKeyFilter::ReaderLoop()
{
    std::vector<pollfd> fds;
    while (!m_stopReader && !m_nodes.empty()) {
        for (const auto& node : m_nodes) {
            if (!node->grabbed)
                TryGrab(*node);
        }
        fds.assign(1, pollfd{m_wakeFd, POLLIN, 0});
        for (const auto& node : m_nodes)
            fds.push_back(pollfd{node->fd, POLLIN, 0});
        const int ready = m_io.Poll(fds, -1);
        if (ready < 0 && ready != -EINTR)
            break;
        std::vector<Node*> gone;
        for (size_t i = 1; i < fds.size(); ++i) {
            Node& node = *m_nodes[i - 1];
            if (fds[i].revents != 0 && !ReadNode(node))
                gone.push_back(&node);
        }
        for (Node* node : gone) {
            m_scannedPaths.clear(); // a keyboard that comes back may reuse the node names
            Release(*node);
            m_io.Close(node->fd);
            std::erase_if(m_nodes, [node](const auto& each) { return each.get() == node; });
        }
    }
}

bool EvdevKeyFilter::ReadNode(Node& node)
{
    input_event batch[kReadBatch];
    while (true) {
        const ssize_t n = m_io.Read(node.fd, batch, sizeof batch);
        if (n == -EAGAIN)
            return true;
        if (n <= 0)
            return false;
        if (!node.grabbed)
            continue; // the system has these
        for (size_t i = 0; i < static_cast<size_t>(n) / sizeof(input_event); ++i) {
            const input_event& event = batch[i];
            if (event.type == EV_SYN && event.code == SYN_DROPPED) {
                node.frame.clear();
                node.resyncing = true;
            } else if (event.type == EV_SYN && event.code == SYN_REPORT) {
                if (node.resyncing)
                    Resync(node);
                else
                    RouteFrame(node);
                node.frame.clear();
            } else if (!node.resyncing) {
                node.frame.push_back(event);
            }
        }
    }
}

bool EvdevKeyFilter::AnyKeyHeld(const Node& node)
{
    uint8_t state[KEY_CNT / 8 + 1] = {};
    if (m_io.IoctlPointer(node.fd, EVIOCGKEY(sizeof state), state) < 0)
        return true;
    return std::any_of(std::begin(state), std::end(state), [](uint8_t byte) { return byte != 0; });
}

void EvdevKeyFilter::Drain(Node& node)
{
    input_event batch[kReadBatch];
    while (m_io.Read(node.fd, batch, sizeof batch) > 0) {
    }
}

// Whatever was read before the grab, the system read as well. A key pressed between the two looks at
// the state is seen down by the second one, and the grab is given up until it is released; a whole
// press and release inside that window (microseconds) is faster than any keyboard reports.
void EvdevKeyFilter::TryGrab(Node& node)
{
    Drain(node);
    if (AnyKeyHeld(node))
        return;
    if (m_io.IoctlValue(node.fd, EVIOCGRAB, 1) < 0)
        return;
    if (AnyKeyHeld(node)) {
        m_io.IoctlValue(node.fd, EVIOCGRAB, 0);
        return;
    }
    Drain(node);
    DebugPrint("key filter: %s grabbed\n", node.path.c_str());
    node.grabbed = true;
    node.resyncing = false;
    node.frame.clear();
}

void EvdevKeyFilter::RouteFrame(Node& node)
{
    std::vector<input_event> out;
    bool passesInput = false;
    {
        std::lock_guard watch(m_watchLock);
        for (const input_event& event : node.frame) {
            if (event.type != EV_KEY) {
                out.push_back(event);
                passesInput = passesInput || event.type != EV_MSC;
                continue;
            }
            const unsigned keyCode = KeyCodeFromEvdev(event.code);
            const bool watched = keyCode != 0 && m_watched[keyCode];
            bool pass;
            if (event.value == 1) {
                pass = !watched;
            } else if (node.passedDown[event.code]) {
                pass = true; // went down on the pass-through device: goes up (and repeats) there
            } else if (node.reportedDown[event.code]) {
                pass = false;
            } else {
                pass = !watched && event.value == 0;
                if (!pass && event.value == 2)
                    continue; // watched keys report no repeats
            }
            if (pass) {
                out.push_back(event);
                passesInput = true;
                if (event.value != 2)
                    node.passedDown[event.code] = event.value == 1;
            } else if (event.value != 2) {
                node.reportedDown[event.code] = event.value == 1;
                Report(keyCode, event.value == 1);
            }
        }
    }
    if (!passesInput)
        return;
    out.push_back(InputEvent(EV_SYN, SYN_REPORT, 0));
    m_passThrough.Emit(out);
}

// After lost events, every key we hold down that is now up goes up.
void EvdevKeyFilter::Resync(Node& node)
{
    node.resyncing = false;
    uint8_t state[KEY_CNT / 8 + 1] = {};
    if (m_io.IoctlPointer(node.fd, EVIOCGKEY(sizeof state), state) < 0)
        return;
    std::vector<input_event> out;
    for (size_t code = 0; code < KEY_CNT; ++code) {
        const bool down = (state[code / 8] >> (code % 8)) & 1;
        if (down)
            continue;
        if (node.passedDown[code]) {
            out.push_back(InputEvent(EV_KEY, static_cast<uint16_t>(code), 0));
            node.passedDown[code] = false;
        }
        if (node.reportedDown[code]) {
            Report(KeyCodeFromEvdev(static_cast<unsigned>(code)), false);
            node.reportedDown[code] = false;
        }
    }
    if (out.empty())
        return;
    out.push_back(InputEvent(EV_SYN, SYN_REPORT, 0));
    m_passThrough.Emit(out);
}

// Gives the node back to the system with nothing held for it.
void EvdevKeyFilter::Release(Node& node)
{
    std::vector<input_event> out;
    for (size_t code = 0; code < KEY_CNT; ++code) {
        if (node.passedDown[code])
            out.push_back(InputEvent(EV_KEY, static_cast<uint16_t>(code), 0));
        if (node.reportedDown[code])
            Report(KeyCodeFromEvdev(static_cast<unsigned>(code)), false);
    }
    node.passedDown.reset();
    node.reportedDown.reset();
    if (!out.empty()) {
        out.push_back(InputEvent(EV_SYN, SYN_REPORT, 0));
        m_passThrough.Emit(out);
    }
    if (node.grabbed)
        m_io.IoctlValue(node.fd, EVIOCGRAB, 0);
    node.grabbed = false;
    node.frame.clear();
    node.resyncing = false;
}

void EvdevKeyFilter::Report(unsigned keyCode, bool pressed)
{
    std::lock_guard lock(m_eventLock);
    if (m_events.size() >= kMaxQueuedEvents)
        return;
    m_events.push_back(KeyEventRecord{static_cast<uint8_t>(keyCode & 0xFF),
                                      static_cast<uint8_t>(keyCode >> 8), 0,
                                      static_cast<uint8_t>(pressed ? 1 : 0)});
    m_eventReady.notify_one();
}
