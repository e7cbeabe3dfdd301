#pragma once
// The key map download of the feature-report family: the keyboard's slot table, its 13 macro slots and
// its 10 remap slots, written from a profile's assignments.
//
// The caller holds the transfer lock and has checked that the link is ready.

#include "device/protocol_link.h"

class FeatureKeyMapDownload {
public:
    static constexpr int kMacroSlots = 13;
    static constexpr int kRemapSlots = 10;

    explicit FeatureKeyMapDownload(const ProtocolLink& link) : m_link(link) {}

    // The whole download:
    //   1. read the slot table (07 FB 01); a chunk whose read failed keeps the request's bytes, so a
    //      failed read shows macro slots 1 and 2 in use (0xFB, 0x01);
    //   2. clear every macro slot and then every remap slot the table shows in use, 16 ms before each;
    //   3. for the profile's assignments in stored order: type 0 nothing, types 3 and 7 the next macro
    //      slot, any other type the next remap slot, 16 ms before each. Rows past slot 13 (macros) or
    //      10 (remaps) are left out: the keyboard has no such slots.
    void Run(int profile, int fnLayer);

    // One macro slot: macro type 7 the built-in shortcut `value`, type 3 the macro whose id is `value`
    // (key and play count only when the macro exists; its records either way), any other type clears
    // the slot. 28 feature reports, 16 ms before each; a failed one does not stop the rest.
    void WriteMacroSlot(int key, int slot, int macroType, int value);

    // One remap slot from the key's assignment: 07 FA 01 slot key 01 value 01, or with key and value 0
    // (clearing the slot) when the assignment has no value. Nothing for an assignment of type 0, 3 or 7
    // with a value: those have no remap.
    void WriteRemapSlot(int profile, int fnLayer, int key, int slot);

private:
    ProtocolLink m_link;
};
