// Parses ketterlin-dump's options. Other tests drive the inspector by these names.
#include "DumpCommandLine.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

constexpr long long kMaxEventIndex = 2147483647;

bool ParseCount(const std::string& text, long long& value) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value <= kMaxEventIndex;
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
    return "Usage: ketterlin-dump [--json] [--events FIRST:COUNT] [--debug] FILE\n"
           "Prints what the viewer shows for an FCS or LMD file: for each data set its segment\n"
           "rows, HEADER offsets, keywords in file order and warnings in order.\n"
           "\n"
           "  --json                one JSON document instead of text\n"
           "  --events FIRST:COUNT  also the cell texts of COUNT events from event FIRST\n"
           "                        (counted from 0), formatted as the viewer formats them\n"
           "  --debug               developer diagnostics of the reader on stderr\n"
           "  --help                this text\n"
           "\n"
           "Exit status: 0 every data set was read, 1 \"Unknown format\", 2 the file cannot\n"
           "be opened or positioned at a data set (the viewer's error box, printed as \"Error\"\n"
           "and the code) or the arguments are wrong.\n";
}

ParsedDumpCommandLine ParseDumpCommandLine(const std::vector<std::string>& args) {
    ParsedDumpCommandLine parsed;
    auto fail = [&parsed](const std::string& message) {
        parsed.command = DumpCommand::kError;
        parsed.error = message;
        return parsed;
    };
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--help" || arg == "-h") {
                parsed.command = DumpCommand::kHelp;
                return parsed;
            } else if (arg == "--json") {
                parsed.json = true;
            } else if (arg == "--debug") {
                parsed.debug = true;
            } else if (arg == "--events" || arg.rfind("--events=", 0) == 0) {
                std::string value;
                if (arg == "--events") {
                    if (i + 1 >= args.size()) {
                        return fail("--events needs FIRST:COUNT");
                    }
                    value = args[++i];
                } else {
                    value = arg.substr(arg.find('=') + 1);
                }
                if (!ParseEventRange(value, parsed.events)) {
                    return fail("--events needs FIRST:COUNT, two non-negative numbers, not " +
                                value);
                }
            } else {
                return fail("unknown option " + arg);
            }
            continue;
        }
        if (!parsed.path.empty()) {
            return fail("only one FILE can be inspected");
        }
        parsed.path = arg;
        if (parsed.path.empty()) {
            return fail("FILE must not be empty");
        }
    }
    if (parsed.path.empty()) {
        return fail("no FILE given");
    }
    parsed.command = DumpCommand::kInspect;
    return parsed;
}
