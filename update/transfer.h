#pragma once
// Fetching texts and downloading files from the update servers.

#include <cstddef>

#include "core/wide_text.h"
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

// Reads the whole body at `address` as UTF-8 into `text` (empty unless the result is kTransferComplete).
int FetchText(HttpClient& http, const CString& address, CString& text);

// Downloads `address` into the file at `path`, replacing it. With a progress object it posts 0, then 2
// once a session is open, 8 once the request is open, 10 before the first read, after each chunk
// 90 * chunks / (length / 10240) + 10 when the announced length is at least one chunk, and 100 at the
// end. A failed read or write ends with kTransferFailed and leaves the partial file.
int DownloadFile(HttpClient& http, const CString& address, const CString& path, DownloadProgress* progress);
