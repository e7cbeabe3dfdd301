#include "device/protocol_state.h"

#include <utility>

KeySlotTable ProtocolState::KeySlots() const
{
    std::lock_guard lock(m_slotsLock);
    return m_keySlots;
}

void ProtocolState::ReplaceKeySlots(KeySlotTable slots)
{
    std::lock_guard lock(m_slotsLock);
    m_keySlots = std::move(slots);
}
