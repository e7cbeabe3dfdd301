#pragma once
// A service a test puts on a bus: one object under a name it owns, answering method calls and property
// reads through handlers (run on the connection's thread). It stands in for the desktop's side — a
// StatusNotifierWatcher, the desktop portal — and the test can call other services on its connection.

#include <chrono>
#include <functional>
#include <gio/gio.h>
#include <memory>
#include <string>

#include "platform/linux/bus_connection.h"

class BusService {
public:
    // The reply to a call (floating references are taken), or null for an empty reply.
    using MethodHandler =
        std::function<GVariant*(const std::string& method, GVariant* parameters, const std::string& sender)>;
    // The value of a property, or null when there is none.
    using PropertyHandler = std::function<GVariant*(const std::string& property)>;

    BusService(const std::string& address, std::string name, std::string path, const char* introspection,
               MethodHandler methods, PropertyHandler properties = nullptr);
    ~BusService();
    BusService(const BusService&) = delete;
    BusService& operator=(const BusService&) = delete;

    // Whether the name is ours within the time.
    bool WaitOwned(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Emits a signal (on the connection's thread; any thread may ask).
    void Emit(const std::string& path, const std::string& interface, const std::string& signal,
              GVariant* parameters = nullptr);
    // A call to another service, waited for; null on an error.
    GVariant* Call(const std::string& name, const std::string& path, const std::string& interface,
                   const std::string& method, GVariant* parameters, const GVariantType* replyType = nullptr);

    struct State;

private:
    std::shared_ptr<State> m_state;
    std::unique_ptr<BusConnection> m_bus;
};
