// Parse's HEADER step: version, the six offsets as written, and the failures that make a file
// "Unknown format" before any keyword is read.
#include <gtest/gtest.h>

#include "FcsBuilder.h"
#include "ReaderTestSupport.h"

namespace {

FcsBuilder MinimalV3() {
    FcsBuilder b;
    b.Add("$PAR", "1").Add("$P1B", "8").Add("$TOT", "0");
    return b;
}

TEST(Header, ConformingHeaderReadsVersionAndOffsetsAsWritten) {
    FcsBuilder b = MinimalV3();
    b.Bytes({1, 2, 3});
    b.fieldText[4] = "     700";
    b.fieldText[5] = "     799";
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->first.versionMajor, 3);
    EXPECT_EQ(r->first.versionMinor, 0);
    const int32_t textEnd = 58 + static_cast<int32_t>(b.TextBytes(0, 0).size()) - 1;
    EXPECT_EQ(r->first.headerOffsets,
              (std::array<int32_t, 6>{58, textEnd, textEnd + 1, textEnd + 3, 700, 799}));
}

// Each variant changes one thing of a valid data set and says whether Parse still succeeds.
TEST(Header, VariantsThatReadAndVariantsThatFail) {
    struct Case {
        const char* what;
        const char* version;
        int field;  // -1: none changed
        const char* fieldText;
        bool parses;
    } cases[] = {
        {"blank after FCS", "FCS 3.0", -1, "", true},
        {"no minor version", "FCS3", -1, "", false},
        {"no point", "FCS30", -1, "", false},
        {"not FCS", "ABC3.0", -1, "", false},
        {"version 2, blank analysis start", "FCS2.0", 4, "        ", true},
        {"version 2, blank analysis end", "FCS2.0", 5, "        ", true},
        {"version 3, blank analysis start", "FCS3.0", 4, "        ", false},
        {"version 3, blank analysis end", "FCS3.0", 5, "        ", false},
        {"blank text start, version 2", "FCS2.0", 0, "        ", false},
        {"blank data start", "FCS3.0", 2, "        ", false},
        {"minus sign", "FCS3.0", 0, "     -58", false},
        {"leading zeros and a blank", "FCS3.0", 0, "0000058 ", true},
        {"left-aligned", "FCS3.0", 0, "58      ", true},
        {"tab before digits", "FCS3.0", 0, "\t     58", false},
    };
    for (const Case& c : cases) {
        FcsBuilder b = MinimalV3();
        b.version = c.version;
        if (c.field >= 0) {
            b.fieldText[c.field] = c.fieldText;
        }
        auto r = ParseBytes(b.Build());
        EXPECT_EQ(r->parsed, c.parses) << c.what;
        if (!c.parses) {
            EXPECT_TRUE(r->log.warnings.empty()) << c.what;
            EXPECT_TRUE(r->segments.rows.empty()) << c.what;
            EXPECT_TRUE(r->first.keywords.empty()) << c.what;
        }
    }
}

TEST(Header, BlankAnalysisFieldsOfVersion2ReadAsZero) {
    FcsBuilder b = MinimalV3();
    b.version = "FCS2.0";
    b.fieldText[4] = "        ";
    b.fieldText[5] = "        ";
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->first.headerOffsets[4], 0);
    EXPECT_EQ(r->first.headerOffsets[5], 0);
}

TEST(Header, TextStartMustLieBeforeTextEnd) {
    FcsBuilder b = MinimalV3();
    b.fieldText[0] = "      60";
    b.fieldText[1] = "      60";
    EXPECT_FALSE(ParseBytes(b.Build())->parsed);
    b.fieldText[1] = "      59";
    EXPECT_FALSE(ParseBytes(b.Build())->parsed);
}

TEST(Header, ShortAndEmptyFilesFail) {
    const std::vector<uint8_t> whole = MinimalV3().Build();
    for (size_t length : {size_t{0}, size_t{5}, size_t{10}, size_t{30}, size_t{57}}) {
        auto r = ParseBytes(std::vector<uint8_t>(whole.begin(), whole.begin() + length));
        EXPECT_FALSE(r->parsed) << length;
    }
}

TEST(Header, ReadErrorsFailParse) {
    for (int64_t failingRead = 0; failingRead < 8; ++failingRead) {
        Reading r(MinimalV3().Build());
        r.memory->faults.failReadsFrom = failingRead;
        EXPECT_FALSE(r.ParseAt(0)) << failingRead;
    }
}

TEST(Header, OffsetsOfASecondDataSetAreRelativeToItsBase) {
    std::vector<uint8_t> file(1000, ' ');
    FcsBuilder b = MinimalV3();
    b.Bytes({9});
    AppendDataSet(file, b.Build());
    auto r = ParseBytes(file, 1000);
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->first.headerOffsets[0], 58);
    EXPECT_EQ(r->first.dataOffset, 1000 + r->first.headerOffsets[2]);
    EXPECT_EQ(r->first.keywords.size(), 3u);
}

TEST(Header, ZeroDataOffsetsGiveWayToTheDataKeywords) {
    FcsBuilder b;
    b.Add("$PAR", "1").Add("$P1B", "16").Add("$TOT", "2");
    b.dataKeywords = true;
    b.Bytes({1, 0, 2, 0});
    b.fieldText[2] = "       0";
    b.fieldText[3] = "       0";
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->first.headerOffsets[2], 0);
    EXPECT_EQ(r->first.eventCount, 2);
    EXPECT_EQ(r->Cell(r->first, 1, 0), L"2");
}

TEST(Header, TextClaimedBeyondTheFileReadsWhatIsThere) {
    FcsBuilder b = MinimalV3();
    b.fieldText[1] = "99999999";
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->first.keywords.size(), 3u);
}

TEST(Header, TextThatStartsBeyondTheFileFails) {
    FcsBuilder b = MinimalV3();
    b.fieldText[0] = "90000000";
    b.fieldText[1] = "99999999";
    EXPECT_FALSE(ParseBytes(b.Build())->parsed);
}

TEST(Header, ShortHeaderReadsLeaveTheVersionIncomplete) {
    Reading r(MinimalV3().Build());
    r.memory->faults.maxDelivered = 3;
    // A short read succeeds, but only "FCS" arrives as the version.
    EXPECT_FALSE(r.ParseAt(0));
}

}  // namespace
