// ketterlin-dump: prints what the viewer shows for FCS and LMD files, as text or JSON Lines,
// checks files for warnings, and exports a data set's events as CSV or TSV, so the reader can
// be checked from scripts and its data used elsewhere.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DataSetChain.h"
#include "DumpCommandLine.h"
#include "DumpExitStatus.h"
#include "EventCounts.h"
#include "EventExport.h"
#include "FileInspector.h"
#include "PosixFileAccess.h"
#include "ReportPrinter.h"

namespace {

int ExitStatus(const DataSetChain& outcome) {
    switch (outcome.failure) {
        case DataSetChain::Failure::kNone:
            return kExitRead;
        case DataSetChain::Failure::kNotADataSet:
            return kExitUnknownFormat;
        case DataSetChain::Failure::kFileError:
            return kExitFileError;
    }
    return kExitUnknownFormat;
}

// Opens path into file; on failure tells why and returns false. --check lists the failure
// among its findings, on stdout; every other mode says it on stderr.
bool OpenDataFile(const std::string& path, DataFile& file, bool asFinding) {
    FileStatus status;
    std::unique_ptr<PosixFileAccess> access = PosixFileAccess::Open(path, status);
    if (!access) {
        const std::string text = FileStatusText(status);
        const char* why = text.c_str();
        if (asFinding) {
            std::fprintf(stdout, "%s: cannot open: %s\n", path.c_str(), why);
        } else {
            std::fprintf(stderr, "%s: cannot open %s: %s\n", kProgram, path.c_str(), why);
        }
        return false;
    }
    file.Open(std::move(access));
    return true;
}

void PrintDiagnostics(const WarningLog& log) {
    for (const std::string& line : log.diagnostics) {
        std::fputs(line.c_str(), stderr);
    }
}

int InspectOne(const ParsedDumpCommandLine& parsed, const std::string& path) {
    DataFile file;
    if (!OpenDataFile(path, file, parsed.output == DumpOutput::kCheck)) {
        return kExitFileError;
    }
    const EventRange events = parsed.output == DumpOutput::kCheck ? EventRange{} : parsed.events;
    const FileReport report = InspectFile(file, events, parsed.debug);
    switch (parsed.output) {
        case DumpOutput::kCheck:
            return PrintCheckReport(stdout, path, report)
                       ? std::max(kExitUnknownFormat, ExitStatus(report.outcome))
                       : kExitRead;
        case DumpOutput::kJson:
            PrintJsonReport(stdout, path, report);
            break;
        default:
            PrintTextReport(stdout, report);
            break;
    }
    if (report.outcome.Failed()) {
        std::fprintf(stderr, "%s: %s: %s\n", kProgram, path.c_str(),
                     OutcomeText(report.outcome).c_str());
    }
    return ExitStatus(report.outcome);
}

// Opens the one FILE, reads its data sets as the viewer does and runs work on the one --dataset
// names; the exit status is work's, or why there is no such data set.
template <typename Work>
int WithDataSet(const ParsedDumpCommandLine& parsed, Work work) {
    const std::string& path = parsed.paths.front();
    DataFile file;
    if (!OpenDataFile(path, file, false)) {
        return kExitFileError;
    }
    WarningLog logs[kMaxDataSets];
    DataSet first(file, logs[0]);
    DataSet second(file, logs[1]);
    SegmentTable segments;
    const DataSetChain chain = ReadDataSets(file, first, second, segments);
    if (parsed.debug) {
        PrintDiagnostics(logs[0]);
        PrintDiagnostics(logs[1]);
    }
    if (chain.count < parsed.dataSet) {
        if (chain.Failed()) {
            std::fprintf(stderr, "%s: %s: %s\n", kProgram, path.c_str(),
                         OutcomeText(chain).c_str());
            return ExitStatus(chain);
        }
        std::fprintf(stderr, "%s: %s has no data set %d\n", kProgram, path.c_str(), parsed.dataSet);
        return kExitUsage;
    }
    return work(parsed.dataSet == 1 ? first : second);
}

int WriteFailed() {
    std::fprintf(stderr, "%s: cannot write the output: %s\n", kProgram, std::strerror(errno));
    return kExitWriteFailed;
}

int Export(const ParsedDumpCommandLine& parsed, DataSet& dataSet) {
    const std::string& path = parsed.paths.front();
    const int64_t count = parsed.eventsGiven ? parsed.events.count : dataSet.eventCount;
    const int64_t from = parsed.eventsGiven ? parsed.events.first : 0;
    const ExportOutcome outcome = ExportEvents(
        dataSet, from, count,
        parsed.output == DumpOutput::kCsv ? ExportFormat::kCsv : ExportFormat::kTsv, stdout);
    if (outcome.writeFailed || std::fflush(stdout) != 0) {
        return WriteFailed();
    }
    if (!outcome.readError.Ok()) {
        const std::string why = outcome.readError.outcome == FileOutcome::kEndOfFile
                                    ? std::string(kEndsInsideData)
                                    : "reading events at offset " +
                                          std::to_string(outcome.readOffset) + ": " +
                                          FileStatusText(outcome.readError);
        std::fprintf(stderr, "%s: %s: %lld of %lld events written: %s\n", kProgram, path.c_str(),
                     static_cast<long long>(outcome.eventsWritten),
                     static_cast<long long>(outcome.eventsAsked), why.c_str());
        return kExitIncomplete;
    }
    return kExitRead;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedDumpCommandLine parsed = ParseDumpCommandLine(args);
    switch (parsed.command) {
        case DumpCommand::kHelp:
            std::fputs(DumpUsageText().c_str(), stdout);
            return kExitRead;
        case DumpCommand::kError:
            std::fprintf(stderr, "%s: %s\nTry %s --help.\n", kProgram, parsed.error.c_str(),
                         kProgram);
            return kExitUsage;
        case DumpCommand::kInspect:
            break;
    }
    if (parsed.output == DumpOutput::kCsv || parsed.output == DumpOutput::kTsv) {
        return WithDataSet(parsed, [&parsed](DataSet& dataSet) { return Export(parsed, dataSet); });
    }
    if (parsed.counts.Any()) {
        return WithDataSet(parsed, [&parsed](DataSet& dataSet) {
            const int status = PrintEventCounts(parsed, dataSet, parsed.paths.front(), stdout);
            return std::fflush(stdout) != 0 ? WriteFailed() : status;
        });
    }
    int worst = kExitRead;
    for (const std::string& path : parsed.paths) {
        worst = std::max(worst, InspectOne(parsed, path));
        if (std::fflush(stdout) != 0) {
            return WriteFailed();
        }
    }
    return worst;
}
