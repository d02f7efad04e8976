// The formatting arrays of the program: what fits, what is refused, what is cut.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "BoundedFormat.h"

namespace {

TEST(BoundedFormat, Wide256WritesWhatFitsAndRefusesTheRest) {
    wchar_t buffer[kWideTextCapacity];
    EXPECT_EQ(FormatWide256(buffer, L"%d events", 10000), 12);
    EXPECT_STREQ(buffer, L"10000 events");
    EXPECT_EQ(FormatWide256(buffer, L"%d", -2147483647 - 1), 11);
    EXPECT_STREQ(buffer, L"-2147483648");

    // 255 characters and the terminator fill the array exactly.
    std::wstring longest(255, L'x');
    EXPECT_EQ(FormatWide256(buffer, L"%ls", longest.c_str()), 255);
    EXPECT_EQ(std::wstring(buffer), longest);

    // One more is an error, and the array is left empty rather than half written.
    std::wstring tooLong(256, L'y');
    EXPECT_EQ(FormatWide256(buffer, L"%ls", tooLong.c_str()), kFormatFailed);
    EXPECT_STREQ(buffer, L"");
}

TEST(BoundedFormat, VersionTextIsCutToFifteenCharacters) {
    struct Case {
        int major, minor, revision;
        const wchar_t* expected;
        int result;
    };
    const Case cases[] = {
        {1, 0, 5, L"v1.0r5", 6},
        {65535, 65535, 6553, L"v65535.65535r65", kFormatFailed},   // 16 characters, cut
        {10000, 10000, 10000, L"v10000.10000r10", kFormatFailed},  // 18 characters, cut
        {1000, 1000, 10000, L"v1000.1000r1000", kFormatFailed},    // 16, cut to 15
        {1000, 1000, 1000, L"v1000.1000r1000", 15},                // exactly 15: fits
    };
    for (const Case& c : cases) {
        wchar_t buffer[kVersionTextCapacity];
        std::wmemset(buffer, L'#', kVersionTextCapacity);
        EXPECT_EQ(FormatWideCut16(buffer, L"v%d.%dr%d", c.major, c.minor, c.revision), c.result)
            << c.expected;
        EXPECT_STREQ(buffer, c.expected);
    }
}

TEST(BoundedFormat, IconReferenceHoldsSevenCharacters) {
    wchar_t buffer[kIconRefCapacity];
    EXPECT_EQ(FormatWide8(buffer, L"#%d", 102), 4);
    EXPECT_STREQ(buffer, L"#102");
    EXPECT_EQ(FormatWide8(buffer, L"#%d", 999999), 7);
    EXPECT_STREQ(buffer, L"#999999");
    EXPECT_EQ(FormatWide8(buffer, L"#%d", 1000000), kFormatFailed);
    EXPECT_STREQ(buffer, L"");
}

TEST(BoundedFormat, BuffersOfTheCallersCapacity) {
    char narrow[8];
    EXPECT_EQ(FormatBounded(narrow, sizeof narrow, Overflow::Error, "%d_%d", 12, 345), 6);
    EXPECT_STREQ(narrow, "12_345");
    EXPECT_EQ(FormatBounded(narrow, sizeof narrow, Overflow::Error, "%s", "1234567"), 7);
    EXPECT_EQ(FormatBounded(narrow, sizeof narrow, Overflow::Error, "%s", "12345678"),
              kFormatFailed);
    EXPECT_STREQ(narrow, "");
    EXPECT_EQ(FormatBounded(narrow, sizeof narrow, Overflow::Cut, "%s", "12345678"), kFormatFailed);
    EXPECT_STREQ(narrow, "1234567");
    wchar_t wide[4];
    EXPECT_EQ(FormatBounded(wide, 4, Overflow::Error, L"%d", 999), 3);
    EXPECT_STREQ(wide, L"999");
    EXPECT_EQ(FormatBounded(wide, 4, Overflow::Error, L"%d", 1000), kFormatFailed);
    EXPECT_STREQ(wide, L"");
}

TEST(BoundedFormat, CutsLongTextsBeyondTheFirstScratchSize) {
    // A cut text much longer than the array: the first characters still come out right.
    wchar_t buffer[kVersionTextCapacity];
    std::wstring huge(5000, L'z');
    huge[0] = L'a';
    EXPECT_EQ(FormatWideCut16(buffer, L"%ls", huge.c_str()), kFormatFailed);
    EXPECT_EQ(std::wstring(buffer), L"a" + std::wstring(14, L'z'));
}

TEST(BoundedFormat, ZeroCapacityWritesNothing) {
    wchar_t sentinel = L'#';
    va_list none{};
    EXPECT_EQ(VFormatBounded(&sentinel, 0, Overflow::Cut, L"x", none), kFormatFailed);
    EXPECT_EQ(sentinel, L'#');
}

// A capacity near the top of size_t would wrap the scratch size around to nothing.
TEST(BoundedFormat, HugeCapacitiesAreRefusedEmpty) {
    char text[4] = "abc";
    EXPECT_EQ(FormatBounded(text, SIZE_MAX, Overflow::Cut, "%s", "x"), kFormatFailed);
    EXPECT_STREQ(text, "");
}

TEST(BoundedFormat, LabelCopyIsBoundedAndTerminated) {
    wchar_t buffer[kWideTextCapacity];
    EXPECT_EQ(CopyWide256(buffer, L"Analysis Start"), 14);
    EXPECT_STREQ(buffer, L"Analysis Start");
    std::wstring tooLong(400, L'q');
    EXPECT_EQ(CopyWide256(buffer, tooLong.c_str()), 255);
    EXPECT_EQ(std::wstring(buffer), std::wstring(255, L'q'));
    EXPECT_EQ(CopyWide256(buffer, nullptr), 0);
    EXPECT_STREQ(buffer, L"");
}

}  // namespace
