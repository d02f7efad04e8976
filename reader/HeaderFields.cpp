// HEADER field scanning: the version text and the six right-aligned offset fields. Done by
// hand rather than with sscanf so that digits that overflow saturate instead of being undefined.
#include "HeaderFields.h"

#include <cstdint>
#include <limits>

#include "DecimalDigits.h"

namespace {

constexpr uint64_t kInt32Max = std::numeric_limits<int32_t>::max();

bool IsScanfSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// One "%d" conversion: white space, an optional sign, at least one digit.
bool ScanInt(const char*& cursor, int32_t& value) {
    while (IsScanfSpace(*cursor)) {
        ++cursor;
    }
    bool negative = false;
    if (*cursor == '+' || *cursor == '-') {
        negative = *cursor == '-';
        ++cursor;
    }
    if (!IsDecimalDigit(*cursor)) {
        return false;
    }
    uint64_t magnitude = 0;
    cursor = ScanDecimalDigits(cursor, static_cast<const char*>(nullptr),
                               kInt32Max + (negative ? 1 : 0), magnitude);
    const int64_t signedValue =
        negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    value = static_cast<int32_t>(signedValue);
    return true;
}

}  // namespace

bool ScanVersion(const char* text, int32_t& major, int32_t& minor) {
    if (text[0] != 'F' || text[1] != 'C' || text[2] != 'S') {
        return false;
    }
    const char* cursor = text + 3;
    int32_t first = 0;
    if (!ScanInt(cursor, first) || *cursor != '.') {
        return false;
    }
    ++cursor;
    int32_t second = 0;
    if (!ScanInt(cursor, second)) {
        return false;
    }
    major = first;
    minor = second;
    return true;
}

bool ScanOffsetField(const char* text, int32_t& value) {
    const char* cursor = text;
    while (*cursor == ' ') {
        ++cursor;
    }
    uint64_t magnitude = 0;
    if (ScanDecimalDigits(cursor, static_cast<const char*>(nullptr), kInt32Max, magnitude) ==
        cursor) {
        return false;
    }
    value = static_cast<int32_t>(magnitude);
    return true;
}
