#!/usr/bin/env python3
"""Round trip of the sample generator through the inspector: every generated file must read
back without a warning, with the right layout, and with cell texts that follow the generator's
index pattern exactly as the viewer formats them."""

import argparse
import json
import os
import struct
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source folder clean
from tooltest import Checker, run_tool

EVENTS = 257  # more than 256, so 8-bit values wrap
PARAMS = 5


def index_cell(data_type, bits, event, parameter):
    """The text the viewer shows for the index pattern (see ketterlin-fcsgen --help)."""
    if data_type == "I":
        # Integers of any width up to 64 bits are read whole.
        return "%u" % ((event * 10 + parameter) % (1 << bits))
    value = event + parameter / 10.0
    if data_type == "F":
        value = struct.unpack("<f", struct.pack("<f", value))[0]
    return "%.15g" % value


def keyword_map(data_set):
    return {name: value for name, value in data_set["keywords"]}


def usual_order(data_type, big_endian):
    count = 8 if data_type == "D" else 4
    order = list(range(1, count + 1))
    return order[::-1] if big_endian else order


def check_data_set(check, label, d, version, data_type, bits, byte_order, names, events,
                   pattern="index"):
    width = bits // 8
    check.equal(label + " byteOrder", d["byteOrder"], byte_order)
    check.equal(label + " version", d["version"], version)
    check.equal(label + " warnings", d["warnings"], [])
    check.equal(label + " segments", d["segments"],
                [["Header", version], ["Text", "%d keywords" % len(d["keywords"])],
                 ["Data", "%d events" % events]])
    check.equal(label + " eventCount", d["eventCount"], events)
    check.equal(label + " dataType", d["dataType"], data_type)
    check.equal(label + " parameters", d["parameters"],
                [{"name": n, "width": width, "dataType": data_type} for n in names])
    check.equal(label + " eventSize", d["eventSize"], width * len(names))
    kw = keyword_map(d)
    check.equal(label + " $TOT", kw.get("$TOT"), str(events))
    check.equal(label + " $PAR", kw.get("$PAR"), str(len(names)))
    offsets = d["headerOffsets"]
    check.equal(label + " text start", offsets[0], 58)
    if "$BEGINDATA" in kw:
        check.equal(label + " dataOffset", d["dataOffset"], d["base"] + int(kw["$BEGINDATA"]))
    else:
        check.equal(label + " dataOffset", d["dataOffset"], d["base"] + offsets[2])
    if version != "FCS2.0" or d["dataOffset"] - d["base"] > 99999999:
        check.true(label + " $BEGINDATA present", "$BEGINDATA" in kw)
    first = d["firstEvent"]
    for row, cells in enumerate(d["events"]):
        event = first + row
        if pattern == "index":
            expected = [index_cell(data_type, bits, event, p) for p in range(len(names))]
            if not check.equal("%s event %d" % (label, event), cells, expected):
                break
        elif data_type == "I":
            check.true("%s event %d in range" % (label, event),
                       all(int(c) < (1 << bits) for c in cells))
        else:
            check.true("%s event %d in range" % (label, event),
                       all(0 <= float(c) < 262144 for c in cells))


def generate_and_dump(args, work, name, gen_args, events_arg):
    path = os.path.join(work, name)
    result = run_tool([args.fcsgen, "--out", path] + gen_args)
    if result.returncode != 0:
        return None, "fcsgen %s failed (%d): %s" % (gen_args, result.returncode, result.stderr)
    result = run_tool([args.dump, "--json", "--events", events_arg, path])
    os.remove(path)
    if result.returncode != 0:
        return None, "dump of %s exited %d: %s" % (gen_args, result.returncode, result.stderr)
    try:
        return json.loads(result.stdout), None
    except ValueError as error:
        return None, "dump of %s printed invalid JSON: %s" % (gen_args, error)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fcsgen", required=True)
    parser.add_argument("--dump", required=True)
    parser.add_argument("--samples", help="folder of the committed sample files")
    parser.add_argument("--big", action="store_true",
                        help="also a file whose DATA lies beyond the HEADER's 8-digit fields")
    args = parser.parse_args()
    check = Checker()
    default_names = ["FSC-A", "SSC-A", "FL1-A", "P4", "P5"]

    combos = [("I", 8), ("I", 16), ("I", 24), ("I", 32), ("I", 40), ("I", 64), ("F", 32),
              ("D", 64)]
    with tempfile.TemporaryDirectory(prefix="ketterlin-roundtrip-") as work:
        for version in ("2.0", "3.0", "3.1", "3.2"):
            for data_type, bits in combos:
                for order in ("little", "big"):
                    gen = ["--version", version, "--datatype", data_type, "--bits", str(bits),
                           "--byteorder", order, "--params", str(PARAMS),
                           "--events", str(EVENTS)]
                    label = "%s %s%d %s" % (version, data_type, bits, order)
                    doc, error = generate_and_dump(args, work, "g.fcs", gen, "0:%d" % EVENTS)
                    if check.true(label + " reads", error is None, error) and \
                            check.equal(label + " data sets", len(doc["datasets"]), 1):
                        check.equal(label + " error", doc["error"], None)
                        d = doc["datasets"][0]
                        check.equal(label + " rows read", len(d["events"]), EVENTS)
                        check_data_set(check, label, d, "FCS" + version, data_type, bits,
                                       usual_order(data_type, order == "big"), default_names,
                                       EVENTS)

        # Random values stay inside the documented ranges and still read without warnings.
        for data_type, bits in (("I", 16), ("F", 32), ("D", 64)):
            gen = ["--datatype", data_type, "--bits", str(bits), "--pattern", "random",
                   "--seed", "7", "--events", "100"]
            label = "random %s%d" % (data_type, bits)
            doc, error = generate_and_dump(args, work, "r.fcs", gen, "90:50")
            if check.true(label + " reads", error is None, error):
                d = doc["datasets"][0]
                check.equal(label + " rows clamped to the file", len(d["events"]), 10)
                check_data_set(check, label, d, "FCS3.1", data_type, bits,
                               usual_order(data_type, False), default_names[:3], 100,
                               pattern="random")

        # Names with the delimiter are escaped on writing and come back whole; no events at
        # all is a valid, empty DATA segment.
        names = ["A/B", "C//D", "E/"]
        doc, error = generate_and_dump(args, work, "n.fcs",
                                       ["--names", ",".join(names), "--events", "0"], "0:5")
        if check.true("escaped names read", error is None, error):
            check_data_set(check, "escaped names", doc["datasets"][0], "FCS3.1", "F", 32,
                           [1, 2, 3, 4], names, 0)
            check.equal("no events shown", doc["datasets"][0]["events"], [])

        # An LMD file: FCS2.0 16-bit integers, then FCS3.0 of the chosen type behind $NEXTDATA.
        for data_type, bits, order in (("F", 32, "little"), ("I", 32, "big"), ("D", 64, "big")):
            label = "lmd %s%d %s" % (data_type, bits, order)
            gen = ["--lmd", "--datatype", data_type, "--bits", str(bits), "--byteorder", order,
                   "--events", "300"]
            doc, error = generate_and_dump(args, work, "l.lmd", gen, "250:100")
            if check.true(label + " reads", error is None, error) and \
                    check.equal(label + " data sets", len(doc["datasets"]), 2):
                first, second = doc["datasets"]
                check_data_set(check, label + " first", first, "FCS2.0", "I", 16, [1, 2],
                               default_names[:3], 300)
                check.equal(label + " first base", first["base"], 0)
                check.equal(label + " chain", second["base"],
                            int(keyword_map(first)["$NEXTDATA"]))
                check.true(label + " second behind first",
                           second["base"] == first["dataOffset"] + 300 * first["eventSize"])
                check_data_set(check, label + " second", second, "FCS3.0", data_type, bits,
                               usual_order(data_type, order == "big"), default_names[:3], 300)
                check.equal(label + " second $NEXTDATA", keyword_map(second)["$NEXTDATA"], "0")

        # An explicit $BYTEORD that fits the field exactly reads through the entries themselves.
        for order, text, expected in (("big", "2,1", [2, 1]), ("little", "1,2", [1, 2])):
            label = "$BYTEORD %s" % text
            gen = ["--datatype", "I", "--bits", "16", "--byteorder", order, "--byteord", text]
            doc, error = generate_and_dump(args, work, "o.fcs", gen, "0:100")
            if check.true(label + " reads", error is None, error):
                check_data_set(check, label, doc["datasets"][0], "FCS3.1", "I", 16, expected,
                               default_names[:3], 100)

        if args.big:
            # 3,000,000 events of 9 floats: DATA ends beyond 99,999,999, so the HEADER's DATA
            # fields hold 0 and only $BEGINDATA/$ENDDATA give the segment, in FCS2.0 as well.
            events = 3000000
            for version in ("3.1", "2.0"):
                label = "big " + version
                doc, error = generate_and_dump(args, work, "big.fcs",
                                               ["--version", version, "--params", "9",
                                                "--events", str(events)],
                                               "%d:5" % (events - 3))
                if check.true(label + " reads", error is None, error):
                    d = doc["datasets"][0]
                    check.equal(label + " HEADER data offsets", d["headerOffsets"][2:4], [0, 0])
                    check.equal(label + " $ENDDATA", keyword_map(d).get("$ENDDATA"),
                                str(d["dataOffset"] + events * 36 - 1))
                    check.equal(label + " last rows", len(d["events"]), 3)
                    check_data_set(check, label, d, "FCS" + version, "F", 32, [1, 2, 3, 4],
                                   default_names + ["P6", "P7", "P8", "P9"], events)

        if args.samples:
            # The committed samples are exactly what their documented commands write.
            for name, gen in (("sample.fcs", ["--version", "3.1", "--datatype", "F",
                                              "--params", "3", "--events", "1000"]),
                              ("sample.lmd", ["--lmd", "--datatype", "F", "--params", "3",
                                              "--events", "100"])):
                path = os.path.join(work, name)
                run_tool([args.fcsgen, "--out", path] + gen)
                with open(path, "rb") as made, \
                        open(os.path.join(args.samples, name), "rb") as committed:
                    check.true("samples/%s is up to date" % name, made.read() == committed.read())

    return check.finish("roundtrip")


if __name__ == "__main__":
    sys.exit(main())
