// Keyword text conversion. UTF-8 is taken only when the whole item is valid UTF-8: a single
// stray byte means the item was written in some other code page, and reading part of it as
// UTF-8 would show neither what the writer meant nor what the ANSI reading shows.
#include "KeywordText.h"

#include "AnsiText.h"
#include "Utf8Sequence.h"

namespace {

// wchar_t holds a code point on POSIX systems and a UTF-16 unit on Windows.
void AppendWide(std::wstring& wide, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            const char32_t above = c - 0x10000;
            wide.push_back(static_cast<wchar_t>(0xD800 + (above >> 10)));
            wide.push_back(static_cast<wchar_t>(0xDC00 + (above & 0x3FF)));
            return;
        }
    }
    wide.push_back(static_cast<wchar_t>(c));
}

bool Utf8ToWide(const std::string& bytes, std::wstring& wide) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t i = 0;
    while (i < bytes.size()) {
        char32_t c = 0;
        const size_t length = ReadUtf8Sequence(data + i, bytes.size() - i, c);
        if (length == 0) {
            return false;
        }
        AppendWide(wide, c);
        i += length;
    }
    return true;
}

}  // namespace

std::wstring KeywordTextToWide(const std::string& bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::kUtf8WhereValid) {
        std::wstring wide;
        wide.reserve(bytes.size());
        if (Utf8ToWide(bytes, wide)) {
            return wide;
        }
    }
    return AnsiToWide(bytes.c_str());
}
