// Texts of the plot window, built here so that they are tested without a window.
#include "PlotTexts.h"

#include <cwctype>

#include "PlotCopyText.h"
#include "Utf8Sequence.h"

namespace {

std::wstring Number(uint64_t value) {
    return std::to_wstring(value);
}

std::wstring Number(int64_t value) {
    return std::to_wstring(value);
}

std::wstring SidesOf(const CountingResult& result) {
    if (!result.densities.empty()) {
        const Density& density = result.densities.front();
        return Number(density.outside) + L" outside the range, " + Number(density.invalid) +
               L" invalid";
    }
    if (!result.histograms.empty()) {
        const Histogram& histogram = result.histograms.front();
        return Number(histogram.below) + L" below the range, " + Number(histogram.above) +
               L" above, " + Number(histogram.invalid) + L" invalid";
    }
    return std::wstring();
}

bool KeywordIs(const std::wstring& name, const std::wstring& wanted) {
    if (name.size() != wanted.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::towupper(name[i]) != std::towupper(wanted[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::wstring FromUtf8(const std::string& text) {
    constexpr wchar_t kReplacement = 0xFFFD;
    std::wstring wide;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const size_t length = ReadUtf8Sequence(bytes + i, text.size() - i, c);
        if (length == 0) {
            wide += kReplacement;
            ++i;
            continue;
        }
        i += length;
        if (c > 0xFFFF) {  // a surrogate pair in UTF-16
            c -= 0x10000;
            wide += static_cast<wchar_t>(0xD800 + (c >> 10));
            wide += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(c);
        }
    }
    return wide;
}

const wchar_t* ScaleChoiceText(ScaleKind kind) {
    switch (kind) {
        case ScaleKind::kLinear:
            return L"Linear";
        case ScaleKind::kLog:
            return L"Log";
        case ScaleKind::kLogicle:
            return L"Logicle";
        case ScaleKind::kAsinh:
            return L"Asinh";
    }
    return L"";
}

std::wstring ParameterName(const DataSet& dataSet, int32_t parameter) {
    const std::wstring& name = dataSet.parameters[static_cast<size_t>(parameter)].name;
    return name.empty() ? L"P" + std::to_wstring(parameter + 1) : name;
}

std::wstring ParameterTitle(const DataSet& dataSet, int32_t parameter) {
    const std::wstring labelKeyword = L"$P" + std::to_wstring(parameter + 1) + L"S";
    for (const Keyword& keyword : dataSet.keywords) {
        if (KeywordIs(keyword.name, labelKeyword) && !keyword.value.empty() &&
            keyword.value != ParameterName(dataSet, parameter)) {
            return ParameterName(dataSet, parameter) + L" (" + keyword.value + L")";
        }
    }
    return ParameterName(dataSet, parameter);
}

std::wstring ScaleText(const ScaleSpec& scale) {
    std::wstring text;
    for (const char* c = ScaleName(scale.kind); *c != '\0'; ++c) {
        text += static_cast<wchar_t>(*c);
    }
    switch (scale.kind) {
        case ScaleKind::kLogicle:
            text += L" T=" + ShortestDoubleText(scale.logicle.t) + L" W=" +
                    ShortestDoubleText(scale.logicle.w) + L" M=" +
                    ShortestDoubleText(scale.logicle.m) + L" A=" +
                    ShortestDoubleText(scale.logicle.a);
            break;
        case ScaleKind::kAsinh:
            text += L" C=" + ShortestDoubleText(scale.cofactor);
            break;
        default:
            break;
    }
    return text;
}

std::wstring CountingStatus(int64_t done, int64_t asked) {
    return L"Counting: " + Number(done) + L" of " + Number(asked) + L" events";
}

std::wstring FinalStatus(const CountingOutcome& outcome,
                         const CountingResult& result,
                         const std::wstring& readError) {
    const std::wstring counted = Number(outcome.eventsCounted);
    switch (outcome.state) {
        case CountingState::kComplete:
            if (outcome.eventsAsked == 0) {
                return L"No events to count: the data set has none";
            }
            return L"Counted " + counted + L" events: " + SidesOf(result);
        case CountingState::kFileEnded:
            return L"The file ends inside its DATA segment: counted its " + counted +
                   L" complete events of " + Number(outcome.eventsAsked) + L": " + SidesOf(result);
        case CountingState::kReadFailed:
            return L"A read failed after " + counted + L" of " + Number(outcome.eventsAsked) +
                   L" events (" + readError + L"): " + SidesOf(result);
        case CountingState::kTooWide:
            return L"Nothing counted: the events are wider than the viewer reads";
        case CountingState::kCancelled:
            return L"Counting cancelled after " + counted + L" events";
        case CountingState::kReady:
        case CountingState::kRunning:
            break;
    }
    return CountingStatus(outcome.eventsCounted, outcome.eventsAsked);
}
