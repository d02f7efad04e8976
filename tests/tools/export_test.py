#!/usr/bin/env python3
"""ketterlin-dump --csv and --tsv: generated files of every data type, width and byte order
read back to exactly the values the reader decodes (the inspector's own --json --events cells
are the expectation; where those 15-digit texts cannot pin a double down, the generator's
documented values are); names that need CSV quoting or TSV escaping; parameters without a name;
the choice of data set and its bounds; event ranges; empty data sets and a file that ends inside
its DATA segment."""

import json
import os
import struct
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source folder clean
from exportcheck import check_export, parse_csv, parse_tsv
from tooltest import Checker, GeneratedFiles, tool_arguments

EXIT_READ, EXIT_UNKNOWN, EXIT_USAGE, EXIT_INCOMPLETE, EXIT_WRITE_FAILED = 0, 1, 2, 3, 4


class Files(GeneratedFiles):
    def shown(self, path, first, count, data_set=1):
        result = self.dump(["--json", "--events", "%d:%d" % (first, count), path])
        return json.loads(result.stdout)["datasets"][data_set - 1]


def main():
    args = tool_arguments()
    check = Checker()

    with tempfile.TemporaryDirectory(prefix="ketterlin-export-") as work:
        files = Files(args, work, check)

        # Every data type, width and byte order, random values over all bits, both formats.
        combos = [("I", 8), ("I", 16), ("I", 24), ("I", 32), ("I", 64), ("F", 32), ("D", 64)]
        for data_type, bits in combos:
            for order in ("little", "big"):
                label = "%s%d %s" % (data_type, bits, order)
                path = files.generate("g.fcs", ["--datatype", data_type, "--bits", str(bits),
                                                "--byteorder", order, "--pattern", "random",
                                                "--params", "4", "--events", "300"])
                d = files.shown(path, 0, 300)
                for option, parse in (("--csv", parse_csv), ("--tsv", parse_tsv)):
                    result = files.dump([option, path])
                    check.equal(label + option + " exit", (result.returncode, result.stderr),
                                (EXIT_READ, ""))
                    check_export(check, label + option, d, parse(result.stdout))

        # Doubles: the generator's values e + p * 0.1 come back exactly, not only to 15 digits.
        path = files.generate("d.fcs", ["--datatype", "D", "--params", "5", "--events", "1000"])
        rows = parse_csv(files.dump(["--csv", path]).stdout)
        check.true("doubles exact", all(float(rows[1 + e][p]) == e + p * 0.1
                                        for e in range(1000) for p in range(5)))
        check.equal("doubles shortest", rows[1][:4], ["0", "0.1", "0.2", "0.30000000000000004"])

        # Many blocks, formatted side by side, still leave in file order: each row names its
        # event (e * 10 + p), so a block out of place or written twice shows.
        events = 200000
        path = files.generate("many.fcs", ["--datatype", "I", "--bits", "32", "--params", "2",
                                           "--events", str(events)])
        for first, count in ((0, events), (50001, 100000)):
            rows = parse_csv(files.dump(["--csv", "--events", "%d:%d" % (first, count),
                                         path]).stdout)
            check.equal("many blocks %d:%d in order" % (first, count), rows[1:],
                        [[str(e * 10), str(e * 10 + 1)] for e in range(first, first + count)])

        # Values at the edges of both precisions, written into the DATA segment: NaN of either
        # sign, infinities, -0, the smallest subnormals and the longest texts.
        edges = {
            "F": ([float("nan"), -float("inf"), -0.0, 1e-45, 3.4028234663852886e38,
                   float("inf"), -float("nan"), 1.1754942106924411e-38],
                  ["nan", "-inf", "-0", "1e-45", "3.4028235e+38", "inf", "nan", "1.1754942e-38"]),
            "D": ([float("nan"), -float("inf"), -0.0, 5e-324, 1.7976931348623157e308,
                   float("inf"), -2.2250738585072014e-308, 0.1],
                  ["nan", "-inf", "-0", "5e-324", "1.7976931348623157e+308", "inf",
                   "-2.2250738585072014e-308", "0.1"]),
        }
        for data_type, (values, texts) in edges.items():
            for order in ("little", "big"):
                path = files.generate("x.fcs", ["--datatype", data_type, "--params", "4",
                                                "--events", "2", "--byteorder", order])
                d = files.shown(path, 0, 2)
                code = ("<" if order == "little" else ">") + "8" + data_type.lower()
                with open(path, "r+b") as f:
                    f.seek(d["dataOffset"])
                    f.write(struct.pack(code, *values))
                result = files.dump(["--csv", path])
                label = "edges %s %s" % (data_type, order)
                check.equal(label, parse_csv(result.stdout)[1:], [texts[:4], texts[4:]])
                check_export(check, label, files.shown(path, 0, 2), parse_csv(result.stdout))

        # Fields the reader cannot decode are empty cells: data type A, and reals of width 2.
        for gen_args, old, new in ((["--events", "3"], b"/$DATATYPE/F/", b"/$DATATYPE/A/"),
                                   (["--datatype", "I", "--bits", "16", "--events", "3"],
                                    b"/$DATATYPE/I/", b"/$DATATYPE/F/")):
            path = files.generate("u.fcs", gen_args)
            with open(path, "rb") as f:
                data = f.read()
            with open(path, "wb") as f:
                f.write(data.replace(old, new))
            result = files.dump(["--csv", path])
            label = "undecodable %s" % new.decode()
            check.equal(label, parse_csv(result.stdout)[1:], [["", "", ""]] * 3)
            check_export(check, label, files.shown(path, 0, 3), parse_csv(result.stdout))

        # Both data sets of an LMD file; the second one only through --dataset 2.
        lmd = files.generate("l.lmd", ["--lmd", "--datatype", "F", "--events", "200",
                                       "--pattern", "random"])
        for number in (1, 2):
            d = files.shown(lmd, 0, 200, number)
            result = files.dump(["--csv", "--dataset", str(number), lmd])
            check.equal("lmd data set %d exit" % number, result.returncode, EXIT_READ)
            check_export(check, "lmd data set %d" % number, d, parse_csv(result.stdout))
        check.equal("the first data set by default", files.dump(["--csv", lmd]).stdout,
                    files.dump(["--csv", "--dataset", "1", lmd]).stdout)
        fcs = files.generate("one.fcs", ["--events", "3"])
        for arguments, status, message in (
                (["--dataset", "2", fcs], EXIT_USAGE, "has no data set 2"),
                (["--dataset", "0", fcs], EXIT_USAGE, "--dataset needs 1 or 2"),
                (["--dataset", "3", lmd], EXIT_USAGE, "--dataset needs 1 or 2"),
                (["--dataset", "x", lmd], EXIT_USAGE, "--dataset needs 1 or 2"),
                (["--dataset", lmd], EXIT_USAGE, "--dataset needs 1 or 2")):
            result = files.dump(["--csv"] + arguments)
            check.equal("%s exit" % arguments, result.returncode, status)
            check.equal("%s stdout" % arguments, result.stdout, "")
            check.true("%s message" % arguments, message in result.stderr, result.stderr)

        # Event ranges are cut to the events that exist; beyond them only the header remains.
        path = files.generate("r.fcs", ["--datatype", "I", "--bits", "16", "--events", "100"])
        for first, count in ((0, 100), (95, 10), (10, 1), (100, 5), (5000, 1), (3, 0)):
            d = files.shown(path, first, count)
            result = files.dump(["--csv", "--events", "%d:%d" % (first, count), path])
            check.equal("range %d:%d exit" % (first, count), result.returncode, EXIT_READ)
            check_export(check, "range %d:%d" % (first, count), d, parse_csv(result.stdout),
                         first)

        # Names that CSV must quote and TSV must escape, written into the TEXT segment in
        # place of names of the same length; a parameter whose $PnN is gone is named P<n>.
        path = files.generate("n.fcs", ["--names", 'AxB,CyD,say "hi",tab\there,back\\sl,Q,'
                                                   'has spaces', "--events", "4"])
        with open(path, "rb") as f:
            data = f.read()
        data = data.replace(b"/AxB/", b"/A,B/").replace(b"/CyD/", b"/C\nD/")
        data = data.replace(b"$P6N/Q/", b"$X6N/Q/")
        with open(path, "wb") as f:
            f.write(data)
        names = ["A,B", "C\nD", 'say "hi"', "tab\there", "back\\sl", "P6", "has spaces"]
        result = files.dump(["--csv", path])
        check.true("quoted header", result.stdout.startswith(
            '"A,B","C\nD","say ""hi""",tab\there,back\\sl,P6,has spaces\n'), result.stdout)
        check.equal("csv names read back", parse_csv(result.stdout)[0], names)
        result = files.dump(["--tsv", path])
        check.true("escaped header", result.stdout.startswith(
            "A,B\tC\\nD\tsay \"hi\"\ttab\\there\tback\\\\sl\tP6\thas spaces\n"), result.stdout)
        check.equal("tsv names read back", parse_tsv(result.stdout)[0], names)
        check.equal("tsv rows", len(parse_tsv(result.stdout)), 5)

        # No events: the header line alone.
        path = files.generate("e.fcs", ["--events", "0"])
        result = files.dump(["--csv", path])
        check.equal("empty data set", (result.returncode, result.stdout),
                    (EXIT_READ, "FSC-A,SSC-A,FL1-A\n"))

        # A file that ends inside its DATA segment: the complete events, then exit 3.
        path = files.generate("t.fcs", ["--datatype", "I", "--bits", "32", "--events", "50"])
        with open(path, "rb") as f:
            data = f.read()
        with open(path, "wb") as f:
            f.write(data[:len(data) - 12 * 20 - 5])  # 20 events and 5 bytes short
        d = files.shown(path, 0, 30)
        for first in (0, 20):
            result = files.dump(["--csv", "--events", "%d:50" % first, path])
            check.equal("truncated exit", result.returncode, EXIT_INCOMPLETE)
            check.true("truncated says so",
                       "%d of %d events written: the file ends inside its DATA segment" %
                       (29 - first, 50 - first) in result.stderr, result.stderr)
            d_part = files.shown(path, first, 29 - first)
            check_export(check, "truncated from %d" % first, d_part, parse_csv(result.stdout),
                         first)
        check.equal("the cut event shows what arrived", d["events"][29][1:], ["?", "?"])

        # DATA that starts before the file does (its 31 events are what the DATA bounds hold):
        # the message says what was tried and why.
        path = files.generate("b.fcs", ["--version", "3.0", "--events", "2"])
        with open(path, "rb") as f:
            data = f.read()
        at = data.index(b"$BEGINDATA/") + len(b"$BEGINDATA/")
        width = data.index(b"/", at) - at
        with open(path, "wb") as f:
            f.write(data[:at] + b"-" + b"8".rjust(width - 1, b"0") + data[at + width:])
        result = files.dump(["--csv", path])
        check.equal("DATA before the start exit", result.returncode, EXIT_INCOMPLETE)
        check.true("DATA before the start says so",
                   ": 0 of 31 events written: reading events at offset -8: "
                   "the position lies before the start of the file" in result.stderr,
                   result.stderr)

        # An output that refuses bytes has its own exit status.
        if os.path.exists("/dev/full"):
            path = files.generate("w.fcs", ["--events", "1000"])
            with open("/dev/full", "wb") as full:
                result = subprocess.run([args.dump, "--csv", path], stdout=full,
                                        stderr=subprocess.PIPE, text=True)
            check.equal("full output exit", result.returncode, EXIT_WRITE_FAILED)
            check.true("full output says so", "cannot write the output" in result.stderr,
                       result.stderr)

        # A file that is no data set exports nothing.
        path = os.path.join(work, "junk.fcs")
        with open(path, "wb") as f:
            f.write(b"not a data file at all" * 10)
        result = files.dump(["--tsv", path])
        check.equal("junk", (result.returncode, result.stdout), (EXIT_UNKNOWN, ""))
        check.true("junk message", "Unknown format" in result.stderr, result.stderr)

    return check.finish("export")


if __name__ == "__main__":
    sys.exit(main())
