// Parses ketterlin-dump's options. Other tests drive the inspector by these names.
#include "DumpCommandLine.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "Axis.h"

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

// A finite decimal number and nothing else.
bool ParseReal(const std::string& text, double& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

// Numbers separated by one character, as many as values has.
bool ParseReals(const std::string& text, char separator, std::vector<double*> values) {
    size_t start = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const size_t end = i + 1 < values.size() ? text.find(separator, start) : text.size();
        if (end == std::string::npos || !ParseReal(text.substr(start, end - start), *values[i])) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

std::string DumpUsageText() {
    return "Usage: ketterlin-dump [--json | --csv | --tsv | --check] [--events FIRST:COUNT]\n"
           "                      [--dataset N] [--debug] FILE...\n"
           "       ketterlin-dump [--json] (--histogram P | --density P,Q)... [--bins K]\n"
           "                      [--scale S] [--range LO:HI] [...] FILE\n"
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
           "Counts of every event of one data set (of --events FIRST:COUNT when given), all\n"
           "in one pass over the file; text, or one JSON document per count with --json:\n"
           "  --histogram P         a histogram of parameter P, a $PnN name or a number\n"
           "                        counted from 1 (repeatable)\n"
           "                          ketterlin-dump --histogram FSC-A --histogram 3 run1.fcs\n"
           "  --density P,Q         a density map of P across and Q up (repeatable)\n"
           "                          ketterlin-dump --json --density FSC-A,SSC-A run1.fcs\n"
           "  --bins K              bins of each axis, 1 to 65536 (default 256)\n"
           "  --scale S             linear, log, logicle or asinh, for every axis\n"
           "  --range LO:HI         the range of every axis; LO counts, HI is above\n"
           "  --logicle T,W,M,A     logicle's parameters (default T the range's top, 0.5,\n"
           "                        4.5, 0)\n"
           "  --cofactor C          asinh's cofactor (default 150; 5 suits mass cytometry)\n"
           "  --xscale S, --yscale S, --xrange LO:HI, --yrange LO:HI\n"
           "                        the same for the across and up axes of densities\n"
           "                          ketterlin-dump --density 1,2 --xscale linear --yscale log\n"
           "                              --yrange 1:262144 --bins 1024 run1.fcs\n"
           "Without a scale or range an axis takes the parameter's default: the range 0 to\n"
           "$PnR (else the data's own), or what the display hint $PnD says; the scale of\n"
           "$PnD, else linear for FSC*, SSC* and Time* and log-amplified integers, else\n"
           "logicle.\n"
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
           "message says what was tried and why it failed) or the arguments or counts asked\n"
           "for are wrong, 3 an export or counts stopped early because the file ends inside\n"
           "its DATA segment or a read failed, 4 the output cannot be written.\n"
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
                    return fail(
                        "--dataset needs 1 or 2: data sets are counted from 1, and a "
                        "file shows at most two");
                }
                parsed.dataSet = static_cast<int>(number);
                dataSetGiven = true;
            } else if (takes("--histogram")) {
                std::string text;
                if (!value("--histogram", text) || text.empty()) {
                    return fail("--histogram needs a parameter: its $PnN name or its number");
                }
                parsed.counts.histograms.push_back(text);
            } else if (takes("--density")) {
                std::string text;
                const size_t comma = value("--density", text) ? text.find(',') : std::string::npos;
                if (comma == std::string::npos || comma == 0 || comma + 1 == text.size()) {
                    return fail("--density needs P,Q: the parameters across and up");
                }
                parsed.counts.densities.emplace_back(text.substr(0, comma), text.substr(comma + 1));
            } else if (takes("--bins")) {
                std::string text;
                long long number = 0;
                if (!value("--bins", text) || !ParseCount(text, number)) {
                    return fail("--bins needs a whole number");
                }
                if (number < 1 || number > kMaxBins) {
                    AxisProblem problem;
                    problem.kind = AxisProblemKind::kBins;
                    return fail(AxisProblemText(problem));
                }
                parsed.counts.bins = static_cast<int32_t>(number);
            } else if (takes("--scale") || takes("--xscale") || takes("--yscale")) {
                const std::string option = arg.substr(0, arg.find('='));
                AxisOptions& axis = option == "--scale"    ? parsed.counts.every
                                    : option == "--xscale" ? parsed.counts.across
                                                           : parsed.counts.up;
                std::string text;
                if (!value(option, text) || !ScaleFromName(text, axis.scale)) {
                    return fail(option + " needs linear, log, logicle or asinh");
                }
                axis.scaleGiven = true;
            } else if (takes("--range") || takes("--xrange") || takes("--yrange")) {
                const std::string option = arg.substr(0, arg.find('='));
                AxisOptions& axis = option == "--range"    ? parsed.counts.every
                                    : option == "--xrange" ? parsed.counts.across
                                                           : parsed.counts.up;
                std::string text;
                if (!value(option, text) || !ParseReals(text, ':', {&axis.low, &axis.high})) {
                    return fail(option + " needs LO:HI, two numbers");
                }
                axis.rangeGiven = true;
            } else if (takes("--logicle")) {
                std::string text;
                LogicleParameters& p = parsed.counts.logicle;
                if (!value("--logicle", text) || !ParseReals(text, ',', {&p.t, &p.w, &p.m, &p.a})) {
                    return fail("--logicle needs T,W,M,A, four numbers");
                }
                parsed.counts.logicleGiven = true;
            } else if (takes("--cofactor")) {
                std::string text;
                if (!value("--cofactor", text) || !ParseReal(text, parsed.counts.cofactor)) {
                    return fail("--cofactor needs a number");
                }
                parsed.counts.cofactorGiven = true;
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
    const CountOptions& counts = parsed.counts;
    const bool axisOptions = counts.bins != 256 || counts.every.scaleGiven ||
                             counts.every.rangeGiven || counts.logicleGiven || counts.cofactorGiven;
    const bool densityOptions = counts.across.scaleGiven || counts.across.rangeGiven ||
                                counts.up.scaleGiven || counts.up.rangeGiven;
    if (counts.Any() && (exporting || parsed.output == DumpOutput::kCheck)) {
        return fail("--histogram and --density do not go with --csv, --tsv or --check");
    }
    if (counts.Any() && parsed.paths.size() > 1) {
        return fail("--histogram and --density count the events of one FILE");
    }
    if (axisOptions && !counts.Any()) {
        return fail(
            "--bins, --scale, --range, --logicle and --cofactor go with --histogram "
            "or --density");
    }
    if (densityOptions && counts.densities.empty()) {
        return fail("--xscale, --yscale, --xrange and --yrange go with --density");
    }
    if (parsed.paths.size() > 1 && parsed.output != DumpOutput::kJson &&
        parsed.output != DumpOutput::kCheck) {
        return fail("only one FILE can be inspected without --json or --check");
    }
    if (dataSetGiven && !exporting && !counts.Any()) {
        return fail("--dataset goes with --csv, --tsv, --histogram or --density");
    }
    if (parsed.eventsGiven && parsed.output == DumpOutput::kCheck) {
        return fail("--events does not go with --check");
    }
    parsed.command = DumpCommand::kInspect;
    return parsed;
}
