#include "platform/fake/fake_http_client.h"

#include <algorithm>
#include <cstring>

namespace {

class FakeHttpRequest final : public HttpRequest {
public:
    FakeHttpRequest(FakeHttpResponse response, const CancelToken* cancel)
        : m_response(std::move(response)), m_cancel(cancel)
    {
    }

    uint64_t ContentLength() const override
    {
        return m_response.contentLength.value_or(m_response.body.size());
    }

    long Read(char* buffer, size_t size) override
    {
        if (m_cancel && m_cancel->IsCancelled())
            return -1;
        const size_t end =
            std::min(m_response.body.size(), m_response.failAfter.value_or(m_response.body.size()));
        const size_t count = std::min(size, end - m_offset);
        if (count == 0)
            return m_offset < m_response.body.size() ? -1 : 0;
        std::memcpy(buffer, m_response.body.data() + m_offset, count);
        m_offset += count;
        return static_cast<long>(count);
    }

private:
    FakeHttpResponse m_response;
    const CancelToken* m_cancel;
    size_t m_offset = 0;
};

} // namespace

class FakeHttpSession final : public HttpSession {
public:
    FakeHttpSession(FakeHttpClient& client, std::string agent) : m_client(client), m_agent(std::move(agent))
    {
    }

    std::unique_ptr<HttpRequest> Open(const std::string& url, const std::vector<std::string>& headers,
                                      const HttpRequestLimits& limits) override
    {
        return m_client.Open(m_agent, url, headers, limits);
    }

private:
    FakeHttpClient& m_client;
    std::string m_agent;
};

void FakeHttpClient::SetResponse(const std::string& url, FakeHttpResponse response)
{
    const std::lock_guard lock(m_lock);
    m_responses[url] = std::move(response);
}

void FakeHttpClient::RemoveResponse(const std::string& url)
{
    const std::lock_guard lock(m_lock);
    m_responses.erase(url);
}

void FakeHttpClient::SetSessionsAvailable(bool available)
{
    const std::lock_guard lock(m_lock);
    m_sessionsAvailable = available;
}

std::vector<FakeHttpRequestRecord> FakeHttpClient::Requests() const
{
    const std::lock_guard lock(m_lock);
    return m_requests;
}

std::unique_ptr<HttpSession> FakeHttpClient::OpenSession(const std::string& agent)
{
    const std::lock_guard lock(m_lock);
    if (!m_sessionsAvailable)
        return nullptr;
    return std::make_unique<FakeHttpSession>(*this, agent);
}

std::unique_ptr<HttpRequest> FakeHttpClient::Open(const std::string& agent, const std::string& url,
                                                  const std::vector<std::string>& headers,
                                                  const HttpRequestLimits& limits)
{
    const std::lock_guard lock(m_lock);
    m_requests.push_back({agent, url, headers, limits});
    const auto found = m_responses.find(url);
    if (found == m_responses.end() || found->second.status >= 400 ||
        (limits.cancel && limits.cancel->IsCancelled()))
        return nullptr;
    return std::make_unique<FakeHttpRequest>(found->second, limits.cancel);
}
