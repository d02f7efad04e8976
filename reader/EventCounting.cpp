// The counting pass. Lanes take blocks of events by number from a shared counter and count them
// into bins of their own (32-bit, so that a lane's bins stay small and its hand-in is cheap).
// Single-precision columns, most files' events, go from the block's bytes to their bins through
// a table of the axis's positions by bit pattern; every other column is first decoded into a
// column of doubles through the reader's field decoders and binned by the axis itself. A lane adds
// its bins to the shared totals every few megabytes of events and when it stops; the totals are
// only touched under a short spin lock, which a snapshot also takes, so a snapshot always pairs
// counts with the number of events they hold.
#include "EventCounting.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "EventBlockReader.h"
#include "SinglePositionTable.h"

namespace {

// A block of events is about this size (at least one event).
constexpr int64_t kBlockBytes = 128 * 1024;
// Columns of decoded values per block are kept under this size.
constexpr int64_t kColumnBytes = 512 * 1024;
// A lane hands its counts in after at least this many bytes of events, or 32 bytes per bin of
// its own, whichever is more, so that handing in never costs much beside the counting.
constexpr int64_t kHandInBytes = 8 * 1024 * 1024;
constexpr int64_t kHandInBytesPerBin = 32;
// A lane's 32-bit bins never hold more events than this before it hands them in.
constexpr int64_t kMaxLaneEvents = 0xFFFFFFFF;

// One spin lock, held for copies of the counts only.
class SpinHold {
public:
    explicit SpinHold(std::atomic_flag& flag) : held(flag) {
        while (held.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~SpinHold() { held.clear(std::memory_order_release); }
    SpinHold(const SpinHold&) = delete;
    SpinHold& operator=(const SpinHold&) = delete;

private:
    std::atomic_flag& held;
};

// A field's value as a double: what the cells show, integers converted; NaN (invalid) for a
// field the reader cannot decode.
double FieldNumber(const FieldDecoder& decoder, const uint8_t* field) {
    if (decoder.Kind() == DecodedValue::kNone) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return decoder.Number(field);
}

// How a column of single-precision reals holds their bits: as this machine does, so that
// copying the bytes gives what the decoder gives; the other way round; or in some other order
// of the bytes, left to the decoder. Tried on a field of four distinct bytes.
enum class SingleBytes { kNone, kAsStored, kSwapped, kOther };

uint32_t Swapped(uint32_t bits) {
    return (bits >> 24) | ((bits >> 8) & 0xFF00u) | ((bits << 8) & 0xFF0000u) | (bits << 24);
}

SingleBytes SingleBytesOf(const FieldDecoder& decoder) {
    if (decoder.Kind() != DecodedValue::kReal || !decoder.IsSingle()) {
        return SingleBytes::kNone;
    }
    const uint8_t probe[4] = {0x11, 0x22, 0x33, 0x44};
    uint32_t stored;
    std::memcpy(&stored, probe, sizeof stored);
    const uint64_t bits = decoder.RealBits(probe);
    return bits == stored            ? SingleBytes::kAsStored
           : bits == Swapped(stored) ? SingleBytes::kSwapped
                                     : SingleBytes::kOther;
}

struct StoredBits {
    uint32_t operator()(const uint8_t* field) const {
        uint32_t bits;
        std::memcpy(&bits, field, sizeof bits);
        return bits;
    }
};

struct SwappedBits {
    uint32_t operator()(const uint8_t* field) const { return Swapped(StoredBits()(field)); }
};

struct DecodedBits {
    const FieldDecoder* decoder;
    uint32_t operator()(const uint8_t* field) const {
        return static_cast<uint32_t>(decoder->RealBits(field));
    }
};

// Calls work with the reader of a single column's bits, made for its byte order so that the
// loops inside work never ask which it is.
template <typename Work>
void WithSingleBits(SingleBytes bytes, const FieldDecoder& decoder, Work work) {
    switch (bytes) {
        case SingleBytes::kAsStored:
            work(StoredBits());
            break;
        case SingleBytes::kSwapped:
            work(SwappedBits());
            break;
        case SingleBytes::kNone:
        case SingleBytes::kOther:
            work(DecodedBits{&decoder});
            break;
    }
}

// Integer columns this narrow are binned through a table of the position of every value.
constexpr int32_t kMaxTabledIntegerBytes = 2;

// How an axis finds the positions of a column's fields straight from their bytes, without
// decoding them into doubles: singles through a table by bit pattern, narrow integers through
// the position of every value. Neither for any other column.
struct FieldBinning {
    std::unique_ptr<SinglePositionTable> singles;
    std::vector<uint32_t> integers;
    bool Direct() const { return singles != nullptr || !integers.empty(); }
};

template <typename BitsOf>
struct SinglePositions {
    SinglePositionTable::Lookup lookup;
    BitsOf bitsOf;
    uint32_t operator()(const uint8_t* field) const { return lookup.Position(bitsOf(field)); }
};

struct IntegerPositions {
    const uint32_t* positions;
    uint64_t mask;  // the values a field of its width holds
    const FieldDecoder* decoder;
    uint32_t operator()(const uint8_t* field) const {
        return positions[decoder->Integer(field) & mask];
    }
};

// Calls work with the positions of a column whose binning is Direct().
template <typename Work>
void WithPositions(SingleBytes bytes,
                   const FieldDecoder& decoder,
                   const FieldBinning& binning,
                   Work work) {
    if (binning.singles != nullptr) {
        const SinglePositionTable::Lookup lookup = binning.singles->MakeLookup();
        WithSingleBits(bytes, decoder, [&](auto bitsOf) {
            work(SinglePositions<decltype(bitsOf)>{lookup, bitsOf});
        });
    } else {
        work(IntegerPositions{binning.integers.data(), binning.integers.size() - 1, &decoder});
    }
}

// One column of a block decoded: values[e] of event e. The rule is the decoder's; the commonest
// layout, singles as the machine stores them, is copied without going byte by byte.
void DecodeColumn(const FieldDecoder& decoder,
                  SingleBytes singles,
                  const uint8_t* field,
                  int64_t eventSize,
                  int64_t count,
                  double* values) {
    if (singles == SingleBytes::kAsStored) {
        for (int64_t e = 0; e < count; ++e, field += eventSize) {
            float single;
            std::memcpy(&single, field, sizeof single);
            values[e] = single;
        }
        return;
    }
    for (int64_t e = 0; e < count; ++e, field += eventSize) {
        values[e] = FieldNumber(decoder, field);
    }
}

bool KnownParameter(const DataSet& dataSet, int32_t parameter) {
    return parameter >= 0 && static_cast<size_t>(parameter) < dataSet.parameters.size();
}

}  // namespace

RequestProblem CheckRequests(const DataSet& dataSet, CountingRequests& requests) {
    RequestProblem problem;
    auto parameter = [&](int32_t p) {
        if (!KnownParameter(dataSet, p)) {
            problem.kind = RequestProblem::kUnknownParameter;
            problem.parameter = p;
            return false;
        }
        return true;
    };
    auto axis = [&](AxisSpec& spec) {
        spec.scale = ResolveScale(spec.scale, spec.high);
        problem.axis = CheckAxis(spec);
        if (!problem.axis.Ok()) {
            problem.kind = RequestProblem::kAxis;
            return false;
        }
        return true;
    };
    for (HistogramRequest& h : requests.histograms) {
        if (!parameter(h.parameter) || !axis(h.axis)) {
            return problem;
        }
    }
    for (DensityRequest& d : requests.densities) {
        if (!parameter(d.xParameter) || !parameter(d.yParameter) || !axis(d.x) || !axis(d.y)) {
            return problem;
        }
    }
    for (int32_t p : requests.extents) {
        if (!parameter(p)) {
            return problem;
        }
    }
    return problem;
}

std::string RequestProblemText(const RequestProblem& problem) {
    switch (problem.kind) {
        case RequestProblem::kNone:
            break;
        case RequestProblem::kUnknownParameter:
            return "the data set has no parameter " + std::to_string(problem.parameter + 1);
        case RequestProblem::kAxis:
            return AxisProblemText(problem.axis);
    }
    return {};
}

// What every lane reads and what it adds to. Fields above the lock never change once made.
struct EventCounter::Shared {
    // Each parameter the requests need. Singles are binned from the block's bytes; other columns,
    // and those whose extents are wanted, are decoded once per block into a column of doubles.
    struct Column {
        int32_t parameter = 0;
        int64_t offset = 0;  // within the event
        FieldDecoder decoder;
        SingleBytes singles = SingleBytes::kNone;
        int32_t integerBytes = 0;  // of an integer column narrow enough for a table, else 0
        int64_t decoded = -1;      // which column of doubles, if it is decoded
    };
    std::vector<Column> columns;
    int64_t decodedColumns = 0;
    // Per histogram, and per density axis when both of its columns have one: how the fields
    // are binned from their bytes.
    std::vector<FieldBinning> histogramBinning;
    std::vector<FieldBinning> densityXBinning;
    std::vector<FieldBinning> densityYBinning;
    std::vector<size_t> histogramColumn;  // per histogram
    std::vector<size_t> densityXColumn;
    std::vector<size_t> densityYColumn;
    std::vector<size_t> extentColumn;
    // Where each request's bins start within a lane's bins: a histogram has its positions
    // (below, the bins, above) and then invalid; a density its bins, then outside and invalid.
    std::vector<size_t> histogramBins;
    std::vector<size_t> densityBins;
    size_t laneBinCount = 0;
    int64_t first = 0;
    int64_t blockEvents = 1;
    int64_t blockCount = 0;
    int64_t handInEvents = 1;
    bool tooWide = false;

    std::atomic<int64_t> nextBlock{0};
    std::atomic<bool> stopping{false};
    std::atomic<bool> cancelled{false};

    mutable std::atomic_flag lock = ATOMIC_FLAG_INIT;
    // Under lock:
    CountingResult totals;
    int lanesRunning = 0;
    bool started = false;
    bool fileEnded = false;
    FileStatus readError;
};

// A lane's own bins and buffers, made when it starts and added to the totals when it stops.
struct EventCounter::Lane {
    std::vector<uint8_t> block;
    std::vector<double> values;  // columns one after another, blockEvents values each
    std::vector<uint32_t> bins;
    struct Extent {
        uint64_t finite = 0;
        double lowest = std::numeric_limits<double>::infinity();
        double highest = -std::numeric_limits<double>::infinity();
    };
    std::vector<Extent> extents;
    int64_t events = 0;  // counted into bins, not handed in yet
};

EventCounter::EventCounter(const DataSet& events, const CountingRequests& requests)
    : dataSet(events), shared(std::make_unique<Shared>()) {
    Shared& s = *shared;
    const int64_t first = std::max<int64_t>(requests.firstEvent, 0);
    if (first < dataSet.eventCount) {
        const int64_t available = dataSet.eventCount - first;
        eventsAsked =
            requests.eventCount < 0 ? available : std::min(requests.eventCount, available);
    }
    s.first = first;

    auto columnOf = [&](int32_t parameter) {
        for (size_t c = 0; c < s.columns.size(); ++c) {
            if (s.columns[c].parameter == parameter) {
                return c;
            }
        }
        Shared::Column column;
        column.parameter = parameter;
        const std::vector<int64_t>& offsets = dataSet.FieldOffsets();
        if (KnownParameter(dataSet, parameter) && static_cast<size_t>(parameter) < offsets.size()) {
            column.offset = offsets[static_cast<size_t>(parameter)];
            column.decoder = dataSet.DecoderOf(parameter);
            column.singles = SingleBytesOf(column.decoder);
            const int32_t width = dataSet.parameters[static_cast<size_t>(parameter)].width;
            if (column.decoder.Kind() == DecodedValue::kInteger && width >= 1 &&
                width <= kMaxTabledIntegerBytes) {
                column.integerBytes = width;
            }
        }
        s.columns.push_back(column);
        return s.columns.size() - 1;
    };
    auto decode = [&](size_t c) {
        if (s.columns[c].decoded < 0) {
            s.columns[c].decoded = s.decodedColumns++;
        }
    };
    // Exactly the axis's positions, worked out for every bit pattern or value the column holds.
    auto binningOf = [&](size_t c, const Axis& axis) {
        FieldBinning binning;
        const Shared::Column& column = s.columns[c];
        if (column.singles != SingleBytes::kNone) {
            binning.singles = std::make_unique<SinglePositionTable>(axis);
        } else if (column.integerBytes > 0) {
            binning.integers.resize(size_t{1} << (8 * column.integerBytes));
            const uint32_t invalid = static_cast<uint32_t>(axis.Above()) + 1;
            for (size_t v = 0; v < binning.integers.size(); ++v) {
                const int32_t position = axis.Position(static_cast<double>(v));
                binning.integers[v] = position < 0 ? invalid : static_cast<uint32_t>(position);
            }
        }
        return binning;
    };

    CountingResult& totals = s.totals;
    for (const HistogramRequest& request : requests.histograms) {
        Histogram histogram;
        histogram.parameter = request.parameter;
        histogram.axis = Axis(request.axis);
        histogram.counts.assign(static_cast<size_t>(histogram.axis.Bins()), 0);
        const size_t column = columnOf(request.parameter);
        s.histogramBinning.push_back(binningOf(column, histogram.axis));
        if (!s.histogramBinning.back().Direct()) {
            decode(column);
        }
        s.histogramColumn.push_back(column);
        s.histogramBins.push_back(s.laneBinCount);
        s.laneBinCount += static_cast<size_t>(histogram.axis.Bins()) + 3;
        totals.histograms.push_back(std::move(histogram));
    }
    for (const DensityRequest& request : requests.densities) {
        Density density;
        density.xParameter = request.xParameter;
        density.yParameter = request.yParameter;
        density.x = Axis(request.x);
        density.y = Axis(request.y);
        const size_t cells =
            static_cast<size_t>(density.x.Bins()) * static_cast<size_t>(density.y.Bins());
        density.counts.assign(cells, 0);
        const size_t xColumn = columnOf(request.xParameter);
        const size_t yColumn = columnOf(request.yParameter);
        s.densityXBinning.push_back(binningOf(xColumn, density.x));
        s.densityYBinning.push_back(binningOf(yColumn, density.y));
        if (!s.densityXBinning.back().Direct() || !s.densityYBinning.back().Direct()) {
            s.densityXBinning.back() = FieldBinning();
            s.densityYBinning.back() = FieldBinning();
            decode(xColumn);
            decode(yColumn);
        }
        s.densityXColumn.push_back(xColumn);
        s.densityYColumn.push_back(yColumn);
        s.densityBins.push_back(s.laneBinCount);
        s.laneBinCount += cells + 2;
        totals.densities.push_back(std::move(density));
    }
    for (int32_t parameter : requests.extents) {
        ParameterExtent extent;
        extent.parameter = parameter;
        const size_t column = columnOf(parameter);
        decode(column);
        s.extentColumn.push_back(column);
        totals.extents.push_back(extent);
    }

    const int64_t eventSize = dataSet.eventSize;
    if (eventsAsked > 0 && (eventSize <= 0 || eventSize > kMaxEventSize)) {
        s.tooWide = true;
        return;
    }
    if (eventsAsked > 0) {
        const int64_t columnCount = std::max<int64_t>(s.decodedColumns, 1);
        s.blockEvents = std::clamp<int64_t>(
            std::min(kBlockBytes / eventSize,
                     kColumnBytes / (columnCount * static_cast<int64_t>(sizeof(double)))),
            1, eventsAsked);
        s.blockCount = (eventsAsked + s.blockEvents - 1) / s.blockEvents;
        const int64_t handInBytes = std::max<int64_t>(
            kHandInBytes, static_cast<int64_t>(s.laneBinCount) * kHandInBytesPerBin);
        s.handInEvents =
            std::clamp<int64_t>(handInBytes / eventSize, 1, kMaxLaneEvents - s.blockEvents);
    }
}

EventCounter::~EventCounter() = default;

void EventCounter::Cancel() {
    shared->cancelled.store(true, std::memory_order_relaxed);
    shared->stopping.store(true, std::memory_order_relaxed);
}

namespace {

template <typename PositionOf>
void CountFields(PositionOf positionOf,
                 const uint8_t* field,
                 int64_t eventSize,
                 int64_t count,
                 uint32_t* bins) {
    const uint8_t* const end = field + count * eventSize;
    // Two events a turn: the loop's own steps are a sizeable part of so little work.
    for (int64_t pairs = count / 2; pairs > 0; --pairs, field += 2 * eventSize) {
        const uint32_t first = positionOf(field);
        const uint32_t second = positionOf(field + eventSize);
        ++bins[first];
        ++bins[second];
    }
    if (field != end) {
        ++bins[positionOf(field)];
    }
}

// A density's positions on both axes from the fields' bytes.
template <typename XPositionOf, typename YPositionOf>
void CountFieldDensity(XPositionOf xPositionOf,
                       YPositionOf yPositionOf,
                       const Axis& x,
                       const Axis& y,
                       const uint8_t* xField,
                       const uint8_t* yField,
                       int64_t eventSize,
                       int64_t count,
                       uint32_t* bins) {
    const uint32_t across = static_cast<uint32_t>(x.Bins());
    const uint32_t up = static_cast<uint32_t>(y.Bins());
    const size_t outside = static_cast<size_t>(across) * up;
    const size_t invalid = outside + 1;
    // Positions less one: the bins from 0, then above, then invalid.
    const uint32_t xInvalid = static_cast<uint32_t>(x.Above());
    const uint32_t yInvalid = static_cast<uint32_t>(y.Above());
    const uint8_t* const xEnd = xField + count * eventSize;
    for (; xField != xEnd; xField += eventSize, yField += eventSize) {
        const uint32_t column = xPositionOf(xField) - 1;
        const uint32_t row = yPositionOf(yField) - 1;
        size_t bin;
        if (column < across && row < up) {
            bin = static_cast<size_t>(row) * across + column;
        } else {
            bin = column == xInvalid || row == yInvalid ? invalid : outside;
        }
        ++bins[bin];
    }
}

void CountHistogram(const Axis& axis, const double* values, int64_t count, uint32_t* bins) {
    const size_t invalid = static_cast<size_t>(axis.Bins()) + 2;
    for (int64_t e = 0; e < count; ++e) {
        const int32_t position = axis.Position(values[e]);
        ++bins[position >= 0 ? static_cast<size_t>(position) : invalid];
    }
}

void CountDensity(const Axis& x,
                  const Axis& y,
                  const double* xValues,
                  const double* yValues,
                  int64_t count,
                  uint32_t* bins) {
    const uint32_t across = static_cast<uint32_t>(x.Bins());
    const uint32_t up = static_cast<uint32_t>(y.Bins());
    const size_t outside = static_cast<size_t>(across) * up;
    const size_t invalid = outside + 1;
    for (int64_t e = 0; e < count; ++e) {
        const int32_t column = x.Position(xValues[e]);
        const int32_t row = y.Position(yValues[e]);
        if (column < 0 || row < 0) {
            ++bins[invalid];
        } else if (static_cast<uint32_t>(column - 1) < across &&
                   static_cast<uint32_t>(row - 1) < up) {
            ++bins[static_cast<size_t>(row - 1) * across + static_cast<size_t>(column - 1)];
        } else {
            ++bins[outside];
        }
    }
}

}  // namespace

void EventCounter::RunLane() {
    Shared& s = *shared;
    {
        SpinHold hold(s.lock);
        s.started = true;
        ++s.lanesRunning;
    }
    Lane lane;
    if (!s.tooWide && s.blockCount > 0) {
        lane.block.resize(static_cast<size_t>(s.blockEvents * dataSet.eventSize));
        lane.values.resize(static_cast<size_t>(s.blockEvents * s.decodedColumns));
        lane.bins.assign(s.laneBinCount, 0);
        lane.extents.resize(s.extentColumn.size());
    }
    const EventBlockReader reader(dataSet);
    const int64_t eventSize = dataSet.eventSize;
    const size_t stride = static_cast<size_t>(s.blockEvents);

    auto handIn = [&] {
        SpinHold hold(s.lock);
        CountingResult& totals = s.totals;
        totals.eventsCounted += lane.events;
        lane.events = 0;
        if (lane.bins.empty() && lane.extents.empty()) {
            return;  // a lane that had nothing to count
        }
        for (size_t h = 0; h < totals.histograms.size(); ++h) {
            Histogram& histogram = totals.histograms[h];
            uint32_t* bins = lane.bins.data() + s.histogramBins[h];
            const size_t count = histogram.counts.size();
            histogram.below += bins[0];
            for (size_t k = 0; k < count; ++k) {
                histogram.counts[k] += bins[k + 1];
            }
            histogram.above += bins[count + 1];
            histogram.invalid += bins[count + 2];
        }
        for (size_t d = 0; d < totals.densities.size(); ++d) {
            Density& density = totals.densities[d];
            uint32_t* bins = lane.bins.data() + s.densityBins[d];
            const size_t count = density.counts.size();
            for (size_t k = 0; k < count; ++k) {
                density.counts[k] += bins[k];
            }
            density.outside += bins[count];
            density.invalid += bins[count + 1];
        }
        for (size_t x = 0; x < totals.extents.size(); ++x) {
            ParameterExtent& extent = totals.extents[x];
            const Lane::Extent& mine = lane.extents[x];
            if (mine.finite > 0) {
                extent.lowest =
                    extent.finite > 0 ? std::min(extent.lowest, mine.lowest) : mine.lowest;
                extent.highest =
                    extent.finite > 0 ? std::max(extent.highest, mine.highest) : mine.highest;
                extent.finite += mine.finite;
            }
        }
        std::fill(lane.bins.begin(), lane.bins.end(), 0);
        lane.extents.assign(lane.extents.size(), Lane::Extent{});
    };

    while (!s.stopping.load(std::memory_order_relaxed)) {
        const int64_t b = s.nextBlock.fetch_add(1, std::memory_order_relaxed);
        if (b >= s.blockCount) {
            break;
        }
        const int64_t firstInBlock = b * s.blockEvents;
        const int64_t want = std::min(s.blockEvents, eventsAsked - firstInBlock);
        const EventBlock block = reader.Read(s.first + firstInBlock, want, lane.block.data());
        const int64_t count = std::min(block.events, want);
        if (!block.error.Ok() || block.fileEnded || count < want) {
            SpinHold hold(s.lock);
            if (!block.error.Ok() && s.readError.Ok()) {
                s.readError = block.error;
            } else if (block.error.Ok()) {
                s.fileEnded = true;
            }
            s.stopping.store(true, std::memory_order_relaxed);
        }
        if (count <= 0) {
            break;
        }
        const uint8_t* events = lane.block.data();
        auto valuesOf = [&](size_t c) {
            return lane.values.data() + static_cast<size_t>(s.columns[c].decoded) * stride;
        };
        for (const Shared::Column& column : s.columns) {
            if (column.decoded >= 0) {
                DecodeColumn(column.decoder, column.singles, events + column.offset, eventSize,
                             count,
                             lane.values.data() + static_cast<size_t>(column.decoded) * stride);
            }
        }
        const CountingResult& totals = s.totals;  // its axes never change
        for (size_t h = 0; h < totals.histograms.size(); ++h) {
            const Shared::Column& column = s.columns[s.histogramColumn[h]];
            uint32_t* bins = lane.bins.data() + s.histogramBins[h];
            const FieldBinning& binning = s.histogramBinning[h];
            if (binning.Direct()) {
                WithPositions(column.singles, column.decoder, binning, [&](auto positionOf) {
                    CountFields(positionOf, events + column.offset, eventSize, count, bins);
                });
            } else {
                CountHistogram(totals.histograms[h].axis, valuesOf(s.histogramColumn[h]), count,
                               bins);
            }
        }
        for (size_t d = 0; d < totals.densities.size(); ++d) {
            const Density& density = totals.densities[d];
            uint32_t* bins = lane.bins.data() + s.densityBins[d];
            const Shared::Column& xColumn = s.columns[s.densityXColumn[d]];
            const Shared::Column& yColumn = s.columns[s.densityYColumn[d]];
            const FieldBinning& xBinning = s.densityXBinning[d];
            const FieldBinning& yBinning = s.densityYBinning[d];
            if (xBinning.Direct()) {
                WithPositions(xColumn.singles, xColumn.decoder, xBinning, [&](auto xPositionOf) {
                    WithPositions(
                        yColumn.singles, yColumn.decoder, yBinning, [&](auto yPositionOf) {
                            CountFieldDensity(xPositionOf, yPositionOf, density.x, density.y,
                                              events + xColumn.offset, events + yColumn.offset,
                                              eventSize, count, bins);
                        });
                });
            } else {
                CountDensity(density.x, density.y, valuesOf(s.densityXColumn[d]),
                             valuesOf(s.densityYColumn[d]), count, bins);
            }
        }
        for (size_t x = 0; x < lane.extents.size(); ++x) {
            Lane::Extent& extent = lane.extents[x];
            const double* values = valuesOf(s.extentColumn[x]);
            for (int64_t e = 0; e < count; ++e) {
                const double v = values[e];
                if (std::isfinite(v)) {
                    ++extent.finite;
                    extent.lowest = std::min(extent.lowest, v);
                    extent.highest = std::max(extent.highest, v);
                }
            }
        }
        lane.events += count;
        eventsDone.fetch_add(count, std::memory_order_relaxed);
        if (lane.events >= s.handInEvents) {
            handIn();
        }
    }
    handIn();
    SpinHold hold(s.lock);
    --s.lanesRunning;
}

CountingResult EventCounter::Snapshot() const {
    SpinHold hold(shared->lock);
    return shared->totals;
}

CountingOutcome EventCounter::Outcome() const {
    const Shared& s = *shared;
    CountingOutcome outcome;
    outcome.eventsAsked = eventsAsked;
    SpinHold hold(shared->lock);
    outcome.eventsCounted = s.totals.eventsCounted;
    if (!s.started) {
        outcome.state = CountingState::kReady;
    } else if (s.lanesRunning > 0) {
        outcome.state = CountingState::kRunning;
    } else if (s.tooWide) {
        outcome.state = CountingState::kTooWide;
    } else if (!s.readError.Ok()) {
        outcome.state = CountingState::kReadFailed;
        outcome.readError = s.readError;
    } else if (s.fileEnded) {
        outcome.state = CountingState::kFileEnded;
    } else if (s.cancelled.load(std::memory_order_relaxed) && outcome.eventsCounted < eventsAsked) {
        outcome.state = CountingState::kCancelled;
    } else {
        outcome.state = CountingState::kComplete;
    }
    return outcome;
}
