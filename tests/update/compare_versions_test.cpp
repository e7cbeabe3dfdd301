#include <gtest/gtest.h>

#include "update/compare_versions.h"

namespace {

struct VersionCase {
    const wchar_t* current;
    const wchar_t* published;
    int expected;
};

TEST(CompareVersions, ComparesPartsAsNumbersAndCountsParts)
{
    const VersionCase cases[] = {
        {L"1.0.3", L"1.0.10", kVersionPublishedNewer}, // 10 > 3, not a text comparison
        {L"1.0", L"1.0.0", kVersionPartCountsDiffer},  // same value, different shapes
        {L"1.2.0", L"1.1.9", kVersionPublishedOlder},  // the first unequal part decides
        {L"2.0.0", L"2.0.0", kVersionEqual},
        {L"1.0.4", L"1.0.4\r\n", kVersionEqual}, // a CR LF ending still reads as its digits
        {L"1.0.4", L"1.0.5\r\n", kVersionPublishedNewer},
        {L"1.0.9", L"1.0.10b", kVersionPublishedNewer}, // leading digits only
        {L"1.x", L"1.0", kVersionEqual},                // no digits count as 0
        {L"1..2", L"1.0.2", kVersionEqual},             // an empty part counts as 0
        {L"", L"", kVersionEqual},
        {L"", L"1", kVersionPublishedNewer},
        {L"1.99999999999999999999999", L"1.2", kVersionPublishedOlder}, // saturates, never wraps
    };
    for (const VersionCase& c : cases)
        EXPECT_EQ(CompareVersions(c.current, c.published), c.expected)
            << WideToUtf8(c.current) << " vs " << WideToUtf8(c.published);
}

} // namespace
