// Times the reader the way the viewer uses it: open and Parse a file, then fill the cache for
// one screen of rows and format every cell of it, at the start, middle and end of the file.
// The file is expected in the page cache (the benchmark has just written it, and every
// position is visited once before it is timed), so the figures are the reader's own cost.
#include "OpenMeasurement.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

#include "DataSet.h"
#include "PosixFileAccess.h"
#include "ProcessStatus.h"
#include "RecordingOutput.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kParseRuns = 21;
constexpr int kScreenRuns = 500;
constexpr int kFormatRounds = 200;

double MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// One open file with its first data set parsed, as the viewer holds it.
class OpenedFile {
public:
    bool Open(const std::string& path) {
        FileStatus status;
        std::unique_ptr<PosixFileAccess> access = PosixFileAccess::Open(path, status);
        if (!access) {
            return false;
        }
        file.Open(std::move(access));
        int64_t nextData = 0;
        return dataSet.Parse(rows, 0, nextData);
    }

    DataSet& Data() { return dataSet; }

private:
    DataFile file;
    WarningLog warnings;
    SegmentTable rows;
    DataSet dataSet{file, warnings};
};

void FormatScreen(DataSet& dataSet, int32_t first, int32_t last) {
    const int32_t parameters = static_cast<int32_t>(dataSet.parameters.size());
    for (int32_t event = first; event <= last; ++event) {
        for (int32_t p = 0; p < parameters; ++p) {
            dataSet.FormatValue(event, p);
        }
    }
}

}  // namespace

OpenMeasurement MeasureOpen(const std::string& path) {
    OpenMeasurement m;
    m.baseRssKb = ReadStatusKb("VmRSS");
    OpenedFile kept;
    if (!kept.Open(path)) {
        return m;
    }
    m.peakRssKb = ReadStatusKb("VmHWM");
    DataSet& dataSet = kept.Data();
    m.eventCount = dataSet.eventCount;

    std::vector<double> parses;
    for (int run = 0; run < kParseRuns; ++run) {
        const Clock::time_point start = Clock::now();
        OpenedFile again;
        if (!again.Open(path)) {
            return m;
        }
        parses.push_back(MicrosecondsSince(start) / 1000.0);
    }
    std::nth_element(parses.begin(), parses.begin() + kParseRuns / 2, parses.end());
    m.parseMs = parses[kParseRuns / 2];

    const int32_t count = dataSet.eventCount;
    if (count <= 0) {
        return m;
    }
    const int32_t rows = std::min(kScreenRows, count);
    const int32_t firsts[3] = {0, std::max(0, count / 2 - rows / 2), count - rows};
    for (int32_t first : firsts) {  // warm-up: every position once, untimed
        dataSet.FillCache(first, first + rows - 1);
        FormatScreen(dataSet, first, first + rows - 1);
    }
    for (int i = 0; i < 3; ++i) {
        const int32_t first = firsts[i];
        const int32_t last = first + rows - 1;
        Clock::time_point start = Clock::now();
        for (int run = 0; run < kScreenRuns; ++run) {
            dataSet.FillCache(first, last);
        }
        m.fillUs[i] = MicrosecondsSince(start) / kScreenRuns;
        start = Clock::now();
        for (int run = 0; run < kScreenRuns; ++run) {
            dataSet.FillCache(first, last);
            FormatScreen(dataSet, first, last);
        }
        m.screenUs[i] = MicrosecondsSince(start) / kScreenRuns;
    }

    dataSet.FillCache(0, rows - 1);
    const Clock::time_point start = Clock::now();
    for (int round = 0; round < kFormatRounds; ++round) {
        FormatScreen(dataSet, 0, rows - 1);
    }
    const double seconds = MicrosecondsSince(start) / 1e6;
    const double cells =
        static_cast<double>(kFormatRounds) * rows * static_cast<double>(dataSet.parameters.size());
    m.cellsPerSecond = seconds > 0 ? cells / seconds : 0;
    m.ok = true;
    return m;
}

std::string FormatMeasurement(const OpenMeasurement& m) {
    std::ostringstream line;
    line.precision(17);
    line << (m.ok ? 1 : 0) << ' ' << m.eventCount << ' ' << m.parseMs << ' ' << m.baseRssKb << ' '
         << m.peakRssKb;
    for (double f : m.fillUs) {
        line << ' ' << f;
    }
    for (double s : m.screenUs) {
        line << ' ' << s;
    }
    line << ' ' << m.cellsPerSecond;
    return line.str();
}

bool ParseMeasurement(const std::string& text, OpenMeasurement& m) {
    std::istringstream line(text);
    int ok = 0;
    line >> ok >> m.eventCount >> m.parseMs >> m.baseRssKb >> m.peakRssKb;
    for (double& f : m.fillUs) {
        line >> f;
    }
    for (double& s : m.screenUs) {
        line >> s;
    }
    line >> m.cellsPerSecond;
    m.ok = ok == 1 && !line.fail();
    return m.ok;
}
