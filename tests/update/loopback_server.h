#pragma once
// Servers the update tests run on 127.0.0.1 with ephemeral ports; nothing here reaches further.

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include "platform/linux/curl_http_client.h"

struct RecordedRequest {
    std::string path;
    httplib::Headers headers;
};

// An HTTP (or, with a certificate, HTTPS) server. Register routes through Routes() before Start().
class LoopbackServer {
public:
    LoopbackServer();
    LoopbackServer(const std::filesystem::path& certificate, const std::filesystem::path& key);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& Routes() { return *m_server; }
    void Start();

    // scheme://127.0.0.1:port followed by `path`.
    std::string Url(const std::string& path) const;
    std::wstring WideUrl(const std::string& path) const;

    std::vector<RecordedRequest> Requests() const;
    std::vector<std::string> RequestedPaths() const;

    // For handlers that must stall: blocks until the server shuts down.
    void HoldUntilShutdown();

private:
    std::unique_ptr<httplib::Server> m_server;
    std::string m_scheme;
    int m_port = 0;
    std::thread m_thread;

    mutable std::mutex m_lock;
    std::condition_variable m_shutdown;
    bool m_stopping = false;
    std::vector<RecordedRequest> m_requests;
};

// A listening socket that never accepts: connections complete in its backlog and get no answer.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    std::string Url(const std::string& path) const;

private:
    int m_fd = -1;
    int m_port = 0;
};

struct TestCertificate {
    std::filesystem::path certificate;
    std::filesystem::path key;
};

// A self-signed certificate for 127.0.0.1, written as PEM files into `folder`.
TestCertificate MakeSelfSignedCertificate(const std::filesystem::path& folder);

// Client settings for the loopback tests: a short stall limit and no proxy.
CurlHttpOptions LoopbackClientOptions(const std::string& caFile = {});
