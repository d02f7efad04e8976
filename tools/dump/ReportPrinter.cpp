// Output of ketterlin-dump. The texts of the segment rows, warnings and cells are the reader's
// own, converted to UTF-8 and never re-derived here. The data type letter is a byte of the
// file and is shown through the same code-page conversion as the TEXT segment.
#include "ReportPrinter.h"

#include <charconv>
#include <string>

#include "AnsiText.h"
#include "ProgramTexts.h"
#include "Utf8.h"

std::string OutcomeText(const DataSetChain& outcome) {
    switch (outcome.failure) {
        case DataSetChain::Failure::kNone:
            return {};
        case DataSetChain::Failure::kNotADataSet:
            return WideToUtf8(kUnknownFormat);
        case DataSetChain::Failure::kFileError:
            // The viewer shows its error box here; the dump says what it tried and why not.
            return "cannot read the data set at offset " + std::to_string(outcome.secondBase) +
                   ": " + FileStatusText(outcome.fileError);
    }
    return {};
}

namespace {

std::string DataTypeText(char dataType) {
    if (dataType == '\0') {
        return std::string(1, '\0');
    }
    const char bytes[2] = {dataType, '\0'};
    return WideToUtf8(AnsiToWide(bytes));
}

std::string VersionText(const DataSetReport& dataSet) {
    for (const SegmentTable::Row& row : dataSet.rows) {
        if (row.kind == kSegmentHeader) {
            return WideToUtf8(row.details);
        }
    }
    return {};
}

// The JSON document is built in memory and written at once: a first screen of cells is a
// thousand small strings, and one stdio call each would cost more than everything else.
template <typename List, typename Writer>
void AppendJsonList(std::string& doc, const List& list, Writer writeItem) {
    doc += '[';
    bool first = true;
    for (const auto& item : list) {
        if (!first) {
            doc += ',';
        }
        first = false;
        writeItem(item);
    }
    doc += ']';
}

template <typename Number>
void AppendNumber(std::string& doc, Number number) {
    char text[24];
    doc.append(text, std::to_chars(text, text + sizeof text, number).ptr);
}

void AppendJsonDataSet(std::string& doc, const DataSetReport& d) {
    doc += "{\"base\":";
    AppendNumber(doc, d.base);
    doc += ",\"version\":";
    AppendJsonString(doc, VersionText(d));
    doc += ",\"segments\":";
    AppendJsonList(doc, d.rows, [&doc](const SegmentTable::Row& row) {
        doc += '[';
        AppendJsonString(doc, WideToUtf8(row.label));
        doc += ',';
        AppendJsonString(doc, WideToUtf8(row.details));
        doc += ']';
    });
    doc += ",\"headerOffsets\":";
    AppendJsonList(doc, d.headerOffsets, [&doc](int32_t offset) { AppendNumber(doc, offset); });
    doc += ",\"keywords\":";
    AppendJsonList(doc, d.keywords, [&doc](const Keyword& keyword) {
        doc += '[';
        AppendJsonString(doc, WideToUtf8(keyword.name));
        doc += ',';
        AppendJsonString(doc, WideToUtf8(keyword.value));
        doc += ']';
    });
    doc += ",\"warnings\":";
    AppendJsonList(doc, d.warnings, [&doc](const std::wstring& warning) {
        AppendJsonString(doc, WideToUtf8(warning));
    });
    doc += ",\"dataType\":";
    AppendJsonString(doc, DataTypeText(d.dataType));
    doc += ",\"byteOrder\":";
    AppendJsonList(doc, d.byteOrder, [&doc](int32_t entry) { AppendNumber(doc, entry); });
    doc += ",\"parameters\":";
    AppendJsonList(doc, d.parameters, [&doc](const Parameter& parameter) {
        doc += "{\"name\":";
        AppendJsonString(doc, WideToUtf8(parameter.name));
        doc += ",\"width\":";
        AppendNumber(doc, parameter.width);
        doc += ",\"dataType\":";
        AppendJsonString(doc, DataTypeText(parameter.dataType));
        doc += '}';
    });
    doc += ",\"dataOffset\":";
    AppendNumber(doc, d.dataOffset);
    doc += ",\"eventSize\":";
    AppendNumber(doc, d.eventSize);
    doc += ",\"eventCount\":";
    AppendNumber(doc, d.eventCount);
    doc += ",\"firstEvent\":";
    AppendNumber(doc, d.firstEvent);
    doc += ",\"events\":";
    const bool noCells = d.parameters.empty();
    AppendJsonList(doc, d.events, [&doc, noCells](const std::string& row) {
        if (noCells) {
            doc += "[]";
        } else {
            AppendJsonStrings(doc, row, kCellSeparator);
        }
    });
    doc += '}';
}

// Text output keeps one item per line with a tab between columns, so it greps and cuts well.
void PrintTextDataSet(std::FILE* out, size_t index, const DataSetReport& d) {
    std::fprintf(out, "Data set %zu at offset %lld\n", index + 1, static_cast<long long>(d.base));
    std::fputs("Segments\n", out);
    for (const SegmentTable::Row& row : d.rows) {
        std::fprintf(out, "  %s\t%s\n", WideToUtf8(row.label).c_str(),
                     WideToUtf8(row.details).c_str());
    }
    std::fputs("Header\n", out);
    for (int i = 0; i < kHeaderOffsetCount; ++i) {
        std::fprintf(out, "  %s\t%d\n", WideToUtf8(kHeaderFieldLabels[i]).c_str(),
                     d.headerOffsets[static_cast<size_t>(i)]);
    }
    std::fputs("Keywords\n", out);
    for (const Keyword& keyword : d.keywords) {
        std::fprintf(out, "  %s\t%s\n", WideToUtf8(keyword.name).c_str(),
                     WideToUtf8(keyword.value).c_str());
    }
    std::fprintf(out, "Warnings (%zu)\n", d.warnings.size());
    for (const std::wstring& warning : d.warnings) {
        std::fprintf(out, "  %s\n", WideToUtf8(warning).c_str());
    }
    std::fputs("Layout\n", out);
    std::fprintf(out, "  Data type\t%s\n", DataTypeText(d.dataType).c_str());
    std::string byteOrder;
    for (int32_t entry : d.byteOrder) {
        byteOrder += (byteOrder.empty() ? "" : ",") + std::to_string(entry);
    }
    std::fprintf(out, "  Byte order\t%s\n", byteOrder.c_str());
    std::fprintf(out, "  Data offset\t%lld\n  Event size\t%d\n  Event count\t%lld\n",
                 static_cast<long long>(d.dataOffset), d.eventSize,
                 static_cast<long long>(d.eventCount));
    std::fprintf(out, "Parameters (%zu)\n", d.parameters.size());
    for (size_t p = 0; p < d.parameters.size(); ++p) {
        std::fprintf(out, "  %zu\t%s\t%d bytes\t%s\n", p + 1,
                     WideToUtf8(d.parameters[p].name).c_str(), d.parameters[p].width,
                     DataTypeText(d.parameters[p].dataType).c_str());
    }
    if (!d.events.empty()) {
        std::fprintf(
            out, "Events %lld to %lld\n", static_cast<long long>(d.firstEvent),
            static_cast<long long>(d.firstEvent) + static_cast<long long>(d.events.size()) - 1);
        for (size_t e = 0; e < d.events.size(); ++e) {
            std::fprintf(out, "  %lld",
                         static_cast<long long>(d.firstEvent) + static_cast<long long>(e));
            std::fprintf(out, "\t%s\n", d.events[e].c_str());
        }
    }
}

}  // namespace

void PrintJsonReport(std::FILE* out, const std::string& path, const FileReport& report) {
    std::string doc = "{\"file\":";
    AppendJsonString(doc, ValidUtf8(path));
    doc += ",\"datasets\":";
    AppendJsonList(doc, report.dataSets,
                   [&doc](const DataSetReport& d) { AppendJsonDataSet(doc, d); });
    doc += ",\"error\":";
    if (report.outcome.Failed()) {
        AppendJsonString(doc, OutcomeText(report.outcome));
    } else {
        doc += "null";
    }
    doc += "}\n";
    std::fwrite(doc.data(), 1, doc.size(), out);
}

void PrintTextReport(std::FILE* out, const FileReport& report) {
    for (size_t i = 0; i < report.dataSets.size(); ++i) {
        if (i > 0) {
            std::fputc('\n', out);
        }
        PrintTextDataSet(out, i, report.dataSets[i]);
    }
    if (report.outcome.Failed()) {
        std::fprintf(out, "%s%s\n", report.dataSets.empty() ? "" : "\n",
                     OutcomeText(report.outcome).c_str());
    }
}

bool PrintCheckReport(std::FILE* out, const std::string& path, const FileReport& report) {
    bool found = false;
    for (size_t i = 0; i < report.dataSets.size(); ++i) {
        for (const std::wstring& warning : report.dataSets[i].warnings) {
            std::fprintf(out, "%s: data set %zu: %s\n", path.c_str(), i + 1,
                         WideToUtf8(warning).c_str());
            found = true;
        }
    }
    if (report.outcome.Failed()) {
        std::fprintf(out, "%s: %s\n", path.c_str(), OutcomeText(report.outcome).c_str());
        found = true;
    }
    return found;
}
