#include "platform/fake/fake_audio_backend.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

struct FakeAudioBackend::Settings {
    mutable std::mutex lock;
    Signal signal = FakeAudioBackend::Silence();
    int sampleRate = 48000;
    int channels = 2;
    int packetFrames = 480;
    int packetsPerBurst = 1;
    bool openFails = false;
    int vanishGeneration = 0;
    int openCount = 0;
};

namespace {

class FakeAudioSource : public AudioSource {
public:
    FakeAudioSource(std::shared_ptr<FakeAudioBackend::Settings> settings, AudioSampleFormat sampleFormat)
        : m_settings(std::move(settings))
    {
        const std::lock_guard lock(m_settings->lock);
        m_format.sampleFormat = sampleFormat;
        m_format.sampleRate = m_settings->sampleRate;
        m_format.channels = m_settings->channels;
        m_failed = m_settings->openFails;
        m_generation = m_settings->vanishGeneration;
    }

    AudioFormat Format() const override { return m_format; }

    AudioSourceState State() const override
    {
        if (m_failed)
            return AudioSourceState::Failed;
        const std::lock_guard lock(m_settings->lock);
        return m_settings->vanishGeneration != m_generation ? AudioSourceState::Ended
                                                            : AudioSourceState::Capturing;
    }

    bool TakePacket(AudioPacket& packet) override
    {
        if (State() != AudioSourceState::Capturing)
            return false;
        const std::lock_guard lock(m_settings->lock);
        if (m_settings->packetsPerBurst <= 0 || m_takenInBurst >= m_settings->packetsPerBurst) {
            m_takenInBurst = 0;
            return false;
        }
        ++m_takenInBurst;
        const int frames = m_settings->packetFrames;
        const size_t values = static_cast<size_t>(frames) * m_format.channels;
        packet.frames = frames;
        packet.int16.clear();
        packet.float32.clear();
        if (m_format.sampleFormat == AudioSampleFormat::Int16)
            packet.int16.reserve(values);
        else
            packet.float32.reserve(values);
        for (int f = 0; f < frames; ++f, ++m_frame) {
            const double value =
                std::clamp(m_settings->signal(static_cast<double>(m_frame) / m_format.sampleRate), -1.0, 1.0);
            for (int c = 0; c < m_format.channels; ++c) {
                if (m_format.sampleFormat == AudioSampleFormat::Int16)
                    packet.int16.push_back(
                        static_cast<int16_t>(std::clamp(std::lround(value * 32768.0), -32768L, 32767L)));
                else
                    packet.float32.push_back(static_cast<float>(value));
            }
        }
        return true;
    }

private:
    std::shared_ptr<FakeAudioBackend::Settings> m_settings;
    AudioFormat m_format;
    bool m_failed = false;
    int m_generation = 0;
    int m_takenInBurst = 0;
    int64_t m_frame = 0;
};

} // namespace

FakeAudioBackend::Signal FakeAudioBackend::Silence()
{
    return [](double) { return 0.0; };
}

FakeAudioBackend::Signal FakeAudioBackend::Sine(double frequency, double amplitude)
{
    return [frequency, amplitude](double seconds) {
        return amplitude * std::sin(2.0 * std::numbers::pi * frequency * seconds);
    };
}

FakeAudioBackend::FakeAudioBackend() : m_settings(std::make_shared<Settings>()) {}

FakeAudioBackend::~FakeAudioBackend() = default;

std::unique_ptr<AudioSource> FakeAudioBackend::OpenPlaybackLoopback(AudioSampleFormat format)
{
    {
        const std::lock_guard lock(m_settings->lock);
        ++m_settings->openCount;
    }
    return std::make_unique<FakeAudioSource>(m_settings, format);
}

void FakeAudioBackend::SetSignal(Signal signal)
{
    const std::lock_guard lock(m_settings->lock);
    m_settings->signal = signal ? std::move(signal) : Silence();
}

void FakeAudioBackend::SetFormat(int sampleRate, int channels)
{
    const std::lock_guard lock(m_settings->lock);
    m_settings->sampleRate = std::max(1, sampleRate);
    m_settings->channels = std::clamp(channels, 1, 8);
}

void FakeAudioBackend::SetPacketFrames(int frames)
{
    const std::lock_guard lock(m_settings->lock);
    m_settings->packetFrames = std::max(0, frames);
}

void FakeAudioBackend::SetPacketsPerBurst(int packets)
{
    const std::lock_guard lock(m_settings->lock);
    m_settings->packetsPerBurst = packets;
}

void FakeAudioBackend::SetOpenFails(bool fails)
{
    const std::lock_guard lock(m_settings->lock);
    m_settings->openFails = fails;
}

void FakeAudioBackend::Vanish()
{
    const std::lock_guard lock(m_settings->lock);
    ++m_settings->vanishGeneration;
}

int FakeAudioBackend::OpenCount() const
{
    const std::lock_guard lock(m_settings->lock);
    return m_settings->openCount;
}
