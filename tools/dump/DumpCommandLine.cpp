// Parses ketterlin-dump's options. Other tests drive the inspector by these names.
#include "DumpCommandLine.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

bool ParseCount(const std::string& text, long long& value) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    // Any event a data set counts is reachable: numbers up to the largest 64-bit value.
    return errno == 0 && *end == '\0';
}

bool ParseEventRange(const std::string& text, EventRange& range) {
    const size_t colon = text.find(':');
    long long first = 0;
    long long count = 0;
    if (colon == std::string::npos || !ParseCount(text.substr(0, colon), first) ||
        !ParseCount(text.substr(colon + 1), count)) {
        return false;
    }
    range.first = first;
    range.count = count;
    return true;
}

}  // namespace

std::string DumpUsageText() {
    return "Usage: ketterlin-dump [--json | --csv | --tsv | --check] [--events FIRST:COUNT]\n"
           "                      [--dataset N] [--debug] FILE...\n"
           "Prints what the viewer shows for an FCS or LMD file: for each data set its segment\n"
           "rows, HEADER offsets, keywords in file order and warnings in order. Several FILEs\n"
           "can be given with --json and --check.\n"
           "\n"
           "  --json                one JSON document per FILE, one per line (JSON Lines), each\n"
           "                        naming its file under \"file\"\n"
           "                          ketterlin-dump --json a.fcs b.lmd > files.jsonl\n"
           "  --csv                 the events of one data set as comma-separated values: a\n"
           "                        line of parameter names, then one line per event\n"
           "                          ketterlin-dump --csv run1.fcs > run1.csv\n"
           "  --tsv                 the same with tabs between the cells\n"
           "                          ketterlin-dump --tsv --dataset 2 run1.lmd > second.tsv\n"
           "  --check               only the warnings and errors, one line each, for checks in\n"
           "                        pipelines\n"
           "                          ketterlin-dump --check *.fcs || echo 'files need a look'\n"
           "  --events FIRST:COUNT  COUNT events from event FIRST (counted from 0): the cell\n"
           "                        texts the viewer shows, or the events the export writes\n"
           "                        (default: none in reports, every event in exports)\n"
           "                          ketterlin-dump --json --events 0:50 run1.fcs\n"
           "  --dataset N           the data set --csv and --tsv write: 1 (the default) or 2,\n"
           "                        the second one of an LMD file\n"
           "                          ketterlin-dump --csv --dataset 2 run1.lmd\n"
           "  --debug               developer diagnostics of the reader on stderr\n"
           "                          ketterlin-dump --debug run1.fcs\n"
           "  --help                this text\n"
           "\n"
           "Exports: names are the parameters' $PnN (P<n> when a parameter has none), quoted\n"
           "as CSV does (\"a,b\" and \"say \"\"hi\"\"\") or escaped in TSV (\\t \\n \\r \\\\);\n"
           "integers in decimal, reals in the shortest text that reads back to the same\n"
           "float or double, every NaN as nan; a field that cannot be decoded is an empty\n"
           "cell. Lines end with LF.\n"
           "\n"
           "Exit status: 0 every data set was read (with --check: and nothing was found),\n"
           "1 \"Unknown format\" (with --check: a warning or an error), 2 a file cannot be\n"
           "opened or positioned at a data set (where the viewer shows its error box; the\n"
           "message says what was tried and why it failed) or the arguments are wrong, 3 an export stopped early because the file ends inside its DATA segment or\n"
           "a read failed, 4 the output cannot be written.\n"
           "With several FILEs the status is the highest of theirs.\n";
}

ParsedDumpCommandLine ParseDumpCommandLine(const std::vector<std::string>& args) {
    ParsedDumpCommandLine parsed;
    auto fail = [&parsed](const std::string& message) {
        parsed.command = DumpCommand::kError;
        parsed.error = message;
        return parsed;
    };
    bool optionsEnded = false;
    bool outputGiven = false;
    bool dataSetGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            // An option's value follows it or is joined to it with '='.
            auto value = [&](const std::string& option, std::string& text) {
                if (arg == option) {
                    if (i + 1 >= args.size()) {
                        return false;
                    }
                    text = args[++i];
                } else {
                    text = arg.substr(option.size() + 1);
                }
                return true;
            };
            auto takes = [&arg](const std::string& option) {
                return arg == option || arg.rfind(option + "=", 0) == 0;
            };
            auto setOutput = [&](DumpOutput output) {
                if (outputGiven && parsed.output != output) {
                    return false;
                }
                outputGiven = true;
                parsed.output = output;
                return true;
            };
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--help" || arg == "-h") {
                parsed.command = DumpCommand::kHelp;
                return parsed;
            } else if (arg == "--json" || arg == "--csv" || arg == "--tsv" || arg == "--check") {
                const DumpOutput output = arg == "--json"  ? DumpOutput::kJson
                                          : arg == "--csv" ? DumpOutput::kCsv
                                          : arg == "--tsv" ? DumpOutput::kTsv
                                                           : DumpOutput::kCheck;
                if (!setOutput(output)) {
                    return fail("only one of --json, --csv, --tsv and --check can be given");
                }
            } else if (arg == "--debug") {
                parsed.debug = true;
            } else if (takes("--events")) {
                std::string text;
                if (!value("--events", text)) {
                    return fail("--events needs FIRST:COUNT");
                }
                if (!ParseEventRange(text, parsed.events)) {
                    return fail("--events needs FIRST:COUNT, two non-negative numbers, not " +
                                text);
                }
                parsed.eventsGiven = true;
            } else if (takes("--dataset")) {
                std::string text;
                long long number = 0;
                if (!value("--dataset", text) || !ParseCount(text, number) || number < 1 ||
                    number > kMaxDataSets) {
                    return fail("--dataset needs 1 or 2: data sets are counted from 1, and a "
                                "file shows at most two");
                }
                parsed.dataSet = static_cast<int>(number);
                dataSetGiven = true;
            } else {
                return fail("unknown option " + arg);
            }
            continue;
        }
        if (arg.empty()) {
            return fail("FILE must not be empty");
        }
        parsed.paths.push_back(arg);
    }
    if (parsed.paths.empty()) {
        return fail("no FILE given");
    }
    const bool exporting = parsed.output == DumpOutput::kCsv || parsed.output == DumpOutput::kTsv;
    if (parsed.paths.size() > 1 && parsed.output != DumpOutput::kJson &&
        parsed.output != DumpOutput::kCheck) {
        return fail("only one FILE can be inspected without --json or --check");
    }
    if (dataSetGiven && !exporting) {
        return fail("--dataset goes with --csv or --tsv");
    }
    if (parsed.eventsGiven && parsed.output == DumpOutput::kCheck) {
        return fail("--events does not go with --check");
    }
    parsed.command = DumpCommand::kInspect;
    return parsed;
}
