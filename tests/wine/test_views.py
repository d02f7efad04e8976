"""What ketterlin.exe's two lists show, end to end: segment rows, title, the header, keyword and
data views for generated files of every data type and byte order, scrolling to the end of a big
file, and both data sets of an LMD file."""

import json
import subprocess

import harness
from viewercase import ViewerTestCase
from fcsfile import HEADER_LABELS, build, chain, index_value, open_file, standard, standard_parts


WS_OVERLAPPEDWINDOW = 0x00CF0000
WS_BORDER = 0x00800000
LVS_REPORT = 0x0001
LVS_SHOWSELALWAYS = 0x0008
LVS_OWNERDATA = 0x1000
LIST_STYLES = WS_BORDER | 0x0003 | LVS_SHOWSELALWAYS | LVS_OWNERDATA   # 3: the view bits
LVM_GETEXTENDEDLISTVIEWSTYLE = 0x1037
WM_KEYDOWN = 0x0100
WM_KEYUP = 0x0101
VK_HOME = 0x24
VK_UP = 0x26
VK_DOWN = 0x28
LVS_EX_FULLROWSELECT = 0x0020


class Views(ViewerTestCase):

    def test_segment_rows_title_and_header_view(self):
        app, model = self.open("plain.fcs", options=["--events", "100"])
        ds = model.data_sets[0]
        self.assertEqual(app.headings(0), [("Segment", 75), ("Details", 100)])
        rows = app.read_list(0)
        self.assertEqual([r["cells"] for r in rows],
                         [["Header", "FCS3.1"], ["Text", "%d keywords" % len(ds.keywords)],
                          ["Data", "100 events"]])
        self.assertEqual([(r["selected"], r["focused"]) for r in rows],
                         [(True, True), (False, False), (False, False)])
        # Row 0 is selected on opening, so the header view is showing.
        app.wait_rows(1, 6)
        self.assertEqual(app.headings(1), [("Field", 150), ("Offset", 150)])
        header = app.cells(1)
        self.assertEqual([r[0] for r in header], HEADER_LABELS)
        self.assertEqual(header, ds.header_rows())
        self.finish(app)

    def test_layout_puts_the_segments_left_and_the_details_beside_them(self):
        app, _ = self.open("layout.fcs", options=["--events", "5"])
        main = app.info()
        width = main["client"]["right"]
        height = main["client"]["bottom"]
        places = []
        for hwnd in app.lists():
            rect = app.info(hwnd)["rect"]
            places.append((rect["left"] - main["origin"]["x"], rect["top"] - main["origin"]["y"],
                           rect["right"] - rect["left"], rect["bottom"] - rect["top"]))
        self.assertEqual(places, [(0, 0, 220, height), (220, 0, width - 220, height)])
        self.assertEqual(main["style"] & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW)
        segments, details = [app.list_info(i)["style"] for i in (0, 1)]
        self.assertEqual(segments & LIST_STYLES, WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS)
        self.assertEqual(details & LIST_STYLES, LVS_REPORT | LVS_OWNERDATA)
        for hwnd in app.lists():
            extended = app.driver.call("send", hwnd=hwnd, msg=LVM_GETEXTENDEDLISTVIEWSTYLE)
            self.assertTrue(extended["result"] & LVS_EX_FULLROWSELECT)
        self.finish(app)

    def test_layout_follows_resizing(self):
        app, _ = self.open("resized.fcs", options=["--events", "5"])
        for width, height in ((700, 420), (180, 300), (900, 600)):
            with self.subTest(width=width, height=height):
                app.move(10, 10, width, height)
                app.sync()
                main = app.info()
                client_width = main["client"]["right"]
                client_height = main["client"]["bottom"]
                sizes = []
                for hwnd in app.lists():
                    rect = app.info(hwnd)["rect"]
                    sizes.append((rect["right"] - rect["left"], rect["bottom"] - rect["top"]))
                # The segment list keeps its 220 pixels; the details get the rest, or nothing
                # when the window is narrower.
                self.assertEqual(sizes, [(220, client_height),
                                         (max(client_width - 220, 0), client_height)])
        self.finish(app)

    def test_the_row_changed_last_decides_what_the_details_show(self):
        app, model = self.open("selection.fcs", data=standard(events=4))
        ds = model.data_sets[0]
        self.show(app, 2, 4)
        # Ctrl+click on the Text row: both selected, the keywords show.
        app.select_segment(1, only=False)
        app.wait_rows(1, len(ds.keywords))
        self.assertEqual([r["selected"] for r in app.read_list(0)], [False, True, True])
        self.assertEqual(app.headings(1), [("Keyword", 150), ("Value", 300)])
        # Ctrl+click on the Text row again removes its selection; it still changed last.
        app.select_segment(1, selected=False)
        app.sync()
        self.assertEqual([r["selected"] for r in app.read_list(0)], [False, False, True])
        self.assertEqual(app.headings(1), [("Keyword", 150), ("Value", 300)])
        self.assertEqual(app.list_info(1)["count"], len(ds.keywords))
        # The same on the Data row: nothing selected, the events show.
        app.select_segment(2, selected=False)
        app.wait_rows(1, 4)
        self.assertEqual([r["selected"] for r in app.read_list(0)], [False, False, False])
        self.assertEqual(app.headings(1), [("FSC-A", 100), ("SSC-A", 100)])
        self.finish(app)

    def test_arrow_keys_in_the_segment_list_change_the_details(self):
        app, model = self.open("keys.fcs", data=standard(events=4))
        ds = model.data_sets[0]
        segments = app.lists()[0]
        keywords = len(ds.keywords)
        for key, row, rows in ((VK_DOWN, 1, keywords), (VK_DOWN, 2, 4), (VK_UP, 1, keywords),
                               (VK_HOME, 0, 6)):
            with self.subTest(key=key, row=row):
                app.driver.call("post", hwnd=segments, msg=WM_KEYDOWN, wparam=key, lparam=1)
                app.driver.call("post", hwnd=segments, msg=WM_KEYUP, wparam=key,
                                lparam=0xC0000001)
                app.sync()
                harness.wait_until(lambda: app.list_info(0)["selected"] == [row], 5,
                                   what="row %d selected" % row)
                app.wait_rows(1, rows)
        self.assertEqual(app.headings(1), [("Field", 150), ("Offset", 150)])
        self.finish(app)

    def test_keyword_view_lists_keywords_in_file_order_with_duplicates(self):
        data = standard(add=[("$COM", "first/with delimiter"), ("$SMNO", "S-1"),
                             ("$COM", "second"), ("$CELLS", "Zelle \u00e9")])
        app, model = self.open("keywords.fcs", data=data)
        ds = model.data_sets[0]
        self.show(app, 1, len(ds.keywords))
        self.assertEqual(app.headings(1), [("Keyword", 150), ("Value", 300)])
        shown = app.cells(1)
        self.assertEqual(shown, ds.keyword_rows())
        self.assertEqual(shown[-4:], [["$COM", "first/with delimiter"], ["$SMNO", "S-1"],
                                      ["$COM", "second"], ["$CELLS", "Zelle \u00e9"]])
        self.finish(app)

    def test_data_view_decodes_each_type_and_byte_order(self):
        # (data type, bits, byte order): the combinations whose $BYTEORD fits the field.
        layouts = [("I", 8, "little"), ("I", 16, "little"), ("I", 32, "little"),
                   ("I", 32, "big"), ("F", 32, "little"), ("F", 32, "big"),
                   ("D", 64, "little"), ("D", 64, "big")]
        events = 40
        for data_type, bits, order in layouts:
            with self.subTest(type=data_type, bits=bits, order=order):
                name = "data-%s%d-%s.fcs" % (data_type, bits, order)
                app, model = self.open(name, options=[
                    "--datatype", data_type, "--bits", bits, "--byteorder", order,
                    "--events", events, "--params", 3, "--pattern", "index"])
                self.show(app, 2, events)
                self.assertEqual(app.headings(1), [("FSC-A", 100), ("SSC-A", 100),
                                                   ("FL1-A", 100)])
                shown = app.cells(1)
                expected = [[index_value(data_type, bits, e, p) for p in range(3)]
                            for e in range(events)]
                self.assertEqual(shown, expected)
                ds = model.data_sets[0]
                self.assertEqual(shown, [[ds.cell(e, p) for p in range(3)]
                                         for e in range(events)])
                self.finish(app)

    def test_scrolling_to_the_last_row_of_a_big_file(self):
        events = 200000
        app, model = self.open("big.fcs", options=[
            "--datatype", "I", "--bits", 32, "--byteorder", "big", "--events", events,
            "--params", 4, "--pattern", "index"])
        self.show(app, 2, events)
        answer = app.ensure_visible(1, events - 1)
        self.assertTrue(answer["ok"])
        app.sync()
        info = app.list_info(1)
        self.assertGreater(info["top"], events - 1 - info["perPage"] - 1)
        last = app.cells(1, events - 10, events - 1)
        self.assertEqual(last, [[index_value("I", 32, e, p) for p in range(4)]
                                for e in range(events - 10, events)])
        # A row far from the announced ones still reads right.
        self.assertEqual(app.cells(1, 12345, 12345), [[index_value("I", 32, 12345, p)
                                                      for p in range(4)]])
        self.finish(app)

    def test_lmd_file_shows_both_data_sets(self):
        events = 25
        app, model = self.open("two.lmd", options=[
            "--lmd", "--datatype", "F", "--events", events, "--params", 3,
            "--names", "FS,SS,FL1", "--pattern", "index"])
        first, second = model.data_sets
        self.assertEqual(app.cells(0), first.rows() + second.rows())
        self.assertEqual([r[0] for r in app.cells(0)], ["Header", "Text", "Data"] * 2)
        # Row 3: the second data set's HEADER offsets, relative to its own start.
        self.show(app, 3, 6)
        self.assertEqual(app.cells(1), second.header_rows())
        self.show(app, 4, len(second.keywords))
        self.assertEqual(app.cells(1), second.keyword_rows())
        # Row 5: the second data set's events under its own names.
        self.show(app, 5, events)
        self.assertEqual(app.headings(1), [("FS", 100), ("SS", 100), ("FL1", 100)])
        self.assertEqual(app.cells(1), [[index_value("F", 32, e, p) for p in range(3)]
                                        for e in range(events)])
        # Back to the first data set: 16-bit integers.
        self.show(app, 2, events)
        self.assertEqual(app.cells(1), [[index_value("I", 16, e, p) for p in range(3)]
                                        for e in range(events)])
        self.show(app, 0, 6)
        self.assertEqual(app.cells(1), first.header_rows())
        self.finish(app)

    def test_chains_of_data_sets(self):
        with_warning = standard_parts(drop=("$BEGINSTEXT",), next_data="next")
        cases = [
            # name, bytes, boxes expected, whether the file opens
            ("three.lmd", chain(standard_parts(next_data="next"),
                                standard_parts(version="FCS3.1", par=3, next_data="next"),
                                standard_parts(drop=("$MODE",))), [], True),
            ("warnings-in-both.lmd", chain(with_warning, standard_parts(drop=("$TOT",))),
             ["Required keyword $BEGINSTEXT not present", "Required keyword $TOT not present",
              "$TOT conflict with data size"], True),
            ("second-unreadable.lmd", chain(standard_parts(next_data="next"),
                                            b"no data set here, just text"),
             ["Unknown format"], False),
            ("second-beyond-end.lmd", standard(next_data="1000000"), ["Unknown format"], False),
        ]
        for name, data, boxes, opens in cases:
            with self.subTest(name):
                model = open_file(data)
                self.assertEqual(model.warnings(), boxes)
                self.assertEqual(model.ok, opens)
                path = self.session.write(name, data)
                app = self.start(path)
                app.expect_boxes(boxes)
                if opens:
                    app.wait_title(name + " - Ketterlin")
                else:
                    # The rows read so far stay, nothing is selected, the title is unchanged.
                    self.assertEqual(app.title(), "Ketterlin")
                rows = app.read_list(0)
                self.assertEqual([r["cells"] for r in rows], model.segment_rows())
                self.assertEqual([r["selected"] for r in rows],
                                 [opens and r["row"] == 0 for r in rows])
                self.finish(app)

    def dump(self, path):
        """ketterlin-dump's JSON document and exit status for a file."""
        if not self.options.dump:
            self.skipTest("no --dump given")
        result = subprocess.run([self.options.dump, "--json", str(path)], capture_output=True,
                                text=True, timeout=60)
        return json.loads(result.stdout), result.returncode

    def test_viewer_and_dump_agree_when_the_second_data_set_is_not_read(self):
        """Both read a file through the reader's one road, so they report a $NEXTDATA that names
        no data set alike: beyond the end of the file there is no data set ("Unknown format",
        dump exit 1); a negative offset cannot be positioned at, a file error (the system's
        error box with the code Windows gives a negative seek; dump exit 2 and what it tried
        and why it failed)."""
        cases = [
            ("beyond-end.lmd", "1000000", "Ketterlin", "Unknown format", 1, None),
            ("negative.lmd", "-5", "Error", "cannot read the data set at offset -5: the "
             "position lies before the start of the file", 2, " (131)"),
        ]
        for name, next_data, caption, error, status, code in cases:
            with self.subTest(name):
                path = self.session.write(name, standard(next_data=next_data))
                doc, exit_status = self.dump(path)
                self.assertEqual((doc["error"], exit_status), (error, status))
                app = self.start(path)
                box = app.wait_box()
                self.assertEqual(box["caption"], caption)
                text = app.box_text(box)
                if caption == "Error":
                    # The system's text, then the code.
                    self.assertRegex(text, r"\r?\n \(\d+\)$")
                    self.assertTrue(text.endswith(code), text)
                else:
                    self.assertEqual(text, error)
                app.press(box)
                app.expect_no_box()
                # The first data set's rows stay, nothing is selected, the title is unchanged.
                self.assertEqual(app.title(), "Ketterlin")
                self.assertEqual(app.cells(0),
                                 [row for ds in doc["datasets"] for row in ds["segments"]])
                self.assertEqual(app.cells(0), open_file(standard()).segment_rows())
                self.finish(app)

    def test_data_set_with_more_events_than_a_list_holds(self):
        """The Data row and the dump give the file's own event count; the data view lists the
        first 100,000,000 events, the most a virtual list view holds."""
        data = standard(par=1, bits=8, tot="600000000", drop=("$BEGINDATA", "$ENDDATA"),
                        add=[("$BEGINDATA", "0"), ("$ENDDATA", "599999999")])
        app, model = self.open("huge.fcs", data=data)
        self.assertEqual(model.data_sets[0].event_count, 600000000)
        self.assertEqual(app.cells(0)[2], ["Data", "600000000 events"])
        doc, status = self.dump(self.session.path("huge.fcs"))
        self.assertEqual(status, 0)
        self.assertEqual(doc["datasets"][0]["segments"][2], ["Data", "600000000 events"])
        self.assertEqual(doc["datasets"][0]["eventCount"], 600000000)
        self.show(app, 2, 100000000)
        # The data start at the file's first byte; the last listed event lies beyond the file.
        self.assertEqual(app.cells(1, 0, 1), [[str(data[0])], [str(data[1])]])
        self.assertTrue(app.ensure_visible(1, 99999999)["ok"])
        app.sync()
        self.assertEqual(app.cells(1, 99999999, 99999999), [["?"]])
        self.finish(app)

    def test_version_is_formatted_from_its_numbers(self):
        version, keywords, events = standard_parts(version="FCS3.01")
        app, _ = self.open("three-oh-one.fcs", data=build("FCS3.01", keywords, events))
        self.assertEqual(app.cells(0)[0], ["Header", "FCS3.1"])
        self.finish(app)

    def test_columns_of_their_own_type_and_utf8_keywords(self):
        """An FCS 3.2 file whose columns have data types of their own (a 64-bit integer above
        2^32, a float, a double) shows each column's values, and a UTF-8 keyword value shows as
        its characters. The values are the generator's index pattern."""
        base = 5000000000
        path = self.session.generate(
            "mixed.fcs", "--version", "3.2", "--types", "I,F,D", "--bits", 64, "--int-base",
            base, "--names", "FSC-\u00b5,SSC-A,Temp", "--byteorder", "big", "--events", 12,
            "--keyword", "$SRC=37 \u00b0C \u65e5\u672c")
        app = self.start(path)
        app.wait_title("mixed.fcs - Ketterlin")
        app.expect_no_box()
        self.show(app, 2, 12)
        self.assertEqual(app.headings(1), [("FSC-\u00b5", 100), ("SSC-A", 100), ("Temp", 100)])
        self.assertEqual(app.cells(1), [[str(base + e * 10), index_value("F", 32, e, 1),
                                         index_value("D", 64, e, 2)] for e in range(12)])
        app.select_segment(1)
        harness.wait_until(lambda: app.headings(1) == [("Keyword", 150), ("Value", 300)], 5,
                           what="the keyword view")
        keywords = app.cells(1)
        self.assertIn(["$SRC", "37 \u00b0C \u65e5\u672c"], keywords)
        self.assertIn(["$P1N", "FSC-\u00b5"], keywords)
        self.finish(app)

    def test_parameter_without_name_has_an_empty_heading(self):
        data = standard(par=3, drop=("$P2N",))
        app, model = self.open("unnamed.fcs", data=data)
        self.assertEqual(model.warnings(), ["Required keyword $P2N not present"])
        self.show(app, 2, 4)
        self.assertEqual(app.headings(1), [("FSC-A", 100), ("", 100), ("FL1-A", 100)])
        self.assertEqual(app.cells(1), [[str(e * 10 + p) for p in range(3)] for e in range(4)])
        self.finish(app)


if __name__ == "__main__":
    harness.main()
