// What the right-hand list shows for each kind of segment row: columns, row counts and cell
// texts, over data sets parsed from built FCS bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DetailView.h"
#include "FcsBuilder.h"
#include "ReaderTestSupport.h"

namespace {

std::vector<uint8_t> ThreeParameterFile() {
    FcsBuilder b;
    b.version = "FCS3.0";
    b.Add("$BYTEORD", "1,2,3,4").Add("$DATATYPE", "I").Add("$MODE", "L").Add("$NEXTDATA", "0");
    b.Add("$PAR", "3").Add("$TOT", "2");
    b.Add("$P1B", "8").Add("$P1E", "0,0").Add("$P1N", "FSC-A").Add("$P1R", "256");
    b.Add("$P2B", "8").Add("$P2E", "0,0").Add("$P2N", "SSC-A").Add("$P2R", "256");
    b.Add("$P3B", "8").Add("$P3E", "0,0").Add("$P3R", "256");  // no $P3N: empty heading
    b.Add("$P1N", "FSC-A");                                    // a repeated keyword stays repeated
    b.dataKeywords = true;
    b.Bytes({1, 2, 3, 40, 50, 60});
    return b.Build();
}

std::vector<std::wstring> Headings(const std::vector<DetailColumn>& columns) {
    std::vector<std::wstring> headings;
    for (const DetailColumn& column : columns) {
        headings.push_back(column.heading);
    }
    return headings;
}

// The text of HEADER offset field i as the file writes it, without its leading blanks.
std::wstring WrittenOffset(const std::vector<uint8_t>& file, int field) {
    const auto start = file.begin() + 10 + 8 * field;
    std::string text(start, start + 8);
    return Widen(text.substr(text.find_first_not_of(' ')));
}

TEST(DetailView, HeaderRowsShowLabelsAndOffsets) {
    const std::vector<uint8_t> file = ThreeParameterFile();
    auto r = ParseBytes(file);
    ASSERT_TRUE(r->parsed);
    DataSet& set = r->first;
    auto columns = DetailViewOf(kSegmentHeader).Columns(set);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(Headings(columns), (std::vector<std::wstring>{L"Field", L"Offset"}));
    EXPECT_EQ(columns[0].width, 150);
    EXPECT_EQ(columns[1].width, 150);
    EXPECT_EQ(DetailViewOf(kSegmentHeader).RowCount(set), 6);

    const wchar_t* labels[] = {L"Text Start", L"Text End",       L"Data Start",
                               L"Data End",   L"Analysis Start", L"Analysis End"};
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(std::wstring(DetailViewOf(kSegmentHeader).CellText(set, row, 0)), labels[row]);
        EXPECT_EQ(std::wstring(DetailViewOf(kSegmentHeader).CellText(set, row, 1)),
                  WrittenOffset(file, row));
        EXPECT_EQ(DetailViewOf(kSegmentHeader).CellText(set, row, 0), displayText)
            << "labels are copied into the one display buffer";
    }
    EXPECT_EQ(std::wstring(DetailViewOf(kSegmentHeader).CellText(set, 0, 1)), L"58");
    EXPECT_EQ(std::wstring(DetailViewOf(kSegmentHeader).CellText(set, 4, 1)), L"0");
}

TEST(DetailView, NegativeAndLargeOffsetsAsSignedDecimal) {
    auto r = ParseBytes(ThreeParameterFile());
    DataSet& set = r->first;
    set.headerOffsets[2] = -5;
    set.headerOffsets[3] = 2147483647;
    EXPECT_STREQ(DetailViewOf(kSegmentHeader).CellText(set, 2, 1), L"-5");
    EXPECT_STREQ(DetailViewOf(kSegmentHeader).CellText(set, 3, 1), L"2147483647");
}

TEST(DetailView, KeywordRowsPointIntoTheModel) {
    auto r = ParseBytes(ThreeParameterFile());
    ASSERT_TRUE(r->parsed);
    DataSet& set = r->first;
    auto columns = DetailViewOf(kSegmentText).Columns(set);
    EXPECT_EQ(Headings(columns), (std::vector<std::wstring>{L"Keyword", L"Value"}));
    EXPECT_EQ(columns[0].width, 150);
    EXPECT_EQ(columns[1].width, 300);
    ASSERT_EQ(DetailViewOf(kSegmentText).RowCount(set), static_cast<int>(set.keywords.size()));
    for (size_t row = 0; row < set.keywords.size(); ++row) {
        int index = static_cast<int>(row);
        EXPECT_EQ(DetailViewOf(kSegmentText).CellText(set, index, 0),
                  set.keywords[row].name.c_str());
        EXPECT_EQ(DetailViewOf(kSegmentText).CellText(set, index, 1),
                  set.keywords[row].value.c_str());
    }
    // File order, repeats kept.
    int fsc = 0;
    for (const Keyword& keyword : set.keywords) {
        fsc += keyword.name == L"$P1N" ? 1 : 0;
    }
    EXPECT_EQ(fsc, 2);
    EXPECT_STREQ(DetailViewOf(kSegmentText).CellText(set, 0, 0), L"$BYTEORD");
}

TEST(DetailView, DataRowsOneColumnPerParameter) {
    auto r = ParseBytes(ThreeParameterFile());
    ASSERT_TRUE(r->parsed);
    DataSet& set = r->first;
    auto columns = DetailViewOf(kSegmentData).Columns(set);
    EXPECT_EQ(Headings(columns), (std::vector<std::wstring>{L"FSC-A", L"SSC-A", L""}));
    for (const DetailColumn& column : columns) {
        EXPECT_EQ(column.width, 100);
    }
    EXPECT_EQ(DetailViewOf(kSegmentData).RowCount(set), 2);
    int first = 0;
    int last = 1;
    ASSERT_TRUE(ClampCacheHint(set, first, last));
    set.FillCache(first, last);
    const int expected[2][3] = {{1, 2, 3}, {40, 50, 60}};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            EXPECT_EQ(std::wstring(DetailViewOf(kSegmentData).CellText(set, row, column)),
                      std::to_wstring(expected[row][column]));
        }
    }
}

// A virtual list holds at most 100,000,000 rows: the data view lists the first events up to it.
TEST(DetailView, DataRowsStopAtTheListsLimit) {
    auto r = ParseBytes(ThreeParameterFile());
    DataSet& set = r->first;
    const struct {
        int64_t events;
        int rows;
    } cases[] = {{99999999, 99999999},
                 {100000000, 100000000},
                 {600000000, 100000000},
                 {5000000000LL, 100000000}};
    for (const auto& c : cases) {
        set.eventCount = c.events;
        EXPECT_EQ(DetailViewOf(kSegmentData).RowCount(set), c.rows) << c.events;
    }
    // The last listed row is an event like any other; what lies beyond is not asked for.
    set.eventCount = 600000000;
    int first = 99999990;
    int last = 99999999;
    EXPECT_TRUE(ClampCacheHint(set, first, last));
    EXPECT_EQ(last, 99999999);
}

TEST(DetailView, CellsOutsideTheSegmentAreEmpty) {
    auto r = ParseBytes(ThreeParameterFile());
    DataSet& set = r->first;
    const struct {
        int kind, row, column;
    } outside[] = {
        {kSegmentHeader, 6, 0},  {kSegmentHeader, -1, 1},
        {kSegmentText, 1000, 0}, {kSegmentText, -1, 0},
        {kSegmentData, 2, 0},    {kSegmentData, 0, 3},
        {kSegmentData, -1, 0},   {7, 0, 0},
    };
    for (const auto& cell : outside) {
        EXPECT_STREQ(DetailViewOf(cell.kind).CellText(set, cell.row, cell.column), L"")
            << cell.kind << "/" << cell.row << "/" << cell.column;
    }
    EXPECT_TRUE(DetailViewOf(7).Columns(set).empty());
    EXPECT_EQ(DetailViewOf(7).RowCount(set), 0);
}

TEST(DetailView, EmptyDataSetShowsNothing) {
    WarningLog log;
    DataFile file;
    DataSet set(file, log);
    EXPECT_EQ(DetailViewOf(kSegmentText).RowCount(set), 0);
    EXPECT_EQ(DetailViewOf(kSegmentData).RowCount(set), 0);
    EXPECT_TRUE(DetailViewOf(kSegmentData).Columns(set).empty());
    EXPECT_EQ(DetailViewOf(kSegmentHeader).RowCount(set), 6);
}

TEST(DetailView, CacheHintsStayInsideTheEvents) {
    auto r = ParseBytes(ThreeParameterFile());
    DataSet& set = r->first;  // two events
    struct Case {
        int from, to;
        bool any;
        int first, last;
    } cases[] = {
        {0, 1, true, 0, 1},  {0, 20, true, 0, 1}, {1, 5, true, 1, 1},
        {2, 5, false, 2, 1}, {-3, 0, true, 0, 0}, {5, 2, false, 5, 1},
    };
    for (const Case& c : cases) {
        int first = c.from;
        int last = c.to;
        EXPECT_EQ(ClampCacheHint(set, first, last), c.any) << c.from << ".." << c.to;
        if (c.any) {
            EXPECT_EQ(first, c.first);
            EXPECT_EQ(last, c.last);
        }
    }
    WarningLog log;
    DataFile file;
    DataSet empty(file, log);
    int first = 0;
    int last = 20;
    EXPECT_FALSE(ClampCacheHint(empty, first, last));
}

// Each data set adds a Header, a Text and a Data row: the first three rows are the first data
// set's, the next three the second's.
TEST(DetailView, RowsAfterTheFirstThreeBelongToTheSecondDataSet) {
    const bool second[] = {false, false, false, true, true, true};
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(RowShowsSecondDataSet(row), second[row]) << row;
    }
}

}  // namespace
