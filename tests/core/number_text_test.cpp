#include <gtest/gtest.h>

#include <climits>

#include "core/number_text.h"

TEST(NumberText, LeadingDecimal)
{
    struct Case {
        const wchar_t* text;
        int value;
    };
    const Case cases[] = {
        {L"201", 201},
        {L"  \t42", 42},
        {L"-7", -7},
        {L"+15", 15},
        {L"12px", 12},
        {L"3.9", 3},
        {L"abc", 0},
        {L"", 0},
        {L"-", 0},
        {L" - 5", 0},
        {L"0x1F", 0},
        {L"99999999999", INT_MAX},
        {L"-99999999999", INT_MIN},
        {L"2147483647", INT_MAX},
        {L"-2147483648", INT_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << '"');
        EXPECT_EQ(LeadingDecimal(c.text), c.value);
    }
}

TEST(NumberText, LeadingHex)
{
    struct Case {
        const wchar_t* text;
        int value;
    };
    const Case cases[] = {
        {L"0x1209", 0x1209},     {L"1209", 0x1209}, {L"0X00ff", 0xFF}, {L" \t-0x10", -16}, {L"e0", 0xE0},
        {L"1fz", 0x1F},          {L"zz", 0},        {L"", 0},          {L"0x", 0},         {L"0xg", 0},
        {L"FFFFFFFFF", INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << '"');
        EXPECT_EQ(LeadingHex(c.text), c.value);
    }
}
