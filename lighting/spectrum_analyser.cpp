#include "lighting/spectrum_analyser.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

namespace {

// FFTW's planner is not thread-safe; only executing a plan is.
std::mutex g_plannerLock;

SpectrumAnalyser::Table MakeWindow(int window)
{
    SpectrumAnalyser::Table table{};
    for (int i = 0; i < SpectrumAnalyser::kPoints; ++i) {
        const double x = 2.0 * std::numbers::pi * i / SpectrumAnalyser::kPoints;
        double value = 1.0;
        switch (window) {
        case SpectrumAnalyser::WindowHann:
            value = (1.0 - std::cos(x)) / 2.0;
            break;
        case SpectrumAnalyser::WindowHamming:
            value = 0.54 - 0.46 * std::cos(x);
            break;
        case SpectrumAnalyser::WindowBlackman:
            value = 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2.0 * x);
            break;
        default:
            break;
        }
        table[i] = static_cast<float>(value);
    }
    return table;
}

} // namespace

struct SpectrumAnalyser::Fft {
    fftwf_complex* in = nullptr;
    fftwf_complex* out = nullptr;
    fftwf_plan plan = nullptr;

    Fft()
    {
        const std::lock_guard lock(g_plannerLock);
        in = fftwf_alloc_complex(kPoints);
        out = fftwf_alloc_complex(kPoints);
        plan = fftwf_plan_dft_1d(kPoints, in, out, FFTW_FORWARD, FFTW_ESTIMATE);
    }
    ~Fft()
    {
        const std::lock_guard lock(g_plannerLock);
        fftwf_destroy_plan(plan);
        fftwf_free(in);
        fftwf_free(out);
    }
    Fft(const Fft&) = delete;
    Fft& operator=(const Fft&) = delete;
};

SpectrumAnalyser::SpectrumAnalyser() : m_fft(std::make_unique<Fft>()) {}

SpectrumAnalyser::~SpectrumAnalyser() = default;

const SpectrumAnalyser::Table& SpectrumAnalyser::WindowTable(int window)
{
    static const Table none = MakeWindow(WindowNone);
    static const Table hann = MakeWindow(WindowHann);
    static const Table hamming = MakeWindow(WindowHamming);
    static const Table blackman = MakeWindow(WindowBlackman);
    switch (window) {
    case WindowHann:
        return hann;
    case WindowHamming:
        return hamming;
    case WindowBlackman:
        return blackman;
    default:
        return none;
    }
}

const SpectrumAnalyser::Table& SpectrumAnalyser::FrequencyWeights()
{
    static const Table weights = [] {
        Table table{};
        for (int i = 0; i < kPoints; ++i)
            table[i] = static_cast<float>(0.04 + 0.5 * i / kPoints);
        return table;
    }();
    return weights;
}

void SpectrumAnalyser::SetAmplification(int amplification)
{
    m_amplification = std::max(0, amplification);
}

void SpectrumAnalyser::SetSmoothing(int mode, int width)
{
    m_smoothingMode = mode;
    m_smoothingWidth = std::clamp(width, 0, kColumns);
}

void SpectrumAnalyser::SetDecay(int percent)
{
    m_decay = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
}

void SpectrumAnalyser::SetDisplaySmoothing(float factor)
{
    m_displaySmoothing = std::isfinite(factor) ? std::clamp(factor, 0.0f, 1.0f) : 1.0f;
}

void SpectrumAnalyser::Decay()
{
    for (float& value : m_computed)
        value *= m_decay;
}

void SpectrumAnalyser::Push(float value)
{
    m_history[m_next] = value;
    m_next = (m_next + 1) % kPoints;
}

void SpectrumAnalyser::AddPacket(const float* values, size_t valueCount, int frames)
{
    if (!values)
        valueCount = 0;
    const size_t groups = frames > 0 ? (static_cast<size_t>(frames) + 3) / 4 : 0;
    const float scale = 2.0f * static_cast<float>(m_amplification) / 4.0f;
    for (size_t g = 0; g < groups; ++g) {
        float sum = 0.0f;
        for (size_t v = 4 * g; v < 4 * g + 4 && v < valueCount; ++v)
            if (std::isfinite(values[v]))
                sum += values[v];
        Push(sum * scale);
    }
}

void SpectrumAnalyser::Analyse()
{
    const Table& window = WindowTable(m_window);
    for (int i = 0; i < kPoints; ++i) {
        const float value = m_history[(m_next + i) % kPoints] * window[i];
        m_fft->in[i][0] = value;
        m_fft->in[i][1] = value;
    }
    fftwf_execute(m_fft->plan);
    fftwf_complex* bins = m_fft->out;
    bins[0][0] = bins[1][0];

    const Table& weights = FrequencyWeights();
    for (int b = 0; b < kBins; ++b) {
        const float re = bins[b][0] * weights[b];
        const float im = bins[b][1] * weights[b];
        const float magnitude = std::sqrt(re * re + im * im);
        // log10(0) is -inf, which the max below ignores.
        const float level = std::min(1.0f, 0.5f * std::log10(1.1f * magnitude) + 0.9f * magnitude);
        const float value = std::max({m_computed[4 * b], level, 0.0f});
        std::fill_n(m_computed.begin() + 4 * b, 4, value);
    }

    Smooth();
    for (int a = 0; a < kColumns; ++a)
        m_displayed[a] += (m_smoothed[a] - m_displayed[a]) * m_displaySmoothing;
}

void SpectrumAnalyser::Smooth()
{
    const int width = m_smoothingWidth;
    if (width < 1 || (m_smoothingMode != SmoothingBlocks && m_smoothingMode != SmoothingMovingAverage)) {
        m_smoothed = m_computed;
        return;
    }
    std::array<double, kColumns + 1> prefix{};
    for (int a = 0; a < kColumns; ++a)
        prefix[a + 1] = prefix[a] + m_computed[a];
    const auto mean = [&prefix](int first, int end) {
        return static_cast<float>((prefix[end] - prefix[first]) / (end - first));
    };
    if (m_smoothingMode == SmoothingBlocks) {
        for (int first = 0; first < kColumns; first += width) {
            const int end = std::min(first + width, kColumns);
            std::fill(m_smoothed.begin() + first, m_smoothed.begin() + end, mean(first, end));
        }
    } else {
        for (int a = 0; a < kColumns; ++a)
            m_smoothed[a] = mean(std::max(0, a - width), std::min(kColumns, a + width + 1));
    }
}

void SpectrumAnalyser::Reset()
{
    m_history.fill(0.0f);
    m_next = 0;
    m_computed.fill(0.0f);
    m_smoothed.fill(0.0f);
    m_displayed.fill(0.0f);
}
