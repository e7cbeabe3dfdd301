#pragma once
// A D-Bus message bus of the test's own: a dbus-daemon started on a configuration that listens in a
// temporary folder and activates no services, so nothing of the machine's session answers on it. The
// daemon ends with the object.

#include <string>
#include <sys/types.h>

#include "tests/support/scoped_folders.h"

class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // The address to connect to; empty when the daemon did not start (the test then fails).
    const std::string& Address() const { return m_address; }

private:
    ScopedTempDir m_folder;
    pid_t m_daemon = 0;
    std::string m_address;
};
