#include "tests/platform/bus_service.h"

#include <condition_variable>
#include <mutex>

struct BusService::State {
    std::string name;
    std::string path;
    GDBusNodeInfo* node = nullptr;
    MethodHandler methods;
    PropertyHandler properties;
    GDBusConnection* connection = nullptr;
    guint object = 0;
    guint owner = 0;
    std::mutex lock;
    std::condition_variable changed;
    bool owned = false;
};

namespace {

void OnCall(GDBusConnection*, const gchar* sender, const gchar*, const gchar*, const gchar* method,
            GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data)
{
    auto& s = *static_cast<BusService::State*>(data);
    GVariant* reply = s.methods ? s.methods(method, parameters, sender ? sender : "") : nullptr;
    g_dbus_method_invocation_return_value(invocation, reply);
}

GVariant* OnGet(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* property,
                GError** error, gpointer data)
{
    auto& s = *static_cast<BusService::State*>(data);
    GVariant* value = s.properties ? s.properties(property) : nullptr;
    if (!value)
        g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no %s", property);
    return value;
}

const GDBusInterfaceVTable kVTable = {OnCall, OnGet, nullptr, {}};

} // namespace

BusService::BusService(const std::string& address, std::string name, std::string path,
                       const char* introspection, MethodHandler methods, PropertyHandler properties)
    : m_state(std::make_shared<State>())
{
    m_state->name = std::move(name);
    m_state->path = std::move(path);
    m_state->node = g_dbus_node_info_new_for_xml(introspection, nullptr);
    m_state->methods = std::move(methods);
    m_state->properties = std::move(properties);
    m_bus = std::make_unique<BusConnection>(address, [state = m_state](GDBusConnection* c) {
        State& s = *state;
        s.connection = c;
        if (s.node) {
            for (GDBusInterfaceInfo** i = s.node->interfaces; *i; ++i)
                s.object =
                    g_dbus_connection_register_object(c, s.path.c_str(), *i, &kVTable, &s, nullptr, nullptr);
        }
        s.owner = g_bus_own_name_on_connection(
            c, s.name.c_str(), G_BUS_NAME_OWNER_FLAGS_NONE,
            [](GDBusConnection*, const gchar*, gpointer data) {
                auto& st = *static_cast<State*>(data);
                {
                    const std::lock_guard guard(st.lock);
                    st.owned = true;
                }
                st.changed.notify_all();
            },
            nullptr, &s, nullptr);
    });
    m_bus->SetClosing([state = m_state](GDBusConnection* c) {
        if (state->owner)
            g_bus_unown_name(state->owner);
        if (state->object)
            g_dbus_connection_unregister_object(c, state->object);
    });
}

BusService::~BusService()
{
    m_bus.reset();
    if (m_state->node)
        g_dbus_node_info_unref(m_state->node);
}

bool BusService::WaitOwned(std::chrono::milliseconds timeout)
{
    std::unique_lock guard(m_state->lock);
    return m_state->changed.wait_for(guard, timeout, [&] { return m_state->owned; });
}

void BusService::Emit(const std::string& path, const std::string& interface, const std::string& signal,
                      GVariant* parameters)
{
    if (parameters)
        g_variant_ref_sink(parameters);
    m_bus->Run(
        [=](GDBusConnection* c) {
            if (c)
                g_dbus_connection_emit_signal(c, nullptr, path.c_str(), interface.c_str(), signal.c_str(),
                                              parameters, nullptr);
        },
        std::chrono::seconds(5));
    if (parameters)
        g_variant_unref(parameters);
}

GVariant* BusService::Call(const std::string& name, const std::string& path, const std::string& interface,
                           const std::string& method, GVariant* parameters, const GVariantType* replyType)
{
    GDBusConnection* c = nullptr;
    m_bus->Run(
        [&](GDBusConnection* connection) {
            c = connection ? G_DBUS_CONNECTION(g_object_ref(connection)) : nullptr;
        },
        std::chrono::seconds(5));
    if (!c) {
        if (parameters)
            g_variant_unref(g_variant_ref_sink(parameters));
        return nullptr;
    }
    // A connection answers calls made from any thread.
    GVariant* reply =
        g_dbus_connection_call_sync(c, name.c_str(), path.c_str(), interface.c_str(), method.c_str(),
                                    parameters, replyType, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    g_object_unref(c);
    return reply;
}
