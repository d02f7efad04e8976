// Turns event and parameter numbers into the bytes of an event, following a value pattern.
#pragma once

#include <cstdint>

#include "GenOptions.h"

// The index pattern, kept as plain functions so tests and benchmarks can predict cell texts.
// Integers: (event * 10 + parameter) modulo 2^bits. Reals: event + parameter / 10.0, rounded
// to single precision for F.
uint64_t IndexIntegerValue(int64_t event, int parameter, int bits);
double IndexRealValue(int64_t event, int parameter);

// The random pattern: a hash of seed, event and parameter, so any event can be made alone.
uint64_t RandomBits(uint64_t seed, int64_t event, int parameter);

class EventEncoder {
public:
    EventEncoder(const DataSetRecipe& recipe, int parameterCount);

    int32_t FieldSize() const { return fieldSize; }
    int32_t EventSize() const { return fieldSize * parameterCount; }
    // Writes EventSize() bytes for one event.
    void Encode(int64_t event, uint8_t* out) const;

private:
    uint64_t FieldBits(int64_t event, int parameter) const;
    void Store(uint64_t bits, uint8_t* out) const;

    char dataType;
    int bits;
    bool bigEndian;
    ValuePattern pattern;
    uint64_t seed;
    int parameterCount;
    int32_t fieldSize;
};
