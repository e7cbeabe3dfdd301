#pragma once
// The instance lock as an flock()ed file "<folder>/<name>.lock". The kernel drops the lock when the
// process ends however it ends, so a crashed copy never blocks the next start. Separators and control
// characters in the name become '_', so every name stays one file inside the folder.

#include <string>

#include "platform/instance_lock.h"

class FlockInstanceLock final : public InstanceLock {
public:
    explicit FlockInstanceLock(CString folder);
    ~FlockInstanceLock() override;
    FlockInstanceLock(const FlockInstanceLock&) = delete;
    FlockInstanceLock& operator=(const FlockInstanceLock&) = delete;

    // $XDG_RUNTIME_DIR when it is an absolute path, else the fallback (the data folder).
    static CString DefaultFolder(const CString& fallback);
    // The file a name is locked with.
    std::string LockFilePath(const CString& name) const;

    InstanceLockResult Acquire(const CString& name) override;
    void Release() override;

private:
    CString m_folder;
    int m_fd = -1;
};
