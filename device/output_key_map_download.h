#pragma once
// The key map download of the output-report family: the profile's macros and built-in shortcuts go into
// the keyboard's macro memory (0x8E), then the key map (0x8D) points each key at its function or slot.
//
// The caller holds the transfer lock and has checked that the link is ready.

#include "device/key_buffers.h"
#include "device/protocol_link.h"

class OutputKeyMapDownload {
public:
    // The slot byte is one byte; assignments past slot 255 get no slot.
    static constexpr int kLastSlot = 255;

    explicit OutputKeyMapDownload(const ProtocolLink& link) : m_link(link) {}

    // The macro upload, 20 ms, then the 360-byte key map in 4 packets (lengths 60, 60, 60, 40), 10 ms
    // before each; failed packets are passed over. Keys whose code the map does not place get no entry.
    void Run(int profile, int fnLayer, const KeyIndexMap& keyIndexByCode);

    // The macro upload, slots counted from 0: first every macro (type 3) row, then every shortcut
    // (type 7) row, in stored order, each key recorded with its slot in the key-to-slot table.
    //   macro:    10 ms, then its packets with 100 ms before each. A failed packet ends the upload there:
    //             that macro and everything after it get no slot. False then.
    //   shortcut: 10 ms, then its one report; a failure is passed over.
    bool UploadMacros(const KeyAssignmentList& rows);

private:
    ProtocolLink m_link;
};
