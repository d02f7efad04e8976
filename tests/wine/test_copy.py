"""Ctrl+A and Ctrl+C in ketterlin.exe's two lists, end to end: the keys typed through the
system's input queue into the list that has the focus, the clipboard read back by the driver.

A copy is a line of the column headings, then one line per selected row, cells separated by tabs
and lines ended by CR LF, exactly the texts the list shows. One copy holds at most 64 MiB of
text (33,554,432 UTF-16 characters, its terminator included); a larger selection is copied up to
that and ends with the line "Copied the first N of M selected rows."."""

import sys
import time

import harness
from viewercase import ViewerTestCase
from fcsfile import index_value, standard

LIMIT = 32 * 1024 * 1024   # characters, the terminator included
MIB = 1024 * 1024
# Beyond the text itself a copy holds a block of events and a few small buffers; what else the
# process grows by meanwhile is Wine's.
MEMORY_SLACK = 16 * MIB


def text_of(headings, rows):
    return "".join("\t".join(cells) + "\r\n" for cells in [headings] + rows)


def note(copied, selected):
    return "Copied the first %d of %d selected rows.\r\n" % (copied, selected)


class Copy(ViewerTestCase):

    def test_header_rows_under_their_headings(self):
        app, model = self.open("header.fcs", data=standard(events=4))
        header = model.data_sets[0].header_rows()
        app.wait_rows(1, 6)
        self.assertEqual(app.copy(1, "ctrl+a,ctrl+c"), text_of(["Field", "Offset"], header))
        app.select_rows(1, [0, 5])
        self.assertEqual(app.copy(1), text_of(["Field", "Offset"], [header[0], header[5]]))
        self.finish(app)

    def test_keywords_keep_their_windows_1252_characters(self):
        data = standard(add=[("$COM", "5 \u00b5m"), ("$CELLS", "Zelle \u00e9")])
        app, model = self.open("keywords.fcs", data=data)
        keywords = model.data_sets[0].keyword_rows()
        self.show(app, 1, len(keywords))
        text = app.copy(1, "ctrl+a,ctrl+c")
        self.assertEqual(text, text_of(["Keyword", "Value"], keywords))
        self.assertTrue(text.endswith("$COM\t5 \u00b5m\r\n$CELLS\tZelle \u00e9\r\n"), text)
        self.finish(app)

    def test_events_of_the_second_data_set_and_the_segment_rows(self):
        events = 25
        app, model = self.open("two.lmd", options=[
            "--lmd", "--datatype", "F", "--events", events, "--params", 3,
            "--names", "FS,SS,FL1", "--pattern", "index"])
        first, second = model.data_sets
        self.show(app, 5, events)
        values = [[index_value("F", 32, e, p) for p in range(3)] for e in range(events)]
        self.assertEqual(app.copy(1, "ctrl+a,ctrl+c"), text_of(["FS", "SS", "FL1"], values))
        # Rows apart: each the event it names.
        app.select_rows(1, [3, 7, 24])
        self.assertEqual(app.copy(1),
                         text_of(["FS", "SS", "FL1"], [values[3], values[7], values[24]]))
        # The segment list copies its own rows when it has the focus.
        segments = first.rows() + second.rows()
        self.assertEqual(app.copy(0, "ctrl+a,ctrl+c"), text_of(["Segment", "Details"], segments))
        self.finish(app)

    def test_nothing_selected_leaves_the_clipboard_alone(self):
        app, model = self.open("nothing.fcs", data=standard(events=4))
        header = model.data_sets[0].header_rows()
        app.wait_rows(1, 6)
        # What one copy moves the clipboard's sequence number on by.
        before = app.clipboard()["sequence"]
        app.copy(1, "ctrl+a,ctrl+c")
        one_copy = app.clipboard()["sequence"] - before
        self.assertGreater(one_copy, 0)
        # No row selected: Ctrl+C changes nothing. The Ctrl+A typed after it shows when it has
        # been handled, and the copy after that is the only change.
        app.select_rows(1, [2])
        app.driver.call("lvselect", hwnd=app.lists()[1], row=2, selected=0)
        app.wait_selected_count(1, 0)
        before = app.clipboard()["sequence"]
        app.type_keys(1, "ctrl+c,ctrl+a")
        app.wait_selected_count(1, 6)
        self.assertEqual(app.clipboard()["sequence"], before)
        self.assertEqual(app.copy(1), text_of(["Field", "Offset"], header))
        self.assertEqual(app.clipboard()["sequence"] - before, one_copy)
        self.finish(app)

    def test_a_clipboard_that_cannot_be_opened_shows_the_error_box(self):
        app, model = self.open("held.fcs", data=standard(events=4))
        app.wait_rows(1, 6)
        held = app.driver.call("clipopen")
        self.assertTrue(held["ok"], held)
        try:
            app.type_keys(1, "ctrl+a,ctrl+c")
            box = app.wait_box()
            self.assertEqual(box["caption"], "Error")
            # The system's text for ERROR_ACCESS_DENIED, then the code.
            self.assertRegex(app.box_text(box), r"\S.*\r?\n \(5\)$")
            app.press(box)
        finally:
            app.driver.call("clipclose")
        # Once the clipboard is free, the copy works.
        self.assertEqual(app.copy(1), text_of(["Field", "Offset"],
                                              model.data_sets[0].header_rows()))
        app.expect_no_box()
        self.finish(app)

    def copy_everything(self, app, index, rows, out):
        """Ctrl+A, then Ctrl+C; returns the text, the seconds each took and the memory counters
        before and after."""
        before = app.memory()
        started = time.monotonic()
        app.type_keys(index, "ctrl+a")
        app.wait_selected_count(index, rows, timeout=60)
        selected = time.monotonic()
        text = app.copy(index, out=out, timeout=60)
        copied = time.monotonic()
        after = app.memory()
        return text, selected - started, copied - selected, before, after

    def test_a_million_events(self):
        events = 1000000
        app, _ = self.open("million.fcs", options=[
            "--datatype", "I", "--bits", 32, "--events", events, "--params", 3,
            "--pattern", "index"])
        self.show(app, 2, events)
        text, select_time, copy_time, before, after = self.copy_everything(
            app, 1, events, self.session.path("million.txt"))
        expected = "FSC-A\tSSC-A\tFL1-A\r\n" + "".join(
            "%d\t%d\t%d\r\n" % (e * 10, e * 10 + 1, e * 10 + 2) for e in range(events))
        self.assertTrue(text == expected, "the copied text differs from the events")
        growth = after["peakWorkingSet"] - before["peakWorkingSet"]
        print("\n  a million events: Ctrl+A %.2f s, Ctrl+C %.2f s, text %.1f MiB; peak working "
              "set %.1f -> %.1f MiB (VmHWM %.1f -> %.1f MiB)"
              % (select_time, copy_time, len(text) * 2 / MIB, before["peakWorkingSet"] / MIB,
                 after["peakWorkingSet"] / MIB, before.get("unixPeakResident", 0) / MIB,
                 after.get("unixPeakResident", 0) / MIB), file=sys.stderr)
        self.assertLess(growth, len(text) * 2 + MEMORY_SLACK)
        self.finish(app)

    def test_a_selection_over_the_limit_ends_with_the_note(self):
        events = 250000
        params = 20
        app, _ = self.open("wide.fcs", options=[
            "--datatype", "I", "--bits", 32, "--events", events, "--params", params,
            "--pattern", "index"])
        self.show(app, 2, events)
        text, select_time, copy_time, before, after = self.copy_everything(
            app, 1, events, self.session.path("wide.txt"))
        lines = text.split("\r\n")
        self.assertEqual(lines[-1], "")
        copied = len(lines) - 3   # the heading, the note and the empty text after the last CR LF
        self.assertLess(copied, events)
        self.assertEqual(lines[-2] + "\r\n", note(copied, events))
        headings = [harness_name(p) for p in range(params)]

        def row(e):
            return "\t".join(str(e * 10 + p) for p in range(params)) + "\r\n"
        rows = "".join(row(e) for e in range(copied))
        self.assertTrue(text == "\t".join(headings) + "\r\n" + rows + note(copied, events),
                        "the copied rows differ from the events")
        # As many rows as fit: one more, with its note, would pass the limit.
        self.assertLessEqual(len(text), LIMIT - 1)
        self.assertGreater(len(text) - len(note(copied, events)) + len(row(copied))
                           + len(note(copied + 1, events)), LIMIT - 1)
        growth = after["peakWorkingSet"] - before["peakWorkingSet"]
        print("\n  %d of %d rows of %d parameters: Ctrl+A %.2f s, Ctrl+C %.2f s; peak working set "
              "grew by %.1f MiB" % (copied, events, params, select_time, copy_time,
                                    growth / MIB), file=sys.stderr)
        self.assertLess(growth, LIMIT * 2 + MEMORY_SLACK)
        self.finish(app)


def harness_name(parameter):
    """ketterlin-fcsgen's default parameter names."""
    return (["FSC-A", "SSC-A", "FL1-A"] + ["P%d" % n for n in range(4, 100)])[parameter]


if __name__ == "__main__":
    harness.main()
