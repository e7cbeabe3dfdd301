#include "platform/linux/bus_connection.h"

#include <condition_variable>
#include <cstdlib>
#include <gio/gio.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>

struct BusConnection::State {
    std::string address;
    std::function<void(GDBusConnection*)> connected;
    std::function<void(GDBusConnection*)> closing;
    GMainContext* context = nullptr;
    GMainLoop* loop = nullptr;
    GCancellable* cancel = nullptr;
    GSource* connectTimeout = nullptr;
    GDBusConnection* connection = nullptr; // the thread's
    std::thread thread;

    std::mutex lock;
    std::condition_variable settled;
    bool done = false; // connected or failed
    bool ok = false;

    void Settle(bool success)
    {
        {
            const std::lock_guard guard(lock);
            done = true;
            ok = success;
        }
        settled.notify_all();
    }
};

namespace {

struct Call {
    std::shared_ptr<BusConnection::State> state;
    std::function<void(GDBusConnection*)> call;
};

gboolean RunCall(gpointer data)
{
    auto* c = static_cast<Call*>(data);
    c->call(c->state->connection);
    return G_SOURCE_REMOVE;
}

void FreeCall(gpointer data)
{
    delete static_cast<Call*>(data);
}

} // namespace

std::string BusConnection::SessionAddress()
{
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return address;
    // Where systemd's user session puts the bus; GLib would otherwise try to launch one.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        const std::string socket = std::string(runtime) + "/bus";
        struct stat info {};
        if (::stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
            // The address syntax escapes everything but a few plain characters.
            gchar* escaped = g_dbus_address_escape_value(socket.c_str());
            std::string address = std::string("unix:path=") + escaped;
            g_free(escaped);
            return address;
        }
    }
    return {};
}

BusConnection::BusConnection(std::string address, std::function<void(GDBusConnection*)> connected)
    : m_state(std::make_shared<State>())
{
    State& s = *m_state;
    s.address = std::move(address);
    s.connected = std::move(connected);
    s.context = g_main_context_new();
    s.loop = g_main_loop_new(s.context, FALSE);
    s.cancel = g_cancellable_new();
    s.thread = std::thread([state = m_state] {
        State& st = *state;
        g_main_context_push_thread_default(st.context);
        if (st.address.empty()) {
            st.Settle(false);
        } else {
            // Connection time-out: a bus that accepts and never answers must not keep us waiting.
            st.connectTimeout = g_timeout_source_new(static_cast<guint>(kConnectTimeout.count()));
            g_source_set_callback(
                st.connectTimeout,
                [](gpointer data) -> gboolean {
                    g_cancellable_cancel(static_cast<GCancellable*>(data));
                    return G_SOURCE_REMOVE;
                },
                st.cancel, nullptr);
            g_source_attach(st.connectTimeout, st.context);
            g_dbus_connection_new_for_address(
                st.address.c_str(),
                static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                  G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                nullptr, st.cancel,
                [](GObject*, GAsyncResult* result, gpointer data) {
                    auto& self = *static_cast<State*>(data);
                    g_source_destroy(self.connectTimeout);
                    GError* error = nullptr;
                    self.connection = g_dbus_connection_new_for_address_finish(result, &error);
                    if (error)
                        g_error_free(error);
                    if (self.connection) {
                        // A bus that goes away ends our use of it, never the process.
                        g_dbus_connection_set_exit_on_close(self.connection, FALSE);
                        if (self.connected)
                            self.connected(self.connection);
                    }
                    self.Settle(self.connection != nullptr);
                },
                &st);
        }
        g_main_loop_run(st.loop);
        if (st.connection) {
            if (st.closing)
                st.closing(st.connection);
            // Whatever the closing sent goes out before the connection goes.
            g_dbus_connection_flush_sync(st.connection, nullptr, nullptr);
            g_dbus_connection_close_sync(st.connection, nullptr, nullptr);
            g_object_unref(st.connection);
            st.connection = nullptr;
        }
        if (st.connectTimeout) {
            g_source_destroy(st.connectTimeout);
            g_source_unref(st.connectTimeout);
            st.connectTimeout = nullptr;
        }
        // Replies still due (to our cancelled calls) are handed over before the context goes.
        while (g_main_context_iteration(st.context, FALSE)) {
        }
        g_main_context_pop_thread_default(st.context);
        st.Settle(false);
    });
}

BusConnection::~BusConnection()
{
    State& s = *m_state;
    g_cancellable_cancel(s.cancel);
    Post([state = m_state](GDBusConnection*) { g_main_loop_quit(state->loop); });
    if (s.thread.joinable())
        s.thread.join();
    g_object_unref(s.cancel);
    g_main_loop_unref(s.loop);
    g_main_context_unref(s.context);
}

void BusConnection::SetClosing(std::function<void(GDBusConnection*)> closing)
{
    Run([state = m_state, closing = std::move(closing)](GDBusConnection*) { state->closing = closing; },
        std::chrono::milliseconds(kConnectTimeout));
}

void BusConnection::Post(std::function<void(GDBusConnection*)> call)
{
    auto* c = new Call{m_state, std::move(call)};
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, RunCall, c, FreeCall);
    g_source_attach(source, m_state->context);
    g_source_unref(source);
}

bool BusConnection::Run(std::function<void(GDBusConnection*)> call, std::chrono::milliseconds timeout)
{
    struct Waiter {
        std::mutex lock;
        std::condition_variable ran;
        bool done = false;
    };
    auto waiter = std::make_shared<Waiter>();
    Post([waiter, call = std::move(call)](GDBusConnection* connection) {
        call(connection);
        {
            const std::lock_guard guard(waiter->lock);
            waiter->done = true;
        }
        waiter->ran.notify_all();
    });
    std::unique_lock guard(waiter->lock);
    return waiter->ran.wait_for(guard, timeout, [&] { return waiter->done; });
}

bool BusConnection::WaitConnected(std::chrono::milliseconds timeout)
{
    std::unique_lock guard(m_state->lock);
    m_state->settled.wait_for(guard, timeout, [&] { return m_state->done; });
    return m_state->done && m_state->ok;
}

GMainContext* BusConnection::Context() const
{
    return m_state->context;
}
