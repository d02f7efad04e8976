// Replays every input that once crashed the reader under the fuzzer, each in a process of its
// own: every one must now parse or fail cleanly, with the cells of its first and last events
// formatted, and without a crash, a hang or a sanitizer report. The replay itself is shown to
// fail, and to name the file, for each of those faults.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FaultReplay.h"
#include "ReaderTestSupport.h"
#include "ReaderWalk.h"

namespace {

namespace fs = std::filesystem;

void WalkInput(const std::vector<uint8_t>& input) {
    Reading r(input);
    WalkFile(r, WalkLimits{20, 256});
}

// Blocks that nothing points at any more, as a faulty reading would leave them.
[[gnu::noinline]] void LoseMemory() {
    static int* volatile block = nullptr;
    for (int i = 0; i < 16; ++i) {
        block = new int[64];
    }
    block[0] = 0;
    block = nullptr;
}

TEST(Crashers, EveryCrasherReadsCleanly) {
    const int replayed = ReplayFolder(KETTERLIN_CRASHER_DIR, WalkInput);
    RecordProperty("crashers", replayed);
}

// A folder with one input of each kind of fault and one harmless input.
TEST(Crashers, ReplayFailsForEachFaultAndNamesTheFile) {
    const fs::path folder =
        fs::temp_directory_path() / ("ketterlin-replay-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (const char* name : {"crash", "hang", "leak", "fine", ".ignored"}) {
        std::ofstream(folder / name) << name;
    }
    const auto faulty = [](const std::vector<uint8_t>& input) {
        const std::string what(input.begin(), input.end());
        if (what == "crash") {
            std::abort();
        } else if (what == "hang") {
            for (;;) {
                pause();
            }
        } else if (what == "leak") {
#ifdef KETTERLIN_REPLAY_LEAK_CHECK
            LoseMemory();
#else
            std::_Exit(1);  // stands in for the report a sanitizer build would give
#endif
        } else if (what == ".ignored") {
            std::abort();
        }
    };
    testing::TestPartResultArray failures;
    int replayed = 0;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        // Long enough that a harmless input started under a sanitizer on a busy machine never
        // passes for a hang.
        replayed = ReplayFolder(folder, faulty, 5);
    }
    fs::remove_all(folder);
    EXPECT_EQ(replayed, 4);
    std::vector<std::string> messages;
    for (int i = 0; i < failures.size(); ++i) {
        messages.push_back(failures.GetTestPartResult(i).message());
    }
    ASSERT_EQ(messages.size(), 3u) << testing::PrintToString(messages);
    const auto reported = [&messages, &folder](const char* name, const char* fault) {
        const std::string text = (folder / name).string() + " " + fault;
        for (const std::string& message : messages) {
            if (message.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(reported("crash", "crashes (signal 6)"));
    EXPECT_TRUE(reported("hang", "hangs"));
    EXPECT_TRUE(reported("leak", "exits with status"));
}

TEST(Crashers, MissingFolderFails) {
    EXPECT_NONFATAL_FAILURE(ReplayFolder("/nonexistent/ketterlin-crashers", WalkInput),
                            "no folder of inputs to replay");
}

}  // namespace
