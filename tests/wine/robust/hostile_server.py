#!/usr/bin/env python3
"""A misbehaving web server on loopback, switchable by the client under test.

Every request for a path that does not start with "/ctl/" gets the behaviour of the current mode:

  good              the marker page
  garbage-status    a status line that is no HTTP at all, then the marker page
  garbage-nomarker  the same garbage, then a page without the marker
  big-headers       a 6000-byte header block before the marker page
  silent            accepts and reads the request, never answers
  drip              a short marker page sent one byte a second
  reset-early       Content-Length promises more, the connection is reset before the marker
  reset-late        the same, reset after the marker has gone out
  redirect-loop     302 to /a, /a to /b, /b to /a, for ever
  redirect-https    302 to https://www.baidu.com/, where nothing listens
  huge              a 64 MiB body with the marker in its last bytes

Control paths, answered at once in every mode:
  /ctl/mode/NAME    switch mode; the body is "mode NAME"
  /ctl/release      closes every connection held open by silent or drip; body "released N"
  /ctl/count        the number of non-control requests so far; body "count N"

Run as a program: hostile_server.py --port N [--mode MODE]; prints "port N" once listening.
"""
import argparse
import os
import socket
import struct
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "http"))
from loopback_server import Listener, read_request, serve_until_interrupted  # noqa: E402

MARKER = "百度一下".encode("utf-8")
PAGE = b"<html><body><input value=\"" + MARKER + b"\"></body></html>"
NO_MARKER_PAGE = b"<html><body>Please log in.</body></html>"
HUGE = 64 * 1024 * 1024
MODES = ("good", "garbage-status", "garbage-nomarker", "big-headers", "silent", "drip",
         "reset-early", "reset-late", "redirect-loop", "redirect-https", "huge")


def head(status=b"200 OK", length=None, extra=b""):
    h = b"HTTP/1.1 " + status + b"\r\nContent-Type: text/html\r\n"
    if length is not None:
        h += b"Content-Length: %d\r\n" % length
    return h + extra + b"Connection: close\r\n\r\n"


def big_head():
    filler = b"".join(b"X-Filler-%03d: %s\r\n" % (i, b"y" * 40) for i in range(120))
    h = head(length=len(PAGE), extra=b"Set-Cookie: big=1; path=/\r\n" + filler)
    assert len(h) >= 6000, len(h)
    return h


class HostileServer(Listener):
    def __init__(self, port=0, mode="good", host="127.0.0.1"):
        self.mode = mode
        self.lock = threading.Lock()
        self.held = []  # connections of silent and drip answers, closed by /ctl/release
        self.count = 0
        self.released = threading.Event()
        super().__init__(port, host)

    def close(self):
        self.release()
        super().close()

    def release(self):
        with self.lock:
            held, self.held = self.held, []
            self.released.set()
        for conn in held:
            try:
                conn.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            conn.close()
        return len(held)

    def _hold(self, conn):
        with self.lock:
            self.held.append(conn)
            self.released.clear()

    def _serve(self, conn):
        closing = True
        try:
            conn.settimeout(30)
            req = read_request(conn)
            if req is None:
                return
            parts = req.split(b"\r\n", 1)[0].split(b" ")
            path = parts[1].decode("latin-1") if len(parts) > 1 else "/"
            if path.startswith("/ctl/"):
                conn.sendall(self._control(path))
                return
            with self.lock:
                self.count += 1
                mode = self.mode
            closing = self._misbehave(conn, mode, path)
        except OSError:
            pass
        finally:
            if closing:
                try:
                    conn.close()
                except OSError:
                    pass

    def _control(self, path):
        if path.startswith("/ctl/mode/"):
            name = path[len("/ctl/mode/"):]
            if name not in MODES:
                return head(b"404 Not Found", 0)
            self.mode = name
            body = b"mode " + name.encode()
        elif path == "/ctl/release":
            body = b"released %d" % self.release()
        elif path == "/ctl/count":
            with self.lock:
                body = b"count %d" % self.count
        else:
            return head(b"404 Not Found", 0)
        return head(length=len(body)) + body

    def _misbehave(self, conn, mode, path):
        """Answers one request; returns False when the connection stays held for /ctl/release."""
        if mode == "good":
            conn.sendall(head(length=len(PAGE)) + PAGE)
        elif mode in ("garbage-status", "garbage-nomarker"):
            page = PAGE if mode == "garbage-status" else NO_MARKER_PAGE
            conn.sendall(b"\x16\x03\x01garbage \xff\xfe not http\r\n\r\n" + page)
        elif mode == "big-headers":
            conn.sendall(big_head() + PAGE)
        elif mode == "silent":
            self._hold(conn)
            return False
        elif mode == "drip":
            self._hold(conn)
            self._drip(conn, b"HTTP/1.0 200 OK\r\n\r\n" + MARKER)
            with self.lock:
                if conn in self.held:
                    self.held.remove(conn)
        elif mode in ("reset-early", "reset-late"):
            cut = PAGE.index(MARKER) + (len(MARKER) if mode == "reset-late" else 2)
            conn.sendall(head(length=len(PAGE) * 4) + PAGE[:cut])
            time.sleep(0.3)
            conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        elif mode == "redirect-loop":
            nxt = b"/b" if path == "/a" else b"/a"
            conn.sendall(head(b"302 Found", 0, b"Location: http://www.baidu.com" + nxt + b"\r\n"))
        elif mode == "redirect-https":
            conn.sendall(head(b"302 Found", 0, b"Location: https://www.baidu.com/\r\n"))
        elif mode == "huge":
            conn.sendall(head(length=HUGE))
            block = b"x" * (1 << 20)
            for _ in range(HUGE // len(block) - 1):
                conn.sendall(block)
            conn.sendall(block[: len(block) - len(MARKER)] + MARKER)
        return True

    def _drip(self, conn, data):
        for i in range(len(data)):
            if self.released.wait(1 if i else 0):
                return
            try:
                conn.sendall(data[i:i + 1])
            except OSError:
                return


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--mode", default="good", choices=MODES)
    a = ap.parse_args()
    serve_until_interrupted(HostileServer(a.port, a.mode))


if __name__ == "__main__":
    sys.exit(main())
