// Event export. The DATA segment is read through the reader's block reader in blocks of whole
// events and decoded with the reader's field decoders, worked out once per column. Formatting
// the numbers is nearly all of the work, so blocks are formatted by lanes, one thread each, while
// the next block is read; their texts are written in file order. Every buffer is made once, so
// memory stays the same whatever the file's size, and no cell allocates or makes a virtual call.
#include "EventExport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "EventBlockReader.h"
#include "EventDecoder.h"
#include "ShortestFloat.h"
#include "Utf8.h"

namespace {

// Per lane: the events of one block and their text. Two lanes hold about 5 MB.
constexpr int64_t kInputBlockBytes = 256 * 1024;
constexpr size_t kOutputBlockBytes = 2 * 1024 * 1024;
constexpr unsigned kMaxLanes = 2;
// Longer than the longest cell: "-2.2250738585072014e-308" has 24 characters, "4294967295" 10.
constexpr size_t kMaxCellLength = 32;

struct Column {
    FieldDecoder decoder;  // kNone for a field the data set cannot decode
    int64_t offset = 0;    // within the event
};

char* WriteNotANumber(char* cursor) {
    const size_t length = std::strlen(kNotANumberText);
    std::memcpy(cursor, kNotANumberText, length);
    return cursor + length;
}

// Without a precision, to_chars writes the shortest text that reads back to the same value;
// floats, the bulk of most files, have a quicker road to the same text. Each cell has room for
// kMaxCellLength characters.
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
                                         : WriteShortestFloat(cursor, value);
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
        columns[p].offset = offsets[p];
        columns[p].decoder = dataSet.DecoderOf(static_cast<int32_t>(p));
    }
    return columns;
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

// One block of events on its way out: read by the exporting thread, formatted by a lane.
struct Batch {
    std::vector<uint8_t> events;
    int64_t eventCount = 0;  // complete events in events
    std::vector<char> text;  // room for eventCount rows of the longest cells
    size_t textLength = 0;
};

// What every lane needs to turn a batch's events into rows.
struct RowLayout {
    std::vector<Column> columns;
    char separator = ',';
    int64_t eventSize = 0;
    size_t rowLimit = 0;  // the longest row, line end included
};

void FormatBatch(const RowLayout& layout, Batch& batch) {
    char* cursor = batch.text.data();
    for (int64_t e = 0; e < batch.eventCount; ++e) {
        const uint8_t* event = batch.events.data() + e * layout.eventSize;
        for (size_t c = 0; c < layout.columns.size(); ++c) {
            if (c > 0) {
                *cursor++ = layout.separator;
            }
            cursor = WriteCell(cursor, layout.columns[c], event);
        }
        *cursor++ = '\n';
    }
    batch.textLength = static_cast<size_t>(cursor - batch.text.data());
}

// A thread that formats the batches handed to it, one at a time.
class FormattingLane {
public:
    explicit FormattingLane(const RowLayout& rowLayout)
        : layout(rowLayout), thread([this] { Run(); }) {}
    FormattingLane(const FormattingLane&) = delete;
    FormattingLane& operator=(const FormattingLane&) = delete;
    ~FormattingLane() {
        {
            std::lock_guard<std::mutex> hold(lock);
            stopping = true;
        }
        changed.notify_all();
        thread.join();
    }

    void Start() {
        {
            std::lock_guard<std::mutex> hold(lock);
            busy = true;
        }
        changed.notify_all();
    }
    // Until the batch last started is formatted; the batch is then the caller's again.
    void Wait() {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait(hold, [this] { return !busy; });
    }

    Batch batch;  // the caller's whenever the lane is not busy

private:
    void Run() {
        std::unique_lock<std::mutex> hold(lock);
        for (;;) {
            changed.wait(hold, [this] { return busy || stopping; });
            if (stopping) {
                return;
            }
            hold.unlock();
            FormatBatch(layout, batch);
            hold.lock();
            busy = false;
            changed.notify_all();
        }
    }

    const RowLayout& layout;
    std::mutex lock;
    std::condition_variable changed;
    bool busy = false;
    bool stopping = false;
    std::thread thread;  // last: it starts running once everything else is in place
};

bool WriteAll(std::FILE* out, const char* bytes, size_t length) {
    return std::fwrite(bytes, 1, length, out) == length;
}

}  // namespace

std::string ParameterName(const Parameter& parameter, size_t index) {
    return parameter.name.empty() ? "P" + std::to_string(index + 1) : WideToUtf8(parameter.name);
}

std::string ExportHeaderCell(const Parameter& parameter, size_t index, ExportFormat format) {
    const std::string name = ParameterName(parameter, index);
    std::string cell;
    if (format == ExportFormat::kCsv) {
        AppendCsvName(cell, name);
    } else {
        AppendTsvName(cell, name);
    }
    return cell;
}

ExportOutcome ExportEvents(DataSet& dataSet,
                           int64_t first,
                           int64_t count,
                           ExportFormat format,
                           std::FILE* out) {
    ExportOutcome outcome;
    RowLayout layout;
    layout.columns = ColumnsOf(dataSet);
    layout.separator = format == ExportFormat::kCsv ? ',' : '\t';
    layout.eventSize = dataSet.eventSize;
    layout.rowLimit = layout.columns.size() * (kMaxCellLength + 1) + 1;
    const std::string header = HeaderLine(dataSet, format);
    outcome.writeFailed = !WriteAll(out, header.data(), header.size());

    const int64_t eventSize = dataSet.eventSize;
    if (first >= 0 && first < dataSet.eventCount && count > 0 && eventSize > 0) {
        outcome.eventsAsked = std::min<int64_t>(count, dataSet.eventCount - first);
    }
    if (outcome.eventsAsked == 0 || outcome.writeFailed) {
        return outcome;
    }

    // The reader bounds an event to a megabyte, so a block always holds at least one; a block's
    // text stays within the output block unless a single row is longer.
    const int64_t blockEvents = std::clamp<int64_t>(
        std::min<int64_t>(kInputBlockBytes / eventSize,
                          static_cast<int64_t>(kOutputBlockBytes / layout.rowLimit)),
        1, outcome.eventsAsked);
    const int64_t blocks = (outcome.eventsAsked + blockEvents - 1) / blockEvents;
    const unsigned laneCount = static_cast<unsigned>(std::clamp<int64_t>(
        std::min<int64_t>(std::thread::hardware_concurrency(), blocks), 1, kMaxLanes));
    std::vector<std::unique_ptr<FormattingLane>> lanes;
    for (unsigned l = 0; l < laneCount; ++l) {
        lanes.push_back(std::make_unique<FormattingLane>(layout));
        Batch& batch = lanes.back()->batch;
        batch.events.resize(static_cast<size_t>(blockEvents * eventSize));
        batch.text.resize(static_cast<size_t>(blockEvents) * layout.rowLimit);
    }

    // Blocks go to the lanes in turn and leave in the order they were started, the oldest
    // first: the texts are written in file order, and a lane is free again when its turn to
    // take the next block comes.
    const EventBlockReader reader(dataSet);
    std::deque<FormattingLane*> started;
    auto finishOldest = [&] {
        FormattingLane& lane = *started.front();
        started.pop_front();
        lane.Wait();
        if (!outcome.writeFailed) {
            outcome.writeFailed = !WriteAll(out, lane.batch.text.data(), lane.batch.textLength);
            if (!outcome.writeFailed) {
                outcome.eventsWritten += lane.batch.eventCount;
            }
        }
    };
    int64_t eventsRead = 0;
    for (int64_t b = 0; outcome.readError.Ok() && eventsRead < outcome.eventsAsked; ++b) {
        if (started.size() == laneCount) {
            finishOldest();
        }
        if (outcome.writeFailed) {
            break;
        }
        FormattingLane& lane = *lanes[static_cast<size_t>(b % laneCount)];
        const int64_t want = std::min(blockEvents, outcome.eventsAsked - eventsRead);
        const EventBlock block = reader.Read(first + eventsRead, want, lane.batch.events.data());
        outcome.readError = block.error;
        outcome.readOffset = block.errorOffset;
        lane.batch.eventCount = std::min(block.events, want);
        eventsRead += lane.batch.eventCount;
        if (outcome.readError.Ok() && lane.batch.eventCount < want) {
            outcome.readError = {FileOutcome::kEndOfFile};
        }
        if (lane.batch.eventCount > 0) {
            lane.Start();
            started.push_back(&lane);
        }
    }
    while (!started.empty()) {
        finishOldest();
    }
    return outcome;
}
