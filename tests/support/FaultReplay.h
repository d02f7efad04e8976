// Replays every file of a folder of inputs that once made the program fault (crashes the fuzzers
// found), each in a child process of its own: a crash, a hang or a sanitizer report of any file
// placed in the folder fails the test and names the file, while the other files still run. Native
// (POSIX) builds only.
#pragma once

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define KETTERLIN_REPLAY_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KETTERLIN_REPLAY_LEAK_CHECK 1
#endif
#endif
#ifdef KETTERLIN_REPLAY_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

using FaultReplayFn = std::function<void(const std::vector<uint8_t>& input)>;

// How a replay in a child process ended: empty when it ended well, else what went wrong.
inline std::string ReplayOutcome(int status, int secondsPerFile) {
    if (WIFSIGNALED(status)) {
        if (WTERMSIG(status) == SIGALRM) {
            return "hangs (still running after " + std::to_string(secondsPerFile) + " s)";
        }
        return "crashes (signal " + std::to_string(WTERMSIG(status)) + ")";
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        return "exits with status " + std::to_string(WEXITSTATUS(status)) +
               " (a sanitizer report, if any, is above)";
    }
    return {};
}

// Runs replay over one input in a child process that the system ends after secondsPerFile.
inline std::string ReplayInChild(const std::vector<uint8_t>& input,
                                 const FaultReplayFn& replay,
                                 int secondsPerFile) {
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t child = fork();
    if (child < 0) {
        return "could not be replayed (fork failed)";
    }
    if (child == 0) {
        alarm(static_cast<unsigned>(secondsPerFile));
        replay(input);
        int status = 0;
#ifdef KETTERLIN_REPLAY_LEAK_CHECK
        status = __lsan_do_recoverable_leak_check() != 0 ? 1 : 0;
#endif
        std::fflush(nullptr);
        _exit(status);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return ReplayOutcome(status, secondsPerFile);
}

// Replays every regular file of folder (names beginning with a dot excepted) and returns how
// many there were. A missing folder fails: a replay that finds nothing to run proves nothing.
inline int ReplayFolder(const std::filesystem::path& folder,
                        const FaultReplayFn& replay,
                        int secondsPerFile = 60) {
    namespace fs = std::filesystem;
    if (!fs::is_directory(folder)) {
        ADD_FAILURE() << "no folder of inputs to replay at " << folder;
        return 0;
    }
    int replayed = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name[0] == '.') {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        const std::string fault = ReplayInChild(input, replay, secondsPerFile);
        if (!fault.empty()) {
            ADD_FAILURE() << entry.path().string() << " " << fault;
        }
        ++replayed;
    }
    return replayed;
}
