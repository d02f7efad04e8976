// UTF-8 output of wide strings and JSON string escaping for ketterlin-dump.
#include "Utf8.h"

#include <cstdint>
#include <cstdio>
#include <type_traits>

#include "Utf8Sequence.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendCodePoint(std::string& out, char32_t c) {
    if (c > kMaxCodePoint || IsSurrogate(c)) {
        c = kReplacement;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

struct EscapeTable {
    bool escaped[256] = {};
};

constexpr EscapeTable MakeEscapeTable() {
    EscapeTable table;
    for (int c = 0; c < 0x20; ++c) {
        table.escaped[c] = true;
    }
    table.escaped[static_cast<unsigned char>('"')] = true;
    table.escaped[static_cast<unsigned char>('\\')] = true;
    table.escaped[0x7F] = true;
    return table;
}

// The bytes a JSON string literal cannot hold as they are.
constexpr EscapeTable kEscapeTable = MakeEscapeTable();
constexpr const bool* kNeedsEscape = kEscapeTable.escaped;

}  // namespace

void AppendUtf8(std::string& out, const wchar_t* text) {
    // Cells and most keywords are plain ASCII: those are copied without looking any further.
    // Copied through a small block, so that a cell costs one append and not one per character.
    const wchar_t* p = text;
    while (*p > 0 && *p < 0x80) {
        char block[64];
        size_t length = 0;
        for (; length<sizeof block&& * p> 0 && *p < 0x80; ++p) {
            block[length++] = static_cast<char>(*p);
        }
        out.append(block, length);
    }
    for (; *p != 0; ++p) {
        char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(*p));
        if (sizeof(wchar_t) == 2 && IsHighSurrogate(c) && IsLowSurrogate(p[1])) {
            const char32_t low = static_cast<char32_t>(p[1]);
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++p;
        }
        AppendCodePoint(out, c);
    }
}

std::string WideToUtf8(const wchar_t* text) {
    std::string out;
    AppendUtf8(out, text);
    return out;
}

std::string WideToUtf8(const std::wstring& text) {
    // Embedded zeros would end the walk above; the model's strings come from zero-terminated
    // bytes, so they hold none, but keep every character anyway.
    std::string out;
    size_t start = 0;
    for (;;) {
        const size_t zero = text.find(L'\0', start);
        out += WideToUtf8(text.substr(start, zero - start).c_str());
        if (zero == std::wstring::npos) {
            return out;
        }
        out += '\0';
        start = zero + 1;
    }
}

std::string ValidUtf8(const std::string& bytes) {
    std::string out;
    size_t i = 0;
    while (i < bytes.size()) {
        char32_t c = 0;
        const size_t length = ReadUtf8Sequence(
            reinterpret_cast<const unsigned char*>(bytes.data()) + i, bytes.size() - i, c);
        if (length == 0) {
            AppendCodePoint(out, kReplacement);
            ++i;
            continue;
        }
        out.append(bytes, i, length);
        i += length;
    }
    return out;
}

void AppendJsonString(std::string& out, std::string_view utf8) {
    // Short texts without anything to escape (every cell, most keywords) go out in one append.
    constexpr size_t kShortLength = 62;
    if (utf8.size() <= kShortLength) {
        char quoted[kShortLength + 2];
        size_t length = 0;
        quoted[length++] = '"';
        for (const char c : utf8) {
            if (kNeedsEscape[static_cast<unsigned char>(c)]) {
                length = 0;
                break;
            }
            quoted[length++] = c;
        }
        if (length > 0) {
            quoted[length++] = '"';
            out.append(quoted, length);
            return;
        }
    }
    out += '"';
    size_t plain = 0;  // start of the characters not yet copied, which need no escape
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (!kNeedsEscape[c]) {
            continue;
        }
        out.append(utf8.substr(plain, i - plain));
        plain = i + 1;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default: {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            }
        }
    }
    out.append(utf8.substr(plain));
    out += '"';
}

void AppendJsonStrings(std::string& out, std::string_view items, char separator) {
    // Event rows are long runs of short numbers: written in one pass straight into the output,
    // unless some item needs escaping, when each goes through the general road.
    const size_t start = out.size();
    out.resize(start + items.size() + 2 * items.size() + 4);
    char* cursor = out.data() + start;
    *cursor++ = '[';
    *cursor++ = '"';
    bool plain = true;
    for (const char c : items) {
        if (c == separator) {
            *cursor++ = '"';
            *cursor++ = ',';
            *cursor++ = '"';
        } else if (kNeedsEscape[static_cast<unsigned char>(c)]) {
            plain = false;
            break;
        } else {
            *cursor++ = c;
        }
    }
    if (plain) {
        *cursor++ = '"';
        *cursor++ = ']';
        out.resize(static_cast<size_t>(cursor - out.data()));
        return;
    }
    out.resize(start);
    out += '[';
    for (size_t first = 0;;) {
        const size_t end = items.find(separator, first);
        AppendJsonString(out, items.substr(first, end - first));
        if (end == std::string_view::npos) {
            break;
        }
        out += ',';
        first = end + 1;
    }
    out += ']';
}
