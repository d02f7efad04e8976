"""Commands that reach ketterlin.exe while a warning box of a file being read is open, end to end.

The warning boxes have no owner, so the main window stays usable under them; File > Open must
not reset the data sets that the interrupted reading is still filling. Should the system's file
dialog open all the same, it is cancelled, and the file being read must still come out whole."""

import harness
from fcsfile import open_file, standard

# Five warnings, so that there is time to act while the first is open.
FILE = standard(version="FCS3.1", par=3, drop=("$P1E", "$P2E", "$P3E", "$TOT"))


class OpenGuard(harness.SessionTestCase):

    def setUp(self):
        self.model = open_file(FILE)
        self.expected = self.model.warnings()
        self.assertEqual(len(self.expected), 5)

    def post_while_box_open(self, app, command):
        """Posts a menu command while the first warning is open; returns whether the file
        dialog came up (it is cancelled at once)."""
        box = app.wait_box()
        self.assertEqual(app.box_text(box), self.expected[0])
        app.command(command)
        app.sync()
        try:
            dialog = app.wait_file_dialog(timeout=1.0)
        except harness.HarnessError:
            dialog = None
        if dialog:
            app.press(dialog, harness.IDCANCEL)
        self.assertTrue(app.alive(), "ketterlin.exe ended")
        return dialog is not None

    def check_file_is_whole(self, app, title):
        app.expect_boxes(self.expected)
        app.wait_title(title)
        self.assertEqual(app.cells(0), self.model.segment_rows())
        app.wait_rows(1, 6)
        self.assertEqual(app.cells(1), self.model.data_sets[0].header_rows())
        app.select_segment(2)
        app.wait_rows(1, 4)
        self.assertEqual(app.cells(1), [[str(e * 10 + p) for p in range(3)] for e in range(4)])

    def test_open_during_a_warning_of_a_command_line_file(self):
        path = self.session.write("guarded.fcs", FILE)
        app = self.start(path)
        opened = self.post_while_box_open(app, harness.IDM_OPEN)
        self.assertFalse(opened, "File > Open showed the file dialog while a file was read")
        self.check_file_is_whole(app, "guarded.fcs - Ketterlin")
        # Once the reading is over, File > Open works again.
        app.command(harness.IDM_OPEN)
        app.press(app.wait_file_dialog(), harness.IDCANCEL)
        app.close()
        self.assertExitsWith(app, 0)

    def test_open_during_a_warning_of_a_file_chosen_in_the_dialog(self):
        path = self.session.write("chosen-guarded.fcs", FILE)
        app = self.start()
        app.command(harness.IDM_OPEN)
        app.choose_file(app.wait_file_dialog(), path)
        opened = self.post_while_box_open(app, harness.IDM_OPEN)
        self.assertFalse(opened, "File > Open showed the file dialog while a file was read")
        self.check_file_is_whole(app, "chosen-guarded.fcs - Ketterlin")
        app.close()
        self.assertExitsWith(app, 0)

    def test_about_during_a_warning_leaves_the_reading_whole(self):
        path = self.session.write("about-meanwhile.fcs", FILE)
        app = self.start(path)
        warning = app.wait_box()
        app.command(harness.IDM_ABOUT)
        app.sync()
        # Whether the About box comes up meanwhile is the program's choice; if it does, it is
        # closed again before the warnings are answered.
        def about_box():
            return [b for b in app.dialogs() if b["hwnd"] != warning["hwnd"]]
        try:
            others = harness.wait_until(about_box, 1.0, what="the About box")
        except harness.HarnessError:
            others = []
        for other in others:
            self.assertEqual(other["caption"], "About")
            app.press(other)
        self.check_file_is_whole(app, "about-meanwhile.fcs - Ketterlin")
        app.close()
        self.assertExitsWith(app, 0)

    def test_exit_during_a_warning_ends_with_code_zero(self):
        for how in ("File > Exit", "WM_CLOSE"):
            with self.subTest(how):
                path = self.session.write("leaving.fcs", FILE)
                app = self.start(path)
                box = app.wait_box()
                self.assertEqual(app.box_text(box), self.expected[0])
                if how == "WM_CLOSE":
                    app.close()
                else:
                    app.command(harness.IDM_EXIT)
                # Whatever boxes are still to come are dismissed until the program has ended.
                def ended():
                    if not app.alive():
                        return True
                    for other in app.dialogs():
                        try:
                            app.press(other)
                        except harness.HarnessError:
                            pass    # it closed by itself meanwhile
                    return False
                harness.wait_until(ended, harness.EXIT_TIMEOUT, what="the program's end")
                self.assertExitsWith(app, 0)


if __name__ == "__main__":
    harness.main()
