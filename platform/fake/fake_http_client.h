#pragma once
// In-memory transfers for tests and the simulator: responses are registered by address, and every
// request is recorded with its agent, header lines and limits. A raised cancel token ends a request as
// the real backend does; deadlines are only recorded.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/http.h"

struct FakeHttpResponse {
    std::string body{};
    int status = 200;
    // The announced length; the body's size when not set, nothing announced when 0.
    std::optional<uint64_t> contentLength{};
    // The transfer fails once this many body bytes have been delivered.
    std::optional<size_t> failAfter{};
};

struct FakeHttpRequestRecord {
    std::string agent;
    std::string url;
    std::vector<std::string> headers;
    HttpRequestLimits limits;
};

class FakeHttpClient final : public HttpClient {
public:
    // Addresses without a response cannot be reached.
    void SetResponse(const std::string& url, FakeHttpResponse response);
    void RemoveResponse(const std::string& url);
    // Without sessions the client behaves as if transfers were unavailable altogether.
    void SetSessionsAvailable(bool available);

    std::vector<FakeHttpRequestRecord> Requests() const;

    std::unique_ptr<HttpSession> OpenSession(const std::string& agent) override;

private:
    friend class FakeHttpSession;
    std::unique_ptr<HttpRequest> Open(const std::string& agent, const std::string& url,
                                      const std::vector<std::string>& headers,
                                      const HttpRequestLimits& limits);

    mutable std::mutex m_lock;
    std::map<std::string, FakeHttpResponse> m_responses;
    std::vector<FakeHttpRequestRecord> m_requests;
    bool m_sessionsAvailable = true;
};
