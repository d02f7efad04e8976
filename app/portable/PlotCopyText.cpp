// The counts' text. Real numbers go through std::to_chars, whose plain form is the shortest
// text that reads back to the same double; the few characters it writes are widened as they are.
#include "PlotCopyText.h"

#include <charconv>
#include <cmath>

namespace {

constexpr const wchar_t* kTab = L"\t";
constexpr const wchar_t* kLineEnd = L"\r\n";

void AppendAxisHeading(const CopiedAxis& axis, std::wstring& out) {
    out += axis.name;
    out += kTab;
    out += axis.scale;
    out += kTab;
    out += ShortestDoubleText(axis.lo);
    out += kTab;
    out += ShortestDoubleText(axis.hi);
}

void AppendCount(uint64_t count, std::wstring& out) {
    char digits[24];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, count);
    out.append(digits, end.ptr);
}

size_t BinCount(const CopiedAxis& axis) {
    return axis.edges.empty() ? 0 : axis.edges.size() - 1;
}

void AppendBinEdges(const CopiedAxis& axis, size_t bin, std::wstring& out) {
    out += ShortestDoubleText(axis.edges[bin]);
    out += kTab;
    out += ShortestDoubleText(axis.edges[bin + 1]);
}

}  // namespace

std::wstring ShortestDoubleText(double value) {
    if (std::isnan(value)) {
        return L"nan";
    }
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::wstring(text, end.ptr);
}

std::wstring HistogramCountsText(const CopiedAxis& x, const std::vector<uint64_t>& counts) {
    std::wstring out;
    AppendAxisHeading(x, out);
    out += kLineEnd;
    const size_t bins = BinCount(x);
    for (size_t bin = 0; bin < bins && bin < counts.size(); ++bin) {
        AppendBinEdges(x, bin, out);
        out += kTab;
        AppendCount(counts[bin], out);
        out += kLineEnd;
    }
    return out;
}

std::wstring DensityCountsText(const CopiedAxis& x,
                               const CopiedAxis& y,
                               const std::vector<uint64_t>& counts) {
    std::wstring out;
    AppendAxisHeading(x, out);
    out += kTab;
    AppendAxisHeading(y, out);
    out += kLineEnd;
    out += kTab;
    for (double edge : x.edges) {
        out += kTab;
        out += ShortestDoubleText(edge);
    }
    out += kLineEnd;
    const size_t across = BinCount(x);
    const size_t up = BinCount(y);
    if (counts.size() != across * up) {
        return out;
    }
    for (size_t row = up; row-- > 0;) {
        AppendBinEdges(y, row, out);
        for (size_t bin = 0; bin < across; ++bin) {
            out += kTab;
            AppendCount(counts[row * across + bin], out);
        }
        out += kLineEnd;
    }
    return out;
}
