#!/usr/bin/env python3
"""The command lines of ketterlin-fcsgen and ketterlin-dump: exit statuses and messages for
files that cannot be opened, wrong arguments and unreadable data, UTF-8 and JSON escaping of
odd keyword texts, the developer diagnostics that only --debug shows, --help, JSON Lines of
several files with the worst exit status, and --check."""

import json
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source folder clean
from tooltest import Checker, SANITIZER_ENV, tool_arguments

EXIT_READ, EXIT_UNKNOWN, EXIT_USAGE = 0, 1, 2


def run(command):
    env = dict(os.environ)
    env.update(SANITIZER_ENV)
    result = subprocess.run(command, capture_output=True, env=env, timeout=60)
    return result.returncode, result.stdout.decode("utf-8", "strict"), \
        result.stderr.decode("utf-8", "replace")


def main():
    args = tool_arguments()
    check = Checker()
    gen, dump = args.fcsgen, args.dump

    with tempfile.TemporaryDirectory(prefix="ketterlin-cli-") as work:
        good = os.path.join(work, "good.fcs")
        check.equal("fcsgen writes", run([gen, "--out", good])[0], 0)

        # Arguments the inspector refuses: exit 2, a message naming the problem, no output.
        missing = os.path.join(work, "no such file.fcs")
        usage_cases = [
            ([missing], "cannot open " + missing),
            ([work], "Unknown format"),  # a folder opens but reads as nothing: see below
            ([], "no FILE given"),
            (["--frobnicate", good], "unknown option --frobnicate"),
            ([good, good], "only one FILE"),
            (["--events", good], "--events needs FIRST:COUNT"),
            (["--events", "5", good], "--events needs FIRST:COUNT"),
            (["--events", "-1:3", good], "--events needs FIRST:COUNT"),
            (["--events", "1:x", good], "--events needs FIRST:COUNT"),
            ([good, "--events"], "--events needs FIRST:COUNT"),
        ]
        for arguments, message in usage_cases:
            status, out, err = run([dump] + arguments)
            label = "dump %s" % arguments
            if message == "Unknown format":
                # A folder opens for reading on Linux, but every read fails.
                check.equal(label + " exit", status, EXIT_UNKNOWN)
            else:
                check.equal(label + " exit", status, EXIT_USAGE)
                check.equal(label + " stdout", out, "")
            check.true(label + " message", message in err, err)

        # Unreadable data: exit 1, "Unknown format" on stderr and in the output.
        empty = os.path.join(work, "empty.fcs")
        open(empty, "wb").close()
        truncated = os.path.join(work, "truncated.fcs")
        with open(good, "rb") as f:
            head = f.read(34)  # the HEADER ends after its third offset field
        with open(truncated, "wb") as f:
            f.write(head)
        for path in (empty, truncated):
            status, out, err = run([dump, path])
            check.equal(path + " exit", status, EXIT_UNKNOWN)
            check.equal(path + " text output", out, "Unknown format\n")
            check.true(path + " stderr", "Unknown format" in err, err)
            status, out, _ = run([dump, "--json", path])
            check.equal(path + " json", json.loads(out),
                        {"file": path, "datasets": [], "error": "Unknown format"})

        # A first data set that reads, then a $NEXTDATA pointing at nothing: the first stays.
        lmd = os.path.join(work, "cut.lmd")
        check.equal("lmd written", run([gen, "--out", lmd, "--lmd", "--events", "10"])[0], 0)
        with open(lmd, "rb") as f:
            data = f.read()
        second = data.index(b"FCS3.0")
        with open(lmd, "wb") as f:
            f.write(data[:second])
        status, out, err = run([dump, "--json", lmd])
        doc = json.loads(out)
        check.equal("cut lmd exit", status, EXIT_UNKNOWN)
        check.equal("cut lmd keeps the first", [d["version"] for d in doc["datasets"]], ["FCS2.0"])
        check.equal("cut lmd error", doc["error"], "Unknown format")

        # The same road as the viewer's for a $NEXTDATA that names no data set: beyond the end
        # of the file it is "Unknown format" (exit 1); a negative one cannot be positioned at,
        # which the viewer shows in its error box; the dump says what it tried and why (exit 2).
        full = os.path.join(work, "full.lmd")
        check.equal("full lmd written", run([gen, "--out", full, "--lmd", "--events", "10"])[0], 0)
        with open(full, "rb") as f:
            data = f.read()
        value_at = data.index(b"$NEXTDATA/") + len(b"$NEXTDATA/")
        width = data.index(b"/", value_at) - value_at
        for name, value, status_wanted, error in (
                ("beyond.lmd", b"9" * width, EXIT_UNKNOWN, "Unknown format"),
                ("negative.lmd", b"-" + b"5".rjust(width - 1, b"0"), EXIT_USAGE,
                 "cannot read the data set at offset -5: "
                 "the position lies before the start of the file")):
            path = os.path.join(work, name)
            with open(path, "wb") as f:
                f.write(data[:value_at] + value + data[value_at + width:])
            status, out, err = run([dump, "--json", path])
            doc = json.loads(out)
            check.equal(name + " exit", status, status_wanted)
            check.equal(name + " keeps the first", [d["version"] for d in doc["datasets"]],
                        ["FCS2.0"])
            check.equal(name + " error", doc["error"], error)
            check.true(name + " stderr", error in err, err)
            status, out, _ = run([dump, path])
            check.true(name + " text ends with it", out.endswith("\n\n" + error + "\n"), out)

        # Keyword texts with quotes, backslashes, control characters and ANSI bytes: valid
        # JSON, and the bytes read as Windows-1252 come out as UTF-8.
        odd = os.path.join(work, "odd.fcs")
        names = [b'say "hi"', b"back\\slash", b"tab\there", b"\xb5m", b"\x80uro", b"bell\x07"]
        status, _, err = run([gen.encode(), b"--out", odd.encode(), b"--names", b",".join(names)])
        check.equal("odd names written", status, 0)
        status, out, err = run([dump, "--json", "--events", "0:1", odd])
        check.equal("odd names read", status, EXIT_READ)
        try:
            doc = json.loads(out)
            shown = [p["name"] for p in doc["datasets"][0]["parameters"]]
            check.equal("odd names", shown,
                        ['say "hi"', "back\\slash", "tab\there", "\u00b5m", "\u20acuro",
                         "bell\x07"])
        except ValueError as error:
            check.true("odd names JSON", False, error)
        status, out, _ = run([dump, odd])
        check.true("text output in UTF-8", "\u00b5m" in out and "\u20acuro" in out)

        # 16-bit integers described by a four-entry $BYTEORD: a developer diagnostic only.
        ints = os.path.join(work, "ints.fcs")
        run([gen, "--out", ints, "--datatype", "I", "--bits", "16", "--params", "2"])
        status, out, err = run([dump, ints])
        check.equal("no diagnostics without --debug", (status, err), (EXIT_READ, ""))
        status, out, err = run([dump, "--debug", ints])
        check.equal("diagnostics with --debug", err,
                    "Fieldsize 2 byteordsize 4\nFieldsize 2 byteordsize 4\n")
        check.true("diagnostics are no warnings", "Warnings (0)" in out, out)

        # The text output's sections carry the viewer's labels.
        status, out, _ = run([dump, "--events", "1:1", good])
        for line in ("  Header\tFCS3.1", "  Text\t25 keywords", "  Data\t100 events",
                     "  Text Start\t58", "  Analysis End\t0", "  $PAR\t3",
                     "  1\t1\t1.10000002384186\t1.20000004768372"):
            check.true("text output has %r" % line, line + "\n" in out, out)

        # The generator's refusals.
        gen_cases = [
            ([], "--out FILE is required"),
            (["--out", good, "--version", "3.3"], "--version must be 2.0, 3.0, 3.1 or 3.2"),
            (["--out", good, "--version", "3.1", "--types", "I,F"], "--types needs --version 3.2"),
            (["--out", good, "--version", "3.2", "--types", "I,X"],
             "--types takes I, F or D for each parameter"),
            (["--out", good, "--keyword", "=x"], "--keyword needs NAME=VALUE"),
            (["--out", good, "--events", "3000000000"], "--events must be a number from 0"),
            (["--out", good, "--datatype", "A"], "--datatype must be I, F or D"),
            (["--out", good, "--datatype", "F", "--bits", "16"], "--datatype F needs --bits 32"),
            (["--out", good, "--datatype", "D", "--bits", "32"], "--datatype D needs --bits 64"),
            (["--out", good, "--bits", "12"], "--bits must be"),
            (["--out", good, "--params", "0"], "--params must be"),
            (["--out", good, "--events", "-1"], "--events must be"),
            (["--out", good, "--events", "2147483648"], "--events must be"),
            (["--out", good, "--names", "A,,B"], "must not be empty"),
            (["--out", good, "--names", "/A"], "start with /"),
            (["--out", good, "--names", "A,B,C", "--params", "2"], "more names"),
            (["--out", good, "--pattern", "zigzag"], "--pattern must be"),
            (["--out", good, "--byteorder", "middle"], "--byteorder must be"),
            (["--out", good, "--wat"], "unknown option --wat"),
            (["--out"], "--out needs a value"),
        ]
        for arguments, message in gen_cases:
            status, out, err = run([gen] + arguments)
            label = "fcsgen %s" % arguments
            check.equal(label + " exit", status, EXIT_USAGE)
            check.true(label + " message", message in err, err)
        status, out, err = run([gen, "--out", os.path.join(work, "no", "such", "dir.fcs")])
        check.equal("fcsgen unwritable exit", status, 1)
        check.true("fcsgen unwritable message", "cannot write" in err, err)
        status, out, _ = run([gen, "--help"])
        check.true("fcsgen --help gives the formulas",
                   status == 0 and "(N + e * 10 + p) modulo 2^bits" in out, out)
        # --help names every option with an example of its use.
        status, out, _ = run([dump, "--help"])
        check.equal("dump --help exit", status, EXIT_READ)
        lines = out.splitlines()
        for option in ("--json", "--csv", "--tsv", "--check", "--events", "--dataset",
                       "--debug"):
            check.true("--help explains " + option,
                       any(line.startswith("  " + option + " ") for line in lines), out)
            check.true("--help shows " + option + " in use",
                       any(line.strip().startswith("ketterlin-dump ") and option in line.split()
                           for line in lines), out)
        check.true("--help gives the exit statuses", "Exit status: 0" in out, out)

        # Wrong combinations: exit 2, a message naming the problem, nothing on stdout.
        for arguments, message in (
                (["--csv", "--json", good], "only one of --json, --csv, --tsv and --check"),
                (["--check", "--tsv", good], "only one of --json, --csv, --tsv and --check"),
                (["--csv", good, good], "only one FILE"),
                (["--dataset", "1", good], "--dataset goes with --csv, --tsv, --histogram or --density"),
                (["--dataset=2", "--json", good], "--dataset goes with --csv, --tsv, --histogram or --density"),
                (["--csv", "--dataset=-1", good], "--dataset needs 1 or 2"),
                (["--check", "--events", "0:1", good], "--events does not go with --check"),
                (["--csv", "--events=1", good], "--events needs FIRST:COUNT"),
                (["--json", good, ""], "FILE must not be empty")):
            status, out, err = run([dump] + arguments)
            label = "dump %s" % arguments
            check.equal(label, (status, out), (EXIT_USAGE, ""))
            check.true(label + " message", message in err and "--help" in err, err)

        # Several files: one JSON document per line, in the order given, each naming its file;
        # a file that cannot be opened gets no line, and the status is the worst of them.
        lmd_whole = os.path.join(work, "whole.lmd")
        run([gen, "--out", lmd_whole, "--lmd", "--events", "7"])
        for paths, worst in (([good, lmd_whole], EXIT_READ),
                             ([good, empty, lmd_whole], EXIT_UNKNOWN),
                             ([missing, good, empty], EXIT_USAGE),
                             ([empty, missing], EXIT_USAGE)):
            status, out, err = run([dump, "--json", "--events", "0:2"] + paths)
            label = "json lines %s" % [os.path.basename(p) for p in paths]
            check.equal(label + " exit", status, worst)
            check.true(label + " ends with a newline", out.endswith("\n"), out)
            docs = [json.loads(line) for line in out.splitlines()]
            check.equal(label + " files", [d["file"] for d in docs],
                        [p for p in paths if p != missing])
            for d in docs:
                single = json.loads(run([dump, "--json", "--events", "0:2", d["file"]])[1])
                check.equal(label + " same as alone: " + d["file"], d, single)
            check.equal(label + " cannot open", ("cannot open " + missing) in err,
                        missing in paths)

        # File names are bytes; the document's name stays valid UTF-8 all the same.
        odd_name = os.path.join(work.encode(), b"bad\xffname\xc3.fcs")
        with open(good, "rb") as f, open(odd_name, "wb") as g:
            g.write(f.read())
        status, out, _ = run([dump, "--json", odd_name])
        check.equal("odd file name", (status, json.loads(out)["file"]),
                    (EXIT_READ, work + "/bad\ufffdname\ufffd.fcs"))

        # --check: nothing for a clean file; one line per warning and error otherwise.
        warned = os.path.join(work, "warned.fcs")
        with open(good, "rb") as f:
            data = f.read()
        with open(warned, "wb") as f:
            f.write(data.replace(b"/$TOT/100/", b"/$TOT/101/").replace(b"$P2N", b"$X2N"))
        status, out, err = run([dump, "--check", good, lmd_whole])
        check.equal("check of clean files", (status, out, err), (EXIT_READ, "", ""))
        status, out, err = run([dump, "--check", good, warned, empty, lmd_whole, missing])
        check.equal("check finds", out.splitlines(), [
            warned + ": data set 1: Required keyword $P2N not present",
            warned + ": data set 1: $TOT conflict with data size",
            empty + ": Unknown format",
            missing + ": cannot open: No such file or directory"])
        check.equal("check exit and stderr", (status, err), (EXIT_USAGE, ""))
        status, out, _ = run([dump, "--check", warned])
        check.equal("check of a warned file exits 1", status, EXIT_UNKNOWN)

    return check.finish("cli")


if __name__ == "__main__":
    sys.exit(main())
