// Replays every input that once crashed the reader under the fuzzer: each must now parse or
// fail cleanly, with every cell of its first events formatted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ReaderTestSupport.h"
#include "ReaderWalk.h"

namespace {

namespace fs = std::filesystem;

TEST(Crashers, EveryCrasherReadsCleanly) {
    const fs::path folder = KETTERLIN_CRASHER_DIR;
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no crasher folder " << folder;
    }
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
        Reading r(std::move(bytes));
        WalkFile(r, WalkLimits{20, 256});
        ++count;
        SCOPED_TRACE(entry.path().string());
    }
    RecordProperty("crashers", count);
}

}  // namespace
