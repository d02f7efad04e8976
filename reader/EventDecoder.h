// Decoding of one field of an event by data type and byte order, and its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedValue {
    enum Kind { kNone, kInteger, kReal };
    Kind kind = kNone;
    uint32_t integer = 0;
    double real = 0;
};

// A byte order whose first entry is above its last is read big-endian whenever it does not fit
// the field; every other order that does not fit is read little-endian.
bool ByteOrderRunsDownwards(const std::vector<int32_t>& byteOrder);

// The decoding of one column of fields: which bytes of a field are taken, and in which order,
// worked out once from the data type, the width and the byte order, so that decoding the same
// column of many events never looks at the byte order again. Never reads outside
// field[0..width-1]. Data types other than I, F and D, F or D fields that are not 4 or 8 bytes
// wide, and negative widths give kNone.
class FieldDecoder {
public:
    FieldDecoder() = default;
    FieldDecoder(char dataType, int32_t width, const std::vector<int32_t>& byteOrder);

    DecodedValue::Kind Kind() const { return kind; }
    // A single-precision real: its value came from four bytes and is exact as a float.
    bool IsSingle() const { return single; }

    // For kInteger.
    uint32_t Integer(const uint8_t* field) const {
        uint32_t v = 0;
        for (int32_t k = 0; k < takenCount; ++k) {
            v = (v << 8) | field[taken[k]];
        }
        return v;
    }
    // For kReal; the bytes taken run from the least significant on.
    uint64_t RealBits(const uint8_t* field) const {
        uint64_t bits = 0;
        for (int32_t k = takenCount; k-- > 0;) {
            bits = (bits << 8) | field[taken[k]];
        }
        return bits;
    }
    float Single(const uint8_t* field) const;
    double Double(const uint8_t* field) const;
    DecodedValue Decode(const uint8_t* field) const;

private:
    static constexpr int32_t kMaxTaken = 8;

    DecodedValue::Kind kind = DecodedValue::kNone;
    bool single = false;
    int32_t takenCount = 0;
    int32_t taken[kMaxTaken] = {};  // byte indexes within the field, in the order taken
};

// The text of every NaN, whatever its sign bit and payload.
extern const char kNotANumberText[];

// Room for the text of any value, unterminated.
constexpr size_t kValueTextCapacity = 64;

// Writes the text of an integer or real value ("%u", "%0.15g", "nan" for every NaN) into narrow,
// unterminated, and returns its end; nullptr for a value that has none.
char* FormatValueText(const DecodedValue& value, char (&narrow)[kValueTextCapacity]);

// The longest text of a decoded value: a negative real with fifteen significant digits and a
// three-digit exponent ("-1.79769313486232e+308"). Integers take at most ten digits.
constexpr size_t kMaxValueTextLength = 22;

// Writes the value's text ("%u" for integers, "%0.15g" for reals, "nan" for every NaN,
// noValueText otherwise) into out, at most capacity - 1 characters and a terminating zero.
void FormatDecodedValue(const DecodedValue& value, const wchar_t* noValueText, wchar_t* out,
                        size_t capacity);
