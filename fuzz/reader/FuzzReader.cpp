// libFuzzer target for the FCS reader: the input is a whole file. It is read the way the
// viewer reads it (one data set, or two when $NEXTDATA says so) and the cells of the first and
// last events of each data set are formatted through cache hints and single-event reads.
#include <cstddef>
#include <cstdint>

#include "DataSet.h"
#include "MemoryFileAccess.h"
#include "RecordingOutput.h"
#include "ReaderWalk.h"

namespace {

// Counts instead of collecting, so inputs that raise tens of thousands of warnings stay fast.
class CountingSink : public WarningSink {
public:
    void Warn(const std::wstring& text) override { length += text.size(); }
    void Diagnostic(const std::string& line) override { length += line.size(); }
    size_t length = 0;
};

struct FuzzReading {
    CountingSink log;
    SegmentTable segments;
    DataFile file;
    DataSet first{file, log};
    DataSet second{file, log};
};

constexpr WalkLimits kLimits{8, 64};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReading reading;
    reading.file.Open(std::make_unique<MemoryFileAccess>(data, size));
    WalkFile(reading, kLimits);
    return 0;
}
