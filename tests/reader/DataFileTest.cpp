// The file seams and the shared DataFile: result codes, the end-of-file flag, short reads,
// injected failures, and 64-bit positions on a real (sparse) file beyond 2 GiB.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

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
    EXPECT_EQ(file.Read(buffer, 2, delivered), kErrorSuccess);
    EXPECT_EQ(delivered, 2u);
    EXPECT_FALSE(file.atEnd);
    EXPECT_EQ(file.Read(buffer, 8, delivered), kErrorSuccess);  // short read succeeds
    EXPECT_EQ(delivered, 1u);
    EXPECT_EQ(buffer[0], 3);
    EXPECT_EQ(file.Read(buffer, 8, delivered), kErrorHandleEof);
    EXPECT_TRUE(file.atEnd);
    EXPECT_EQ(file.Read(buffer, 0, delivered), kErrorSuccess);  // nothing asked, nothing missing
    EXPECT_FALSE(file.atEnd);
    EXPECT_EQ(file.Seek(1), kErrorSuccess);
    EXPECT_EQ(file.Read(buffer, 1, delivered), kErrorSuccess);
    EXPECT_EQ(buffer[0], 2);
    EXPECT_EQ(file.Seek(100), kErrorSuccess);  // like a file: positioning past the end works
    EXPECT_EQ(file.Read(buffer, 1, delivered), kErrorHandleEof);
    EXPECT_EQ(file.Seek(-1), kErrorNegativeSeek);

    access->faults.failReadsFrom = access->readCount;
    access->faults.readError = 23;
    EXPECT_EQ(file.Read(buffer, 1, delivered), 23u);
    EXPECT_EQ(delivered, 0u);
    access->faults.failSeeksFrom = access->seekCount;
    EXPECT_EQ(file.Seek(0), kErrorNegativeSeek);
}

TEST(DataFile, WithoutAFileEverythingFails) {
    DataFile file;
    EXPECT_FALSE(file.IsOpen());
    uint8_t buffer[1];
    uint32_t delivered = 5;
    EXPECT_EQ(file.Read(buffer, 1, delivered), kErrorInvalidHandle);
    EXPECT_EQ(delivered, 0u);
    EXPECT_EQ(file.Seek(0), kErrorInvalidHandle);
    file.Open(std::make_unique<MemoryFileAccess>(std::vector<uint8_t>{1}));
    EXPECT_TRUE(file.IsOpen());
    file.Close();
    EXPECT_FALSE(file.IsOpen());
}

TEST(PosixFileAccess, MissingFileGivesTheSystemError) {
    ErrorCode error = 0;
    EXPECT_EQ(PosixFileAccess::Open("/nonexistent/ketterlin.fcs", error), nullptr);
    EXPECT_NE(error, 0u);
}

TEST(PosixFileAccess, PositionsBeyond2GiB) {
    namespace fs = std::filesystem;
    const fs::path path = fs::temp_directory_path() / ("ketterlin-sparse-" +
                                                       std::to_string(::getpid()) + ".bin");
    const int64_t far = 3LL * 1024 * 1024 * 1024 + 5;
    {
        std::ofstream out(path, std::ios::binary);
        out.seekp(far);
        out.write("\x12\x34", 2);
        if (!out) {
            GTEST_SKIP() << "no room for a sparse file in " << path;
        }
    }
    ErrorCode error = 0;
    DataFile file;
    file.Open(PosixFileAccess::Open(path.string(), error));
    ASSERT_TRUE(file.IsOpen());
    uint8_t buffer[4] = {};
    uint32_t delivered = 0;
    EXPECT_EQ(file.Seek(far), kErrorSuccess);
    EXPECT_EQ(file.Read(buffer, 4, delivered), kErrorSuccess);
    EXPECT_EQ(delivered, 2u);
    EXPECT_EQ(buffer[0], 0x12);
    EXPECT_EQ(buffer[1], 0x34);
    EXPECT_EQ(file.Read(buffer, 4, delivered), kErrorHandleEof);
    file.Close();
    fs::remove(path);
}

}  // namespace
