// The inspector's command line: ketterlin-dump [--json|--csv|--tsv|--check] [--events FIRST:COUNT]
// [--dataset N] [--debug] FILE...
#pragma once

#include <string>
#include <vector>

#include "FileInspector.h"

enum class DumpCommand { kInspect, kHelp, kError };

// What is written for the files: the readable report, one JSON document per file, the events
// of one data set as CSV or TSV, or only the warnings and errors.
enum class DumpOutput { kText, kJson, kCsv, kTsv, kCheck };

struct ParsedDumpCommandLine {
    DumpCommand command = DumpCommand::kError;
    std::vector<std::string> paths;  // one, or several with kJson and kCheck
    DumpOutput output = DumpOutput::kText;
    bool debug = false;
    EventRange events;
    bool eventsGiven = false;  // without --events the export writes every event
    int dataSet = 1;           // which data set the export writes, counted from 1
    std::string error;         // for kError
};

// args excludes the program name.
ParsedDumpCommandLine ParseDumpCommandLine(const std::vector<std::string>& args);
std::string DumpUsageText();
