#include "platform/cancel_token.h"

#include <utility>

void CancelToken::Cancel()
{
    const std::lock_guard lock(m_lock);
    if (m_cancelled.exchange(true))
        return;
    for (const auto& [id, wake] : m_wakeUps)
        wake();
}

CancelToken::Registration CancelToken::OnCancel(std::function<void()> wake) const
{
    const std::lock_guard lock(m_lock);
    if (m_cancelled.load()) {
        wake();
        return {};
    }
    const int id = m_nextId++;
    m_wakeUps.emplace(id, std::move(wake));
    return Registration(this, id);
}

CancelToken::Registration::Registration(Registration&& other) noexcept
    : m_token(std::exchange(other.m_token, nullptr)), m_id(other.m_id)
{
}

CancelToken::Registration& CancelToken::Registration::operator=(Registration&& other) noexcept
{
    if (this != &other) {
        Release();
        m_token = std::exchange(other.m_token, nullptr);
        m_id = other.m_id;
    }
    return *this;
}

CancelToken::Registration::~Registration()
{
    Release();
}

void CancelToken::Registration::Release()
{
    if (!m_token)
        return;
    const std::lock_guard lock(m_token->m_lock);
    m_token->m_wakeUps.erase(m_id);
    m_token = nullptr;
}
