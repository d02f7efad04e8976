"""Files dropped on ketterlin.exe's main window, end to end: the driver posts the shell's
WM_DROPFILES with a drop block in the viewer's own memory (see its drop command)."""

import harness
from fcsfile import open_file, standard

WS_EX_ACCEPTFILES = 0x00000010
# Five warnings, so that there is time to act while the first is open.
WARNING_FILE = standard(version="FCS3.1", par=3, drop=("$P1E", "$P2E", "$P3E", "$TOT"))


class Drop(harness.SessionTestCase):

    def check_shows(self, app, name, data):
        """The title names the file, the segment list holds its rows and the header view of its
        first data set is showing."""
        model = open_file(data)
        app.wait_title(name + " - Ketterlin")
        self.assertEqual(app.cells(0), model.segment_rows())
        app.wait_rows(1, 6)
        self.assertEqual(app.cells(1), model.data_sets[0].header_rows())

    def finish(self, app):
        app.close()
        self.assertExitsWith(app, 0)

    def test_a_dropped_file_opens_as_file_open_would(self):
        app = self.start()
        self.assertTrue(app.info()["exstyle"] & WS_EX_ACCEPTFILES)
        first = standard(events=4)
        app.drop(self.session.write("first.fcs", first))
        self.check_shows(app, "first.fcs", first)
        # A second drop replaces the open file.
        second = standard(par=3, events=9)
        app.drop(self.session.write("second.fcs", second))
        self.check_shows(app, "second.fcs", second)
        app.expect_no_box()
        self.finish(app)

    def test_of_several_dropped_files_the_first_opens(self):
        app = self.start()
        chosen = standard(events=7)
        other = standard(events=3)
        app.drop(self.session.write("chosen.fcs", chosen), self.session.write("other.fcs", other))
        self.check_shows(app, "chosen.fcs", chosen)
        app.expect_no_box()
        self.finish(app)

    def test_dropped_files_that_cannot_be_read(self):
        opened = standard(events=4)
        app = self.start(self.session.write("opened.fcs", opened))
        self.check_shows(app, "opened.fcs", opened)
        # No data set: "Unknown format", the lists emptied, the title unchanged.
        app.drop(self.session.write("notes.txt", b"just some notes, no data set"))
        self.assertEqual(app.dismiss_box(), "Unknown format")
        app.expect_no_box()
        self.assertEqual(app.cells(0), [])
        self.assertEqual(app.list_info(1)["count"], 0)
        self.assertEqual(app.title(), "opened.fcs - Ketterlin")
        # A file that is not there: the system's text for it in the error box.
        app.drop(self.session.path("missing.fcs"))
        box = app.wait_box()
        self.assertEqual(box["caption"], "Error")
        self.assertRegex(app.box_text(box), r"\S.*\r?\n \(2\)$")
        app.press(box)
        app.expect_no_box()
        self.assertEqual(app.title(), "opened.fcs - Ketterlin")
        self.finish(app)

    def test_a_drop_while_a_file_is_being_opened_is_ignored(self):
        expected = open_file(WARNING_FILE).warnings()
        self.assertEqual(len(expected), 5)
        dropped = standard(events=2)
        dropped_path = self.session.write("dropped.fcs", dropped)
        app = self.start(self.session.write("warned.fcs", WARNING_FILE))
        box = app.wait_box()
        self.assertEqual(app.box_text(box), expected[0])
        app.drop(dropped_path)
        app.sync()
        # Exactly the first file's warnings follow, and the first file comes out whole.
        app.expect_boxes(expected)
        self.check_shows(app, "warned.fcs", WARNING_FILE)
        app.select_segment(2)
        app.wait_rows(1, 4)
        self.assertEqual(app.cells(1), [[str(e * 10 + p) for p in range(3)] for e in range(4)])
        # The same while the file dialog of File > Open is showing: the drop is ignored, and
        # cancelling leaves the emptied view and the title as File > Open does.
        app.command(harness.IDM_OPEN)
        dialog = app.wait_file_dialog()
        app.drop(dropped_path)
        app.sync()
        app.press(dialog, harness.IDCANCEL)
        app.expect_no_box()
        self.assertEqual(app.cells(0), [])
        self.assertEqual(app.title(), "warned.fcs - Ketterlin")
        # Once the opening is over, a drop opens the file.
        app.drop(dropped_path)
        self.check_shows(app, "dropped.fcs", dropped)
        self.finish(app)


if __name__ == "__main__":
    harness.main()
