// TEXT bytes to wide text in the system's ANSI code page.
#include "../AnsiText.h"

#include <windows.h>

std::wstring AnsiToWide(const char* zeroTerminated) {
    const int length = MultiByteToWideChar(CP_ACP, 0, zeroTerminated, -1, NULL, 0);
    if (length <= 1) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, zeroTerminated, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);  // the terminating zero
    return wide;
}
