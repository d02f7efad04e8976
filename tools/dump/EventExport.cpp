// Event export. The DATA segment is read through the data set's own file in blocks of whole
// events and decoded with the reader's field decoders, worked out once per column; cells are
// formatted straight into one output block, so memory stays the same whatever the file's size
// and no cell allocates or makes a virtual call.
#include "EventExport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "EventDecoder.h"
#include "SafeMath.h"
#include "Utf8.h"

namespace {

constexpr int64_t kInputBlockBytes = 1024 * 1024;
constexpr size_t kOutputBlockBytes = 1024 * 1024;
// Longer than the longest cell: "-2.2250738585072014e-308" has 24 characters, "4294967295" 10.
constexpr size_t kMaxCellLength = 32;

struct Column {
    FieldDecoder decoder;  // kNone for a field the data set cannot decode
    int64_t offset = 0;    // within the event
};

// The output block: rows are formatted into it and it goes out whole when the next row might
// not fit.
class OutputBlock {
public:
    OutputBlock(std::FILE* output, size_t capacity) : out(output), bytes(capacity) {}

    // Room for at least size bytes (size <= the capacity) from the returned position on.
    char* Reserve(size_t size) {
        if (bytes.size() - used < size) {
            Flush();
        }
        return bytes.data() + used;
    }
    void Commit(const char* end) { used = static_cast<size_t>(end - bytes.data()); }
    void Append(const std::string& text) {
        char* cursor = Reserve(text.size());
        std::memcpy(cursor, text.data(), text.size());
        Commit(cursor + text.size());
    }
    bool Flush() {
        if (used > 0 && !failed) {
            failed = std::fwrite(bytes.data(), 1, used, out) != used;
        }
        used = 0;
        return !failed;
    }
    bool Failed() const { return failed; }

private:
    std::FILE* out;
    std::vector<char> bytes;
    size_t used = 0;
    bool failed = false;
};

char* WriteNotANumber(char* cursor) {
    const size_t length = std::strlen(kNotANumberText);
    std::memcpy(cursor, kNotANumberText, length);
    return cursor + length;
}

// Without a precision, to_chars writes the shortest text that reads back to the same value.
char* WriteCell(char* cursor, const Column& column, const uint8_t* event) {
    const uint8_t* field = event + column.offset;
    char* const end = cursor + kMaxCellLength;
    switch (column.decoder.Kind()) {
    case DecodedValue::kInteger:
        return std::to_chars(cursor, end, column.decoder.Integer(field)).ptr;
    case DecodedValue::kReal:
        if (column.decoder.IsSingle()) {
            const float value = column.decoder.Single(field);
            return std::isnan(value) ? WriteNotANumber(cursor)
                                     : std::to_chars(cursor, end, value).ptr;
        } else {
            const double value = column.decoder.Double(field);
            return std::isnan(value) ? WriteNotANumber(cursor)
                                     : std::to_chars(cursor, end, value).ptr;
        }
    case DecodedValue::kNone:
        break;
    }
    return cursor;
}

std::vector<Column> ColumnsOf(const DataSet& dataSet) {
    std::vector<Column> columns(dataSet.parameters.size());
    const std::vector<int64_t>& offsets = dataSet.FieldOffsets();
    for (size_t p = 0; p < columns.size() && p < offsets.size(); ++p) {
        const int32_t width = dataSet.parameters[p].width;
        columns[p].offset = offsets[p];
        // A field reaching past its event has no bytes of its own to decode.
        if (width >= 0 && offsets[p] + width <= dataSet.eventSize) {
            columns[p].decoder = FieldDecoder(dataSet.dataType, width, dataSet.byteOrder);
        }
    }
    return columns;
}

// Reads until count bytes arrived or the file ended; delivered says how many arrived.
ErrorCode ReadBlock(DataFile& file, uint8_t* buffer, uint32_t count, uint32_t& delivered) {
    delivered = 0;
    while (delivered < count) {
        uint32_t arrived = 0;
        const ErrorCode result = file.Read(buffer + delivered, count - delivered, arrived);
        if (result == kErrorHandleEof) {
            return kErrorSuccess;
        }
        if (result != kErrorSuccess) {
            return result;
        }
        delivered += arrived;
    }
    return kErrorSuccess;
}

void AppendCsvName(std::string& cell, const std::string& name) {
    if (name.find_first_of(",\"\r\n") == std::string::npos) {
        cell += name;
        return;
    }
    cell += '"';
    for (char c : name) {
        cell += c;
        if (c == '"') {
            cell += '"';
        }
    }
    cell += '"';
}

void AppendTsvName(std::string& cell, const std::string& name) {
    for (char c : name) {
        switch (c) {
        case '\\':
            cell += "\\\\";
            break;
        case '\t':
            cell += "\\t";
            break;
        case '\n':
            cell += "\\n";
            break;
        case '\r':
            cell += "\\r";
            break;
        default:
            cell += c;
        }
    }
}

std::string HeaderLine(const DataSet& dataSet, ExportFormat format) {
    std::string line;
    for (size_t p = 0; p < dataSet.parameters.size(); ++p) {
        if (p > 0) {
            line += format == ExportFormat::kCsv ? ',' : '\t';
        }
        line += ExportHeaderCell(dataSet.parameters[p], p, format);
    }
    line += '\n';
    return line;
}

}  // namespace

std::string ExportHeaderCell(const Parameter& parameter, size_t index, ExportFormat format) {
    const std::string name =
        parameter.name.empty() ? "P" + std::to_string(index + 1) : WideToUtf8(parameter.name);
    std::string cell;
    if (format == ExportFormat::kCsv) {
        AppendCsvName(cell, name);
    } else {
        AppendTsvName(cell, name);
    }
    return cell;
}

ExportOutcome ExportEvents(DataSet& dataSet, int64_t first, int64_t count, ExportFormat format,
                           std::FILE* out) {
    ExportOutcome outcome;
    const std::vector<Column> columns = ColumnsOf(dataSet);
    const char separator = format == ExportFormat::kCsv ? ',' : '\t';
    const size_t rowLimit = columns.size() * (kMaxCellLength + 1) + 1;
    OutputBlock output(out, std::max(kOutputBlockBytes, rowLimit));
    output.Append(HeaderLine(dataSet, format));

    const int64_t eventSize = dataSet.eventSize;
    if (first >= 0 && first < dataSet.eventCount && count > 0 && eventSize > 0) {
        outcome.eventsAsked = std::min<int64_t>(count, dataSet.eventCount - first);
    }
    int64_t skip = 0;
    int64_t position = 0;
    if (outcome.eventsAsked > 0 &&
        (!CheckedMul(first, eventSize, skip) || !CheckedAdd(dataSet.dataOffset, skip, position))) {
        outcome.readError = kErrorNegativeSeek;
        outcome.eventsAsked = 0;
    }
    if (outcome.eventsAsked > 0) {
        outcome.readError = dataSet.eventFile.Seek(position);
    }
    // The reader bounds an event to a megabyte, so a block always holds at least one.
    const int64_t blockEvents = std::max<int64_t>(1, kInputBlockBytes / std::max<int64_t>(eventSize, 1));
    std::vector<uint8_t> block(
        outcome.eventsAsked > 0 ? static_cast<size_t>(blockEvents * eventSize) : 0);
    while (outcome.readError == kErrorSuccess && outcome.eventsWritten < outcome.eventsAsked &&
           !output.Failed()) {
        const int64_t want = std::min(blockEvents, outcome.eventsAsked - outcome.eventsWritten);
        uint32_t delivered = 0;
        outcome.readError = ReadBlock(dataSet.eventFile, block.data(),
                                      static_cast<uint32_t>(want * eventSize), delivered);
        const int64_t complete = delivered / eventSize;
        for (int64_t e = 0; e < complete; ++e) {
            const uint8_t* event = block.data() + e * eventSize;
            char* cursor = output.Reserve(rowLimit);
            for (size_t c = 0; c < columns.size(); ++c) {
                if (c > 0) {
                    *cursor++ = separator;
                }
                cursor = WriteCell(cursor, columns[c], event);
            }
            *cursor++ = '\n';
            output.Commit(cursor);
        }
        outcome.eventsWritten += complete;
        if (outcome.readError == kErrorSuccess && complete < want) {
            outcome.readError = kErrorHandleEof;
        }
    }
    outcome.writeFailed = !output.Flush();
    return outcome;
}
