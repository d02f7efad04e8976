// Histograms and density maps for the command line. Requests are refused before any event is
// read; an axis whose range comes from the data needs the data's extent first, which a pass of
// its own finds. Every pass runs on this thread and, with two cores, one more.
#include "EventCounts.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <thread>
#include <vector>

#include "DefaultAxis.h"
#include "DumpExitStatus.h"
#include "EventCounting.h"
#include "EventExport.h"
#include "Utf8.h"

namespace {

constexpr unsigned kMaxLanes = 2;
constexpr size_t kTextFlushBytes = 1024 * 1024;
constexpr size_t kCountTextLength = 20;  // digits of the largest 64-bit count

// The parameter a command-line text names: a number counted from 1, else a $PnN name.
bool FindParameter(const DataSet& dataSet, const std::string& text, int32_t& parameter) {
    const size_t count = dataSet.parameters.size();
    int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size() && number >= 1 &&
        static_cast<uint64_t>(number) <= count) {
        parameter = static_cast<int32_t>(number - 1);
        return true;
    }
    for (size_t p = 0; p < count; ++p) {
        if (!dataSet.parameters[p].name.empty() && WideToUtf8(dataSet.parameters[p].name) == text) {
            parameter = static_cast<int32_t>(p);
            return true;
        }
    }
    return false;
}

// One axis of the call: its spec, and whether its range still waits for the data.
struct PlannedAxis {
    AxisSpec spec;
    bool fromData = false;
};

PlannedAxis PlanAxis(const DataSet& dataSet,
                     int32_t parameter,
                     const CountOptions& options,
                     const AxisOptions& own) {
    const AxisChoice choice = DefaultAxis(dataSet, parameter, options.bins);
    PlannedAxis planned{choice.spec, choice.rangeFromData};
    AxisSpec& spec = planned.spec;
    const AxisOptions& scale = own.scaleGiven ? own : options.every;
    if (scale.scaleGiven) {
        spec.scale.kind = scale.scale;
    }
    if (options.logicleGiven) {
        spec.scale.logicle = options.logicle;
    }
    if (options.cofactorGiven) {
        spec.scale.cofactor = options.cofactor;
    }
    const AxisOptions& range = own.rangeGiven ? own : options.every;
    if (range.rangeGiven) {
        spec.low = range.low;
        spec.high = range.high;
        planned.fromData = false;
    } else if (!planned.fromData) {
        spec = FitLogRange(spec);
    }
    return planned;
}

// Runs a pass on this thread and, where it pays, one more.
CountingOutcome RunPass(EventCounter& counter) {
    const unsigned lanes = std::min(std::max(std::thread::hardware_concurrency(), 1u), kMaxLanes);
    std::vector<std::thread> helpers;
    for (unsigned l = 1; l < lanes; ++l) {
        helpers.emplace_back([&counter] { counter.RunLane(); });
    }
    counter.RunLane();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    return counter.Outcome();
}

void AppendNumber(std::string& text, double value) {
    char digits[32];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void AppendNumber(std::string& text, uint64_t value) {
    char digits[24];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

struct NamedValue {
    const char* name;
    double value;
};

// The parameters a scale shows: logicle's T, W, M and A, asinh's cofactor.
std::vector<NamedValue> ScaleParameters(const ScaleSpec& scale) {
    switch (scale.kind) {
        case ScaleKind::kLogicle:
            return {{"T", scale.logicle.t},
                    {"W", scale.logicle.w},
                    {"M", scale.logicle.m},
                    {"A", scale.logicle.a}};
        case ScaleKind::kAsinh:
            return {{"cofactor", scale.cofactor}};
        case ScaleKind::kLinear:
        case ScaleKind::kLog:
            break;
    }
    return {};
}

// "logicle T=262144 W=0.5 M=4.5 A=0" and the like.
void AppendScaleText(std::string& text, const ScaleSpec& scale) {
    text += ScaleName(scale.kind);
    for (const NamedValue& parameter : ScaleParameters(scale)) {
        text += ' ';
        text += parameter.name;
        text += '=';
        AppendNumber(text, parameter.value);
    }
}

void AppendScaleJson(std::string& doc, const ScaleSpec& scale) {
    doc += "\"scale\":";
    AppendJsonString(doc, ScaleName(scale.kind));
    doc += ",\"scaleParameters\":{";
    bool first = true;
    for (const NamedValue& parameter : ScaleParameters(scale)) {
        if (!first) {
            doc += ',';
        }
        first = false;
        AppendJsonString(doc, parameter.name);
        doc += ':';
        AppendNumber(doc, parameter.value);
    }
    doc += '}';
}

template <typename Number>
void AppendJsonNumbers(std::string& doc,
                       const std::vector<Number>& numbers,
                       size_t first,
                       size_t count) {
    doc += '[';
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            doc += ',';
        }
        AppendNumber(doc, numbers[first + i]);
    }
    doc += ']';
}

// The parameter, number, scale, its parameters, range and edges of an axis, as JSON members.
void AppendAxisJson(std::string& doc, const DataSet& dataSet, int32_t parameter, const Axis& axis) {
    doc += "\"parameter\":";
    AppendJsonString(doc, ParameterName(dataSet.parameters[static_cast<size_t>(parameter)],
                                        static_cast<size_t>(parameter)));
    doc += ",\"number\":";
    AppendNumber(doc, static_cast<uint64_t>(parameter) + 1);
    doc += ',';
    AppendScaleJson(doc, axis.Spec().scale);
    doc += ",\"range\":[";
    AppendNumber(doc, axis.Spec().low);
    doc += ',';
    AppendNumber(doc, axis.Spec().high);
    doc += "],\"edges\":";
    AppendJsonNumbers(doc, axis.Edges(), 0, axis.Edges().size());
}

void AppendAxisText(std::string& text,
                    const DataSet& dataSet,
                    int32_t parameter,
                    const Axis& axis) {
    text += ParameterName(dataSet.parameters[static_cast<size_t>(parameter)],
                          static_cast<size_t>(parameter));
    text += " (parameter ";
    AppendNumber(text, static_cast<uint64_t>(parameter) + 1);
    text += "), ";
    AppendScaleText(text, axis.Spec().scale);
    text += ", range [";
    AppendNumber(text, axis.Spec().low);
    text += ", ";
    AppendNumber(text, axis.Spec().high);
    text += "), ";
    AppendNumber(text, static_cast<uint64_t>(axis.Bins()));
    text += " bins";
}

void AppendCount(std::string& text, const char* label, uint64_t count) {
    text += label;
    AppendNumber(text, count);
}

struct Printing {
    const DataSet& dataSet;
    std::string file;  // valid UTF-8
    int dataSetNumber;
    int64_t events;
    bool json;
    std::FILE* out;
};

// What every count's JSON document starts with: the file, the data set and the events counted.
void AppendJsonHead(std::string& doc, const Printing& p) {
    doc += "{\"file\":";
    AppendJsonString(doc, p.file);
    doc += ",\"dataset\":";
    AppendNumber(doc, static_cast<uint64_t>(p.dataSetNumber));
    doc += ",\"events\":";
    AppendNumber(doc, static_cast<uint64_t>(p.events));
}

void PrintHistogram(const Printing& p, const Histogram& h) {
    std::string doc;
    if (p.json) {
        AppendJsonHead(doc, p);
        doc += ',';
        AppendAxisJson(doc, p.dataSet, h.parameter, h.axis);
        doc += ",\"counts\":";
        AppendJsonNumbers(doc, h.counts, 0, h.counts.size());
        AppendCount(doc, ",\"below\":", h.below);
        AppendCount(doc, ",\"above\":", h.above);
        AppendCount(doc, ",\"invalid\":", h.invalid);
        doc += "}\n";
    } else {
        doc += "histogram of ";
        AppendAxisText(doc, p.dataSet, h.parameter, h.axis);
        AppendCount(doc, "; events ", static_cast<uint64_t>(p.events));
        AppendCount(doc, ", below ", h.below);
        AppendCount(doc, ", above ", h.above);
        AppendCount(doc, ", invalid ", h.invalid);
        doc += '\n';
        const std::vector<double>& edges = h.axis.Edges();
        for (size_t k = 0; k < h.counts.size(); ++k) {
            AppendNumber(doc, edges[k]);
            doc += '\t';
            AppendNumber(doc, edges[k + 1]);
            doc += '\t';
            AppendNumber(doc, h.counts[k]);
            doc += '\n';
        }
    }
    std::fwrite(doc.data(), 1, doc.size(), p.out);
}

// "LOWER\tUPPER\t" of each bin of an axis.
std::vector<std::string> BinEdgeTexts(const Axis& axis) {
    const std::vector<double>& edges = axis.Edges();
    std::vector<std::string> texts(static_cast<size_t>(axis.Bins()));
    for (size_t k = 0; k < texts.size(); ++k) {
        AppendNumber(texts[k], edges[k]);
        texts[k] += '\t';
        AppendNumber(texts[k], edges[k + 1]);
        texts[k] += '\t';
    }
    return texts;
}

void PrintDensity(const Printing& p, const Density& d) {
    const size_t across = static_cast<size_t>(d.x.Bins());
    const size_t up = static_cast<size_t>(d.y.Bins());
    std::string doc;
    if (p.json) {
        AppendJsonHead(doc, p);
        doc += ",\"x\":{";
        AppendAxisJson(doc, p.dataSet, d.xParameter, d.x);
        doc += "},\"y\":{";
        AppendAxisJson(doc, p.dataSet, d.yParameter, d.y);
        doc += "},\"counts\":[";
        for (size_t row = 0; row < up; ++row) {
            if (row > 0) {
                doc += ',';
            }
            AppendJsonNumbers(doc, d.counts, row * across, across);
        }
        doc += ']';
        AppendCount(doc, ",\"outside\":", d.outside);
        AppendCount(doc, ",\"invalid\":", d.invalid);
        doc += "}\n";
    } else {
        doc += "density of ";
        AppendAxisText(doc, p.dataSet, d.xParameter, d.x);
        doc += " across and ";
        AppendAxisText(doc, p.dataSet, d.yParameter, d.y);
        AppendCount(doc, " up; events ", static_cast<uint64_t>(p.events));
        AppendCount(doc, ", outside ", d.outside);
        AppendCount(doc, ", invalid ", d.invalid);
        doc += '\n';
        std::fwrite(doc.data(), 1, doc.size(), p.out);
        doc.clear();
        // A million lines: each bin's edges are made into text once, and the lines are put
        // together in a buffer by hand, which costs far less than appending to a string.
        const std::vector<std::string> xBins = BinEdgeTexts(d.x);
        const std::vector<std::string> yBins = BinEdgeTexts(d.y);
        const auto longestOf = [](const std::vector<std::string>& texts) {
            size_t length = 0;
            for (const std::string& text : texts) {
                length = std::max(length, text.size());
            }
            return length;
        };
        const size_t longest = longestOf(xBins) + longestOf(yBins) + kCountTextLength + 1;
        std::vector<char> lines(std::max(kTextFlushBytes, longest));
        char* at = lines.data();
        for (size_t row = 0; row < up; ++row) {
            for (size_t column = 0; column < across; ++column) {
                if (static_cast<size_t>(lines.data() + lines.size() - at) < longest) {
                    std::fwrite(lines.data(), 1, static_cast<size_t>(at - lines.data()), p.out);
                    at = lines.data();
                }
                const std::string& x = xBins[column];
                const std::string& y = yBins[row];
                std::memcpy(at, x.data(), x.size());
                at += x.size();
                std::memcpy(at, y.data(), y.size());
                at += y.size();
                at = std::to_chars(at, at + kCountTextLength, d.counts[row * across + column]).ptr;
                *at++ = '\n';
            }
        }
        std::fwrite(lines.data(), 1, static_cast<size_t>(at - lines.data()), p.out);
    }
    std::fwrite(doc.data(), 1, doc.size(), p.out);
}

int Refuse(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, path.c_str(), why.c_str());
    return kExitUsage;
}

}  // namespace

int PrintEventCounts(const ParsedDumpCommandLine& parsed,
                     const DataSet& dataSet,
                     const std::string& path,
                     std::FILE* out) {
    const CountOptions& options = parsed.counts;
    CountingRequests requests;
    if (parsed.eventsGiven) {
        requests.firstEvent = parsed.events.first;
        requests.eventCount = parsed.events.count;
    }
    // Each axis in request order: histograms, then each density's across and up axes.
    std::vector<PlannedAxis> axes;
    std::vector<int32_t> axisParameters;
    auto plan = [&](const std::string& text, const AxisOptions& own, int32_t& parameter) {
        if (!FindParameter(dataSet, text, parameter)) {
            return false;
        }
        axes.push_back(PlanAxis(dataSet, parameter, options, own));
        axisParameters.push_back(parameter);
        return true;
    };
    for (const std::string& text : options.histograms) {
        HistogramRequest request;
        if (!plan(text, AxisOptions{}, request.parameter)) {
            return Refuse(path, "no parameter " + text);
        }
        requests.histograms.push_back(request);
    }
    for (const auto& [across, up] : options.densities) {
        DensityRequest request;
        if (!plan(across, options.across, request.xParameter)) {
            return Refuse(path, "no parameter " + across);
        }
        if (!plan(up, options.up, request.yParameter)) {
            return Refuse(path, "no parameter " + up);
        }
        requests.densities.push_back(request);
    }
    auto fill = [&requests, &axes] {
        size_t a = 0;
        for (HistogramRequest& h : requests.histograms) {
            h.axis = axes[a++].spec;
        }
        for (DensityRequest& d : requests.densities) {
            d.x = axes[a++].spec;
            d.y = axes[a++].spec;
        }
    };

    // Before anything is read, the ranges still to come from the data stand in as 1 to 10, a
    // range every scale takes, so that every other part of a request is checked now.
    std::vector<int32_t> extentParameters;
    for (size_t a = 0; a < axes.size(); ++a) {
        if (axes[a].fromData) {
            extentParameters.push_back(axisParameters[a]);
        }
    }
    {
        const std::vector<PlannedAxis> planned = axes;
        for (PlannedAxis& axis : axes) {
            if (axis.fromData) {
                axis.spec.low = 1;
                axis.spec.high = 10;
            }
        }
        fill();
        CountingRequests checked = requests;
        const RequestProblem problem = CheckRequests(dataSet, checked);
        if (!problem.Ok()) {
            return Refuse(path, RequestProblemText(problem));
        }
        axes = planned;
    }

    auto incomplete = [&](const CountingOutcome& outcome) {
        const std::string why = outcome.state == CountingState::kFileEnded ? kEndsInsideData
                                : outcome.state == CountingState::kTooWide
                                    ? "its events are too wide to read"
                                    : FileStatusText(outcome.readError);
        std::fprintf(stderr, "%s: %s: %lld of %lld events counted: %s\n", kProgram, path.c_str(),
                     static_cast<long long>(outcome.eventsCounted),
                     static_cast<long long>(outcome.eventsAsked), why.c_str());
        return kExitIncomplete;
    };

    if (!extentParameters.empty()) {
        CountingRequests extentRequests;
        extentRequests.firstEvent = requests.firstEvent;
        extentRequests.eventCount = requests.eventCount;
        extentRequests.extents = extentParameters;
        EventCounter extentPass(dataSet, extentRequests);
        const CountingOutcome outcome = RunPass(extentPass);
        if (outcome.state != CountingState::kComplete) {
            return incomplete(outcome);
        }
        const CountingResult extents = extentPass.Snapshot();
        for (size_t a = 0, e = 0; a < axes.size(); ++a) {
            if (axes[a].fromData) {
                axes[a].spec = FitToData(axes[a].spec, extents.extents[e++]);
            }
        }
    }
    fill();
    const RequestProblem problem = CheckRequests(dataSet, requests);
    if (!problem.Ok()) {
        return Refuse(path, RequestProblemText(problem));
    }

    EventCounter counter(dataSet, requests);
    const CountingOutcome outcome = RunPass(counter);
    const CountingResult result = counter.Snapshot();
    const Printing printing{dataSet,
                            ValidUtf8(path),
                            parsed.dataSet,
                            result.eventsCounted,
                            parsed.output == DumpOutput::kJson,
                            out};
    for (const Histogram& h : result.histograms) {
        PrintHistogram(printing, h);
    }
    for (const Density& d : result.densities) {
        PrintDensity(printing, d);
    }
    return outcome.state == CountingState::kComplete ? kExitRead : incomplete(outcome);
}
