"""Harness for the end-to-end tests: runs ketterlin.exe under Wine on a private X display and
drives it through ktdriver.exe.

A test script builds one Session (the Wine prefix, a private Xvfb and one running driver) and
starts the viewer as often as it likes; every process the session starts is ended by PID when the
session closes, and the prefix's wineserver is stopped with `wineserver -k`, which touches no
other prefix. Waits are on conditions (a window appears, a box closes, the process ends) with
time-outs, never on fixed sleeps alone.

Only the standard library is used.
"""

import argparse
import json
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

TOOLS_DIR = Path(__file__).resolve().parents[2] / "tools"
WINE_ENV = TOOLS_DIR / "wine-env.sh"

MAIN_CLASS = "Ketterlin"
PROGRAM_NAME = "Ketterlin"
DIALOG_CLASS = "#32770"
LIST_CLASS = "SysListView32"
PLOT_CLASS = "KetterlinPlot"
MENU_CLASS = "#32768"

IDM_EXIT = 40001
IDM_OPEN = 40002
IDM_ABOUT = 40003
IDOK = 1
IDCANCEL = 2
IDYES = 6
IDNO = 7
WM_NULL = 0x0000
WM_CLOSE = 0x0010
# The message text of a message box is the static control with this id.
MSGBOX_TEXT_ID = 0xFFFF
# The file-name edit box of the system's file dialog.
FILE_NAME_EDIT_ID = 1152

START_TIMEOUT = 30.0   # the first Wine process of a session also starts the wineserver
BOX_TIMEOUT = 10.0
EXIT_TIMEOUT = 15.0
# "No further box" needs no watching time for the boxes of the viewer's main thread: sync()
# returns only once that thread is idle again or inside the next box's modal loop, and a box's
# window exists before its loop runs, so a box that was coming is there when sync() returns.
# Boxes of other threads (the update check's prompt) are checked with close_expecting_no_box().
QUIET_TIME = 0.0


class HarnessError(AssertionError):
    """A GUI expectation that did not come true; a test failure, not a harness crash."""


def wait_until(condition, timeout, interval=0.05, what="condition"):
    """Polls `condition` until it returns something truthy; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def windows_path(path):
    """The path under which a program of the prefix sees a Unix file (drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Driver:
    """One ktdriver.exe process: a command per line in, one JSON answer per line out."""

    def __init__(self, command, env):
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     env=env, bufsize=0)
        self.pending = b""
        self.call("ping", _timeout=START_TIMEOUT)

    def call(self, command, _timeout=60.0, **fields):
        parts = [command]
        for key, value in fields.items():
            if value is None:
                continue
            text = str(int(value)) if isinstance(value, bool) else str(value)
            if "\t" in text or "\n" in text:
                raise ValueError("driver fields cannot hold tabs or line breaks")
            parts.append("%s=%s" % (key, text))
        self.proc.stdin.write(("\t".join(parts) + "\n").encode("utf-8"))
        self.proc.stdin.flush()
        line = self._read_line(_timeout)
        answer = json.loads(line.decode("utf-8"))
        return answer

    def _read_line(self, timeout):
        deadline = time.monotonic() + timeout
        fd = self.proc.stdout.fileno()
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0:
                raise HarnessError("the driver did not answer within %.0f s" % timeout)
            ready, _, _ = select.select([fd], [], [], left)
            if ready:
                chunk = os.read(fd, 65536)
                if not chunk:
                    raise HarnessError("the driver ended unexpectedly")
                self.pending += chunk
        line, _, self.pending = self.pending.partition(b"\n")
        return line

    def close(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"quit\n")
                self.proc.stdin.flush()
                self.proc.wait(timeout=5)
            except (OSError, subprocess.TimeoutExpired):
                kill_process(self.proc)


def kill_process(proc):
    """Ends one process that this harness started, by its PID, and reaps it."""
    if proc is None or proc.poll() is not None:
        return
    try:
        proc.send_signal(signal.SIGTERM)
        proc.wait(timeout=3)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait(timeout=5)
    except ProcessLookupError:
        pass


class Xvfb:
    """A private X server on a display number that Xvfb picks itself (-displayfd)."""

    def __init__(self, geometry="1280x1024x24"):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", geometry,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(left, 0))
                if not ready:
                    raise HarnessError("Xvfb did not report its display")
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise HarnessError("Xvfb ended before reporting its display")
                number += chunk
        except BaseException:
            kill_process(self.proc)
            raise
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()

    def close(self):
        kill_process(self.proc)


def make_prefix(prefix_dir, exe, unmanaged=True):
    """The prefix for the Windows build that `exe` was made for, made once by tools/wine-env.sh
    and reused; returns the environment variables that run that build's Wine loader in it. For
    the tests its windows are not handed to a window manager (there is none on the private
    display)."""
    script = ('source "$1" && kt_wine_use_for "$3" && kt_wine_prefix "$2"'
              + (" && kt_wine_unmanaged" if unmanaged else "") + " && kt_wine_print_env")
    out = subprocess.run(["bash", "-c", script, "wine-env", str(WINE_ENV), str(prefix_dir),
                          str(exe)], check=True, stdout=subprocess.PIPE, text=True).stdout
    return dict(line.split("=", 1) for line in out.splitlines() if "=" in line)


class Session:
    """Prefix, display and driver for one test script; a context manager that cleans up.

    By default the prefix is <workdir>/wineprefix with unmanaged windows and the display a
    private Xvfb; `prefix`, `unmanaged` and `display` override that (a display given here is
    used, not started, and left running)."""

    def __init__(self, exe, driver, workdir, fcsgen=None, geometry="1280x1024x24",
                 prefix=None, unmanaged=True, display=None):
        self.exe = os.path.abspath(exe)
        self.driver_exe = os.path.abspath(driver)
        self.fcsgen = fcsgen
        self.workdir = Path(workdir).resolve()
        self.geometry = geometry
        self.prefix = Path(prefix).resolve() if prefix else self.workdir / "wineprefix"
        self.unmanaged = unmanaged
        self.display = display
        self.xvfb = None
        self.driver = None
        self.apps = []
        self.extra = []     # other processes a test started beside the viewer, ended with it
        self.env = None
        self.wine = None
        self.wineserver = None
        self.tmp = None

    def __enter__(self):
        try:
            self.open()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def open(self):
        for needed in (self.exe, self.driver_exe):
            if not os.path.exists(needed):
                raise FileNotFoundError("%s is missing: build the cross build first "
                                        "(tools/build.sh win)" % needed)
        self.workdir.mkdir(parents=True, exist_ok=True)
        wine_env = make_prefix(self.prefix, self.exe, self.unmanaged)
        self.tmp = Path(tempfile.mkdtemp(prefix="e2e-", dir=str(self.workdir)))
        if not self.display:
            self.xvfb = Xvfb(self.geometry)
            self.display = self.xvfb.display
        env = dict(os.environ)
        env.pop("WINELOADER", None)
        env.update(wine_env)
        env["DISPLAY"] = self.display
        self.env = env
        self.wine = env["KT_WINE_LOADER"]
        self.wineserver = env["KT_WINESERVER"]
        self.driver = Driver([self.wine, self.driver_exe], env)

    def close(self):
        for app in self.apps:
            kill_process(app.proc)
        for proc in self.extra:
            kill_process(proc)
        if self.driver:
            self.driver.close()
        if self.env:
            subprocess.run([self.wineserver, "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            try:
                subprocess.run([self.wineserver, "-w"], env=self.env, timeout=10,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                pass
        if self.xvfb:
            self.xvfb.close()
        # KETTERLIN_E2E_KEEP=1 keeps the test's files for a look afterwards.
        if self.tmp and os.environ.get("KETTERLIN_E2E_KEEP") is None:
            shutil.rmtree(self.tmp, ignore_errors=True)

    # ---- files -------------------------------------------------------------------------------

    def path(self, name):
        return self.tmp / name

    def generate(self, name, *options):
        """Writes a sample file with ketterlin-fcsgen; returns its Unix path."""
        if not self.fcsgen:
            raise unittest.SkipTest("no --fcsgen given")
        out = self.path(name)
        subprocess.run([self.fcsgen, "--out", str(out)] + [str(o) for o in options], check=True)
        return out

    def write(self, name, data):
        out = self.path(name)
        out.write_bytes(data)
        return out

    # ---- the viewer --------------------------------------------------------------------------

    def start(self, *args, raw_args=None, desktop=None):
        """Starts ketterlin.exe. `args` are Unix paths or texts; paths that exist are handed over
        as Windows paths. `raw_args` go on the command line as given."""
        argv = []
        for arg in args:
            arg = str(arg)
            argv.append(windows_path(arg) if arg.startswith("/") else arg)
        if raw_args is not None:
            argv.extend(raw_args)
        command = [self.wine, self.exe] + argv
        if desktop:
            command = [self.wine, "explorer", "/desktop=%s" % desktop, self.exe] + argv
        before = {w["hwnd"] for w in self.top_windows(cls=MAIN_CLASS)}
        proc = subprocess.Popen(command, env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if desktop:
            # The viewer's windows live on the virtual desktop; the driver follows them there.
            answer = self.driver.call("desktop", name=desktop.split(",")[0],
                                      timeout=int(START_TIMEOUT * 1000),
                                      _timeout=START_TIMEOUT + 30)
            if not answer["ok"]:
                kill_process(proc)
                raise HarnessError("no virtual desktop %r: %s" % (desktop, answer))
        app = App(self, proc, before, desktop=bool(desktop))
        self.apps.append(app)
        return app

    def top_windows(self, **query):
        cls = query.pop("cls", None)
        answer = self.driver.call("top", **{"class": cls}, **query)
        return answer["windows"]

    def screenshot(self, out):
        subprocess.run(["import", "-display", self.display, "-window", "root", str(out)],
                       check=True, env=self.env)
        return out


class App:
    """One running ketterlin.exe. In a virtual desktop `proc` is Wine's explorer, which started
    the viewer; the viewer's own exit code then comes from the driver (windows_exit_code)."""

    def __init__(self, session, proc, windows_before, desktop=False):
        self.session = session
        self.driver = session.driver
        self.proc = proc
        self.desktop = desktop
        self.main = None
        self.pid = None
        self._find_main(windows_before)

    def _find_main(self, before):
        def fresh():
            if not self.desktop and self.proc.poll() is not None:
                raise HarnessError("ketterlin.exe ended (code %s) before showing its window"
                                   % self.proc.returncode)
            for w in self.session.top_windows(cls=MAIN_CLASS, visible=1):
                if w["hwnd"] not in before:
                    return w
            return None
        window = wait_until(fresh, START_TIMEOUT, what="the main window")
        self.main = window["hwnd"]
        self.pid = window["pid"]

    # ---- windows -----------------------------------------------------------------------------

    def info(self, hwnd=None):
        answer = self.driver.call("info", hwnd=hwnd or self.main)
        if not answer["ok"]:
            raise HarnessError("window %s is gone" % (hwnd or self.main))
        return answer["window"]

    def title(self):
        return self.info()["title"]

    def wait_title(self, title, timeout=BOX_TIMEOUT):
        wait_until(lambda: self.title() == title, timeout, what="the title %r" % title)

    def children(self, hwnd=None):
        return self.driver.call("children", hwnd=hwnd or self.main)["children"]

    def lists(self):
        """The two list views of the main window, left (segments) first."""
        found = [c for c in self.children() if c["class"] == LIST_CLASS
                 and c["parent"] == self.main]
        found.sort(key=lambda c: (c["rect"]["left"], c["rect"]["top"]))
        return [c["hwnd"] for c in found]

    def list_info(self, index):
        answer = self.driver.call("lvinfo", hwnd=self.lists()[index])
        if not answer["ok"]:
            raise HarnessError("list %d: %s" % (index, answer.get("error")))
        return answer

    def read_list(self, index, first=0, last=None):
        """Rows of a list: each a dict with 'row', 'selected', 'focused' and 'cells'."""
        answer = self.driver.call("lvitems", hwnd=self.lists()[index], first=first, last=last)
        if not answer["ok"]:
            raise HarnessError("list %d: %s" % (index, answer.get("error")))
        return answer["rows"]

    def cells(self, index, first=0, last=None):
        return [r["cells"] for r in self.read_list(index, first, last)]

    def headings(self, index):
        return [(c["text"], c["width"]) for c in self.list_info(index)["columns"]]

    def select_segment(self, row, only=True, selected=True):
        """Selects a row of the segment list as a click would; only=False keeps the other rows
        selected and selected=False takes the row's selection away (both as with Ctrl)."""
        answer = self.driver.call("lvselect", hwnd=self.lists()[0], row=row, only=only,
                                  selected=selected)
        if not answer["ok"]:
            raise HarnessError("could not select segment row %d" % row)

    def move(self, x, y, width, height):
        """Places the main window's outer rectangle."""
        answer = self.driver.call("move", hwnd=self.main, x=x, y=y, width=width, height=height)
        if not answer["ok"]:
            raise HarnessError("could not move the main window: %s" % answer.get("error"))

    def ensure_visible(self, index, row):
        return self.driver.call("lvensure", hwnd=self.lists()[index], row=row)

    def select_rows(self, index, rows):
        """Selects exactly these rows of a list (as Ctrl+clicks would), the last one focused."""
        for n, row in enumerate(rows):
            answer = self.driver.call("lvselect", hwnd=self.lists()[index], row=row,
                                      only=n == 0)
            if not answer["ok"]:
                raise HarnessError("could not select row %d of list %d" % (row, index))

    def wait_selected_count(self, index, count, timeout=BOX_TIMEOUT):
        wait_until(lambda: self.list_info(index)["selectedCount"] == count, timeout,
                   what="%d selected rows in list %d" % (count, index))

    def wait_rows(self, index, count, timeout=BOX_TIMEOUT):
        wait_until(lambda: self.list_info(index)["count"] == count, timeout,
                   what="%d rows in list %d" % (count, index))

    def sync(self):
        """Returns once the viewer's thread has handled what was posted to it before: two sent
        messages, because a sent message overtakes posted ones in the queue."""
        for _ in range(2):
            answer = self.driver.call("send", hwnd=self.main, msg=WM_NULL)
            if not answer["ok"] and self.alive():
                raise HarnessError("the viewer's thread did not answer: %s" % answer)

    # ---- the mouse and context menus ---------------------------------------------------------

    def right_click(self, hwnd, x, y):
        """A right click at a point of a window's client area, through the input queue."""
        answer = self.driver.call("rclick", hwnd=hwnd, x=x, y=y)
        if not answer["ok"]:
            raise HarnessError("could not click: %s" % answer.get("error"))

    def right_click_cell(self, index, row, column, heading=False):
        """A right click in the middle of a cell of list `index`, or of a column's heading."""
        answer = self.driver.call("lvcell", hwnd=self.lists()[index], row=row, column=column,
                                  heading=heading)
        if not answer["ok"]:
            raise HarnessError("no cell %d,%d in list %d" % (row, column, index))
        rect = answer["rect"]
        target = answer["header"] if heading else self.lists()[index]
        self.right_click(target, (rect["left"] + rect["right"]) // 2,
                         (rect["top"] + rect["bottom"]) // 2)

    def wait_menu(self, timeout=BOX_TIMEOUT):
        """Waits for a context menu of the viewer to be shown."""
        answer = self.driver.call("menu", pid=self.pid, timeout=int(timeout * 1000),
                                  _timeout=timeout + 30)
        if not answer["shown"]:
            self._check_alive()
            raise HarnessError("no context menu within %.1f s" % timeout)
        return answer["hwnd"]

    def press_keys(self, keys):
        """Types keys into whatever has the keyboard (a menu being shown), focusing nothing."""
        answer = self.driver.call("press", keys=keys)
        if not answer["ok"]:
            raise HarnessError("could not type %r: %s" % (keys, answer.get("error")))

    def windows_of_class(self, cls):
        return [w for w in self.session.top_windows(cls=cls, visible=1) if w["pid"] == self.pid]

    # ---- keys, the clipboard, dropped files, memory ------------------------------------------

    def type_keys(self, index, keys):
        """Gives list `index` the focus and types keys into it, e.g. "ctrl+a,ctrl+c"; returns
        once they are queued (wait for what they cause)."""
        answer = self.driver.call("keys", hwnd=self.lists()[index], keys=keys)
        if not answer["ok"]:
            raise HarnessError("could not type %r: %s" % (keys, answer.get("error")))

    def clipboard(self, out=None, timeout=BOX_TIMEOUT):
        """The clipboard's text and sequence number, once no program holds it open; with `out`
        (a Unix path) the text is read from the file the driver wrote it to, for texts too long
        for one answer."""
        answer = self.driver.call("clipboard", out=windows_path(out) if out else None,
                                  timeout=int(timeout * 1000), _timeout=timeout + 30)
        if not answer["ok"]:
            raise HarnessError("could not read the clipboard: %s" % answer)
        if out and "chars" in answer:
            answer["text"] = Path(out).read_bytes().decode("utf-16-le")
        return answer

    def wait_clipboard_change(self, after, timeout=BOX_TIMEOUT):
        """Waits until the clipboard's sequence number is no longer `after`; returns the new
        one."""
        answer = self.driver.call("clipwait", after=after, timeout=int(timeout * 1000),
                                  _timeout=timeout + 30)
        if not answer["changed"]:
            self._check_alive()
            raise HarnessError("the clipboard did not change within %.1f s" % timeout)
        return answer["sequence"]

    def copy(self, index, keys="ctrl+c", out=None, timeout=BOX_TIMEOUT):
        """Types keys ending in Ctrl+C into list `index` and returns the clipboard once the copy
        has changed it."""
        before = self.clipboard()["sequence"]
        self.type_keys(index, keys)
        self.wait_clipboard_change(before, timeout)
        return self.clipboard(out)["text"]

    def drop(self, *paths):
        """Drops files (Unix paths) on the main window, as the shell does."""
        answer = self.driver.call("drop", hwnd=self.main,
                                  files="|".join(windows_path(p) for p in paths))
        if not answer["ok"]:
            raise HarnessError("could not drop %r: %s" % (paths, answer.get("error")))

    def memory(self):
        """The process's memory counters as Windows reports them, and the peak resident size of
        its Unix process (VmHWM, bytes) where /proc shows it."""
        answer = self.driver.call("mem", pid=self.pid)
        if not answer["ok"]:
            raise HarnessError("no memory counters: %s" % answer.get("error"))
        try:
            for line in Path("/proc/%d/status" % self.proc.pid).read_text().splitlines():
                if line.startswith("VmHWM:"):
                    answer["unixPeakResident"] = int(line.split()[1]) * 1024
        except OSError:
            pass
        return answer

    # ---- boxes -------------------------------------------------------------------------------

    def dialogs(self, timeout=0):
        answer = self.driver.call("dialogs", pid=self.pid, timeout=int(timeout * 1000),
                                  _timeout=timeout + 30)
        return answer["dialogs"]

    @staticmethod
    def box_text(dialog):
        texts = [s["text"] for s in dialog["statics"] if s["id"] == MSGBOX_TEXT_ID]
        if not texts:
            texts = [s["text"] for s in dialog["statics"] if s["text"]]
        return "\n".join(texts)

    def wait_box(self, timeout=BOX_TIMEOUT):
        """The one box that is open (waiting for it); fails when several are open."""
        boxes = self.dialogs(timeout)
        if not boxes:
            self._check_alive()
            raise HarnessError("no box appeared within %.1f s" % timeout)
        if len(boxes) > 1:
            raise HarnessError("several boxes open: %r" % [self.box_text(b) for b in boxes])
        return boxes[0]

    def press(self, box, button_id=IDOK, timeout=BOX_TIMEOUT):
        answer = self.driver.call("click", hwnd=box["hwnd"], id=button_id)
        if not answer["ok"]:
            raise HarnessError("could not press button %d: %s" % (button_id, answer))
        gone = self.driver.call("gone", hwnd=box["hwnd"], timeout=int(timeout * 1000),
                                _timeout=timeout + 30)
        if not gone["gone"]:
            raise HarnessError("box %r did not close" % self.box_text(box))

    def dismiss_box(self, caption=PROGRAM_NAME, button_id=IDOK, timeout=BOX_TIMEOUT):
        """Waits for a box, checks its caption, presses a button; returns the box's text."""
        box = self.wait_box(timeout)
        if caption is not None and box["caption"] != caption:
            raise HarnessError("box caption %r, expected %r (text %r)"
                               % (box["caption"], caption, self.box_text(box)))
        text = self.box_text(box)
        self.press(box, button_id)
        return text

    def expect_boxes(self, texts, caption=PROGRAM_NAME, quiet=QUIET_TIME):
        """Dismisses boxes one by one, checking each text in order, then checks that no further
        box follows within `quiet` seconds (0 when the caller waits for a later sign instead)."""
        seen = []
        for expected in texts:
            try:
                seen.append(self.dismiss_box(caption))
            except HarnessError as error:
                raise HarnessError("after boxes %r: %s" % (seen, error))
            if seen[-1] != expected:
                raise HarnessError("box %d: %r, expected %r (all so far: %r)"
                                   % (len(seen), seen[-1], expected, seen))
        self.expect_no_box(quiet)
        return seen

    def dismiss_all(self, caption=PROGRAM_NAME, quiet=QUIET_TIME, limit=200):
        """Dismisses boxes until the viewer's thread is back in its message loop with none open
        (see QUIET_TIME) or, with `quiet`, until none appears for that long; returns their
        texts."""
        seen = []
        while len(seen) < limit:
            self.sync()
            boxes = self.dialogs(quiet)
            if not boxes:
                return seen
            box = boxes[0]
            if caption is not None and box["caption"] != caption:
                raise HarnessError("unexpected box %r: %r" % (box["caption"], self.box_text(box)))
            seen.append(self.box_text(box))
            self.press(box)
        raise HarnessError("more than %d boxes" % limit)

    def expect_no_box(self, quiet=QUIET_TIME):
        self.sync()
        boxes = self.dialogs(quiet)
        if boxes:
            raise HarnessError("unexpected box %r: %r"
                               % (boxes[0]["caption"], self.box_text(boxes[0])))

    def wait_file_dialog(self, timeout=BOX_TIMEOUT):
        """The system's file-open dialog, recognised by its file-name edit box."""
        def dialog():
            for box in self.dialogs():
                if any(c["class"] == "Edit" and c["id"] == FILE_NAME_EDIT_ID
                       for c in self.children(box["hwnd"])):
                    return box
            return None
        return wait_until(dialog, timeout, what="the file dialog")

    def choose_file(self, dialog, path):
        """Types a file's Windows path into the file dialog and presses Open."""
        edit = [c for c in self.children(dialog["hwnd"])
                if c["class"] == "Edit" and c["id"] == FILE_NAME_EDIT_ID][0]
        answer = self.driver.call("settext", hwnd=edit["hwnd"], text=windows_path(path))
        if not answer["ok"]:
            raise HarnessError("could not type into the file dialog")
        self.press(dialog, IDOK)

    # ---- commands and the end ----------------------------------------------------------------

    def command(self, command_id):
        answer = self.driver.call("command", hwnd=self.main, id=command_id)
        if not answer["ok"]:
            raise HarnessError("could not post command %d" % command_id)

    def close(self):
        answer = self.driver.call("close", hwnd=self.main)
        if not answer["ok"]:
            raise HarnessError("could not post WM_CLOSE")

    def close_expecting_no_box(self, timeout=EXIT_TIMEOUT):
        """Posts WM_CLOSE and waits for the program's end, failing on any box that appears first;
        returns the exit code. The program ends only after its update thread has ended, so a
        prompt that the check was going to show, however slow, comes before the end."""
        self.close()

        def outcome():
            boxes = self.dialogs()
            if boxes:
                raise HarnessError("unexpected box %r: %r"
                                   % (boxes[0]["caption"], self.box_text(boxes[0])))
            return not self.alive()
        wait_until(outcome, timeout, interval=0.05, what="the end of ketterlin.exe")
        return self.exit_code(timeout=1)

    def exit_code(self, timeout=EXIT_TIMEOUT):
        if self.desktop:
            return self.windows_exit_code(timeout)
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("ketterlin.exe did not end within %.0f s" % timeout)

    def windows_exit_code(self, timeout=EXIT_TIMEOUT):
        """The exit code as Windows reports it, asked through the driver."""
        answer = self.driver.call("waitproc", pid=self.pid, timeout=int(timeout * 1000),
                                  _timeout=timeout + 30)
        if not answer["ok"]:
            raise HarnessError("cannot wait for ketterlin.exe: %s" % answer.get("error"))
        if not answer["exited"]:
            raise HarnessError("ketterlin.exe did not end within %.0f s" % timeout)
        return answer["exitCode"]

    def alive(self):
        if self.desktop:
            answer = self.driver.call("waitproc", pid=self.pid, timeout=0)
            return answer["ok"] and not answer["exited"]
        return self.proc.poll() is None

    def _check_alive(self):
        if not self.alive():
            raise HarnessError("ketterlin.exe ended with code %s" % self.proc.returncode)

    def gui_resources(self):
        return self.driver.call("gui", pid=self.pid)

    def kill(self):
        kill_process(self.proc)


# ---- test scripts ---------------------------------------------------------------------------

def parse_arguments():
    """The harness's own options; what remains goes to unittest."""
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--exe", required=True, help="ketterlin.exe")
    parser.add_argument("--driver", required=True, help="ktdriver.exe")
    parser.add_argument("--fcsgen", help="native ketterlin-fcsgen")
    parser.add_argument("--dump", help="native ketterlin-dump")
    parser.add_argument("--corpus", help="folder of real FCS/LMD files")
    parser.add_argument("--workdir", help="folder for the Wine prefix and temporary files")
    options, rest = parser.parse_known_args()
    if not options.workdir:
        options.workdir = os.path.join(tempfile.gettempdir(), "ketterlin-e2e-%d" % os.getuid())
    return options, [sys.argv[0]] + rest


class SessionTestCase(unittest.TestCase):
    """Base of the end-to-end test classes: one session for the whole script (setUpModule of
    each script calls open_session)."""

    session = None
    options = None

    def start(self, *args, **kw):
        app = self.session.start(*args, **kw)
        self.addCleanup(app.kill)
        return app

    def assertExitsWith(self, app, code=0):
        self.assertEqual(app.exit_code(), code)


_session = None


def open_session(options):
    global _session
    _session = Session(options.exe, options.driver, options.workdir, options.fcsgen)
    _session.__enter__()
    SessionTestCase.session = _session
    SessionTestCase.options = options
    return _session


def close_session():
    global _session
    if _session:
        _session.__exit__(None, None, None)
        _session = None


# ctest's skip code (SKIP_RETURN_CODE of every Wine test).
SKIP_EXIT = 77


def skip_unless_ready(options, needs_corpus=False):
    """Ends the script as skipped, saying why, when what it drives was not built or the real
    files it sweeps are not there."""
    for needed in (options.exe, options.driver):
        if not os.path.isfile(needed):
            print("skipped: %s is not built (tools/build.sh win or win64)" % needed)
            sys.exit(SKIP_EXIT)
    if needs_corpus and not (options.corpus and os.path.isdir(options.corpus)):
        print("skipped: no corpus of real files at %s" % options.corpus)
        sys.exit(SKIP_EXIT)


def main(needs_corpus=False):
    """Entry of a test script: parse the harness's options, run the script's tests in one
    session, clean up whatever happens."""
    options, argv = parse_arguments()
    skip_unless_ready(options, needs_corpus)
    open_session(options)
    try:
        program = unittest.main(module="__main__", argv=argv, exit=False, verbosity=2)
        ok = program.result.wasSuccessful()
    finally:
        close_session()
    sys.exit(0 if ok else 1)
