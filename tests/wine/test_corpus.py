"""Real FCS and LMD files in ketterlin.exe, end to end. Every file of the shared corpus must open
or fail cleanly; what the viewer shows (warnings in order, segment rows, header offsets,
keywords, column headings, the first and last events) must follow the reading rules, as the model
in fcsfile.py derives them from the file itself. Cells whose decoding the rules leave open are
not compared; they are printed, so that a reader of the log can see what the viewer chose."""

import os
from pathlib import Path

import harness
from fcsfile import Unspecified, open_file

FIRST_ROWS = 12
LAST_ROWS = 3


def corpus_files(folder):
    return sorted(p for p in Path(folder).glob("*/*") if p.is_file() and p.suffix != ".tsv")


class Corpus(harness.SessionTestCase):

    @classmethod
    def setUpClass(cls):
        cls.folder = Path(cls.options.corpus)

    def model(self, path):
        try:
            return open_file(path.read_bytes())
        except Unspecified as reason:
            return reason

    def check_file(self, path, notes):
        """Opens one file and compares everything the model can say; returns the app, still
        running, for further checks."""
        model = self.model(path)
        app = self.start(str(path))
        if isinstance(model, Unspecified):
            # Only that the viewer survives the file is checked.
            notes.append("%s: %s; boxes %r" % (path.name, model, app.dismiss_all()))
            return app, None
        expected = model.warnings()
        app.expect_boxes(expected, quiet=0)
        if not model.ok:
            app.expect_no_box(quiet=0)
            self.assertEqual(app.title(), "Ketterlin")
            self.assertEqual(app.list_info(0)["count"], 0 if not model.data_sets else 3)
            return app, model
        app.wait_title(path.name + " - Ketterlin")
        app.expect_no_box(quiet=0)
        self.assertEqual(app.cells(0), model.segment_rows())
        for index, ds in enumerate(model.data_sets):
            base_row = 3 * index
            app.select_segment(base_row)
            app.wait_rows(1, 6)
            self.assertEqual(app.cells(1), ds.header_rows(), "header of data set %d" % index)
            app.select_segment(base_row + 1)
            app.wait_rows(1, len(ds.keywords))
            self.assertEqual(app.cells(1), ds.keyword_rows(), "keywords of data set %d" % index)
            app.select_segment(base_row + 2)
            app.wait_rows(1, ds.event_count)
            self.assertEqual(app.headings(1), [(name, 100) for name, _ in ds.parameters])
            rows = list(range(min(FIRST_ROWS, ds.event_count)))
            rows += [e for e in range(max(ds.event_count - LAST_ROWS, 0), ds.event_count)
                     if e not in rows]
            for event in rows:
                shown = app.cells(1, event, event)[0]
                for parameter, text in enumerate(shown):
                    try:
                        expected_text = ds.cell(event, parameter)
                    except Unspecified as reason:
                        if event == 0:
                            notes.append("%s data set %d parameter %d: %s; shows %r"
                                         % (path.name, index, parameter, reason, text))
                        continue
                    self.assertEqual(text, expected_text, "%s data set %d event %d parameter %d"
                                     % (path.name, index, event, parameter))
        return app, model

    def test_every_corpus_file_opens_or_fails_cleanly(self):
        notes = []
        files = corpus_files(self.folder)
        self.assertGreater(len(files), 10)
        for path in files:
            with self.subTest(path.relative_to(self.folder).as_posix()):
                app, _ = self.check_file(path, notes)
                app.close()
                self.assertExitsWith(app, 0)
        for note in notes:
            print("note:", note)

    def test_coulter_lmd_second_data_set(self):
        path = self.folder / "flowio" / "coulter.lmd"
        app, model = self.check_file(path, [])
        self.assertEqual([r[1] for r in app.cells(0)],
                         ["FCS2.0", "182 keywords", "18110 events",
                          "FCS3.0", "56 keywords", "18110 events"])
        # The second data set's HEADER offsets are shown as written, relative to its start.
        app.select_segment(3)
        app.wait_rows(1, 6)
        self.assertEqual(app.cells(1), model.data_sets[1].header_rows())
        app.command(harness.IDM_EXIT)
        self.assertExitsWith(app, 0)

    def test_scrolling_to_the_end_of_the_largest_file(self):
        path = self.folder / "fcsparser" / "facs_diva_test.fcs"
        app, model = self.check_file(path, [])
        ds = model.data_sets[0]
        app.select_segment(2)
        app.wait_rows(1, ds.event_count)
        last = ds.event_count - 1
        self.assertTrue(app.ensure_visible(1, last)["ok"])
        app.sync()
        info = app.list_info(1)
        self.assertLessEqual(info["top"], last)
        self.assertGreaterEqual(info["top"] + info["perPage"], last)
        visible = app.cells(1, info["top"], last)
        self.assertEqual(visible, [[ds.cell(e, p) for p in range(len(ds.parameters))]
                                   for e in range(info["top"], last + 1)])
        app.close()
        self.assertExitsWith(app, 0)


if __name__ == "__main__":
    harness.main(needs_corpus=True)
