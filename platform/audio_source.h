#pragma once
// The sound the PC is playing, captured from the default playback device (loopback). One AudioSource is
// one open capture; an AudioBackend opens them. Nothing here ever blocks its caller.

#include <cstdint>
#include <memory>
#include <vector>

enum class AudioSampleFormat {
    Int16,   // signed 16-bit, interleaved
    Float32, // 32-bit float in -1 ... 1, interleaved
};

struct AudioFormat {
    AudioSampleFormat sampleFormat = AudioSampleFormat::Int16;
    int sampleRate = 48000;
    int channels = 2;

    int BitsPerSample() const { return sampleFormat == AudioSampleFormat::Int16 ? 16 : 32; }
    // Bytes of one frame (one value per channel).
    int BlockSize() const { return channels * BitsPerSample() / 8; }
};

// One captured packet. Only the vector of the source's sample format is filled; it holds
// frames × channels interleaved values.
struct AudioPacket {
    int frames = 0;
    std::vector<int16_t> int16;
    std::vector<float> float32;
};

enum class AudioSourceState {
    Opening,   // connecting to the sound server
    Capturing, // packets arrive
    Failed,    // the capture could not be set up (no server, no playback device, format refused)
    Ended,     // the server or the device went away after capture had started
};

class AudioSource {
public:
    virtual ~AudioSource() = default;

    virtual AudioFormat Format() const = 0;
    virtual AudioSourceState State() const = 0;

    // Moves the oldest waiting packet into `packet` without waiting; false when none is waiting.
    // The vectors of `packet` may be swapped for recycled ones.
    virtual bool TakePacket(AudioPacket& packet) = 0;
};

class AudioBackend {
public:
    virtual ~AudioBackend() = default;

    // Starts capturing what the default playback device plays, in the given sample format. Returns at
    // once; the source reports Opening until it captures or fails. Null when nothing can be opened.
    virtual std::unique_ptr<AudioSource> OpenPlaybackLoopback(AudioSampleFormat format) = 0;
};
