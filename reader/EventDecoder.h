// Decoding of one field of an event by data type and byte order, and its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedValue {
    enum Kind { kNone, kInteger, kReal };
    Kind kind = kNone;
    uint64_t integer = 0;
    double real = 0;
};

// The widest integer field decoded whole: 64 bits. Wider ones have no value rather than a
// number made of some of their bytes.
constexpr int32_t kMaxIntegerBytes = 8;
// The widths the real types need: single precision 32 bits, double precision 64.
constexpr int32_t kSingleBytes = 4;
constexpr int32_t kDoubleBytes = 8;

// Whether a field of width bytes can hold a value of the data type (I, F or D): integers of
// 0 to 64 bits, F of exactly 32, D of exactly 64. Other data types fit no width.
bool WidthFitsDataType(char dataType, int32_t width);

// A byte order whose first entry is above its last is read big-endian whenever it does not fit
// the field; every other order that does not fit is read little-endian.
bool ByteOrderRunsDownwards(const std::vector<int32_t>& byteOrder);

// The decoding of one column of fields: which bytes of a field are taken, and in which order,
// worked out once from the data type, the width and the byte order, so that decoding the same
// column of many events never looks at the byte order again. Never reads outside
// field[0..width-1]. Data types other than I, F and D, and widths that do not fit the data type
// (WidthFitsDataType) give kNone.
class FieldDecoder {
public:
    FieldDecoder() = default;
    FieldDecoder(char dataType, int32_t width, const std::vector<int32_t>& byteOrder);

    DecodedValue::Kind Kind() const { return kind; }
    // A single-precision real: its value came from four bytes and is exact as a float.
    bool IsSingle() const { return single; }

    // For kInteger.
    uint64_t Integer(const uint8_t* field) const {
        uint64_t v = 0;
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
    // The value as a double, for arithmetic on many events: integers converted (exactly up to
    // 2^53), single precision widened. Only for a decoder whose Kind() is not kNone.
    double Number(const uint8_t* field) const {
        if (kind == DecodedValue::kInteger) {
            return static_cast<double>(Integer(field));
        }
        return single ? static_cast<double>(Single(field)) : Double(field);
    }

private:
    static constexpr int32_t kMaxTaken = kMaxIntegerBytes;

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
// three-digit exponent ("-1.79769313486232e+308"). Integers take at most twenty digits.
constexpr size_t kMaxValueTextLength = 22;

// Writes the value's text ("%u" for integers, "%0.15g" for reals, "nan" for every NaN,
// noValueText otherwise) into out, at most capacity - 1 characters and a terminating zero.
void FormatDecodedValue(const DecodedValue& value,
                        const wchar_t* noValueText,
                        wchar_t* out,
                        size_t capacity);
