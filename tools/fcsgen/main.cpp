// ketterlin-fcsgen: writes valid FCS and LMD sample files of any size for tests, benchmarks
// and demos.
#include <cstdio>
#include <string>
#include <vector>

#include "FcsWriter.h"
#include "GenCommandLine.h"

namespace {
constexpr int kExitWritten = 0;
constexpr int kExitWriteFailed = 1;
constexpr int kExitBadArguments = 2;
}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedGenCommandLine parsed = ParseGenCommandLine(args);
    switch (parsed.command) {
        case GenCommand::kHelp:
            std::fputs(GenUsageText().c_str(), stdout);
            return kExitWritten;
        case GenCommand::kError:
            std::fprintf(stderr, "ketterlin-fcsgen: %s\n%s", parsed.error.c_str(),
                         "Try ketterlin-fcsgen --help.\n");
            return kExitBadArguments;
        case GenCommand::kWrite:
            break;
    }
    std::string error;
    if (WriteFcsFile(parsed.options, error) != 0) {
        std::fprintf(stderr, "ketterlin-fcsgen: %s\n", error.c_str());
        return kExitWriteFailed;
    }
    return kExitWritten;
}
