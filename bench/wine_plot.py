"""The plot window's costs in the real viewer under Wine, on a file of 10^7 events × 16 floats
(640 MB, generated, read once beforehand so it is in the page cache). Run on demand, not by ctest:

    python3 bench/wine_plot.py --exe build/win64/app/ketterlin.exe \
        --driver build/win64/tests/wine/ktdriver.exe \
        --fcsgen build/native/tools/fcsgen/ketterlin-fcsgen \
        --dump build/bench/tools/dump/ketterlin-dump [--runs 3] [--events 10000000]

Per run a plot of the first parameter is opened from the Data view's context menu, and measured:
- first picture: from the key that chooses "Plot" to the first status that shows counted events
  (the window draws the counts it shows in the same step);
- pass: from that key to the final status, and from the moment the window appeared (the pass
  starts as it is shown) to the final status;
- main window: the slowest answer of the main window to a message sent while the pass runs
  (ktdriver's round trip, which includes its own pipe; compared with the same when idle);
- working set: the growth of the viewer's peak working set from before the plot to after it.
The dump's time is the median of --runs runs of `ketterlin-dump --histogram` for the same counts
(its own wall time, the process included). Use an optimised dump (see bench/README.md).
"""

import argparse
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "wine"))
import harness  # noqa: E402
from test_plot import Plot  # noqa: E402

WM_NULL = 0
MIB = 1024 * 1024
COUNTING = re.compile(r"Counting: (\d+) of (\d+) events$")


def round_trip(app):
    started = time.monotonic()
    app.driver.call("send", hwnd=app.main, msg=WM_NULL)
    return time.monotonic() - started


def one_plot(app):
    before = app.memory()["peakWorkingSet"]
    known = {w["hwnd"] for w in app.windows_of_class(harness.PLOT_CLASS)}
    app.right_click_cell(1, 0, 0)
    app.wait_menu()
    chosen = time.monotonic()
    app.press_keys("down,enter")
    window = harness.wait_until(lambda: [w for w in app.windows_of_class(harness.PLOT_CLASS)
                                         if w["hwnd"] not in known], 30, interval=0.002)[0]
    shown = time.monotonic()
    plot = Plot(app, window)
    first = None
    slowest = 0.0
    while True:
        status = plot.status()
        now = time.monotonic()
        counting = COUNTING.match(status)
        if first is None and (not counting or int(counting.group(1)) > 0):
            first = now - chosen
        if not counting:
            passed = now - chosen
            break
        slowest = max(slowest, round_trip(app))
    grown = app.memory()["peakWorkingSet"] - before
    plot.close()
    return first, passed, passed - (shown - chosen), slowest, grown, status


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--fcsgen", required=True)
    parser.add_argument("--dump", required=True)
    parser.add_argument("--events", type=int, default=10000000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--workdir", default=None)
    options = parser.parse_args()
    workdir = Path(options.workdir or tempfile.mkdtemp(prefix="ketterlin-plot-bench-"))
    path = workdir / "big.fcs"
    subprocess.run([options.fcsgen, "--out", str(path), "--datatype", "F", "--params", "16",
                    "--events", str(options.events), "--pattern", "random"], check=True)
    subprocess.run(["cat", str(path)], stdout=subprocess.DEVNULL, check=True)

    dump_times = []
    for _ in range(options.runs):
        started = time.monotonic()
        subprocess.run([options.dump, "--histogram", "1", "--json", str(path)],
                       stdout=subprocess.DEVNULL, check=True)
        dump_times.append(time.monotonic() - started)

    with harness.Session(options.exe, options.driver, workdir / "wine") as session:
        app = session.start(path)
        app.wait_title("big.fcs - Ketterlin")
        app.select_segment(2)
        app.wait_rows(1, options.events, timeout=60)
        idle = max(round_trip(app) for _ in range(20))
        runs = [one_plot(app) for _ in range(options.runs)]
        app.close()
        app.exit_code()
    shutil.rmtree(workdir, ignore_errors=True)

    dump = statistics.median(dump_times)
    print("events %d, %s" % (options.events, Path(options.exe).parent.parent.name))
    print("dump --histogram: median %.3f s of %s" % (dump, ", ".join("%.3f" % t
                                                                     for t in dump_times)))
    print("main window idle: slowest answer %.1f ms" % (idle * 1000))
    for first, passed, counted, slowest, grown, status in runs:
        print("plot: first picture %.0f ms, pass %.3f s (%.2f x dump), %.3f s after the window "
              "appeared (%.2f x dump), main window answered within %.1f ms, peak working set "
              "+%.1f MiB; %s" % (first * 1000, passed, passed / dump, counted, counted / dump,
                                 slowest * 1000, grown / MIB, status))
    return 0


if __name__ == "__main__":
    sys.exit(main())
