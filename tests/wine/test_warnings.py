"""Warning boxes of ketterlin.exe, end to end: hand-made files whose problems are known, opened
from the command line; every box's caption and text in order, then the segment rows."""

import harness
from fcsfile import open_file, standard

V3_ONLY = ("$BEGINANALYSIS", "$BEGINDATA", "$BEGINSTEXT", "$ENDANALYSIS", "$ENDDATA",
           "$ENDSTEXT")

# name, file bytes, the boxes' texts in order
CASES = [
    ("float_without_byteord",
     standard(data_type="F", bits=32, drop=("$BYTEORD",)),
     ["Required keyword $BYTEORD not present for data type F",
      "Required keyword $BYTEORD not present"]),
    ("integer_without_byteord",
     standard(data_type="I", bits=8, drop=("$BYTEORD",)),
     ["Required keyword $BYTEORD not present"]),
    ("fcs3_without_supplemental_text",
     standard(drop=("$BEGINSTEXT", "$ENDSTEXT")),
     ["Required keyword $BEGINSTEXT not present", "Required keyword $ENDSTEXT not present"]),
    ("fcs2_without_fcs3_keywords",
     standard(version="FCS2.0", drop=V3_ONLY),
     []),
    ("name_beyond_par",
     standard(par=2, add=[("$P3N", "Extra")]),
     ["$P3N conflicts with $PAR (2). Ignoring."]),
    ("missing_parameter_keywords",
     standard(par=2, drop=("$P1E", "$P1R", "$P2E", "$P2N", "$P2R")),
     ["Required keyword $P1E not present", "Required keyword $P1R not present",
      "Required keyword $P2E not present", "Required keyword $P2N not present",
      "Required keyword $P2R not present"]),
    ("without_tot",
     standard(drop=("$TOT",)),
     ["Required keyword $TOT not present", "$TOT conflict with data size"]),
    ("lower_case_tot",
     standard(rename={"$TOT": "$tot"}),
     ["Required keyword $TOT not present", "$TOT conflict with data size"]),
    ("wrong_tot",
     standard(events=4, tot=7),
     ["$TOT conflict with data size"]),
    ("every_step",
     standard(version="FCS3.1", data_type="D", bits=64, drop=("$BYTEORD", "$MODE", "$P2R"),
              add=[("$P3N", "Extra")], tot=5),
     ["Required keyword $BYTEORD not present for data type D",
      "Required keyword $BYTEORD not present",
      "Required keyword $MODE not present",
      "Required keyword $P2R not present",
      "$P3N conflicts with $PAR (2). Ignoring.",
      "$TOT conflict with data size"]),
]


# Files whose handling the reading rules leave to the program: whatever it shows, it must survive
# them, list the segments and end normally.
OPEN_CASES = [
    ("negative_par", standard(add=[("$PAR", "-1")])),
    ("widths_outside_par", standard(add=[("$P9B", "16"), ("$P0B", "16"), ("$P-1N", "x"),
                                         ("$P0N", "y")])),
    ("no_widths", standard(rename={"$P1B": "$P1X", "$P2B": "$P2X"})),
    ("data_shorter_than_declared", standard()[:-5]),
    ("ascii_data_type", standard(add=[("$DATATYPE", "A")])),
    ("big_endian_16_bit", standard(byte_order="4,3,2,1")),
    ("empty_data_type", standard(add=[("$DATATYPE", "")])),
]


class Warnings(harness.SessionTestCase):

    def test_model_agrees_with_the_table(self):
        # The table is written out by hand; the model derives the same from the rules.
        for name, data, expected in CASES:
            with self.subTest(name):
                self.assertEqual(open_file(data).warnings(), expected)

    def open_case(self, name, data, expected):
        path = self.session.write(name + ".fcs", data)
        app = self.start(path)
        seen = app.expect_boxes(expected)
        self.assertEqual(seen, expected)
        app.wait_title(name + ".fcs - Ketterlin")
        model = open_file(data)
        self.assertEqual(app.cells(0), model.segment_rows())
        return app, model

    def test_each_case_shows_its_boxes_in_order_then_the_rows(self):
        for name, data, expected in CASES:
            with self.subTest(name):
                app, _ = self.open_case(name, data, expected)
                app.close()
                self.assertExitsWith(app, 0)

    def test_warning_box_has_no_owner_and_leaves_the_window_usable(self):
        name, data, expected = CASES[-1]
        path = self.session.write("usable.fcs", data)
        app = self.start(path)
        box = app.wait_box()
        self.assertEqual(box["caption"], "Ketterlin")
        self.assertEqual(app.box_text(box), expected[0])
        self.assertEqual(box["owner"], 0)
        self.assertEqual([b["id"] for b in box["buttons"]], [harness.IDOK])
        self.assertTrue(app.info()["enabled"])
        # Nothing of the data set is listed while its warnings are open.
        self.assertEqual(app.list_info(0)["count"], 0)
        app.press(box)
        app.expect_boxes(expected[1:])
        app.wait_title("usable.fcs - Ketterlin")
        self.assertEqual(app.list_info(0)["count"], 3)
        app.close()
        self.assertExitsWith(app, 0)

    def test_cases_left_to_the_program_do_not_bring_it_down(self):
        for name, data in OPEN_CASES:
            with self.subTest(name):
                path = self.session.write(name + ".fcs", data)
                app = self.start(path)
                boxes = app.dismiss_all(caption=None, limit=50)
                app.wait_title(name + ".fcs - Ketterlin")
                segments = app.cells(0)
                self.assertEqual([r[0] for r in segments], ["Header", "Text", "Data"], boxes)
                for row in range(3):
                    app.select_segment(row)
                    app.sync()
                    app.cells(1)        # every cell is asked for, whatever it shows
                self.assertTrue(app.alive())
                app.close()
                self.assertExitsWith(app, 0)

    def test_keyword_view_keeps_the_lower_case_name(self):
        name, data, expected = [c for c in CASES if c[0] == "lower_case_tot"][0]
        app, model = self.open_case("lower_case_view", data, expected)
        app.select_segment(1)
        app.wait_rows(1, len(model.data_sets[0].keywords))
        self.assertIn(["$tot", "4"], app.cells(1))
        self.assertEqual(app.cells(1), model.data_sets[0].keyword_rows())
        app.close()
        self.assertExitsWith(app, 0)


if __name__ == "__main__":
    harness.main()
