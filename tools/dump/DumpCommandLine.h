// The inspector's command line: ketterlin-dump [--json] [--events FIRST:COUNT] [--debug] FILE
#pragma once

#include <string>
#include <vector>

#include "FileInspector.h"

enum class DumpCommand { kInspect, kHelp, kError };

struct ParsedDumpCommandLine {
    DumpCommand command = DumpCommand::kError;
    std::string path;
    bool json = false;
    bool debug = false;
    EventRange events;
    std::string error;  // for kError
};

// args excludes the program name.
ParsedDumpCommandLine ParseDumpCommandLine(const std::vector<std::string>& args);
std::string DumpUsageText();
