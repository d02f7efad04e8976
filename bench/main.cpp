// ketterlin-bench: writes files of 10^4, 10^6 and 10^7 events with the sample generator and
// measures what opening and scrolling them costs the reader. Each file is measured in a fresh
// process (this program run with --measure), so memory figures are those of one open file.
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FcsWriter.h"
#include "OpenMeasurement.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr double kMaxGrowthRatio = 2.0;     // opening may cost at most twice the smallest
constexpr long kMemoryNoiseKb = 256;        // differences below this are page-level noise
constexpr double kMaxParseNoiseMs = 0.5;    // parse times below this are timer-level noise
constexpr double kScreenTargetUs = 1000.0;  // one screen of cells ready in under 1 ms
constexpr unsigned long long kDiskReserve = 512ull << 20;  // leave this much free

struct BenchCase {
    char dataType;
    int parameters;
    int64_t events;
};

struct BenchRow {
    BenchCase c;
    bool measured = false;
    double fileMb = 0;
    double writeSeconds = 0;
    OpenMeasurement m;
};

// A folder of our own for the generated files; whatever is left in it goes with it.
class TempFolder {
public:
    explicit TempFolder(const std::string& parent) {
        std::string pattern = parent + "/ketterlin-bench-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) != nullptr) {
            path = buffer.data();
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        for (const std::string& file : files) {
            ::unlink(file.c_str());
        }
        if (!path.empty()) {
            ::rmdir(path.c_str());
        }
    }

    std::string NewFile(const std::string& name) {
        files.push_back(path + "/" + name);
        return files.back();
    }

    std::string path;

private:
    std::vector<std::string> files;
};

unsigned long long FreeBytes(const std::string& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) {
        return 0;
    }
    return static_cast<unsigned long long>(info.f_bavail) * info.f_frsize;
}

std::string SelfPath() {
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return {};
    }
    buffer[length] = '\0';
    return buffer;
}

// Runs this program with --measure in a child process and reads its one line of figures.
bool MeasureInChild(const std::string& self, const std::string& file, OpenMeasurement& m) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return false;
    }
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execl(self.c_str(), self.c_str(), "--measure", file.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::string output;
    char buffer[512];
    ssize_t got = 0;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<size_t>(got));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && ParseMeasurement(output, m);
}

std::string EventsLabel(int64_t events) {
    int power = 0;
    int64_t rest = events;
    while (rest >= 10 && rest % 10 == 0) {
        rest /= 10;
        ++power;
    }
    return rest == 1 ? "10^" + std::to_string(power) : std::to_string(events);
}

void PrintHeading() {
    std::printf("%-4s %4s %7s %9s %8s %9s %9s %9s %9s %9s %9s %9s %10s\n", "type", "par", "events",
                "file MB", "write s", "parse ms", "peak KB", "grow KB", "fill0 us", "fillM us",
                "fillE us", "screen us", "cells/s");
}

void PrintRow(const BenchRow& row) {
    const std::string type = row.c.dataType == 'I' ? "I32" : "F32";
    if (!row.measured) {
        std::printf("%-4s %4d %7s  not measured\n", type.c_str(), row.c.parameters,
                    EventsLabel(row.c.events).c_str());
        return;
    }
    const OpenMeasurement& m = row.m;
    double worstScreen = 0;
    for (double s : m.screenUs) {
        worstScreen = std::max(worstScreen, s);
    }
    std::printf("%-4s %4d %7s %9.1f %8.2f %9.3f %9ld %9ld %9.2f %9.2f %9.2f %9.2f %10.3g\n",
                type.c_str(), row.c.parameters, EventsLabel(row.c.events).c_str(), row.fileMb,
                row.writeSeconds, m.parseMs, m.peakRssKb, m.peakRssKb - m.baseRssKb, m.fillUs[0],
                m.fillUs[1], m.fillUs[2], worstScreen, m.cellsPerSecond);
    std::fflush(stdout);
}

// Opening must not grow with the file: compare the largest size measured with the smallest.
bool PrintVerdicts(const std::vector<BenchRow>& rows) {
    bool allMet = true;
    std::printf("\nTargets\n");
    for (const BenchRow& small : rows) {
        const BenchRow* large = nullptr;
        for (const BenchRow& other : rows) {
            if (other.measured && other.c.dataType == small.c.dataType &&
                other.c.parameters == small.c.parameters && other.c.events > small.c.events &&
                (large == nullptr || other.c.events > large->c.events)) {
                large = &other;
            }
        }
        if (!small.measured || large == nullptr || small.c.events != rows.front().c.events) {
            continue;
        }
        const double parseRatio = large->m.parseMs / std::max(small.m.parseMs, 1e-9);
        const bool parseMet =
            parseRatio <= kMaxGrowthRatio || large->m.parseMs - small.m.parseMs < kMaxParseNoiseMs;
        const long smallGrowth = small.m.peakRssKb - small.m.baseRssKb;
        const long largeGrowth = large->m.peakRssKb - large->m.baseRssKb;
        const bool memoryMet = largeGrowth <= kMaxGrowthRatio * std::max(smallGrowth, 1L) ||
                               largeGrowth - smallGrowth < kMemoryNoiseKb;
        std::printf(
            "  %c32 x %2d, %s vs %s events: parse %.3f vs %.3f ms (x%.2f) %s; "
            "memory growth %ld vs %ld KB %s\n",
            small.c.dataType, small.c.parameters, EventsLabel(large->c.events).c_str(),
            EventsLabel(small.c.events).c_str(), large->m.parseMs, small.m.parseMs, parseRatio,
            parseMet ? "met" : "MISSED", largeGrowth, smallGrowth, memoryMet ? "met" : "MISSED");
        allMet = allMet && parseMet && memoryMet;
    }
    double worstScreen = 0;
    for (const BenchRow& row : rows) {
        for (double s : row.m.screenUs) {
            worstScreen = row.measured ? std::max(worstScreen, s) : worstScreen;
        }
    }
    const bool screenMet = worstScreen < kScreenTargetUs;
    std::printf("  one screen (%d rows) filled and formatted: worst %.2f us of %.0f us %s\n",
                kScreenRows, worstScreen, kScreenTargetUs, screenMet ? "met" : "MISSED");
    return allMet && screenMet;
}

void PrintUsage(std::FILE* out) {
    std::fputs(
        "Usage: ketterlin-bench [--quick] [--dir FOLDER] [--strict]\n"
        "Writes files of 10^4, 10^6 and 10^7 events (8 and 32 parameters, F and I) into\n"
        "a temporary folder under FOLDER (default $TMPDIR or /tmp), measures opening\n"
        "and scrolling them, prints a table and deletes the files.\n"
        "  --quick   10^4 events only (a smoke run)\n"
        "  --strict  exit 1 when a target is missed\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--measure") {
        const OpenMeasurement m = MeasureOpen(args[1]);
        std::printf("%s\n", FormatMeasurement(m).c_str());
        return m.ok ? kExitOk : kExitFailed;
    }
    bool quick = false;
    bool strict = false;
    const char* tmp = std::getenv("TMPDIR");
    std::string parent = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--quick") {
            quick = true;
        } else if (args[i] == "--strict") {
            strict = true;
        } else if (args[i] == "--dir" && i + 1 < args.size()) {
            parent = args[++i];
        } else if (args[i] == "--help") {
            PrintUsage(stdout);
            return kExitOk;
        } else {
            std::fprintf(stderr, "ketterlin-bench: unknown argument %s\n", args[i].c_str());
            PrintUsage(stderr);
            return kExitUsage;
        }
    }

    const std::string self = SelfPath();
    TempFolder folder(parent);
    if (self.empty() || folder.path.empty()) {
        std::fprintf(stderr, "ketterlin-bench: cannot create a folder in %s: %s\n", parent.c_str(),
                     std::strerror(errno));
        return kExitFailed;
    }
    std::vector<int64_t> sizes = {10000};
    if (!quick) {
        sizes.push_back(1000000);
        sizes.push_back(10000000);
    }
    std::vector<BenchRow> rows;
    for (char type : {'F', 'I'}) {
        for (int parameters : {8, 32}) {
            for (int64_t events : sizes) {
                BenchRow row;
                row.c = BenchCase{type, parameters, events};
                rows.push_back(row);
            }
        }
    }

    std::printf("Files in %s; each measured in a fresh process.\n", folder.path.c_str());
    PrintHeading();
    bool failed = false;
    for (BenchRow& row : rows) {
        const unsigned long long bytes =
            static_cast<unsigned long long>(row.c.events) * row.c.parameters * 4;
        if (FreeBytes(folder.path) < bytes + kDiskReserve) {
            std::fprintf(stderr, "ketterlin-bench: not enough free disk for %llu bytes, skipped\n",
                         bytes);
            PrintRow(row);
            continue;
        }
        GenOptions options;
        options.outPath =
            folder.NewFile(std::string(1, row.c.dataType) + "-" + std::to_string(row.c.parameters) +
                           "-" + std::to_string(row.c.events) + ".fcs");
        options.dataSet.dataType = row.c.dataType;
        options.dataSet.bits = 32;
        options.dataSet.events = row.c.events;
        options.dataSet.pattern = ValuePattern::kRandom;
        options.dataSet.names.clear();
        for (int p = 1; p <= row.c.parameters; ++p) {
            options.dataSet.names.push_back("P" + std::to_string(p));
        }
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        if (WriteFcsFile(options, error) != 0) {
            std::fprintf(stderr, "ketterlin-bench: %s\n", error.c_str());
            failed = true;
            PrintRow(row);
            continue;
        }
        row.writeSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        row.fileMb = static_cast<double>(bytes) / 1e6;
        row.measured =
            MeasureInChild(self, options.outPath, row.m) && row.m.eventCount == row.c.events;
        failed = failed || !row.measured;
        ::unlink(options.outPath.c_str());
        PrintRow(row);
    }
    const bool targetsMet = PrintVerdicts(rows);
    if (failed) {
        std::fprintf(stderr, "ketterlin-bench: some files could not be written or measured\n");
        return kExitFailed;
    }
    return strict && !targetsMet ? kExitFailed : kExitOk;
}
