#include "platform/linux/curl_http_client.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <curl/curl.h>

namespace {

using Clock = std::chrono::steady_clock;

// The longest single wait for socket activity; curl's own timers usually end it sooner.
constexpr long kPollSliceMs = 1000;

bool DebugOutput()
{
    const char* value = std::getenv("TORVIK_DEBUG");
    return value && std::strcmp(value, "1") == 0;
}

bool GlobalInit()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    return text.size() >= length && strncasecmp(text.c_str(), prefix, length) == 0;
}

// Drives one easy transfer through a private multi handle so that the body can be pulled in pieces.
class CurlRequest final : public HttpRequest {
public:
    CurlRequest() : m_easy(curl_easy_init()), m_multi(curl_multi_init()) {}

    ~CurlRequest() override
    {
        if (m_multi && m_easy && m_added)
            curl_multi_remove_handle(m_multi, m_easy);
        if (m_easy)
            curl_easy_cleanup(m_easy);
        if (m_multi)
            curl_multi_cleanup(m_multi);
        curl_slist_free_all(m_headers);
    }

    CurlRequest(const CurlRequest&) = delete;
    CurlRequest& operator=(const CurlRequest&) = delete;

    bool Start(const CurlHttpOptions& options, const std::string& agent, const std::string& url,
               const std::vector<std::string>& headers)
    {
        if (!m_easy || !m_multi)
            return false;
        for (const std::string& line : headers) {
            curl_slist* grown = curl_slist_append(m_headers, line.c_str());
            if (!grown)
                return false;
            m_headers = grown;
        }
        CURL* e = m_easy;
        curl_easy_setopt(e, CURLOPT_URL, url.c_str());
        curl_easy_setopt(e, CURLOPT_USERAGENT, agent.c_str());
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, m_headers);
        curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https,file");
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(e, CURLOPT_MAXREDIRS, options.maxRedirects);
        // What starts over https must stay on https, or a plain-text hop could swap the content.
        curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR,
                         StartsWithNoCase(url, "https:") ? "https" : "http,https");
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!options.caFile.empty())
            curl_easy_setopt(e, CURLOPT_CAINFO, options.caFile.c_str());
        if (!options.useSystemProxy)
            curl_easy_setopt(e, CURLOPT_PROXY, "");
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedLimit);
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, options.lowSpeedTimeSeconds);
        curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(e, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(e, CURLOPT_ERRORBUFFER, m_error);
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &CurlRequest::Receive);
        curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &CurlRequest::ReceiveHeader);
        curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
        m_stallTimeout = std::chrono::milliseconds(options.stallTimeoutMs);
        m_lastActivity = Clock::now();
        if (curl_multi_add_handle(m_multi, e) != CURLM_OK)
            return false;
        m_added = true;

        // The request counts as open once its body starts (or it ends without one).
        while (!m_done && Available() == 0)
            Pump(1);
        // Data that arrived before a failure is still delivered; the failure shows on a later Read.
        if (m_done && m_result != CURLE_OK && Available() == 0) {
            Report(url);
            return false;
        }
        long status = 0;
        curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
        if (status >= 400) {
            if (DebugOutput())
                std::fprintf(stderr, "http: %s answered %ld\n", url.c_str(), status);
            return false;
        }
        curl_off_t length = -1;
        curl_easy_getinfo(e, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        m_contentLength = length > 0 ? static_cast<uint64_t>(length) : 0;
        m_url = url;
        return true;
    }

    uint64_t ContentLength() const override { return m_contentLength; }

    long Read(char* buffer, size_t size) override
    {
        while (!m_done && Available() < size)
            Pump(size);
        const size_t count = std::min(size, Available());
        if (count == 0) {
            if (m_result == CURLE_OK)
                return 0;
            Report(m_url);
            return -1;
        }
        // The leftover is only what the last round delivered past `size`: moving it down is cheap, and a
        // long download never accumulates in memory.
        std::memcpy(buffer, m_pending.data(), count);
        m_pending.erase(0, count);
        return static_cast<long>(count);
    }

private:
    static size_t Receive(char* data, size_t size, size_t count, void* self)
    {
        auto* request = static_cast<CurlRequest*>(self);
        request->m_pending.append(data, size * count);
        request->m_lastActivity = Clock::now();
        return size * count;
    }

    static size_t ReceiveHeader(char*, size_t size, size_t count, void* self)
    {
        static_cast<CurlRequest*>(self)->m_lastActivity = Clock::now();
        return size * count;
    }

    size_t Available() const { return m_pending.size(); }

    // One round of work: perform what is ready, then, while fewer than `wanted` bytes wait to be read,
    // wait for the socket or curl's next timer. The connect time-out and the stall timer guarantee
    // that the transfer reaches m_done.
    void Pump(size_t wanted)
    {
        int running = 0;
        const CURLMcode code = curl_multi_perform(m_multi, &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
            if (message->msg == CURLMSG_DONE)
                Finish(message->data.result);
        }
        if (m_done)
            return;
        if (code != CURLM_OK || running == 0) {
            Finish(code == CURLM_OK ? CURLE_OK : CURLE_FAILED_INIT);
            return;
        }
        if (Available() >= wanted)
            return;
        const auto idle =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_lastActivity);
        if (idle >= m_stallTimeout) {
            std::snprintf(m_error, sizeof m_error, "nothing received for %lld ms",
                          static_cast<long long>(idle.count()));
            Finish(CURLE_OPERATION_TIMEDOUT);
            return;
        }
        const long wait = std::min<long>(kPollSliceMs, static_cast<long>((m_stallTimeout - idle).count()));
        curl_multi_poll(m_multi, nullptr, 0, static_cast<int>(std::max<long>(wait, 1)), nullptr);
    }

    void Finish(CURLcode result)
    {
        m_done = true;
        m_result = result;
    }

    void Report(const std::string& url) const
    {
        if (DebugOutput())
            std::fprintf(stderr, "http: %s failed: %s\n", url.c_str(),
                         m_error[0] ? m_error : curl_easy_strerror(m_result));
    }

    CURL* m_easy = nullptr;
    CURLM* m_multi = nullptr;
    curl_slist* m_headers = nullptr;
    bool m_added = false;
    bool m_done = false;
    CURLcode m_result = CURLE_OK;
    std::string m_pending;
    uint64_t m_contentLength = 0;
    std::string m_url;
    std::chrono::milliseconds m_stallTimeout{0};
    Clock::time_point m_lastActivity;
    char m_error[CURL_ERROR_SIZE] = {};
};

class CurlSession final : public HttpSession {
public:
    CurlSession(const CurlHttpOptions& options, std::string agent)
        : m_options(options), m_agent(std::move(agent))
    {
    }

    std::unique_ptr<HttpRequest> Open(const std::string& url,
                                      const std::vector<std::string>& headers) override
    {
        auto request = std::make_unique<CurlRequest>();
        if (!request->Start(m_options, m_agent, url, headers))
            return nullptr;
        return request;
    }

private:
    CurlHttpOptions m_options;
    std::string m_agent;
};

} // namespace

CurlHttpClient::CurlHttpClient(CurlHttpOptions options) : m_options(std::move(options)) {}

std::unique_ptr<HttpSession> CurlHttpClient::OpenSession(const std::string& agent)
{
    if (!GlobalInit())
        return nullptr;
    return std::make_unique<CurlSession>(m_options, agent);
}
