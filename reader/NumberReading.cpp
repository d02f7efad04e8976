// Number readings of keyword values: the lenient whole-value reading and the strict reading
// used for $BYTEORD, $PnB and the n of $Pn keyword names. Saturating, never undefined.
#include "NumberReading.h"

#include <limits>

#include "DecimalDigits.h"

namespace {

// The white space that the C library's wide-character classification knows in the "C" locale.
bool IsSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

// Reads sign and digits at text; the magnitude saturates at the limit of the signed type.
template <typename T>
bool ReadSignedDigits(const wchar_t* text, T& value, const wchar_t*& end) {
    const wchar_t* cursor = text;
    bool negative = false;
    if (*cursor == L'+' || *cursor == L'-') {
        negative = *cursor == L'-';
        ++cursor;
    }
    if (!IsDecimalDigit(*cursor)) {
        return false;
    }
    const uint64_t positiveLimit = static_cast<uint64_t>(std::numeric_limits<T>::max());
    const uint64_t limit = negative ? positiveLimit + 1 : positiveLimit;
    uint64_t magnitude = 0;
    cursor = ScanDecimalDigits(cursor, static_cast<const wchar_t*>(nullptr), limit, magnitude);
    if (negative) {
        value = magnitude == positiveLimit + 1 ? std::numeric_limits<T>::min()
                                               : -static_cast<T>(magnitude);
    } else {
        value = static_cast<T>(magnitude);
    }
    end = cursor;
    return true;
}

template <typename T>
T WholeValue(const wchar_t* text) {
    while (IsSpace(*text)) {
        ++text;
    }
    T value = 0;
    const wchar_t* end = nullptr;
    if (!ReadSignedDigits(text, value, end)) {
        return 0;
    }
    return value;
}

}  // namespace

int32_t WholeValueInt32(const wchar_t* text) {
    return WholeValue<int32_t>(text);
}

int64_t WholeValueInt64(const wchar_t* text) {
    return WholeValue<int64_t>(text);
}

bool StrictInt32(const wchar_t* text, int32_t& value, const wchar_t*& end) {
    return ReadSignedDigits(text, value, end);
}
