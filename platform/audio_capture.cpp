#include "platform/audio_capture.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <utility>

AudioCapture::AudioCapture(AudioBackend& backend) : m_backend(backend) {}

AudioCapture::~AudioCapture()
{
    Stop();
    // Stopped from inside a proxy operation and destroyed there as well: the thread ends by itself.
    if (m_thread.joinable())
        m_thread.detach();
}

bool AudioCapture::Start(IProxy* proxy)
{
    if (m_running.load())
        return false;
    if (m_thread.joinable())
        m_thread.join();
    {
        const std::lock_guard lock(m_lock);
        m_stop = false;
    }
    m_running = true;
    m_thread = std::thread(&AudioCapture::Run, this, proxy);
    return true;
}

void AudioCapture::Stop()
{
    {
        const std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

bool AudioCapture::IsRunning() const
{
    return m_running.load();
}

bool AudioCapture::SetPeriod(int milliseconds)
{
    if (milliseconds != 33 && milliseconds != 66 && milliseconds != 99)
        return false;
    m_period = milliseconds;
    return true;
}

bool AudioCapture::WaitPeriod()
{
    std::unique_lock lock(m_lock);
    return !m_wake.wait_for(lock, std::chrono::milliseconds(m_period.load()), [this] { return m_stop; });
}

void AudioCapture::Run(IProxy* proxy)
{
    std::unique_ptr<AudioSource> source = m_backend.OpenPlaybackLoopback(AudioSampleFormat::Int16);
    bool started = false;
    AudioPacket packet;
    AudioPacket newest;
    while (source) {
        const AudioSourceState state = source->State();
        if (state == AudioSourceState::Failed || state == AudioSourceState::Ended)
            break;
        if (state == AudioSourceState::Capturing) {
            const AudioFormat format = source->Format();
            if (!started) {
                started = true;
                if (proxy)
                    proxy->OnCaptureFormat(format);
            }
            // Only the newest packet counts: older ones would make the lights lag behind the sound.
            bool taken = false;
            while (source->TakePacket(packet)) {
                std::swap(packet, newest);
                taken = true;
            }
            const int count = taken ? static_cast<int>(std::min<size_t>(newest.int16.size(), INT_MAX)) : 0;
            if (proxy)
                proxy->OnCaptureData(count > 0 ? newest.int16.data() : nullptr, count, format.channels * 2,
                                     16, format.channels);
        }
        if (!WaitPeriod())
            break;
    }
    source.reset();
    if (started && proxy)
        proxy->OnCaptureStopped();
    m_running = false;
}
