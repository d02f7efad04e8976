"""Makes the README's pictures: the main window showing a real file's events, a histogram and a
density plot of it, each cut from a screenshot of the program running under Wine in a virtual
desktop (which draws window frames). Run by tools/readme-pictures.sh, which builds what it needs.

The file is the repository's own copy of a real two-data-set LMD file (tests/data/real); warning
boxes, if any, are answered with OK. Only the standard library and ImageMagick's `import` are
used; every process started here is ended here.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "wine"))
import harness  # noqa: E402
from test_plot import Plot  # noqa: E402

DESKTOP = "Ketterlin,1100x760"
MAIN_SIZE = (900, 520)
PLOT_SIZE = (700, 540)
DATA_ROW = 2          # the first data set's Data row
HISTOGRAM_COLUMN = 2  # "FL1 Log"; inside the Wine desktop the click has landed on "FL2 Log"
ACROSS = 0            # "FS Lin" across ...
UP = 2                # ... "SS Lin" up ("Count" is the first choice up)
LINEAR = 0            # both on the linear scale, as the instrument measured them


def answer_boxes(app):
    for box in app.dialogs():
        print("box %r: %s" % (box["caption"], app.box_text(box).replace("\r\n", " ")))
        app.press(box, harness.IDOK)


def cut(session, hwnd, app, out):
    """A screenshot of the desktop cut to one window's outer rectangle."""
    rect = app.info(hwnd)["rect"]
    shot = Path(session.tmp) / "shot.png"
    session.screenshot(shot)
    geometry = "%dx%d+%d+%d" % (rect["right"] - rect["left"], rect["bottom"] - rect["top"],
                                rect["left"], rect["top"])
    subprocess.run(["convert", str(shot), "-crop", geometry, "+repage", str(out)], check=True)
    print("wrote %s" % out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--prefix", required=True, help="Wine prefix to use (made if missing)")
    parser.add_argument("--out", required=True, help="folder for the PNG files")
    parser.add_argument("file")
    options = parser.parse_args()
    out = Path(options.out)
    out.mkdir(parents=True, exist_ok=True)
    title = os.path.basename(options.file) + " - " + harness.PROGRAM_NAME
    workdir = tempfile.mkdtemp(prefix="ketterlin-pictures-")
    with harness.Session(options.exe, options.driver, workdir, geometry="1100x760x24",
                         prefix=options.prefix, unmanaged=False) as session:
        app = session.start(os.path.abspath(options.file), desktop=DESKTOP)
        harness.wait_until(lambda: answer_boxes(app) or app.title() == title, 60, interval=0.1,
                           what="the file in the window")
        app.move(10, 10, *MAIN_SIZE)
        app.select_segment(DATA_ROW)
        harness.wait_until(lambda: app.list_info(1)["count"] > 0, 20, what="the events")
        app.sync()
        cut(session, app.main, app, out / "main-window.png")

        app.right_click_cell(1, 0, HISTOGRAM_COLUMN)
        app.wait_menu()
        app.press_keys("down,enter")
        window = harness.wait_until(lambda: app.windows_of_class(harness.PLOT_CLASS), 20,
                                    what="the plot window")[0]
        plot = Plot(app, window)
        app.driver.call("move", hwnd=plot.hwnd, x=120, y=60, width=PLOT_SIZE[0],
                        height=PLOT_SIZE[1])
        plot.wait_counted()
        app.sync()
        cut(session, plot.hwnd, app, out / "histogram.png")

        plot.choose(plot.x_parameter, ACROSS)
        plot.choose(plot.y_parameter, UP)
        plot.choose(plot.x_scale, LINEAR)
        plot.choose(plot.y_scale, LINEAR)
        plot.wait_counted()
        app.sync()
        cut(session, plot.hwnd, app, out / "density.png")
        app.close()
        print("ketterlin.exe ended with exit code %d" % app.exit_code())
    shutil.rmtree(workdir, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
