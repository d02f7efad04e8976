// Turns event and parameter numbers into the bytes of an event, following a value pattern.
#pragma once

#include <cstdint>
#include <vector>

#include "GenOptions.h"

// The index pattern, kept as plain functions so tests and benchmarks can predict cell texts.
// Integers: (base + event * 10 + parameter) modulo 2^bits. Reals: event + parameter / 10.0,
// rounded to single precision for F.
uint64_t IndexIntegerValue(int64_t event, int parameter, int bits, uint64_t base = 0);
double IndexRealValue(int64_t event, int parameter);

// The random pattern: a hash of seed, event and parameter, so any event can be made alone.
uint64_t RandomBits(uint64_t seed, int64_t event, int parameter);

class EventEncoder {
public:
    explicit EventEncoder(const DataSetRecipe& recipe);

    int32_t EventSize() const { return eventSize; }
    // Writes EventSize() bytes for one event.
    void Encode(int64_t event, uint8_t* out) const;

private:
    struct Column {
        char dataType;
        int bits;
        int32_t size;  // bytes
    };

    uint64_t FieldBits(int64_t event, int parameter, const Column& column) const;
    void Store(uint64_t bits, int32_t size, uint8_t* out) const;

    std::vector<Column> columns;
    bool bigEndian;
    ValuePattern pattern;
    uint64_t seed;
    uint64_t integerBase;
    int32_t eventSize = 0;
};
