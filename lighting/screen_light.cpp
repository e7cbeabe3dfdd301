#include "lighting/screen_light.h"

#include <algorithm>

ScreenLight::ScreenLight(std::unique_ptr<ScreenCapture> capture) : m_capture(std::move(capture))
{
    if (m_capture)
        m_capture->SetSampleSize(ScreenReducer::kSampleWidth, ScreenReducer::kSampleHeight);
    for (auto& cell : m_grid)
        cell.store(0, std::memory_order_relaxed);
}

ScreenLight::~ScreenLight()
{
    Stop();
}

void ScreenLight::Start(int columnCount, int rowCount)
{
    m_columns = std::clamp(columnCount, 0, kKeyMatrixColumns);
    m_rows = std::clamp(rowCount, 0, kKeyMatrixRows);
    {
        const std::lock_guard lock(m_threadLock);
        if (m_running)
            return;
        m_running = true;
    }
    if (m_thread.joinable())
        m_thread.join();
    m_thread = std::thread(&ScreenLight::Run, this);
}

void ScreenLight::Stop()
{
    {
        const std::lock_guard lock(m_threadLock);
        m_running = false;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void ScreenLight::SetEnabled(bool enabled)
{
    {
        const std::lock_guard lock(m_threadLock);
        m_enabled = enabled;
    }
    m_wake.notify_all();
}

void ScreenLight::SetSampleInterval(std::chrono::milliseconds interval)
{
    const std::lock_guard lock(m_threadLock);
    m_interval = std::max(interval, std::chrono::milliseconds(0));
}

void ScreenLight::Run()
{
    std::unique_lock lock(m_threadLock);
    while (m_running) {
        if (!m_enabled) {
            m_wake.wait_for(lock, kIdleSleep, [this] { return !m_running || m_enabled; });
            continue;
        }
        lock.unlock();
        const auto started = std::chrono::steady_clock::now();
        const bool sampled = SampleOnce();
        lock.lock();
        const auto resume = sampled ? started + m_interval : std::chrono::steady_clock::now() + kRetryDelay;
        m_wake.wait_until(lock, resume, [this] { return !m_running; });
    }
}

bool ScreenLight::SampleOnce()
{
    const std::lock_guard lock(m_sampleLock);
    if (!m_capture)
        return false;
    ScreenImage image;
    ScreenReducer::Grid small;
    if (!m_capture->Capture(image) || !m_reducer.Reduce(image, small))
        return false;

    const int columns = m_columns.load();
    const int rows = m_rows.load();
    ARGB last = 0xFF000000;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            if (c < ScreenReducer::kGridWidth && r < ScreenReducer::kGridHeight)
                last = small[r * ScreenReducer::kGridWidth + c];
            m_grid[c * kKeyMatrixRows + r].store(ARGBToColorRef(last), std::memory_order_relaxed);
        }
    ++m_samples;
    return true;
}

COLORREF ScreenLight::GetColor(int column, int row) const
{
    if (column < 0 || column >= kKeyMatrixColumns || row < 0 || row >= kKeyMatrixRows)
        return 0;
    return m_grid[column * kKeyMatrixRows + row].load(std::memory_order_relaxed);
}

void ScreenLight::CopyGrid(ScreenGrid& grid) const
{
    for (size_t i = 0; i < grid.size(); ++i)
        grid[i] = m_grid[i].load(std::memory_order_relaxed);
}
