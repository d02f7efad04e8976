// The one way the reader touches a file. The program reads through CreateFileW/ReadFile;
// tests, tools and fuzzers read from memory or POSIX files through the same interface.
#pragma once

#include <cstdint>
#include <string>

// What became of a file operation, in the reader's own terms. The platform's own code travels
// beside it for the one outcome the platform decided, so that POSIX errno values and Windows
// error codes never pass for each other.
enum class FileOutcome {
    kOk,
    kEndOfFile,    // a read that delivered nothing although it asked for bytes
    kNoFile,       // no file is open
    kBeforeStart,  // a position before the start of the file
    kSystemError,  // the platform refused: systemCode says why
};

struct FileStatus {
    FileOutcome outcome = FileOutcome::kOk;
    uint32_t systemCode = 0;  // errno or GetLastError(), for kSystemError only

    bool Ok() const { return outcome == FileOutcome::kOk; }
    static FileStatus System(uint32_t code) { return {FileOutcome::kSystemError, code}; }
};

// What happened, in words: the platform's own text for its codes. UTF-8.
std::string FileStatusText(const FileStatus& status);
// The platform's text for one of its codes (strerror, FormatMessage), UTF-8; each platform's
// file seam defines it.
std::string SystemErrorText(uint32_t systemCode);

class FileAccess {
public:
    virtual ~FileAccess() = default;
    // Reads up to count bytes from offset (0 or more) on, without any shared file position, so
    // that several readers (a worker thread among them) can read one open file. delivered
    // receives how many arrived: fewer than count at the end of the file, 0 beyond it.
    virtual FileStatus ReadAt(int64_t offset,
                              void* buffer,
                              uint32_t count,
                              uint32_t& delivered) = 0;
};
