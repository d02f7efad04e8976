// The default axis of a parameter, from its keywords. Values of keywords are read as plain
// decimal numbers; a keyword that does not read cleanly is treated as absent.
#include "DefaultAxis.h"

#include <cmath>
#include <cstdlib>
#include <cwctype>
#include <limits>
#include <string>
#include <vector>

namespace {

bool SameName(const std::wstring& name, const std::wstring& wanted) {
    if (name.size() != wanted.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::towupper(static_cast<wint_t>(name[i])) !=
            std::towupper(static_cast<wint_t>(wanted[i]))) {
            return false;
        }
    }
    return true;
}

// The value of $P<n><letter>, n counted from 1; null when the data set has none.
const std::wstring* ParameterKeyword(const DataSet& dataSet, int32_t parameter, wchar_t letter) {
    const std::wstring wanted = L"$P" + std::to_wstring(parameter + 1) + letter;
    for (const Keyword& keyword : dataSet.keywords) {
        if (SameName(keyword.name, wanted)) {
            return &keyword.value;
        }
    }
    return nullptr;
}

// The comma-separated items of a value, blanks around them removed.
std::vector<std::wstring> Items(const std::wstring& value) {
    std::vector<std::wstring> items;
    size_t start = 0;
    for (;;) {
        const size_t comma = value.find(L',', start);
        std::wstring item = value.substr(start, comma - start);
        const size_t begin = item.find_first_not_of(L" \t");
        const size_t end = item.find_last_not_of(L" \t");
        items.push_back(begin == std::wstring::npos ? std::wstring()
                                                    : item.substr(begin, end - begin + 1));
        if (comma == std::wstring::npos) {
            return items;
        }
        start = comma + 1;
    }
}

// A finite decimal number and nothing else.
bool ReadNumber(const std::wstring& text, double& value) {
    std::string narrow;
    for (wchar_t c : text) {
        if (c > 0x7F) {
            return false;
        }
        narrow += static_cast<char>(c);
    }
    if (narrow.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(narrow.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

bool StartsWithName(const std::wstring& name, const std::wstring& prefix) {
    return name.size() >= prefix.size() && SameName(name.substr(0, prefix.size()), prefix);
}

bool IsScatterOrTime(const std::wstring& name) {
    return StartsWithName(name, L"FSC") || StartsWithName(name, L"SSC") ||
           StartsWithName(name, L"Time");
}

// Integer channels a log amplifier already made logarithmic: $PnE f1,f2 with f1 > 0.
bool IsLogAmplified(const DataSet& dataSet, int32_t parameter) {
    const std::wstring* amplification = ParameterKeyword(dataSet, parameter, L'E');
    if (dataSet.dataType != 'I' || amplification == nullptr) {
        return false;
    }
    const std::vector<std::wstring> items = Items(*amplification);
    double decades = 0;
    return !items.empty() && ReadNumber(items[0], decades) && decades > 0;
}

// The $PnD display hint, when it reads as one: its scale and range.
bool DisplayHint(const DataSet& dataSet, int32_t parameter, AxisSpec& spec) {
    const std::wstring* hint = ParameterKeyword(dataSet, parameter, L'D');
    if (hint == nullptr) {
        return false;
    }
    const std::vector<std::wstring> items = Items(*hint);
    double first = 0;
    double second = 0;
    if (items.size() != 3 || !ReadNumber(items[1], first) || !ReadNumber(items[2], second)) {
        return false;
    }
    if (SameName(items[0], L"Linear") && first < second) {
        spec.scale.kind = ScaleKind::kLinear;
        spec.low = first;
        spec.high = second;
        return true;
    }
    const double high = second * std::pow(10.0, first);
    if (SameName(items[0], L"Logarithmic") && first > 0 && second > 0 && std::isfinite(high)) {
        spec.scale.kind = ScaleKind::kLog;
        spec.low = second;
        spec.high = high;
        return true;
    }
    return false;
}

}  // namespace

AxisChoice DefaultAxis(const DataSet& dataSet, int32_t parameter, int32_t bins) {
    AxisChoice choice;
    choice.spec.bins = bins;
    if (DisplayHint(dataSet, parameter, choice.spec)) {
        return choice;
    }
    const std::wstring* range = ParameterKeyword(dataSet, parameter, L'R');
    double high = 0;
    if (range != nullptr && ReadNumber(*range, high) && high > 0) {
        choice.spec.low = 0;
        choice.spec.high = high;
    } else {
        choice.rangeFromData = true;
    }
    const std::wstring& name = dataSet.parameters[static_cast<size_t>(parameter)].name;
    choice.spec.scale.kind = IsScatterOrTime(name) || IsLogAmplified(dataSet, parameter)
                                 ? ScaleKind::kLinear
                                 : ScaleKind::kLogicle;
    return choice;
}

AxisSpec FitToData(const AxisSpec& spec, const ParameterExtent& extent) {
    AxisSpec fitted = spec;
    if (extent.finite == 0) {
        fitted.low = 0;
        fitted.high = 1;
    } else if (extent.lowest == extent.highest) {
        fitted.low = extent.lowest - 0.5;
        fitted.high = extent.highest + 0.5;
    } else {
        fitted.low = extent.lowest;
        fitted.high = std::nextafter(extent.highest, std::numeric_limits<double>::infinity());
    }
    return FitLogRange(fitted);
}

AxisSpec FitLogRange(const AxisSpec& spec) {
    AxisSpec fitted = spec;
    if (fitted.scale.kind == ScaleKind::kLog && fitted.low <= 0 && fitted.high > 0) {
        fitted.low = fitted.high / std::pow(10.0, kLogDefaultDecades);
    }
    return fitted;
}
