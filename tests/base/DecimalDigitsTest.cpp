// The one digit scanner: where a run of digits ends, what it is worth, and where it saturates.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "DecimalDigits.h"

namespace {

constexpr uint64_t kInt32Max = 2147483647;

TEST(DecimalDigits, RunsEndAtTheFirstNonDigitOrAtTheEnd) {
    const struct {
        const char* text;
        size_t length;  // the characters the scanner may look at
        uint64_t value;
        size_t consumed;
    } cases[] = {
        {"0", 1, 0, 1},         {"58", 2, 58, 2},
        {"0000058 ", 8, 58, 7}, {"1234ab", 6, 1234, 4},
        {"12,34", 5, 12, 2},    {"-5", 2, 0, 0},
        {" 5", 2, 0, 0},        {"", 0, 0, 0},
        {"123456", 3, 123, 3},  {"2147483647", 10, kInt32Max, 10},
    };
    for (const auto& c : cases) {
        uint64_t value = 99;
        const char* end = ScanDecimalDigits(c.text, c.text + c.length, kInt32Max, value);
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(static_cast<size_t>(end - c.text), c.consumed) << c.text;
    }
}

TEST(DecimalDigits, ZeroTerminatedTextWithoutAnEnd) {
    uint64_t value = 0;
    const wchar_t* text = L"4711$P";
    EXPECT_EQ(ScanDecimalDigits(text, static_cast<const wchar_t*>(nullptr), kInt32Max, value),
              text + 4);
    EXPECT_EQ(value, 4711u);
}

TEST(DecimalDigits, OverflowingRunsSaturateAtTheLimitAndAreReadToTheirEnd) {
    const struct {
        const char* text;
        uint64_t limit;
        uint64_t value;
    } cases[] = {
        {"2147483648", kInt32Max, kInt32Max},
        {"2147483648", kInt32Max + 1, kInt32Max + 1},
        {"99999999999999999999999", kInt32Max, kInt32Max},
        {"18446744073709551615", UINT64_MAX, UINT64_MAX},
        {"18446744073709551616", UINT64_MAX, UINT64_MAX},
        {"1048577", 1048577, 1048577},
        {"1048578", 1048577, 1048577},
    };
    for (const auto& c : cases) {
        uint64_t value = 0;
        const std::string text = std::string(c.text) + "x";
        const char* end =
            ScanDecimalDigits(text.c_str(), static_cast<const char*>(nullptr), c.limit, value);
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(*end, 'x') << c.text;
    }
}

}  // namespace
