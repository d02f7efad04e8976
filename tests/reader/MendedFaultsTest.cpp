// Files that would make a careless reader divide by zero, write outside its lists, exhaust
// memory, flood the user with boxes or wrap file offsets: each reads in a defined way.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <limits>
#include <map>

#include "FcsBuilder.h"
#include "ReaderTestSupport.h"

namespace {

using Texts = std::vector<std::wstring>;

TEST(MendedFaults, NoWidthMeansNoEvents) {
    for (const char* tot : {"0", "7"}) {
        FcsBuilder b;
        b.version = "FCS2.0";
        b.Add("$BYTEORD", "1")
            .Add("$DATATYPE", "I")
            .Add("$MODE", "L")
            .Add("$NEXTDATA", "0")
            .Add("$PAR", "1")
            .Add("$P1B", "4")
            .Add("$P1E", "0,0")
            .Add("$P1N", "a")
            .Add("$P1R", "1")
            .Add("$TOT", tot)
            .Bytes({1, 2, 3, 4});
        auto r = ParseBytes(b.Build());
        ASSERT_TRUE(r->parsed);
        EXPECT_EQ(r->first.eventSize, 0);
        EXPECT_EQ(r->first.eventCount, 0);
        EXPECT_EQ(r->log.warnings,
                  tot[0] == '0' ? Texts{} : Texts{L"$TOT conflict with data size"});
        r->first.FillCache(0, 10);
        EXPECT_EQ(r->first.cacheFirst, -1);
        EXPECT_EQ(r->Cell(r->first, 0, 0), kNoValueText);
    }
}

TEST(MendedFaults, WidthsAndNamesOutsideTheParameterListAreReportedAndIgnored) {
    FcsBuilder b;
    b.version = "FCS2.0";
    b.Add("$BYTEORD", "1,2")
        .Add("$DATATYPE", "I")
        .Add("$MODE", "L")
        .Add("$NEXTDATA", "0")
        .Add("$TOT", "2")
        .Add("$PAR", "1")
        .Add("$P1B", "16")
        .Add("$P1E", "0,0")
        .Add("$P1N", "a")
        .Add("$P1R", "1")
        .Add("$P2B", "16")
        .Add("$P0B", "16")
        .Add("$P-1B", "16")
        .Add("$P0N", "z")
        .Add("$P99999999999N", "far")
        .Add("$P2N", "b");
    b.Bytes({1, 0, 2, 0});
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->log.warnings, (Texts{L"$P2B conflicts with $PAR (1). Ignoring.",
                                      L"$P0B conflicts with $PAR (1). Ignoring.",
                                      L"$P-1B conflicts with $PAR (1). Ignoring.",
                                      L"$P0N conflicts with $PAR (1). Ignoring.",
                                      L"$P99999999999N conflicts with $PAR (1). Ignoring.",
                                      L"$P2N conflicts with $PAR (1). Ignoring."}));
    ASSERT_EQ(r->first.parameters.size(), 1u);
    EXPECT_EQ(r->first.parameters[0].name, L"a");
    EXPECT_EQ(r->first.eventSize, 2);  // ignored widths do not count
    EXPECT_EQ(r->first.eventCount, 2);
}

TEST(MendedFaults, Version1NamesGrowTheListOnlyUpToTheBound) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "1").Add("$P5N", "five").Add("$P2000000000N", "huge").Add("$P0N", "zero");
    auto r = ParseBytes(b.Build());
    ASSERT_EQ(r->first.parameters.size(), 5u);
    EXPECT_EQ(r->first.parameters[4].name, L"five");
    EXPECT_EQ(r->log.warnings,
              (Texts{L"Required keyword $P1B not present", L"Required keyword $P1E not present",
                     L"Required keyword $P1N not present", L"Required keyword $P1R not present",
                     L"$P2000000000N conflicts with $PAR (5). Ignoring.",
                     L"$P0N conflicts with $PAR (5). Ignoring."}));
}

TEST(MendedFaults, NegativeParMeansNoParameters) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "-5").Add("$P1B", "16");
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_TRUE(r->first.parameters.empty());
    EXPECT_EQ(r->log.warnings, Texts{L"$P1B conflicts with $PAR (0). Ignoring."});
}

// A $PAR beyond the limit is one warning, not four for each parameter, and no value at all
// rather than values read from the wrong bytes; the events are still counted right.
TEST(MendedFaults, AbsurdParIsBounded) {
    const struct {
        const char* par;
        const wchar_t* warning;
    } cases[] = {
        {"2000000000",
         L"$PAR 2000000000 is more than the 10000 parameters Ketterlin reads. No values are "
         L"shown."},
        {"99999999999999999999",
         L"$PAR 9223372036854775807 is more than the 10000 parameters Ketterlin reads. No values "
         L"are shown."},
    };
    for (const auto& c : cases) {
        FcsBuilder b;
        b.version = "FCS1.0";
        b.Add("$PAR", c.par);
        auto r = ParseBytes(b.Build());
        ASSERT_TRUE(r->parsed);
        EXPECT_EQ(r->first.parameters.size(), static_cast<size_t>(kMaxParameterCount)) << c.par;
        EXPECT_EQ(r->log.warnings, Texts{c.warning}) << c.par;
        EXPECT_FALSE(r->first.valuesReadable);
    }
}

TEST(MendedFaults, ParametersBeyondTheLimitStillTakeTheirRoom) {
    for (const int32_t count : {kMaxParameterCount + 1, 2 * kMaxParameterCount}) {
        FcsBuilder b;
        b.version = "FCS1.0";
        b.Add("$PAR", std::to_string(count)).Add("$BYTEORD", "1").Add("$DATATYPE", "I");
        for (int32_t n = 1; n <= count; ++n) {
            const std::string p = "$P" + std::to_string(n);
            b.Add(p + "B", "8").Add(p + "E", "0,0").Add(p + "N", "n").Add(p + "R", "256");
        }
        b.Add("$TOT", "3");
        b.dataKeywords = true;
        b.data.assign(static_cast<size_t>(3 * count), 7);
        auto r = ParseBytes(b.Build());
        ASSERT_TRUE(r->parsed);
        EXPECT_EQ(r->first.eventSize, count) << count;
        EXPECT_EQ(r->first.eventCount, 3) << count;
        ASSERT_EQ(r->log.warnings.size(), 1u) << count;
        EXPECT_EQ(r->Cell(r->first, 2, 0), kNoValueText);
        EXPECT_EQ(r->first.DecoderOf(kMaxParameterCount - 1).Kind(), DecodedValue::kNone);
    }
}

TEST(MendedFaults, ThousandsOfParametersOpenAtOnce) {
    const int count = 5000;
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", std::to_string(count)).Add("$BYTEORD", "1,2").Add("$TOT", "3");
    for (int n = 1; n <= count; ++n) {
        const std::string p = "$P" + std::to_string(n);
        b.Add(p + "B", "16")
            .Add(p + "E", "0,0")
            .Add(p + "N", "P" + std::to_string(n))
            .Add(p + "R", "1024");
    }
    b.data.assign(2 * count * 3, 1);
    b.dataKeywords = true;
    const std::vector<uint8_t> bytes = b.Build();
    const auto start = std::chrono::steady_clock::now();
    auto r = ParseBytes(bytes);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->log.warnings, Texts{});
    EXPECT_EQ(r->first.eventCount, 3);
    EXPECT_EQ(r->Cell(r->first, 2, count - 1), L"257");
    // Sanitizers slow everything down; a scan per name would take minutes, not seconds.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count(), 5);
}

TEST(MendedFaults, HugeWidthsAreCountedButNeverRead) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "3")
        .Add("$P1B", "2147483647")
        .Add("$P2B", "2147483647")
        .Add("$P3B", "99999999999")
        .Add("$BEGINDATA", "0")
        .Add("$ENDDATA", "2000000000")
        .Add("$TOT", "1");
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    // Three widths of 268435455 bytes: 2000000001 bytes hold two such events.
    EXPECT_EQ(r->first.eventSize, 805306365);
    EXPECT_EQ(r->first.eventCount, 2);
    EXPECT_EQ(r->log.warnings.end()[-2], L"$TOT conflict with data size");
    EXPECT_EQ(r->log.warnings.back(),
              L"Events of 805306365 bytes are wider than the 1048576 bytes Ketterlin reads. No "
              L"values are shown.");
    // An event that wide is never asked of the file: its cells have no value.
    r->first.FillCache(0, 1);
    EXPECT_EQ(r->first.cacheFirst, -1);
    EXPECT_EQ(r->Cell(r->first, 1, 2), kNoValueText);
}

TEST(MendedFaults, EventCountIsTheFilesNeitherCappedNorWrapped) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "1")
        .Add("$P1B", "8")
        .Add("$BEGINDATA", "0")
        .Add("$ENDDATA", "5000000000")
        .Add("$TOT", "2147483647");
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->first.eventCount, 5000000001LL);
    EXPECT_EQ(r->log.warnings.back(), L"$TOT conflict with data size");

    // $TOT beyond 32 bits agrees with a count beyond 32 bits.
    FcsBuilder agreeing;
    agreeing.version = "FCS1.0";
    agreeing.Add("$BEGINDATA", "0")
        .Add("$ENDDATA", "4999999999")
        .Add("$TOT", "5000000000")
        .Add("$PAR", "1")
        .Add("$P1B", "8")
        .Add("$P1E", "0,0")
        .Add("$P1N", "a")
        .Add("$P1R", "1");
    auto a = ParseBytes(agreeing.Build());
    EXPECT_EQ(a->first.eventCount, 5000000000LL);
    EXPECT_EQ(a->log.warnings, Texts{});
    EXPECT_EQ(a->segments.rows.back().details, L"5000000000 events");
}

TEST(MendedFaults, DataOffsetsBeyond2GiBAreTakenAsWritten) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "1")
        .Add("$P1B", "8")
        .Add("$BEGINDATA", "3000000000")
        .Add("$ENDDATA", "3000000099");
    std::vector<uint8_t> file(200, ' ');
    AppendDataSet(file, b.Build());
    auto r = ParseBytes(file, 200);
    EXPECT_EQ(r->first.dataOffset, 3000000200LL);
    EXPECT_EQ(r->first.eventCount, 100);
}

TEST(MendedFaults, OverflowingDataOffsetsSaturate) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "1")
        .Add("$P1B", "8")
        .Add("$BEGINDATA", "-99999999999999999999")
        .Add("$ENDDATA", "99999999999999999999")
        .Add("$TOT", "99999999999999");
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->first.eventCount, std::numeric_limits<int64_t>::max());
    EXPECT_EQ(r->Cell(r->first, 0, 0), kNoValueText);  // before the file's start
    EXPECT_EQ(r->Cell(r->first, std::numeric_limits<int64_t>::max() - 1, 0), kNoValueText);
}

// A file of a given length whose bytes are zero except for the pieces placed into it.
class SparseFileAccess : public FileAccess {
public:
    explicit SparseFileAccess(int64_t fileLength) : length(fileLength) {}

    void Place(int64_t at, const std::vector<uint8_t>& bytes) { pieces[at] = bytes; }

    FileStatus ReadAt(int64_t position,
                      void* buffer,
                      uint32_t count,
                      uint32_t& delivered) override {
        const int64_t end = std::min<int64_t>(length, position + count);
        delivered = end > position ? static_cast<uint32_t>(end - position) : 0;
        auto* out = static_cast<uint8_t*>(buffer);
        std::memset(out, 0, delivered);
        for (const auto& [at, bytes] : pieces) {
            for (size_t i = 0; i < bytes.size(); ++i) {
                const int64_t offset = at + static_cast<int64_t>(i);
                if (offset >= position && offset < end) {
                    out[offset - position] = bytes[i];
                }
            }
        }
        return {};
    }

private:
    int64_t length;
    std::map<int64_t, std::vector<uint8_t>> pieces;
};

TEST(MendedFaults, EventsBeyond2GiBReadCorrectly) {
    const int64_t dataStart = 1000;
    const int64_t eventSize = 32;     // eight 32-bit parameters
    const int32_t events = 90000000;  // 2.88 GB of data
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "8")
        .Add("$BYTEORD", "4,3,2,1")
        .Add("$BEGINDATA", std::to_string(dataStart))
        .Add("$ENDDATA", std::to_string(dataStart + eventSize * events - 1));
    for (int n = 1; n <= 8; ++n) {
        b.Add("$P" + std::to_string(n) + "B", "32");
    }
    auto sparse = std::make_unique<SparseFileAccess>(dataStart + eventSize * events);
    sparse->Place(0, b.Build());
    const int32_t far = 80000000;  // at 2.56 GB
    sparse->Place(dataStart + eventSize * far, {0x12, 0x34, 0x56, 0x78});
    sparse->Place(dataStart + eventSize * events - 4, {0, 0, 0, 42});

    WarningLog log;
    SegmentTable rows;
    DataFile file;
    file.Open(std::move(sparse));
    DataSet dataSet(file, log);
    int64_t next = 0;
    ASSERT_TRUE(dataSet.Parse(rows, 0, next));
    ASSERT_EQ(dataSet.eventCount, events);
    dataSet.FormatValue(far, 0);
    EXPECT_EQ(std::wstring(displayText), L"305419896");
    dataSet.FillCache(events - 10, events - 1);
    EXPECT_EQ(dataSet.cacheFirst, events - 10);
    dataSet.FormatValue(events - 1, 7);
    EXPECT_EQ(std::wstring(displayText), L"42");
}

TEST(MendedFaults, HugeCacheHintsFallBackToSingleEvents) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "1").Add("$P1B", "8").Add("$BEGINDATA", "0").Add("$ENDDATA", "2000000000");
    auto r = ParseBytes(b.Build());
    ASSERT_EQ(r->first.eventCount, 2000000001);
    r->first.FillCache(0, 2000000000);
    EXPECT_EQ(r->first.cacheFirst, -1);
    r->first.FillCache(-5, 2147483647);
    EXPECT_EQ(r->first.cacheFirst, -1);
    r->first.FillCache(10, 5);
    EXPECT_EQ(r->first.cacheFirst, -1);
    EXPECT_EQ(r->Cell(r->first, 0, 0), std::to_wstring('F'));  // the HEADER's first byte
}

TEST(MendedFaults, CacheHintsAreCutToTheEventsThatExist) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "1").Add("$P1B", "8").Bytes({1, 2, 3, 4, 5});
    b.dataKeywords = true;
    auto r = ParseBytes(b.Build());
    ASSERT_EQ(r->first.eventCount, 5);
    r->first.FillCache(3, 2147483647);
    EXPECT_EQ(r->first.cacheFirst, 3);
    EXPECT_EQ(r->first.cacheLast, 4);
    r->first.FillCache(-100, 1);
    EXPECT_EQ(r->first.cacheFirst, 0);
    EXPECT_EQ(r->first.cacheLast, 1);
    const int64_t reads = r->memory->readCount;
    EXPECT_EQ(r->Cell(r->first, 1, 0), L"2");
    EXPECT_EQ(r->memory->readCount, reads);
}

TEST(MendedFaults, UndecodableCellsShowTheNoValueText) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "1")
        .Add("$P1B", "16")
        .Add("$DATATYPE", "A")
        .Add("$BYTEORD", "1,2")
        .Bytes({'1', '2', '3', '4'});
    b.dataKeywords = true;
    auto r = ParseBytes(b.Build());
    ASSERT_EQ(r->first.eventCount, 2);
    r->first.parameters[0].dataType = 'I';
    EXPECT_EQ(r->Cell(r->first, 0, 0), L"12849");  // a previous text that must not linger
    r->first.parameters[0].dataType = 'A';
    EXPECT_EQ(r->Cell(r->first, 0, 0), kNoValueText);
    EXPECT_EQ(r->Cell(r->first, 1, 0), kNoValueText);
}

TEST(MendedFaults, FailedSingleEventReadShowsTheNoValueText) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "1").Add("$P1B", "8").Bytes({1, 2, 3});
    b.dataKeywords = true;
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->Cell(r->first, 0, 0), L"1");
    r->memory->faults.failReadsFrom = r->memory->readCount;
    EXPECT_EQ(r->Cell(r->first, 2, 0), kNoValueText);
    EXPECT_EQ(r->first.cacheFirst, -1);
}

TEST(MendedFaults, BytesAShortReadDidNotDeliverShowTheNoValueText) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "3").Add("$P1B", "16").Add("$P2B", "16").Add("$P3B", "0").Add("$BYTEORD", "1,2");
    b.Bytes({1, 0, 2, 0, 3, 0, 4});  // the second field of the second event lacks a byte
    b.dataKeywords = true;
    std::vector<uint8_t> bytes = b.Build();
    auto r = ParseBytes(bytes);
    ASSERT_EQ(r->first.eventCount, 1);
    r->first.eventCount = 2;  // as if the DATA segment claimed more than the file holds
    r->first.FillCache(0, 1);
    EXPECT_EQ(r->first.cacheLast, 1);
    EXPECT_EQ(r->first.cache[7], 0);  // not delivered: cleared, never uninitialised
    EXPECT_EQ(r->Cell(r->first, 1, 0), L"3");
    EXPECT_EQ(r->Cell(r->first, 1, 1), kNoValueText);
    EXPECT_EQ(r->Cell(r->first, 1, 2), L"0");  // no bytes, so none are missing
    r->first.FillCache(1, 1);
    EXPECT_EQ(r->Cell(r->first, 1, 1), kNoValueText);
    EXPECT_EQ(r->Cell(r->first, 0, 1), L"2");  // single-event read
}

TEST(MendedFaults, ArgumentsOutsideTheDataSetShowTheNoValueText) {
    FcsBuilder b;
    b.version = "FCS1.0";
    b.Add("$PAR", "1").Add("$P1B", "8").Bytes({1, 2});
    b.dataKeywords = true;
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->Cell(r->first, 1, 0), L"2");
    EXPECT_EQ(r->Cell(r->first, 2, 0), kNoValueText);
    EXPECT_EQ(r->Cell(r->first, -1, 0), kNoValueText);
    EXPECT_EQ(r->Cell(r->first, 0, 1), kNoValueText);
}

TEST(MendedFaults, LongVersionNumbersAreCutToTheTenHeaderBytes) {
    FcsBuilder b;
    b.version = "FCS99999999999.9";
    b.Add("$A", "1");
    auto r = ParseBytes(b.Build());  // only ten bytes of the version are read
    EXPECT_FALSE(r->parsed);
}

}  // namespace
