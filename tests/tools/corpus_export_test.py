#!/usr/bin/env python3
"""Every data set of every real file of the shared corpus exported with ketterlin-dump --csv
and read back: each event's cells are the values the inspector shows for it (--json --events
of all events), and the doubles of data sets with a plain byte order are also compared bit for
bit with the file's own bytes, since 15 digits cannot pin a double down. An export that stops
early must say why and keep the events before it."""

import json
import struct
import sys

sys.dont_write_bytecode = True  # keep the source folder clean
from exportcheck import check_export, parse_csv, same_bits
from tooltest import SKIP, Checker, corpus_arguments, corpus_files, run_tool, sanitizer_finding

EXIT_READ, EXIT_UNKNOWN, EXIT_INCOMPLETE = 0, 1, 3


def file_doubles(data, d, rows):
    """The doubles of the exported events straight from the file, for D data sets whose byte
    order runs plainly up or down (written with eight entries or, as many files do, with the
    four of single precision); None for every other layout."""
    order = d["byteOrder"]
    if d["dataType"] != "D" or any(p["width"] != 8 for p in d["parameters"]):
        return None
    if order in (list(range(1, 9)), [1, 2, 3, 4]):
        code = "<d"
    elif order in (list(range(8, 0, -1)), [4, 3, 2, 1]):
        code = ">d"
    else:
        return None
    values = []
    for e in range(rows):
        start = d["dataOffset"] + e * d["eventSize"]
        values.append([struct.unpack(code, data[start + 8 * p:start + 8 * p + 8])[0]
                       for p in range(len(d["parameters"]))])
    return values


def main():
    args = corpus_arguments(__doc__)
    if args is None:
        return SKIP
    check = Checker()
    exported = doubles = 0
    files = corpus_files(args.corpus)
    for rel, path in files:
        with open(path, "rb") as f:
            data = f.read()
        shown = run_tool([args.dump, "--json", "--events", "0:2147483647", path], timeout=300)
        if not check.true(rel + ": inspected", shown.returncode in (EXIT_READ, EXIT_UNKNOWN),
                          shown.stderr[-2000:]):
            continue
        doc = json.loads(shown.stdout)
        for number, d in enumerate(doc["datasets"], 1):
            label = "%s#%d" % (rel, number)
            result = run_tool([args.dump, "--csv", "--dataset", str(number), path], timeout=300)
            finding = sanitizer_finding(result)
            if not check.true(label + ": no sanitizer finding", finding is None, finding):
                continue
            rows = parse_csv(result.stdout)
            # The inspector shows every event the DATA segment claims; the export keeps the
            # complete ones the file holds and says when that is fewer.
            written = len(rows) - 1
            if result.returncode == EXIT_INCOMPLETE:
                check.true(label + ": says why it stopped",
                           "%d of %d events written" % (written, d["eventCount"])
                           in result.stderr, result.stderr)
                check.true(label + ": stopped early", written < d["eventCount"])
                d = dict(d, events=d["events"][:written])
            else:
                check.equal(label + ": exit", (result.returncode, result.stderr), (EXIT_READ, ""))
            check_export(check, label, d, rows)
            exported += 1
            expected = file_doubles(data, d, written)
            if expected is not None:
                doubles += 1
                check.true(label + ": doubles bit for bit",
                           all(same_bits(float(cell), value)
                               for row, values in zip(rows[1:], expected)
                               for cell, value in zip(row, values)))
    check.true("data sets exported", exported >= 40, exported)
    return check.finish("corpus export (%d files, %d data sets, %d of doubles)" %
                        (len(files), exported, doubles))


if __name__ == "__main__":
    sys.exit(main())
