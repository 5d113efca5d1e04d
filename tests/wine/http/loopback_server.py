#!/usr/bin/env python3
"""Small HTTP servers on loopback that keep the raw bytes of every request they receive.

The tests drive everything through paths, so a test inside Wine can both ask for a scripted
answer and read back what actually went over the wire:

  .../echo...         200, the body is the raw request received (head and body)
  /status/CODE        that status with a short body
  /cookies...         200 with "Set-Cookie: a=9; path=/cookies" and "set-cookie: c=3"
  /jar/set, /tin/set  200 with "Set-Cookie: NAME=1; path=/NAME", NAME being jar or tin
  /redirect?to=PATH   302 to PATH, body "moved"
  /bigheaders         200 whose header block is about 8000 bytes, one Set-Cookie inside
  /bytes?n=N          200 with N bytes of a fixed pattern (byte i is (i * 7 + 3) % 256)
  /endless?cap=N      200 without a length, streaming until the client goes or N bytes are out
  /stats/endless      once the last endless stream is over, what it sent: "sent=N client_closed=0|1"
  /page/NAME, /       a probe page (NAME as set by /script/NAME for "/"): marker, split, gbk,
                      empty, error, redirect
  /last               the raw request that came before this one

A proxy server (--proxy) answers every request, whatever its target, with the echo.
Run as a program it serves until killed: loopback_server.py --port 0 prints "port N".
"""
import argparse
import socket
import sys
import threading
import time
from urllib.parse import parse_qs, urlsplit

MARKER = "百度一下".encode("utf-8")
GBK_MARKER = "百度一下".encode("gbk")
CHUNK = 64 * 1024


def pattern(n):
    block = bytes((i * 7 + 3) % 256 for i in range(256))
    reps = n // len(block) + 1
    return (block * reps)[:n]


def probe_page(name):
    """Returns (status, body, extra header bytes, split offset or None)."""
    head = b"<!DOCTYPE html><html><head><meta charset=utf-8></head><body>"
    tail = b"</body></html>"
    if name == "marker":
        return b"200 OK", head + b"<input value=\"" + MARKER + b"\">" + tail, b"", None
    if name == "split":
        # The marker straddles byte 1024 of the body: 6 bytes before it, 6 after.
        filler = head + b"x" * (1024 - 6 - len(head))
        body = filler + MARKER + b"y" * 2000 + tail
        return b"200 OK", body, b"", 1024
    if name == "gbk":
        return b"200 OK", head + GBK_MARKER + tail, b"", None
    if name == "empty":
        return b"200 OK", b"", b"", None
    if name == "error":
        return b"500 Internal Server Error", head + MARKER + tail, b"", None
    if name == "redirect":
        return b"302 Found", b"moved", b"Location: /page/marker\r\n", None
    return b"404 Not Found", b"no such page", b"", None


class Listener:
    """A loopback listener that hands every connection to self._serve on a thread of its own."""

    def __init__(self, port=0, host="127.0.0.1"):
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind((host, port))
        self.listener.listen(64)
        self.port = self.listener.getsockname()[1]
        threading.Thread(target=self._accept, daemon=True).start()

    def close(self):
        try:
            self.listener.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.listener.close()

    def _accept(self):
        while True:
            try:
                conn, _ = self.listener.accept()
            except OSError:
                return
            threading.Thread(target=self._serve, args=(conn,), daemon=True).start()

    def _serve(self, conn):
        raise NotImplementedError


class Server(Listener):
    def __init__(self, port=0, proxy=False, host="127.0.0.1"):
        self.proxy = proxy
        self.lock = threading.Lock()
        self.requests = []  # raw bytes of every request, in order of arrival
        self.script = "marker"
        self.endless = {"sent": 0, "client_closed": 0}
        self.endless_done = threading.Event()
        super().__init__(port, host)

    def _serve(self, conn):
        try:
            with conn:
                conn.settimeout(30)
                while True:
                    raw = read_request(conn)
                    if raw is None:
                        return
                    with self.lock:
                        previous = self.requests[-1] if self.requests else b""
                        self.requests.append(raw)
                    if not self._answer(conn, raw, previous):
                        return
        except OSError:
            pass

    def _answer(self, conn, raw, previous):
        """Sends one response; returns whether the connection may carry another request."""
        line = raw.split(b"\r\n", 1)[0].decode("latin-1")
        parts = line.split(" ")
        target = parts[1] if len(parts) > 1 else "/"
        if self.proxy:
            send(conn, b"200 OK", raw)
            return True
        url = urlsplit(target)
        path, query = url.path, parse_qs(url.query)
        if "/echo" in path:
            send(conn, b"200 OK", raw)
        elif path.startswith("/status/"):
            code = path[len("/status/"):].encode()
            send(conn, code + b" Scripted", b"status " + code + b" body")
        elif path.startswith("/cookies"):
            send(conn, b"200 OK", b"ok",
                 b"Set-Cookie: a=9; path=/cookies\r\nset-cookie: c=3\r\n")
        elif path in ("/jar/set", "/tin/set"):
            name = path.split("/")[1]
            send(conn, b"200 OK", b"ok", b"Set-Cookie: %s=1; path=/%s\r\n" % (name.encode(), name.encode()))
        elif path == "/redirect":
            to = query.get("to", ["/echo"])[0].encode()
            send(conn, b"302 Found", b"moved", b"Location: " + to + b"\r\n")
        elif path == "/bigheaders":
            extra = b"".join(b"X-Filler-%03d: %s\r\n" % (i, b"f" * 90) for i in range(80))
            send(conn, b"200 OK", b"big headers body", b"Set-Cookie: big=1; path=/bigheaders\r\n" + extra)
        elif path == "/bytes":
            n = int(query.get("n", ["0"])[0])
            send_head(conn, b"200 OK", n)
            stream_pattern(conn, n)
        elif path == "/endless":
            self._endless(conn, int(query.get("cap", [str(1 << 30)])[0]))
            return False
        elif path == "/stats/endless":
            self.endless_done.wait(30)
            body = b"sent=%d client_closed=%d" % (self.endless["sent"], self.endless["client_closed"])
            send(conn, b"200 OK", body)
        elif path.startswith("/script/"):
            self.script = path[len("/script/"):]
            send(conn, b"200 OK", b"script " + self.script.encode())
        elif path == "/last":
            send(conn, b"200 OK", previous)
        elif path == "/" or path.startswith("/page/"):
            name = self.script if path == "/" else path[len("/page/"):]
            status, body, extra, split = probe_page(name)
            if split is None:
                send(conn, status, body, extra)
            else:
                conn.sendall(head_bytes(status, len(body), extra) + body[:split])
                time.sleep(0.2)
                conn.sendall(body[split:])
        else:
            send(conn, b"404 Not Found", b"no such path")
        return True

    def _endless(self, conn, cap):
        self.endless_done.clear()
        self.endless = {"sent": 0, "client_closed": 0}
        conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                     b"Connection: close\r\n\r\n")
        chunk = pattern(CHUNK)
        try:
            while self.endless["sent"] < cap:
                conn.sendall(chunk)
                self.endless["sent"] += len(chunk)
        except OSError:
            self.endless["client_closed"] = 1
        self.endless_done.set()


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        part = conn.recv(65536)
        if not part:
            return None
        data += part
    head, rest = data.split(b"\r\n\r\n", 1)
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip() or 0)
    while len(rest) < length:
        part = conn.recv(65536)
        if not part:
            break
        rest += part
    return head + b"\r\n\r\n" + rest


def head_bytes(status, length, extra=b""):
    return (b"HTTP/1.1 " + status + b"\r\nContent-Type: text/html; charset=utf-8\r\n"
            b"Content-Length: " + str(length).encode() + b"\r\n" + extra + b"\r\n")


def send_head(conn, status, length, extra=b""):
    conn.sendall(head_bytes(status, length, extra))


def send(conn, status, body, extra=b""):
    conn.sendall(head_bytes(status, len(body), extra) + body)


def stream_pattern(conn, n):
    chunk = pattern(CHUNK)
    sent = 0
    while sent < n:
        piece = chunk[:min(CHUNK, n - sent)]
        conn.sendall(piece)
        sent += len(piece)


def closed_port():
    """A loopback port bound but never listening: connections to it are refused."""
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.bind(("127.0.0.1", 0))
    return s


def on_port80(make):
    """make(80), retried for a while: another suite may be letting go of port 80 just now."""
    deadline = time.time() + 30
    while True:
        try:
            return make(80)
        except OSError:
            if time.time() > deadline:
                raise
            time.sleep(0.5)


def serve_until_interrupted(server):
    print("port %d" % server.port, flush=True)
    try:
        while True:
            time.sleep(3600)
    except KeyboardInterrupt:
        pass
    server.close()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--proxy", action="store_true")
    args = ap.parse_args()
    serve_until_interrupted(Server(args.port, args.proxy))


if __name__ == "__main__":
    sys.exit(main())
