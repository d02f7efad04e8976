// libFuzzer target for the FCS reader: the input is a whole file. It is read the way the
// viewer reads it (one data set, or two when $NEXTDATA says so) and the cells of the first and
// last events of each data set are formatted through cache hints and single-event reads. Then
// every event of each data set is counted into a histogram of its first parameter and a density
// map of its first and last on their default axes, with the extent pass first where a range
// comes from the data.
#include <cstddef>
#include <cstdint>

#include "DataSet.h"
#include "DefaultAxis.h"
#include "EventCounting.h"
#include "MemoryFileAccess.h"
#include "ReaderWalk.h"
#include "RecordingOutput.h"

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
constexpr int32_t kBins = 16;

// The default axis of a parameter, its range taken from the data where the keywords give none.
AxisSpec AxisOf(const DataSet& dataSet, int32_t parameter) {
    const AxisChoice choice = DefaultAxis(dataSet, parameter, kBins);
    if (!choice.rangeFromData) {
        return choice.spec;
    }
    CountingRequests requests;
    requests.extents.push_back(parameter);
    EventCounter extentPass(dataSet, requests);
    extentPass.RunLane();
    return FitToData(choice.spec, extentPass.Snapshot().extents.front());
}

void CountDataSet(const DataSet& dataSet) {
    if (dataSet.parameters.empty()) {
        return;
    }
    const int32_t last = static_cast<int32_t>(dataSet.parameters.size() - 1);
    CountingRequests requests;
    requests.histograms.push_back({0, AxisOf(dataSet, 0)});
    requests.densities.push_back({0, last, requests.histograms[0].axis, AxisOf(dataSet, last)});
    if (!CheckRequests(dataSet, requests).Ok()) {
        return;
    }
    EventCounter counter(dataSet, requests);
    counter.RunLane();
    const CountingResult result = counter.Snapshot();
    const CountingOutcome outcome = counter.Outcome();
    if (outcome.eventsCounted > outcome.eventsAsked ||
        result.eventsCounted != outcome.eventsCounted) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReading reading;
    reading.file.Open(std::make_unique<MemoryFileAccess>(data, size));
    const DataSetChain chain = WalkFile(reading, kLimits);
    if (chain.count >= 1) {
        CountDataSet(reading.first);
    }
    if (chain.count >= 2) {
        CountDataSet(reading.second);
    }
    return 0;
}
