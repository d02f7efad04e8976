"""ketterlin.exe from start to exit, end to end: the empty window, the command line, files that
cannot be read, File > Open through the system's dialog, and the exit code on every way out."""

import re

import harness
from fcsfile import open_file, standard

def raw_data_set(text, version=b"FCS3.0"):
    """A HEADER pointing at `text` as the TEXT segment, nothing else."""
    offsets = [58, 58 + len(text) - 1, 0, 0, 0, 0]
    return version.ljust(10) + b"".join(str(o).encode().rjust(8) for o in offsets) + text


ERROR_BOX_TEXT = re.compile(r"^(.+)\r?\n \((\d+)\)$", re.DOTALL)


class Lifecycle(harness.SessionTestCase):

    def assertEmptyView(self, app, title="Ketterlin"):
        self.assertEqual(app.title(), title)
        self.assertEqual(app.list_info(0)["count"], 0)
        self.assertEqual(app.list_info(1)["count"], 0)

    def assertErrorBox(self, app, code):
        """The error box: no owner, caption "Error", the system's text with its line break,
        then the code in brackets."""
        box = app.wait_box()
        self.assertEqual(box["caption"], "Error")
        self.assertEqual(box["owner"], 0)
        text = app.box_text(box)
        match = ERROR_BOX_TEXT.match(text)
        self.assertIsNotNone(match, "error text %r" % text)
        self.assertEqual(int(match.group(2)), code, text)
        app.press(box)
        return text

    def test_start_without_a_file_shows_the_empty_window(self):
        app = self.start()
        app.expect_no_box()
        self.assertEmptyView(app)
        self.assertEqual(app.headings(0), [("Segment", 75), ("Details", 100)])
        self.assertEqual(app.headings(1), [])
        info = app.info()
        self.assertTrue(info["visible"] and info["enabled"])
        app.close()
        self.assertExitsWith(app, 0)

    def test_exit_code_is_zero_after_exit_command_and_after_closing(self):
        path = self.session.write("exit.fcs", standard())
        for how in ("File > Exit", "WM_CLOSE"):
            with self.subTest(how):
                app = self.start(path)
                app.wait_title("exit.fcs - Ketterlin")
                if how == "WM_CLOSE":
                    app.close()
                else:
                    app.command(harness.IDM_EXIT)
                self.assertExitsWith(app, 0)

    def test_file_that_is_not_fcs_shows_unknown_format(self):
        cases = [("notes.txt", b"This is a plain text file, not flow data.\n"),
                 ("short.fcs", b"FCS3.0"),
                 ("empty.fcs", b""),
                 ("odd-items.fcs", raw_data_set(b"/$A/1/$B/"))]
        for name, data in cases:
            with self.subTest(name):
                self.assertFalse(open_file(data).ok)
                path = self.session.write(name, data)
                app = self.start(path)
                box = app.wait_box()
                self.assertEqual(box["caption"], "Ketterlin")
                self.assertEqual(app.box_text(box), "Unknown format")
                # Owned by the main window, unlike the warnings.
                self.assertEqual(box["owner"], app.main)
                app.press(box)
                app.expect_no_box()
                self.assertEmptyView(app)
                app.close()
                self.assertExitsWith(app, 0)

    def test_missing_file_shows_the_system_error_text(self):
        app = self.start(str(self.session.path("no-such-file.fcs")))
        text = self.assertErrorBox(app, 2)
        self.assertTrue(text.endswith("\n (2)"))
        app.expect_no_box()
        self.assertEmptyView(app)
        app.close()
        self.assertExitsWith(app, 0)

    def test_empty_first_argument_shows_the_system_error_text(self):
        # The command line is "" (Wine quotes an empty argument), the viewer opens an empty path.
        app = self.start(raw_args=[""])
        box = app.wait_box()
        self.assertEqual(box["caption"], "Error")
        self.assertRegex(app.box_text(box), ERROR_BOX_TEXT)
        app.press(box)
        app.expect_no_box()
        self.assertEmptyView(app)
        app.command(harness.IDM_EXIT)
        self.assertExitsWith(app, 0)

    def test_command_line_path_with_spaces_and_further_arguments(self):
        folder = self.session.path("data folder")
        folder.mkdir(exist_ok=True)
        path = folder / "run 1.fcs"
        path.write_bytes(standard())
        app = self.start(str(path), raw_args=["ignored.fcs", "more"])
        app.wait_title("run 1.fcs - Ketterlin")
        app.expect_no_box()
        self.assertEqual(app.list_info(0)["count"], 3)
        app.close()
        self.assertExitsWith(app, 0)

    def test_title_of_a_file_without_extension(self):
        path = self.session.write("sample001", standard())
        app = self.start(path)
        app.wait_title("sample001 - Ketterlin")
        app.close()
        self.assertExitsWith(app, 0)

    def test_open_then_cancel_empties_the_view_and_keeps_the_title(self):
        path = self.session.write("first.fcs", standard())
        app = self.start(path)
        app.wait_title("first.fcs - Ketterlin")
        app.wait_rows(1, 6)
        app.command(harness.IDM_OPEN)
        dialog = app.wait_file_dialog()
        # The view is emptied before the dialog shows.
        self.assertEqual(app.list_info(0)["count"], 0)
        self.assertEqual(app.list_info(1)["count"], 0)
        app.press(dialog, harness.IDCANCEL)
        app.expect_no_box()
        self.assertEmptyView(app, title="first.fcs - Ketterlin")
        # The previous headings stay over no rows.
        self.assertEqual(app.headings(1), [("Field", 150), ("Offset", 150)])
        app.close()
        self.assertExitsWith(app, 0)

    def test_open_through_the_file_dialog(self):
        first = self.session.write("before.fcs", standard())
        second_data = standard(version="FCS3.1", par=3, drop=("$TOT",))
        second = self.session.write("chosen.fcs", second_data)
        model = open_file(second_data)
        app = self.start(first)
        app.wait_title("before.fcs - Ketterlin")
        app.command(harness.IDM_OPEN)
        dialog = app.wait_file_dialog()
        app.choose_file(dialog, second)
        app.expect_boxes(model.warnings())
        app.wait_title("chosen.fcs - Ketterlin")
        self.assertEqual(app.cells(0), model.segment_rows())
        app.wait_rows(1, 6)
        self.assertEqual(app.cells(1), model.data_sets[0].header_rows())
        # And once more with the file that was open before.
        app.command(harness.IDM_OPEN)
        app.choose_file(app.wait_file_dialog(), first)
        app.wait_title("before.fcs - Ketterlin")
        self.assertEqual(app.cells(0), open_file(first.read_bytes()).segment_rows())
        app.command(harness.IDM_EXIT)
        self.assertExitsWith(app, 0)


if __name__ == "__main__":
    harness.main()
