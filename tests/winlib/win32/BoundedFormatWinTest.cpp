// The bounded formatting rules over the Windows runtime's own formatting functions, whose
// answers to a text that does not fit differ from the C library's on Linux.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "BoundedFormat.h"

TEST(BoundedFormat, RefusesOrCutsOnTheWindowsRuntime) {
    wchar_t wide[kWideTextCapacity];
    const std::wstring longest(255, L'x');
    EXPECT_EQ(FormatWide256(wide, L"%ls", longest.c_str()), 255);
    EXPECT_EQ(wide, longest);
    const std::wstring tooLong(256, L'y');
    EXPECT_EQ(FormatWide256(wide, L"%ls", tooLong.c_str()), kFormatFailed);
    EXPECT_EQ(wide[0], L'\0');
    EXPECT_EQ(FormatWide256(wide, L"%d events", 10000), 12);
    EXPECT_STREQ(wide, L"10000 events");

    const struct {
        int major, minor, revision;
        const wchar_t* expected;
        int result;
    } versions[] = {
        {1, 0, 5, L"v1.0r5", 6},
        {1000, 1000, 1000, L"v1000.1000r1000", 15},
        {1000, 1000, 10000, L"v1000.1000r1000", kFormatFailed},
        {10000, 10000, 10000, L"v10000.10000r10", kFormatFailed},
    };
    for (const auto& v : versions) {
        wchar_t version[kVersionTextCapacity];
        std::wmemset(version, L'#', kVersionTextCapacity);
        EXPECT_EQ(FormatWideCut16(version, L"v%d.%dr%d", v.major, v.minor, v.revision), v.result)
            << v.major << "." << v.minor << "r" << v.revision;
        EXPECT_STREQ(version, v.expected);
    }

    wchar_t icon[kIconRefCapacity];
    EXPECT_EQ(FormatWide8(icon, L"#%d", 102), 4);
    EXPECT_STREQ(icon, L"#102");
    EXPECT_EQ(FormatWide8(icon, L"#%d", 9999999), kFormatFailed);
    EXPECT_EQ(icon[0], L'\0');

    char narrow[256];
    EXPECT_EQ(FormatBounded(narrow, sizeof narrow, Overflow::Error, "/ketterlin.txt?%d_%d_%d", 1,
                            0, 5),
              20);
    EXPECT_STREQ(narrow, "/ketterlin.txt?1_0_5");
    const std::string narrowTooLong(256, 'b');
    EXPECT_EQ(FormatBounded(narrow, sizeof narrow, Overflow::Error, "%s", narrowTooLong.c_str()),
              kFormatFailed);
    EXPECT_EQ(narrow[0], '\0');
}
