#!/usr/bin/env python3
"""ketterlin-dump --histogram and --density: counts of generated files against counts this test
works out from the values it knows the generator wrote (its index and random patterns, written
out below), for every data type and both byte orders, every scale, event ranges and the second
data set; the default axis of each parameter; the text form; requests refused before any event
is read; a file that ends inside its DATA segment."""

import bisect
import json
import math
import os
import struct
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source folder clean
from tooltest import Checker, GeneratedFiles, tool_arguments

EXIT_READ, EXIT_USAGE, EXIT_INCOMPLETE = 0, 2, 3
MASK64 = (1 << 64) - 1


def splitmix64(x):
    x = (x + 0x9E3779B97F4A7C15) & MASK64
    x = ((x ^ (x >> 30)) * 0xBF58476D1CE4E5B9) & MASK64
    x = ((x ^ (x >> 27)) * 0x94D049BB133111EB) & MASK64
    return x ^ (x >> 31)


def as_float(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def generated_value(data_type, bits, pattern, event, parameter, seed=1):
    """The value ketterlin-fcsgen writes for (event, parameter), as its --help describes."""
    if pattern == "index":
        if data_type == "I":
            return (event * 10 + parameter) % (1 << bits)
        value = event + parameter / 10.0
        return as_float(value) if data_type == "F" else value
    r = splitmix64((splitmix64(seed ^ event) + parameter) & MASK64)
    if data_type == "I":
        return r & ((1 << bits) - 1)
    if data_type == "F":
        return as_float((r >> 40) / float(1 << 24) * 262144.0)
    return (r >> 11) / float(1 << 53) * 262144.0


def forward(scale, cofactor, x):
    if scale == "linear":
        return x
    if scale == "log":
        return math.log10(x) if x > 0 else -math.inf
    return math.asinh(x / cofactor)


def expected_histogram(values, scale, low, high, bins, cofactor=150.0, edges=None):
    """(counts, below, above, invalid): by the binning formula in double precision, or by the
    edges the program reports for logicle, which has no closed forward form."""
    counts = [0] * bins
    below = above = invalid = 0
    for x in values:
        if math.isnan(x):
            invalid += 1
            continue
        if edges is not None:
            position = bisect.bisect_right(edges, x)
        else:
            t0, t1, t = forward(scale, cofactor, low), forward(scale, cofactor, high), \
                forward(scale, cofactor, x)
            if t < t0:
                position = 0
            elif t >= t1:
                position = bins + 1
            else:
                position = 1 + min(bins - 1, math.floor(bins * (t - t0) / (t1 - t0)))
        if position == 0:
            below += 1
        elif position > bins:
            above += 1
        else:
            counts[position - 1] += 1
    return counts, below, above, invalid


class Files(GeneratedFiles):
    def counts(self, arguments, status=EXIT_READ):
        result = self.dump(["--json"] + arguments)
        self.check.equal("exit of %s" % arguments, result.returncode, status)
        return [json.loads(line) for line in result.stdout.splitlines()]


def check_histogram(check, label, doc, values, scale, low, high, bins, cofactor=150.0,
                    by_edges=False):
    counts, below, above, invalid = expected_histogram(
        values, scale, low, high, bins, cofactor, doc["edges"] if by_edges else None)
    check.equal(label + " counts", doc["counts"], counts)
    check.equal(label + " below, above, invalid", (doc["below"], doc["above"], doc["invalid"]),
                (below, above, invalid))
    check.equal(label + " events", doc["events"], len(values))
    check.equal(label + " range", doc["range"], [low, high])
    check.equal(label + " edge count", len(doc["edges"]), bins + 1)


def main():
    args = tool_arguments()
    check = Checker()

    with tempfile.TemporaryDirectory(prefix="ketterlin-counts-") as work:
        files = Files(args, work, check)

        # Every data type, width and byte order: linear histograms of the index pattern.
        for data_type, bits in (("I", 8), ("I", 16), ("I", 32), ("I", 64), ("F", 32), ("D", 64)):
            for order in ("little", "big"):
                label = "%s%d %s" % (data_type, bits, order)
                path = files.generate("t.fcs", ["--datatype", data_type, "--bits", str(bits),
                                                "--byteorder", order, "--params", "3",
                                                "--events", "500"])
                docs = files.counts(["--histogram", "1", "--histogram", "FL1-A", "--bins", "16",
                                     "--range", "0:3000", "--scale", "linear", path])
                check.equal(label + " documents", len(docs), 2)
                for doc, parameter in zip(docs, (0, 2)):
                    values = [generated_value(data_type, bits, "index", e, parameter)
                              for e in range(500)]
                    check_histogram(check, "%s parameter %d" % (label, parameter + 1), doc,
                                    values, "linear", 0, 3000, 16)
                    check.equal(label + " number", doc["number"], parameter + 1)
                check.equal(label + " names", [d["parameter"] for d in docs], ["FSC-A", "FL1-A"])
                check.equal(label + " linear edges", docs[0]["edges"],
                            [k * 3000 / 16 for k in range(17)])

        # Random values over [0, 262144) on every scale, and density maps, from 30000 events:
        # several blocks, counted by two lanes.
        events = 30000
        path = files.generate("r.fcs", ["--params", "4", "--events", str(events),
                                        "--pattern", "random"])
        values = [[generated_value("F", 32, "random", e, p) for e in range(events)]
                  for p in range(4)]
        for scale, extra, low, high in (("log", [], 1, 262144),
                                        ("asinh", ["--cofactor", "5"], -10, 262144),
                                        ("linear", [], 1000.5, 200000),
                                        ("logicle", ["--logicle", "262144,0.5,4.5,0"], 0, 262144)):
            docs = files.counts(["--histogram", "2", "--histogram", "4", "--scale", scale,
                                 "--range", "%r:%r" % (low, high), "--bins", "64"] + extra +
                                [path])
            for doc, parameter in zip(docs, (1, 3)):
                label = "%s parameter %d" % (scale, parameter + 1)
                check_histogram(check, label, doc, values[parameter], scale, low, high, 64,
                                cofactor=5.0, by_edges=scale == "logicle")
                check.equal(label + " scale", doc["scale"], scale)
        logicle = files.counts(["--histogram", "1", "--scale", "logicle", "--logicle",
                                "262144,0.5,4.5,0", path])[0]
        check.equal("logicle parameters", logicle["scaleParameters"],
                    {"T": 262144, "W": 0.5, "M": 4.5, "A": 0})
        check.true("logicle edges rise", all(a < b for a, b in zip(logicle["edges"],
                                                                    logicle["edges"][1:])))

        bins = 12
        docs = files.counts(["--density", "1,3", "--density", "SSC-A,P4", "--bins", str(bins),
                             "--xscale", "linear", "--xrange", "0:200000", "--yscale", "log",
                             "--yrange", "100:262144", path])
        check.equal("density documents", len(docs), 2)
        for doc, (px, py) in zip(docs, ((0, 2), (1, 3))):
            label = "density %d,%d" % (px + 1, py + 1)
            counts = [[0] * bins for _ in range(bins)]
            outside = 0
            for x, y in zip(values[px], values[py]):
                cx = expected_histogram([x], "linear", 0, 200000, bins)
                cy = expected_histogram([y], "log", 100, 262144, bins)
                if 1 in cx[0] and 1 in cy[0]:
                    counts[cy[0].index(1)][cx[0].index(1)] += 1
                else:
                    outside += 1
            check.equal(label + " counts", doc["counts"], counts)
            check.equal(label + " outside, invalid", (doc["outside"], doc["invalid"]),
                        (outside, 0))
            check.equal(label + " axes", (doc["x"]["number"], doc["x"]["scale"],
                                          doc["y"]["number"], doc["y"]["scale"]),
                        (px + 1, "linear", py + 1, "log"))
            check.equal(label + " events", doc["events"], events)

        # A range of events, and the second data set of an LMD file.
        doc = files.counts(["--histogram", "3", "--events", "100:2500", "--bins", "8",
                            "--range", "0:262144", "--scale", "linear", path])[0]
        check_histogram(check, "events 100:2500", doc, values[2][100:2600], "linear", 0,
                        262144, 8)
        lmd = files.generate("two.lmd", ["--lmd", "--datatype", "D", "--events", "300"])
        for data_set, data_type, bits in ((1, "I", 16), (2, "D", 64)):
            doc = files.counts(["--histogram", "2", "--dataset", str(data_set), "--bins", "10",
                                "--range", "0:300", lmd])[0]
            check_histogram(check, "data set %d" % data_set, doc,
                            [generated_value(data_type, bits, "index", e, 1) for e in range(300)],
                            "linear", 0, 300, 10)
            check.equal("data set %d named" % data_set, doc["dataset"], data_set)

        # The default axes: scatter linear and the rest logicle, 0 to $PnR (262144 for reals);
        # without a usable $PnR, the data's own range.
        docs = files.counts(["--histogram", "FSC-A", "--histogram", "SSC-A", "--histogram",
                             "FL1-A", path])
        check.equal("default scales", [d["scale"] for d in docs], ["linear", "linear", "logicle"])
        check.equal("default ranges", [d["range"] for d in docs], [[0, 262144]] * 3)
        check.equal("default bins", [len(d["counts"]) for d in docs], [256] * 3)
        check.equal("default logicle", docs[2]["scaleParameters"],
                    {"T": 262144, "W": 0.5, "M": 4.5, "A": 0})
        with open(path, "rb") as f:
            data = f.read()
        no_range = os.path.join(work, "norange.fcs")
        with open(no_range, "wb") as f:
            f.write(data.replace(b"/$P4R/262144/", b"/$P4R/none!!/"))
        doc = files.counts(["--histogram", "4", "--scale", "linear", "--bins", "50", no_range])[0]
        low, high = min(values[3]), max(values[3])
        check.equal("range from the data", doc["range"][0], low)
        check.true("range from the data ends above the highest value",
                   doc["range"][1] > high and doc["above"] == 0 and doc["below"] == 0, doc)
        check_histogram(check, "range from the data", doc, values[3], "linear", low,
                        doc["range"][1], 50)

        # Text: a line naming the count, then lower edge, upper edge and count, tab-separated.
        result = files.dump(["--histogram", "2", "--bins", "5", "--range", "0:262144", path])
        lines = result.stdout.splitlines()
        check.equal("text exit", result.returncode, EXIT_READ)
        check.equal("text heading", lines[0],
                    "histogram of SSC-A (parameter 2), linear, range [0, 262144), 5 bins; "
                    "events 30000, below 0, above 0, invalid 0")
        json_doc = files.counts(["--histogram", "2", "--bins", "5", "--range", "0:262144",
                                 path])[0]
        check.equal("text rows", [line.split("\t") for line in lines[1:]],
                    [[repr_number(json_doc["edges"][k]), repr_number(json_doc["edges"][k + 1]),
                      str(json_doc["counts"][k])] for k in range(5)])

        # Refused before any event is read: the file ends inside its DATA segment, which a
        # read would have reported with exit status 3.
        cut = os.path.join(work, "cut.fcs")
        with open(cut, "wb") as f:
            f.write(data[:len(data) - 16 * 1000 - 7])
        for arguments, message in (
                (["--histogram", "FL9"], "no parameter FL9"),
                (["--histogram", "5"], "no parameter 5"),
                (["--density", "1,0"], "no parameter 0"),
                (["--histogram", "1", "--bins", "0"], "the number of bins must be 1 to 65536"),
                (["--histogram", "1", "--bins", "65537"], "the number of bins must be 1 to 65536"),
                (["--histogram", "1", "--range", "5:5"], "LO below HI"),
                (["--histogram", "1", "--range", "5:-5"], "LO below HI"),
                (["--histogram", "1", "--scale", "log", "--range", "0:10"],
                 "a log scale needs a range that starts above 0"),
                (["--histogram", "1", "--scale", "logicle", "--logicle", "1000,3,4.5,0"],
                 "logicle needs 0 <= W <= M/2"),
                (["--histogram", "1", "--scale", "logicle", "--logicle", "-1,0.5,4.5,0"],
                 "logicle needs T > 0"),
                (["--histogram", "1", "--scale", "logicle", "--logicle", "1000,0.5,4.5,-1"],
                 "logicle needs -W <= A <= M - 2W"),
                (["--histogram", "1", "--scale", "asinh", "--cofactor", "0"],
                 "asinh needs a cofactor above 0"),
                (["--density", "1,2", "--yscale", "log", "--yrange", "-1:5"],
                 "a log scale needs a range that starts above 0"),
                (["--histogram", "1", "--scale", "ln"], "--scale needs linear, log"),
                (["--histogram", "1", "--range", "a:b"], "--range needs LO:HI"),
                (["--histogram", "1", "--xscale", "log"], "--xscale, --yscale"),
                (["--bins", "8"], "go with --histogram or --density"),
                (["--histogram", "1", "--csv"], "do not go with --csv")):
            result = files.dump(arguments + [cut])
            label = "refused %s" % arguments
            check.equal(label, (result.returncode, result.stdout), (EXIT_USAGE, ""))
            check.true(label + " message", message in result.stderr, result.stderr)

        # A file that ends inside its DATA segment: the complete events are counted, exit 3.
        whole = (len(data) - 16 * 1000 - 7 - (len(data) - events * 16)) // 16
        result = files.dump(["--json", "--histogram", "1", "--range", "0:262144", "--bins", "4",
                             cut])
        check.equal("cut exit", result.returncode, EXIT_INCOMPLETE)
        doc = json.loads(result.stdout)
        check_histogram(check, "cut", doc, values[0][:whole], "linear", 0, 262144, 4)
        check.true("cut message",
                   "%d of %d events counted: the file ends inside its DATA segment" %
                   (whole, events) in result.stderr, result.stderr)

    return check.finish("count_test")


def repr_number(value):
    """A JSON number as the text output writes it: the shortest text that reads back."""
    text = repr(float(value))
    if text.endswith(".0"):
        text = text[:-2]
    return text


if __name__ == "__main__":
    sys.exit(main())
