#include "platform/linux/curl_http_client.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <curl/curl.h>

namespace {

using Clock = std::chrono::steady_clock;

// The longest single wait for socket activity; curl's own timers usually end it sooner.
constexpr long kPollSliceMs = 1000;
// Bytes already read are dropped from the front of the buffer once they are this many and at least
// half of it: each byte is moved at most once more, however long the body.
constexpr size_t kCompactAfter = 64 * 1024;

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

// A file:// address is read straight from the file: as fast as the disk and never held in memory
// beyond the caller's buffer.
class FileRequest final : public HttpRequest {
public:
    FileRequest(int fd, uint64_t length, const CancelToken* cancel)
        : m_fd(fd), m_length(length), m_cancel(cancel)
    {
    }
    ~FileRequest() override { ::close(m_fd); }
    FileRequest(const FileRequest&) = delete;
    FileRequest& operator=(const FileRequest&) = delete;

    // Opens the local file an address names (host empty or "localhost"); null when it is no readable
    // regular file.
    static std::unique_ptr<HttpRequest> Open(const std::string& url, const HttpRequestLimits& limits)
    {
        const std::string path = LocalPath(url);
        if (path.empty() || (limits.cancel && limits.cancel->IsCancelled()))
            return nullptr;
        // Non-blocking, so that a FIFO at the path cannot hold the open up.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            if (DebugOutput())
                std::fprintf(stderr, "http: %s failed: %s\n", url.c_str(), std::strerror(errno));
            return nullptr;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<FileRequest>(fd, static_cast<uint64_t>(st.st_size), limits.cancel);
    }

    uint64_t ContentLength() const override { return m_length; }

    long Read(char* buffer, size_t size) override
    {
        if (m_cancel && m_cancel->IsCancelled())
            return -1;
        size_t done = 0;
        while (done < size) {
            const ssize_t got = ::read(m_fd, buffer + done, size - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return done > 0 ? static_cast<long>(done) : -1;
            if (got == 0)
                break;
            done += static_cast<size_t>(got);
        }
        return static_cast<long>(done);
    }

private:
    static std::string LocalPath(const std::string& url)
    {
        CURLU* parsed = curl_url();
        if (!parsed)
            return {};
        std::string path;
        char* host = nullptr;
        char* decoded = nullptr;
        if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), CURLU_ALLOW_SPACE) == CURLUE_OK &&
            curl_url_get(parsed, CURLUPART_PATH, &decoded, CURLU_URLDECODE) == CURLUE_OK) {
            const CURLUcode hostCode = curl_url_get(parsed, CURLUPART_HOST, &host, 0);
            const bool local =
                hostCode != CURLUE_OK || !host || host[0] == '\0' || strcasecmp(host, "localhost") == 0;
            // A decoded NUL would cut the path short somewhere else.
            if (local && std::strlen(decoded) > 0)
                path = decoded;
        }
        curl_free(host);
        curl_free(decoded);
        curl_url_cleanup(parsed);
        return path;
    }

    int m_fd;
    uint64_t m_length;
    const CancelToken* m_cancel;
};

// Drives one easy transfer through a private multi handle so that the body can be pulled in pieces.
class CurlRequest final : public HttpRequest {
public:
    CurlRequest() : m_easy(curl_easy_init()), m_multi(curl_multi_init()) {}

    ~CurlRequest() override
    {
        // First, so that no cancel wakes a multi handle that is going away.
        m_wakeUp = {};
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
               const std::vector<std::string>& headers, const HttpRequestLimits& limits)
    {
        if (!m_easy || !m_multi)
            return false;
        m_limits = limits;
        m_start = Clock::now();
        if (m_limits.cancel)
            m_wakeUp = m_limits.cancel->OnCancel([multi = m_multi] { curl_multi_wakeup(multi); });
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
        curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
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
        if (Cancelled()) {
            Fail(CURLE_ABORTED_BY_CALLBACK, "cancelled");
            Report(m_url);
            return -1;
        }
        while (!m_done && Available() < size)
            Pump(size);
        const size_t count = std::min(size, Available());
        if (count == 0) {
            if (m_result == CURLE_OK)
                return 0;
            Report(m_url);
            return -1;
        }
        std::memcpy(buffer, m_pending.data() + m_consumed, count);
        m_consumed += count;
        if (m_consumed == m_pending.size()) {
            m_pending.clear();
            m_consumed = 0;
        } else if (m_consumed >= kCompactAfter && 2 * m_consumed >= m_pending.size()) {
            m_pending.erase(0, m_consumed);
            m_consumed = 0;
        }
        return static_cast<long>(count);
    }

private:
    static size_t Receive(char* data, size_t size, size_t count, void* self)
    {
        auto* request = static_cast<CurlRequest*>(self);
        request->m_pending.append(data, size * count);
        request->m_received += size * count;
        request->m_lastActivity = Clock::now();
        return size * count;
    }

    static size_t ReceiveHeader(char*, size_t size, size_t count, void* self)
    {
        static_cast<CurlRequest*>(self)->m_lastActivity = Clock::now();
        return size * count;
    }

    size_t Available() const { return m_pending.size() - m_consumed; }

    bool Cancelled() const { return m_limits.cancel && m_limits.cancel->IsCancelled(); }

    // The request's deadline as far as the bytes received so far have moved it.
    Clock::time_point Deadline() const
    {
        auto deadline = m_start + m_limits.deadline;
        if (m_limits.bytesPerSecond > 0)
            deadline += std::chrono::milliseconds(m_received * 1000 / m_limits.bytesPerSecond);
        return deadline;
    }

    // One round of work: perform what is ready, then, while fewer than `wanted` bytes wait to be read,
    // wait for the socket, curl's next timer, the deadline or a cancel. The connect time-out, the stall
    // timer and the deadline guarantee that the transfer reaches m_done.
    void Pump(size_t wanted)
    {
        if (Cancelled()) {
            Fail(CURLE_ABORTED_BY_CALLBACK, "cancelled");
            return;
        }
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
        const auto now = Clock::now();
        const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - m_lastActivity);
        if (idle >= m_stallTimeout) {
            Fail(CURLE_OPERATION_TIMEDOUT, "nothing received for " + std::to_string(idle.count()) + " ms");
            return;
        }
        long wait = std::min<long>(kPollSliceMs, static_cast<long>((m_stallTimeout - idle).count()));
        if (m_limits.deadline.count() > 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline() - now);
            if (left.count() <= 0) {
                Fail(CURLE_OPERATION_TIMEDOUT,
                     "deadline passed after " + std::to_string(m_received) + " bytes");
                return;
            }
            wait = std::min<long>(wait, static_cast<long>(left.count()));
        }
        curl_multi_poll(m_multi, nullptr, 0, static_cast<int>(std::max<long>(wait, 1)), nullptr);
    }

    void Finish(CURLcode result)
    {
        m_done = true;
        m_result = result;
    }

    // Ends the transfer with our own reason; data already received is still delivered.
    void Fail(CURLcode result, const std::string& reason)
    {
        std::snprintf(m_error, sizeof m_error, "%s", reason.c_str());
        Finish(result);
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
    size_t m_consumed = 0; // the bytes at the front of m_pending already read
    uint64_t m_received = 0;
    uint64_t m_contentLength = 0;
    HttpRequestLimits m_limits;
    Clock::time_point m_start;
    CancelToken::Registration m_wakeUp;
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

    std::unique_ptr<HttpRequest> Open(const std::string& url, const std::vector<std::string>& headers,
                                      const HttpRequestLimits& limits) override
    {
        if (StartsWithNoCase(url, "file:"))
            return FileRequest::Open(url, limits);
        auto request = std::make_unique<CurlRequest>();
        if (!request->Start(m_options, m_agent, url, headers, limits))
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
