#include "ui/framework/m_object.h"

#include <cwchar>

int MObject::IsClass(const wchar_t* name) const
{
    const wchar_t* own = GetClassNameW();
    return own && name && std::wcscmp(own, name) == 0 ? 1 : 0;
}
