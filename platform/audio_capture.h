#pragma once
// The capture thread behind the music level: every capture period it hands the newest packet of the
// playback device's sound, as 16-bit interleaved samples, to a proxy (or says that none came).
//
// Proxy operations, in their slot order:
//   OnCaptureStopped  - capture has ended (stopped, or the server or device went away); not called
//                       when capture never started
//   OnCaptureData     - once per period: the samples or, when no packet came, (nullptr, 0, ...)
//   OnCaptureFormat   - once, when capture has started, before the first data

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/audio_source.h"

class AudioCapture {
public:
    class IProxy {
    public:
        virtual ~IProxy() = default;
        virtual void OnCaptureStopped() = 0;
        // samples: count 16-bit values, all channels interleaved; blockSize = channels × 2.
        virtual void OnCaptureData(const int16_t* samples, int count, int blockSize, int bitsPerSample,
                                   int channels) = 0;
        virtual void OnCaptureFormat(const AudioFormat& format) = 0;
    };

    // Forwards the operations to member functions of T; an operation left null is dropped.
    template <class T> class Proxy : public IProxy {
    public:
        using StoppedHandler = void (T::*)();
        using DataHandler = void (T::*)(const int16_t*, int, int, int, int);
        using FormatHandler = void (T::*)(const AudioFormat&);

        Proxy(T* target, StoppedHandler stopped, DataHandler data, FormatHandler format)
            : m_target(target), m_stopped(stopped), m_data(data), m_format(format)
        {
        }

        void OnCaptureStopped() override
        {
            if (m_target && m_stopped)
                (m_target->*m_stopped)();
        }
        void OnCaptureData(const int16_t* samples, int count, int blockSize, int bitsPerSample,
                           int channels) override
        {
            if (m_target && m_data)
                (m_target->*m_data)(samples, count, blockSize, bitsPerSample, channels);
        }
        void OnCaptureFormat(const AudioFormat& format) override
        {
            if (m_target && m_format)
                (m_target->*m_format)(format);
        }

    private:
        T* m_target;
        StoppedHandler m_stopped;
        DataHandler m_data;
        FormatHandler m_format;
    };

    static constexpr int kDefaultPeriod = 33;

    // The backend is not owned and must outlive the capture.
    explicit AudioCapture(AudioBackend& backend);
    ~AudioCapture();
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    // Starts the capture thread, which reports to `proxy` (not owned; it must outlive Stop). False when
    // a capture thread is already running.
    bool Start(IProxy* proxy);
    // Ends the thread and waits for it. From inside a proxy operation it only asks the thread to end.
    void Stop();
    bool IsRunning() const;

    // The capture period in milliseconds: 33, 66 or 99. Other values are refused (false).
    bool SetPeriod(int milliseconds);
    int GetPeriod() const { return m_period.load(); }

private:
    void Run(IProxy* proxy);
    // Waits one period or until Stop; false when stopped.
    bool WaitPeriod();

    AudioBackend& m_backend;
    std::atomic<int> m_period{kDefaultPeriod};

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};
