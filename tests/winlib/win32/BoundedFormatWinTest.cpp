// The bounded formatting rules over the Windows runtime's own formatting functions, whose
// answers to a text that does not fit differ from the C library's on Linux.
#include <cstring>
#include <cwchar>
#include <string>

#include "BoundedFormat.h"
#include "WinCheck.h"

WIN_CASE(BoundedFormattingRefusesOrCutsOnTheWindowsRuntime) {
    wchar_t wide[kWideTextCapacity];
    const std::wstring longest(255, L'x');
    WIN_CHECK(FormatWide256(wide, L"%ls", longest.c_str()) == 255 && wide == longest);
    const std::wstring tooLong(256, L'y');
    WIN_CHECK(FormatWide256(wide, L"%ls", tooLong.c_str()) == kFormatFailed && wide[0] == L'\0');
    WIN_CHECK(FormatWide256(wide, L"%d events", 10000) == 12 &&
              std::wcscmp(wide, L"10000 events") == 0);

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
        WIN_CHECK(FormatWideCut16(version, L"v%d.%dr%d", v.major, v.minor, v.revision) == v.result);
        WIN_CHECK(std::wcscmp(version, v.expected) == 0);
    }

    wchar_t icon[kIconRefCapacity];
    WIN_CHECK(FormatWide8(icon, L"#%d", 102) == 4 && std::wcscmp(icon, L"#102") == 0);
    WIN_CHECK(FormatWide8(icon, L"#%d", 9999999) == kFormatFailed && icon[0] == L'\0');

    char narrow[kNarrowTextCapacity];
    WIN_CHECK(FormatNarrow256(narrow, "/ketterlin.txt?%d_%d_%d", 1, 0, 5) == 20 &&
              std::strcmp(narrow, "/ketterlin.txt?1_0_5") == 0);
    const std::string narrowTooLong(256, 'b');
    WIN_CHECK(FormatNarrow256(narrow, "%s", narrowTooLong.c_str()) == kFormatFailed &&
              narrow[0] == '\0');
}
