// Every real file of the shared corpus opens or fails cleanly (under ASan/UBSan in the native
// build), with the cells of its first and last events formatted; and a few files whose oddities
// the reader's rules decide are checked exactly. The handful of real files copied into the
// repository's test data are checked even where the shared corpus is absent.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "PosixFileAccess.h"
#include "ReaderTestSupport.h"
#include "ReaderWalk.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = KETTERLIN_CORPUS_DIR;
const fs::path kRealFiles = KETTERLIN_REAL_FILES_DIR;

// A real file by its corpus name: the repository's own copy when it has one.
fs::path Locate(const std::string& relative) {
    const fs::path copy = kRealFiles / relative;
    return fs::is_regular_file(copy) ? copy : kCorpus / relative;
}

bool Have(const std::string& relative) {
    return fs::is_regular_file(Locate(relative));
}

// The viewer's model of one file opened from disk.
struct DiskReading {
    WarningLog log;
    SegmentTable segments;
    DataFile file;
    DataSet first{file, log};
    DataSet second{file, log};
    FileStatus openError;
    DataSetChain chain;

    explicit DiskReading(const fs::path& path) {
        auto access = PosixFileAccess::Open(path.string(), openError);
        if (access) {
            file.Open(std::move(access));
        }
    }
};

std::unique_ptr<DiskReading> Open(const std::string& relative, bool walk = false) {
    auto reading = std::make_unique<DiskReading>(Locate(relative));
    if (walk) {
        reading->chain = WalkFile(*reading, WalkLimits{});
    } else {
        reading->chain =
            ReadDataSets(reading->file, reading->first, reading->second, reading->segments);
    }
    return reading;
}

bool HaveCorpus() {
    return fs::is_regular_file(kCorpus / "MANIFEST.tsv");
}

struct FolderWalk {
    int files = 0;
    int readable = 0;
};

// Opens every file under `folder` the way the viewer does; each must open, and each data set
// read must add its three rows.
FolderWalk WalkFolder(const fs::path& folder) {
    FolderWalk walk;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const fs::path name = entry.path().filename();
        if (!entry.is_regular_file() || name == "MANIFEST.tsv" || name == "NOTICE.md") {
            continue;
        }
        const std::string relative = fs::relative(entry.path(), folder).string();
        SCOPED_TRACE(relative);
        auto r = Open(relative, true);
        EXPECT_TRUE(r->openError.Ok()) << FileStatusText(r->openError);
        ++walk.files;
        walk.readable += r->chain.Failed() ? 0 : 1;
        EXPECT_EQ(r->segments.rows.size(), static_cast<size_t>(3 * r->chain.count));
        std::cout << relative << "\tsets " << r->chain.count << (r->chain.Failed() ? " failed" : "")
                  << "\tevents " << r->first.eventCount << "/" << r->second.eventCount
                  << "\twarnings " << r->log.warnings.size() << "\n";
    }
    return walk;
}

TEST(Corpus, EveryFileOpensOrFailsCleanly) {
    if (!HaveCorpus()) {
        GTEST_SKIP() << "corpus not found at " << kCorpus;
    }
    const FolderWalk walk = WalkFolder(kCorpus);
    EXPECT_GT(walk.files, 60);
    RecordProperty("files", walk.files);
    RecordProperty("readable", walk.readable);
}

// The copies in the repository: all but the two broken ones are read.
TEST(Corpus, RepositoryCopiesOpenOrFailCleanly) {
    const FolderWalk walk = WalkFolder(kRealFiles);
    EXPECT_EQ(walk.files, 7);
    EXPECT_EQ(walk.readable, 5);
}

std::vector<uint8_t> FileBytes(const std::string& relative) {
    std::ifstream in(Locate(relative), std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

std::wstring Cell(DataSet& dataSet, int32_t event, int32_t parameter) {
    dataSet.FormatValue(event, parameter);
    return displayText;
}

TEST(Corpus, TruncatedHeaderFails) {
    if (!Have("fcsparser/corrupted.fcs"))
        GTEST_SKIP() << "fcsparser/corrupted.fcs not found";
    auto r = Open("fcsparser/corrupted.fcs");
    EXPECT_EQ(r->chain.count, 0);
    EXPECT_TRUE(r->chain.Failed());
    EXPECT_TRUE(r->segments.rows.empty());
    EXPECT_TRUE(r->log.warnings.empty());
}

// The reader's strict rules reject these real files on purpose.
TEST(Corpus, StrictRulesRejectTheseFiles) {
    int checked = 0;
    for (const char* relative : {
             "fcsparser/sample_header.fcs",   // last TEXT value without its closing delimiter
             "cytoflow/Accuri - C6.fcs",      // TEXT ends in a doubled (escaped) delimiter
             "fcsparser/fake_large_fcs.fcs",  // blank HEADER Data Start field
         }) {
        if (!Have(relative))
            continue;
        ++checked;
        auto r = Open(relative);
        EXPECT_EQ(r->chain.count, 0) << relative;
        EXPECT_TRUE(r->chain.Failed()) << relative;
        EXPECT_TRUE(r->log.warnings.empty()) << relative;
    }
    // The repository's own copy of one of them is always there.
    EXPECT_GE(checked, 1);
}

TEST(Corpus, ListModeFileWithTwoDataSets) {
    if (!Have("flowio/coulter.lmd"))
        GTEST_SKIP() << "flowio/coulter.lmd not found";
    auto r = Open("flowio/coulter.lmd");
    EXPECT_EQ(r->chain.count, 2);
    EXPECT_FALSE(r->chain.Failed());
    std::vector<std::wstring> details;
    for (const auto& row : r->segments.rows) {
        details.push_back(row.label + L" " + row.details);
    }
    EXPECT_EQ(details, (std::vector<std::wstring>{
                           L"Header FCS2.0",
                           L"Text " + std::to_wstring(r->first.keywords.size()) + L" keywords",
                           L"Data 18110 events", L"Header FCS3.0",
                           L"Text " + std::to_wstring(r->second.keywords.size()) + L" keywords",
                           L"Data 18110 events"}));
    EXPECT_EQ(r->first.byteOrder, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(r->first.eventSize, 16);
    EXPECT_EQ(r->second.eventSize, 32);
    EXPECT_TRUE(r->log.warnings.empty());
    // Both data sets share one file; each cell positions it first. Little-endian 16-bit.
    const std::vector<uint8_t> bytes = FileBytes("flowio/coulter.lmd");
    const size_t at = static_cast<size_t>(r->first.dataOffset) + 16 * 5 + 2 * 3;
    EXPECT_EQ(Cell(r->first, 5, 3), std::to_wstring(bytes[at] | bytes[at + 1] << 8));
    Cell(r->second, 0, 0);
    EXPECT_EQ(Cell(r->first, 5, 3), std::to_wstring(bytes[at] | bytes[at + 1] << 8));
}

// Integers narrower than the 4,3,2,1 byte order that comes with them are big-endian.
TEST(Corpus, NarrowIntegersWithFourByteOrderAreBigEndian) {
    if (!HaveCorpus())
        GTEST_SKIP();
    struct Case {
        const char* file;
        int32_t width;
        int32_t parameters;
    } cases[] = {{"fcsparser/Sample_Well_A02.fcs", 2, 8}, {"fcsparser/Cytek_xP5.fcs", 3, 8}};
    for (const Case& c : cases) {
        auto r = Open(c.file);
        ASSERT_EQ(r->chain.count, 1) << c.file;
        ASSERT_EQ(r->first.eventSize, c.width * c.parameters) << c.file;
        EXPECT_TRUE(r->log.warnings.empty()) << c.file;
        EXPECT_EQ(
            r->log.diagnostics,
            std::vector<std::string>(static_cast<size_t>(c.parameters),
                                     "Fieldsize " + std::to_string(c.width) + " byteordsize 4\n"))
            << c.file;
        const std::vector<uint8_t> bytes = FileBytes(c.file);
        r->first.FillCache(0, 49);
        for (int32_t e = 0; e < 50; ++e) {
            for (int32_t p = 0; p < c.parameters; ++p) {
                size_t at =
                    static_cast<size_t>(r->first.dataOffset + e * r->first.eventSize + p * c.width);
                uint32_t expected = 0;
                for (int32_t j = 0; j < c.width; ++j) {
                    expected = expected << 8 | bytes[at + static_cast<size_t>(j)];
                }
                ASSERT_EQ(Cell(r->first, e, p), std::to_wstring(expected)) << c.file << e;
            }
        }
    }
}

TEST(Corpus, BigEndianFloats) {
    if (!Have("fcsparser/facs_diva_test.fcs"))
        GTEST_SKIP() << "fcsparser/facs_diva_test.fcs not found";
    auto r = Open("fcsparser/facs_diva_test.fcs");
    ASSERT_EQ(r->chain.count, 1);
    EXPECT_EQ(r->first.dataType, 'F');
    EXPECT_EQ(r->first.eventCount, 83411);
    const std::vector<uint8_t> bytes = FileBytes("fcsparser/facs_diva_test.fcs");
    for (int32_t e : {0, 1, 41705, 83410}) {
        for (int32_t p = 0; p < 12; ++p) {
            const size_t at = static_cast<size_t>(r->first.dataOffset + e * 48 + p * 4);
            const uint32_t bits = uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 |
                                  uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
            float value;
            std::memcpy(&value, &bits, 4);
            char text[64];
            std::snprintf(text, sizeof text, "%0.15g", static_cast<double>(value));
            ASSERT_EQ(Cell(r->first, e, p), Widen(text)) << e << " " << p;
        }
    }
}

TEST(Corpus, MixedIntegerWidthsLittleEndian) {
    if (!Have("fcsparser/cyflow_cube_8.fcs"))
        GTEST_SKIP() << "fcsparser/cyflow_cube_8.fcs not found";
    auto r = Open("fcsparser/cyflow_cube_8.fcs");
    ASSERT_EQ(r->chain.count, 1);
    const std::vector<uint8_t> bytes = FileBytes("fcsparser/cyflow_cube_8.fcs");
    for (int32_t e : {0, 362, 724}) {
        int64_t at = r->first.dataOffset + int64_t{e} * r->first.eventSize;
        for (size_t p = 0; p < r->first.parameters.size(); ++p) {
            const int32_t width = r->first.parameters[p].width;
            uint32_t expected = 0;
            for (int32_t j = width - 1; j >= 0; --j) {
                expected = expected << 8 | bytes[static_cast<size_t>(at + j)];
            }
            EXPECT_EQ(Cell(r->first, e, static_cast<int32_t>(p)), std::to_wstring(expected));
            at += width;
        }
    }
}

TEST(Corpus, TruncatedDataShowsNoValueForTheMissingEvents) {
    if (!Have("readfcs/example.fcs"))
        GTEST_SKIP() << "readfcs/example.fcs not found";
    auto r = Open("readfcs/example.fcs");
    ASSERT_EQ(r->chain.count, 1);
    ASSERT_EQ(r->first.eventCount, 65016);
    EXPECT_EQ(Cell(r->first, 0, 0), L"27700.75");
    r->first.FillCache(65000, 65015);
    EXPECT_EQ(r->first.cacheFirst, 65000);
    for (int32_t p = 0; p < 16; ++p) {
        EXPECT_EQ(Cell(r->first, 65015, p), kNoValueText);
    }
    EXPECT_NE(Cell(r->first, 65000, 0), kNoValueText);
}

}  // namespace
