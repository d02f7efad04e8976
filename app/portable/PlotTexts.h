// The texts of a plot window: its parameters' names and titles, its scales' names, the status
// line while it counts and once it is done, and the scale as the copied counts name it.
#pragma once

#include <cstdint>
#include <string>

#include "AxisScale.h"
#include "DataSet.h"
#include "EventCounting.h"

// The context menu's item for a column of the Data view: "Plot " and the parameter's name.
constexpr const wchar_t* kPlotItemPrefix = L"Plot ";
// The first choice up, which makes the plot a histogram.
constexpr const wchar_t* kCountChoice = L"Count";
// The scales, in the order the scale lists offer them.
constexpr ScaleKind kPlotScales[] = {ScaleKind::kLinear, ScaleKind::kLog, ScaleKind::kLogicle,
                                     ScaleKind::kAsinh};
const wchar_t* ScaleChoiceText(ScaleKind kind);  // "Linear", "Log", "Logicle", "Asinh"

// A parameter's name ($PnN), or "P" and its number counted from 1 when it has none.
std::wstring ParameterName(const DataSet& dataSet, int32_t parameter);
// The name and, where the data set gives one that says more, its $PnS in brackets:
// "FSC-A (Forward)". Axis titles and the parameter lists show it.
std::wstring ParameterTitle(const DataSet& dataSet, int32_t parameter);

// The scale with its parameters as the copied counts name it: "linear", "log",
// "logicle T=262144 W=0.5 M=4.5 A=0", "asinh C=150".
std::wstring ScaleText(const ScaleSpec& scale);

// The engine's and the file seam's texts (UTF-8) as the window shows them; bytes that are no
// UTF-8 become U+FFFD.
std::wstring FromUtf8(const std::string& text);

// "Counting: n of N events".
std::wstring CountingStatus(int64_t done, int64_t asked);
// The status once a pass has ended: how many events were counted and where the others went
// (below, above or outside the range, invalid), or why the pass stopped. readError: what the
// file seam says of a failed read (FileStatusText), for a pass that ended with one.
std::wstring FinalStatus(const CountingOutcome& outcome,
                         const CountingResult& result,
                         const std::wstring& readError = std::wstring());
