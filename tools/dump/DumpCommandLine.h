// The inspector's command line: ketterlin-dump [--json|--csv|--tsv|--check] [--events FIRST:COUNT]
// [--dataset N] [--debug] FILE..., and the counts of one file's events: [--histogram P]...
// [--density P,Q]... with their axes' options.
#pragma once

#include <string>
#include <vector>

#include "AxisScale.h"
#include "FileInspector.h"

enum class DumpCommand { kInspect, kHelp, kError };

// What is written for the files: the readable report, one JSON document per file, the events
// of one data set as CSV or TSV, or only the warnings and errors.
enum class DumpOutput { kText, kJson, kCsv, kTsv, kCheck };

// What an axis's options say; unset parts come from the parameter's default axis.
struct AxisOptions {
    bool scaleGiven = false;
    ScaleKind scale = ScaleKind::kLinear;
    bool rangeGiven = false;
    double low = 0;
    double high = 0;
};

// Histograms and density maps asked for, parameters as given (a $PnN name or a number from 1).
struct CountOptions {
    std::vector<std::string> histograms;
    std::vector<std::pair<std::string, std::string>> densities;  // across, up
    int32_t bins = 256;
    AxisOptions every;   // --scale, --range
    AxisOptions across;  // --xscale, --xrange: a density's across axis
    AxisOptions up;      // --yscale, --yrange
    bool logicleGiven = false;
    LogicleParameters logicle;
    bool cofactorGiven = false;
    double cofactor = kDefaultCofactor;

    bool Any() const { return !histograms.empty() || !densities.empty(); }
};

struct ParsedDumpCommandLine {
    DumpCommand command = DumpCommand::kError;
    std::vector<std::string> paths;  // one, or several with kJson and kCheck
    DumpOutput output = DumpOutput::kText;
    bool debug = false;
    EventRange events;
    bool eventsGiven = false;  // without --events the export writes every event
    int dataSet = 1;           // which data set the export or the counts read, counted from 1
    CountOptions counts;
    std::string error;  // for kError
};

// args excludes the program name.
ParsedDumpCommandLine ParseDumpCommandLine(const std::vector<std::string>& args);
std::string DumpUsageText();
