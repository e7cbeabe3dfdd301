#pragma once

#include "core/wide_text.h"

// Results of CompareVersions.
inline constexpr int kVersionPublishedNewer = 1;
inline constexpr int kVersionPublishedOlder = -1;
inline constexpr int kVersionEqual = 0;
inline constexpr int kVersionPartCountsDiffer = 2;

// Compares dot-separated versions part by part as numbers (the leading digits of each part; a part
// without them counts as 0). Texts with different numbers of parts give kVersionPartCountsDiffer.
int CompareVersions(const CString& current, const CString& published);
