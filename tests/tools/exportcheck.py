"""Reading ketterlin-dump's CSV and TSV exports back, and comparing them with the cells the
inspector shows for the same events (--json --events)."""

import csv
import io
import math
import struct


def as_single(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def same_bits(a, b):
    """Equal as stored numbers: NaN equals NaN, and 0 and -0 differ."""
    if math.isnan(a) or math.isnan(b):
        return math.isnan(a) and math.isnan(b)
    return a == b and math.copysign(1.0, a) == math.copysign(1.0, b)


def cell_matches(data_type, exported, shown):
    """Whether an exported cell is the value whose viewer text is shown. The viewer's text of
    a single-precision value (15 digits) identifies the float exactly; for doubles it is a
    necessary condition only, and the exact values are checked separately."""
    if shown == "?":
        return exported == ""
    if data_type == "I":
        return exported == shown
    try:
        value = float(exported)
    except ValueError:
        return False
    if data_type == "F":
        return same_bits(as_single(value), as_single(float(shown)))
    return ("%.15g" % value if not math.isnan(value) else "nan") == shown


def parse_csv(text):
    return list(csv.reader(io.StringIO(text, newline="")))


def unescape_tsv(cell):
    out, i = [], 0
    while i < len(cell):
        if cell[i] == "\\" and i + 1 < len(cell):
            out.append({"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}[cell[i + 1]])
            i += 2
        else:
            out.append(cell[i])
            i += 1
    return "".join(out)


def parse_tsv(text):
    assert text.endswith("\n")
    return [[unescape_tsv(c) for c in line.split("\t")] for line in text[:-1].split("\n")]


def check_export(check, label, d, rows, first=0):
    """rows: the parsed export, header included; d: the --json data set of the same events."""
    names = [p["name"] or "P%d" % (i + 1) for i, p in enumerate(d["parameters"])]
    if not check.equal(label + " header", rows[0] if rows else None, names):
        return
    check.equal(label + " rows", len(rows) - 1, len(d["events"]))
    for row, (exported, shown) in enumerate(zip(rows[1:], d["events"])):
        if not check.true("%s event %d" % (label, first + row),
                          len(exported) == len(shown) and
                          all(cell_matches(d["dataType"], e, s) for e, s in zip(exported, shown)),
                          "exported %r, shown %r" % (exported, shown)):
            break
