#pragma once
// Transfers through libcurl. Certificates are always checked; every transfer ends on its own when the
// connection cannot be made in time, the data stop flowing or its deadline passes, and at once when its
// cancel token is raised, so no caller can hang on a dead or trickling server. file:// addresses are
// read straight from the file.

#include <string>

#include "platform/http.h"

struct CurlHttpOptions {
    // Name lookup, TCP connection and TLS handshake together.
    long connectTimeoutMs = 15000;
    // A connected transfer that receives nothing for this long is abandoned: a server that accepts a
    // request and never answers, or stops in the middle of a body.
    long stallTimeoutMs = 30000;
    // A transfer slower than lowSpeedLimit bytes per second for lowSpeedTimeSeconds is abandoned too
    // (curl averages the speed over the last few seconds, so this is the coarser guard, for trickles).
    long lowSpeedLimit = 16;
    long lowSpeedTimeSeconds = 60;
    long maxRedirects = 10;
    // Certificate authorities to trust instead of the system's store (PEM file); empty = the system's.
    std::string caFile;
    // Honour the desktop's proxy variables (http_proxy, https_proxy, no_proxy).
    bool useSystemProxy = true;
};

class CurlHttpClient final : public HttpClient {
public:
    explicit CurlHttpClient(CurlHttpOptions options = {});

    std::unique_ptr<HttpSession> OpenSession(const std::string& agent) override;

private:
    CurlHttpOptions m_options;
};
