// Histograms and density maps of every event of a data set, all filled by one pass over its
// DATA segment (or a range of its events), and the extents of parameters for axes that take
// their range from the data.
//
// The pass is made for a viewer's worker threads: each thread that calls RunLane takes blocks
// of events until none are left, so one or several lanes fill the same counts. Any thread may
// meanwhile ask how far the pass is (EventsDone), take a consistent partial result (Snapshot)
// or cancel it (Cancel), which every lane obeys before its next block. The pass itself starts no
// threads and takes no locks a lane could wait on for longer than a copy of the counts, so it
// builds wherever the reader builds. Memory: the counts (per lane while it runs, 32-bit), one
// block of events per lane and a table of at most 256 KB per axis, whatever the file's size.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Axis.h"
#include "DataSet.h"

struct HistogramRequest {
    int32_t parameter = 0;  // counted from 0
    AxisSpec axis;
};

// x across, y up.
struct DensityRequest {
    int32_t xParameter = 0;
    int32_t yParameter = 0;
    AxisSpec x;
    AxisSpec y;
};

struct CountingRequests {
    std::vector<HistogramRequest> histograms;
    std::vector<DensityRequest> densities;
    std::vector<int32_t> extents;  // parameters whose lowest and highest values are wanted
    int64_t firstEvent = 0;
    int64_t eventCount = -1;  // -1: to the data set's last event; cut to the events it has
};

struct Histogram {
    int32_t parameter = 0;
    Axis axis;
    std::vector<uint64_t> counts;  // one per bin
    uint64_t below = 0;
    uint64_t above = 0;
    uint64_t invalid = 0;  // NaN, or a field the reader cannot decode
};

struct Density {
    int32_t xParameter = 0;
    int32_t yParameter = 0;
    Axis x;
    Axis y;
    std::vector<uint64_t> counts;  // counts[row * x.Bins() + column], row 0 the lowest y bin
    uint64_t outside = 0;          // below or above the range on either axis
    uint64_t invalid = 0;          // NaN or undecodable on either axis
};

struct ParameterExtent {
    int32_t parameter = 0;
    uint64_t finite = 0;  // values that are neither NaN nor infinite
    double lowest = 0;    // of those; both 0 while finite is 0
    double highest = 0;
};

struct CountingResult {
    int64_t eventsCounted = 0;  // events whose values are in every count below
    std::vector<Histogram> histograms;
    std::vector<Density> densities;
    std::vector<ParameterExtent> extents;
};

enum class CountingState {
    kReady,  // no lane has run yet
    kRunning,
    kComplete,    // every event asked for was counted
    kFileEnded,   // the file ends inside the DATA segment: its complete events were counted
    kReadFailed,  // a read failed (readError); the events read until then were counted
    kTooWide,     // events wider than the reader reads (kMaxEventSize): nothing was counted
    kCancelled,
};

struct CountingOutcome {
    CountingState state = CountingState::kReady;
    FileStatus readError;     // for kReadFailed
    int64_t eventsAsked = 0;  // the events of the range the data set has
    int64_t eventsCounted = 0;
};

// Why a request cannot be counted; checked before any event is read.
struct RequestProblem {
    enum Kind { kNone, kUnknownParameter, kAxis };
    Kind kind = kNone;
    int32_t parameter = 0;  // for kUnknownParameter, counted from 0
    AxisProblem axis;       // for kAxis
    bool Ok() const { return kind == kNone; }
};

// Resolves each axis's scale (ResolveScale) and checks parameters and axes.
RequestProblem CheckRequests(const DataSet& dataSet, CountingRequests& requests);
std::string RequestProblemText(const RequestProblem& problem);

class EventCounter {
public:
    // requests must have passed CheckRequests. The data set and its file must stay open and
    // unchanged while lanes run; the viewer's own reads of the same file may go on meanwhile.
    EventCounter(const DataSet& dataSet, const CountingRequests& requests);
    ~EventCounter();
    EventCounter(const EventCounter&) = delete;
    EventCounter& operator=(const EventCounter&) = delete;

    // Counts blocks until none are left, the pass is cancelled or a read fails. Call it from as
    // many threads as should share the work (the calling thread alone is fine); each call adds
    // its counts when it returns.
    void RunLane();
    void Cancel();  // any thread; lanes stop before their next block

    // Any thread, at any time.
    int64_t EventsAsked() const { return eventsAsked; }
    int64_t EventsDone() const { return eventsDone.load(std::memory_order_relaxed); }
    // The counts of the events whose lanes have handed them in: during the pass a lane hands its
    // counts in every few megabytes, so a snapshot lags by at most that much per lane.
    CountingResult Snapshot() const;
    // How the pass ended, once every lane has returned (kRunning while one still runs).
    CountingOutcome Outcome() const;

private:
    struct Shared;
    struct Lane;

    const DataSet& dataSet;
    int64_t eventsAsked = 0;
    std::atomic<int64_t> eventsDone{0};
    std::unique_ptr<Shared> shared;
};
