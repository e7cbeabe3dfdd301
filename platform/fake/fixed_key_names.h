#pragma once
// Key names from a fixed table: a US keyboard as the X11 backend names it (UsKeyName). Used without a
// display and by tests, which can rename single keys to stand for another layout.

#include <map>

#include "platform/key_name_source.h"

class FixedKeyNames : public KeyNameSource {
public:
    CString KeyName(unsigned virtualKey) const override;

    // Gives one key another name; an empty name makes the key unknown.
    void SetName(unsigned virtualKey, const CString& name);

private:
    std::map<unsigned, CString> m_renamed;
};
