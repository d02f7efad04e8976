// What the sample generator is asked to write: one data set (or two for an LMD file) and the
// way their event values are made.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class ValuePattern { kIndex, kRandom };

struct DataSetRecipe {
    int versionMajor = 3;
    int versionMinor = 1;
    char dataType = 'F';
    int bits = 32;  // field width of every parameter
    bool bigEndian = false;
    std::vector<std::string> names;  // one per parameter, unescaped
    int64_t events = 100;
    ValuePattern pattern = ValuePattern::kIndex;
    uint64_t seed = 1;
    std::string byteOrderText;  // $BYTEORD as written; empty means derived from width and order
    // FCS 3.2 and later: each parameter's own data type, written as $PnDATATYPE; empty means
    // every parameter has dataType. F columns are 32 bits wide, D 64, I columns `bits`.
    std::vector<char> columnTypes;
    uint64_t integerBase = 0;  // added to every integer of the index pattern (modulo 2^bits)
    std::vector<std::pair<std::string, std::string>> extraKeywords;  // written after the others
    // Only every kSparseStride-th event and the last are written; the rest of the DATA segment
    // is left a hole of the file system, which reads as zero bytes.
    bool sparse = false;

    char ColumnType(size_t parameter) const {
        return columnTypes.empty() ? dataType : columnTypes[parameter];
    }
    int ColumnBits(size_t parameter) const {
        const char type = ColumnType(parameter);
        return type == 'F' ? 32 : type == 'D' ? 64 : bits;
    }
};

constexpr int64_t kSparseStride = 1 << 20;

struct GenOptions {
    std::string outPath;
    DataSetRecipe dataSet;
    bool lmd = false;  // a 16-bit FCS2.0 data set first, then dataSet as FCS3.0
};

constexpr int64_t kMaxEvents = 2147483647;           // written events: $TOT of common readers
constexpr int64_t kMaxSparseEvents = 1000000000000;  // events of a sparse file
constexpr int kMaxParameters = 100000;
