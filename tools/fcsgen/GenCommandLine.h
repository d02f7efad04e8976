// The sample generator's command line.
#pragma once

#include <string>
#include <vector>

#include "GenOptions.h"

enum class GenCommand { kWrite, kHelp, kError };

struct ParsedGenCommandLine {
    GenCommand command = GenCommand::kError;
    GenOptions options;
    std::string error;  // for kError
};

// args excludes the program name.
ParsedGenCommandLine ParseGenCommandLine(const std::vector<std::string>& args);
std::string GenUsageText();
