// The counting pass: every data type, width and byte order decoded as the cells decode it, the
// counts against values the test wrote, ranges of events, what is invalid or outside, and how a
// pass ends: complete, cancelled, cut short by the file's end or by a failed read, in one lane
// or two, with snapshots taken while it runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <thread>

#include "EventCounting.h"
#include "FcsBuilder.h"
#include "ReaderTestSupport.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Layout {
    char type;
    int bits;
    bool bigEndian;
    const char* byteOrder;
};

// The bytes of one field, little- or big-endian.
void AppendField(std::vector<uint8_t>& data, const Layout& layout, double value) {
    const int bytes = layout.bits / 8;
    uint64_t raw = 0;
    if (layout.type == 'F') {
        const float single = static_cast<float>(value);
        uint32_t bits32;
        std::memcpy(&bits32, &single, 4);
        raw = bits32;
    } else if (layout.type == 'D') {
        std::memcpy(&raw, &value, 8);
    } else {
        raw = static_cast<uint64_t>(value);
    }
    for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (layout.bigEndian ? bytes - 1 - i : i);
        data.push_back(static_cast<uint8_t>(raw >> shift));
    }
}

// A data set of the given layout whose event e holds values[e][p].
std::vector<uint8_t> DataSetOf(const Layout& layout,
                               const std::vector<std::vector<double>>& values,
                               int64_t dataEvents = -1) {
    FcsBuilder b;
    const size_t parameters = values.empty() ? 1 : values[0].size();
    b.Add("$PAR", std::to_string(parameters))
        .Add("$DATATYPE", std::string(1, layout.type))
        .Add("$BYTEORD", layout.byteOrder)
        .Add("$TOT", std::to_string(dataEvents < 0 ? values.size() : dataEvents));
    for (size_t p = 0; p < parameters; ++p) {
        b.Add("$P" + std::to_string(p + 1) + "B", std::to_string(layout.bits));
        b.Add("$P" + std::to_string(p + 1) + "N", "P" + std::to_string(p + 1));
    }
    for (const std::vector<double>& event : values) {
        for (double v : event) {
            AppendField(b.data, layout, v);
        }
    }
    b.dataKeywords = true;
    return b.Build();
}

AxisSpec Linear(double low, double high, int32_t bins) {
    AxisSpec spec;
    spec.low = low;
    spec.high = high;
    spec.bins = bins;
    return spec;
}

// Bin of a linear axis by the formula, or -1 below, bins above.
int BinOf(const AxisSpec& spec, double v) {
    if (v < spec.low) {
        return -1;
    }
    if (v >= spec.high) {
        return spec.bins;
    }
    return static_cast<int>(std::floor(spec.bins * (v - spec.low) / (spec.high - spec.low)));
}

CountingResult CountAll(const DataSet& dataSet,
                        CountingRequests requests,
                        CountingOutcome* outcome = nullptr) {
    EXPECT_TRUE(CheckRequests(dataSet, requests).Ok());
    EventCounter counter(dataSet, requests);
    counter.RunLane();
    if (outcome != nullptr) {
        *outcome = counter.Outcome();
    }
    return counter.Snapshot();
}

uint64_t Sum(const Histogram& h) {
    uint64_t sum = h.below + h.above + h.invalid;
    for (uint64_t c : h.counts) {
        sum += c;
    }
    return sum;
}

TEST(EventCounting, EveryTypeWidthAndOrderCountsTheValuesWritten) {
    const Layout layouts[] = {{'I', 8, false, "1"},
                              {'I', 16, false, "1,2"},
                              {'I', 16, true, "2,1"},
                              {'I', 24, false, "1,2,3"},
                              {'I', 24, true, "3,2,1"},
                              {'I', 32, false, "1,2,3,4"},
                              {'I', 32, true, "4,3,2,1"},
                              {'I', 16, true, "4,3,2,1"},
                              {'F', 32, false, "1,2,3,4"},
                              {'F', 32, true, "4,3,2,1"},
                              {'D', 64, false, "1,2,3,4,5,6,7,8"},
                              {'D', 64, true, "8,7,6,5,4,3,2,1"}};
    for (const Layout& layout : layouts) {
        const std::string what =
            std::string(1, layout.type) + std::to_string(layout.bits) + " " + layout.byteOrder;
        const bool real = layout.type != 'I';
        std::vector<std::vector<double>> values;
        for (int e = 0; e < 300; ++e) {
            values.push_back(real ? std::vector<double>{(e - 50) * 1.25, e % 7 - 0.5}
                                  : std::vector<double>{static_cast<double>((e * 37) % 256),
                                                        static_cast<double>(e % 6 + 250)});
        }
        auto r = ParseBytes(DataSetOf(layout, values));
        ASSERT_EQ(r->first.eventCount, 300) << what;
        CountingRequests requests;
        requests.histograms.push_back({0, Linear(real ? -40 : 0, 200, 24)});
        requests.densities.push_back(
            {0, 1, Linear(0, 256, 8), real ? Linear(-1, 6, 4) : Linear(250, 256, 4)});
        requests.extents = {0, 1};
        CountingOutcome outcome;
        const CountingResult result = CountAll(r->first, requests, &outcome);
        EXPECT_EQ(outcome.state, CountingState::kComplete) << what;
        EXPECT_EQ(result.eventsCounted, 300) << what;

        const AxisSpec& hx = requests.histograms[0].axis;
        std::vector<uint64_t> counts(24);
        uint64_t below = 0, above = 0, outside = 0;
        std::vector<uint64_t> density(32);
        const DensityRequest& d = requests.densities[0];
        for (const std::vector<double>& event : values) {
            const double v = real && layout.type == 'F' ? static_cast<float>(event[0]) : event[0];
            const int bin = BinOf(hx, v);
            bin < 0 ? ++below : bin >= 24 ? ++above : ++counts[static_cast<size_t>(bin)];
            const int column = BinOf(d.x, event[0]);
            const int row = BinOf(d.y, event[1]);
            if (column < 0 || column >= 8 || row < 0 || row >= 4) {
                ++outside;
            } else {
                ++density[static_cast<size_t>(row * 8 + column)];
            }
        }
        const Histogram& h = result.histograms[0];
        EXPECT_EQ(h.counts, counts) << what;
        EXPECT_EQ(h.below, below) << what;
        EXPECT_EQ(h.above, above) << what;
        EXPECT_EQ(h.invalid, 0u) << what;
        EXPECT_EQ(result.densities[0].counts, density) << what;
        EXPECT_EQ(result.densities[0].outside, outside) << what;
        EXPECT_EQ(result.extents[0].lowest, real ? -62.5 : 0) << what;
        EXPECT_EQ(result.extents[0].highest, real ? 311.25 : 255) << what;
        EXPECT_EQ(result.extents[1].finite, 300u) << what;
    }
}

// Singles whose bytes are written in the order $BYTEORD gives (entry i: the significance of the
// field's byte i, 1 the least).
std::vector<uint8_t> SinglesInOrder(const std::vector<int>& order,
                                    const std::vector<std::vector<float>>& values) {
    FcsBuilder b;
    std::string byteOrder;
    for (int entry : order) {
        byteOrder += (byteOrder.empty() ? "" : ",") + std::to_string(entry);
    }
    b.Add("$PAR", std::to_string(values[0].size()))
        .Add("$DATATYPE", "F")
        .Add("$BYTEORD", byteOrder)
        .Add("$TOT", std::to_string(values.size()));
    for (size_t p = 0; p < values[0].size(); ++p) {
        b.Add("$P" + std::to_string(p + 1) + "B", "32");
    }
    for (const std::vector<float>& event : values) {
        for (float v : event) {
            uint32_t bits;
            std::memcpy(&bits, &v, 4);
            for (int entry : order) {
                b.data.push_back(static_cast<uint8_t>(bits >> (8 * (entry - 1))));
            }
        }
    }
    b.dataKeywords = true;
    return b.Build();
}

// Singles are binned from their bytes by a table of their bit patterns, doubles by decoding:
// the same values, some of any bit pattern at all, count the same both ways in every byte order.
TEST(EventCounting, SinglesInEveryByteOrderCountAsTheSameValuesInDoublePrecision) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> near(-2000, 270000);
    const float specials[] = {0.0f,
                              -0.0f,
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN(),
                              262144.0f,
                              -1000.0f,
                              std::numeric_limits<float>::max(),
                              std::numeric_limits<float>::denorm_min()};
    std::vector<std::vector<float>> singles;
    std::vector<std::vector<double>> doubles;
    for (int e = 0; e < 20000; ++e) {
        std::vector<float> event;
        for (int p = 0; p < 3; ++p) {
            uint32_t bits = static_cast<uint32_t>(random());
            float v;
            std::memcpy(&v, &bits, 4);
            event.push_back(e % 5 == 0 ? v : e % 7 == 0 ? specials[e / 7 % 9] : near(random));
        }
        singles.push_back(event);
        doubles.push_back({event[0], event[1], event[2]});
    }
    auto axis = [](ScaleKind kind, double low, double high, int32_t bins) {
        AxisSpec spec = Linear(low, high, bins);
        spec.scale.kind = kind;
        return spec;
    };
    CountingRequests requests;
    requests.histograms.push_back({0, axis(ScaleKind::kLogicle, 0, 262144, 256)});
    requests.histograms.push_back({1, axis(ScaleKind::kLinear, -1000, 1000, 65536)});
    requests.histograms.push_back({2, axis(ScaleKind::kLog, 1, 262144, 100)});
    requests.densities.push_back({0, 2, axis(ScaleKind::kAsinh, -1000, 262144, 64),
                                  axis(ScaleKind::kLogicle, -100, 262144, 32)});
    auto expected = ParseBytes(DataSetOf({'D', 64, false, "1,2,3,4,5,6,7,8"}, doubles));
    const CountingResult plain = CountAll(expected->first, requests);
    ASSERT_EQ(plain.eventsCounted, 20000);
    const std::vector<std::vector<int>> orders = {
        {1, 2, 3, 4}, {4, 3, 2, 1}, {2, 1, 4, 3}, {3, 4, 1, 2}};
    for (const std::vector<int>& order : orders) {
        auto r = ParseBytes(SinglesInOrder(order, singles));
        const CountingResult result = CountAll(r->first, requests);
        const std::string what = "byte order " + std::to_string(order[0]) + "...";
        EXPECT_EQ(result.eventsCounted, 20000) << what;
        for (size_t h = 0; h < plain.histograms.size(); ++h) {
            EXPECT_EQ(result.histograms[h].counts, plain.histograms[h].counts) << what << h;
            EXPECT_EQ(result.histograms[h].below, plain.histograms[h].below) << what << h;
            EXPECT_EQ(result.histograms[h].above, plain.histograms[h].above) << what << h;
            EXPECT_EQ(result.histograms[h].invalid, plain.histograms[h].invalid) << what << h;
        }
        EXPECT_EQ(result.densities[0].counts, plain.densities[0].counts) << what;
        EXPECT_EQ(result.densities[0].outside, plain.densities[0].outside) << what;
        EXPECT_EQ(result.densities[0].invalid, plain.densities[0].invalid) << what;
    }
    // Every kind of count was reached.
    EXPECT_GT(plain.histograms[0].below, 0u);
    EXPECT_GT(plain.histograms[0].above, 0u);
    EXPECT_GT(plain.histograms[0].invalid, 0u);
    EXPECT_GT(plain.densities[0].outside, 0u);
    EXPECT_GT(plain.densities[0].invalid, 0u);
}

// Integers of up to 16 bits are binned through the position of every value: every value of such
// a field counts as the same value in double precision does.
TEST(EventCounting, NarrowIntegersCountAsTheSameValuesInDoublePrecision) {
    const Layout layouts[] = {
        {'I', 16, false, "1,2"}, {'I', 16, true, "2,1"}, {'I', 8, false, "1"}};
    for (const Layout& layout : layouts) {
        const int values = 1 << layout.bits;
        std::vector<std::vector<double>> events;
        for (int e = 0; e < values; ++e) {
            events.push_back({static_cast<double>(e), static_cast<double>((e * 7919) % values)});
        }
        AxisSpec logicle = Linear(0, values, 200);
        logicle.scale.kind = ScaleKind::kLogicle;
        AxisSpec log = Linear(3, values / 2, 50);
        log.scale.kind = ScaleKind::kLog;
        CountingRequests requests;
        requests.histograms.push_back({0, logicle});
        requests.histograms.push_back({1, log});
        requests.densities.push_back({0, 1, log, Linear(10, values - 10, 30)});
        auto plainData = ParseBytes(DataSetOf({'D', 64, false, "1,2,3,4,5,6,7,8"}, events));
        auto tabled = ParseBytes(DataSetOf(layout, events));
        const CountingResult plain = CountAll(plainData->first, requests);
        const CountingResult result = CountAll(tabled->first, requests);
        const std::string what = std::to_string(layout.bits) + " " + layout.byteOrder;
        for (size_t h = 0; h < 2; ++h) {
            EXPECT_EQ(result.histograms[h].counts, plain.histograms[h].counts) << what << h;
            EXPECT_EQ(result.histograms[h].below, plain.histograms[h].below) << what << h;
            EXPECT_EQ(result.histograms[h].above, plain.histograms[h].above) << what << h;
        }
        EXPECT_GT(plain.histograms[1].below, 0u);
        EXPECT_EQ(result.densities[0].counts, plain.densities[0].counts) << what;
        EXPECT_EQ(result.densities[0].outside, plain.densities[0].outside) << what;
    }
}

TEST(EventCounting, NaNAndUndecodableFieldsAreInvalidAndARangeCountsItsEventsOnly) {
    const Layout floats{'F', 32, false, "1,2,3,4"};
    std::vector<std::vector<double>> values;
    for (int e = 0; e < 100; ++e) {
        values.push_back({e % 10 == 0 ? kNaN : e, e % 20 == 5 ? kNaN : 1000.0 + e});
    }
    auto r = ParseBytes(DataSetOf(floats, values));
    CountingRequests requests;
    requests.histograms.push_back({0, Linear(0, 100, 10)});
    requests.densities.push_back({0, 1, Linear(0, 50, 5), Linear(1000, 1100, 5)});
    requests.extents = {0};
    CountingResult all = CountAll(r->first, requests);
    EXPECT_EQ(all.histograms[0].invalid, 10u);
    EXPECT_EQ(all.histograms[0].counts, std::vector<uint64_t>(10, 9));
    EXPECT_EQ(all.densities[0].invalid, 15u);            // NaN across (10) or up (5)
    EXPECT_EQ(all.densities[0].outside, 50u - 5u - 2u);  // x of 50 and more, not already invalid
    EXPECT_EQ(all.extents[0].finite, 90u);
    EXPECT_EQ(all.extents[0].highest, 99);

    requests.firstEvent = 15;
    requests.eventCount = 20;
    CountingOutcome outcome;
    const CountingResult part = CountAll(r->first, requests, &outcome);
    EXPECT_EQ(outcome.eventsAsked, 20);
    EXPECT_EQ(part.eventsCounted, 20);
    EXPECT_EQ(part.histograms[0].counts, (std::vector<uint64_t>{0, 5, 9, 4, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(part.extents[0].lowest, 15);
    requests.eventCount = 1000;  // cut to the events that exist
    EXPECT_EQ(CountAll(r->first, requests).eventsCounted, 85);
    requests.firstEvent = 100;
    EXPECT_EQ(CountAll(r->first, requests, &outcome).eventsCounted, 0);
    EXPECT_EQ(outcome.state, CountingState::kComplete);

    // A data type the reader does not decode: every value is invalid.
    std::vector<uint8_t> bytes = DataSetOf(floats, values);
    const std::string from = "/$DATATYPE/F/";
    auto at = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
    ASSERT_NE(at, bytes.end());
    at[11] = 'A';
    auto undecodable = ParseBytes(bytes);
    requests.firstEvent = 0;
    requests.eventCount = -1;
    const CountingResult none = CountAll(undecodable->first, requests);
    EXPECT_EQ(none.histograms[0].invalid, 100u);
    EXPECT_EQ(none.extents[0].finite, 0u);
}

TEST(EventCounting, RequestsAreCheckedBeforeReading) {
    auto r = ParseBytes(DataSetOf({'F', 32, false, "1,2,3,4"}, {{1, 2}}));
    const int64_t reads = r->memory->readCount;
    CountingRequests requests;
    requests.histograms.push_back({2, Linear(0, 1, 4)});
    RequestProblem problem = CheckRequests(r->first, requests);
    EXPECT_EQ(RequestProblemText(problem), "the data set has no parameter 3");
    requests.histograms[0].parameter = 0;
    requests.densities.push_back({0, 1, Linear(0, 1, 4), Linear(5, 1, 4)});
    problem = CheckRequests(r->first, requests);
    EXPECT_EQ(problem.kind, RequestProblem::kAxis);
    EXPECT_EQ(problem.axis.kind, AxisProblemKind::kRange);
    requests.densities[0].y.low = 0;
    requests.densities[0].y.scale.kind = ScaleKind::kLogicle;
    EXPECT_TRUE(CheckRequests(r->first, requests).Ok());
    EXPECT_EQ(requests.densities[0].y.scale.logicle.t, 1);  // T follows the range's upper end
    EXPECT_EQ(r->memory->readCount, reads);
}

// A file that calls back on a chosen read of events, so a test can act in the middle of a pass.
class HookedFile : public MemoryFileAccess {
public:
    using MemoryFileAccess::MemoryFileAccess;
    FileStatus ReadAt(int64_t offset, void* buffer, uint32_t count, uint32_t& delivered) override {
        if (armed && ++eventReads == hookAt && hook) {
            hook();
        }
        return MemoryFileAccess::ReadAt(offset, buffer, count, delivered);
    }
    bool armed = false;
    int64_t eventReads = 0;
    int64_t hookAt = -1;
    std::function<void()> hook;
};

struct HookedReading {
    WarningLog log;
    SegmentTable segments;
    DataFile file;
    HookedFile* hooked = nullptr;
    DataSet dataSet{file, log};

    explicit HookedReading(std::vector<uint8_t> bytes) {
        auto access = std::make_unique<HookedFile>(std::move(bytes));
        hooked = access.get();
        file.Open(std::move(access));
        int64_t next = 0;
        EXPECT_TRUE(dataSet.Parse(segments, 0, next));
        hooked->armed = true;
    }
};

// 2.5 million events of one float, event e holding e % 1000: 77 blocks of 32768 events.
std::vector<uint8_t> ManyEvents(int64_t events = 2500000) {
    FcsBuilder b;
    b.Add("$PAR", "1").Add("$DATATYPE", "F").Add("$BYTEORD", "1,2,3,4").Add("$P1B", "32");
    b.Add("$TOT", std::to_string(events));
    b.data.resize(static_cast<size_t>(events) * 4);
    for (int64_t e = 0; e < events; ++e) {
        const float v = static_cast<float>(e % 1000);
        std::memcpy(b.data.data() + e * 4, &v, 4);
    }
    b.dataKeywords = true;
    return b.Build();
}

CountingRequests TenBins() {
    CountingRequests requests;
    requests.histograms.push_back({0, Linear(0, 1000, 10)});
    return requests;
}

TEST(EventCountingPass, CancelStopsWithinOneBlock) {
    HookedReading r(ManyEvents(300000));
    const CountingRequests requests = TenBins();
    EventCounter counter(r.dataSet, requests);
    r.hooked->hookAt = 2;  // the second block's read
    r.hooked->hook = [&counter] { counter.Cancel(); };
    counter.RunLane();
    const CountingOutcome outcome = counter.Outcome();
    EXPECT_EQ(outcome.state, CountingState::kCancelled);
    EXPECT_EQ(outcome.eventsCounted, 2 * 32768);
    EXPECT_EQ(counter.EventsDone(), 2 * 32768);
    EXPECT_EQ(Sum(counter.Snapshot().histograms[0]), 2u * 32768);
    EXPECT_EQ(r.hooked->eventReads, 2);

    EventCounter before(r.dataSet, requests);
    before.Cancel();
    EXPECT_EQ(before.Outcome().state, CountingState::kReady);
    before.RunLane();
    EXPECT_EQ(before.Outcome().state, CountingState::kCancelled);
    EXPECT_EQ(before.Outcome().eventsCounted, 0);
}

TEST(EventCountingPass, SnapshotsWhileRunningHoldWholeHandIns) {
    HookedReading r(ManyEvents());
    EventCounter counter(r.dataSet, TenBins());
    EXPECT_EQ(counter.EventsAsked(), 2500000);
    CountingResult during;
    int64_t doneThen = 0;
    r.hooked->hookAt = 70;
    r.hooked->hook = [&] {
        during = counter.Snapshot();
        doneThen = counter.EventsDone();
        EXPECT_EQ(counter.Outcome().state, CountingState::kRunning);
    };
    counter.RunLane();
    // A lane hands in every 8 MiB of events: 64 blocks had been handed in, 69 counted.
    EXPECT_EQ(during.eventsCounted, 64 * 32768);
    EXPECT_EQ(doneThen, 69 * 32768);
    EXPECT_EQ(Sum(during.histograms[0]), 64u * 32768);
    const CountingResult done = counter.Snapshot();
    EXPECT_EQ(counter.Outcome().state, CountingState::kComplete);
    EXPECT_EQ(done.histograms[0].counts, std::vector<uint64_t>(10, 250000));
}

TEST(EventCountingPass, TwoLanesCountWhatOneCountsWhileSnapshotsAreTaken) {
    HookedReading r(ManyEvents());
    EventCounter counter(r.dataSet, TenBins());
    std::thread second([&counter] { counter.RunLane(); });
    std::thread watcher([&counter] {
        while (counter.Outcome().state != CountingState::kComplete) {
            const CountingResult snapshot = counter.Snapshot();
            EXPECT_EQ(Sum(snapshot.histograms[0]), static_cast<uint64_t>(snapshot.eventsCounted));
        }
    });
    counter.RunLane();
    second.join();
    watcher.join();
    EXPECT_EQ(counter.Snapshot().histograms[0].counts, std::vector<uint64_t>(10, 250000));
    EXPECT_EQ(counter.Outcome().eventsCounted, 2500000);
}

TEST(EventCountingPass, AFileThatEndsInsideItsDataCountsItsCompleteEvents) {
    std::vector<uint8_t> bytes = ManyEvents(100000);
    bytes.resize(bytes.size() - 4 * 30000 - 2);  // 69999 whole events and half of one
    HookedReading r(bytes);
    ASSERT_EQ(r.dataSet.eventCount, 100000);
    EventCounter counter(r.dataSet, TenBins());
    counter.RunLane();
    const CountingOutcome outcome = counter.Outcome();
    EXPECT_EQ(outcome.state, CountingState::kFileEnded);
    EXPECT_EQ(outcome.eventsAsked, 100000);
    EXPECT_EQ(outcome.eventsCounted, 69999);
    EXPECT_EQ(Sum(counter.Snapshot().histograms[0]), 69999u);
}

TEST(EventCountingPass, ShortReadsAreReadOnAndFailedReadsEndThePass) {
    HookedReading r(ManyEvents(100000));
    r.hooked->faults.maxDelivered = 1000;
    EventCounter counter(r.dataSet, TenBins());
    counter.RunLane();
    EXPECT_EQ(counter.Outcome().state, CountingState::kComplete);
    EXPECT_EQ(counter.Snapshot().histograms[0].counts, std::vector<uint64_t>(10, 10000));

    r.hooked->faults.maxDelivered = 0;
    r.hooked->faults.failReadsFrom = r.hooked->readCount + 1;
    EventCounter failing(r.dataSet, TenBins());
    failing.RunLane();
    const CountingOutcome outcome = failing.Outcome();
    EXPECT_EQ(outcome.state, CountingState::kReadFailed);
    EXPECT_EQ(outcome.readError.outcome, FileOutcome::kSystemError);
    EXPECT_EQ(outcome.readError.systemCode, MemoryFileAccess::kFaultCode);
    EXPECT_EQ(outcome.eventsCounted, 32768);
}

}  // namespace
