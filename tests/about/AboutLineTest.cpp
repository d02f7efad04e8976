// The About box's name-and-version line: the version text's format and its cut at 15 characters.
#include <string>

#include <gtest/gtest.h>

#include "AboutLine.h"

TEST(AboutLine, VersionTextIsFormattedAndCutToFifteenCharacters) {
    struct Case {
        int major, minor, revision;
        const wchar_t* text;
        int result;
    };
    const Case cases[] = {
        {1, 0, 5, L"v1.0r5", 6},
        {2, 3, 4, L"v2.3r4", 6},
        {0, 0, 0, L"v0.0r0", 6},
        {1000, 10, 1, L"v1000.10r1", 10},
        {100, 100, 10000, L"v100.100r10000", 14},
        {1000, 100, 10000, L"v1000.100r10000", 15},  // exactly fills the array
        {10000, 100, 10000, L"v10000.100r1000", -1},  // one too many: cut
        {10000, 10000, 10000, L"v10000.10000r10", -1},
        {65535, 65535, 65535, L"v65535.65535r65", -1},
    };
    for (const Case& c : cases) {
        wchar_t text[kVersionTextCapacity];
        // Poison the whole array so a missing terminator or an overrun would show.
        for (wchar_t& ch : text) {
            ch = L'#';
        }
        EXPECT_EQ(FormatVersionText(text, c.major, c.minor, c.revision), c.result)
            << c.major << "." << c.minor << "." << c.revision;
        EXPECT_EQ(std::wstring(text), std::wstring(c.text));
        EXPECT_LE(std::wstring(text).size(), kVersionTextCapacity - 1);
    }
}

TEST(AboutLine, LineIsNameSpaceAndVersion) {
    EXPECT_EQ(AboutLine(L"v1.0r5"), L"Ketterlin v1.0r5");
    EXPECT_EQ(AboutLine(L"v10000.10000r10"), L"Ketterlin v10000.10000r10");
    // Without version information: the name and a single space.
    EXPECT_EQ(AboutLine(L""), L"Ketterlin ");
    EXPECT_EQ(AboutLine(nullptr), L"Ketterlin ");
}
