// Real files as the Windows side sees them (drive Z: is the Unix root): the copies that the
// repository carries (tests/data/real), and the shared corpus beside it, which a clone may lack.
// Cases that read the corpus derive their fixture from CorpusTest and are skipped, saying why,
// when its folder is absent.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

inline std::wstring WindowsPath(const char* folder, const char* relative) {
    const std::string path = std::string(folder) + "\\" + relative;
    return std::wstring(path.begin(), path.end());
}

// A file of which the repository carries a copy, by its corpus name.
inline std::wstring RealFilePath(const char* relative) {
    return WindowsPath(KETTERLIN_REAL_FILES_WINDOWS_DIR, relative);
}

inline std::wstring CorpusPath(const char* relative) {
    return WindowsPath(KETTERLIN_CORPUS_WINDOWS_DIR, relative);
}

class CorpusTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string folder = KETTERLIN_CORPUS_WINDOWS_DIR;
        const DWORD attributes =
            GetFileAttributesW(std::wstring(folder.begin(), folder.end()).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            GTEST_SKIP() << "no corpus folder at " << folder << " (KETTERLIN_CORPUS_DIR)";
        }
    }
};
