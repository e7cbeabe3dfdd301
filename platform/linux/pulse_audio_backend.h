#pragma once
// Loopback capture through the PulseAudio client library (libpulse-simple): the monitor of the default
// sink, which PipeWire's pulse server offers as well. The sound server converts to the format asked for.

#include <string>

#include "platform/audio_source.h"

class PulseAudioBackend : public AudioBackend {
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;
    static constexpr int kPacketFrames = kSampleRate / 100; // 10 ms packets

    // clientName: how the sound server lists the program. server: empty for the session's default
    // ($PULSE_SERVER, then the user's server).
    explicit PulseAudioBackend(std::string clientName, std::string server = {});

    std::unique_ptr<AudioSource> OpenPlaybackLoopback(AudioSampleFormat format) override;

private:
    std::string m_clientName;
    std::string m_server;
};
