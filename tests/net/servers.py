"""Loopback servers for the update-check tests: Debian's nginx with the reference site
configuration of server/, and a hostile server of our own that misbehaves on purpose.

Both listen on 127.0.0.1:80 inside the test's private network namespace (see netns.py) and
tell the test when the program's request has arrived and when its connection has ended, so
that the test waits on events rather than on fixed sleeps.
"""

import os
import socket
import struct
import subprocess
import threading
import time
from pathlib import Path

PORT = 80
SITE_ROOT = Path("/srv/ketterlin")
REPO = Path(__file__).resolve().parents[2]
SITE_CONFIG = REPO / "server" / "nginx" / "ketterlin-update.conf"


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() >= deadline:
            raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(0.02)


def port_open():
    try:
        with socket.create_connection(("127.0.0.1", PORT), timeout=0.2):
            return True
    except OSError:
        return False


class Nginx:
    """nginx in the foreground as a child of the test, serving SITE_ROOT through the reference
    site configuration. Its access log records the exact request line and Host header."""

    def __init__(self, workdir):
        self.dir = Path(workdir) / "nginx"
        self.dir.mkdir(parents=True, exist_ok=True)
        SITE_ROOT.mkdir(parents=True, exist_ok=True)
        self.log = self.dir / "access.log"
        self.conf = self.dir / "nginx.conf"
        temp = self.dir / "temp"
        temp.mkdir(exist_ok=True)
        self.conf.write_text("""
daemon off;
master_process off;
worker_processes 1;
pid {d}/nginx.pid;
error_log {d}/error.log warn;
events {{ worker_connections 64; }}
http {{
    log_format ketterlin '$request|$http_host|$status|$body_bytes_sent';
    access_log {d}/access.log ketterlin;
    client_body_temp_path {t}/body;
    proxy_temp_path {t}/proxy;
    fastcgi_temp_path {t}/fastcgi;
    uwsgi_temp_path {t}/uwsgi;
    scgi_temp_path {t}/scgi;
    include {site};
}}
""".format(d=self.dir, t=temp, site=SITE_CONFIG))
        self.proc = None

    def serve(self, answer, archive=b"PK\x05\x06" + b"\0" * 18):
        """The answer of /ketterlin.txt (bytes) and a stand-in /ketterlin.zip."""
        (SITE_ROOT / "ketterlin.txt").write_bytes(answer)
        (SITE_ROOT / "ketterlin.zip").write_bytes(archive)

    def withdraw(self):
        """No answer file at all: the site answers 404."""
        for name in ("ketterlin.txt", "ketterlin.zip"):
            path = SITE_ROOT / name
            if path.exists():
                path.unlink()

    def start(self):
        if self.log.exists():
            self.log.unlink()
        self.proc = subprocess.Popen(["nginx", "-c", str(self.conf), "-p", str(self.dir)],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: self.proc.poll() is not None or port_open(), 10, "nginx on port 80")
        if self.proc.poll() is not None:
            raise AssertionError("nginx ended at start: %s"
                                 % (self.dir / "error.log").read_text(errors="replace"))

    def requests(self):
        """Access-log entries as (request line, host, status, body bytes)."""
        if not self.log.exists():
            return []
        entries = []
        for line in self.log.read_text(errors="replace").splitlines():
            parts = line.split("|")
            if len(parts) == 4:
                entries.append(tuple(parts))
        return entries

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None


class HostileServer:
    """Serves one byte stream per connection in one of the delivery modes of the files in
    tests/net/hostile (<case>.<mode>.http):
      send        the bytes, then an orderly close;
      reset       the bytes, then a reset (linger 0);
      silent      nothing: reads the request and waits until the client goes;
      trickle     the header at once, then the body one byte every 0.3 s;
      endless     the bytes again and again, as fast as the client takes them;
      slowheader  the bytes again and again, one byte every 0.2 s.
    """

    def __init__(self, mode, data):
        self.mode = mode
        self.data = data
        self.request = None
        self.finished = threading.Event()
        self.requested = threading.Event()
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind(("127.0.0.1", PORT))
        self.listener.listen(4)
        self.listener.settimeout(0.1)
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        while True:
            if self.stopping.is_set():
                return
            try:
                conn, _ = self.listener.accept()
                break
            except socket.timeout:
                continue
            except OSError:
                return
        conn.settimeout(None)
        try:
            self._answer(conn)
        except OSError:
            pass  # the client went away: that is how every case ends
        finally:
            conn.close()
            self.finished.set()

    def _read_request(self, conn):
        request = b""
        while b"\r\n\r\n" not in request:
            chunk = conn.recv(4096)
            if not chunk:
                break
            request += chunk
        self.request = request
        self.requested.set()

    def _client_gone(self, conn, timeout):
        conn.settimeout(timeout)
        try:
            return conn.recv(4096) == b""
        except socket.timeout:
            return False

    def _answer(self, conn):
        self._read_request(conn)
        mode, data = self.mode, self.data
        if mode == "send":
            conn.sendall(data)
            conn.shutdown(socket.SHUT_WR)
            self._client_gone(conn, 30)
        elif mode == "reset":
            conn.sendall(data)
            time.sleep(0.1)
            conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        elif mode == "silent":
            self._client_gone(conn, 30)
        elif mode == "trickle":
            end = data.index(b"\r\n\r\n") + 4
            conn.sendall(data[:end])
            for i in range(end, len(data)):
                time.sleep(0.3)
                conn.sendall(data[i:i + 1])
            self._client_gone(conn, 30)
        elif mode == "endless":
            deadline = time.monotonic() + 60
            while time.monotonic() < deadline:
                conn.sendall(data * 64)
        elif mode == "slowheader":
            deadline = time.monotonic() + 60
            while time.monotonic() < deadline:
                for i in range(len(data)):
                    conn.sendall(data[i:i + 1])
                    time.sleep(0.2)
        else:
            raise ValueError("unknown mode " + mode)

    def close(self):
        self.stopping.set()
        self.thread.join(timeout=65)
        self.listener.close()
