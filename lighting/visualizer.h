#pragma once
// The music visualiser of the output-report keyboards: an analyser thread that turns what the PC plays
// into a 256 × 64 colour canvas, which the worker maps onto the keys.
//
// Each frame drains the capture (float samples of the default playback device), analyses it (see
// SpectrumAnalyser), builds the background palette at the background brightness and the foreground
// palette at full brightness, advances the phase and paints the canvas: cell (column a, row i >= 1) is
// lit when (64 - i) / 64 < the displayed value of column a and takes the foreground colour of that cell,
// otherwise the background colour; row 0 is a bar from the centre columns outwards, (level - 0.05) × 128
// wide on each side, where the level is the mean of the displayed values.
//
// Thread rhythm: a frame, then 15 ms of sleep; while paused, sleeps of 500 ms and no work (a resume
// ends the sleep at once). The canvas is double-buffered: the finished frame is read under a lock that
// the painting never holds, so a reader never sees half a frame.
//
// Settings may be changed from any thread; they wait for a running frame to end.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "lighting/palette.h"
#include "lighting/spectrum_analyser.h"
#include "platform/audio_source.h"

class Visualizer {
public:
    static constexpr int kFrameSleepMs = 15;
    static constexpr int kPausedSleepMs = 500;
    // Frames in a row with every displayed value below 0.0001 before the visualiser counts as silent.
    static constexpr int kSilenceLimit = 120;

    // The backend is not owned and must outlive the visualiser.
    explicit Visualizer(AudioBackend& audio);
    ~Visualizer();
    Visualizer(const Visualizer&) = delete;
    Visualizer& operator=(const Visualizer&) = delete;

    // Opens the capture and starts the analyser thread; false when it already runs.
    bool Start();
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

    // No frame runs while paused; Pause returns once a running frame has ended.
    void Pause();
    void Resume();
    bool IsPaused() const { return m_paused.load(); }

    // Reopens the capture. The device index is kept but the capture always follows the default
    // playback device. False when no capture could be opened.
    bool OpenCapture(int deviceIndex);
    bool IsCapturing() const;

    void SetAmplification(int amplification);
    void SetForegroundType(int type);
    void SetBackgroundType(int type);
    // 0-100.
    void SetBackgroundBrightness(int brightness);
    void SetWindow(int window);
    void SetSmoothing(int mode, int width);
    void SetDecay(int percent);
    void SetDisplaySmoothing(float factor);
    // Hundredths of a degree per frame (default 500).
    void SetPhaseStep(int hundredths);

    int GetAmplification() const;
    int GetForegroundType() const;
    int GetBackgroundType() const;
    int GetBackgroundBrightness() const;
    int GetDeviceIndex() const;

    // One frame of the thread's work; the thread calls it, tests and benchmarks may too.
    void RunFrame();

    // The last finished canvas.
    void CopyCanvas(ColorPlane& canvas) const;
    // Frames finished so far.
    uint64_t FrameCount() const { return m_frames.load(); }
    // The displayed column values of the last frame.
    SpectrumAnalyser::Columns Displayed() const;
    // Phase of the palettes of the next frame, degrees 0-360.
    double Phase() const;
    bool IsSilent() const;

private:
    void Run();
    // The thread's frame: skipped when a pause came first.
    void RunFrameUnlessPaused();
    void AnalyseAndPaint();
    void DrainCapture();
    void Paint();

    AudioBackend& m_audio;

    // Held for a whole frame and by every setting.
    mutable std::mutex m_frameLock;
    std::unique_ptr<AudioSource> m_source;
    AudioPacket m_packet;
    int m_deviceIndex = 0;
    SpectrumAnalyser m_analyser;
    int m_foregroundType = 15;
    int m_backgroundType = 0;
    int m_backgroundBrightness = 100;
    int m_phaseStep = 500;
    double m_phase = 0.0;
    int m_silentFrames = 0;
    std::unique_ptr<ColorPlane> m_foreground;
    std::unique_ptr<ColorPlane> m_background;
    // Which palette the planes hold, to skip rebuilding one that has not changed.
    struct PaletteKey {
        int type = -1;
        int brightness = -1;
        double phase = -1.0;
        bool operator==(const PaletteKey&) const = default;
    };
    PaletteKey m_foregroundKey;
    PaletteKey m_backgroundKey;

    // The canvas pair: the painting writes the back one, then makes it the front under m_canvasLock.
    mutable std::mutex m_canvasLock;
    std::unique_ptr<ColorPlane[]> m_canvas;
    int m_front = 0;
    std::atomic<uint64_t> m_frames{0};

    std::mutex m_threadLock;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::atomic<bool> m_paused{false};
    std::thread m_thread;
};
