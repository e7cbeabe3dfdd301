#pragma once
// The analysis half of the music visualiser: captured float packets in, 256 column values (0-1) out.
//
// A frame is Decay(), AddPacket() for every waiting packet, then Analyse():
//   - each packet is read as groups of four float values, ceil(frames / 4) groups, and each group's
//     mean × 2 × amplification joins a sliding window of the last 256 values;
//   - the window, multiplied by the window table, goes through a 256-point FFT; bin 0 takes the real
//     part of bin 1 and the bins are weighted towards the high frequencies;
//   - bin b (of the first 64) gives l = min(1, 0.5·log10(1.1·|X|) + 0.9·|X|); columns 4b ... 4b+3 hold
//     max(their decayed value, l), at least 0 (a peak that falls by the decay each frame);
//   - the columns are smoothed across (blocks or a moving average) and the displayed values move
//     towards the smoothed ones by the display smoothing factor.

#include <array>
#include <cstddef>
#include <memory>

class SpectrumAnalyser {
public:
    static constexpr int kPoints = 256;
    static constexpr int kBins = 64;
    static constexpr int kColumns = 256;
    using Columns = std::array<float, kColumns>;
    using Table = std::array<float, kPoints>;

    enum Window { WindowNone = 0, WindowHann = 1, WindowHamming = 2, WindowBlackman = 3 };
    enum Smoothing { SmoothingBlocks = 0, SmoothingMovingAverage = 1 };

    SpectrumAnalyser();
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

    // Input amplification (default 270); negative values count as 0.
    void SetAmplification(int amplification);
    int GetAmplification() const { return m_amplification; }
    // 1 Hann (default), 2 Hamming, 3 Blackman; any other value: no window.
    void SetWindow(int window) { m_window = window; }
    // Mode 0 averages blocks of `width` columns, mode 1 (default, width 8) each column with `width`
    // neighbours on each side; other modes or a width below 1 leave the columns as they are.
    void SetSmoothing(int mode, int width);
    // Percent of the column values kept from one frame to the next (default 80), 0-100.
    void SetDecay(int percent);
    // How far the displayed values move towards the computed ones per frame (default 1), 0-1.
    void SetDisplaySmoothing(float factor);

    void Decay();
    // One captured packet: `values` holds `valueCount` floats; values past its end count as 0.
    void AddPacket(const float* values, size_t valueCount, int frames);
    void Analyse();
    // Forgets the sound: window, columns and displayed values back to 0.
    void Reset();

    // Column values after the peak rule, before smoothing.
    const Columns& Computed() const { return m_computed; }
    const Columns& Displayed() const { return m_displayed; }

    // The window table of a window type (all 1 for no window) and the frequency weights.
    static const Table& WindowTable(int window);
    static const Table& FrequencyWeights();

private:
    struct Fft;

    void Push(float value);
    void Smooth();

    int m_amplification = 270;
    int m_window = WindowHann;
    int m_smoothingMode = SmoothingMovingAverage;
    int m_smoothingWidth = 8;
    float m_decay = 0.8f;
    float m_displaySmoothing = 1.0f;

    Table m_history{}; // ring of the last 256 values
    int m_next = 0;    // oldest value, where the next one goes
    Columns m_computed{};
    Columns m_smoothed{};
    Columns m_displayed{};
    std::unique_ptr<Fft> m_fft;
};
