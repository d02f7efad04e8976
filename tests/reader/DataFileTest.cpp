// The file seams and the shared DataFile: outcomes, the end-of-file flag, short reads, reads at
// an offset that leave the cursor alone, injected failures, and 64-bit positions on a real
// (sparse) file beyond 2 GiB.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "DataFile.h"
#include "MemoryFileAccess.h"
#include "PosixFileAccess.h"

namespace {

TEST(DataFile, ReadsReportTheEndOfTheFile) {
    DataFile file;
    auto memory = std::make_unique<MemoryFileAccess>(std::vector<uint8_t>{1, 2, 3});
    MemoryFileAccess* access = memory.get();
    file.Open(std::move(memory));
    uint8_t buffer[8] = {};
    uint32_t delivered = 99;
    EXPECT_TRUE(file.Read(buffer, 2, delivered).Ok());
    EXPECT_EQ(delivered, 2u);
    EXPECT_FALSE(file.atEnd);
    EXPECT_TRUE(file.Read(buffer, 8, delivered).Ok());  // short read succeeds
    EXPECT_EQ(delivered, 1u);
    EXPECT_EQ(buffer[0], 3);
    EXPECT_EQ(file.Read(buffer, 8, delivered).outcome, FileOutcome::kEndOfFile);
    EXPECT_TRUE(file.atEnd);
    EXPECT_TRUE(file.Read(buffer, 0, delivered).Ok());  // nothing asked, nothing missing
    EXPECT_FALSE(file.atEnd);
    EXPECT_TRUE(file.Seek(1).Ok());
    EXPECT_TRUE(file.Read(buffer, 1, delivered).Ok());
    EXPECT_EQ(buffer[0], 2);
    EXPECT_TRUE(file.Seek(100).Ok());  // like a file: positioning past the end works
    EXPECT_EQ(file.Read(buffer, 1, delivered).outcome, FileOutcome::kEndOfFile);
    EXPECT_EQ(file.Seek(-1).outcome, FileOutcome::kBeforeStart);

    // A read at an offset leaves the cursor and the end flag where they were.
    EXPECT_TRUE(file.Seek(0).Ok());
    EXPECT_TRUE(file.Read(buffer, 1, delivered).Ok());
    EXPECT_EQ(buffer[0], 1);
    EXPECT_TRUE(file.ReadAt(2, buffer, 1, delivered).Ok());
    EXPECT_EQ(buffer[0], 3);
    EXPECT_EQ(file.ReadAt(3, buffer, 1, delivered).outcome, FileOutcome::kEndOfFile);
    EXPECT_FALSE(file.atEnd);
    EXPECT_EQ(file.ReadAt(-2, buffer, 1, delivered).outcome, FileOutcome::kBeforeStart);
    EXPECT_TRUE(file.Read(buffer, 1, delivered).Ok());
    EXPECT_EQ(buffer[0], 2);

    // The platform's own code travels beside the outcome, never in its place.
    access->faults.failReadsFrom = access->readCount;
    access->faults.readError = 23;
    const FileStatus failed = file.Read(buffer, 1, delivered);
    EXPECT_EQ(failed.outcome, FileOutcome::kSystemError);
    EXPECT_EQ(failed.systemCode, 23u);
    EXPECT_EQ(delivered, 0u);
}

TEST(FileStatus, SaysWhatHappenedInWords) {
    EXPECT_EQ(FileStatusText({FileOutcome::kBeforeStart}),
              "the position lies before the start of the file");
    EXPECT_EQ(FileStatusText({FileOutcome::kEndOfFile}), "the file ends there");
    EXPECT_EQ(FileStatusText({FileOutcome::kNoFile}), "no file is open");
    // 131 is a Windows code for a negative seek and an errno elsewhere: a system code is always
    // the platform's own text.
    EXPECT_EQ(FileStatusText(FileStatus::System(ENOENT)), std::strerror(ENOENT));
}

TEST(DataFile, WithoutAFileEverythingFails) {
    DataFile file;
    EXPECT_FALSE(file.IsOpen());
    uint8_t buffer[1];
    uint32_t delivered = 5;
    EXPECT_EQ(file.Read(buffer, 1, delivered).outcome, FileOutcome::kNoFile);
    EXPECT_EQ(delivered, 0u);
    EXPECT_EQ(file.Seek(0).outcome, FileOutcome::kNoFile);
    EXPECT_EQ(file.ReadAt(0, buffer, 1, delivered).outcome, FileOutcome::kNoFile);
    file.Open(std::make_unique<MemoryFileAccess>(std::vector<uint8_t>{1}));
    EXPECT_TRUE(file.IsOpen());
    file.Close();
    EXPECT_FALSE(file.IsOpen());
}

TEST(PosixFileAccess, MissingFileGivesTheSystemError) {
    FileStatus status;
    EXPECT_EQ(PosixFileAccess::Open("/nonexistent/ketterlin.fcs", status), nullptr);
    EXPECT_EQ(status.outcome, FileOutcome::kSystemError);
    EXPECT_EQ(status.systemCode, static_cast<uint32_t>(ENOENT));
}

TEST(PosixFileAccess, PositionsBeyond2GiB) {
    namespace fs = std::filesystem;
    const fs::path path =
        fs::temp_directory_path() / ("ketterlin-sparse-" + std::to_string(::getpid()) + ".bin");
    const int64_t far = 3LL * 1024 * 1024 * 1024 + 5;
    {
        std::ofstream out(path, std::ios::binary);
        out.seekp(far);
        out.write("\x12\x34", 2);
        if (!out) {
            GTEST_SKIP() << "no room for a sparse file in " << path;
        }
    }
    FileStatus status;
    DataFile file;
    file.Open(PosixFileAccess::Open(path.string(), status));
    ASSERT_TRUE(file.IsOpen());
    uint8_t buffer[4] = {};
    uint32_t delivered = 0;
    EXPECT_TRUE(file.Seek(far).Ok());
    EXPECT_TRUE(file.Read(buffer, 4, delivered).Ok());
    EXPECT_EQ(delivered, 2u);
    EXPECT_EQ(buffer[0], 0x12);
    EXPECT_EQ(buffer[1], 0x34);
    EXPECT_EQ(file.Read(buffer, 4, delivered).outcome, FileOutcome::kEndOfFile);
    file.Close();
    fs::remove(path);
}

}  // namespace
