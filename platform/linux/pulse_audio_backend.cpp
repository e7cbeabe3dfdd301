#include "platform/linux/pulse_audio_backend.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// A reader thread keeps 0.5 s at most; older packets are dropped when nobody takes them.
constexpr size_t kMaxWaitingPackets = 50;
// pa_simple_read cannot be interrupted; a reader still blocked this long after the source is gone (a
// stalled server) is left to finish on its own with its own share of the state.
constexpr auto kReaderEndTimeout = std::chrono::seconds(1);

struct ReaderState {
    std::mutex lock;
    std::condition_variable finishedSignal;
    AudioSourceState state = AudioSourceState::Opening;
    std::deque<AudioPacket> waiting;
    std::vector<AudioPacket> spare;
    bool stop = false;
    bool finished = false;
};

void Finish(ReaderState& shared, AudioSourceState state)
{
    {
        const std::lock_guard lock(shared.lock);
        shared.state = state;
        shared.finished = true;
    }
    shared.finishedSignal.notify_all();
}

void ReadLoop(const std::shared_ptr<ReaderState>& shared, AudioFormat format, const std::string& clientName,
              const std::string& server)
{
    pa_sample_spec sampleSpec{};
    sampleSpec.format =
        format.sampleFormat == AudioSampleFormat::Int16 ? PA_SAMPLE_S16NE : PA_SAMPLE_FLOAT32NE;
    sampleSpec.rate = static_cast<uint32_t>(format.sampleRate);
    sampleSpec.channels = static_cast<uint8_t>(format.channels);
    const int frames = PulseAudioBackend::kPacketFrames;
    const size_t values = static_cast<size_t>(frames) * format.channels;
    const size_t bytes = static_cast<size_t>(frames) * format.BlockSize();

    // The fragment size sets the latency: the server hands over one packet at a time.
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.tlength = static_cast<uint32_t>(-1);
    attributes.prebuf = static_cast<uint32_t>(-1);
    attributes.minreq = static_cast<uint32_t>(-1);
    attributes.fragsize = static_cast<uint32_t>(bytes);

    int error = 0;
    pa_simple* stream =
        pa_simple_new(server.empty() ? nullptr : server.c_str(), clientName.c_str(), PA_STREAM_RECORD,
                      "@DEFAULT_MONITOR@", "Loopback", &sampleSpec, nullptr, &attributes, &error);
    if (!stream) {
        Finish(*shared, AudioSourceState::Failed);
        return;
    }
    {
        const std::lock_guard lock(shared->lock);
        shared->state = AudioSourceState::Capturing;
    }

    AudioSourceState endState = AudioSourceState::Capturing;
    for (;;) {
        AudioPacket packet;
        {
            const std::lock_guard lock(shared->lock);
            if (shared->stop)
                break;
            if (!shared->spare.empty()) {
                packet = std::move(shared->spare.back());
                shared->spare.pop_back();
            }
        }
        packet.frames = frames;
        void* data = nullptr;
        if (format.sampleFormat == AudioSampleFormat::Int16) {
            packet.int16.resize(values);
            packet.float32.clear();
            data = packet.int16.data();
        } else {
            packet.float32.resize(values);
            packet.int16.clear();
            data = packet.float32.data();
        }
        if (pa_simple_read(stream, data, bytes, &error) < 0) {
            endState = AudioSourceState::Ended;
            break;
        }
        const std::lock_guard lock(shared->lock);
        shared->waiting.push_back(std::move(packet));
        if (shared->waiting.size() > kMaxWaitingPackets) {
            shared->spare.push_back(std::move(shared->waiting.front()));
            shared->waiting.pop_front();
        }
    }
    pa_simple_free(stream);
    Finish(*shared, endState);
}

class PulseLoopbackSource : public AudioSource {
public:
    PulseLoopbackSource(AudioFormat format, const std::string& clientName, const std::string& server)
        : m_format(format), m_shared(std::make_shared<ReaderState>())
    {
        m_reader = std::thread(ReadLoop, m_shared, format, clientName, server);
    }

    ~PulseLoopbackSource() override
    {
        std::unique_lock lock(m_shared->lock);
        m_shared->stop = true;
        const bool finished =
            m_shared->finishedSignal.wait_for(lock, kReaderEndTimeout, [this] { return m_shared->finished; });
        lock.unlock();
        if (finished)
            m_reader.join();
        else
            m_reader.detach();
    }

    AudioFormat Format() const override { return m_format; }

    AudioSourceState State() const override
    {
        const std::lock_guard lock(m_shared->lock);
        return m_shared->state;
    }

    bool TakePacket(AudioPacket& packet) override
    {
        const std::lock_guard lock(m_shared->lock);
        if (m_shared->waiting.empty())
            return false;
        std::swap(packet, m_shared->waiting.front());
        m_shared->spare.push_back(std::move(m_shared->waiting.front()));
        m_shared->waiting.pop_front();
        return true;
    }

private:
    AudioFormat m_format;
    std::shared_ptr<ReaderState> m_shared;
    std::thread m_reader;
};

} // namespace

PulseAudioBackend::PulseAudioBackend(std::string clientName, std::string server)
    : m_clientName(std::move(clientName)), m_server(std::move(server))
{
}

std::unique_ptr<AudioSource> PulseAudioBackend::OpenPlaybackLoopback(AudioSampleFormat sampleFormat)
{
    AudioFormat format;
    format.sampleFormat = sampleFormat;
    format.sampleRate = kSampleRate;
    format.channels = kChannels;
    return std::make_unique<PulseLoopbackSource>(format, m_clientName, m_server);
}
