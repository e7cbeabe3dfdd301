#pragma once
// What the profile and macro exchange files have in common: the macro's play settings and record items,
// which are written with the same attribute names in both, the name an imported file gives what it
// creates, and how a finished document takes the place of the target file.

#include <string_view>

#include "core/wide_text.h"
#include "store/profile_rows.h"

class XmlDocument;

// The text every exchange document starts from.
inline constexpr std::wstring_view kExchangeDeclaration = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

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

// Saves the document so that the target is either untouched or completely replaced: the text goes to a
// temporary file beside the target, is flushed to disk and renamed over it. On failure the temporary
// file is removed and false is returned. A target that is a symbolic link is replaced where it points.
bool SaveDocumentReplacing(const XmlDocument& document, const CString& path);
