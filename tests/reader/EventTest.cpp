// Event values: decoding by data type and byte order (the common orders and those real files
// pair with fields they do not fit), the cell texts, the event cache, and block reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "EventDecoder.h"
#include "FcsBuilder.h"
#include "ReaderTestSupport.h"

namespace {

using Order = std::vector<int32_t>;

std::wstring Decode(char type, std::vector<uint8_t> field, const Order& order) {
    wchar_t text[kDisplayTextLength];
    const DecodedValue value =
        FieldDecoder(type, static_cast<int32_t>(field.size()), order).Decode(field.data());
    FormatDecodedValue(value, kNoValueText, text, kDisplayTextLength);
    return text;
}

std::vector<uint8_t> BytesOf(float value) {
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);  // the test host is little-endian
    return bytes;
}

std::vector<uint8_t> BytesOf(double value) {
    std::vector<uint8_t> bytes(8);
    std::memcpy(bytes.data(), &value, 8);
    return bytes;
}

std::vector<uint8_t> Reversed(std::vector<uint8_t> bytes) {
    return std::vector<uint8_t>(bytes.rbegin(), bytes.rend());
}

struct DecodeCase {
    const char* what;
    char type;
    std::vector<uint8_t> field;
    Order order;
    std::wstring text;
};

TEST(EventDecoding, OrdersThatFitTheField) {
    const DecodeCase cases[] = {
        {"I1 default", 'I', {0xAB}, {1}, L"171"},
        {"I1 with 1,2,3,4", 'I', {0xAB}, {1, 2, 3, 4}, L"171"},
        {"I2 little-endian", 'I', {0x34, 0x12}, {1, 2, 3, 4}, L"4660"},
        {"I2 with 1,2", 'I', {0x34, 0x12}, {1, 2}, L"4660"},
        {"I2 with 2,1", 'I', {0x12, 0x34}, {2, 1}, L"4660"},
        {"I4 big-endian", 'I', {0x00, 0x00, 0x01, 0x00}, {4, 3, 2, 1}, L"256"},
        {"I4 little-endian", 'I', {0x00, 0x00, 0x01, 0x00}, {1, 2, 3, 4}, L"65536"},
        {"I4 maximum", 'I', {0xFF, 0xFF, 0xFF, 0xFF}, {1, 2, 3, 4}, L"4294967295"},
        {"I4 mixed 3,4,1,2", 'I', {0x01, 0x02, 0x03, 0x04}, {3, 4, 1, 2}, L"33620995"},
        {"I3 little-endian", 'I', {0x01, 0x02, 0x03}, {1, 2, 3}, L"197121"},
        // Integers wider than 32 bits are read whole.
        {"I8 whole",
         'I',
         {1, 0, 0, 0, 9, 9, 9, 9},
         {1, 2, 3, 4, 5, 6, 7, 8},
         L"651061555391102977"},
        {"I8 maximum",
         'I',
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         {8, 7, 6, 5, 4, 3, 2, 1},
         L"18446744073709551615"},
        {"I8 5000000000 big-endian",
         'I',
         {0, 0, 0, 0x01, 0x2A, 0x05, 0xF2, 0x00},
         {8, 7, 6, 5, 4, 3, 2, 1},
         L"5000000000"},
        {"I5 little-endian", 'I', {0x00, 0xF2, 0x05, 0x2A, 0x01}, {1, 2, 3, 4, 5}, L"5000000000"},
        {"I0", 'I', {}, {1}, L"0"},
        {"F little-endian 1.5", 'F', {0x00, 0x00, 0xC0, 0x3F}, {1, 2, 3, 4}, L"1.5"},
        {"F big-endian 1.5", 'F', {0x3F, 0xC0, 0x00, 0x00}, {4, 3, 2, 1}, L"1.5"},
        {"F 0.1 widened", 'F', BytesOf(0.1f), {1, 2, 3, 4}, L"0.100000001490116"},
        {"F negative", 'F', BytesOf(-2.25f), {1, 2, 3, 4}, L"-2.25"},
        {"D little-endian 0.1", 'D', BytesOf(0.1), {1, 2, 3, 4, 5, 6, 7, 8}, L"0.1"},
        {"D big-endian", 'D', Reversed(BytesOf(-4.5)), {8, 7, 6, 5, 4, 3, 2, 1}, L"-4.5"},
        {"D large", 'D', BytesOf(1e20), {1, 2, 3, 4, 5, 6, 7, 8}, L"1e+20"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(Decode(c.type, c.field, c.order), c.text) << c.what;
    }
}

// Orders that do not fit: read by the direction the order runs, inside the field.
TEST(EventDecoding, OrdersThatDoNotFitTheField) {
    const DecodeCase cases[] = {
        {"I2 with 4,3,2,1 is big-endian", 'I', {0x12, 0x34}, {4, 3, 2, 1}, L"4660"},
        {"I3 with 4,3,2,1 is big-endian", 'I', {0x01, 0x02, 0x03}, {4, 3, 2, 1}, L"66051"},
        {"I4 with default 1 is little-endian", 'I', {0x01, 0, 0, 0}, {1}, L"1"},
        {"I2 with default 1", 'I', {0x34, 0x12}, {1}, L"4660"},
        {"I4 with 2,1 is big-endian", 'I', {0, 0, 0x01, 0x00}, {2, 1}, L"256"},
        {"I2 with 0,1 (entry below 1)", 'I', {0x34, 0x12}, {0, 1}, L"4660"},
        {"I2 with 9,1 (entry above width)", 'I', {0x12, 0x34}, {9, 1}, L"4660"},
        {"I2 with negative entries", 'I', {0x34, 0x12}, {-5, -1}, L"4660"},
        {"I8 with 4,3,2,1 is big-endian",
         'I',
         {9, 9, 9, 9, 0, 0, 0, 7},
         {4, 3, 2, 1},
         L"651061555391102983"},
        {"I8 with 1,2,3,4 is little-endian",
         'I',
         {0x00, 0xF2, 0x05, 0x2A, 0x01, 0, 0, 0},
         {1, 2, 3, 4},
         L"5000000000"},
        {"I6 with 4,3,2,1 is big-endian",
         'I',
         {0, 0x01, 0x2A, 0x05, 0xF2, 0x00},
         {4, 3, 2, 1},
         L"5000000000"},
        {"F with 1,2", 'F', {0x00, 0x00, 0xC0, 0x3F}, {1, 2}, L"1.5"},
        {"F with default 1", 'F', {0x00, 0x00, 0xC0, 0x3F}, {1}, L"1.5"},
        {"F with 2,1", 'F', {0x3F, 0xC0, 0x00, 0x00}, {2, 1}, L"1.5"},
        {"F with 8..1", 'F', {0x3F, 0xC0, 0x00, 0x00}, {8, 7, 6, 5, 4, 3, 2, 1}, L"1.5"},
        {"F with an entry above 4", 'F', {0x00, 0x00, 0xC0, 0x3F}, {1, 2, 3, 5}, L"1.5"},
        {"D with 1,2,3,4", 'D', BytesOf(0.1), {1, 2, 3, 4}, L"0.1"},
        {"D with 4,3,2,1", 'D', Reversed(BytesOf(0.1)), {4, 3, 2, 1}, L"0.1"},
        {"D with an empty order", 'D', BytesOf(0.1), {}, L"0.1"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(Decode(c.type, c.field, c.order), c.text) << c.what;
    }
}

TEST(EventDecoding, FieldsWithoutAValue) {
    const DecodeCase cases[] = {
        {"ASCII", 'A', {'1', '2'}, {1}, kNoValueText},
        {"no type", '\0', {1}, {1}, kNoValueText},
        {"F two bytes", 'F', {0, 0}, {1, 2, 3, 4}, kNoValueText},
        {"I wider than 64 bits", 'I', std::vector<uint8_t>(9, 1), {1}, kNoValueText},
        {"F eight bytes", 'F', BytesOf(0.1), {1, 2, 3, 4}, kNoValueText},
        {"D four bytes", 'D', {0, 0, 0, 0}, {1, 2, 3, 4}, kNoValueText},
        {"F empty", 'F', {}, {1}, kNoValueText},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(Decode(c.type, c.field, c.order), c.text) << c.what;
    }
}

std::wstring TextOf(const DecodedValue& value) {
    wchar_t text[kDisplayTextLength];
    FormatDecodedValue(value, kNoValueText, text, kDisplayTextLength);
    return text;
}

DecodedValue Real(double real) {
    DecodedValue value;
    value.kind = DecodedValue::kReal;
    value.real = real;
    return value;
}

std::wstring Printf(const char* format, double real) {
    char narrow[64];
    std::snprintf(narrow, sizeof narrow, format, real);
    return Widen(narrow);
}

double FromBits(uint64_t bits) {
    double real;
    std::memcpy(&real, &bits, sizeof real);
    return real;
}

float FromBits32(uint32_t bits) {
    float single;
    std::memcpy(&single, &bits, sizeof single);
    return single;
}

// Cells are formatted without printf; their texts must still be exactly printf's "%0.15g" and
// "%u". Random bit patterns cover every exponent, subnormals and both signs; the other groups
// hit the switches between fixed and exponent notation and the rounding of the 15th digit.
TEST(EventDecoding, RealAndIntegerTextsAreThoseOfPrintf) {
    std::mt19937_64 random(20261207);
    std::vector<double> reals = {0.0,
                                 -0.0,
                                 0.1,
                                 1e-5,
                                 1e-4,
                                 1e15,
                                 1e16,
                                 1e-307,
                                 5e-324,
                                 -5e-324,
                                 2.2250738585072014e-308,
                                 1.7976931348623157e308,
                                 999999999999999.5,
                                 0.5,
                                 123456.0,
                                 HUGE_VAL,
                                 -HUGE_VAL};
    for (int i = 0; i < 40000; ++i) {
        const uint64_t bits = random();
        reals.push_back(FromBits(bits));                           // any double
        reals.push_back(FromBits32(static_cast<uint32_t>(bits)));  // a widened float
        reals.push_back(FromBits(bits & 0x800FFFFFFFFFFFFFull));   // subnormal
        reals.push_back(static_cast<double>(static_cast<int64_t>(bits) >> (bits % 64)));
        reals.push_back(std::ldexp(1.0, static_cast<int>(bits % 2100) - 1075));  // powers of 2
        reals.push_back(static_cast<double>(bits % 1000000) / 1000.0);           // short decimals
        reals.push_back(std::pow(10.0, static_cast<int>(bits % 40) - 20) *
                        (bits % 2 ? 9.999999999999995 : 1.0));  // near a switch
    }
    size_t compared = 0;
    size_t longest = 0;
    for (double real : reals) {
        if (std::isnan(real)) {
            continue;  // NaN has a text of its own (below)
        }
        const std::wstring text = TextOf(Real(real));
        ASSERT_EQ(text, Printf("%0.15g", real)) << std::hexfloat << real;
        longest = std::max(longest, text.size());
        ++compared;
    }
    EXPECT_GT(compared, 250000u);
    // Copies size their buffers by the longest text, which the largest negative number has.
    EXPECT_EQ(longest, kMaxValueTextLength);
    EXPECT_EQ(TextOf(Real(-1.7976931348623157e308)), L"-1.79769313486232e+308");
    EXPECT_EQ(TextOf(Real(-1.2345678901234567e-100)), L"-1.23456789012346e-100");

    std::vector<uint32_t> integers = {0, 1, 9, 10, 99, 100, 4294967295u, 2147483648u};
    for (int i = 0; i < 20000; ++i) {
        integers.push_back(static_cast<uint32_t>(random() >> (random() % 32)));
    }
    for (uint32_t integer : integers) {
        DecodedValue value;
        value.kind = DecodedValue::kInteger;
        value.integer = integer;
        char narrow[16];
        std::snprintf(narrow, sizeof narrow, "%u", static_cast<unsigned>(integer));
        ASSERT_EQ(TextOf(value), Widen(narrow)) << integer;
        ASSERT_LE(TextOf(value).size(), kMaxValueTextLength);
    }
}

// printf's text for a NaN differs between C libraries ("-nan" from glibc for a negative one);
// the cell shows "nan" for every NaN on every platform.
TEST(EventDecoding, NonFiniteTexts) {
    const struct {
        const char* what;
        double real;
        const wchar_t* text;
    } cases[] = {
        {"quiet NaN", FromBits(0x7FF8000000000000ull), L"nan"},
        {"negative NaN", FromBits(0xFFF8000000000000ull), L"nan"},
        {"NaN with payload", FromBits(0x7FF0000000000001ull), L"nan"},
        {"negative float NaN widened", FromBits32(0xFFC00001u), L"nan"},
        {"infinity", FromBits(0x7FF0000000000000ull), L"inf"},
        {"negative infinity", FromBits(0xFFF0000000000000ull), L"-inf"},
        {"float infinity widened", FromBits32(0x7F800000u), L"inf"},
        {"negative zero", -0.0, L"-0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextOf(Real(c.real)), c.text) << c.what;
    }
    // Through the decoder: a big-endian float NaN with its sign bit set.
    EXPECT_EQ(Decode('F', {0xFF, 0xC0, 0x00, 0x00}, {4, 3, 2, 1}), L"nan");
    EXPECT_EQ(Decode('F', {0x00, 0x00, 0x80, 0xFF}, {1, 2, 3, 4}), L"-inf");
}

TEST(EventDecoding, TextIsCutToTheBuffer) {
    wchar_t text[4];
    DecodedValue value;
    value.kind = DecodedValue::kInteger;
    value.integer = 123456;
    FormatDecodedValue(value, kNoValueText, text, 4);
    EXPECT_EQ(std::wstring(text), L"123");
}

// A data set of 30 events with parameters 2, 4 and 1 bytes wide, little-endian integers;
// event e holds e, 1000 + e and e % 256.
FcsBuilder ThirtyEvents() {
    FcsBuilder b;
    b.Add("$PAR", "3")
        .Add("$P1B", "16")
        .Add("$P2B", "32")
        .Add("$P3B", "8")
        .Add("$BYTEORD", "1,2,3,4")
        .Add("$DATATYPE", "I")
        .Add("$TOT", "30");
    for (uint32_t e = 0; e < 30; ++e) {
        const uint32_t second = 1000 + e;
        b.Bytes({static_cast<uint8_t>(e), 0, static_cast<uint8_t>(second),
                 static_cast<uint8_t>(second >> 8), 0, 0, static_cast<uint8_t>(e)});
    }
    b.dataKeywords = true;
    return b;
}

TEST(EventValues, ThirdParameterStartsAfterTheWidthsBeforeIt) {
    auto r = ParseBytes(ThirtyEvents().Build());
    ASSERT_TRUE(r->parsed);
    ASSERT_EQ(r->first.eventCount, 30);
    EXPECT_EQ(r->first.eventSize, 7);
    for (int32_t e : {0, 1, 17, 29}) {
        EXPECT_EQ(r->Cell(r->first, e, 0), std::to_wstring(e));
        EXPECT_EQ(r->Cell(r->first, e, 1), std::to_wstring(1000 + e));
        EXPECT_EQ(r->Cell(r->first, e, 2), std::to_wstring(e));
    }
}

TEST(EventValues, CellsInsideTheCacheReadNothing) {
    auto r = ParseBytes(ThirtyEvents().Build());
    r->first.FillCache(0, 20);
    EXPECT_EQ(r->first.cacheFirst, 0);
    EXPECT_EQ(r->first.cacheLast, 20);
    const int64_t reads = r->memory->readCount;
    EXPECT_EQ(r->Cell(r->first, 5, 1), L"1005");
    EXPECT_EQ(r->memory->readCount, reads);

    EXPECT_EQ(r->Cell(r->first, 25, 0), L"25");
    EXPECT_EQ(r->memory->readCount, reads + 1);
    EXPECT_EQ(r->first.cacheFirst, 25);
    EXPECT_EQ(r->first.cacheLast, 25);
    EXPECT_EQ(r->Cell(r->first, 25, 2), L"25");
    EXPECT_EQ(r->memory->readCount, reads + 1);
}

TEST(EventValues, FailedFillLeavesTheCacheEmpty) {
    auto r = ParseBytes(ThirtyEvents().Build());
    r->memory->faults.failReadsFrom = r->memory->readCount;
    r->first.FillCache(0, 20);
    EXPECT_EQ(r->first.cacheFirst, -1);
    EXPECT_EQ(r->first.cacheLast, -1);
    EXPECT_EQ(r->first.cache, nullptr);
}

TEST(EventValues, ResetEmptiesTheModel) {
    auto r = ParseBytes(ThirtyEvents().Build());
    r->first.FillCache(2, 4);
    r->first.Reset();
    EXPECT_EQ(r->first.versionMajor, 0);
    EXPECT_EQ(r->first.versionMinor, 0);
    EXPECT_TRUE(r->first.keywords.empty());
    EXPECT_TRUE(r->first.parameters.empty());
    EXPECT_TRUE(r->first.byteOrder.empty());
    EXPECT_EQ(r->first.cacheFirst, -1);
    EXPECT_EQ(r->first.cacheLast, -1);
    EXPECT_EQ(r->first.cache, nullptr);
    r->file.Seek(0);
    int64_t next = 0;
    EXPECT_TRUE(r->first.Parse(r->segments, 0, next));
    EXPECT_EQ(r->Cell(r->first, 3, 1), L"1003");
}

// The texts of a block of count events read by ReadEvents, one parameter after the other.
std::vector<std::wstring> BlockTexts(const DataSet& dataSet,
                                     const std::vector<uint8_t>& block,
                                     uint32_t delivered,
                                     int64_t count) {
    std::vector<std::wstring> texts;
    wchar_t text[kDisplayTextLength];
    for (int64_t index = 0; index < count; ++index) {
        for (int32_t parameter = 0; parameter < 3; ++parameter) {
            FormatDecodedValue(dataSet.BlockValue(block.data(), delivered, index, parameter),
                               kNoValueText, text, kDisplayTextLength);
            texts.push_back(text);
        }
    }
    return texts;
}

TEST(EventBlocks, OneReadGivesTheCellTextsAndLeavesTheCacheAlone) {
    auto r = ParseBytes(ThirtyEvents().Build());
    DataSet& set = r->first;
    set.FillCache(0, 5);
    const int64_t reads = r->memory->readCount;
    std::vector<uint8_t> block(10 * 7);
    uint32_t delivered = 0;
    ASSERT_TRUE(set.ReadEvents(12, 10, block.data(), delivered));
    EXPECT_EQ(r->memory->readCount, reads + 1);
    EXPECT_EQ(delivered, 70u);
    const std::vector<std::wstring> texts = BlockTexts(set, block, delivered, 10);
    EXPECT_EQ(texts[0], L"12");
    EXPECT_EQ(texts[1], L"1012");
    EXPECT_EQ(texts[2], L"12");
    EXPECT_EQ(texts[27], L"21");
    EXPECT_EQ(texts[28], L"1021");
    // The list's cache still holds the rows it was filled with.
    EXPECT_EQ(set.cacheFirst, 0);
    EXPECT_EQ(set.cacheLast, 5);
    for (int64_t index = 0; index < 10; ++index) {
        for (int32_t parameter = 0; parameter < 3; ++parameter) {
            EXPECT_EQ(texts[static_cast<size_t>(index * 3 + parameter)],
                      r->Cell(set, 12 + index, parameter));
        }
    }
}

// The file ends inside the last event: its first field arrived, the other two did not. A block
// and the list's own reading show the same texts for it.
TEST(EventBlocks, FieldsAShortReadMissedHaveNoValueAsInTheList) {
    std::vector<uint8_t> bytes = ThirtyEvents().Build();
    bytes.resize(bytes.size() - 3);
    auto r = ParseBytes(bytes);
    DataSet& set = r->first;
    ASSERT_EQ(set.eventCount, 30);
    std::vector<uint8_t> block(3 * 7, 0xAA);
    uint32_t delivered = 0;
    ASSERT_TRUE(set.ReadEvents(27, 3, block.data(), delivered));
    EXPECT_EQ(delivered, 18u);
    EXPECT_EQ(block.back(), 0);  // the undelivered part is cleared
    const std::vector<std::wstring> texts = BlockTexts(set, block, delivered, 3);
    EXPECT_EQ(std::vector<std::wstring>(texts.begin() + 6, texts.end()),
              (std::vector<std::wstring>{L"29", L"?", L"?"}));
    for (int32_t parameter = 0; parameter < 3; ++parameter) {
        EXPECT_EQ(texts[static_cast<size_t>(6 + parameter)], r->Cell(set, 29, parameter));
    }
}

TEST(EventBlocks, ReadsThatCannotBeMadeFail) {
    auto r = ParseBytes(ThirtyEvents().Build());
    DataSet& set = r->first;
    std::vector<uint8_t> block(7 * 4);
    uint32_t delivered = 99;
    EXPECT_FALSE(set.ReadEvents(-1, 1, block.data(), delivered));
    EXPECT_EQ(delivered, 0u);
    EXPECT_FALSE(set.ReadEvents(0, 0, block.data(), delivered));
    EXPECT_FALSE(set.ReadEvents(INT64_MAX / 2, 4, block.data(), delivered));  // offset overflows
    // Beyond the end of the file nothing arrives.
    EXPECT_FALSE(set.ReadEvents(1000, 4, block.data(), delivered));
    r->memory->faults.failReadsFrom = r->memory->readCount;
    EXPECT_FALSE(set.ReadEvents(0, 4, block.data(), delivered));
    EXPECT_EQ(delivered, 0u);
    // Fields outside the layout have no value, whatever the block holds.
    EXPECT_EQ(set.BlockValue(block.data(), 28, 0, 3).kind, DecodedValue::kNone);
    EXPECT_EQ(set.BlockValue(block.data(), 28, -1, 0).kind, DecodedValue::kNone);
}

}  // namespace
