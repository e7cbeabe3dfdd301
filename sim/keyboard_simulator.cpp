#include "sim/keyboard_simulator.h"

namespace {

// A handle on one node of a simulated keyboard. It holds the keyboard weakly: a handle that outlives
// the simulator fails its transfers instead of touching freed memory.
class SimulatedHidDevice : public HidDevice {
public:
    SimulatedHidDevice(const std::shared_ptr<SimulatedKeyboard>& keyboard, SimulatedKeyboard::Handle handle)
        : m_keyboard(keyboard), m_handle(handle), m_outputReportLength(keyboard->OutputReportLength(handle))
    {
    }

    ~SimulatedHidDevice() override
    {
        if (auto keyboard = m_keyboard.lock())
            keyboard->Close(m_handle);
    }

    int Write(std::span<const uint8_t> report, std::chrono::milliseconds timeout) override
    {
        std::vector<uint8_t> bytes(report.begin(), report.end());
        return Transfer(SimTransfer::Write, bytes, timeout);
    }

    int SendFeatureReport(std::span<const uint8_t> report, std::chrono::milliseconds timeout) override
    {
        std::vector<uint8_t> bytes(report.begin(), report.end());
        return Transfer(SimTransfer::SendFeature, bytes, timeout);
    }

    int GetFeatureReport(std::span<uint8_t> report, std::chrono::milliseconds timeout) override
    {
        std::vector<uint8_t> answer(report.begin(), report.end());
        const int received = Transfer(SimTransfer::GetFeature, answer, timeout);
        if (received > 0)
            std::copy(answer.begin(), answer.end(), report.begin());
        return received;
    }

    size_t OutputReportLength() const override { return m_outputReportLength; }
    void CancelIo() override {}
    std::wstring LastError() const override { return m_lastError; }
    HidFault LastFault() const override { return m_lastFault; }

private:
    int Transfer(SimTransfer transfer, std::span<uint8_t> bytes, std::chrono::milliseconds timeout)
    {
        auto keyboard = m_keyboard.lock();
        if (!keyboard) {
            m_lastError = L"The device is not connected.";
            m_lastFault = HidFault::Gone;
            return -1;
        }
        return keyboard->Transfer(m_handle, transfer, bytes, timeout, m_lastError, m_lastFault);
    }

    std::weak_ptr<SimulatedKeyboard> m_keyboard;
    SimulatedKeyboard::Handle m_handle;
    size_t m_outputReportLength;
    std::wstring m_lastError;
    HidFault m_lastFault = HidFault::None;
};

} // namespace

KeyboardSimulator::KeyboardSimulator(MonotonicClock& clock) : m_clock(clock) {}

KeyboardSimulator::~KeyboardSimulator() = default;

SimulatedKeyboard& KeyboardSimulator::AddKeyboard(const SimulatedModel& model)
{
    std::lock_guard lock(m_lock);
    const std::string number = std::to_string(m_keyboards.size() + 1);
    m_keyboards.push_back(std::make_shared<SimulatedKeyboard>(
        model, "SIM" + number, "sim/" + number, m_clock,
        [this](const std::vector<SimDeviceEvent>& events) { Deliver(events); }));
    return *m_keyboards.back();
}

SimulatedKeyboard& KeyboardSimulator::Keyboard(size_t index)
{
    std::lock_guard lock(m_lock);
    return *m_keyboards.at(index);
}

size_t KeyboardSimulator::KeyboardCount() const
{
    std::lock_guard lock(m_lock);
    return m_keyboards.size();
}

void KeyboardSimulator::SetDeviceEventListener(std::function<void(const SimDeviceEvent&)> listener)
{
    std::lock_guard lock(m_deliveryLock);
    m_listener = std::move(listener);
}

bool KeyboardSimulator::Start(Sink sink)
{
    SetDeviceEventListener(std::move(sink));
    return true;
}

void KeyboardSimulator::Stop()
{
    SetDeviceEventListener(nullptr);
}

void KeyboardSimulator::Deliver(const std::vector<SimDeviceEvent>& events)
{
    std::lock_guard lock(m_deliveryLock);
    if (!m_listener)
        return;
    const std::function<void(const SimDeviceEvent&)> listener = m_listener;
    for (const SimDeviceEvent& event : events)
        listener(event);
}

void KeyboardSimulator::SetLibraryAvailable(bool available)
{
    std::lock_guard lock(m_lock);
    m_libraryAvailable = available;
}

int KeyboardSimulator::InitCalls() const
{
    std::lock_guard lock(m_lock);
    return m_initCalls;
}

bool KeyboardSimulator::Init()
{
    std::lock_guard lock(m_lock);
    ++m_initCalls;
    return m_libraryAvailable;
}

void KeyboardSimulator::Exit() {}

std::vector<HidInterfaceInfo> KeyboardSimulator::Enumerate()
{
    std::lock_guard lock(m_lock);
    std::vector<HidInterfaceInfo> interfaces;
    if (!m_libraryAvailable)
        return interfaces;
    for (const auto& keyboard : m_keyboards)
        keyboard->AppendInterfaces(interfaces);
    return interfaces;
}

std::unique_ptr<HidDevice> KeyboardSimulator::Open(const std::string& path)
{
    std::lock_guard lock(m_lock);
    if (!m_libraryAvailable)
        return nullptr;
    for (const auto& keyboard : m_keyboards) {
        if (auto handle = keyboard->Open(path))
            return std::make_unique<SimulatedHidDevice>(keyboard, *handle);
    }
    return nullptr;
}
