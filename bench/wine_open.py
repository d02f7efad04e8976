"""Opening big files in the real viewer under Wine: time until the rows are listed, the viewer's
memory, and the cost of showing the last screen of events. Run on demand (not part of ctest):

    python3 bench/wine_open.py --exe build/win/app/ketterlin.exe \
        --driver build/win/tests/wine/ktdriver.exe \
        --fcsgen build/native/tools/fcsgen/ketterlin-fcsgen [--events 10000,10000000]

The files are generated into a temporary folder and deleted afterwards; 10^7 events of 32 float
parameters take 1.28 GB of disk."""

import argparse
import os
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "wine"))
import harness  # noqa: E402


def viewer_memory_kib():
    """VmRSS and VmHWM of the Wine process that runs ketterlin.exe."""
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            if (entry / "comm").read_text().strip() != "ketterlin.exe":
                continue
            status = (entry / "status").read_text().splitlines()
        except OSError:
            continue
        fields = dict(line.split(":", 1) for line in status if ":" in line)
        return int(fields["VmRSS"].split()[0]), int(fields["VmHWM"].split()[0])
    return None, None


def measure(session, events, parameters):
    name = "big-%d.fcs" % events
    started = time.monotonic()
    path = session.generate(name, "--datatype", "F", "--params", parameters,
                            "--events", events)
    generated = time.monotonic() - started
    size = path.stat().st_size
    # Read the file once so that opening it measures the viewer, not the disk.
    with open(path, "rb") as f:
        while f.read(1 << 24):
            pass

    started = time.monotonic()
    app = session.start(path)
    app.wait_rows(0, 3, timeout=120)
    opened = time.monotonic() - started
    rss_open, _ = viewer_memory_kib()

    app.select_segment(2)
    app.wait_rows(1, events, timeout=120)
    started = time.monotonic()
    app.ensure_visible(1, events - 1)
    last = app.cells(1, events - 1, events - 1)[0]
    scrolled = time.monotonic() - started
    rss_last, hwm = viewer_memory_kib()

    app.close()
    app.exit_code()
    path.unlink()
    return {"events": events, "bytes": size, "generate_s": generated, "open_s": opened,
            "rss_open_kib": rss_open, "scroll_last_s": scrolled, "rss_last_kib": rss_last,
            "hwm_kib": hwm, "last_row": last}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--fcsgen", required=True)
    parser.add_argument("--events", default="10000,10000000")
    parser.add_argument("--params", default="32")
    parser.add_argument("--workdir", default="/tmp/ketterlin-wine-bench")
    options = parser.parse_args()

    workdir = Path(options.workdir)
    with harness.Session(options.exe, options.driver, workdir, options.fcsgen) as session:
        print("%10s %14s %8s %10s %12s %10s %12s %10s" % (
            "events", "bytes", "open s", "RSS KiB", "last row s", "RSS KiB", "peak KiB",
            "gen s"))
        for events in (int(e) for e in options.events.split(",")):
            r = measure(session, events, options.params)
            print("%10d %14d %8.2f %10s %12.3f %10s %12s %10.1f" % (
                r["events"], r["bytes"], r["open_s"], r["rss_open_kib"], r["scroll_last_s"],
                r["rss_last_kib"], r["hwm_kib"], r["generate_s"]))
            print("           last row: %s" % " ".join(r["last_row"][:4]) + " ...")
    shutil.rmtree(workdir / "wineprefix", ignore_errors=True)


if __name__ == "__main__":
    main()
