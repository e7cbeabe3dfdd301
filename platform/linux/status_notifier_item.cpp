#include "platform/linux/status_notifier_item.h"

#include <gio/gio.h>
#include <unistd.h>

#include "core/wide_text.h"
#include "platform/linux/bus_connection.h"
#include "platform/linux/tray_pictures.h"
#include "ui/framework/messages.h"

namespace {

constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kItemPath = "/StatusNotifierItem";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
// What a host is told when it asks for the item's menu: there is none, ask with ContextMenu instead.
constexpr const char* kNoMenu = "/NO_DBUSMENU";
constexpr int kCallTimeoutMs = 2000;
constexpr int kPixmapSizes[] = {16, 22, 24, 32, 48, 64};

constexpr const char* kIntrospection = R"xml(<node>
  <interface name="org.kde.StatusNotifierItem">
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="WindowId" type="i" access="read"/>
    <property name="IconName" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="OverlayIconName" type="s" access="read"/>
    <property name="OverlayIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionIconName" type="s" access="read"/>
    <property name="AttentionIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionMovieName" type="s" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <property name="Menu" type="o" access="read"/>
    <method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="SecondaryActivate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Scroll"><arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/></method>
    <signal name="NewTitle"/>
    <signal name="NewIcon"/>
    <signal name="NewAttentionIcon"/>
    <signal name="NewOverlayIcon"/>
    <signal name="NewToolTip"/>
    <signal name="NewStatus"><arg name="status" type="s"/></signal>
  </interface>
</node>)xml";

} // namespace

struct StatusNotifierItem::Shared {
    PostToUi post;
    std::atomic<bool> available{false};

    // --- UI thread ---
    bool alive = true; // cleared when the item goes
    std::function<void()> changed;
    std::function<void(unsigned)> onMouse;

    // --- Bus thread ---
    GDBusConnection* connection = nullptr;
    GDBusNodeInfo* node = nullptr;
    guint watch = 0;
    guint hostSignal = 0;
    guint owner = 0;
    guint object = 0;
    bool watcherPresent = false;
    bool hostRegistered = false;
    bool nameOwned = false;
    bool wanted = false;
    std::string serviceName;
    std::string title;
    std::vector<Pixmap> pixmaps;
    GCancellable* calls = nullptr;

    // To the UI thread, unless the item has gone by then.
    void ToUi(std::function<void(Shared&)> call)
    {
        post([self = this, call = std::move(call), keep = keepAlive.lock()] {
            if (keep && self->alive)
                call(*self);
        });
    }
    std::weak_ptr<Shared> keepAlive;

    void SetAvailable(bool now)
    {
        if (available.exchange(now) != now)
            ToUi([](Shared& s) {
                if (s.changed)
                    s.changed();
            });
    }
    void UpdateAvailable() { SetAvailable(watcherPresent && hostRegistered); }

    void QueryHost();
    void Register();
    void Export();
    void Unexport();
    void Emit(const char* signal);
};

namespace {

GVariant* PixmapsVariant(const std::vector<StatusNotifierItem::Pixmap>& pixmaps)
{
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("a(iiay)"));
    for (const auto& p : pixmaps) {
        GVariant* bytes = g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, p.argb.data(), p.argb.size(), 1);
        g_variant_builder_add(&builder, "(ii@ay)", p.width, p.height, bytes);
    }
    return g_variant_builder_end(&builder);
}

void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant*,
                  GDBusMethodInvocation* invocation, gpointer data)
{
    auto& s = *static_cast<StatusNotifierItem::Shared*>(data);
    const std::string name = method;
    unsigned message = 0;
    if (name == "Activate")
        message = WM_LBUTTONDOWN;
    else if (name == "ContextMenu")
        message = WM_RBUTTONUP;
    else if (name == "SecondaryActivate")
        message = WM_MBUTTONDOWN;
    if (message)
        s.ToUi([message](StatusNotifierItem::Shared& ui) {
            if (ui.onMouse)
                ui.onMouse(message);
        });
    g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* OnGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* property,
                        GError** error, gpointer data)
{
    const auto& s = *static_cast<StatusNotifierItem::Shared*>(data);
    const std::string name = property;
    if (name == "Category")
        return g_variant_new_string("Hardware");
    if (name == "Id" || name == "Title")
        return g_variant_new_string(s.title.c_str());
    if (name == "Status")
        return g_variant_new_string("Active");
    if (name == "WindowId")
        return g_variant_new_int32(0);
    if (name == "IconName" || name == "OverlayIconName" || name == "AttentionIconName" ||
        name == "AttentionMovieName")
        return g_variant_new_string("");
    if (name == "IconPixmap")
        return PixmapsVariant(s.pixmaps);
    if (name == "OverlayIconPixmap" || name == "AttentionIconPixmap")
        return PixmapsVariant({});
    if (name == "ToolTip")
        return g_variant_new("(s@a(iiay)ss)", "", PixmapsVariant({}), s.title.c_str(), "");
    if (name == "ItemIsMenu")
        return g_variant_new_boolean(FALSE);
    if (name == "Menu")
        return g_variant_new_object_path(kNoMenu);
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", property);
    return nullptr;
}

const GDBusInterfaceVTable kItemVTable = {OnMethodCall, OnGetProperty, nullptr, {}};

} // namespace

void StatusNotifierItem::Shared::QueryHost()
{
    g_dbus_connection_call(
        connection, kWatcherName, kWatcherPath, "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", kWatcherName, "IsStatusNotifierHostRegistered"), G_VARIANT_TYPE("(v)"),
        G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, calls,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            GError* error = nullptr;
            GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
            if (error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
                g_error_free(error);
                return;
            }
            auto& s = *static_cast<Shared*>(data);
            // A watcher that cannot say is taken at its word that it shows items.
            bool host = true;
            if (reply) {
                GVariant* value = nullptr;
                g_variant_get(reply, "(v)", &value);
                if (value && g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN))
                    host = g_variant_get_boolean(value);
                if (value)
                    g_variant_unref(value);
                g_variant_unref(reply);
            }
            if (error)
                g_error_free(error);
            if (!s.watcherPresent)
                return;
            s.hostRegistered = host;
            s.UpdateAvailable();
            if (s.available.load())
                s.Register();
        },
        this);
}

void StatusNotifierItem::Shared::Register()
{
    if (!wanted || !nameOwned || !watcherPresent)
        return;
    g_dbus_connection_call(
        connection, kWatcherName, kWatcherPath, kWatcherName, "RegisterStatusNotifierItem",
        g_variant_new("(s)", serviceName.c_str()), nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, calls,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            GError* error = nullptr;
            GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
            if (reply)
                g_variant_unref(reply);
            if (!error)
                return;
            const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
            g_error_free(error);
            if (cancelled)
                return;
            // A watcher that refuses the item shows nothing of it: another tray may.
            auto& s = *static_cast<Shared*>(data);
            s.hostRegistered = false;
            s.UpdateAvailable();
        },
        this);
}

void StatusNotifierItem::Shared::Export()
{
    if (!object) {
        GError* error = nullptr;
        object = g_dbus_connection_register_object(connection, kItemPath, node->interfaces[0], &kItemVTable,
                                                   this, nullptr, &error);
        if (error)
            g_error_free(error);
        if (!object)
            return;
    }
    if (owner)
        return;
    static std::atomic<int> counter{0};
    serviceName =
        "org.kde.StatusNotifierItem-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    owner = g_bus_own_name_on_connection(
        connection, serviceName.c_str(), G_BUS_NAME_OWNER_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, gpointer data) {
            auto& s = *static_cast<Shared*>(data);
            s.nameOwned = true;
            s.Register();
        },
        [](GDBusConnection*, const gchar*, gpointer data) { static_cast<Shared*>(data)->nameOwned = false; },
        this, nullptr);
}

void StatusNotifierItem::Shared::Unexport()
{
    if (owner)
        g_bus_unown_name(owner);
    owner = 0;
    nameOwned = false;
    if (object)
        g_dbus_connection_unregister_object(connection, object);
    object = 0;
}

void StatusNotifierItem::Shared::Emit(const char* signal)
{
    if (object)
        g_dbus_connection_emit_signal(connection, nullptr, kItemPath, kItemInterface, signal, nullptr,
                                      nullptr);
}

StatusNotifierItem::StatusNotifierItem(std::string busAddress, PostToUi post)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->post = std::move(post);
    m_shared->keepAlive = m_shared;
    m_shared->changed = [this] { Changed(); };
    m_shared->node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    m_shared->calls = g_cancellable_new();
    m_bus = std::make_unique<BusConnection>(std::move(busAddress), [shared = m_shared](GDBusConnection* c) {
        Shared& s = *shared;
        s.connection = c;
        s.watch = g_bus_watch_name_on_connection(
            c, kWatcherName, G_BUS_NAME_WATCHER_FLAGS_NONE,
            [](GDBusConnection*, const gchar*, const gchar*, gpointer data) {
                auto& st = *static_cast<Shared*>(data);
                st.watcherPresent = true;
                st.QueryHost();
            },
            [](GDBusConnection*, const gchar*, gpointer data) {
                auto& st = *static_cast<Shared*>(data);
                st.watcherPresent = false;
                st.hostRegistered = false;
                st.UpdateAvailable();
            },
            &s, nullptr);
        // A host that starts or ends behind a running watcher.
        s.hostSignal = g_dbus_connection_signal_subscribe(
            c, kWatcherName, kWatcherName, nullptr, kWatcherPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
            [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* signal, GVariant*,
               gpointer data) {
                const std::string name = signal;
                if (name == "StatusNotifierHostRegistered" || name == "StatusNotifierHostUnregistered")
                    static_cast<Shared*>(data)->QueryHost();
            },
            &s, nullptr);
    });
    m_bus->SetClosing([shared = m_shared](GDBusConnection* c) {
        Shared& s = *shared;
        g_cancellable_cancel(s.calls);
        if (s.watch)
            g_bus_unwatch_name(s.watch);
        if (s.hostSignal)
            g_dbus_connection_signal_unsubscribe(c, s.hostSignal);
        s.Unexport();
    });
}

StatusNotifierItem::~StatusNotifierItem()
{
    m_shared->alive = false;
    m_shared->changed = nullptr;
    m_bus.reset();
    g_object_unref(m_shared->calls);
    if (m_shared->node)
        g_dbus_node_info_unref(m_shared->node);
}

bool StatusNotifierItem::Available() const
{
    return m_shared->available.load();
}

bool StatusNotifierItem::Show(const TrayIconData& data)
{
    if (!m_wanted || data.iconFile != m_iconFile) {
        m_pixmaps = MakePixmaps(data.iconFile);
        m_iconFile = data.iconFile;
    }
    m_wanted = true;
    m_shared->onMouse = data.onMouse;
    m_bus->Post([shared = m_shared, title = WideToUtf8(data.tip), pixmaps = m_pixmaps](GDBusConnection* c) {
        Shared& s = *shared;
        if (!c || !s.node)
            return;
        const bool changedTitle = s.title != title;
        s.title = title;
        s.pixmaps = pixmaps;
        const bool exported = s.object != 0;
        s.wanted = true;
        s.Export();
        if (exported) {
            if (changedTitle) {
                s.Emit("NewTitle");
                s.Emit("NewToolTip");
            }
            s.Emit("NewIcon");
        }
    });
    return Available();
}

void StatusNotifierItem::Hide()
{
    if (!m_wanted)
        return;
    m_wanted = false;
    m_shared->onMouse = nullptr;
    m_bus->Post([shared = m_shared](GDBusConnection* c) {
        if (!c)
            return;
        shared->wanted = false;
        shared->Unexport();
    });
}

std::vector<StatusNotifierItem::Pixmap> StatusNotifierItem::MakePixmaps(const std::string& iconFile)
{
    const std::vector<ImagePtr> pictures = LoadIconPictures(iconFile);
    std::vector<Pixmap> pixmaps;
    for (const int size : kPixmapSizes) {
        const Surface picture = TrayPicture(pictures, size);
        if (!picture.IsValid())
            continue;
        Pixmap p;
        p.width = picture.Width();
        p.height = picture.Height();
        p.argb.reserve(static_cast<size_t>(p.width * p.height * 4));
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const uint32_t straight = picture.Pixel(x, y);
                for (const int shift : {24, 16, 8, 0})
                    p.argb.push_back(static_cast<uint8_t>(straight >> shift));
            }
        }
        pixmaps.push_back(std::move(p));
    }
    return pixmaps;
}
