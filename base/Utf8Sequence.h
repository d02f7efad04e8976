// The one rule for what a UTF-8 sequence is, for the reader's keyword texts and the dump's
// output alike: the shortest form of a code point up to U+10FFFF that is no surrogate.
#pragma once

#include <cstddef>

constexpr char32_t kMaxCodePoint = 0x10FFFF;

constexpr bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Reads the sequence that starts at bytes[0], with available bytes there (at least 1). Returns
// its length (1 to 4) with its code point, or 0 when the bytes are no UTF-8: a byte that cannot
// start a sequence, a missing continuation byte, an overlong form, a surrogate or a value past
// U+10FFFF.
inline size_t ReadUtf8Sequence(const unsigned char* bytes, size_t available, char32_t& codePoint) {
    const unsigned char lead = bytes[0];
    const size_t length = lead < 0x80                    ? 1
                          : lead >= 0xC2 && lead <= 0xDF ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || length > available) {
        return 0;
    }
    char32_t c = length == 1   ? lead
                 : length == 2 ? lead & 0x1F
                 : length == 3 ? lead & 0x0F
                               : lead & 0x07;
    for (size_t k = 1; k < length; ++k) {
        if ((bytes[k] & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (bytes[k] & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[length] || c > kMaxCodePoint || IsSurrogate(c)) {
        return 0;
    }
    codePoint = c;
    return length;
}
