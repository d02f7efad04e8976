// Window titles for open files.
#include "WindowTitle.h"

std::wstring TitleFromParts(const std::wstring& name, const std::wstring& extension) {
    return name + extension + L" - " + kProgramName;
}

std::wstring LastPathComponent(const std::wstring& path) {
    size_t start = path.find_last_of(L"\\/");
    start = start == std::wstring::npos ? 0 : start + 1;
    // "C:name" names a file on a drive without a folder.
    if (start == 0 && path.size() >= 2 && path[1] == L':') {
        start = 2;
    }
    return path.substr(start);
}
