"""A short end-to-end run of one Windows build: open the bundled sample, show its Header, Text and
Data views, open and close the About box, exit with 0. It keeps the build that the full suite does
not drive on this host (the 64-bit one where the 32-bit program runs) from rotting.

Usage: test_smoke.py --exe EXE --driver KTDRIVER --sample FILE --workdir DIR
"""

import argparse
import os
import sys
import unittest

import harness

# What the bundled sample holds (samples/README.md gives the command that made it).
SAMPLE_ROWS = [["Header", "FCS3.1"], ["Text", "25 keywords"], ["Data", "1000 events"]]
HEADER_FIELDS = 6
SAMPLE_KEYWORDS = 25
SAMPLE_EVENTS = 1000

options = None


class Smoke(unittest.TestCase):

    def test_sample_views_about_and_exit(self):
        with harness.Session(options.exe, options.driver, options.workdir) as session:
            app = session.start(options.sample)
            app.expect_no_box()
            app.wait_title(os.path.basename(options.sample) + " - " + harness.PROGRAM_NAME)
            app.wait_rows(0, len(SAMPLE_ROWS))
            self.assertEqual(app.cells(0), SAMPLE_ROWS)

            for row, headings, count in ((0, ["Field", "Offset"], HEADER_FIELDS),
                                         (1, ["Keyword", "Value"], SAMPLE_KEYWORDS),
                                         (2, None, SAMPLE_EVENTS)):
                with self.subTest(view=SAMPLE_ROWS[row][0]):
                    app.select_segment(row)
                    app.wait_rows(1, count)
                    if headings:
                        self.assertEqual([text for text, _ in app.headings(1)][:2], headings)
                    self.assertTrue(all(app.cells(1, 0, 0)[0]), "the first row has empty cells")

            app.command(harness.IDM_ABOUT)
            box = app.wait_box()
            self.assertEqual(box["caption"], "About")
            app.press(box, harness.IDOK)
            gone = app.driver.call("gone", hwnd=box["hwnd"], timeout=10000, _timeout=40)
            self.assertTrue(gone["gone"], "the About box did not close")

            app.close()
            self.assertEqual(app.exit_code(), 0)


def main():
    global options
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--sample", required=True)
    parser.add_argument("--workdir", required=True)
    options, rest = parser.parse_known_args()
    harness.skip_unless_ready(options)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
