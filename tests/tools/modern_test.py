#!/usr/bin/env python3
"""Files of the newer versions written by ketterlin-fcsgen and read back through
ketterlin-dump: FCS 3.2 columns of mixed types in both byte orders, integers above 2^32,
UTF-8 names and values, and an event past 2^31 in a sparse file. The expected values are the
generator's index pattern, computed here from its documented formula."""

import argparse
import json
import os
import struct
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from exportcheck import parse_csv  # noqa: E402
from tooltest import Checker, run_tool, sanitizer_finding  # noqa: E402

INT_BASE = 5000000000


def expected_cell(data_type, bits, event, parameter, base=0):
    """The viewer's text of the index pattern (ketterlin-fcsgen --help)."""
    if data_type == "I":
        return "%d" % ((base + event * 10 + parameter) % (1 << bits))
    value = event + parameter / 10.0
    if data_type == "F":
        value = struct.unpack("<f", struct.pack("<f", value))[0]
    return "%.15g" % value


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fcsgen", required=True)
    parser.add_argument("--dump", required=True)
    args = parser.parse_args()
    check = Checker()

    def tool(command, timeout=120):
        result = run_tool(command, timeout)
        finding = sanitizer_finding(result)
        check.true("no sanitizer finding for %s" % command[1:], finding is None, finding)
        return result

    with tempfile.TemporaryDirectory(prefix="ketterlin-modern-") as work:
        # FCS 3.2 with I (64-bit, above 2^32), F, D and I columns, both byte orders.
        types = ["I", "F", "D", "I"]
        names = ["FSC-\u00b5", "SSC-A", "Temp", "Alexa Fluor\u2122 405-A"]
        for order in ("little", "big"):
            path = os.path.join(work, "mixed-%s.fcs" % order)
            result = tool([args.fcsgen, "--out", path, "--version", "3.2", "--types",
                           ",".join(types), "--bits", "64", "--int-base", str(INT_BASE),
                           "--names", ",".join(names), "--byteorder", order, "--events", "40",
                           "--keyword", "$SRC=37 \u00b0C", "--keyword", "$COM=\u65e5\u672c"])
            check.equal("fcsgen mixed %s" % order, result.returncode, 0)
            result = tool([args.dump, "--json", "--events", "0:40", path])
            check.equal("mixed %s exit" % order, result.returncode, 0)
            d = json.loads(result.stdout)["datasets"][0]
            check.equal("mixed %s warnings" % order, d["warnings"], [])
            check.equal("mixed %s version" % order, d["version"], "FCS3.2")
            check.equal("mixed %s column types" % order,
                        [p["dataType"] for p in d["parameters"]], types)
            check.equal("mixed %s names" % order, [p["name"] for p in d["parameters"]], names)
            keywords = dict((k, v) for k, v in d["keywords"])
            check.equal("utf-8 value", keywords.get("$SRC"), "37 \u00b0C")
            check.equal("utf-8 value beyond Latin", keywords.get("$COM"), "\u65e5\u672c")
            for event in (0, 1, 39):
                check.equal("mixed %s event %d" % (order, event), d["events"][event],
                            [expected_cell(t, 64, event, p, INT_BASE)
                             for p, t in enumerate(types)])
            result = tool([args.dump, "--csv", path])
            rows = parse_csv(result.stdout)
            check.equal("mixed %s csv heading" % order, rows[0], names)
            check.equal("mixed %s csv integer above 2^32" % order, rows[40][0],
                        str(INT_BASE + 390))
            check.equal("mixed %s csv double" % order, float(rows[40][2]), 39.2)

        # An event past 2^31 of a sparse file of three billion events (24 GB that take no room).
        path = os.path.join(work, "sparse.fcs")
        result = tool([args.fcsgen, "--out", path, "--datatype", "I", "--bits", "64", "--params",
                       "1", "--events", "3000000000", "--sparse"])
        check.equal("fcsgen sparse", result.returncode, 0)
        far = 2147483648  # a written event: a multiple of the sparse stride
        result = tool([args.dump, "--json", "--events", "%d:1" % far, path])
        check.equal("far event exit", result.returncode, 0)
        d = json.loads(result.stdout)["datasets"][0]
        check.equal("far event count", d["eventCount"], 3000000000)
        check.equal("far event", (d["firstEvent"], d["events"]), (far, [[str(far * 10)]]))
        result = tool([args.dump, "--csv", "--events", "2999999999:5", path])
        check.equal("last event csv", (result.returncode, result.stdout),
                    (0, "FSC-A\n29999999990\n"))
        result = tool([args.dump, "--json", "--events", "9223372036854775807:1", path])
        check.equal("events beyond the last", (result.returncode, json.loads(
            result.stdout)["datasets"][0].get("events", [])), (0, []))

    return check.finish("modern")


if __name__ == "__main__":
    sys.exit(main())
