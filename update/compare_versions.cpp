#include "update/compare_versions.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace {

std::vector<std::wstring_view> SplitAtDots(std::wstring_view text)
{
    std::vector<std::wstring_view> parts;
    while (true) {
        const size_t dot = text.find(L'.');
        parts.push_back(text.substr(0, dot));
        if (dot == std::wstring_view::npos)
            return parts;
        text.remove_prefix(dot + 1);
    }
}

// Huge parts saturate instead of wrapping, so "99999999999999999999" still beats "1".
uint64_t LeadingNumber(std::wstring_view part)
{
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t value = 0;
    for (wchar_t c : part) {
        if (c < L'0' || c > L'9')
            break;
        const uint64_t digit = static_cast<uint64_t>(c - L'0');
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return value;
}

} // namespace

int CompareVersions(const CString& current, const CString& published)
{
    const auto currentParts = SplitAtDots(current);
    const auto publishedParts = SplitAtDots(published);
    if (currentParts.size() != publishedParts.size())
        return kVersionPartCountsDiffer;
    for (size_t i = 0; i < currentParts.size(); ++i) {
        const uint64_t mine = LeadingNumber(currentParts[i]);
        const uint64_t theirs = LeadingNumber(publishedParts[i]);
        if (mine > theirs)
            return kVersionPublishedOlder;
        if (mine < theirs)
            return kVersionPublishedNewer;
    }
    return kVersionEqual;
}
