// The tray icon as a StatusNotifierItem on a bus of the test's own, with the test as the watcher and as
// the host that shows the item: registration (also with a watcher that starts later or restarts), what
// the host reads, and the host's clicks reaching the program.

#include <gtest/gtest.h>

#include <deque>
#include <mutex>
#include <set>
#include <thread>

#include "platform/linux/status_notifier_item.h"
#include "tests/platform/bus_service.h"
#include "tests/platform/private_bus.h"
#include "tests/support/scoped_folders.h"
#include "ui/framework/messages.h"

using namespace std::chrono_literals;

namespace {

constexpr const char* kWatcherXml = R"xml(<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>)xml";

// The desktop's watcher: records the items registered with it.
class FakeWatcher {
public:
    FakeWatcher(const std::string& address, bool hostRegistered)
        : m_host(hostRegistered),
          m_service(
              address, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher", kWatcherXml,
              [this](const std::string& method, GVariant* parameters, const std::string&) -> GVariant* {
                  if (method == "RegisterStatusNotifierItem") {
                      const gchar* service = nullptr;
                      g_variant_get(parameters, "(&s)", &service);
                      const std::lock_guard guard(m_lock);
                      m_items.push_back(service);
                  }
                  return nullptr;
              },
              [this](const std::string& property) -> GVariant* {
                  if (property == "IsStatusNotifierHostRegistered")
                      return g_variant_new_boolean(m_host.load());
                  if (property == "ProtocolVersion")
                      return g_variant_new_int32(0);
                  return nullptr;
              })
    {
        EXPECT_TRUE(m_service.WaitOwned());
    }

    std::vector<std::string> Items() const
    {
        const std::lock_guard guard(m_lock);
        return m_items;
    }
    void SetHost(bool registered)
    {
        m_host = registered;
        m_service.Emit("/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                       "StatusNotifierHostRegistered");
    }
    BusService& Service() { return m_service; }

private:
    std::atomic<bool> m_host;
    mutable std::mutex m_lock;
    std::vector<std::string> m_items;
    BusService m_service;
};

class StatusNotifierItemTest : public ::testing::Test {
protected:
    StatusNotifierItemTest()
    {
        EXPECT_FALSE(bus.Address().empty()) << "dbus-daemon did not start";
        data.iconFile = (BuildBinDir() / "skins" / "theme1" / "Torvik.ico").string();
        data.tip = L"Corvid Z5";
        data.onMouse = [this](unsigned message) { mouse.push_back(message); };
    }

    // What the item hands to the UI thread runs here, on the test's thread.
    StatusNotifierItem::PostToUi Post()
    {
        return [this](std::function<void()> call) {
            const std::lock_guard guard(m_lock);
            m_posted.push_back(std::move(call));
        };
    }
    // Runs posted calls until `done` holds (or 5 s passed); whether it holds.
    template <class Done> bool RunUntil(Done done)
    {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::deque<std::function<void()>> calls;
            {
                const std::lock_guard guard(m_lock);
                calls.swap(m_posted);
            }
            for (auto& call : calls)
                call();
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }

    GVariant* ItemProperty(FakeWatcher& host, const std::string& service, const char* property)
    {
        GVariant* reply = host.Service().Call(
            service, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
            g_variant_new("(ss)", "org.kde.StatusNotifierItem", property), G_VARIANT_TYPE("(v)"));
        if (!reply)
            return nullptr;
        GVariant* value = nullptr;
        g_variant_get(reply, "(v)", &value);
        g_variant_unref(reply);
        return value;
    }

    PrivateBus bus;
    TrayIconData data;
    std::vector<unsigned> mouse;
    std::mutex m_lock;
    std::deque<std::function<void()>> m_posted;
};

TEST_F(StatusNotifierItemTest, RegistersWithAWatcherThatComesLaterAndAnswersItsHost)
{
    StatusNotifierItem item(bus.Address(), Post());
    int changes = 0;
    item.SetChanged([&] { ++changes; });
    std::this_thread::sleep_for(100ms);
    RunUntil([] { return true; });
    EXPECT_FALSE(item.Available()) << "no watcher yet";

    FakeWatcher watcher(bus.Address(), true);
    ASSERT_TRUE(RunUntil([&] { return changes == 1; }));
    EXPECT_TRUE(item.Available());
    EXPECT_TRUE(item.Show(data));
    ASSERT_TRUE(RunUntil([&] { return watcher.Items().size() == 1; }));
    const std::string service = watcher.Items()[0];
    EXPECT_TRUE(service.starts_with("org.kde.StatusNotifierItem-")) << service;

    // What the host reads.
    GVariant* title = ItemProperty(watcher, service, "Title");
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(g_variant_get_string(title, nullptr), "Corvid Z5");
    g_variant_unref(title);
    GVariant* tip = ItemProperty(watcher, service, "ToolTip");
    ASSERT_NE(tip, nullptr);
    const gchar* tipTitle = nullptr;
    g_variant_get_child(tip, 2, "&s", &tipTitle);
    EXPECT_STREQ(tipTitle, "Corvid Z5");
    g_variant_unref(tip);
    GVariant* menu = ItemProperty(watcher, service, "Menu");
    ASSERT_NE(menu, nullptr);
    EXPECT_STREQ(g_variant_get_string(menu, nullptr), "/NO_DBUSMENU");
    g_variant_unref(menu);
    GVariant* pixmaps = ItemProperty(watcher, service, "IconPixmap");
    ASSERT_NE(pixmaps, nullptr);
    std::set<int> sizes;
    for (gsize i = 0; i < g_variant_n_children(pixmaps); ++i) {
        gint32 w = 0;
        gint32 h = 0;
        GVariant* bytes = nullptr;
        g_variant_get_child(pixmaps, i, "(ii@ay)", &w, &h, &bytes);
        EXPECT_EQ(g_variant_n_children(bytes), static_cast<gsize>(w * h * 4));
        // Network byte order: alpha first; the middle of the icon is opaque.
        const auto* argb = static_cast<const uint8_t*>(g_variant_get_data(bytes));
        EXPECT_EQ(argb[((h / 2) * w + w / 2) * 4], 255) << w;
        g_variant_unref(bytes);
        EXPECT_EQ(w, h);
        sizes.insert(w);
    }
    g_variant_unref(pixmaps);
    EXPECT_TRUE(sizes.contains(22) && sizes.contains(32)) << sizes.size();

    // The host's clicks.
    for (const char* method : {"Activate", "ContextMenu", "Scroll"}) {
        GVariant* args = std::string(method) == "Scroll" ? g_variant_new("(is)", 1, "vertical")
                                                         : g_variant_new("(ii)", 100, 200);
        GVariant* reply = watcher.Service().Call(service, "/StatusNotifierItem", "org.kde.StatusNotifierItem",
                                                 method, args);
        ASSERT_NE(reply, nullptr) << method;
        g_variant_unref(reply);
    }
    ASSERT_TRUE(RunUntil([&] { return mouse.size() == 2; }));
    EXPECT_EQ(mouse, (std::vector<unsigned>{WM_LBUTTONDOWN, WM_RBUTTONUP}));

    // Hidden, the item leaves the bus.
    item.Hide();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(ItemProperty(watcher, service, "Title"), nullptr);
}

TEST_F(StatusNotifierItemTest, ARestartedWatcherGetsTheItemAgain)
{
    StatusNotifierItem item(bus.Address(), Post());
    auto watcher = std::make_unique<FakeWatcher>(bus.Address(), true);
    ASSERT_TRUE(RunUntil([&] { return item.Available(); }));
    item.Show(data);
    ASSERT_TRUE(RunUntil([&] { return watcher->Items().size() == 1; }));

    watcher.reset();
    ASSERT_TRUE(RunUntil([&] { return !item.Available(); }));
    EXPECT_FALSE(item.Showing());
    watcher = std::make_unique<FakeWatcher>(bus.Address(), true);
    ASSERT_TRUE(RunUntil([&] { return watcher->Items().size() == 1; }));
    EXPECT_TRUE(item.Showing());
}

TEST_F(StatusNotifierItemTest, AWatcherWithoutAHostIsNoTray)
{
    StatusNotifierItem item(bus.Address(), Post());
    FakeWatcher watcher(bus.Address(), false);
    std::this_thread::sleep_for(200ms);
    RunUntil([] { return true; });
    EXPECT_FALSE(item.Available());
    watcher.SetHost(true);
    EXPECT_TRUE(RunUntil([&] { return item.Available(); }));
}

TEST_F(StatusNotifierItemTest, NoBusNoTray)
{
    StatusNotifierItem item("", Post());
    EXPECT_FALSE(item.Available());
    EXPECT_FALSE(item.Show(data));
    item.Hide();
    // An address nobody listens on ends as quickly.
    ScopedTempDir folder;
    StatusNotifierItem nowhere("unix:path=" + (folder.Path() / "none").string(), Post());
    EXPECT_FALSE(nowhere.Show(data));
}

} // namespace
