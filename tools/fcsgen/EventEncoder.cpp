// Event values of generated files. Every value is a pure function of (event, parameter), so
// files of any size stream out block by block and a test can recompute any cell it looks at.
#include "EventEncoder.h"

#include <cstring>

namespace {

constexpr int kBitsPerByte = 8;
constexpr int kParameterStride = 10;    // index pattern: event * 10 + parameter
constexpr double kParameterStep = 0.1;  // index pattern: event + parameter / 10
// Random reals lie in [0, 2^18), a typical range of an 18-bit converter.
constexpr double kRandomRealRange = 262144.0;
constexpr int kFloatMantissaBits = 24;
constexpr int kDoubleMantissaBits = 53;

uint64_t SplitMix64(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

uint64_t LowMask(int bits) {
    return bits >= 64 ? ~0ull : (1ull << bits) - 1;
}

}  // namespace

uint64_t IndexIntegerValue(int64_t event, int parameter, int bits, uint64_t base) {
    const uint64_t value =
        base + static_cast<uint64_t>(event) * kParameterStride + static_cast<uint64_t>(parameter);
    return value & LowMask(bits);
}

double IndexRealValue(int64_t event, int parameter) {
    return static_cast<double>(event) + parameter * kParameterStep;
}

uint64_t RandomBits(uint64_t seed, int64_t event, int parameter) {
    return SplitMix64(SplitMix64(seed ^ static_cast<uint64_t>(event)) +
                      static_cast<uint64_t>(parameter));
}

EventEncoder::EventEncoder(const DataSetRecipe& recipe)
    : bigEndian(recipe.bigEndian),
      pattern(recipe.pattern),
      seed(recipe.seed),
      integerBase(recipe.integerBase) {
    for (size_t p = 0; p < recipe.names.size(); ++p) {
        const int bits = recipe.ColumnBits(p);
        columns.push_back({recipe.ColumnType(p), bits, bits / kBitsPerByte});
        eventSize += bits / kBitsPerByte;
    }
}

uint64_t EventEncoder::FieldBits(int64_t event, int parameter, const Column& column) const {
    const char dataType = column.dataType;
    if (dataType == 'I') {
        return pattern == ValuePattern::kIndex
                   ? IndexIntegerValue(event, parameter, column.bits, integerBase)
                   : RandomBits(seed, event, parameter) & LowMask(column.bits);
    }
    const uint64_t random = RandomBits(seed, event, parameter);
    if (dataType == 'F') {
        // A 24-bit integer scaled by a power of two is exact in single precision.
        const float value =
            pattern == ValuePattern::kIndex
                ? static_cast<float>(IndexRealValue(event, parameter))
                : static_cast<float>(static_cast<double>(random >> (64 - kFloatMantissaBits)) /
                                     (1 << kFloatMantissaBits) * kRandomRealRange);
        uint32_t raw = 0;
        std::memcpy(&raw, &value, sizeof raw);
        return raw;
    }
    const double value = pattern == ValuePattern::kIndex
                             ? IndexRealValue(event, parameter)
                             : static_cast<double>(random >> (64 - kDoubleMantissaBits)) /
                                   static_cast<double>(1ull << kDoubleMantissaBits) *
                                   kRandomRealRange;
    uint64_t raw = 0;
    std::memcpy(&raw, &value, sizeof raw);
    return raw;
}

void EventEncoder::Store(uint64_t value, int32_t size, uint8_t* out) const {
    for (int32_t i = 0; i < size; ++i) {
        const int32_t position = bigEndian ? size - 1 - i : i;
        out[position] = static_cast<uint8_t>(value >> (i * kBitsPerByte));
    }
}

void EventEncoder::Encode(int64_t event, uint8_t* out) const {
    for (size_t p = 0; p < columns.size(); ++p) {
        const Column& column = columns[p];
        Store(FieldBits(event, static_cast<int>(p), column), column.size, out);
        out += column.size;
    }
}
