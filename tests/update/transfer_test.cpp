#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <mutex>
#include <thread>

#include "platform/fake/fake_http_client.h"
#include "platform/linux/curl_http_client.h"
#include "tests/support/scoped_folders.h"
#include "tests/update/loopback_server.h"
#include "tests/update/zip_builder.h"
#include "update/transfer.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Collects the posted progress values as the main window would receive them.
class ProgressLog {
public:
    DownloadProgress& Progress() { return m_progress; }
    std::vector<int> Values() const
    {
        const std::lock_guard lock(m_lock);
        return m_values;
    }

private:
    mutable std::mutex m_lock;
    std::vector<int> m_values;
    DownloadProgress m_progress{[this](int value) {
        const std::lock_guard lock(m_lock);
        m_values.push_back(value);
    }};
};

TEST(FetchText, ReturnsTheBodyAsSent)
{
    const std::pair<std::string, std::wstring> bodies[] = {
        {"", L""},
        {"1", L"1"},
        {"1.0.4", L"1.0.4"},
        {"1.0.4\r\n", L"1.0.4\r\n"},
        {"1.0.4.56789", L"1.0.4.56789"},
        {"1.0.\xc3\xa4", L"1.0.\u00e4"},
    };
    LoopbackServer server;
    for (size_t i = 0; i < std::size(bodies); ++i)
        server.Routes().Get("/text" + std::to_string(i),
                            [body = bodies[i].first](const auto&, auto& response) {
                                response.set_content(body, "text/plain");
                            });
    server.Start();
    CurlHttpClient http(LoopbackClientOptions());

    for (size_t i = 0; i < std::size(bodies); ++i) {
        CString text = L"stale";
        EXPECT_EQ(FetchText(http, server.WideUrl("/text" + std::to_string(i)), text), kTransferComplete);
        EXPECT_EQ(text, bodies[i].second) << "body " << i;
    }
}

TEST(FetchText, SendsTheAgentAndBypassesCaches)
{
    LoopbackServer server;
    server.Routes().Get("/version",
                        [](const auto&, auto& response) { response.set_content("1.0", "text/plain"); });
    server.Start();
    CurlHttpClient http(LoopbackClientOptions());
    CString text;

    ASSERT_EQ(FetchText(http, server.WideUrl("/version"), text), kTransferComplete);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto header = [&](const char* name) {
        const auto found = requests[0].headers.find(name);
        return found == requests[0].headers.end() ? std::string("(none)") : found->second;
    };
    EXPECT_EQ(header("User-Agent"), "IIC2.0/PC 5.5.0000");
    EXPECT_EQ(header("Accept"), "*/*");
    EXPECT_EQ(header("Cache-Control"), "no-cache");
    EXPECT_EQ(header("Pragma"), "no-cache");
}

TEST(FetchText, FollowsRedirectsAndFailsOnErrorStatus)
{
    LoopbackServer server;
    server.Routes().Get("/moved", [](const auto&, auto& response) { response.set_redirect("/version"); });
    server.Routes().Get("/version",
                        [](const auto&, auto& response) { response.set_content("2.1", "text/plain"); });
    server.Routes().Get("/gone", [](const auto&, auto& response) {
        response.status = 404;
        response.set_content("not here", "text/plain");
    });
    server.Routes().Get("/broken", [](const auto&, auto& response) {
        response.status = 500;
        response.set_content("1.0", "text/plain");
    });
    server.Start();
    CurlHttpClient http(LoopbackClientOptions());
    CString text;

    EXPECT_EQ(FetchText(http, server.WideUrl("/moved"), text), kTransferComplete);
    EXPECT_EQ(text, L"2.1");
    for (const char* path : {"/gone", "/broken", "/unrouted"}) {
        EXPECT_EQ(FetchText(http, server.WideUrl(path), text), kTransferFailed) << path;
        EXPECT_EQ(text, L"") << path;
    }
}

TEST(FetchText, AServerThatNeverAnswersTimesOut)
{
    const SilentListener silent;
    CurlHttpClient http(LoopbackClientOptions());
    CString text = L"stale";

    EXPECT_EQ(FetchText(http, Utf8ToWide(silent.Url("/version")), text), kTransferFailed);
    EXPECT_EQ(text, L"");
}

TEST(FetchText, RefusesAnOversizedText)
{
    LoopbackServer server;
    server.Routes().Get("/huge", [](const auto&, auto& response) {
        response.set_content(std::string(kMaxFetchedTextBytes + 1, '1'), "text/plain");
    });
    server.Start();
    CurlHttpClient http(LoopbackClientOptions());
    CString text;

    EXPECT_EQ(FetchText(http, server.WideUrl("/huge"), text), kTransferFailed);
    EXPECT_EQ(text, L"");
}

TEST(FetchText, ReadsLocalFiles)
{
    const ScopedTempDir folder;
    fs::create_directory(folder.Path() / "a share");
    WriteFileBytes(folder.Path() / "a share" / "version", "3.0.1");
    CurlHttpClient http(LoopbackClientOptions());
    const std::string base = folder.Path().string();
    const std::pair<std::string, int> cases[] = {
        {"file://" + base + "/a share/version", kTransferComplete},
        {"file://" + base + "/a%20share//version", kTransferComplete},
        {"FILE://localhost" + base + "/a share/version", kTransferComplete},
        {"file://" + base + "/a share/missing", kTransferFailed},
        {"file://" + base + "/a share", kTransferFailed}, // a folder
        {"file://elsewhere" + base + "/a share/version", kTransferFailed},
    };
    for (const auto& [address, result] : cases) {
        CString text;
        EXPECT_EQ(FetchText(http, Utf8ToWide(address), text), result) << address;
        EXPECT_EQ(text, result == kTransferComplete ? L"3.0.1" : L"") << address;
    }
}

// Sends `size` bytes in pieces of `piece`, one every `interval`.
httplib::Server::Handler Paced(size_t size, size_t piece, std::chrono::milliseconds interval)
{
    return [=](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(size, "application/octet-stream",
                                      [=](size_t offset, size_t, httplib::DataSink& sink) {
                                          std::this_thread::sleep_for(interval);
                                          const std::string bytes(std::min(piece, size - offset), 'p');
                                          return sink.write(bytes.data(), bytes.size());
                                      });
    };
}

TEST(Transfers, ATrickleRunsOutOfTimeAndASteadyDownloadDoesNot)
{
    LoopbackServer server;
    // 20 bytes a second: left alone, the thousand bytes would take fifty seconds.
    server.Routes().Get("/trickle", Paced(1000, 1, std::chrono::milliseconds(50)));
    // About 200 KB a second, for about a second.
    server.Routes().Get("/steady", Paced(200 * 1024, 10 * 1024, std::chrono::milliseconds(50)));
    server.Start();
    CurlHttpClient http(LoopbackClientOptions());
    const TransferLimits limits{.textDeadline = std::chrono::milliseconds(400),
                                .downloadDeadline = std::chrono::milliseconds(400),
                                .downloadBytesPerSecond = 20 * 1024};
    const ScopedTempDir folder;
    const CString target = Utf8ToWide((folder.Path() / "download").string());
    CString text;

    EXPECT_EQ(FetchText(http, server.WideUrl("/trickle"), text, nullptr, limits), kTransferFailed);
    EXPECT_EQ(DownloadFile(http, server.WideUrl("/trickle"), target, nullptr, nullptr, limits),
              kTransferFailed);
    // Longer than the base time, but every byte moves the deadline on.
    EXPECT_EQ(DownloadFile(http, server.WideUrl("/steady"), target, nullptr, nullptr, limits),
              kTransferComplete);
    EXPECT_EQ(fs::file_size(folder.Path() / "download"), 200u * 1024);
}

TEST(Transfers, ACancelEndsATransferAtOnce)
{
    const std::string archive = PatternBytes(25000);
    LoopbackServer server;
    server.Routes().Get("/held.zip", [&](const auto&, httplib::Response& response) {
        response.set_content_provider(archive.size(), "application/zip",
                                      [&](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset > 0) {
                                              server.HoldUntilShutdown();
                                              return false;
                                          }
                                          return sink.write(archive.data(), kTransferChunkSize);
                                      });
    });
    server.Start();
    // Nothing but the cancel ends this transfer for an hour.
    CurlHttpOptions patient = LoopbackClientOptions();
    patient.stallTimeoutMs = 3600 * 1000;
    CurlHttpClient http(patient);
    const ScopedTempDir folder;
    const CString target = Utf8ToWide((folder.Path() / "archive.zip").string());

    CancelToken cancel;
    std::promise<void> firstChunk;
    DownloadProgress progress([&, told = false](int value) mutable {
        if (value == 55 && !told) {
            told = true;
            firstChunk.set_value();
        }
    });
    auto download = std::async(std::launch::async, [&] {
        return DownloadFile(http, server.WideUrl("/held.zip"), target, &progress, &cancel);
    });
    ASSERT_EQ(firstChunk.get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);
    cancel.Cancel();
    ASSERT_EQ(download.wait_for(std::chrono::seconds(20)), std::future_status::ready)
        << "the cancel was not seen";
    EXPECT_EQ(download.get(), kTransferFailed);

    // A raised token stops requests before they reach the server, local files included.
    CString text;
    const size_t requestsBefore = server.Requests().size();
    EXPECT_EQ(FetchText(http, server.WideUrl("/held.zip"), text, &cancel), kTransferFailed);
    EXPECT_EQ(server.Requests().size(), requestsBefore);
    WriteFileBytes(folder.Path() / "version", "1.0");
    EXPECT_EQ(FetchText(http, Utf8ToWide("file://" + (folder.Path() / "version").string()), text, &cancel),
              kTransferFailed);
}

TEST(DownloadFile, AnArchiveLargerThanAnyUpdateIsRefused)
{
    FakeHttpClient http;
    http.SetResponse("https://u.example/announced.zip", {.body = "x", .contentLength = 2000});
    http.SetResponse("https://u.example/grows.zip", {.body = std::string(2000, 'x'), .contentLength = 0});
    const ScopedTempDir folder;
    const fs::path target = folder.Path() / "archive.zip";
    const TransferLimits limits{.maxDownloadBytes = 1000};

    EXPECT_EQ(DownloadFile(http, L"https://u.example/announced.zip", Utf8ToWide(target.string()), nullptr,
                           nullptr, limits),
              kTransferFailed);
    EXPECT_FALSE(fs::exists(target)) << "refused before a byte was written";
    EXPECT_EQ(DownloadFile(http, L"https://u.example/grows.zip", Utf8ToWide(target.string()), nullptr,
                           nullptr, limits),
              kTransferFailed);
    EXPECT_LE(fs::file_size(target), 1000u);
}

TEST(FetchText, HttpsChecksCertificatesAndNeverFallsBackToHttp)
{
    const ScopedTempDir folder;
    const TestCertificate certificate = MakeSelfSignedCertificate(folder.Path());
    LoopbackServer plain;
    plain.Routes().Get("/version",
                       [](const auto&, auto& response) { response.set_content("6.6", "text/plain"); });
    plain.Start();
    LoopbackServer secure(certificate.certificate, certificate.key);
    secure.Routes().Get("/version",
                        [](const auto&, auto& response) { response.set_content("4.2", "text/plain"); });
    secure.Routes().Get("/downgrade",
                        [&](const auto&, auto& response) { response.set_redirect(plain.Url("/version")); });
    secure.Start();
    CurlHttpClient trusting(LoopbackClientOptions(certificate.certificate.string()));
    CurlHttpClient systemTrust(LoopbackClientOptions());
    CString text;

    EXPECT_EQ(FetchText(trusting, secure.WideUrl("/version"), text), kTransferComplete);
    EXPECT_EQ(text, L"4.2");
    EXPECT_EQ(FetchText(systemTrust, secure.WideUrl("/version"), text), kTransferFailed)
        << "a certificate nobody vouches for";
    EXPECT_EQ(FetchText(trusting, secure.WideUrl("/downgrade"), text), kTransferFailed);
    EXPECT_THAT(plain.RequestedPaths(), IsEmpty());
}

TEST(FetchText, WithoutASessionTheResultIsZero)
{
    FakeHttpClient http;
    http.SetSessionsAvailable(false);
    CString text = L"stale";

    EXPECT_EQ(FetchText(http, L"https://updates.example/version", text), kTransferUnavailable);
    EXPECT_EQ(text, L"");
}

TEST(DownloadFile, PostsProgressPerChunkOfAKnownLength)
{
    const std::string archive = PatternBytes(25000);
    LoopbackServer server;
    server.Routes().Get("/archive.zip", [&](const auto&, auto& response) {
        response.set_content(archive, "application/zip");
    });
    server.Start();
    CurlHttpClient http(LoopbackClientOptions());
    const ScopedTempDir folder;
    const fs::path target = folder.Path() / "archive.zip";
    WriteFileBytes(target, "an older, longer file that must be replaced entirely" + std::string(30000, '!'));
    ProgressLog log;

    ASSERT_EQ(
        DownloadFile(http, server.WideUrl("/archive.zip"), Utf8ToWide(target.string()), &log.Progress()),
        kTransferComplete);
    EXPECT_EQ(ReadFileBytes(target), archive);
    // n = 25000 / 10240 = 2; three reads: 90/2+10, 180/2+10, 270/2+10.
    EXPECT_THAT(log.Values(), ElementsAre(2, 8, 10, 55, 100, 145, 100));

    // The next download starts from the last value left behind, so it posts 0 first.
    ASSERT_EQ(
        DownloadFile(http, server.WideUrl("/archive.zip"), Utf8ToWide(target.string()), &log.Progress()),
        kTransferComplete);
    EXPECT_THAT(log.Values(), ElementsAre(2, 8, 10, 55, 100, 145, 100, 0, 2, 8, 10, 55, 100, 145, 100));
}

TEST(DownloadFile, UnknownOrShortLengthPostsNoChunkValues)
{
    const std::string archive = PatternBytes(30000);
    LoopbackServer server;
    server.Routes().Get("/chunked.zip", [&](const auto&, auto& response) {
        response.set_chunked_content_provider("application/zip", [&](size_t offset, httplib::DataSink& sink) {
            const size_t count = std::min<size_t>(7000, archive.size() - offset);
            sink.write(archive.data() + offset, count);
            if (offset + count == archive.size())
                sink.done();
            return true;
        });
    });
    server.Routes().Get("/short.zip", [](const auto&, auto& response) {
        response.set_content(std::string(10239, 'z'), "application/zip");
    });
    server.Start();
    CurlHttpClient http(LoopbackClientOptions());
    const ScopedTempDir folder;

    for (const char* name : {"/chunked.zip", "/short.zip"}) {
        ProgressLog log;
        const fs::path target = folder.Path() / "download.zip";
        ASSERT_EQ(DownloadFile(http, server.WideUrl(name), Utf8ToWide(target.string()), &log.Progress()),
                  kTransferComplete);
        EXPECT_THAT(log.Values(), ElementsAre(2, 8, 10, 100)) << name;
        EXPECT_EQ(ReadFileBytes(target),
                  name == std::string("/short.zip") ? std::string(10239, 'z') : archive);
    }
}

TEST(DownloadFile, AFailedReadLeavesThePartialFile)
{
    const std::string archive = PatternBytes(25000);
    LoopbackServer server;
    // One server stops sending and holds the connection, the other drops it; both after one chunk.
    const auto firstChunkThen = [&](bool hold) {
        return [&, hold](const auto&, httplib::Response& response) {
            response.set_content_provider(archive.size(), "application/zip",
                                          [&, hold](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset > 0) {
                                                  if (hold)
                                                      server.HoldUntilShutdown();
                                                  return false;
                                              }
                                              sink.write(archive.data(), kTransferChunkSize);
                                              return true;
                                          });
        };
    };
    server.Routes().Get("/stalls.zip", firstChunkThen(true));
    server.Routes().Get("/drops.zip", firstChunkThen(false));
    server.Start();
    CurlHttpClient http(LoopbackClientOptions());
    const ScopedTempDir folder;

    for (const char* name : {"/stalls.zip", "/drops.zip"}) {
        ProgressLog log;
        const fs::path target = folder.Path() / (std::string(name + 1) + ".part");
        EXPECT_EQ(DownloadFile(http, server.WideUrl(name), Utf8ToWide(target.string()), &log.Progress()),
                  kTransferFailed)
            << name;
        EXPECT_EQ(ReadFileBytes(target), archive.substr(0, kTransferChunkSize)) << name;
        EXPECT_THAT(log.Values(), ElementsAre(2, 8, 10, 55)) << name;
    }
}

TEST(DownloadFile, NothingIsCreatedWhenTheAddressFails)
{
    LoopbackServer server;
    server.Start();
    const SilentListener silent;
    CurlHttpClient http(LoopbackClientOptions());
    FakeHttpClient offline;
    offline.SetSessionsAvailable(false);
    const ScopedTempDir folder;
    const fs::path target = folder.Path() / "archive.zip";

    struct FailureCase {
        HttpClient& http;
        std::wstring address;
        int result;
        std::vector<int> posted;
    };
    const FailureCase cases[] = {
        {http, server.WideUrl("/missing.zip"), kTransferFailed, {2}},
        {http, Utf8ToWide(silent.Url("/archive.zip")), kTransferFailed, {2}},
        {offline, L"https://updates.example/archive.zip", kTransferUnavailable, {}},
    };
    for (const FailureCase& c : cases) {
        ProgressLog log;
        EXPECT_EQ(DownloadFile(c.http, c.address, Utf8ToWide(target.string()), &log.Progress()), c.result);
        EXPECT_EQ(log.Values(), c.posted);
        EXPECT_FALSE(fs::exists(target));
    }
}

} // namespace
