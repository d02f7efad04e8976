#!/usr/bin/env python3
"""The update check of ketterlin.exe under Wine, against real servers on loopback.

Runs in a private network namespace of its own (netns.py) where the program's fixed update host
name resolves to 127.0.0.1. Two suites:
  UpdateServer   Debian's nginx with the reference site configuration of server/: the prompt
                 for a newer version, the exact request, Yes and No, and the silent cases;
  HostileServer  our own loopback server replaying tests/net/hostile: every case ends silently
                 and never holds up the program's exit.
Usage: test_update_wine.py --exe EXE --driver KTDRIVER --workdir DIR [--suite NAME]
                           [--update-host H] [--web-host H]
"""

import argparse
import os
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "wine"))
sys.path.insert(0, str(HERE.parent / "about"))  # pe_version: copies with other versions
sys.path.insert(0, str(HERE))

import harness  # noqa: E402
import netns  # noqa: E402
import servers  # noqa: E402

PROGRAM_PATH = "/ketterlin.txt?1_0_5"  # the program is version 1.0.5
PROMPT_106 = "New version 1.0r6 is available. Get it?"
# From WM_CLOSE to the end of the process, when no network exchange is pending. Wine itself
# takes a good part of it; a loaded machine needs some slack.
EXIT_LIMIT = 3.0
# The client gives up on an answer whose header is still dripping after this long.
EXCHANGE_LIMIT = 10.0

options = None


def parse():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--workdir", required=True)
    parser.add_argument("--suite", default=None)
    parser.add_argument("--update-host", default="update.ketterlin.example")
    parser.add_argument("--web-host", default="ketterlin.example")
    return parser.parse_known_args()


class Fixture:
    """The session shared by one run: namespace set up, Wine session open, xdg-open stand-in."""

    session = None
    opened_file = None

    @classmethod
    def open(cls):
        workdir = Path(options.workdir).resolve()
        workdir.mkdir(parents=True, exist_ok=True)
        netns.configure(str(workdir), [options.update_host, options.web_host])
        cls.session = harness.Session(options.exe, options.driver, workdir)
        cls.session.__enter__()
        # Wine's winebrowser hands http addresses to xdg-open: ours writes down what it got.
        bindir = cls.session.tmp / "bin"
        bindir.mkdir()
        cls.opened_file = cls.session.tmp / "opened.txt"
        stand_in = bindir / "xdg-open"
        stand_in.write_text('#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' % cls.opened_file)
        stand_in.chmod(0o755)
        cls.session.env["PATH"] = str(bindir) + os.pathsep + cls.session.env["PATH"]

    @classmethod
    def close(cls):
        if cls.session:
            cls.session.__exit__(None, None, None)


def setUpModule():
    Fixture.open()


def tearDownModule():
    Fixture.close()


class UpdateTestCase(unittest.TestCase):

    def start(self, exe=None):
        """Starts ketterlin.exe, or a copy of it given as exe."""
        session = Fixture.session
        original = session.exe
        session.exe = str(exe) if exe else original
        try:
            app = session.start()
        finally:
            session.exe = original
        self.addCleanup(app.kill)
        return app

    def copy_with_version(self, name, **versions):
        import pe_version
        target = Fixture.session.tmp / name
        pe_version.with_version(Fixture.session.exe, target, **versions)
        return target

    def opened(self):
        if not Fixture.opened_file.exists():
            return []
        return Fixture.opened_file.read_text().splitlines()

    def clear_opened(self):
        if Fixture.opened_file.exists():
            Fixture.opened_file.unlink()

    def close_and_time(self, app, limit, no_box=False):
        """Posts WM_CLOSE, checks exit code 0 and that the process ended within limit seconds;
        with `no_box`, also that no box appeared before the end (see close_expecting_no_box)."""
        start = time.monotonic()
        if no_box:
            code = app.close_expecting_no_box(timeout=limit + 10)
        else:
            app.close()
            code = app.exit_code(timeout=limit + 10)
        elapsed = time.monotonic() - start
        print("[exit %.2f s after WM_CLOSE]" % elapsed, file=sys.stderr, end=" ")
        self.assertEqual(code, 0)
        self.assertLess(elapsed, limit, "exit took %.2f s after WM_CLOSE" % elapsed)
        return elapsed

    def expect_prompt(self, app, text):
        box = app.wait_box(timeout=15)
        self.assertEqual(box["caption"], "Ketterlin")
        self.assertEqual(harness.App.box_text(box), text)
        self.assertEqual(box["owner"], 0, "the prompt has no owner window")
        buttons = sorted((b["id"], b["text"].replace("&", "")) for b in box["buttons"])
        self.assertEqual(buttons, [(harness.IDYES, "Yes"), (harness.IDNO, "No")])
        return box


class UpdateServer(UpdateTestCase):
    """nginx with the reference configuration."""

    def setUp(self):
        self.clear_opened()
        self.nginx = servers.Nginx(Fixture.session.tmp)
        self.addCleanup(self.nginx.stop)

    def serve(self, answer):
        self.nginx.serve(answer)
        self.nginx.start()

    def wait_request(self):
        servers.wait_for(lambda: self.nginx.requests(), 20, "the update request in the log")
        return self.nginx.requests()

    def test_newer_version_prompts_and_yes_opens_the_download(self):
        self.serve(b"1,0,6\r\n")
        app = self.start()
        box = self.expect_prompt(app, PROMPT_106)
        self.assertEqual(self.wait_request(),
                         [("GET %s HTTP/1.1" % PROGRAM_PATH, options.update_host, "200", "7")])
        app.press(box, harness.IDYES)
        servers.wait_for(lambda: self.opened(), 20, "xdg-open to be called")
        self.assertEqual(self.opened(), ["http://%s/ketterlin.zip" % options.web_host])
        self.close_and_time(app, EXIT_LIMIT)

    def test_no_does_nothing(self):
        self.serve(b"2,0,0\r\n")
        app = self.start()
        box = self.expect_prompt(app, "New version 2.0r0 is available. Get it?")
        app.press(box, harness.IDNO)
        self.close_and_time(app, EXIT_LIMIT, no_box=True)
        self.assertEqual(self.opened(), [])

    def test_window_stays_usable_and_exit_waits_for_the_prompt(self):
        self.serve(b"1,0,6\r\n")
        app = self.start()
        box = self.expect_prompt(app, PROMPT_106)
        app.sync()  # the main window's thread answers while the prompt is open
        app.close()
        gone = app.driver.call("gone", hwnd=app.main, timeout=10000, _timeout=40)
        self.assertTrue(gone["gone"], "the main window did not close")
        # The window is gone, but the program waits for the user's answer.
        self.assertTrue(app.alive())
        self.assertEqual([b["hwnd"] for b in app.dialogs()], [box["hwnd"]])
        start = time.monotonic()
        app.press(box, harness.IDNO)
        self.assertEqual(app.exit_code(timeout=EXIT_LIMIT + 10), 0)
        self.assertLess(time.monotonic() - start, EXIT_LIMIT)
        self.assertEqual(self.opened(), [])

    def test_same_older_and_malformed_answers_show_nothing(self):
        for answer in (b"1,0,5\r\n", b"0,9,9\r\n", b"1, 0, 6\r\n", b"1,0\r\n"):
            with self.subTest(answer=answer):
                self.nginx.stop()
                self.serve(answer)
                app = self.start()
                self.assertEqual(self.wait_request()[0][0], "GET %s HTTP/1.1" % PROGRAM_PATH)
                self.close_and_time(app, EXIT_LIMIT, no_box=True)

    def test_missing_answer_file_shows_nothing(self):
        self.nginx.withdraw()  # a 404 page comes with a body, and it is no answer
        self.nginx.start()
        app = self.start()
        self.assertEqual(self.wait_request()[0][2], "404")
        self.close_and_time(app, EXIT_LIMIT, no_box=True)

    def test_request_carries_product_major_minor_revision(self):
        self.serve(b"2,3,5\r\n")
        app = self.start(self.copy_with_version("v2347.exe", product=(2, 3, 4, 7)))
        box = self.expect_prompt(app, "New version 2.3r5 is available. Get it?")
        self.assertEqual(self.wait_request()[0][0], "GET /ketterlin.txt?2_3_4 HTTP/1.1")
        app.press(box, harness.IDNO)
        self.close_and_time(app, EXIT_LIMIT)

    def test_file_version_plays_no_part(self):
        self.serve(b"1,0,6\r\n")  # newer than the file version's 1.0.5, older than 1.2.3
        exe = self.copy_with_version("v123.exe", product=(1, 2, 3, 0), file=(9, 9, 9, 9))
        app = self.start(exe)
        self.assertEqual(self.wait_request()[0][0], "GET /ketterlin.txt?1_2_3 HTTP/1.1")
        self.close_and_time(app, EXIT_LIMIT, no_box=True)

    def test_without_version_resource_no_request_is_sent(self):
        self.serve(b"1,0,6\r\n")
        app = self.start(self.copy_with_version("noversion.exe", hide=True))
        self.close_and_time(app, EXIT_LIMIT, no_box=True)
        self.assertEqual(self.nginx.requests(), [])

    def test_no_server_shows_nothing_and_does_not_delay_exit(self):
        app = self.start()
        self.close_and_time(app, EXIT_LIMIT, no_box=True)


class HostileServer(UpdateTestCase):
    """Every hostile byte stream ends the check silently and promptly."""

    def run_case(self, path):
        mode = path.stem.rsplit(".", 1)[1]
        server = servers.HostileServer(mode, path.read_bytes())
        self.addCleanup(server.close)
        app = self.start()
        self.assertTrue(server.requested.wait(20), "no request reached the server")
        self.assertTrue(server.request.startswith(
            ("GET %s HTTP/1.1\r\nHost: %s\r\n" % (PROGRAM_PATH, options.update_host)).encode()),
            server.request)
        if mode in ("silent", "slowheader"):
            # Close while the exchange is still going: the exit waits for the worker thread,
            # which gives up after its time-outs.
            limit = EXIT_LIMIT + (EXCHANGE_LIMIT if mode == "slowheader" else 0.5)
            self.close_and_time(app, limit)
        else:
            self.assertTrue(server.finished.wait(20), "the client did not end the connection")
            self.close_and_time(app, EXIT_LIMIT, no_box=True)


def add_hostile_tests():
    for path in sorted((HERE / "hostile").glob("*.http")):
        name = "test_" + path.stem.replace("-", "_").replace(".", "_")
        setattr(HostileServer, name, lambda self, p=path: self.run_case(p))


add_hostile_tests()

if __name__ == "__main__":
    netns.enter()
    options, rest = parse()
    harness.skip_unless_ready(options)
    argv = [sys.argv[0]] + rest
    if options.suite:
        argv.append(options.suite)
    unittest.main(argv=argv, verbosity=2)
