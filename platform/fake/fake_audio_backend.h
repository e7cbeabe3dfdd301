#pragma once
// Generated sound in place of the sound server: every source it opens plays the backend's current
// signal. Packets arrive in bursts: each burst of `packetsPerBurst` packets is followed by one empty
// take, so a consumer that drains until empty gets exactly one burst per drain.

#include <functional>
#include <memory>
#include <mutex>

#include "platform/audio_source.h"

class FakeAudioBackend : public AudioBackend {
public:
    // The value (-1 ... 1) of every channel at a time in seconds from the start of the source.
    using Signal = std::function<double(double seconds)>;

    static Signal Silence();
    static Signal Sine(double frequency, double amplitude);

    FakeAudioBackend();
    ~FakeAudioBackend() override;

    std::unique_ptr<AudioSource> OpenPlaybackLoopback(AudioSampleFormat format) override;

    void SetSignal(Signal signal);
    void SetFormat(int sampleRate, int channels);
    void SetPacketFrames(int frames);
    // 0: no packet ever arrives.
    void SetPacketsPerBurst(int packets);
    // Later opens return a source that reports Failed (no playback device).
    void SetOpenFails(bool fails);
    // Every open source ends as when the device or server goes away.
    void Vanish();

    int OpenCount() const;

    struct Settings;

private:
    std::shared_ptr<Settings> m_settings;
};
