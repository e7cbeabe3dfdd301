#pragma once
// One running copy of the program per device name: the first start holds a lock named after the device
// name for its whole run; a later start sees it held and hands over to the running copy.

#include "core/wide_text.h"

enum class InstanceLockResult {
    Acquired,      // this process holds the lock until it ends or releases it
    HeldByAnother, // another running copy holds it
    Unavailable,   // the lock could not be made (no folder, no rights): run without one
};

class InstanceLock {
public:
    virtual ~InstanceLock() = default;

    virtual InstanceLockResult Acquire(const CString& name) = 0;
    virtual void Release() = 0;
};
