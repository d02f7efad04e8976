"""The plot window, end to end: opened from the Data view's context menu, its counts copied
with Ctrl+C and compared with what `ketterlin-dump --histogram` / `--density --json` counts for
the same data set, parameters, scales, ranges and bins; recounting when a scale or parameter
changes; closing during a pass; other files closing the plots; data sets without events and
files that end inside their DATA segment.

The copy's first line names each axis (parameter, scale with its parameters, range), which is
what the dump is asked for; the dump's output is the expectation, so no rule of the program is
written a second time here."""

import json
import math
import re
import subprocess
import sys
import time

import fcsfile
import harness
from viewercase import ViewerTestCase

STATIC_CLASS = "Static"
COMBO_CLASS = "ComboBox"
WM_CLOSE = 0x0010
COUNTED = "Counted "
COUNTING = "Counting: "
SCALES = ["Linear", "Log", "Logicle", "Asinh"]
PASS_TIMEOUT = 60.0
EDGE_ULPS = 4
PLOT_PLACE = (560, 460, 680, 540)  # x, y, width, height on the 1280 x 1024 display
# A file big enough to be counted still when its plot is closed a moment after opening: 3.2 GB
# of events, written as a hole in a sparse file, so it costs neither disk nor time to make.
LONG_EVENTS = 50000000
LONG_PARAMS = 16


class Hole(bytes):
    """DATA bytes that are not written: build() takes their length for the offsets, and the file
    is then extended over them, which leaves a hole of zeros."""

    def __new__(cls, size):
        hole = super().__new__(cls, b"")
        hole.size = size
        return hole

    def __len__(self):
        return self.size


def sparse_data_set(path, events, params):
    """A consistent data set of single-precision events that are all 0, mostly a hole."""
    version, keywords, _ = fcsfile.standard_parts(par=params, data_type="F", bits=32, events=0,
                                                  tot=events, names=["FSC-A"] * params)
    # The DATA segment lies beyond the HEADER's eight digits: its offsets are in TEXT only.
    head = fcsfile.build(version, keywords, Hole(events * params * 4), header_data=False)
    with open(path, "wb") as out:
        out.write(head)
        out.truncate(len(head) + events * params * 4)
    return path


class Plot:
    """One plot window: its controls (in the order the window makes them), its status line, its
    copy."""

    def __init__(self, app, window):
        self.app = app
        self.hwnd = window["hwnd"]
        children = app.children(self.hwnd)
        statics = [c for c in children if c["class"] == STATIC_CLASS]
        self.status_hwnd = statics[2]["hwnd"]
        combos = [c["hwnd"] for c in children if c["class"] == COMBO_CLASS]
        self.x_parameter, self.x_scale, self.y_parameter, self.y_scale = combos

    def text(self, hwnd):
        return self.app.info(hwnd)["title"]

    def status(self):
        return self.text(self.status_hwnd)

    def wait_status(self, prefix, timeout=PASS_TIMEOUT):
        return harness.wait_until(lambda: self.status().startswith(prefix) and self.status(),
                                  timeout, what="a status beginning %r (now %r)"
                                  % (prefix, self.status()))

    def wait_counted(self):
        """Waits for the pass's end; returns the final status."""
        return harness.wait_until(
            lambda: not self.status().startswith(COUNTING) and self.status(), PASS_TIMEOUT,
            what="the end of the pass (status %r)" % self.status())

    def choose(self, combo, index):
        """Picks an item of one of the lists; the pass starts again before this returns."""
        answer = self.app.driver.call("cbselect", hwnd=combo, index=index)
        if not answer["ok"]:
            raise harness.HarnessError("could not choose item %d: %s" % (index, answer))

    def copy(self):
        """Ctrl+C in the plot: the clipboard's text and its picture's size."""
        before = self.app.clipboard()["sequence"]
        self.app.driver.call("keys", hwnd=self.hwnd, keys="ctrl+c")
        self.app.wait_clipboard_change(before)
        return self.app.clipboard()

    def close(self):
        self.app.driver.call("post", hwnd=self.hwnd, msg=WM_CLOSE)
        gone = self.app.driver.call("gone", hwnd=self.hwnd, timeout=15000, _timeout=45)
        if not gone["gone"]:
            raise harness.HarnessError("the plot window did not close")


def parse_counts(text):
    """The copied counts: a list of axes (name, scale text, low, high) and, for a histogram, its
    rows (lower, upper, count); for a density, the edges across and its rows (lower, upper,
    counts) from the top down."""
    lines = text.split("\r\n")
    assert lines[-1] == "", "the text ends with CR LF"
    heading = lines[0].split("\t")
    axes = [(heading[i], heading[i + 1], float(heading[i + 2]), float(heading[i + 3]))
            for i in range(0, len(heading), 4)]
    body = [line.split("\t") for line in lines[1:-1]]
    return axes, body


def scale_arguments(scale_text, prefix=""):
    """The dump's arguments for a scale as the copy names it ("logicle T=... W=... M=... A=...")."""
    words = scale_text.split(" ")
    values = dict(word.split("=") for word in words[1:])
    arguments = ["--%sscale" % prefix, words[0]]
    if words[0] == "logicle":
        arguments += ["--logicle", ",".join(values[k] for k in "TWMA")]
    if words[0] == "asinh":
        arguments += ["--cofactor", values["C"]]
    return arguments


class PlotTests(ViewerTestCase):

    def dump(self, path, dataset, *arguments):
        """ketterlin-dump's JSON for one request."""
        result = subprocess.run([self.options.dump, "--json", "--dataset", str(dataset)]
                                + [str(a) for a in arguments] + [str(path)],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
        self.assertIn(result.returncode, (0, 3), result)
        documents = [json.loads(line) for line in result.stdout.decode().splitlines() if line]
        self.assertEqual(len(documents), 1)
        return documents[0]

    def assertEdgesEqual(self, copied, dumped):
        """Edges as the copy writes them against the dump's. The viewer's edges come from the
        Windows runtime's log10, pow and exp, the dump's from the C library of Linux, and the two
        may differ in the last bit; the counts are compared exactly."""
        self.assertEqual(len(copied), len(dumped))
        for mine, theirs in zip(copied, dumped):
            self.assertLessEqual(abs(mine - theirs), EDGE_ULPS * math.ulp(theirs),
                                 "edge %r, dump %r" % (mine, theirs))

    def start_plot(self, app, row=0, column=0, heading=False):
        """Right-clicks a cell (or heading) of the Data view, picks "Plot ..." from its menu and
        returns the new plot window as soon as it is there."""
        before = {w["hwnd"] for w in app.windows_of_class(harness.PLOT_CLASS)}
        app.right_click_cell(1, row, column, heading=heading)
        app.wait_menu()
        app.press_keys("down,enter")
        window = harness.wait_until(
            lambda: [w for w in app.windows_of_class(harness.PLOT_CLASS)
                     if w["hwnd"] not in before], harness.BOX_TIMEOUT, what="the plot window")[0]
        # Out of the way of the rows that later clicks aim at.
        app.driver.call("move", hwnd=window["hwnd"], x=PLOT_PLACE[0], y=PLOT_PLACE[1],
                        width=PLOT_PLACE[2], height=PLOT_PLACE[3])
        return Plot(app, window)

    def open_plot(self, app, row, column, heading=False):
        """The same, once the plot has counted."""
        plot = self.start_plot(app, row, column, heading)
        plot.wait_counted()
        return plot

    def check_histogram(self, plot, path, dataset, explicit=True):
        """The copied counts of a histogram equal the dump's for the request the copy names;
        returns the copy's axis."""
        clip = plot.copy()
        self.assertEqual(clip["dib"]["bits"], 32)
        self.assertGreater(clip["dib"]["width"], 100)
        axes, rows = parse_counts(clip["text"])
        (name, scale, low, high), = axes
        arguments = ["--histogram", name]
        if explicit:
            arguments += scale_arguments(scale) + ["--range", "%r:%r" % (low, high)]
        expected = self.dump(path, dataset, *arguments)
        self.assertEqual(scale.split(" ")[0], expected["scale"])
        self.assertEqual([low, high], expected["range"])
        edges = [float(r[0]) for r in rows] + [float(rows[-1][1])]
        self.assertEdgesEqual(edges, expected["edges"])
        self.assertEqual([int(r[2]) for r in rows], expected["counts"])
        status = plot.status()
        self.assertEqual(status, "Counted %d events: %d below the range, %d above, %d invalid"
                         % (expected["events"], expected["below"], expected["above"],
                            expected["invalid"]))
        return axes[0]

    def check_density(self, plot, path, dataset):
        clip = plot.copy()
        axes, rows = parse_counts(clip["text"])
        (xname, xscale, xlow, xhigh), (yname, yscale, ylow, yhigh) = axes
        arguments = (["--density", "%s,%s" % (xname, yname)] + scale_arguments(xscale, "x")
                     + scale_arguments(yscale, "y")
                     + ["--xrange", "%r:%r" % (xlow, xhigh), "--yrange", "%r:%r" % (ylow, yhigh)])
        expected = self.dump(path, dataset, *arguments)
        self.assertEdgesEqual([float(e) for e in rows[0][2:]], expected["x"]["edges"])
        body = rows[1:]
        self.assertEqual(len(body), len(expected["counts"]))
        # The copy lists rows from the top down; the dump from the lowest up.
        self.assertEqual([[int(c) for c in r[2:]] for r in body], expected["counts"][::-1])
        lowers = [float(r[0]) for r in body][::-1]
        self.assertEdgesEqual(lowers + [float(body[0][1])], expected["y"]["edges"])
        self.assertEqual(plot.status(), "Counted %d events: %d outside the range, %d invalid"
                         % (expected["events"], expected["outside"], expected["invalid"]))

    # ---- the tests ------------------------------------------------------------------------

    def test_histograms_and_a_density_count_as_the_dump_does(self):
        app, _ = self.open("plot.fcs", options=[
            "--datatype", "F", "--events", 20000, "--params", 4, "--pattern", "random",
            "--names", "FSC-A,SSC-A,FL1-A,FL2-A"])
        self.show(app, 2, 20000)
        # The clicked column's parameter, on its default axis: the dump's default for it.
        plot = self.open_plot(app, 3, 2)
        self.assertEqual(plot.text(plot.x_parameter), "FL1-A")
        self.assertEqual(plot.text(plot.y_parameter), "Count")
        self.check_histogram(plot, self.session.path("plot.fcs"), 1, explicit=False)
        # Each scale recounts: log, linear, logicle again.
        for scale in ("Log", "Linear", "Logicle"):
            plot.choose(plot.x_scale, SCALES.index(scale))
            self.assertEqual(plot.text(plot.x_scale), scale)
            plot.wait_counted()
            _, copied_scale, _, _ = self.check_histogram(plot, self.session.path("plot.fcs"), 1)
            self.assertEqual(copied_scale.split(" ")[0], scale.lower())
        # Another parameter across, then a density against SSC-A.
        plot.choose(plot.x_parameter, 0)
        plot.wait_counted()
        self.assertEqual(self.check_histogram(plot, self.session.path("plot.fcs"), 1)[0],
                         "FSC-A")
        plot.choose(plot.y_parameter, 3)   # "Count", then the parameters: FL1-A
        plot.wait_counted()
        self.check_density(plot, self.session.path("plot.fcs"), 1)
        # Esc closes the plot; the main window goes on.
        app.driver.call("keys", hwnd=plot.hwnd, keys="esc")
        gone = app.driver.call("gone", hwnd=plot.hwnd, timeout=10000, _timeout=40)
        self.assertTrue(gone["gone"])
        self.finish(app)

    def test_a_heading_and_the_second_data_set_of_an_lmd_file(self):
        events = 3000
        app, _ = self.open("two.lmd", options=[
            "--lmd", "--datatype", "F", "--events", events, "--params", 3, "--pattern", "random",
            "--names", "FS,SS,FL1"])
        self.show(app, 5, events)
        plot = self.open_plot(app, 0, 1, heading=True)
        self.assertEqual(plot.text(plot.x_parameter), "SS")
        self.check_histogram(plot, self.session.path("two.lmd"), 2)
        # Two plots at once; opening another file closes both.
        second = self.open_plot(app, 10, 2)
        self.assertEqual(second.text(second.x_parameter), "FL1")
        self.assertEqual(len(app.windows_of_class(harness.PLOT_CLASS)), 2)
        other = self.session.generate("other.fcs", "--events", 10)
        app.drop(other)
        app.wait_title("other.fcs - Ketterlin")
        harness.wait_until(lambda: not app.windows_of_class(harness.PLOT_CLASS),
                           harness.BOX_TIMEOUT, what="the plots to close")
        self.finish(app)

    def test_the_menu_key_plots_the_first_column(self):
        app, _ = self.open("keys.fcs", options=["--events", 50])
        self.show(app, 2, 50)
        before = app.windows_of_class(harness.PLOT_CLASS)
        app.type_keys(1, "shift+f10")
        app.wait_menu()
        app.press_keys("down,enter")
        window = harness.wait_until(
            lambda: [w for w in app.windows_of_class(harness.PLOT_CLASS) if w not in before],
            harness.BOX_TIMEOUT, what="the plot window")[0]
        plot = Plot(app, window)
        plot.wait_counted()
        self.assertEqual(plot.text(plot.x_parameter), "FSC-A")
        self.finish(app)

    def test_no_events_and_a_file_that_ends_inside_its_data(self):
        app, _ = self.open("empty.fcs", options=["--events", 0])
        self.show(app, 2, 0)
        # With no rows there is no cell to click: the heading opens the plot.
        plot = self.open_plot(app, 0, 0, heading=True)
        self.assertEqual(plot.status(), "No events to count: the data set has none")
        axes, rows = parse_counts(plot.copy()["text"])
        self.assertEqual(len(rows), 256)
        self.assertTrue(all(r[2] == "0" for r in rows))
        self.finish(app)

        whole = self.session.generate("whole.fcs", "--events", 1000, "--datatype", "F",
                                      "--pattern", "random")
        data = whole.read_bytes()[:-30]   # the last events cut off
        app, _ = self.open("cut.fcs", data=data)
        app.select_segment(2)
        harness.wait_until(lambda: app.list_info(1)["count"] > 0, harness.BOX_TIMEOUT,
                           what="the events of the cut file")
        plot = self.open_plot(app, 0, 1)
        axes, rows = parse_counts(plot.copy()["text"])
        (name, scale, low, high), = axes
        expected = self.dump(self.session.path("cut.fcs"), 1, "--histogram", name,
                             *scale_arguments(scale), "--range", "%r:%r" % (low, high))
        self.assertLess(expected["events"], 1000)
        self.assertTrue(plot.status().startswith(
            "The file ends inside its DATA segment: counted its %d complete events of 1000"
            % expected["events"]), plot.status())
        self.assertEqual([int(r[2]) for r in rows], expected["counts"])
        self.finish(app)

    def test_a_range_taken_from_the_data(self):
        # Without $P1R the first parameter's range comes from its values: a pass finds them
        # first, as the dump's does.
        data = fcsfile.standard(par=2, data_type="F", bits=32, events=40, drop=("$P1R",))
        app, _ = self.open("norange.fcs", data=data)
        self.show(app, 2, 40)
        plot = self.open_plot(app, 5, 0)
        (_, _, low, high) = self.check_histogram(plot, self.session.path("norange.fcs"), 1,
                                                 explicit=False)
        self.assertEqual(low, 0.0)   # the lowest value, event 0's
        self.finish(app)

    def test_closing_during_a_pass_ends_it_and_the_program_exits_cleanly(self):
        path = sparse_data_set(self.session.path("long.fcs"), LONG_EVENTS, LONG_PARAMS)
        app = self.start(path)
        app.wait_title("long.fcs - Ketterlin")
        self.show(app, 2, LONG_EVENTS)
        plot = self.start_plot(app)
        # Partly counted: the status has shown some of the events, not yet all.
        progress = re.compile(r"Counting: ([1-9][0-9]*) of %d events$" % LONG_EVENTS)
        status = harness.wait_until(lambda: progress.match(plot.status()) and plot.status(),
                                    PASS_TIMEOUT, interval=0.01, what="a partial count")
        started = time.monotonic()
        plot.close()
        print("\n  closed at %r, gone after %.2f s" % (status, time.monotonic() - started),
              file=sys.stderr)
        # The main window answers at once. A new plot's pass is still running when the main window
        # closes: the plot goes with it and the program ends with 0.
        app.sync()
        plot = self.start_plot(app)
        harness.wait_until(lambda: progress.match(plot.status()), PASS_TIMEOUT, interval=0.01,
                           what="a partial count")
        self.finish(app)


if __name__ == "__main__":
    harness.main()
