// The segment list rows of parsed data sets, and the chain of at most two data sets.
#include <gtest/gtest.h>

#include "FcsBuilder.h"
#include "ReaderTestSupport.h"

namespace {

using Row = SegmentTable::Row;

std::vector<std::tuple<int, std::wstring, std::wstring>> Rows(const SegmentTable& table) {
    std::vector<std::tuple<int, std::wstring, std::wstring>> rows;
    for (const Row& row : table.rows) {
        rows.emplace_back(row.kind, row.label, row.details);
    }
    return rows;
}

TEST(SegmentRows, VersionKeywordCountAndEvents) {
    FcsBuilder b;
    b.version = "FCS3.1";
    b.Add("$PAR", "1").Add("$P1B", "8");
    for (int i = 0; i < 148; ++i) {
        b.Add("K" + std::to_string(i), "v");
    }
    b.data.assign(10000, 7);
    b.dataKeywords = true;  // $BEGINDATA and $ENDDATA make 152 keywords
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    ASSERT_EQ(r->first.keywords.size(), 152u);
    EXPECT_EQ(Rows(r->segments), (decltype(Rows(r->segments)){{0, L"Header", L"FCS3.1"},
                                                              {1, L"Text", L"152 keywords"},
                                                              {2, L"Data", L"10000 events"}}));
}

// The count is the file's, however many rows a list view could show.
TEST(SegmentRows, DataRowGivesTheFilesOwnEventCount) {
    FcsBuilder b;
    b.version = "FCS3.1";
    b.Add("$PAR", "1").Add("$P1B", "8").Add("$TOT", "600000000");
    b.Add("$BEGINDATA", "0").Add("$ENDDATA", "599999999");
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->first.eventCount, 600000000);
    EXPECT_EQ(r->segments.rows[2].details, L"600000000 events");
    for (const std::wstring& warning : r->log.warnings) {
        EXPECT_NE(warning, L"$TOT conflict with data size");
    }
}

TEST(SegmentRows, KeywordCountsAndVersionNumbers) {
    struct Case {
        const char* version;
        std::string text;
        const wchar_t* versionText;
        const wchar_t* keywordText;
    } cases[] = {
        {"FCS3.01", "/$A/1/", L"FCS3.1", L"1 keywords"},
        {"FCS2.0", "/a", L"FCS2.0", L"0 keywords"},
        {"FCS 3.0", "/a/b/c/d/", L"FCS3.0", L"2 keywords"},
    };
    for (const Case& c : cases) {
        FcsBuilder b;
        b.version = c.version;
        b.rawText = c.text;
        auto r = ParseBytes(b.Build());
        ASSERT_TRUE(r->parsed) << c.version;
        ASSERT_EQ(r->segments.rows.size(), 3u);
        EXPECT_EQ(r->segments.rows[0].details, c.versionText);
        EXPECT_EQ(r->segments.rows[1].details, c.keywordText);
        EXPECT_EQ(r->segments.rows[2].details, L"0 events");
    }
}

std::vector<uint8_t> TwoDataSets(const std::string& secondVersion) {
    FcsBuilder first;
    first.Add("$PAR", "1").Add("$P1B", "16").Add("$NEXTDATA", "00000000").Bytes({1, 0, 2, 0});
    first.dataKeywords = true;
    std::vector<uint8_t> file = first.Build();
    FcsBuilder second;
    second.version = secondVersion;
    second.Add("$PAR", "2")
        .Add("$P1B", "8")
        .Add("$P2B", "8")
        .Add("$NEXTDATA", "1")
        .Bytes({5, 6, 7, 8, 9, 10});
    second.dataKeywords = true;
    const size_t at = AppendDataSet(file, second.Build());
    // Point the first data set's $NEXTDATA at the second.
    first.keywords[2].second = FcsBuilder::Padded(static_cast<int64_t>(at));
    const std::vector<uint8_t> patched = first.Build();
    std::copy(patched.begin(), patched.end(), file.begin());
    return file;
}

TEST(DataSetChain, SecondDataSetFollowsNextData) {
    Reading r(TwoDataSets("FCS3.0"));
    const DataSetChain chain = ReadDataSets(r.file, r.first, r.second, r.segments);
    EXPECT_EQ(chain.count, 2);
    EXPECT_FALSE(chain.Failed());
    EXPECT_GT(chain.secondBase, 0);
    ASSERT_EQ(r.segments.rows.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(r.segments.rows[i].kind, static_cast<SegmentKind>(i % 3));
    }
    EXPECT_EQ(r.segments.rows[5].details, L"3 events");
    EXPECT_EQ(r.Cell(r.first, 1, 0), L"2");
    EXPECT_EQ(r.Cell(r.second, 2, 1), L"10");
    // Both data sets share the file: each read positions it first.
    EXPECT_EQ(r.Cell(r.first, 0, 0), L"1");
    EXPECT_EQ(r.Cell(r.second, 0, 0), L"5");
}

TEST(DataSetChain, SingleDataSetWithoutNextData) {
    FcsBuilder b;
    b.Add("$NEXTDATA", "0");
    Reading r(b.Build());
    const DataSetChain chain = ReadDataSets(r.file, r.first, r.second, r.segments);
    EXPECT_EQ(chain.count, 1);
    EXPECT_FALSE(chain.Failed());
    EXPECT_EQ(chain.secondBase, 0);
    EXPECT_EQ(r.segments.rows.size(), 3u);
}

// How a chain ends when its second data set cannot be read: the first one and its rows stay,
// and the failure names the kind that the viewer and the inspector report.
TEST(DataSetChain, FailingSecondKeepsTheFirstAndSaysWhy) {
    using Failure = DataSetChain::Failure;
    const auto withNextData = [](const char* next) {
        FcsBuilder b;
        b.Add("$NEXTDATA", next);
        return b.Build();
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        Failure failure;
        FileOutcome fileError;
    } cases[] = {
        {"no data set at the offset", TwoDataSets("XYZ"), Failure::kNotADataSet, FileOutcome::kOk},
        // Positioning beyond the end succeeds; the HEADER read there delivers nothing.
        {"beyond the end of the file", withNextData("99999999"), Failure::kNotADataSet,
         FileOutcome::kOk},
        // A file cannot be positioned before its start.
        {"negative offset", withNextData("-5"), Failure::kFileError, FileOutcome::kBeforeStart},
    };
    for (const auto& c : cases) {
        Reading r(c.bytes);
        const DataSetChain chain = ReadDataSets(r.file, r.first, r.second, r.segments);
        EXPECT_EQ(chain.count, 1) << c.name;
        EXPECT_EQ(chain.failure, c.failure) << c.name;
        EXPECT_EQ(chain.fileError.outcome, c.fileError) << c.name;
        EXPECT_EQ(r.segments.rows.size(), 3u) << c.name;
        EXPECT_TRUE(r.second.keywords.empty()) << c.name;
    }
}

TEST(DataSetChain, FailingFirstReadsNothingMore) {
    Reading r(std::vector<uint8_t>{'x'});
    const DataSetChain chain = ReadDataSets(r.file, r.first, r.second, r.segments);
    EXPECT_EQ(chain.count, 0);
    EXPECT_EQ(chain.failure, DataSetChain::Failure::kNotADataSet);
    EXPECT_TRUE(r.segments.rows.empty());
}

TEST(DataSetChain, FileClosedUnderTheChainIsAFileError) {
    Reading r(TwoDataSets("FCS3.0"));
    r.file.Close();
    const DataSetChain chain = ReadDataSets(r.file, r.first, r.second, r.segments);
    EXPECT_EQ(chain.count, 0);
    EXPECT_EQ(chain.failure, DataSetChain::Failure::kFileError);
    EXPECT_EQ(chain.fileError.outcome, FileOutcome::kNoFile);
    EXPECT_TRUE(r.segments.rows.empty());
}

TEST(DataSetChain, NeverAThirdDataSet) {
    Reading r(TwoDataSets("FCS3.0"));  // the second's $NEXTDATA is 1
    const DataSetChain chain = ReadDataSets(r.file, r.first, r.second, r.segments);
    EXPECT_EQ(chain.count, 2);
    EXPECT_FALSE(chain.Failed());
    EXPECT_EQ(r.segments.rows.size(), 6u);
}

}  // namespace
