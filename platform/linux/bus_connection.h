#pragma once
// A connection to a D-Bus message bus (GDBus) served by a thread of its own: the connection is made, used
// and closed on that thread, whose main context runs every callback (method calls to our objects,
// signals, name watches, replies). Other threads hand it work with Post or Run. The thread sleeps in
// poll while nothing arrives.
//
// GDBus headers stay in the .cpp files of the D-Bus users; this header only names the types.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

struct _GDBusConnection;
struct _GMainContext;

class BusConnection {
public:
    static constexpr std::chrono::milliseconds kConnectTimeout{3000};

    // The session bus's address: $DBUS_SESSION_BUS_ADDRESS, else the socket $XDG_RUNTIME_DIR/bus when
    // it exists; empty when there is neither. A bus is never started for us (no autolaunch).
    static std::string SessionAddress();

    // Starts the thread, which connects and then runs `connected` with the connection (on the thread);
    // an empty address, an unreachable bus or a connection not made within kConnectTimeout never runs it.
    BusConnection(std::string address, std::function<void(_GDBusConnection*)> connected);
    // Runs `closing` (if set) on the thread, closes the connection and ends the thread.
    ~BusConnection();
    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    // Runs just before the connection closes, on the thread (to unregister objects, stop watches).
    void SetClosing(std::function<void(_GDBusConnection*)> closing);

    // Runs `call` with the connection (null when not connected) on the thread, in order with other calls.
    void Post(std::function<void(_GDBusConnection*)> call);
    // The same, waiting until it ran; false when it did not run within `timeout` (it may still run).
    bool Run(std::function<void(_GDBusConnection*)> call, std::chrono::milliseconds timeout);
    // Waits until the connection is made or has failed; whether it is made.
    bool WaitConnected(std::chrono::milliseconds timeout = kConnectTimeout);
    // The bus thread's main context (for timeouts of its users).
    _GMainContext* Context() const;

    // The thread's state, shared with what runs on it.
    struct State;

private:
    std::shared_ptr<State> m_state;
};
