#include "update/transfer.h"

#include <algorithm>
#include <climits>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/native_path.h"
#include "update/file_output.h"

namespace {

// Every request bypasses caches so that a newly published version text is seen at once.
const std::vector<std::string>& RequestHeaders()
{
    static const std::vector<std::string> headers{"Accept: */*", "Cache-Control: no-cache",
                                                  "Pragma: no-cache"};
    return headers;
}

void Post(DownloadProgress* progress, int value)
{
    if (progress)
        progress->Post(value);
}

} // namespace

int FetchText(HttpClient& http, const CString& address, CString& text, const CancelToken* cancel,
              const TransferLimits& limits)
{
    text.clear();
    const auto session = http.OpenSession(kTransferAgent);
    if (!session)
        return kTransferUnavailable;
    const HttpRequestLimits requestLimits{
        .deadline = limits.textDeadline, .bytesPerSecond = 0, .cancel = cancel};
    const auto request = session->Open(WideToUtf8(address), RequestHeaders(), requestLimits);
    if (!request)
        return kTransferFailed;
    std::string bytes;
    char chunk[kTransferChunkSize];
    while (true) {
        const long got = request->Read(chunk, sizeof chunk);
        if (got < 0 || bytes.size() + static_cast<size_t>(got) > kMaxFetchedTextBytes)
            return kTransferFailed;
        if (got == 0)
            break;
        bytes.append(chunk, static_cast<size_t>(got));
    }
    text = Utf8ToWide(bytes);
    return kTransferComplete;
}

int DownloadFile(HttpClient& http, const CString& address, const CString& path, DownloadProgress* progress,
                 const CancelToken* cancel, const TransferLimits& limits)
{
    Post(progress, 0);
    const auto session = http.OpenSession(kTransferAgent);
    if (!session)
        return kTransferUnavailable;
    Post(progress, 2);
    const HttpRequestLimits requestLimits{.deadline = limits.downloadDeadline,
                                          .bytesPerSecond = limits.downloadBytesPerSecond,
                                          .cancel = cancel};
    const auto request = session->Open(WideToUtf8(address), RequestHeaders(), requestLimits);
    if (!request || request->ContentLength() > limits.maxDownloadBytes)
        return kTransferFailed;
    Post(progress, 8);

    const int fd = CreateReplacingFile(NativePath(path), 0666);
    if (fd < 0)
        return kTransferFailed;

    const uint64_t chunks = request->ContentLength() / kTransferChunkSize;
    Post(progress, 10);
    uint64_t counter = 0;
    uint64_t written = 0;
    char chunk[kTransferChunkSize];
    while (true) {
        const long got = request->Read(chunk, sizeof chunk);
        if (got == 0)
            break;
        written += got > 0 ? static_cast<uint64_t>(got) : 0;
        if (got < 0 || written > limits.maxDownloadBytes || !WriteAll(fd, chunk, static_cast<size_t>(got))) {
            ::close(fd);
            return kTransferFailed;
        }
        counter += 90;
        if (chunks != 0)
            Post(progress, static_cast<int>(std::min<uint64_t>(counter / chunks + 10, INT_MAX)));
    }
    if (::close(fd) != 0)
        return kTransferFailed;
    Post(progress, 100);
    return kTransferComplete;
}
