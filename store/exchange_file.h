#pragma once
// What the profile and macro exchange files have in common: the macro's play settings and record items,
// which are written with the same attribute names in both, the name an imported file gives what it
// creates, and how a finished document takes the place of the target file.

#include <cstdint>
#include <string_view>

#include "core/native_path.h"
#include "core/wide_text.h"
#include "store/profile_rows.h"

class XmlDocument;

// The text every exchange document starts from.
inline constexpr std::wstring_view kExchangeDeclaration = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// The largest exchange file an import reads. A profile of a hundred keys, each running a macro of
// several hundred records, stays well below it; a file past it is refused before it is read.
inline constexpr uint64_t kMaxExchangeFileBytes = 4 * 1024 * 1024;

// Why an import or an export did not happen, for the page to tell the user (with the file's name).
enum class ExchangeError {
    None,
    // Import
    FileMissing,     // no file at the path
    FileUnreadable,  // not a plain file, no permission to read it, or reading failed
    FileTooLarge,    // over kMaxExchangeFileBytes
    NotXml,          // not a well-formed XML document
    WrongKind,       // XML, but not a profile (or not a macro) file
    DatabaseRefused, // the database did not take what the file holds; nothing was added
    // Export
    FolderMissing, // the folder of the path does not exist
    AccessDenied,  // neither the folder nor the file may be written
    DiskFull,      // no room for the file
    WriteFailed,   // any other failure to write it
};

// The name of an imported profile or macro: the file title (the name without its folder) up to its
// first "." ("Work.v2.xml" gives "Work"); a title without a "." is taken whole.
CString NameFromFileTitle(const CString& fileTitle);

// The current element's attribute as a number: its leading decimal digits, 0 when missing or not numeric.
int NumberAttribute(const XmlDocument& document, std::wstring_view name);

// times, type and delaytime on the current element, from play_times, delay_type and delay_time.
void SetMacroSettings(XmlDocument& document, const MacroRow& macro);
// The same three attributes read back into the row (0 for any that is missing).
void ReadMacroSettings(const XmlDocument& document, MacroRow& macro);

// One item per record (desc, type, value, delay_time) at the current level, in list order.
void AddRecordItems(XmlDocument& document, const MacroRecordList& records);
// Enters the current element, reads each of its item children as a record of the macro, numbered 0, 1,
// 2... in file order, and leaves it again.
MacroRecordList ReadRecordItems(XmlDocument& document, int macroId);

// Loads the exchange file at `path` (up to kMaxExchangeFileBytes) and makes its root element, which
// must be `root`, the current element.
ExchangeError LoadExchangeDocument(XmlDocument& document, const NativeFilePath& path, std::wstring_view root);

// Saves the document so that the target is either untouched or completely replaced where the folder
// allows it: the text goes to a temporary file beside the target, is flushed to disk and renamed over
// it; on failure the temporary file is removed. In a folder that takes no new files (or no renames)
// but holding a writable target, the target is rewritten in place instead (truncated, written,
// flushed), after checking that the new text fits on the disk. A target that is a symbolic link is
// replaced where it points.
ExchangeError SaveDocumentReplacing(const XmlDocument& document, const NativeFilePath& path);
