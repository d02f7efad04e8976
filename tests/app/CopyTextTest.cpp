// The text a copy of selected rows puts on the clipboard: its layout, the bound on its size, and
// the note that ends a copy cut short; then the views' own copies over data sets parsed from
// built FCS bytes, the events read in blocks past the list's cache.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CopyText.h"
#include "DetailView.h"
#include "EventCopyTable.h"
#include "FcsBuilder.h"
#include "GridCopyTable.h"
#include "ReaderTestSupport.h"

namespace {

// A selection given as its rows; counts how often it is asked for the next one.
class ListedRows final : public RowSelection {
public:
    explicit ListedRows(std::vector<int> selected) : rows(std::move(selected)) {}
    int Count() override { return static_cast<int>(rows.size()); }
    int Next(int after) override {
        ++asked;
        auto next = std::upper_bound(rows.begin(), rows.end(), after);
        return next == rows.end() ? -1 : *next;
    }
    std::vector<int> rows;
    int asked = 0;
};

ListedRows EveryRow(int count) {
    std::vector<int> rows(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        rows[static_cast<size_t>(row)] = row;
    }
    return ListedRows(rows);
}

class FixedGrid final : public TextGrid {
public:
    FixedGrid(std::vector<std::wstring> headingTexts, std::vector<std::vector<std::wstring>> rows)
        : headings(std::move(headingTexts)), cells(std::move(rows)) {}
    std::vector<std::wstring> Headings() override { return headings; }
    int RowCount() override { return static_cast<int>(cells.size()); }
    const wchar_t* Cell(int row, int column) override {
        return cells[static_cast<size_t>(row)][static_cast<size_t>(column)].c_str();
    }

private:
    std::vector<std::wstring> headings;
    std::vector<std::vector<std::wstring>> cells;
};

// The table's text in a buffer of the given capacity, which must end with the terminator.
std::wstring Written(CopyTable& table, size_t capacity, CopiedText* copied = nullptr) {
    std::vector<wchar_t> buffer(capacity + 1, L'#');
    const CopiedText result = WriteCopyText(table, buffer.data(), capacity);
    EXPECT_LT(result.length, std::max<size_t>(capacity, 1));
    if (capacity > 0) {
        EXPECT_EQ(buffer[result.length], L'\0');
    }
    EXPECT_EQ(buffer[capacity], L'#') << "written past the capacity";
    if (copied != nullptr) {
        *copied = result;
    }
    return std::wstring(buffer.data(), result.length);
}

// The text with a buffer as large as CopyTextCapacity says.
std::wstring Copied(CopyTable& table, CopiedText* copied = nullptr) {
    return Written(table, CopyTextCapacity(table), copied);
}

std::unique_ptr<TextGrid> LettersGrid() {
    return std::make_unique<FixedGrid>(
        std::vector<std::wstring>{L"A", L"B", L"C"},
        std::vector<std::vector<std::wstring>>{
            {L"1", L"2", L"3"}, {L"x", L"", L"z"}, {L"\u00b5m", L"caf\u00e9", L"\u00df"}});
}

TEST(CopyText, HeadingsThenTheSelectedRowsTabbedAndEndedByCrLf) {
    ListedRows firstAndLast({0, 2});
    GridCopyTable table(LettersGrid(), firstAndLast);
    CopiedText copied;
    EXPECT_EQ(Copied(table, &copied), L"A\tB\tC\r\n1\t2\t3\r\n\u00b5m\tcaf\u00e9\t\u00df\r\n");
    EXPECT_EQ(copied.rows, 2);
    EXPECT_EQ(copied.selected, 2);

    ListedRows middle({1});
    GridCopyTable emptyCell(LettersGrid(), middle);
    EXPECT_EQ(Copied(emptyCell), L"A\tB\tC\r\nx\t\tz\r\n");

    // A selection of nothing has the headings alone.
    ListedRows none({});
    GridCopyTable nothing(LettersGrid(), none);
    EXPECT_EQ(Copied(nothing), L"A\tB\tC\r\n");
}

// Rows "row0", "row1"... under the heading "N".
std::unique_ptr<TextGrid> NumberedRows(int count) {
    std::vector<std::vector<std::wstring>> rows;
    for (int row = 0; row < count; ++row) {
        rows.push_back({L"row" + std::to_wstring(row)});
    }
    return std::make_unique<FixedGrid>(std::vector<std::wstring>{L"N"}, rows);
}

std::wstring Note(int rows, int selected) {
    return L"Copied the first " + std::to_wstring(rows) + L" of " + std::to_wstring(selected) +
           L" selected rows.\r\n";
}

TEST(CopyText, ASelectionLargerThanTheBufferEndsWithTheNote) {
    ListedRows all = EveryRow(20);
    GridCopyTable table(NumberedRows(20), all);
    CopiedText copied;
    EXPECT_EQ(Written(table, 70, &copied), L"N\r\nrow0\r\nrow1\r\nrow2\r\nrow3\r\n" + Note(4, 20));
    EXPECT_EQ(copied.rows, 4);
    EXPECT_EQ(copied.selected, 20);
    // Rows were read up to the first that did not fit, and none after it.
    EXPECT_EQ(all.asked, 11);
}

// For every buffer size: the text fits, and it is the full text whenever that fits; otherwise
// whole lines of the full text followed by the note for the rows they hold, or nothing at all
// when even the note has no room.
TEST(CopyText, EveryBufferSizeGivesWholeRowsAndATrueNote) {
    ListedRows all = EveryRow(10);
    GridCopyTable full(NumberedRows(10), all);
    const std::wstring whole = Copied(full);
    ASSERT_EQ(whole.size(), 3u + 10 * 6);
    for (size_t capacity = 0; capacity <= whole.size() + 60; ++capacity) {
        ListedRows rows = EveryRow(10);
        GridCopyTable table(NumberedRows(10), rows);
        CopiedText copied;
        const std::wstring text = Written(table, capacity, &copied);
        if (whole.size() < capacity) {
            EXPECT_EQ(text, whole) << capacity;
            continue;
        }
        ASSERT_LT(copied.rows, 10) << capacity;
        const std::wstring note = Note(copied.rows, 10);
        if (text.empty()) {
            EXPECT_LT(capacity, note.size() + 1);
            continue;
        }
        ASSERT_GE(text.size(), note.size()) << capacity;
        EXPECT_EQ(text.substr(text.size() - note.size()), note) << capacity;
        const std::wstring lines = text.substr(0, text.size() - note.size());
        EXPECT_TRUE(lines.empty() || lines == whole.substr(0, 3 + 6 * copied.rows)) << capacity;
        EXPECT_TRUE(!lines.empty() || copied.rows == 0) << capacity;
    }
    // Room for the note and the heading, or for the note alone.
    ListedRows rows = EveryRow(10);
    GridCopyTable table(NumberedRows(10), rows);
    EXPECT_EQ(Written(table, 48), L"N\r\n" + Note(0, 10));
    ListedRows again = EveryRow(10);
    GridCopyTable smaller(NumberedRows(10), again);
    EXPECT_EQ(Written(smaller, 43), Note(0, 10));
}

// A table that says how large its rows can be, without any rows to read.
class BoundOnly final : public CopyTable {
public:
    BoundOnly(int rows, size_t bound) : rowCount(rows), lineBound(bound) {}
    std::vector<std::wstring> Headings() override { return {L"Heading"}; }
    int RowCount() override { return rowCount; }
    bool NextRow() override { return false; }
    const wchar_t* Cell(int) override { return L""; }
    size_t LineLengthBound() override { return lineBound; }

private:
    int rowCount;
    size_t lineBound;
};

TEST(CopyText, TheBufferFollowsTheSelectionUpToTheLimit) {
    BoundOnly small(3, 10);
    const size_t smallCapacity = CopyTextCapacity(small);
    EXPECT_GE(smallCapacity, 9u + 3 * 10 + 1);
    EXPECT_LT(smallCapacity, 200u);
    // A hundred million rows of the widest events would pass any size type; the limit holds.
    BoundOnly huge(100000000, 10000 * 23 + 1);
    EXPECT_EQ(CopyTextCapacity(huge), kMaxCopyCharacters);
}

// Three parameters of one byte, the third without a name; two events.
std::vector<uint8_t> ThreeParameterFile() {
    FcsBuilder b;
    b.Add("$BYTEORD", "1,2,3,4").Add("$DATATYPE", "I").Add("$MODE", "L").Add("$NEXTDATA", "0");
    b.Add("$PAR", "3").Add("$TOT", "2").Add("$COM", "5 \xB5m caf\xE9");
    b.Add("$P1B", "8").Add("$P1E", "0,0").Add("$P1N", "FSC-A").Add("$P1R", "256");
    b.Add("$P2B", "8").Add("$P2E", "0,0").Add("$P2N", "SSC-A").Add("$P2R", "256");
    b.Add("$P3B", "8").Add("$P3E", "0,0").Add("$P3R", "256");
    b.dataKeywords = true;
    b.Bytes({1, 2, 3, 40, 50, 60});
    return b.Build();
}

TEST(CopyViews, HeaderAndKeywordRowsAsTheListShowsThem) {
    auto r = ParseBytes(ThreeParameterFile());
    ASSERT_TRUE(r->parsed);
    ListedRows firstAndLast({0, 5});
    auto header = DetailViewOf(kSegmentHeader).CopyRows(r->first, firstAndLast);
    EXPECT_EQ(Copied(*header), L"Field\tOffset\r\nText Start\t58\r\nAnalysis End\t0\r\n");

    // The comment is the seventh keyword; its bytes are Windows-1252.
    ListedRows comment({6});
    auto keywords = DetailViewOf(kSegmentText).CopyRows(r->first, comment);
    EXPECT_EQ(Copied(*keywords), L"Keyword\tValue\r\n$COM\t5 \u00b5m caf\u00e9\r\n");
}

TEST(CopyViews, EventsUnderTheParameterNames) {
    auto r = ParseBytes(ThreeParameterFile());
    ListedRows both({0, 1});
    auto events = DetailViewOf(kSegmentData).CopyRows(r->first, both);
    EXPECT_EQ(Copied(*events), L"FSC-A\tSSC-A\t\r\n1\t2\t3\r\n40\t50\t60\r\n");
}

// 100,000 events of three 32-bit integers, event e holding 10e, 10e + 1 and 10e + 2: more
// events than one block holds.
std::vector<uint8_t> ManyEventsFile(int events) {
    FcsBuilder b;
    b.Add("$BYTEORD", "1,2,3,4").Add("$DATATYPE", "I").Add("$MODE", "L").Add("$NEXTDATA", "0");
    b.Add("$PAR", "3").Add("$TOT", std::to_string(events));
    for (int p = 1; p <= 3; ++p) {
        const std::string n = std::to_string(p);
        b.Add("$P" + n + "B", "32").Add("$P" + n + "E", "0,0").Add("$P" + n + "N", "P" + n);
        b.Add("$P" + n + "R", "1024");
    }
    b.dataKeywords = true;
    b.data.reserve(static_cast<size_t>(events) * 12);
    for (uint32_t e = 0; e < static_cast<uint32_t>(events); ++e) {
        for (uint32_t p = 0; p < 3; ++p) {
            const uint32_t value = e * 10 + p;
            b.Bytes({static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                     static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)});
        }
    }
    return b.Build();
}

std::wstring EventLine(int e) {
    return std::to_wstring(e * 10) + L"\t" + std::to_wstring(e * 10 + 1) + L"\t" +
           std::to_wstring(e * 10 + 2) + L"\r\n";
}

TEST(CopyViews, ManyEventsAreReadInBlocksPastTheListsCache) {
    constexpr int kEvents = 100000;
    auto r = ParseBytes(ManyEventsFile(kEvents));
    ASSERT_TRUE(r->parsed);
    DataSet& set = r->first;
    ASSERT_EQ(set.eventCount, kEvents);
    set.FillCache(10, 30);  // the rows on screen
    const int64_t reads = r->memory->readCount;

    ListedRows all = EveryRow(kEvents);
    auto events = DetailViewOf(kSegmentData).CopyRows(set, all);
    const std::wstring text = Copied(*events);
    std::wstring expected = L"P1\tP2\tP3\r\n";
    for (int e = 0; e < kEvents; ++e) {
        expected += EventLine(e);
    }
    EXPECT_TRUE(text == expected);
    const int64_t blocks = (kEvents * 12 + kCopyBlockBytes - 1) / kCopyBlockBytes;
    EXPECT_EQ(r->memory->readCount - reads, blocks);
    EXPECT_EQ(set.cacheFirst, 10);
    EXPECT_EQ(set.cacheLast, 30);

    // Rows apart, on both sides of a block's end: each the event it names.
    const int perBlock = static_cast<int>(kCopyBlockBytes / 12);
    ListedRows apart({5, perBlock - 1, perBlock, kEvents - 1});
    auto some = DetailViewOf(kSegmentData).CopyRows(set, apart);
    EXPECT_EQ(Copied(*some), L"P1\tP2\tP3\r\n" + EventLine(5) + EventLine(perBlock - 1) +
                                 EventLine(perBlock) + EventLine(kEvents - 1));
}

// Events wider than the reader reads one at a time show no value, in the list and in a copy.
TEST(CopyViews, EventsTooWideToReadShowNoValue) {
    FcsBuilder b;
    b.Add("$BYTEORD", "1,2,3,4").Add("$DATATYPE", "I").Add("$PAR", "2").Add("$TOT", "1");
    b.Add("$P1B", "8").Add("$P1N", "narrow");
    b.Add("$P2B", std::to_string(8 * kMaxEventSize)).Add("$P2N", "wide");
    b.dataKeywords = true;
    b.data.assign(static_cast<size_t>(kMaxEventSize) + 1, 7);
    auto r = ParseBytes(b.Build());
    ASSERT_EQ(r->first.eventCount, 1);
    ListedRows first({0});
    auto events = DetailViewOf(kSegmentData).CopyRows(r->first, first);
    EXPECT_EQ(Copied(*events), L"narrow\twide\r\n?\t?\r\n");
    EXPECT_EQ(r->Cell(r->first, 0, 0), L"?");
}

// The data set's file fails: every cell of the copy has no value, as in the list.
TEST(CopyViews, AFailingReadShowsNoValue) {
    auto r = ParseBytes(ThreeParameterFile());
    r->memory->faults.failReadsFrom = r->memory->readCount;
    ListedRows both({0, 1});
    auto events = DetailViewOf(kSegmentData).CopyRows(r->first, both);
    EXPECT_EQ(Copied(*events), L"FSC-A\tSSC-A\t\r\n?\t?\t?\r\n?\t?\t?\r\n");
}

}  // namespace
