// Parses the generator's options into GenOptions. Other tools and tests call the generator
// by these option names, so they only ever grow.
#include "GenCommandLine.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <set>

namespace {

const std::vector<std::string> kDefaultNames = {"FSC-A", "SSC-A", "FL1-A"};
constexpr int kDefaultParameters = 3;

bool ParseInteger(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-')) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

bool ParseUnsigned(const std::string& text, unsigned long long& value) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> names;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        names.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) {
            return names;
        }
        start = comma + 1;
    }
}

// An empty value or one that starts with the delimiter cannot be written into a TEXT segment:
// the doubled delimiter would read as an escape or as an empty item.
bool IsWritableValue(const std::string& value) {
    return !value.empty() && value[0] != '/';
}

}  // namespace

std::string GenUsageText() {
    return "Usage: ketterlin-fcsgen --out FILE [options]\n"
           "Writes a valid FCS data file (or a two-data-set LMD file) for tests and demos.\n"
           "\n"
           "  --out FILE                 file to write (required)\n"
           "  --version 2.0|3.0|3.1|3.2  FCS version (default 3.1); 3.2 files leave out the\n"
           "                             keywords 3.2 made optional ($BEGINANALYSIS,\n"
           "                             $ENDANALYSIS, $BEGINSTEXT, $ENDSTEXT, $MODE)\n"
           "  --datatype I|F|D           integer, single or double fields (default F)\n"
           "  --bits 8|16|24|32|40|48|56|64  field width; F needs 32, D needs 64\n"
           "                             (default 32, or 64 with --datatype D)\n"
           "  --types I,F,D,...          with --version 3.2: each parameter's own data type,\n"
           "                             written as $PnDATATYPE (F 32 bits, D 64, I --bits);\n"
           "                             gives the number of parameters\n"
           "  --int-base N               added to every integer of the index pattern, to\n"
           "                             make values above 2^32 (default 0)\n"
           "  --keyword NAME=VALUE       one more keyword, written as given (UTF-8 from the\n"
           "                             command line stays UTF-8); may be repeated\n"
           "  --sparse                   write only every 1048576th event and the last; the\n"
           "                             rest of DATA is a hole that reads as zeros, so files\n"
           "                             of billions of events take no room (--events up to\n"
           "                             10^12)\n"
           "  --byteorder little|big     byte order of every field (default little)\n"
           "  --byteord TEXT             write TEXT as $BYTEORD instead of the usual order\n"
           "                             (1,2,3,4 / 4,3,2,1; eight entries for D); the bytes\n"
           "                             still follow --byteorder\n"
           "  --params N                 number of parameters (default 3, or the count of\n"
           "                             --names)\n"
           "  --names A,B,C              parameter names (default FSC-A,SSC-A,FL1-A, then P4,\n"
           "                             P5, ...)\n"
           "  --events N                 number of events (default 100)\n"
           "  --pattern index|random     how values are made (default index)\n"
           "  --seed N                   seed of the random pattern (default 1)\n"
           "  --lmd                      two data sets: FCS2.0 16-bit little-endian integers\n"
           "                             ($BYTEORD 1,2), then FCS3.0 with the chosen type;\n"
           "                             the first one's $NEXTDATA points at the second\n"
           "  --help                     this text\n"
           "\n"
           "Index pattern, for event e and parameter p (both counted from 0):\n"
           "  I: (N + e * 10 + p) modulo 2^bits, N from --int-base\n"
           "  F: e + p * 0.1 in double precision, rounded to single precision\n"
           "  D: e + p * 0.1 in double precision (0.30000000000000004 for e 0, p 3)\n"
           "  (the first data set of --lmd uses the I formula with 16 bits)\n"
           "Random pattern: a hash of seed, e and p; I fills all bits, F and D lie in\n"
           "  [0, 262144).\n";
}

ParsedGenCommandLine ParseGenCommandLine(const std::vector<std::string>& args) {
    ParsedGenCommandLine parsed;
    GenOptions& options = parsed.options;
    DataSetRecipe& recipe = options.dataSet;
    bool bitsGiven = false;
    long long parameters = -1;
    std::vector<std::string> names;
    bool namesGiven = false;

    auto fail = [&parsed](const std::string& message) {
        parsed.command = GenCommand::kError;
        parsed.error = message;
        return parsed;
    };

    for (size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::string value;
        bool hasValue = false;
        const size_t equals = option.find('=');
        if (option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.resize(equals);
            hasValue = true;
        }
        auto takeValue = [&]() {
            if (!hasValue && i + 1 < args.size()) {
                value = args[++i];
                hasValue = true;
            }
            return hasValue;
        };

        if (option == "--help" || option == "-h") {
            parsed.command = GenCommand::kHelp;
            return parsed;
        }
        if (option == "--lmd") {
            options.lmd = true;
            continue;
        }
        if (option == "--sparse") {
            recipe.sparse = true;
            continue;
        }
        static const std::set<std::string> kValued = {
            "--out",     "--version", "--datatype", "--bits",   "--byteorder",
            "--byteord", "--params",  "--events",   "--seed",   "--names",
            "--pattern", "--types",   "--int-base", "--keyword"};
        if (kValued.count(option) == 0) {
            return fail("unknown option " + option);
        }
        if (!takeValue()) {
            return fail(option + " needs a value");
        }

        long long number = 0;
        if (option == "--out") {
            if (value.empty()) {
                return fail("--out needs a file name");
            }
            options.outPath = value;
        } else if (option == "--version") {
            if (value == "2.0") {
                recipe.versionMajor = 2;
                recipe.versionMinor = 0;
            } else if (value == "3.0") {
                recipe.versionMajor = 3;
                recipe.versionMinor = 0;
            } else if (value == "3.1") {
                recipe.versionMajor = 3;
                recipe.versionMinor = 1;
            } else if (value == "3.2") {
                recipe.versionMajor = 3;
                recipe.versionMinor = 2;
            } else {
                return fail("--version must be 2.0, 3.0, 3.1 or 3.2");
            }
        } else if (option == "--datatype") {
            if (value != "I" && value != "F" && value != "D") {
                return fail("--datatype must be I, F or D");
            }
            recipe.dataType = value[0];
        } else if (option == "--bits") {
            if (!ParseInteger(value, 8, 64, number) || number % 8 != 0) {
                return fail("--bits must be 8, 16, 24, 32, 40, 48, 56 or 64");
            }
            recipe.bits = static_cast<int>(number);
            bitsGiven = true;
        } else if (option == "--byteorder") {
            if (value != "little" && value != "big") {
                return fail("--byteorder must be little or big");
            }
            recipe.bigEndian = value == "big";
        } else if (option == "--byteord") {
            if (!IsWritableValue(value)) {
                return fail("--byteord needs a value that does not start with /");
            }
            recipe.byteOrderText = value;
        } else if (option == "--params") {
            if (!ParseInteger(value, 1, kMaxParameters, number)) {
                return fail("--params must be a number from 1 to " +
                            std::to_string(kMaxParameters));
            }
            parameters = number;
        } else if (option == "--events") {
            if (!ParseInteger(value, 0, kMaxSparseEvents, number)) {
                return fail("--events must be a number from 0 to " + std::to_string(kMaxEvents) +
                            " (" + std::to_string(kMaxSparseEvents) + " with --sparse)");
            }
            recipe.events = number;
        } else if (option == "--seed") {
            unsigned long long seed = 0;
            if (!ParseUnsigned(value, seed)) {
                return fail("--seed must be a non-negative number");
            }
            recipe.seed = seed;
        } else if (option == "--names") {
            names = SplitNames(value);
            namesGiven = true;
            for (const std::string& name : names) {
                if (!IsWritableValue(name)) {
                    return fail("--names: a name must not be empty or start with /");
                }
            }
        } else if (option == "--types") {
            recipe.columnTypes.clear();
            for (const std::string& type : SplitNames(value)) {
                if (type != "I" && type != "F" && type != "D") {
                    return fail("--types takes I, F or D for each parameter");
                }
                recipe.columnTypes.push_back(type[0]);
            }
        } else if (option == "--int-base") {
            unsigned long long base = 0;
            if (!ParseUnsigned(value, base)) {
                return fail("--int-base must be a non-negative number");
            }
            recipe.integerBase = base;
        } else if (option == "--keyword") {
            const size_t sign = value.find('=');
            if (sign == std::string::npos || sign == 0 || !IsWritableValue(value.substr(0, sign)) ||
                !IsWritableValue(value.substr(sign + 1))) {
                return fail("--keyword needs NAME=VALUE, neither empty nor starting with /");
            }
            recipe.extraKeywords.emplace_back(value.substr(0, sign), value.substr(sign + 1));
        } else if (option == "--pattern") {
            if (value != "index" && value != "random") {
                return fail("--pattern must be index or random");
            }
            recipe.pattern = value == "index" ? ValuePattern::kIndex : ValuePattern::kRandom;
        }
    }

    if (options.outPath.empty()) {
        return fail("--out FILE is required");
    }
    if (!bitsGiven) {
        recipe.bits = recipe.dataType == 'D' ? 64 : 32;
    }
    // With --types the widths of F and D columns follow their type and --bits is the width of
    // the I columns.
    if (recipe.columnTypes.empty() && recipe.dataType == 'F' && recipe.bits != 32) {
        return fail("--datatype F needs --bits 32");
    }
    if (recipe.columnTypes.empty() && recipe.dataType == 'D' && recipe.bits != 64) {
        return fail("--datatype D needs --bits 64");
    }
    if (recipe.events > kMaxEvents && !recipe.sparse) {
        return fail("--events must be a number from 0 to " + std::to_string(kMaxEvents) + " (" +
                    std::to_string(kMaxSparseEvents) + " with --sparse)");
    }
    if (!recipe.columnTypes.empty()) {
        if (recipe.versionMajor != 3 || recipe.versionMinor < 2 || options.lmd) {
            return fail("--types needs --version 3.2 (and no --lmd)");
        }
        if (parameters >= 0 && parameters != static_cast<long long>(recipe.columnTypes.size())) {
            return fail("--types gives a type for each of --params");
        }
        parameters = static_cast<long long>(recipe.columnTypes.size());
    }
    if (!namesGiven) {
        names = kDefaultNames;
    }
    if (parameters < 0) {
        parameters = namesGiven ? static_cast<long long>(names.size()) : kDefaultParameters;
    }
    if (static_cast<long long>(names.size()) > parameters) {
        if (namesGiven) {
            return fail("--names gives more names than --params");
        }
        names.resize(static_cast<size_t>(parameters));
    }
    for (long long n = static_cast<long long>(names.size()) + 1; n <= parameters; ++n) {
        names.push_back("P" + std::to_string(n));
    }
    recipe.names = names;
    parsed.command = GenCommand::kWrite;
    return parsed;
}
