#pragma once
// Internet transfers: a session (the program's agent text) that opens addresses, and the open request
// whose response body is read in pieces. The real backend is libcurl; tests use a loopback server or the
// in-memory client.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/cancel_token.h"

// How long one request may take, and how another thread ends it early.
struct HttpRequestLimits {
    // From opening to the end of the body; zero means no deadline beyond the backend's own time-outs.
    std::chrono::milliseconds deadline{0};
    // With a deadline: every this many bytes received move it on by one second, so a transfer may last
    // `deadline` plus its length at this rate, however long it is, while a trickle runs out of time
    // soon after `deadline`. Zero keeps the deadline fixed.
    uint64_t bytesPerSecond = 0;
    // Raised from another thread: an Open in progress gives null and Read gives -1, at once.
    const CancelToken* cancel = nullptr;
};

// One open request. The response headers have arrived and the status was below 400.
class HttpRequest {
public:
    virtual ~HttpRequest() = default;

    // The length the response announced; 0 when it announced none.
    virtual uint64_t ContentLength() const = 0;

    // Waits until `size` bytes have arrived or the body ends, as a blocking socket read would.
    // Returns the bytes copied (fewer than `size` only at the end of the body or right before a
    // failure), 0 once the body is complete, -1 when the transfer failed (connection lost, time-out,
    // deadline passed, cancelled).
    virtual long Read(char* buffer, size_t size) = 0;
};

// What a session needs to open requests; its requests may outlive it.
class HttpSession {
public:
    virtual ~HttpSession() = default;

    // Opens an http, https or file address with extra request header lines ("Name: value"), to run
    // within `limits` until the request object is gone. Null when the address cannot be reached, the
    // transfer fails before the body starts, or the server answers with a status of 400 or above.
    virtual std::unique_ptr<HttpRequest> Open(const std::string& url, const std::vector<std::string>& headers,
                                              const HttpRequestLimits& limits) = 0;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;

    // Starts a session that sends `agent` as its user agent; null when transfers are unavailable.
    virtual std::unique_ptr<HttpSession> OpenSession(const std::string& agent) = 0;
};
