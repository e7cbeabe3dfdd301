#pragma once
// Numbers read from text the way every reader of the program's files and settings reads them: only the
// leading digits count, so "12px" is 12 and "abc", "" or a missing attribute are 0.

#include <string_view>

// Leading blanks, an optional sign, then decimal digits. Anything else reads as 0; a value past the
// int range stops at INT_MAX or INT_MIN.
int LeadingDecimal(std::wstring_view text);

// Leading blanks, an optional sign, an optional "0x"/"0X", then hexadecimal digits. Anything else reads
// as 0; a value past the int range stops at INT_MAX or INT_MIN.
int LeadingHex(std::wstring_view text);
