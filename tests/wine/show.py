"""Opens one file in ketterlin.exe on a private X display, inside a Wine virtual desktop, waits
until the main window shows it, takes a screenshot and ends everything it started. Called by
tools/run.sh when there is no display to show the viewer on.

Warning boxes are answered with OK and their texts printed, so that the screenshot shows the
file's rows; "Unknown format" and error boxes are reported the same way. A question (the update
check's offer of a newer version) is answered No.
"""

import argparse
import os
import shutil
import sys
import tempfile

import harness

DESKTOP = "Ketterlin,1024x768"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--prefix", required=True, help="Wine prefix to use (made if missing)")
    parser.add_argument("--screenshot", required=True, help="PNG file to write")
    parser.add_argument("file")
    options = parser.parse_args()

    name = os.path.basename(options.file)
    title = name + " - " + harness.PROGRAM_NAME
    workdir = tempfile.mkdtemp(prefix="ketterlin-show-")
    with harness.Session(options.exe, options.driver, workdir, geometry="1024x768x24",
                         prefix=options.prefix, unmanaged=False) as session:
        app = session.start(os.path.abspath(options.file), desktop=DESKTOP)
        boxes = []

        def shown():
            for box in app.dialogs():
                text = app.box_text(box)
                boxes.append((box["caption"], text))
                print("box %r: %s" % (box["caption"], text.replace("\r\n", " ")), flush=True)
                ids = [b["id"] for b in box["buttons"]]
                answer = next((i for i in (harness.IDOK, harness.IDNO) if i in ids),
                              harness.IDCANCEL)
                app.press(box, answer)
                if text == "Unknown format" or box["caption"] == "Error":
                    return "failed"
            return "shown" if app.title() == title else None

        outcome = harness.wait_until(shown, 60, interval=0.1, what="the file in the window")
        if outcome == "shown":
            harness.wait_until(lambda: app.list_info(0)["count"] > 0
                               and app.list_info(1)["count"] > 0, 20,
                               what="rows in both lists")
            rows = app.cells(0)
            print("segments: " + "; ".join(" ".join(r) for r in rows))
        app.sync()
        session.screenshot(options.screenshot)
        app.close()
        code = app.exit_code()
        print("ketterlin.exe ended with exit code %d" % code)
    shutil.rmtree(workdir, ignore_errors=True)
    return 0 if outcome == "shown" else 1


if __name__ == "__main__":
    sys.exit(main())
