#pragma once
// Fetching texts and downloading files from the update servers.

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "core/wide_text.h"
#include "platform/cancel_token.h"
#include "platform/http.h"
#include "update/download_progress.h"

inline constexpr size_t kTransferChunkSize = 10240;
inline constexpr const char* kTransferAgent = "IIC2.0/PC 5.5.0000";

// Result codes of FetchText and DownloadFile.
inline constexpr int kTransferComplete = 1;
inline constexpr int kTransferFailed = -1;     // the address cannot be opened, or a read failed
inline constexpr int kTransferUnavailable = 0; // no session could be opened

// A fetched text larger than this is not a text we asked for: the fetch fails instead of filling memory.
inline constexpr size_t kMaxFetchedTextBytes = 1 << 20;

// How long transfers may take. A version check runs before the first device scan on the worker, so a
// slow server must not hold it up for long; a download may take as long as its size needs at a slow
// but real speed, and a trickle fails soon after the base time.
struct TransferLimits {
    // A version text, from opening the address to its last byte.
    std::chrono::milliseconds textDeadline{5000};
    // A download: this long, plus one second for every downloadBytesPerSecond bytes it brings.
    std::chrono::milliseconds downloadDeadline{60000};
    uint64_t downloadBytesPerSecond = 16 * 1024;
    // An archive announced or grown past this is no update: the download fails rather than fill the disk.
    uint64_t maxDownloadBytes = uint64_t{512} << 20;
};

// Reads the whole body at `address` as UTF-8 into `text` (empty unless the result is kTransferComplete).
// A raised `cancel` ends it at once with kTransferFailed.
int FetchText(HttpClient& http, const CString& address, CString& text, const CancelToken* cancel = nullptr,
              const TransferLimits& limits = {});

// Downloads `address` into the file at `path`, replacing it. With a progress object it posts 0, then 2
// once a session is open, 8 once the request is open, 10 before the first read, after each chunk
// 90 * chunks / (length / 10240) + 10 when the announced length is at least one chunk, and 100 at the
// end. A failed read or write, a passed deadline, a body past the size limit or a raised `cancel` end
// with kTransferFailed and leave the partial file.
int DownloadFile(HttpClient& http, const CString& address, const CString& path, DownloadProgress* progress,
                 const CancelToken* cancel = nullptr, const TransferLimits& limits = {});
