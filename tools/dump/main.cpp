// ketterlin-dump: prints what the viewer shows for an FCS or LMD file, as text or JSON, so
// the reader can be checked from scripts and against real files.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DumpCommandLine.h"
#include "FileInspector.h"
#include "PosixFileAccess.h"
#include "ReportPrinter.h"

namespace {
constexpr int kExitRead = 0;
constexpr int kExitUnknownFormat = 1;
constexpr int kExitUsage = 2;
constexpr int kExitFileError = 2;  // the viewer's error box: cannot be opened or positioned

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

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedDumpCommandLine parsed = ParseDumpCommandLine(args);
    switch (parsed.command) {
        case DumpCommand::kHelp:
            std::fputs(DumpUsageText().c_str(), stdout);
            return kExitRead;
        case DumpCommand::kError:
            std::fprintf(stderr, "ketterlin-dump: %s\nTry ketterlin-dump --help.\n",
                         parsed.error.c_str());
            return kExitUsage;
        case DumpCommand::kInspect:
            break;
    }

    ErrorCode error = kErrorSuccess;
    std::unique_ptr<PosixFileAccess> access = PosixFileAccess::Open(parsed.path, error);
    if (!access) {
        std::fprintf(stderr, "ketterlin-dump: cannot open %s: %s\n", parsed.path.c_str(),
                     std::strerror(static_cast<int>(error)));
        return kExitFileError;
    }
    DataFile file;
    file.Open(std::move(access));
    const FileReport report = InspectFile(file, parsed.events, parsed.debug);
    if (parsed.json) {
        PrintJsonReport(stdout, report);
    } else {
        PrintTextReport(stdout, report);
    }
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "ketterlin-dump: cannot write the output: %s\n", std::strerror(errno));
        return kExitUsage;
    }
    if (report.outcome.Failed()) {
        std::fprintf(stderr, "ketterlin-dump: %s: %s\n", parsed.path.c_str(),
                     OutcomeText(report.outcome).c_str());
    }
    return ExitStatus(report.outcome);
}
