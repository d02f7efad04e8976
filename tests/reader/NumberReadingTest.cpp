// Number readings of keyword values and HEADER fields, including digits that overflow.
#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "HeaderFields.h"
#include "NumberReading.h"

namespace {

constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();

TEST(NumberReading, WholeValueReadsLikeWtoi) {
    struct Case {
        const wchar_t* text;
        int32_t expected;
    } cases[] = {
        {L"42", 42},          {L"  \t42", 42},      {L"+7", 7},         {L"-12", -12},
        {L"12abc", 12},       {L"abc", 0},          {L"", 0},           {L"- 3", 0},
        {L"2147483647", kMax32}, {L"2147483648", kMax32}, {L"99999999999999999999", kMax32},
        {L"-2147483648", kMin32}, {L"-99999999999999999999", kMin32}, {L"0000000000000000017", 17},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WholeValueInt32(c.text), c.expected) << c.text;
    }
}

TEST(NumberReading, WholeValue64KeepsLargeOffsets) {
    EXPECT_EQ(WholeValueInt64(L"3000000000"), 3000000000LL);
    EXPECT_EQ(WholeValueInt64(L"99999999999999999999999"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(WholeValueInt64(L"-99999999999999999999999"), std::numeric_limits<int64_t>::min());
}

TEST(NumberReading, StrictReadingStartsAtTheCursor) {
    struct Case {
        const wchar_t* text;
        bool found;
        int32_t value;
        size_t consumed;
    } cases[] = {
        {L"16", true, 16, 2},  {L"+8,", true, 8, 2},   {L"-1B", true, -1, 2}, {L" 1", false, 0, 0},
        {L"", false, 0, 0},    {L"+", false, 0, 0},    {L"x1", false, 0, 0},
        {L"123456789012345N", true, kMax32, 15},       {L"-99999999999", true, kMin32, 12},
    };
    for (const Case& c : cases) {
        int32_t value = 0;
        const wchar_t* end = nullptr;
        ASSERT_EQ(StrictInt32(c.text, value, end), c.found) << c.text;
        if (c.found) {
            EXPECT_EQ(value, c.value) << c.text;
            EXPECT_EQ(static_cast<size_t>(end - c.text), c.consumed) << c.text;
        }
    }
}

TEST(HeaderFields, VersionScansAsFcsMajorPointMinor) {
    struct Case {
        const char* text;
        bool ok;
        int32_t major;
        int32_t minor;
    } cases[] = {
        {"FCS3.0    ", true, 3, 0},  {"FCS3.1    ", true, 3, 1}, {"FCS 3.0   ", true, 3, 0},
        {"FCS2.0", true, 2, 0},      {"FCS3.01   ", true, 3, 1}, {"FCS-1.+2  ", true, -1, 2},
        {"FCS3      ", false, 0, 0}, {"FCS3.     ", false, 0, 0}, {"fcs3.0    ", false, 0, 0},
        {"XFCS3.0   ", false, 0, 0}, {"FCS3 .0   ", false, 0, 0}, {"", false, 0, 0},
        {"FCS9999999", false, 0, 0}, {"FCS99999999999.9", true, kMax32, 9},
    };
    for (const Case& c : cases) {
        int32_t major = 0;
        int32_t minor = 0;
        ASSERT_EQ(ScanVersion(c.text, major, minor), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(major, c.major) << c.text;
            EXPECT_EQ(minor, c.minor) << c.text;
        }
    }
}

// The version is scanned by hand; it must accept and refuse exactly what sscanf with
// "FCS%d.%d" does, with the same numbers. Every version text of up to five bytes after the
// letters, drawn from the bytes that matter to the scan, is compared, then random ten-byte
// texts (a zero byte inside ends the text, as in the HEADER buffer).
TEST(HeaderFields, VersionScanAgreesWithSscanf) {
    const std::string alphabet = "0123456789 \t\n\v\f\r+-.xF";
    auto agree = [](const std::string& text) {
        int major = 0;
        int minor = 0;
        const bool expected = std::sscanf(text.c_str(), "FCS%d.%d", &major, &minor) == 2;
        int32_t scannedMajor = 0;
        int32_t scannedMinor = 0;
        const bool scanned = ScanVersion(text.c_str(), scannedMajor, scannedMinor);
        if (scanned != expected) {
            ADD_FAILURE() << "\"" << text << "\": sscanf " << expected << ", scan " << scanned;
            return false;
        }
        if (expected && (scannedMajor != major || scannedMinor != minor)) {
            ADD_FAILURE() << "\"" << text << "\": " << major << "." << minor << " vs "
                          << scannedMajor << "." << scannedMinor;
            return false;
        }
        return true;
    };
    const char* named[] = {"FCS 3.0", "FCS+3.-1", "FCS3", "FCS3.", "FCS3 .0", "FCS3. 0",
                           "FCS\t3.\n1", "FCS+-3.0", "FCS- 3.0", "FCS3.+", "FCS.3",
                           "FCS3..0", "FCS03.001", "FC S3.0", " FCS3.0", "fcs3.0", "FCS",
                           "FCS3,0", "FCS3.0.1"};
    for (const char* text : named) {
        ASSERT_TRUE(agree(text));
    }
    std::string text;
    size_t compared = 0;
    for (size_t length = 0; length <= 5; ++length) {
        std::vector<size_t> digit(length, 0);
        for (;;) {
            text = "FCS";
            for (size_t d : digit) {
                text.push_back(alphabet[d]);
            }
            ASSERT_TRUE(agree(text));
            ++compared;
            size_t i = 0;
            while (i < length && ++digit[i] == alphabet.size()) {
                digit[i++] = 0;
            }
            if (i == length) {
                break;
            }
        }
    }
    std::mt19937 random(1207);
    const std::string prefixes[] = {"FCS", "FCS", "FCS", "FC", "FCs", " FC", "F"};
    for (int i = 0; i < 200000; ++i) {
        text = prefixes[random() % std::size(prefixes)];
        while (text.size() < 10) {
            const unsigned pick = random() % (alphabet.size() + 1);
            text.push_back(pick < alphabet.size() ? alphabet[pick] : '\0');
        }
        ASSERT_TRUE(agree(text.c_str()));
        ++compared;
    }
    EXPECT_GT(compared, 4000000u);
}

TEST(HeaderFields, OffsetFieldSkipsBlanksAndStopsAtTheFirstNonDigit) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"0000058 ", true, 58}, {"      58", true, 58}, {"58      ", true, 58},
        {"  1234ab", true, 1234}, {"       0", true, 0}, {"        ", false, 0},
        {"   -1234", false, 0},  {"\t     58", false, 0}, {"", false, 0},
        {"99999999", true, 99999999}, {"99999999999999", true, kMax32},
    };
    for (const Case& c : cases) {
        int32_t value = -1;
        ASSERT_EQ(ScanOffsetField(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

}  // namespace
