#pragma once
// The screen-reactive lighting: a sampler thread shrinks the desktop to 18 × 6 colours and keeps one
// colour per cell of a 32 × 8 grid (column-major) for the keys of the layout's key matrix.
//
// One sample walks the matrix columns c < C and, within each, the rows r < R: cell (c, r) takes pixel
// (c, r) of the 18 × 6 image, or, beyond column 17 or row 5, the last colour read (opaque black before
// the first), stored as 0x00BBGGRR. Cells outside C × R keep what they had.
//
// The thread runs from Start until the object dies. While enabled it samples one screen after another,
// at most one every sample interval (default 16 ms, the worker's pace; sampling faster only burns CPU);
// while disabled it sleeps 1000 ms at a time (enabling wakes it). A failed capture is retried after
// 100 ms. The grid is read without a lock: a reader may see cells of two consecutive samples, never a
// torn cell.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "lighting/key_canvas_map.h"
#include "lighting/screen_reducer.h"
#include "platform/screen_capture.h"

class ScreenLight {
public:
    static constexpr std::chrono::milliseconds kIdleSleep{1000};
    static constexpr std::chrono::milliseconds kRetryDelay{100};
    static constexpr std::chrono::milliseconds kDefaultSampleInterval{16};

    explicit ScreenLight(std::unique_ptr<ScreenCapture> capture);
    ~ScreenLight();
    ScreenLight(const ScreenLight&) = delete;
    ScreenLight& operator=(const ScreenLight&) = delete;

    // Takes the matrix size (clamped to 32 × 8), sets the running flag and starts the sampler thread
    // the first time; later calls only change the size.
    void Start(int columnCount, int rowCount);
    // Clears the running flag and waits for the thread.
    void Stop();
    bool IsRunning() const { return m_running.load(); }

    // Set while the current lighting mode is the screen mode.
    void SetEnabled(bool enabled);
    bool IsEnabled() const { return m_enabled.load(); }

    int GetColumnCount() const { return m_columns.load(); }
    int GetRowCount() const { return m_rows.load(); }

    void SetSampleInterval(std::chrono::milliseconds interval);

    // One sample into the grid; false (grid unchanged) when the screen could not be captured.
    bool SampleOnce();
    uint64_t SampleCount() const { return m_samples.load(); }

    // Grid cell (column, row), 0x00BBGGRR; 0 outside the grid.
    COLORREF GetColor(int column, int row) const;
    void CopyGrid(ScreenGrid& grid) const;

private:
    void Run();

    std::unique_ptr<ScreenCapture> m_capture;
    std::mutex m_sampleLock; // one sample at a time: the reducer's tables are not shared
    ScreenReducer m_reducer;

    std::array<std::atomic<COLORREF>, kKeyMatrixColumns * kKeyMatrixRows> m_grid{};
    std::atomic<int> m_columns{0};
    std::atomic<int> m_rows{0};
    std::atomic<uint64_t> m_samples{0};

    std::mutex m_threadLock;
    std::condition_variable m_wake;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_enabled{false};
    std::chrono::milliseconds m_interval = kDefaultSampleInterval;
    std::thread m_thread;
};
