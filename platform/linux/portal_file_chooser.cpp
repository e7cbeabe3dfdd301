#include "platform/linux/portal_file_chooser.h"

#include <atomic>
#include <condition_variable>
#include <gio/gio.h>
#include <mutex>
#include <optional>

#include "core/wide_text.h"
#include "platform/cancel_token.h"
#include "platform/linux/bus_connection.h"

namespace {

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kChooserInterface = "org.freedesktop.portal.FileChooser";
constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";
constexpr int kCallTimeoutMs = 10000;

struct Exchange {
    std::mutex lock;
    std::condition_variable changed;
    bool failed = false;
    std::optional<uint32_t> response;
    std::string uri;
    std::string handle; // the request object
    guint subscription = 0;

    void Finish(std::function<void(Exchange&)> change)
    {
        {
            const std::lock_guard guard(lock);
            change(*this);
        }
        changed.notify_all();
    }
};

GVariant* Filter(const FileTypeFilter& filter)
{
    GVariantBuilder patterns;
    g_variant_builder_init(&patterns, G_VARIANT_TYPE("a(us)"));
    // Kind 0: a glob pattern.
    for (const CString& pattern : filter.patterns)
        g_variant_builder_add(&patterns, "(us)", 0u, WideToUtf8(pattern).c_str());
    return g_variant_new("(sa(us))", WideToUtf8(filter.name).c_str(), &patterns);
}

GVariant* FolderBytes(const NativeFilePath& folder)
{
    // A byte string with its terminating NUL, as the portal takes file names.
    return g_variant_new_bytestring(folder.c_str());
}

GVariant* Options(const FileChooserRequest& request, const std::string& token)
{
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(TRUE));
    if (!request.filters.empty()) {
        GVariantBuilder filters;
        g_variant_builder_init(&filters, G_VARIANT_TYPE("a(sa(us))"));
        for (const FileTypeFilter& filter : request.filters)
            g_variant_builder_add_value(&filters, Filter(filter));
        g_variant_builder_add(&options, "{sv}", "filters", g_variant_builder_end(&filters));
        g_variant_builder_add(&options, "{sv}", "current_filter", Filter(request.filters.front()));
    }
    if (!request.folder.empty())
        g_variant_builder_add(&options, "{sv}", "current_folder", FolderBytes(request.folder));
    if (request.kind == FileChooserRequest::Kind::Save && !request.suggestedName.empty())
        g_variant_builder_add(&options, "{sv}", "current_name",
                              g_variant_new_string(WideToUtf8(request.suggestedName).c_str()));
    return g_variant_builder_end(&options);
}

void FreeExchange(gpointer data)
{
    delete static_cast<std::shared_ptr<Exchange>*>(data);
}

void OnResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                GVariant* parameters, gpointer data)
{
    auto& exchange = **static_cast<std::shared_ptr<Exchange>*>(data);
    guint32 response = 2;
    GVariant* results = nullptr;
    g_variant_get(parameters, "(u@a{sv})", &response, &results);
    std::string uri;
    if (results) {
        const gchar** uris = nullptr;
        if (g_variant_lookup(results, "uris", "^a&s", &uris) && uris) {
            if (uris[0])
                uri = uris[0];
            g_free(uris);
        }
        g_variant_unref(results);
    }
    exchange.Finish([&](Exchange& e) {
        e.response = response;
        e.uri = uri;
    });
}

// The request object's path that the portal will use for our token: it is known before the call, so the
// answer cannot come before we listen for it.
std::string RequestPath(GDBusConnection* connection, const std::string& token)
{
    std::string sender =
        g_dbus_connection_get_unique_name(connection) ? g_dbus_connection_get_unique_name(connection) : "";
    if (!sender.empty() && sender.front() == ':')
        sender.erase(0, 1);
    for (char& c : sender) {
        if (c == '.')
            c = '_';
    }
    return std::string(kPortalPath) + "/request/" + sender + "/" + token;
}

} // namespace

PortalFileChooser::PortalFileChooser(std::string busAddress) : m_address(std::move(busAddress)) {}

ChooserOutcome PortalFileChooser::Show(const FileChooserRequest& request, const std::string& parentWindow,
                                       const CancelToken* cancel, std::chrono::milliseconds timeout)
{
    if (m_address.empty())
        return ChooserOutcome::Failed();
    BusConnection bus(m_address, nullptr);
    if (!bus.WaitConnected())
        return ChooserOutcome::Failed();
    static std::atomic<unsigned> counter{0};
    const std::string token = "torvik" + std::to_string(++counter);
    auto exchange = std::make_shared<Exchange>();
    const bool save = request.kind == FileChooserRequest::Kind::Save;
    bus.Run(
        [exchange, request, parentWindow, token, save](GDBusConnection* c) {
            if (!c) {
                exchange->Finish([](Exchange& e) { e.failed = true; });
                return;
            }
            exchange->handle = RequestPath(c, token);
            // Any sender: a portal started for this call has no name yet for GDBus to match on, and
            // the path holds our own unique name and token.
            exchange->subscription = g_dbus_connection_signal_subscribe(
                c, nullptr, kRequestInterface, "Response", exchange->handle.c_str(), nullptr,
                G_DBUS_SIGNAL_FLAGS_NONE, OnResponse, new std::shared_ptr<Exchange>(exchange), FreeExchange);
            g_dbus_connection_call(
                c, kPortalName, kPortalPath, kChooserInterface, save ? "SaveFile" : "OpenFile",
                g_variant_new("(ss@a{sv})", parentWindow.c_str(), WideToUtf8(request.title).c_str(),
                              Options(request, token)),
                G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr,
                [](GObject* source, GAsyncResult* result, gpointer data) {
                    auto* e = static_cast<std::shared_ptr<Exchange>*>(data);
                    GError* error = nullptr;
                    GVariant* reply =
                        g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
                    if (reply) {
                        // An older portal may have chosen a path of its own for the request.
                        const gchar* handle = nullptr;
                        g_variant_get(reply, "(&o)", &handle);
                        if (handle && (*e)->handle != handle) {
                            g_dbus_connection_signal_unsubscribe(G_DBUS_CONNECTION(source),
                                                                 (*e)->subscription);
                            (*e)->handle = handle;
                            (*e)->subscription = g_dbus_connection_signal_subscribe(
                                G_DBUS_CONNECTION(source), nullptr, kRequestInterface, "Response", handle,
                                nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnResponse,
                                new std::shared_ptr<Exchange>(*e), FreeExchange);
                        }
                        g_variant_unref(reply);
                    }
                    if (error) {
                        g_error_free(error);
                        (*e)->Finish([](Exchange& x) { x.failed = true; });
                    }
                    delete e;
                },
                new std::shared_ptr<Exchange>(exchange));
        },
        BusConnection::kConnectTimeout);

    CancelToken::Registration wake;
    if (cancel)
        wake = cancel->OnCancel([exchange] { exchange->changed.notify_all(); });
    bool answered = false;
    {
        std::unique_lock guard(exchange->lock);
        answered = exchange->changed.wait_for(guard, timeout, [&] {
            return exchange->failed || exchange->response.has_value() || (cancel && cancel->IsCancelled());
        });
        answered = answered && (exchange->failed || exchange->response.has_value());
    }
    wake = CancelToken::Registration();

    ChooserOutcome outcome = ChooserOutcome::Cancelled();
    if (!answered) {
        // Given up on: the portal's dialog goes too.
        bus.Run(
            [exchange](GDBusConnection* c) {
                if (c)
                    g_dbus_connection_call(c, kPortalName, exchange->handle.c_str(), kRequestInterface,
                                           "Close", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs,
                                           nullptr, nullptr, nullptr);
            },
            BusConnection::kConnectTimeout);
    } else if (exchange->failed) {
        outcome = ChooserOutcome::Failed();
    } else if (*exchange->response == 0) {
        gchar* path = g_filename_from_uri(exchange->uri.c_str(), nullptr, nullptr);
        outcome = path && *path ? ChooserOutcome::Chosen(NativeFilePath(path)) : ChooserOutcome::Failed();
        g_free(path);
    } else if (*exchange->response != 1) {
        // The interaction ended otherwise: the portal could not show its dialog.
        outcome = ChooserOutcome::Failed();
    }
    bus.Run(
        [exchange](GDBusConnection* c) {
            if (c && exchange->subscription)
                g_dbus_connection_signal_unsubscribe(c, exchange->subscription);
        },
        BusConnection::kConnectTimeout);
    return outcome;
}
