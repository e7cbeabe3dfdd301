// The file chooser at its seams: where it opens and what it remembers, zenity and kdialog through fake
// programs on PATH, the desktop portal through a fake portal on a bus of the test's own, and the order
// in which the desktop's choosers are tried.

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <thread>

#include "platform/cancel_token.h"
#include "platform/fake/scripted_file_chooser.h"
#include "platform/linux/desktop_file_chooser.h"
#include "platform/linux/portal_file_chooser.h"
#include "platform/linux/process_command_runner.h"
#include "platform/linux/program_file_chooser.h"
#include "tests/platform/bus_service.h"
#include "tests/platform/private_bus.h"
#include "tests/support/scoped_folders.h"
#include "tests/ui/headless_fixture.h"
#include "ui/framework/m_window.h"
#include "ui/framework/window_system.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

FileChooserRequest XmlRequest(FileChooserRequest::Kind kind, const NativeFilePath& folder = {})
{
    FileChooserRequest request;
    request.kind = kind;
    request.title = L"Export profile";
    request.filters = {{L"Profile (*.xml)", {L"*.xml"}}};
    request.suggestedName = L"Gaming.xml";
    request.folder = folder;
    return request;
}

// A home folder of the test's own, with a documents folder named in user-dirs.dirs.
class HomeFolder {
public:
    explicit HomeFolder(const std::string& documentsEntry = "\"$HOME/Dokumenty\"")
        : m_home("HOME", m_root.Path().string())
    {
        fs::create_directories(m_root.Path() / "Dokumenty");
        const fs::path config(std::getenv("XDG_CONFIG_HOME"));
        fs::create_directories(config);
        WriteFileBytes(
            config / "user-dirs.dirs",
            "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=" +
                documentsEntry + "\n");
    }
    ~HomeFolder() { fs::remove(fs::path(std::getenv("XDG_CONFIG_HOME")) / "user-dirs.dirs"); }
    std::string Path() const { return m_root.Path().string(); }

private:
    ScopedTempDir m_root;
    ScopedEnv m_home;
};

TEST(FileChooser, OpensInTheDocumentsFolderThenWhereTheLastFileWasChosen)
{
    HomeFolder home;
    ScriptedFileChooser chooser;
    ScopedTempDir other;
    // A folder name with a backslash and a byte that is not UTF-8: handed back exactly.
    const fs::path odd = other.Path() / "a\\b \xff";
    fs::create_directories(odd);
    const NativeFilePath chosen((odd / "c.xml").string());

    chooser.Answer(chosen);
    EXPECT_EQ(chooser.Choose(XmlRequest(FileChooserRequest::Kind::Save)), chosen);
    EXPECT_EQ(chooser.Requests().back().folder.Native(), home.Path() + "/Dokumenty");
    EXPECT_EQ(chooser.LastFolder().Native(), odd.string());

    // A cancel changes nothing; a request that names its folder keeps it.
    chooser.Answer(std::nullopt);
    EXPECT_EQ(chooser.Choose(XmlRequest(FileChooserRequest::Kind::Open)), std::nullopt);
    EXPECT_EQ(chooser.Requests().back().folder.Native(), odd.string());
    chooser.Choose(XmlRequest(FileChooserRequest::Kind::Open, NativeFilePath("/tmp")));
    EXPECT_EQ(chooser.Requests().back().folder.Native(), "/tmp");
    EXPECT_EQ(chooser.LastFolder().Native(), odd.string());

    // The last folder gone: back to the documents folder.
    fs::remove_all(other.Path() / "a\\b \xff");
    chooser.Choose(XmlRequest(FileChooserRequest::Kind::Open));
    EXPECT_EQ(chooser.Requests().back().folder.Native(), home.Path() + "/Dokumenty");
}

TEST(FileChooser, DocumentsFolderFallsBackToHome)
{
    const struct {
        const char* name;
        std::string entry;
        bool documents;
    } cases[] = {
        {"$HOME form", "\"$HOME/Dokumenty\"", true},
        {"missing folder", "\"$HOME/Nowhere\"", false},
        {"unquoted", "$HOME/Dokumenty", false},
        {"relative", "\"Dokumenty\"", false},
    };
    for (const auto& c : cases) {
        HomeFolder home(c.entry);
        EXPECT_EQ(UserDocumentsFolder().Native(), c.documents ? home.Path() + "/Dokumenty" : home.Path())
            << c.name;
    }
    ScopedTempDir elsewhere;
    HomeFolder home("\"" + elsewhere.Path().string() + "\"");
    EXPECT_EQ(UserDocumentsFolder().Native(), elsewhere.Path().string());
    fs::remove(fs::path(std::getenv("XDG_CONFIG_HOME")) / "user-dirs.dirs");
    EXPECT_EQ(UserDocumentsFolder().Native(), home.Path());
}

// zenity and kdialog stand-ins: they record their arguments (NUL-separated) and answer as told.
class FakeDialogPrograms {
public:
    FakeDialogPrograms(std::initializer_list<const char*> programs)
        : m_path("PATH", (m_folder.Path() / "bin").string() + ":/usr/bin:/bin")
    {
        fs::create_directories(m_folder.Path() / "bin");
        for (const char* program : programs) {
            const fs::path script = m_folder.Path() / "bin" / program;
            WriteFileBytes(
                script, "#!/bin/sh\n"
                        "if [ \"$1\" = \"--version\" ]; then echo \"${FAKE_VERSION:-3.44.0}\"; exit 0; fi\n"
                        "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$FAKE_ARGS\"\n"
                        "[ -n \"$FAKE_SLEEP\" ] && sleep \"$FAKE_SLEEP\"\n"
                        "printf '%s' \"$FAKE_ANSWER\"\n"
                        "exit \"${FAKE_EXIT:-0}\"\n");
            fs::permissions(script, fs::perms::owner_all);
        }
    }
    void Answer(const std::string& answer, int exitCode, const std::string& sleep = "")
    {
        m_env.clear();
        m_env.push_back(std::make_unique<ScopedEnv>("FAKE_ARGS", (m_folder.Path() / "args").string()));
        m_env.push_back(std::make_unique<ScopedEnv>("FAKE_ANSWER", answer));
        m_env.push_back(std::make_unique<ScopedEnv>("FAKE_EXIT", std::to_string(exitCode)));
        m_env.push_back(std::make_unique<ScopedEnv>("FAKE_SLEEP", sleep));
        fs::remove(m_folder.Path() / "args");
    }
    std::vector<std::string> Arguments() const
    {
        const std::string bytes = ReadFileBytes(m_folder.Path() / "args");
        std::vector<std::string> args;
        size_t start = 0;
        for (size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
            args.push_back(bytes.substr(start, end - start));
        return args;
    }

private:
    ScopedTempDir m_folder;
    ScopedEnv m_path;
    std::vector<std::unique_ptr<ScopedEnv>> m_env;
};

TEST(ProgramFileChooser, CommandLinesAndAnswers)
{
    FakeDialogPrograms fakes({"zenity", "kdialog"});
    ProcessCommandRunner runner;
    using P = ProgramFileChooser::Program;
    using K = FileChooserRequest::Kind;
    const std::string odd = "/tmp/my \"files\"/\xff\\x.xml";
    const struct {
        const char* name;
        P program;
        int zenityMajor;
        K kind;
        std::string answer;
        int exitCode;
        std::vector<std::string> args;
        ChooserOutcome::Result result;
        std::string path;
    } cases[] = {
        {"zenity open",
         P::Zenity,
         3,
         K::Open,
         "/docs/a.xml\n",
         0,
         {"--file-selection", "--title=Export profile", "--filename=/docs/",
          "--file-filter=Profile (*.xml) | *.xml", "--modal", "--attach=77"},
         ChooserOutcome::Result::Chosen,
         "/docs/a.xml"},
        {"zenity 3 save asks before replacing",
         P::Zenity,
         3,
         K::Save,
         odd + "\n",
         0,
         {"--file-selection", "--title=Export profile", "--filename=/docs/Gaming.xml", "--save",
          "--confirm-overwrite", "--file-filter=Profile (*.xml) | *.xml", "--modal", "--attach=77"},
         ChooserOutcome::Result::Chosen,
         odd},
        {"zenity 4 asks by itself",
         P::Zenity,
         4,
         K::Save,
         "/docs/b.xml\n",
         0,
         {"--file-selection", "--title=Export profile", "--filename=/docs/Gaming.xml", "--save",
          "--file-filter=Profile (*.xml) | *.xml", "--modal", "--attach=77"},
         ChooserOutcome::Result::Chosen,
         "/docs/b.xml"},
        {"kdialog open",
         P::KDialog,
         0,
         K::Open,
         "/docs/c.xml\n",
         0,
         {"--title", "Export profile", "--attach", "77", "--getopenfilename", "/docs/",
          "*.xml|Profile (*.xml)"},
         ChooserOutcome::Result::Chosen,
         "/docs/c.xml"},
        {"kdialog save",
         P::KDialog,
         0,
         K::Save,
         "/docs/d.xml\n",
         0,
         {"--title", "Export profile", "--attach", "77", "--getsavefilename", "/docs/Gaming.xml",
          "*.xml|Profile (*.xml)"},
         ChooserOutcome::Result::Chosen,
         "/docs/d.xml"},
        {"cancelled", P::Zenity, 3, K::Open, "", 1, {}, ChooserOutcome::Result::Cancelled, ""},
        {"broken program", P::Zenity, 3, K::Open, "", 255, {}, ChooserOutcome::Result::Failed, ""},
        {"not a path", P::KDialog, 0, K::Open, "docs/e.xml\n", 0, {}, ChooserOutcome::Result::Failed, ""},
        {"two lines", P::Zenity, 3, K::Open, "/a\n/b\n", 0, {}, ChooserOutcome::Result::Failed, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.Answer(c.answer, c.exitCode);
        ProgramFileChooser chooser(c.program, runner, c.zenityMajor);
        const ChooserOutcome outcome =
            chooser.Show(XmlRequest(c.kind, NativeFilePath("/docs")), 77, nullptr, 10s);
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.path.Native(), c.path);
        if (!c.args.empty()) {
            const std::vector<std::string> args = fakes.Arguments();
            EXPECT_EQ(args, c.args);
        }
    }
}

TEST(ProgramFileChooser, TimeOutAndCancelEndTheDialog)
{
    FakeDialogPrograms fakes({"zenity"});
    ProcessCommandRunner runner;
    ProgramFileChooser chooser(ProgramFileChooser::Program::Zenity, runner, 3);
    fakes.Answer("/late.xml\n", 0, "30");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(chooser.Show(XmlRequest(FileChooserRequest::Kind::Open), 0, nullptr, 300ms).result,
              ChooserOutcome::Result::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);

    CancelToken cancel;
    std::thread raise([&] {
        std::this_thread::sleep_for(200ms);
        cancel.Cancel();
    });
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(chooser.Show(XmlRequest(FileChooserRequest::Kind::Open), 0, &cancel, 60s).result,
              ChooserOutcome::Result::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    raise.join();
}

TEST(ProgramFileChooser, FindsTheProgramOfTheDesktop)
{
    using P = ProgramFileChooser::Program;
    const struct {
        std::initializer_list<const char*> installed;
        const char* desktop;
        std::optional<P> found;
    } cases[] = {
        {{"zenity", "kdialog"}, "GNOME", P::Zenity},
        {{"zenity", "kdialog"}, "KDE", P::KDialog},
        {{"kdialog"}, "XFCE", P::KDialog},
        {{"zenity"}, "KDE", P::Zenity},
    };
    for (const auto& c : cases) {
        FakeDialogPrograms fakes(c.installed);
        ScopedEnv desktop("XDG_CURRENT_DESKTOP", c.desktop);
        EXPECT_EQ(ProgramFileChooser::Find(), c.found) << c.desktop;
    }
    ScopedTempDir empty;
    ScopedEnv path("PATH", empty.Path().string());
    EXPECT_EQ(ProgramFileChooser::Find(), std::nullopt);
}

constexpr const char* kPortalXml = R"xml(<node>
  <interface name="org.freedesktop.portal.FileChooser">
    <method name="OpenFile">
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="a{sv}" direction="in"/>
      <arg type="o" direction="out"/>
    </method>
    <method name="SaveFile">
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="a{sv}" direction="in"/>
      <arg type="o" direction="out"/>
    </method>
  </interface>
</node>)xml";

// The desktop portal as far as the file chooser goes: it answers each request with a scripted
// Response (or never) and keeps what it was asked.
class FakePortal {
public:
    struct Asked {
        std::string method;
        std::string parent;
        std::string title;
        std::string options; // printed
    };

    FakePortal(const std::string& address, std::optional<uint32_t> response, std::string uri = "")
        : m_response(response), m_uri(std::move(uri)),
          m_service(address, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop", kPortalXml,
                    [this](const std::string& method, GVariant* parameters, const std::string& sender) {
                        return OnCall(method, parameters, sender);
                    })
    {
        EXPECT_TRUE(m_service.WaitOwned());
    }
    ~FakePortal()
    {
        for (std::thread& t : m_answers)
            t.join();
    }
    std::vector<Asked> Requests() const
    {
        const std::lock_guard guard(m_lock);
        return m_asked;
    }

private:
    GVariant* OnCall(const std::string& method, GVariant* parameters, const std::string& sender)
    {
        const gchar* parent = nullptr;
        const gchar* title = nullptr;
        GVariant* options = nullptr;
        g_variant_get(parameters, "(&s&s@a{sv})", &parent, &title, &options);
        const gchar* token = "none";
        g_variant_lookup(options, "handle_token", "&s", &token);
        std::string unique = sender.substr(1);
        std::replace(unique.begin(), unique.end(), '.', '_');
        const std::string handle = "/org/freedesktop/portal/desktop/request/" + unique + "/" + token;
        gchar* printed = g_variant_print(options, FALSE);
        {
            const std::lock_guard guard(m_lock);
            m_asked.push_back({method, parent, title, printed});
        }
        g_free(printed);
        g_variant_unref(options);
        if (m_response) {
            // The answer comes after the reply, as the user's choice does.
            m_answers.emplace_back([this, handle] {
                std::this_thread::sleep_for(50ms);
                GVariantBuilder results;
                g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
                if (!m_uri.empty()) {
                    const gchar* uris[] = {m_uri.c_str(), nullptr};
                    g_variant_builder_add(&results, "{sv}", "uris", g_variant_new_strv(uris, 1));
                }
                m_service.Emit(handle, "org.freedesktop.portal.Request", "Response",
                               g_variant_new("(ua{sv})", *m_response, &results));
            });
        }
        return g_variant_new("(o)", handle.c_str());
    }

    std::optional<uint32_t> m_response;
    std::string m_uri;
    mutable std::mutex m_lock;
    std::vector<Asked> m_asked;
    std::vector<std::thread> m_answers;
    BusService m_service;
};

class PortalFileChooserTest : public ::testing::Test {
protected:
    PortalFileChooserTest() { EXPECT_FALSE(bus.Address().empty()) << "dbus-daemon did not start"; }
    PrivateBus bus;
};

TEST_F(PortalFileChooserTest, AsksThePortalAndTakesItsAnswer)
{
    const struct {
        const char* name;
        FileChooserRequest::Kind kind;
        uint32_t response;
        std::string uri;
        ChooserOutcome::Result result;
        std::string path;
    } cases[] = {
        {"open", FileChooserRequest::Kind::Open, 0, "file:///home/u/a%20b/c.xml",
         ChooserOutcome::Result::Chosen, "/home/u/a b/c.xml"},
        {"save, a name that is not UTF-8", FileChooserRequest::Kind::Save, 0, "file:///home/u/%FF.xml",
         ChooserOutcome::Result::Chosen, "/home/u/\xff.xml"},
        {"cancelled", FileChooserRequest::Kind::Open, 1, "", ChooserOutcome::Result::Cancelled, ""},
        {"the portal could not", FileChooserRequest::Kind::Open, 2, "", ChooserOutcome::Result::Failed, ""},
        {"not a file", FileChooserRequest::Kind::Open, 0, "https://example.com/x.xml",
         ChooserOutcome::Result::Failed, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePortal portal(bus.Address(), c.response, c.uri);
        PortalFileChooser chooser(bus.Address());
        const ChooserOutcome outcome =
            chooser.Show(XmlRequest(c.kind, NativeFilePath("/home/u/Dokumenty")), "x11:4c", nullptr, 10s);
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.path.Native(), c.path);
        const std::vector<FakePortal::Asked> asked = portal.Requests();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].method, c.kind == FileChooserRequest::Kind::Save ? "SaveFile" : "OpenFile");
        EXPECT_EQ(asked[0].parent, "x11:4c");
        EXPECT_EQ(asked[0].title, "Export profile");
        const std::string& options = asked[0].options;
        EXPECT_NE(options.find("'filters': <[('Profile (*.xml)', [(uint32 0, '*.xml')])]>"),
                  std::string::npos)
            << options;
        EXPECT_NE(options.find("'current_folder': <b'/home/u/Dokumenty'>"), std::string::npos) << options;
        EXPECT_NE(options.find("'modal': <true>"), std::string::npos) << options;
        EXPECT_EQ(options.find("current_name") != std::string::npos, c.kind == FileChooserRequest::Kind::Save)
            << options;
    }
}

TEST_F(PortalFileChooserTest, NoPortalFailsAtOnceAndASilentOneIsGivenUpOn)
{
    PortalFileChooser chooser(bus.Address());
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(chooser.Show(XmlRequest(FileChooserRequest::Kind::Open), "", nullptr, 60s).result,
              ChooserOutcome::Result::Failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(PortalFileChooser("").Show(XmlRequest(FileChooserRequest::Kind::Open), "", nullptr, 60s).result,
              ChooserOutcome::Result::Failed);

    FakePortal silent(bus.Address(), std::nullopt);
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(chooser.Show(XmlRequest(FileChooserRequest::Kind::Open), "", nullptr, 300ms).result,
              ChooserOutcome::Result::Cancelled);
    CancelToken cancel;
    std::thread raise([&] {
        std::this_thread::sleep_for(200ms);
        cancel.Cancel();
    });
    EXPECT_EQ(chooser.Show(XmlRequest(FileChooserRequest::Kind::Open), "", &cancel, 60s).result,
              ChooserOutcome::Result::Cancelled);
    raise.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

// The desktop's order on the headless window system: portal, then zenity or kdialog, then the own dialog.
class DesktopFileChooserTest : public HeadlessFixture {
protected:
    DesktopFileChooserTest()
    {
        m_ownerWindow.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 100, 100));
        m_owner = m_ownerWindow.GetSafeHwnd();
    }
    // Closes the window with this title from the loop it will run in, once it is there.
    static void CloseWhenOpen(const CString& title, int rounds = 5000)
    {
        WindowSystem::PostClosure([title, rounds] {
            for (const HWND hwnd : WindowSystem::Windows()) {
                CString text;
                if (WindowSystem::GetWindowTextW(hwnd, &text) && text == title) {
                    WindowSystem::PostMessageW(hwnd, WM_CLOSE, 0, 0);
                    return;
                }
            }
            ASSERT_GT(rounds, 0) << "no window came";
            std::this_thread::sleep_for(1ms);
            CloseWhenOpen(title, rounds - 1);
        });
    }
    FileChooserRequest Request() const
    {
        FileChooserRequest request = XmlRequest(FileChooserRequest::Kind::Open, NativeFilePath("/docs"));
        request.owner = m_owner;
        return request;
    }

    PrivateBus bus;
    ProcessCommandRunner runner;
    MWindow m_ownerWindow;
    HWND m_owner = nullptr;
};

TEST_F(DesktopFileChooserTest, PortalFirstThenDialogProgramThenTheOwnDialog)
{
    FakeDialogPrograms fakes({"zenity"});
    DesktopFileChooser chooser({bus.Address(), &runner, nullptr, 10s});

    {
        FakePortal portal(bus.Address(), 0, "file:///docs/portal.xml");
        EXPECT_EQ(chooser.Choose(Request()), NativeFilePath("/docs/portal.xml"));
        EXPECT_STREQ(chooser.LastChooser(), "portal");
    }
    {
        // A cancel in the portal is the user's answer: nothing else opens.
        FakePortal portal(bus.Address(), 1);
        fakes.Answer("/docs/zenity.xml\n", 0);
        EXPECT_EQ(chooser.Choose(Request()), std::nullopt);
        EXPECT_STREQ(chooser.LastChooser(), "portal");
    }

    // No portal: zenity, with the owner taking no input while it is open.
    fakes.Answer("/docs/zenity.xml\n", 0, "0.3");
    std::optional<bool> ownerEnabled;
    WindowSystem::PostClosure([&] { ownerEnabled = WindowSystem::IsWindowEnabled(m_owner) != FALSE; });
    EXPECT_EQ(chooser.Choose(Request()), NativeFilePath("/docs/zenity.xml"));
    EXPECT_STREQ(chooser.LastChooser(), "zenity");
    EXPECT_EQ(ownerEnabled, false);
    EXPECT_TRUE(WindowSystem::IsWindowEnabled(m_owner));

    // zenity broken: the program's own dialog (cancelled here).
    fakes.Answer("", 255);
    CloseWhenOpen(L"Export profile");
    EXPECT_EQ(chooser.Choose(Request()), std::nullopt);
    EXPECT_STREQ(chooser.LastChooser(), "own");
}

} // namespace
