// ANSI conversion where the platform has no ANSI code page: Windows-1252, the code page of
// the Western-European Windows systems on which most instruments' files were written. The five
// bytes the code page leaves undefined map to their Latin-1 values, as Windows itself does.
#include "AnsiText.h"

namespace {

constexpr wchar_t kHighControlRange[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};
constexpr unsigned kHighControlFirst = 0x80;
constexpr unsigned kHighControlEnd = 0xA0;

}  // namespace

std::wstring AnsiToWide(const char* zeroTerminated) {
    std::wstring wide;
    for (const char* p = zeroTerminated; *p != '\0'; ++p) {
        const unsigned byte = static_cast<unsigned char>(*p);
        if (byte >= kHighControlFirst && byte < kHighControlEnd) {
            wide.push_back(kHighControlRange[byte - kHighControlFirst]);
        } else {
            wide.push_back(static_cast<wchar_t>(byte));
        }
    }
    return wide;
}
