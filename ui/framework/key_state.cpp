#include "ui/framework/key_state.h"

#include <cstdlib>

#include "core/linux_keys.h"
#include "core/virtual_keys.h"
#include "ui/framework/window_backend.h"

namespace {

struct ModifierPair {
    unsigned bit;
    uint8_t neutral;
    uint8_t left;
    uint8_t right;
};
constexpr ModifierPair kModifiers[] = {
    {kModShift, VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
    {kModControl, VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
    {kModAlt, VK_MENU, VK_LMENU, VK_RMENU},
};

} // namespace

bool KeyState::Press(uint8_t vk)
{
    const bool wasDown = m_down[vk];
    if (!wasDown && (vk == VK_CAPITAL || vk == VK_NUMLOCK || vk == VK_SCROLL))
        m_toggled[vk] = !m_toggled[vk];
    m_down[vk] = true;
    m_down[SideNeutralVirtualKey(vk)] = true;
    return wasDown;
}

void KeyState::Release(uint8_t vk)
{
    m_down[vk] = false;
    const uint8_t neutral = SideNeutralVirtualKey(vk);
    if (neutral == vk)
        return;
    // The neutral key stays down while the other side is still held.
    for (const auto& m : kModifiers) {
        if (m.neutral == neutral)
            m_down[neutral] = m_down[m.left] || m_down[m.right];
    }
}

void KeyState::SyncModifiers(unsigned modifiers)
{
    for (const auto& m : kModifiers) {
        const bool held = (modifiers & m.bit) != 0;
        if (!held) {
            m_down[m.neutral] = m_down[m.left] = m_down[m.right] = false;
        } else if (!m_down[m.neutral]) {
            m_down[m.neutral] = m_down[m.left] = true;
        }
    }
    m_toggled[VK_CAPITAL] = (modifiers & kModCapsLock) != 0;
    m_toggled[VK_NUMLOCK] = (modifiers & kModNumLock) != 0;
}

void KeyState::Reset(const std::vector<unsigned>& downEvdevCodes)
{
    m_down.fill(false);
    for (unsigned code : downEvdevCodes) {
        if (const auto key = FindLinuxKey(code)) {
            m_down[key->vk] = true;
            m_down[SideNeutralVirtualKey(key->vk)] = true;
        }
    }
}

void KeyState::Clear()
{
    m_down.fill(false);
}

bool ClickTracker::Press(const void* window, int button, int x, int y, uint32_t timeMs)
{
    const int half = kDoubleClickBox / 2;
    const bool isDouble = m_armed && window == m_window && button == m_button &&
                          static_cast<uint32_t>(timeMs - m_time) <= kDoubleClickMs &&
                          std::abs(x - m_x) <= half && std::abs(y - m_y) <= half;
    if (isDouble) {
        m_armed = false;
        return true;
    }
    m_armed = true;
    m_window = window;
    m_button = button;
    m_x = x;
    m_y = y;
    m_time = timeMs;
    return false;
}
