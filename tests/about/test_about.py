"""End-to-end tests of Help > About under Wine: the box's contents, layout and placement, the
ways it closes, the link (hover, colour, click), the resources it must give back, and the version
it shows, for the built executable and for copies of it that carry other version resources.

Run by ctest from the native build (see CMakeLists.txt); needs the cross build's ketterlin.exe,
ktdriver.exe, guicount.exe (GDI objects and windows of a process) and dialogprobe.exe (the
library's in-memory dialogs run on their own).
"""

import json
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "wine"))
sys.path.insert(0, str(HERE))

import harness  # noqa: E402
import pe_version  # noqa: E402

WM_KEYDOWN = 0x0100
WM_COMMAND = 0x0111
WM_SYSCOMMAND = 0x0112
WM_MOUSEMOVE = 0x0200
WM_LBUTTONDOWN = 0x0201
WM_LBUTTONUP = 0x0202
SC_CLOSE = 0xF060
VK_RETURN = 0x0D
VK_ESCAPE = 0x1B
WS_CHILD = 0x40000000
WS_VISIBLE = 0x10000000
SS_ICON = 0x3

LINK_CLASS = "PXSYSLINK"
SITE = "http://ketterlin.example/"
LINK_BLUE = (0, 0, 204)

# Layout in dialog units (inclusive right and bottom).
DIALOG_SIZE = (201, 41)
TEXT_RECT = (40, 10, 139, 19)
OK_RECT = (145, 8, 194, 19)
ICON_RECT = (11, 11, 29, 29)
LINK_RECT = (40, 20, 140, 30)

GUICOUNT = None
DIALOGPROBE = None


def muldiv(a, b, c):
    """The system's MulDiv for the positive values of dialog-unit conversion."""
    return (a * b + c // 2) // c


def to_pixels(rect, base_x, base_y):
    left, top, right, bottom = rect
    return (muldiv(left, base_x, 4), muldiv(top, base_y, 8),
            muldiv(right, base_x, 4), muldiv(bottom, base_y, 8))


def item_pixels(rect, base_x, base_y):
    """Where the dialog manager puts a template item: origin and size converted."""
    left, top, right, bottom = rect
    x, y = muldiv(left, base_x, 4), muldiv(top, base_y, 8)
    return (x, y, x + muldiv(right - left + 1, base_x, 4) - 1,
            y + muldiv(bottom - top + 1, base_y, 8) - 1)


def trunc_half(value):
    """Signed division by 2 truncating toward zero, as C does."""
    return int(value / 2)


class AboutBox(harness.SessionTestCase):

    def open_about(self, app):
        app.command(harness.IDM_ABOUT)
        box = app.wait_box()
        self.assertEqual(box["caption"], "About")
        return box

    def wait_gone(self, app, box):
        gone = app.driver.call("gone", hwnd=box["hwnd"], timeout=10000, _timeout=40)
        self.assertTrue(gone["gone"], "the About box did not close")

    def link_of(self, app, box):
        links = [c for c in app.children(box["hwnd"]) if c["class"] == LINK_CLASS]
        self.assertEqual(len(links), 1)
        return links[0]

    def test_contents_layout_and_placement(self):
        app = self.start()
        main = app.info()
        box = self.open_about(app)
        dialog = app.info(box["hwnd"])

        self.assertEqual(box["owner"], app.main)
        self.assertFalse(app.info()["enabled"], "the owner is disabled while the box is open")
        texts = [s for s in box["statics"] if s["id"] == -1]
        self.assertEqual([s["text"] for s in texts], ["Ketterlin v1.0r5"])
        self.assertEqual([(b["id"], b["text"]) for b in box["buttons"]], [(harness.IDOK, "OK")])

        children = {c["hwnd"]: c for c in app.children(box["hwnd"])}
        icons = [c for c in children.values() if c["class"] == "Static" and c["title"] == "#102"]
        self.assertEqual(len(icons), 1)
        icon = icons[0]
        self.assertEqual(icon["style"] & 0x1F, SS_ICON)
        self.assertTrue(icon["visible"])
        link = self.link_of(app, box)
        self.assertEqual(link["title"], SITE)
        self.assertTrue(link["visible"])
        self.assertEqual(link["style"] & 0xFFFF0000, WS_CHILD | WS_VISIBLE,
                         "the link has no border and takes no Tab stop")

        # Dialog units from the text item itself: 100 x 10 units.
        text = children[texts[0]["hwnd"]]
        base_x = (text["client"]["right"] * 4 + 50) // 100
        base_y = (text["client"]["bottom"] * 8 + 5) // 10
        self.assertEqual(text["client"]["right"], muldiv(100, base_x, 4))
        self.assertEqual(text["client"]["bottom"], muldiv(10, base_y, 8))
        self.assertEqual((dialog["client"]["right"], dialog["client"]["bottom"]),
                         (muldiv(DIALOG_SIZE[0], base_x, 4), muldiv(DIALOG_SIZE[1], base_y, 8)))

        origin = dialog["origin"]

        def placed(child):
            r = child["rect"]
            # Window rectangles are exclusive: right - left is the width.
            return (r["left"] - origin["x"], r["top"] - origin["y"],
                    r["right"] - origin["x"] - 1, r["bottom"] - origin["y"] - 1)

        # Template items: the dialog manager converts origin and size.
        ok = children[box["buttons"][0]["hwnd"]]
        for child, rect in ((text, TEXT_RECT), (ok, OK_RECT)):
            self.assertEqual(placed(child), item_pixels(rect, base_x, base_y), child["title"])
        # Made at initialisation: both corners converted, then placed inclusively.
        for child, rect in ((icon, ICON_RECT), (link, LINK_RECT)):
            self.assertEqual(placed(child), to_pixels(rect, base_x, base_y), child["class"])

        # Centred over the main window, by the rule's own arithmetic.
        r, d = main["rect"], dialog["rect"]
        x = r["left"] + trunc_half((r["right"] - r["left"]) - (d["right"] - d["left"]))
        y = r["top"] + trunc_half((r["bottom"] - r["top"]) - (d["bottom"] - d["top"]))
        self.assertEqual((d["left"], d["top"]), (x, y))

        app.press(box)
        self.assertTrue(app.info()["enabled"])
        app.expect_no_box()
        app.close()
        self.assertExitsWith(app, 0)

    def test_enter_escape_close_box_and_commands_end_it(self):
        app = self.start()

        def ok_button(box):
            return box["buttons"][0]["hwnd"]

        closers = [
            # Keys as the dialog's own loop sees them: posted to the focused OK button.
            ("Enter", lambda box: app.driver.call("post", hwnd=ok_button(box), msg=WM_KEYDOWN,
                                                  wparam=VK_RETURN)),
            ("Esc", lambda box: app.driver.call("post", hwnd=ok_button(box), msg=WM_KEYDOWN,
                                                wparam=VK_ESCAPE)),
            ("close box", lambda box: app.driver.call("post", hwnd=box["hwnd"],
                                                      msg=WM_SYSCOMMAND, wparam=SC_CLOSE)),
            # IDOK and IDCANCEL end it whatever their notification code.
            ("IDOK, code 5", lambda box: app.driver.call("post", hwnd=box["hwnd"],
                                                         msg=WM_COMMAND,
                                                         wparam=(5 << 16) | harness.IDOK)),
            ("IDCANCEL", lambda box: app.driver.call("post", hwnd=box["hwnd"], msg=WM_COMMAND,
                                                     wparam=harness.IDCANCEL)),
        ]
        for name, close in closers:
            with self.subTest(name):
                box = self.open_about(app)
                self.assertTrue(close(box)["ok"])
                self.wait_gone(app, box)
                app.wait_title("Ketterlin")
                self.assertTrue(app.info()["enabled"])
        app.expect_no_box()
        app.close()
        self.assertExitsWith(app, 0)

    def region(self, rect):
        """RGB bytes of a screen rectangle (exclusive right and bottom)."""
        left, top, right, bottom = rect
        geometry = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
        out = subprocess.run(["import", "-display", self.session.xvfb.display, "-window", "root",
                              "-crop", geometry, "-depth", "8", "rgb:-"],
                             check=True, capture_output=True, env=self.session.env).stdout
        width = right - left
        return [[tuple(out[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)]
                for y in range(bottom - top)]

    def link_pixels(self, link):
        r = link["rect"]
        return self.region((r["left"], r["top"], r["right"], r["bottom"]))

    @staticmethod
    def border(pixels):
        return pixels[0] + pixels[-1] + [row[0] for row in pixels] + [row[-1] for row in pixels]

    def test_link_colour_hover_and_click(self):
        recorder = self.session.tmp / "bin"
        recorder.mkdir(exist_ok=True)
        opened = self.session.tmp / "opened.txt"
        script = recorder / "xdg-open"
        script.write_text("#!/bin/sh\nprintf '%%s\\n' \"$1\" >> '%s'\n" % opened)
        script.chmod(0o755)
        saved_path = self.session.env["PATH"]
        self.session.env["PATH"] = "%s:%s" % (recorder, saved_path)
        try:
            app = self.start()
        finally:
            self.session.env["PATH"] = saved_path
        box = self.open_about(app)
        link = self.link_of(app, box)
        hwnd = link["hwnd"]
        app.sync()

        def settled():
            # Painting follows the posted messages: wait for two equal pictures in a row.
            last = [None]

            def check():
                pixels = self.link_pixels(link)
                same = pixels == last[0]
                last[0] = pixels
                return pixels if same else None
            return harness.wait_until(check, 10, interval=0.2, what="the link to be painted")

        def changed_border(pixels, reference):
            return sum(1 for p, q in zip(self.border(pixels), self.border(reference)) if p != q)

        idle = harness.wait_until(lambda: (lambda p: p if LINK_BLUE in {c for row in p for c in row}
                                           else None)(settled()), 10,
                                  what="the address drawn in blue (0, 0, 204)")

        # The pointer enters: a dotted focus rectangle around the whole control.
        app.driver.call("post", hwnd=hwnd, msg=WM_MOUSEMOVE, lparam=(5 << 16) | 5)
        hover = harness.wait_until(
            lambda: (lambda p: p if changed_border(p, idle) > 40 else None)(self.link_pixels(link)),
            10, what="the focus rectangle")
        self.assertIn(LINK_BLUE, {p for row in hover for p in row})
        # All four sides are marked, not just the text.
        width, height = len(idle[0]), len(idle)
        for name, side, ref in (("top", hover[0], idle[0]), ("bottom", hover[-1], idle[-1]),
                                ("left", [r[0] for r in hover], [r[0] for r in idle]),
                                ("right", [r[-1] for r in hover], [r[-1] for r in idle])):
            differing = sum(1 for p, q in zip(side, ref) if p != q)
            self.assertGreater(differing, len(side) // 4, name)
        # A move inside keeps it; a move outside (seen through the capture) removes it.
        app.driver.call("post", hwnd=hwnd, msg=WM_MOUSEMOVE, lparam=(6 << 16) | 8)
        app.sync()
        self.assertGreater(changed_border(settled(), idle), 40)
        outside = ((-4 & 0xFFFF) << 16) | (-3 & 0xFFFF)
        app.driver.call("post", hwnd=hwnd, msg=WM_MOUSEMOVE, lparam=outside)
        harness.wait_until(lambda: self.link_pixels(link) == idle, 10,
                           what="the link painted as before the pointer came")
        self.assertEqual((width, height), (link["rect"]["right"] - link["rect"]["left"],
                                           link["rect"]["bottom"] - link["rect"]["top"]))

        # A click opens the address with the shell and leaves the box open.
        app.driver.call("post", hwnd=hwnd, msg=WM_LBUTTONDOWN, wparam=1, lparam=(5 << 16) | 5)
        app.driver.call("post", hwnd=hwnd, msg=WM_LBUTTONUP, lparam=(5 << 16) | 5)
        harness.wait_until(lambda: opened.exists() and opened.read_text().strip(), 30,
                           what="the browser stand-in to be called")
        self.assertEqual(opened.read_text().splitlines(), [SITE])
        self.assertTrue(app.info(box["hwnd"])["visible"])
        self.assertEqual(len(app.dialogs()), 1)

        # The address is read at the moment of the click: a text set afterwards is what opens,
        # whole and without anything behind it.
        changed = SITE + "changed"
        self.assertTrue(app.driver.call("settext", hwnd=hwnd, text=changed)["ok"])
        app.driver.call("post", hwnd=hwnd, msg=WM_LBUTTONDOWN, wparam=1, lparam=(5 << 16) | 5)
        app.driver.call("post", hwnd=hwnd, msg=WM_LBUTTONUP, lparam=(5 << 16) | 5)
        harness.wait_until(lambda: len(opened.read_text().splitlines()) == 2, 30,
                           what="the browser stand-in to be called again")
        self.assertEqual(opened.read_text().splitlines(), [SITE, changed])
        self.assertEqual(len(app.dialogs()), 1)

        app.press(box)
        app.close()
        self.assertExitsWith(app, 0)

    def counts(self, app):
        app.sync()
        out = subprocess.run([self.session.wine, GUICOUNT, str(app.pid)], env=self.session.env,
                             capture_output=True, text=True, timeout=60)
        answer = json.loads(out.stdout.strip().splitlines()[-1])
        self.assertTrue(answer["ok"], answer)
        return answer

    def test_fifty_showings_leave_nothing_behind(self):
        if not GUICOUNT:
            self.skipTest("no --guicount given")
        app = self.start()
        # The first showing loads what stays cached for the process (icon, dialog class...).
        box = self.open_about(app)
        app.press(box)
        before = self.counts(app)
        opened = None
        for i in range(50):
            box = self.open_about(app)
            if i == 0:
                opened = self.counts(app)
            app.press(box)
        after = self.counts(app)
        # While open: the dialog's font and the link's underlined font exist besides the rest.
        self.assertGreater(opened["types"].get("10", 0), before["types"].get("10", 0))
        self.assertGreater(opened["windows"], before["windows"])
        self.assertEqual(after["gdi"], before["gdi"], (before, after))
        self.assertEqual(after["types"], before["types"])
        self.assertEqual(after["windows"], before["windows"])
        app.close()
        self.assertExitsWith(app, 0)


class Version(harness.SessionTestCase):

    def about_line(self, exe):
        saved = self.session.exe
        self.session.exe = str(exe)
        try:
            app = self.start()
        finally:
            self.session.exe = saved
        app.command(harness.IDM_ABOUT)
        box = app.wait_box()
        line = [s["text"] for s in box["statics"] if s["id"] == -1]
        app.press(box)
        app.close()
        self.assertExitsWith(app, 0)
        return line[0]

    def test_resource_of_the_build(self):
        resources, root, fixed = pe_version.read_version(self.session.exe)
        self.assertEqual([(r[0], r[1]) for r in resources], [(1, 2057)])
        self.assertEqual(fixed["signature"], pe_version.VS_FIXEDFILEINFO_SIGNATURE)
        self.assertEqual((fixed["file_ms"], fixed["file_ls"]), (0x00010000, 0x00050000))
        self.assertEqual((fixed["product_ms"], fixed["product_ls"]), (0x00010000, 0x00050000))
        self.assertEqual((fixed["flags_mask"], fixed["flags"]), (0x3F, 0))
        self.assertEqual((fixed["os"], fixed["type"], fixed["subtype"]), (0x40004, 1, 0))
        tables, translation = pe_version.string_table(root)
        self.assertEqual(list(tables), ["080904b0"])
        strings = tables["080904b0"]
        for key, value in (("FileDescription", "Ketterlin"), ("FileVersion", "1.0.5.0"),
                           ("InternalName", "ketterli"), ("OriginalFilename", "ketterlin.exe"),
                           ("ProductName", "Ketterlin"), ("ProductVersion", "1.0.5.0")):
            self.assertEqual(strings.get(key), value, key)
        self.assertEqual(len(strings), 8, "two more entries name the maker")
        self.assertEqual(translation, (0x0809, 0x04B0))

    def test_versions_shown_by_copies_of_the_program(self):
        cases = [
            # product, file, line
            ((2, 3, 4, 7), None, "Ketterlin v2.3r4"),
            ((1, 2, 3, 0), (9, 9, 9, 9), "Ketterlin v1.2r3"),
            ((10000, 10000, 10000, 0), None, "Ketterlin v10000.10000r10"),
            ((65535, 65535, 65535, 65535), None, "Ketterlin v65535.65535r65"),
        ]
        for product, file_version, expected in cases:
            with self.subTest(product=product, file=file_version):
                copy = self.session.path("v%s.exe" % "_".join(map(str, product)))
                pe_version.with_version(self.session.exe, copy, product=product,
                                        file=file_version)
                self.assertEqual(self.about_line(copy), expected)
        with self.subTest("no version resource"):
            copy = self.session.path("noversion.exe")
            pe_version.with_version(self.session.exe, copy, hide=True)
            self.assertEqual(pe_version.PeImage(copy.read_bytes()).versions(), [])
            self.assertEqual(self.about_line(copy), "Ketterlin ")


class InMemoryDialogs(harness.SessionTestCase):
    """The library's templates run for real: dialogprobe.exe reports one JSON line per case."""

    def test_modal_runs_and_unusable_templates(self):
        if not DIALOGPROBE:
            self.skipTest("no --dialogprobe given")
        out = subprocess.run([self.session.wine, DIALOGPROBE], env=self.session.env, capture_output=True,
                             text=True, timeout=120)
        self.assertEqual(out.returncode, 0, out.stderr)
        cases = {c["case"]: c for c in map(json.loads, out.stdout.splitlines())}

        # IDOK with notification code 5 ends the modal run with 1; OnOK ran once.
        ok = cases["ok_code5"]
        self.assertEqual((ok["result"], ok["shown"], ok["initialised"], ok["oks"]),
                         (1, True, 1, 1))
        # The same template runs again (a fresh copy); IDCANCEL gives 2 and OnCancel.
        again = cases["cancel_second_run"]
        self.assertEqual((again["result"], again["shown"], again["initialised"],
                          again["cancels"]), (2, True, 2, 1))
        # Without a parent the dialog is centred on the desktop.
        left, top, right, bottom = ok["rect"]
        dl, dt, dr, db = cases["desktop"]["rect"]
        self.assertEqual((left, top), (dl + trunc_half((dr - dl) - (right - left)),
                                       dt + trunc_half((db - dt) - (bottom - top))))
        # Texts that cannot fit a block: nothing shown, and the result says so (-1).
        for name in ("long_caption", "long_text", "no_header"):
            with self.subTest(name):
                case = cases[name]
                self.assertEqual((case["usable"], case["result"], case["shown"],
                                  case["initialised"]), (False, -1, False, 0))
        self.assertFalse(cases["long_caption"]["begun"])
        self.assertTrue(cases["long_text"]["begun"])
        # The longest text that fits one block is shown like any other.
        longest = cases["longest_text"]
        self.assertEqual((longest["usable"], longest["result"], longest["shown"]),
                         (True, 1, True))
        self.assertGreater(longest["size"], 65536)
        # A failing OnInitDialog shows the error box with its code; the dialog stays open.
        failed = cases["init_fails"]
        self.assertEqual((failed["errorBox"], failed["errorCode"], failed["shown"],
                          failed["result"]), (True, 5, True, 1))
        self.assertFalse(ok["errorBox"])
        # Colour requests: a wrapped control chooses its own brush; a link (a library object
        # that is no common control) and a template control get the dialog's default.
        routing = cases["colour_routing"]
        self.assertEqual(routing["control"], "own brush")
        self.assertEqual(routing["link"], routing["item"])
        self.assertEqual(cases["colours"]["result"], 2)


def take_option(name):
    """Removes `--name VALUE` from the command line (the harness does not know it)."""
    if name in sys.argv:
        at = sys.argv.index(name)
        value = sys.argv[at + 1]
        del sys.argv[at:at + 2]
        return value
    return None


if __name__ == "__main__":
    GUICOUNT = take_option("--guicount")
    DIALOGPROBE = take_option("--dialogprobe")
    harness.main()
