// Capture through a real sound server: each test starts its own headless PulseAudio with a null sink as
// the default playback device, plays a tone into it and listens to the sink's monitor.

#include <gtest/gtest.h>

#include <pulse/simple.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <numbers>
#include <thread>
#include <vector>

#include "platform/audio_capture.h"
#include "platform/linux/pulse_audio_backend.h"
#include "tests/lighting/eventually.h"
#include "tests/lighting/server_process.h"
#include "tests/support/scoped_folders.h"

namespace {

using namespace std::chrono_literals;

bool CanConnect(const std::string& socketPath)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
    const bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return connected;
}

// Plays a sine into the default sink until destroyed.
class TonePlayer {
public:
    TonePlayer(const std::string& server, double frequency)
    {
        m_thread = std::thread([this, server, frequency] {
            const pa_sample_spec sampleSpec{PA_SAMPLE_FLOAT32NE, 48000, 2};
            pa_simple* stream = pa_simple_new(server.c_str(), "tone", PA_STREAM_PLAYBACK, nullptr, "tone",
                                              &sampleSpec, nullptr, nullptr, nullptr);
            if (!stream)
                return;
            std::vector<float> chunk(480 * 2);
            long frame = 0;
            while (!m_stop) {
                for (size_t i = 0; i < chunk.size(); i += 2, ++frame)
                    chunk[i] = chunk[i + 1] =
                        0.5f *
                        static_cast<float>(std::sin(2.0 * std::numbers::pi * frequency * frame / 48000.0));
                if (pa_simple_write(stream, chunk.data(), chunk.size() * sizeof(float), nullptr) < 0)
                    break;
            }
            pa_simple_free(stream);
        });
    }
    ~TonePlayer()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Sign changes of the first channel of interleaved stereo.
template <class T> int ZeroCrossings(const std::vector<T>& samples)
{
    int crossings = 0;
    for (size_t i = 2; i < samples.size(); i += 2)
        crossings += (samples[i - 2] < 0) != (samples[i] < 0);
    return crossings;
}

class Listener : public AudioCapture::IProxy {
public:
    void OnCaptureStopped() override
    {
        {
            const std::lock_guard lock(m_lock);
            m_stopped = true;
        }
        m_changed.notify_all();
    }
    void OnCaptureData(const int16_t* samples, int count, int, int, int channels) override
    {
        if (!samples || channels != 2)
            return;
        int peak = 0;
        for (int i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        {
            const std::lock_guard lock(m_lock);
            ++m_packets;
            if (peak > 8000 && m_loud.empty())
                m_loud.assign(samples, samples + count);
        }
        m_changed.notify_all();
    }
    void OnCaptureFormat(const AudioFormat&) override {}

    bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds timeout)
    {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, timeout, condition);
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<int16_t> m_loud;
    int m_packets = 0;
    bool m_stopped = false;
};

class PulseAudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // tools/setup-deps.sh installs PulseAudio: without it, or when it cannot start, the test fails.
        ASSERT_TRUE(ProgramExists("pulseaudio")) << "pulseaudio is not installed";
        m_socket = (m_folder.Path() / "native").string();
        m_server = "unix:" + m_socket;
        const std::string script = (m_folder.Path() / "server.pa").string();
        WriteFileBytes(script, "load-module module-native-protocol-unix auth-anonymous=1 socket=" + m_socket +
                                   "\nload-module module-null-sink sink_name=torvik_test\n"
                                   "set-default-sink torvik_test\n");
        // Running as root needs --system=false and a runtime folder of its own.
        const std::string runtime = "XDG_RUNTIME_DIR=" + m_folder.Path().string();
        ASSERT_TRUE(m_pulse.Start({"pulseaudio", "--daemonize=no", "--system=false", "--exit-idle-time=-1",
                                   "--use-pid-file=no", "-n", "-F", script},
                                  {runtime, "HOME=" + m_folder.Path().string()}))
            << "pulseaudio could not be started";
        ASSERT_TRUE(m_pulse.WaitUntil([this] { return CanConnect(m_socket); }, 10s))
            << "PulseAudio did not accept connections within 10 s";
    }

    ScopedTempDir m_folder;
    ServerProcess m_pulse;
    std::string m_socket;
    std::string m_server;
};

} // namespace

TEST_F(PulseAudioTest, CaptureHearsTheToneAsSixteenBitSamples)
{
    const TonePlayer tone(m_server, 1000.0);
    PulseAudioBackend backend("Torvik", m_server);
    AudioCapture capture(backend);
    Listener listener;
    ASSERT_TRUE(capture.Start(&listener));
    ASSERT_TRUE(listener.WaitFor([&] { return !listener.m_loud.empty(); }, 15s)) << "no tone heard";
    capture.Stop();
    EXPECT_TRUE(listener.m_stopped);

    const std::lock_guard lock(listener.m_lock);
    ASSERT_EQ(listener.m_loud.size(), static_cast<size_t>(PulseAudioBackend::kPacketFrames * 2));
    // 1000 Hz over 10 ms: ten periods, twenty sign changes.
    EXPECT_NEAR(ZeroCrossings(listener.m_loud), 20, 2);
}

TEST_F(PulseAudioTest, FloatSourceHearsTheTone)
{
    const TonePlayer tone(m_server, 2000.0);
    PulseAudioBackend backend("Torvik", m_server);
    const auto source = backend.OpenPlaybackLoopback(AudioSampleFormat::Float32);
    AudioPacket packet;
    bool heard = false;
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (!heard && std::chrono::steady_clock::now() < deadline) {
        ASSERT_NE(source->State(), AudioSourceState::Failed);
        while (!heard && source->TakePacket(packet))
            heard = !packet.float32.empty() &&
                    *std::max_element(packet.float32.begin(), packet.float32.end()) > 0.25f;
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(heard) << "no tone heard";
    EXPECT_EQ(packet.frames, PulseAudioBackend::kPacketFrames);
    EXPECT_EQ(packet.float32.size(), static_cast<size_t>(packet.frames * 2));
    EXPECT_NEAR(ZeroCrossings(packet.float32), 40, 2);
}

TEST_F(PulseAudioTest, ServerGoingAwayEndsCapture)
{
    PulseAudioBackend backend("Torvik", m_server);
    AudioCapture capture(backend);
    Listener listener;
    const auto floatSource = backend.OpenPlaybackLoopback(AudioSampleFormat::Float32);
    ASSERT_TRUE(capture.Start(&listener));
    ASSERT_TRUE(listener.WaitFor([&] { return listener.m_packets > 0; }, 15s));

    m_pulse.Kill(SIGKILL);
    EXPECT_TRUE(listener.WaitFor([&] { return listener.m_stopped; }, 10s));
    EXPECT_TRUE(Eventually([&] { return !capture.IsRunning(); }));
    EXPECT_TRUE(Eventually([&] { return floatSource->State() == AudioSourceState::Ended; }));
}

TEST(PulseAudioBackend, NoServerMeansNoCapture)
{
    PulseAudioBackend backend("Torvik", "unix:/nonexistent/torvik-test/native");
    const auto source = backend.OpenPlaybackLoopback(AudioSampleFormat::Int16);
    EXPECT_TRUE(Eventually([&] { return source->State() != AudioSourceState::Opening; }, 10s));
    EXPECT_EQ(source->State(), AudioSourceState::Failed);

    AudioCapture capture(backend);
    Listener listener;
    ASSERT_TRUE(capture.Start(&listener));
    EXPECT_TRUE(Eventually([&] { return !capture.IsRunning(); }, 10s));
    EXPECT_EQ(listener.m_packets, 0);
    EXPECT_FALSE(listener.m_stopped);
}
