#!/usr/bin/env python3
"""Every real file of the shared corpus through ketterlin-dump: it must never crash or trip a
sanitizer (exit 0 or 1 only), always print valid JSON, agree with the facts MANIFEST.tsv
records, and show the first events' cells as an independent decoder reads the same bytes."""

import csv
import json
import os
import struct
import sys

sys.dont_write_bytecode = True  # keep the source folder clean
from tooltest import SKIP, Checker, corpus_arguments, corpus_files, run_tool, sanitizer_finding

EVENTS = 20

# Facts of single files, checked exactly. (file, what, expected)
KNOWN = [
    ("flowio/coulter.lmd", "versions", ["FCS2.0", "FCS3.0"]),
    ("flowio/coulter.lmd", "eventCounts", [18110, 18110]),
    ("flowio/coulter.lmd", "error", None),
    ("fcsparser/corrupted.fcs", "versions", []),
    ("fcsparser/corrupted.fcs", "error", "Unknown format"),
    # Blank HEADER DATA fields are not a number: strict, whatever $BEGINDATA says.
    ("fcsparser/fake_large_fcs.fcs", "error", "Unknown format"),
    # The TEXT segment's last value is not closed by a delimiter.
    ("fcsparser/sample_header.fcs", "error", "Unknown format"),
    ("cytoflow/Beckman Coulter - Gallios.LMD", "parameterCounts", [6, 5]),
    ("fcsparser/cyflow_cube_8.fcs", "widths", [[2, 2, 2, 2, 2, 2, 2, 2, 4, 1]]),
    # Four data sets chained: the viewer reads two and never a third.
    ("facejava/int-4_ds_2_events_2_parameters.fcs", "versions", ["FCS3.0", "FCS3.0"]),
    ("facejava/double-(-4.5)_20_test_file.fcs", "firstRow", ["-4.5", "20"]),
    ("flowkit/data_set_simple_line_100.fcs", "warnings", [[]]),
    # An FCS 3.1 file whose keyword values are UTF-8.
    ("flowio/G11.fcs", "$P6S", "Alexa Fluor\u2122 405-A"),
]


def fact(doc, what):
    sets = doc["datasets"]
    return {
        "versions": lambda: [d["version"] for d in sets],
        "eventCounts": lambda: [d["eventCount"] for d in sets],
        "error": lambda: doc["error"],
        "parameterCounts": lambda: [len(d["parameters"]) for d in sets],
        "widths": lambda: [[p["width"] for p in d["parameters"]] for d in sets],
        "firstRow": lambda: sets[0]["events"][0] if sets and sets[0]["events"] else None,
        "warnings": lambda: [d["warnings"] for d in sets],
    }.get(what, lambda: dict((k, v) for k, v in sets[0]["keywords"]).get(what))()


def independent_cells(data, d):
    """Decodes the shown events from the raw bytes, for the layouts whose decoding is
    unambiguous: every field 1 to 4 bytes of I, 4 of F or 8 of D, and a byte order that runs
    straight up or straight down. None when the layout is not one of those."""
    order = d["byteOrder"]
    n = len(order)
    if order == list(range(1, n + 1)):
        big = False
    elif order == list(range(n, 0, -1)) and n > 1:
        big = True
    else:
        return None
    widths = [p["width"] for p in d["parameters"]]
    kind = d["dataType"]
    if kind == "I" and not all(1 <= w <= 4 for w in widths):
        return None
    if kind == "F" and not all(w == 4 for w in widths):
        return None
    if kind == "D" and not all(w == 8 for w in widths):
        return None
    if kind not in "IFD" or not widths or sum(widths) != d["eventSize"]:
        return None
    rows = []
    for row in range(len(d["events"])):
        start = d["dataOffset"] + (d["firstEvent"] + row) * d["eventSize"]
        if start + d["eventSize"] > len(data):
            break
        cells = []
        offset = start
        for w in widths:
            field = data[offset:offset + w]
            offset += w
            if kind == "I":
                cells.append("%u" % int.from_bytes(field, "big" if big else "little"))
            else:
                code = (">" if big else "<") + ("f" if kind == "F" else "d")
                cells.append("%.15g" % struct.unpack(code, field)[0])
        rows.append(cells)
    return rows


def read_manifest(corpus):
    path = os.path.join(corpus, "MANIFEST.tsv")
    if not os.path.exists(path):
        return {}
    with open(path, newline="", encoding="utf-8") as f:
        return {row["file"]: row for row in csv.DictReader(f, delimiter="\t")}


def check_against_manifest(check, name, doc, row):
    sets = doc["datasets"]
    if doc["error"] is not None or not row:
        return
    try:
        declared = int(row["datasets"])
    except ValueError:
        return
    check.equal(name + ": data sets read", len(sets), min(declared, 2))
    versions = row["fcs_version"].split(";")
    if len(versions) >= len(sets):
        check.equal(name + ": versions", [d["version"] for d in sets], versions[:len(sets)])
    counts = row["par"].split(";")
    if len(counts) == len(sets) and all(c.isdigit() for c in counts):
        check.equal(name + ": parameters", [len(d["parameters"]) for d in sets],
                    [int(c) for c in counts])


def main():
    args = corpus_arguments(__doc__)
    if args is None:
        return SKIP
    manifest = read_manifest(args.corpus)
    check = Checker()
    docs = {}
    decoded = 0  # data sets whose cells were compared with the independent decoding
    files = corpus_files(args.corpus)
    check.true("corpus has files", len(files) > 0)

    for rel, path in files:
        result = run_tool([args.dump, "--json", "--events", "0:%d" % EVENTS, path])
        finding = sanitizer_finding(result)
        if not check.true(rel + ": no sanitizer finding", finding is None, finding):
            continue
        if not check.true(rel + ": exit 0 or 1", result.returncode in (0, 1),
                          "exit %d: %s" % (result.returncode, result.stderr[-500:])):
            continue
        try:
            doc = json.loads(result.stdout)
        except ValueError as error:
            check.true(rel + ": valid JSON", False, error)
            continue
        docs[rel] = doc
        expected_error = None if result.returncode == 0 else "Unknown format"
        check.equal(rel + ": error matches exit status", doc["error"], expected_error)
        if result.returncode == 1:
            check.true(rel + ": says so on stderr", "Unknown format" in result.stderr)
        check_against_manifest(check, rel, doc, manifest.get(rel))
        with open(path, "rb") as f:
            data = f.read()
        for i, d in enumerate(doc["datasets"]):
            check.equal("%s#%d: three rows" % (rel, i + 1), [r[0] for r in d["segments"]],
                        ["Header", "Text", "Data"])
            shown = min(EVENTS, max(d["eventCount"], 0))
            check.equal("%s#%d: rows shown" % (rel, i + 1), len(d["events"]), shown)
            expected = independent_cells(data, d)
            if expected is not None:
                decoded += 1
                check.equal("%s#%d: cells" % (rel, i + 1), d["events"][:len(expected)],
                            expected)

    for rel, what, expected in KNOWN:
        if rel in docs:
            check.equal("%s: %s" % (rel, what), fact(docs[rel], what), expected)
        else:
            check.true(rel + " was read", False)
    check.true("most data sets decoded independently", decoded >= 40, decoded)
    return check.finish("corpus (%d files, %d data sets decoded)" % (len(files), decoded))


if __name__ == "__main__":
    sys.exit(main())
