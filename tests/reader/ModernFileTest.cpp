// Files of the newer versions as their instruments write them: FCS 3.2 columns with types of
// their own, its required keywords, integers wider than 32 bits and UTF-8 keyword texts. Every
// value is one the test put into the file.
#include <gtest/gtest.h>

#include <cstring>

#include "FcsBuilder.h"
#include "ReaderTestSupport.h"

namespace {

using Texts = std::vector<std::wstring>;

template <typename T>
void AppendValue(std::vector<uint8_t>& out, T value, bool bigEndian) {
    uint8_t bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    for (size_t i = 0; i < sizeof value; ++i) {
        out.push_back(bytes[bigEndian ? sizeof value - 1 - i : i]);
    }
}

// A conforming FCS 3.2 data set: no ANALYSIS or supplemental TEXT offsets, no $MODE, a $CYT.
FcsBuilder Version32(const std::string& dataType, bool bigEndian) {
    FcsBuilder b;
    b.version = "FCS3.2";
    b.Add("$BYTEORD", bigEndian ? "4,3,2,1" : "1,2,3,4")
        .Add("$CYT", "Test cytometer")
        .Add("$DATATYPE", dataType)
        .Add("$NEXTDATA", "0");
    b.dataKeywords = true;
    return b;
}

void AddParameter(FcsBuilder& b, int n, const std::string& bits, const std::string& type = {}) {
    const std::string p = "$P" + std::to_string(n);
    b.Add(p + "B", bits)
        .Add(p + "E", "0,0")
        .Add(p + "N", "P" + std::to_string(n))
        .Add(p + "R", "1024");
    if (!type.empty()) {
        b.Add(p + "DATATYPE", type);
    }
}

std::vector<std::wstring> Row(Reading& r, int64_t event) {
    std::vector<std::wstring> cells;
    for (size_t p = 0; p < r.first.parameters.size(); ++p) {
        cells.push_back(r.Cell(r.first, event, static_cast<int32_t>(p)));
    }
    return cells;
}

// $DATATYPE I with an F and a D column: each column by its own type and width, in the file's
// byte order, whichever it is.
TEST(ColumnTypes, EachColumnDecodesByItsOwnType) {
    for (const bool bigEndian : {false, true}) {
        FcsBuilder b = Version32("I", bigEndian);
        b.Add("$PAR", "3").Add("$TOT", "2");
        AddParameter(b, 1, "32");
        AddParameter(b, 2, "32", "F");
        AddParameter(b, 3, "64", "D");
        for (const uint32_t integer : {7u, 4000000000u}) {
            AppendValue(b.data, integer, bigEndian);
            AppendValue(b.data, 0.125f, bigEndian);
            AppendValue(b.data, 1234567.891, bigEndian);
        }
        auto r = ParseBytes(b.Build());
        ASSERT_TRUE(r->parsed);
        EXPECT_EQ(r->log.warnings, Texts{}) << bigEndian;
        EXPECT_EQ(r->first.eventSize, 16);
        EXPECT_EQ(Row(*r, 0), (Texts{L"7", L"0.125", L"1234567.891"})) << bigEndian;
        EXPECT_EQ(Row(*r, 1), (Texts{L"4000000000", L"0.125", L"1234567.891"})) << bigEndian;
    }
}

TEST(ColumnTypes, IntegerColumnsInADoubleDataSet) {
    FcsBuilder b = Version32("D", false);
    b.Add("$PAR", "2").Add("$TOT", "1");
    AddParameter(b, 1, "16", "I");
    AddParameter(b, 2, "64");
    AppendValue(b.data, uint16_t{513}, false);
    AppendValue(b.data, -2.5, false);
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings, Texts{});
    EXPECT_EQ(Row(*r, 0), (Texts{L"513", L"-2.5"}));
}

// What a column type cannot be read as is said once per column, and that column alone shows
// no values.
TEST(ColumnTypes, UnknownTypesAndWidthsThatDoNotFitAreReported) {
    FcsBuilder b = Version32("I", false);
    b.Add("$PAR", "4").Add("$TOT", "1");
    AddParameter(b, 1, "8");
    AddParameter(b, 2, "8", "Q");
    AddParameter(b, 3, "16", "F");
    AddParameter(b, 4, "8", "I");
    b.Bytes({1, 2, 3, 4, 5});
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings,
              (Texts{L"$P2DATATYPE Q is not I, F or D. Parameter 2 shows no values.",
                     L"Parameter 3 is 2 bytes wide; data type F needs 4. It shows no values."}));
    EXPECT_EQ(Row(*r, 0), (Texts{L"1", kNoValueText, kNoValueText, L"5"}));
}

// Before 3.2 a column type is just another keyword, and reals of the wrong width stay as quiet
// as they always were.
TEST(ColumnTypes, OlderVersionsIgnoreColumnTypes) {
    FcsBuilder b;
    b.version = "FCS3.1";
    b.Add("$BEGINANALYSIS", "0").Add("$ENDANALYSIS", "0").Add("$BEGINSTEXT", "0");
    b.Add("$ENDSTEXT", "0").Add("$MODE", "L").Add("$NEXTDATA", "0").Add("$BYTEORD", "1,2,3,4");
    b.Add("$DATATYPE", "I").Add("$PAR", "2").Add("$TOT", "1");
    AddParameter(b, 1, "8", "F");
    AddParameter(b, 2, "8");
    b.dataKeywords = true;
    b.Bytes({9, 10});
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings, Texts{});
    EXPECT_EQ(r->first.parameters[0].dataType, 'I');
    EXPECT_EQ(Row(*r, 0), (Texts{L"9", L"10"}));
}

TEST(RequiredKeywords, Version32AsksForCytAndNoLongerForOffsetsOrMode) {
    FcsBuilder b = Version32("I", false);
    b.Add("$PAR", "0").Add("$TOT", "0");
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings, Texts{});

    // Without $CYT, in the table's order: after $BYTEORD, before $DATATYPE.
    FcsBuilder bare;
    bare.version = "FCS3.2";
    bare.Add("$PAR", "0").Add("$TOT", "0");
    r = ParseBytes(bare.Build());
    EXPECT_EQ(
        r->log.warnings,
        (Texts{L"Required keyword $BEGINDATA not present", L"Required keyword $BYTEORD not present",
               L"Required keyword $CYT not present", L"Required keyword $DATATYPE not present",
               L"Required keyword $ENDDATA not present",
               L"Required keyword $NEXTDATA not present"}));

    // 3.1 keeps its own table: the offsets and $MODE are asked for, $CYT is not.
    bare.version = "FCS3.1";
    r = ParseBytes(bare.Build());
    EXPECT_EQ(
        r->log.warnings,
        (Texts{L"Required keyword $BEGINANALYSIS not present",
               L"Required keyword $BEGINDATA not present",
               L"Required keyword $BEGINSTEXT not present",
               L"Required keyword $BYTEORD not present", L"Required keyword $DATATYPE not present",
               L"Required keyword $ENDANALYSIS not present",
               L"Required keyword $ENDDATA not present", L"Required keyword $ENDSTEXT not present",
               L"Required keyword $MODE not present", L"Required keyword $NEXTDATA not present"}));
}

TEST(WideIntegers, ReadWholeUpTo64Bits) {
    for (const bool bigEndian : {false, true}) {
        FcsBuilder b = Version32("I", bigEndian);
        b.Add("$PAR", "3").Add("$TOT", "1");
        AddParameter(b, 1, "64");
        AddParameter(b, 2, "48");
        AddParameter(b, 3, "128");
        AppendValue(b.data, uint64_t{5000000000}, bigEndian);
        // 2^40 + 2 in six bytes.
        const std::vector<uint8_t> six = bigEndian ? std::vector<uint8_t>{1, 0, 0, 0, 0, 2}
                                                   : std::vector<uint8_t>{2, 0, 0, 0, 0, 1};
        b.data.insert(b.data.end(), six.begin(), six.end());
        b.data.resize(b.data.size() + 16, 0xFF);
        auto r = ParseBytes(b.Build());
        EXPECT_EQ(r->log.warnings,
                  Texts{L"Parameter 3 is 16 bytes wide; data type I reads at most 8. It shows no "
                        L"values."});
        EXPECT_EQ(Row(*r, 0), (Texts{L"5000000000", L"1099511627778", kNoValueText})) << bigEndian;
    }
}

FcsBuilder WithName(const char* version, const std::string& name, const std::string& value) {
    FcsBuilder b;
    b.version = version;
    b.Add("$PAR", "1").Add("$P1N", name).Add("$SRC", value);
    return b;
}

// From 3.1 on, keyword texts that are valid UTF-8 read as UTF-8; anything else, and every text
// of an older version, reads byte for byte in the ANSI code page as before.
TEST(KeywordText, Utf8FromVersion31On) {
    const struct {
        const char* version;
        std::string name;
        std::string value;
        std::wstring shownName;
        std::wstring shownValue;
    } cases[] = {
        {"FCS3.1", "FSC-\xC2\xB5",
         "37 \xC2\xB0"
         "C",
         L"FSC-\u00B5", L"37 \u00B0C"},
        {"FCS3.2", "Alexa Fluor\xE2\x84\xA2 405-A", "\xE6\x97\xA5\xE6\x9C\xAC",
         L"Alexa Fluor\u2122 405-A", L"\u65E5\u672C"},
        // A character beyond the 16-bit range becomes a surrogate pair where wchar_t is 16 bits.
        {"FCS3.1", "Cell \xF0\x9F\xA7\xAB", "x",
         sizeof(wchar_t) == 2 ? std::wstring(L"Cell \xD83E\xDDEB")
                              : std::wstring(L"Cell \U0001F9EB"),
         L"x"},
        // Not UTF-8: a lone cp1252 byte, an overlong form, a cut sequence.
        {"FCS3.1", "FSC-\xB5", "\xC0\xAF", L"FSC-\u00B5", L"\u00C0\u00AF"},
        {"FCS3.1", "\xE2\x84", "ok", L"\u00E2\u201E", L"ok"},
        // 3.0 is unchanged: UTF-8 bytes read one by one in the code page.
        {"FCS3.0", "FSC-\xC2\xB5",
         "37 \xC2\xB0"
         "C",
         L"FSC-\u00C2\u00B5", L"37 \u00C2\u00B0C"},
        {"FCS2.0", "\xE2\x84\xA2", "x", L"\u00E2\u201E\u00A2", L"x"},
    };
    for (const auto& c : cases) {
        auto r = ParseBytes(WithName(c.version, c.name, c.value).Build());
        ASSERT_TRUE(r->parsed) << c.version;
        ASSERT_EQ(r->first.keywords.size(), 3u);
        EXPECT_EQ(r->first.keywords[1].value, c.shownName) << c.version << " " << c.name;
        EXPECT_EQ(r->first.parameters[0].name, c.shownName);
        EXPECT_EQ(r->first.keywords[2].value, c.shownValue) << c.version << " " << c.value;
    }
}

}  // namespace
