#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/native_path.h"
#include "platform/fake/fake_http_client.h"
#include "platform/fake/fake_process_exit.h"
#include "platform/fake/fake_shell.h"
#include "platform/linux/curl_http_client.h"
#include "tests/support/scoped_folders.h"
#include "tests/update/loopback_server.h"
#include "tests/update/zip_builder.h"
#include "update/updater.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// The seams of one updater, with the data folder in a fresh temporary directory.
struct UpdaterRig {
    explicit UpdaterRig(HttpClient& http) : updater(http, shell, processExit, DataFolder(), &progress) {}

    CString DataFolder() const { return Utf8ToWide((root.Path() / "Torvik Files").string()) + L"/"; }
    fs::path Temp() const { return root.Path() / "Torvik Files" / "temp"; }
    std::vector<std::string> Started() const
    {
        std::vector<std::string> paths;
        for (const CString& path : shell.StartedPrograms())
            paths.push_back(NativePath(path));
        return paths;
    }

    ScopedTempDir root;
    FakeShell shell;
    FakeProcessExit processExit;
    DownloadProgress progress{nullptr};
    Updater updater;
};

std::string InstallerArchive(const std::string& program)
{
    return ZipBytes(
        {{.name = program, .data = "installer of " + program}, {.name = "..\\notes.txt", .data = "n"}});
}

TEST(Updater, NewerSoftwareOverHttpsIsDownloadedUnpackedStartedAndTheProcessEnds)
{
    const ScopedTempDir certificates;
    const TestCertificate certificate = MakeSelfSignedCertificate(certificates.Path());
    LoopbackServer server(certificate.certificate, certificate.key);
    server.Routes().Get("/update/version", [](const auto&, auto& response) {
        response.set_content("1.0.10\r\n", "text/plain");
    });
    const std::string archive = InstallerArchive("Keyboard-Software-1.0.10.exe");
    server.Routes().Get(R"(/update/+Keyboard-Software-1\.0\.10\.zip)", [&](const auto&, auto& response) {
        response.set_content(archive, "application/zip");
    });
    server.Start();
    CurlHttpClient http(LoopbackClientOptions(certificate.certificate.string()));
    UpdaterRig rig(http);
    rig.updater.SetSoftware(L"1.0.3", server.WideUrl("/update/"));

    EXPECT_EQ(rig.updater.CheckSoftwareVersion(), SoftwareCheck::UpdateAvailable);

    EXPECT_EQ(rig.updater.PublishedSoftwareVersion(), L"1.0.10");
    EXPECT_THAT(server.RequestedPaths(),
                ElementsAre("/update/version", "/update///Keyboard-Software-1.0.10.zip"));
    const fs::path installer = rig.Temp() / "Keyboard-Software-1.0.10.exe";
    EXPECT_EQ(ReadFileBytes(installer), "installer of Keyboard-Software-1.0.10.exe");
    EXPECT_TRUE(fs::exists(rig.Temp() / "notes.txt"));
    EXPECT_FALSE(fs::exists(rig.Temp() / "Keyboard-Software-1.0.10.zip"))
        << "the unpacked archive is deleted";
    EXPECT_THAT(rig.Started(), ElementsAre(installer.string()));
    EXPECT_THAT(rig.processExit.ExitCodes(), ElementsAre(0));
    EXPECT_EQ(rig.progress.LastValue(), 100);
}

TEST(Updater, PlainHttpServesTheVersionButNeverAProgram)
{
    LoopbackServer server;
    server.Routes().Get("/update/version",
                        [](const auto&, auto& response) { response.set_content("2.0", "text/plain"); });
    server.Routes().Get(R"(/update/+Keyboard-Software-2\.0\.zip)", [](const auto&, auto& response) {
        response.set_content(InstallerArchive("Keyboard-Software-2.0.exe"), "application/zip");
    });
    server.Start();
    CurlHttpClient http(LoopbackClientOptions());
    UpdaterRig rig(http);
    rig.updater.SetSoftware(L"1.9", server.WideUrl("/update/"));

    // The newer version is known, but never offered: the user is told why instead.
    EXPECT_EQ(rig.updater.CheckSoftwareVersion(), SoftwareCheck::UntrustedAddress);
    EXPECT_EQ(rig.updater.PublishedSoftwareVersion(), L"2.0");
    EXPECT_EQ(rig.updater.UpdateSoftware(), UpdateOutcome::UntrustedAddress);

    EXPECT_THAT(server.RequestedPaths(), ElementsAre("/update/version"));
    EXPECT_THAT(rig.Started(), IsEmpty());
    EXPECT_THAT(rig.processExit.ExitCodes(), IsEmpty());

    // The same holds for the firmware: only an address that can deliver the tool is offered.
    rig.updater.SetFirmwareUpdateAddress(server.WideUrl("/fw/"));
    EXPECT_FALSE(rig.updater.FirmwareUpdateCanRun());
    rig.updater.SetFirmwareUpdateAddress(L"https://updates.example/fw/");
    EXPECT_TRUE(rig.updater.FirmwareUpdateCanRun());
}

TEST(Updater, SoftwareCheckActsOnlyOnAUsableNewerVersion)
{
    const std::string address = "https://updates.example/sw/";
    struct CheckCase {
        const char* text; // nullptr: the version address cannot be opened
        const wchar_t* current;
        bool marked;
        const wchar_t* published;
    };
    const CheckCase cases[] = {
        {"1.0.10", L"1.0.3", true, L"1.0.10"},
        {"1.0.0", L"1.0", true, L"1.0.0"},        // different part counts count as newer
        {"1.1.9", L"1.2.0", false, L"1.1.9"},     // older
        {"1.2.0\r\n", L"1.2.0", false, L"1.2.0"}, // equal
        {"\uFEFF1.3\r\n", L"1.2", true, L"1.3"},  // saved with a byte order mark
        {"", L"1.0", false, L""},
        {"1.0.0.12345", L"1.0", false, L""}, // more than 10 characters
        {"\r\n", L"1.0", false, L""},
        {"../../x", L"1.0", false, L""}, // would leave the temp folder as a file name
        {nullptr, L"1.0", false, L""},
    };
    for (const CheckCase& c : cases) {
        FakeHttpClient http;
        if (c.text)
            http.SetResponse(address + "version", {.body = c.text});
        UpdaterRig rig(http);
        rig.updater.SetSoftware(c.current, Utf8ToWide(address));
        const std::string label = c.text ? c.text : "(unreachable)";

        EXPECT_EQ(rig.updater.CheckSoftwareVersion(),
                  c.marked ? SoftwareCheck::UpdateAvailable : SoftwareCheck::NoUpdate)
            << label;
        EXPECT_EQ(rig.updater.PublishedSoftwareVersion(), c.published) << label;
        // A newer version is fetched at once; the archive is missing here, so nothing is started.
        const auto requests = http.Requests();
        EXPECT_EQ(requests.size(), c.marked ? 2u : 1u) << label;
        // The version text has a short deadline of its own; the archive one that grows with its size.
        EXPECT_EQ(requests.front().limits.deadline, TransferLimits{}.textDeadline) << label;
        EXPECT_EQ(requests.front().limits.bytesPerSecond, 0u) << label;
        if (c.marked) {
            EXPECT_EQ(requests.back().url,
                      address + "//Keyboard-Software-" + WideToUtf8(c.published) + ".zip");
            EXPECT_EQ(requests.back().limits.bytesPerSecond, TransferLimits{}.downloadBytesPerSecond)
                << label;
        }
        EXPECT_THAT(rig.processExit.ExitCodes(), IsEmpty()) << label;
    }
}

TEST(Updater, FirmwareToolFromALocalFolder)
{
    const ScopedTempDir share;
    WriteFileBytes(share.Path() / "version", "2.1");
    WriteFileBytes(share.Path() / "FirmwareUpdateTool-2.1.zip",
                   ZipBytes({{.name = "FirmwareUpdateTool-2.1.exe", .data = "tool", .unixMode = 0100755}}));
    CurlHttpClient http(LoopbackClientOptions());
    UpdaterRig rig(http);
    rig.updater.SetFirmwareUpdateAddress(Utf8ToWide("file://" + share.Path().string() + "/"));

    EXPECT_EQ(rig.updater.FetchPublishedFirmwareVersion(), L"2.1");
    EXPECT_EQ(rig.updater.UpdateFirmwareTool(), UpdateOutcome::Started);

    const fs::path tool = rig.Temp() / "FirmwareUpdateTool-2.1.exe";
    EXPECT_THAT(rig.Started(), ElementsAre(tool.string()));
    EXPECT_THAT(rig.processExit.ExitCodes(), ElementsAre(0));
}

TEST(Updater, FailedUpdatesKeepTheProgramRunning)
{
    const std::string address = "https://updates.example/fw/";
    const std::string archiveUrl = address + "//FirmwareUpdateTool-3.zip";
    const std::string good = ZipBytes({{.name = "FirmwareUpdateTool-3.exe", .data = "tool"}});
    struct FailureCase {
        const char* label;
        std::optional<FakeHttpResponse> archive;
        UpdateOutcome outcome;
        bool archiveKept;
    };
    const FailureCase cases[] = {
        {"no archive", std::nullopt, UpdateOutcome::NoArchive, false},
        {"read fails", FakeHttpResponse{.body = good, .failAfter = good.size() / 2}, UpdateOutcome::NoArchive,
         true},
        {"not a zip", FakeHttpResponse{.body = "<html>oops</html>"}, UpdateOutcome::NotStarted, true},
        {"wrong program", FakeHttpResponse{.body = ZipBytes({{.name = "other.exe", .data = "x"}})},
         UpdateOutcome::NotStarted, false},
    };
    for (const FailureCase& c : cases) {
        FakeHttpClient http;
        http.SetResponse(address + "version", {.body = "3"});
        if (c.archive)
            http.SetResponse(archiveUrl, *c.archive);
        UpdaterRig rig(http);
        rig.updater.SetFirmwareUpdateAddress(Utf8ToWide(address));

        ASSERT_EQ(rig.updater.FetchPublishedFirmwareVersion(), L"3") << c.label;
        EXPECT_EQ(rig.updater.UpdateFirmwareTool(), c.outcome) << c.label;
        EXPECT_EQ(fs::exists(rig.Temp() / "FirmwareUpdateTool-3.zip"), c.archiveKept) << c.label;
        EXPECT_THAT(rig.Started(), IsEmpty()) << c.label;
        EXPECT_THAT(rig.processExit.ExitCodes(), IsEmpty()) << c.label;
    }
}

TEST(Updater, ARefusedOrCancelledUpdateStartsNothing)
{
    const std::string address = "https://updates.example/fw/";
    const std::string archiveUrl = address + "//FirmwareUpdateTool-4.zip";
    FakeHttpClient http;
    http.SetResponse(address + "version", {.body = "4"});
    http.SetResponse(
        archiveUrl,
        {.body = ZipBytes({{.name = "FirmwareUpdateTool-4.exe", .data = std::string(5000, 't')}})});
    const ScopedTempDir root;
    FakeShell shell;
    FakeProcessExit processExit;
    DownloadProgress progress{nullptr};
    const CString dataFolder = Utf8ToWide(root.Path().string()) + L"/";
    // An earlier attempt left the tool of the same name behind.
    fs::create_directories(root.Path() / "temp");
    WriteFileBytes(root.Path() / "temp" / "FirmwareUpdateTool-4.exe", "old");

    Updater limited(http, shell, processExit, dataFolder, &progress, {}, {.maxTotalBytes = 1000});
    limited.SetFirmwareUpdateAddress(Utf8ToWide(address));
    ASSERT_EQ(limited.FetchPublishedFirmwareVersion(), L"4");
    EXPECT_EQ(limited.UpdateFirmwareTool(), UpdateOutcome::ArchiveRefused);
    EXPECT_EQ(ReadFileBytes(root.Path() / "temp" / "FirmwareUpdateTool-4.exe"), "old");

    Updater updater(http, shell, processExit, dataFolder, &progress);
    updater.SetFirmwareUpdateAddress(Utf8ToWide(address));
    CancelToken cancel;
    cancel.Cancel();
    EXPECT_EQ(updater.FetchPublishedFirmwareVersion(&cancel), L"");
    ASSERT_EQ(updater.FetchPublishedFirmwareVersion(), L"4");
    EXPECT_EQ(updater.UpdateFirmwareTool(&cancel), UpdateOutcome::NoArchive);

    EXPECT_THAT(shell.StartedPrograms(), IsEmpty());
    EXPECT_THAT(processExit.ExitCodes(), IsEmpty());
}

TEST(Updater, FirmwareFetchForgetsTheLastVersionAndNeedsOne)
{
    const std::string address = "https://updates.example/fw/";
    FakeHttpClient http;
    http.SetResponse(address + "version", {.body = "5.0"});
    UpdaterRig rig(http);
    rig.updater.SetFirmwareUpdateAddress(Utf8ToWide(address));
    ASSERT_EQ(rig.updater.FetchPublishedFirmwareVersion(), L"5.0");

    http.SetResponse(address + "version", {.body = "this is not a version"});
    EXPECT_EQ(rig.updater.FetchPublishedFirmwareVersion(), L"");
    EXPECT_EQ(rig.updater.PublishedFirmwareVersion(), L"");
    EXPECT_EQ(rig.updater.UpdateFirmwareTool(), UpdateOutcome::NoVersion);
    EXPECT_EQ(http.Requests().size(), 2u) << "no archive is asked for without a version";
}

} // namespace
