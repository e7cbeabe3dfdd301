#include "lighting/visualizer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>

Visualizer::Visualizer(AudioBackend& audio)
    : m_audio(audio), m_foreground(std::make_unique<ColorPlane>()),
      m_background(std::make_unique<ColorPlane>()), m_canvas(std::make_unique<ColorPlane[]>(2))
{
}

Visualizer::~Visualizer()
{
    Stop();
}

bool Visualizer::Start()
{
    if (m_thread.joinable())
        return false;
    OpenCapture(GetDeviceIndex());
    {
        const std::lock_guard lock(m_threadLock);
        m_stop = false;
    }
    m_thread = std::thread(&Visualizer::Run, this);
    return true;
}

void Visualizer::Stop()
{
    {
        const std::lock_guard lock(m_threadLock);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    // Destroyed outside the lock: a source may wait for its reader to end.
    std::unique_ptr<AudioSource> source;
    const std::lock_guard frame(m_frameLock);
    source = std::move(m_source);
}

void Visualizer::Pause()
{
    {
        const std::lock_guard lock(m_threadLock);
        m_paused = true;
    }
    // A frame that is running ends before we return; a later one sees the flag.
    const std::lock_guard frame(m_frameLock);
}

void Visualizer::Resume()
{
    {
        const std::lock_guard lock(m_threadLock);
        m_paused = false;
    }
    m_wake.notify_all();
}

void Visualizer::Run()
{
    std::unique_lock lock(m_threadLock);
    while (!m_stop) {
        if (m_paused) {
            m_wake.wait_for(lock, std::chrono::milliseconds(kPausedSleepMs),
                            [this] { return m_stop || !m_paused; });
            continue;
        }
        lock.unlock();
        RunFrameUnlessPaused();
        lock.lock();
        m_wake.wait_for(lock, std::chrono::milliseconds(kFrameSleepMs), [this] { return m_stop; });
    }
}

bool Visualizer::OpenCapture(int deviceIndex)
{
    std::unique_ptr<AudioSource> source = m_audio.OpenPlaybackLoopback(AudioSampleFormat::Float32);
    const bool opened = source && source->State() != AudioSourceState::Failed;
    {
        const std::lock_guard frame(m_frameLock);
        m_deviceIndex = deviceIndex;
        std::swap(m_source, source);
    }
    // The previous capture ends here, outside the lock: a source may wait for its reader to end.
    source.reset();
    return opened;
}

bool Visualizer::IsCapturing() const
{
    const std::lock_guard frame(m_frameLock);
    return m_source && m_source->State() == AudioSourceState::Capturing;
}

void Visualizer::SetAmplification(int amplification)
{
    const std::lock_guard frame(m_frameLock);
    m_analyser.SetAmplification(amplification);
}

void Visualizer::SetForegroundType(int type)
{
    const std::lock_guard frame(m_frameLock);
    m_foregroundType = type;
}

void Visualizer::SetBackgroundType(int type)
{
    const std::lock_guard frame(m_frameLock);
    m_backgroundType = type;
}

void Visualizer::SetBackgroundBrightness(int brightness)
{
    const std::lock_guard frame(m_frameLock);
    m_backgroundBrightness = std::clamp(brightness, 0, 100);
}

void Visualizer::SetWindow(int window)
{
    const std::lock_guard frame(m_frameLock);
    m_analyser.SetWindow(window);
}

void Visualizer::SetSmoothing(int mode, int width)
{
    const std::lock_guard frame(m_frameLock);
    m_analyser.SetSmoothing(mode, width);
}

void Visualizer::SetDecay(int percent)
{
    const std::lock_guard frame(m_frameLock);
    m_analyser.SetDecay(percent);
}

void Visualizer::SetDisplaySmoothing(float factor)
{
    const std::lock_guard frame(m_frameLock);
    m_analyser.SetDisplaySmoothing(factor);
}

void Visualizer::SetPhaseStep(int hundredths)
{
    const std::lock_guard frame(m_frameLock);
    m_phaseStep = hundredths;
}

int Visualizer::GetAmplification() const
{
    const std::lock_guard frame(m_frameLock);
    return m_analyser.GetAmplification();
}

int Visualizer::GetForegroundType() const
{
    const std::lock_guard frame(m_frameLock);
    return m_foregroundType;
}

int Visualizer::GetBackgroundType() const
{
    const std::lock_guard frame(m_frameLock);
    return m_backgroundType;
}

int Visualizer::GetBackgroundBrightness() const
{
    const std::lock_guard frame(m_frameLock);
    return m_backgroundBrightness;
}

int Visualizer::GetDeviceIndex() const
{
    const std::lock_guard frame(m_frameLock);
    return m_deviceIndex;
}

SpectrumAnalyser::Columns Visualizer::Displayed() const
{
    const std::lock_guard frame(m_frameLock);
    return m_analyser.Displayed();
}

double Visualizer::Phase() const
{
    const std::lock_guard frame(m_frameLock);
    return m_phase;
}

bool Visualizer::IsSilent() const
{
    const std::lock_guard frame(m_frameLock);
    return m_silentFrames >= kSilenceLimit;
}

void Visualizer::CopyCanvas(ColorPlane& canvas) const
{
    const std::lock_guard lock(m_canvasLock);
    canvas = m_canvas[m_front];
}

void Visualizer::RunFrame()
{
    const std::lock_guard frame(m_frameLock);
    AnalyseAndPaint();
}

void Visualizer::RunFrameUnlessPaused()
{
    const std::lock_guard frame(m_frameLock);
    if (!m_paused)
        AnalyseAndPaint();
}

void Visualizer::AnalyseAndPaint()
{
    m_analyser.Decay();
    DrainCapture();
    m_analyser.Analyse();
    const auto& shown = m_analyser.Displayed();
    const bool silent = std::all_of(shown.begin(), shown.end(), [](float v) { return v < 0.0001f; });
    m_silentFrames = silent ? std::min(m_silentFrames + 1, kSilenceLimit) : 0;
    Paint();
}

void Visualizer::DrainCapture()
{
    if (!m_source)
        return;
    const AudioSourceState state = m_source->State();
    if (state == AudioSourceState::Failed || state == AudioSourceState::Ended) {
        // The device is gone: the columns keep decaying until the capture is opened again.
        m_source.reset();
        return;
    }
    while (m_source->TakePacket(m_packet))
        m_analyser.AddPacket(m_packet.float32.data(), m_packet.float32.size(), m_packet.frames);
}

void Visualizer::Paint()
{
    const auto follow = [this](int type) { return PaletteFollowsPhase(type) ? m_phase : -1.0; };
    const PaletteKey background{m_backgroundType, m_backgroundBrightness, follow(m_backgroundType)};
    if (!(background == m_backgroundKey)) {
        BuildPalette(background.type, background.brightness, m_phase, *m_background);
        m_backgroundKey = background;
    }
    const PaletteKey foreground{m_foregroundType, 100, follow(m_foregroundType)};
    if (!(foreground == m_foregroundKey)) {
        BuildPalette(foreground.type, foreground.brightness, m_phase, *m_foreground);
        m_foregroundKey = foreground;
    }
    m_phase += m_phaseStep / 100.0;
    m_phase = std::fmod(m_phase, 360.0);
    if (m_phase < 0.0)
        m_phase += 360.0;

    const ColorPlane& fore = *m_foreground;
    const ColorPlane& back = *m_background;
    ColorPlane& canvas = m_canvas[1 - m_front];
    const auto& shown = m_analyser.Displayed();

    const float level = std::accumulate(shown.begin(), shown.end(), 0.0f) / kCanvasColumns;
    const int half = std::clamp(static_cast<int>(std::trunc((level - 0.05f) * 128.0f)), 0, 128);
    for (int a = 0; a < kCanvasColumns; ++a) {
        const int fromCentre = a >= 128 ? a - 128 : 127 - a;
        canvas[0][a] = fromCentre < half ? fore[0][a] : back[0][a];
    }
    for (int i = 1; i < kCanvasRows; ++i) {
        const float threshold = static_cast<float>(kCanvasRows - i) / kCanvasRows;
        for (int a = 0; a < kCanvasColumns; ++a)
            canvas[i][a] = threshold < shown[a] ? fore[i][a] : back[i][a];
    }

    {
        const std::lock_guard lock(m_canvasLock);
        m_front = 1 - m_front;
    }
    ++m_frames;
}
