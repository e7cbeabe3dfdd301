#include "platform/fake/fixed_key_names.h"

#include "platform/us_key_names.h"

CString FixedKeyNames::KeyName(unsigned virtualKey) const
{
    const auto it = m_renamed.find(virtualKey);
    return it == m_renamed.end() ? UsKeyName(virtualKey) : it->second;
}

void FixedKeyNames::SetName(unsigned virtualKey, const CString& name)
{
    m_renamed[virtualKey] = name;
}
