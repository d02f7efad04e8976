// What the sample generator is asked to write: one data set (or two for an LMD file) and the
// way their event values are made.
#pragma once

#include <cstdint>
#include <string>
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
};

struct GenOptions {
    std::string outPath;
    DataSetRecipe dataSet;
    bool lmd = false;  // a 16-bit FCS2.0 data set first, then dataSet as FCS3.0
};

constexpr int64_t kMaxEvents = 2147483647;  // $TOT must stay a signed 32-bit count
constexpr int kMaxParameters = 100000;
