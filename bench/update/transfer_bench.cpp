// A file:// download (the firmware tools a local share publishes) of 10, 100 and 300 MB through the
// libcurl backend. Time has to grow with the size, not with its square, and memory has to stay at the
// chunk size whatever the size: "peak_MB" is the process's peak resident set during one download above
// what it held before (the peak is reset before each download through /proc/self/clear_refs).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/linux/curl_http_client.h"
#include "update/transfer.h"

namespace {

// A folder with one file of the given size, removed afterwards.
class SourceFile {
public:
    explicit SourceFile(size_t megabytes)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvik-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        std::ofstream out(m_folder / "archive.zip", std::ios::binary);
        std::string block(1 << 20, '\0');
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<char>(i * 131);
        for (size_t i = 0; i < megabytes; ++i)
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    ~SourceFile() { std::filesystem::remove_all(m_folder); }
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    CString Address() const { return Utf8ToWide("file://" + (m_folder / "archive.zip").string()); }
    CString Target() const { return Utf8ToWide((m_folder / "copy.zip").string()); }

private:
    std::filesystem::path m_folder;
};

// VmHWM or VmRSS of /proc/self/status, in kB.
long StatusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    }
    return 0;
}

void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void FileDownload(benchmark::State& state)
{
    const auto megabytes = static_cast<size_t>(state.range(0));
    const SourceFile source(megabytes);
    CurlHttpClient http;
    double peakMegabytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ResetPeak();
        const long before = StatusKilobytes("VmRSS:");
        state.ResumeTiming();
        if (DownloadFile(http, source.Address(), source.Target(), nullptr) != kTransferComplete)
            state.SkipWithError("download failed");
        state.PauseTiming();
        peakMegabytes = std::max(peakMegabytes, (StatusKilobytes("VmHWM:") - before) / 1024.0);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * megabytes) << 20);
    state.counters["peak_MB"] = peakMegabytes;
}
BENCHMARK(FileDownload)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
