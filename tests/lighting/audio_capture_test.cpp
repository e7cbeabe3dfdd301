#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_capture.h"
#include "platform/fake/fake_audio_backend.h"
#include "tests/lighting/eventually.h"

namespace {

using namespace std::chrono_literals;

// What a main window would bind: it records every operation in order.
class Recorder {
public:
    struct Data {
        std::vector<int16_t> samples;
        bool none = false;
        int blockSize = 0;
        int bitsPerSample = 0;
        int channels = 0;
    };

    void OnStopped()
    {
        Add("stopped", [] {});
    }
    void OnData(const int16_t* samples, int count, int blockSize, int bitsPerSample, int channels)
    {
        Add("data", [&] {
            Data data;
            data.none = samples == nullptr;
            if (samples)
                data.samples.assign(samples, samples + count);
            data.blockSize = blockSize;
            data.bitsPerSample = bitsPerSample;
            data.channels = channels;
            m_data.push_back(std::move(data));
        });
        if (m_onData)
            m_onData();
    }
    void OnFormat(const AudioFormat& format)
    {
        Add("format", [&] { m_format = format; });
    }

    // Call with m_lock held (inside WaitFor).
    std::string LastEvent() const { return m_events.empty() ? std::string() : m_events.back(); }

    bool WaitFor(const std::function<bool()>& condition)
    {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, 5s, condition);
    }
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::string> m_events;
    std::vector<Data> m_data;
    AudioFormat m_format;
    std::function<void()> m_onData;

private:
    void Add(const char* event, const std::function<void()>& record)
    {
        {
            const std::lock_guard lock(m_lock);
            m_events.push_back(event);
            record();
        }
        m_changed.notify_all();
    }
};

class AudioCaptureTest : public ::testing::Test {
protected:
    FakeAudioBackend m_backend;
    Recorder m_recorder;
    AudioCapture::Proxy<Recorder> m_proxy{&m_recorder, &Recorder::OnStopped, &Recorder::OnData,
                                          &Recorder::OnFormat};
};

} // namespace

TEST_F(AudioCaptureTest, FormatThenSixteenBitPacketsThenStopped)
{
    m_backend.SetSignal(FakeAudioBackend::Sine(1000.0, 0.5));
    AudioCapture capture(m_backend);
    ASSERT_TRUE(capture.Start(&m_proxy));
    EXPECT_FALSE(capture.Start(&m_proxy));
    ASSERT_TRUE(m_recorder.WaitFor([&] { return m_recorder.m_data.size() >= 2; }));
    capture.Stop();
    EXPECT_FALSE(capture.IsRunning());

    const std::lock_guard lock(m_recorder.m_lock);
    ASSERT_GE(m_recorder.m_events.size(), 4u);
    EXPECT_EQ(m_recorder.m_events.front(), "format");
    EXPECT_EQ(m_recorder.m_events.back(), "stopped");
    EXPECT_EQ(std::count(m_recorder.m_events.begin(), m_recorder.m_events.end(), "stopped"), 1);
    EXPECT_EQ(m_recorder.m_format.sampleRate, 48000);
    EXPECT_EQ(m_recorder.m_format.channels, 2);
    EXPECT_EQ(m_recorder.m_format.BitsPerSample(), 16);
    const Recorder::Data& data = m_recorder.m_data.front();
    ASSERT_EQ(data.samples.size(), 960u); // 480 frames × 2 channels
    EXPECT_EQ(data.blockSize, 4);
    EXPECT_EQ(data.bitsPerSample, 16);
    EXPECT_EQ(data.channels, 2);
    EXPECT_EQ(*std::max_element(data.samples.begin(), data.samples.end()), 16384);
    EXPECT_EQ(data.samples[0], data.samples[1]); // both channels
}

TEST_F(AudioCaptureTest, OnlyTheNewestWaitingPacketIsHandedOn)
{
    // The value counts frames, so a packet's first sample tells which packet it is.
    m_backend.SetSignal([](double seconds) { return seconds * 48000.0 / 32768.0; });
    m_backend.SetPacketFrames(100);
    m_backend.SetPacketsPerBurst(3);
    AudioCapture capture(m_backend);
    ASSERT_TRUE(capture.Start(&m_proxy));
    ASSERT_TRUE(m_recorder.WaitFor([&] { return m_recorder.m_data.size() >= 2; }));
    capture.Stop();
    const std::lock_guard lock(m_recorder.m_lock);
    EXPECT_EQ(m_recorder.m_data[0].samples.front(), 200); // the third packet: frames 200-299
    EXPECT_EQ(m_recorder.m_data[1].samples.front(), 500);
}

TEST_F(AudioCaptureTest, NoPacketMeansDataWithoutSamples)
{
    m_backend.SetPacketsPerBurst(0);
    AudioCapture capture(m_backend);
    ASSERT_TRUE(capture.Start(&m_proxy));
    ASSERT_TRUE(m_recorder.WaitFor([&] { return m_recorder.m_data.size() >= 2; }));
    capture.Stop();
    const std::lock_guard lock(m_recorder.m_lock);
    EXPECT_TRUE(m_recorder.m_data[0].none);
    EXPECT_TRUE(m_recorder.m_data[0].samples.empty());
    EXPECT_EQ(m_recorder.m_data[0].channels, 2);
}

TEST_F(AudioCaptureTest, NoPlaybackDeviceEndsTheThreadSilently)
{
    m_backend.SetOpenFails(true);
    AudioCapture capture(m_backend);
    ASSERT_TRUE(capture.Start(&m_proxy));
    EXPECT_TRUE(Eventually([&] { return !capture.IsRunning(); }));
    capture.Stop();
    const std::lock_guard lock(m_recorder.m_lock);
    EXPECT_TRUE(m_recorder.m_events.empty());
}

TEST_F(AudioCaptureTest, AVanishedDeviceEndsCaptureAndCanBeStartedAgain)
{
    AudioCapture capture(m_backend);
    ASSERT_TRUE(capture.Start(&m_proxy));
    ASSERT_TRUE(m_recorder.WaitFor([&] { return !m_recorder.m_data.empty(); }));
    m_backend.Vanish();
    ASSERT_TRUE(m_recorder.WaitFor([&] { return m_recorder.LastEvent() == "stopped"; }));
    EXPECT_TRUE(Eventually([&] { return !capture.IsRunning(); }));

    ASSERT_TRUE(capture.Start(&m_proxy));
    EXPECT_TRUE(m_recorder.WaitFor([&] { return m_recorder.LastEvent() == "data"; }));
}

TEST_F(AudioCaptureTest, StopFromInsideTheDataOperation)
{
    AudioCapture capture(m_backend);
    m_recorder.m_onData = [&] { capture.Stop(); };
    ASSERT_TRUE(capture.Start(&m_proxy));
    ASSERT_TRUE(m_recorder.WaitFor([&] { return m_recorder.LastEvent() == "stopped"; }));
    capture.Stop();
    const std::lock_guard lock(m_recorder.m_lock);
    EXPECT_EQ(m_recorder.m_data.size(), 1u);
}

TEST_F(AudioCaptureTest, PeriodIsOneOfThreeValues)
{
    AudioCapture capture(m_backend);
    EXPECT_EQ(capture.GetPeriod(), 33);
    for (int period : {66, 99, 33})
        EXPECT_TRUE(capture.SetPeriod(period));
    for (int period : {0, -33, 50, 1000})
        EXPECT_FALSE(capture.SetPeriod(period));
    EXPECT_EQ(capture.GetPeriod(), 33);
}

TEST_F(AudioCaptureTest, ProxyDropsUnboundOperations)
{
    AudioCapture::Proxy<Recorder> dataOnly(&m_recorder, nullptr, &Recorder::OnData, nullptr);
    AudioCapture capture(m_backend);
    ASSERT_TRUE(capture.Start(&dataOnly));
    ASSERT_TRUE(m_recorder.WaitFor([&] { return !m_recorder.m_data.empty(); }));
    capture.Stop();
    const std::lock_guard lock(m_recorder.m_lock);
    for (const std::string& event : m_recorder.m_events)
        EXPECT_EQ(event, "data");
}
