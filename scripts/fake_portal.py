#!/usr/bin/env python3
"""A stand-in for the portal's home page on loopback, switchable while it runs.

fake_portal.py --port 80 [--mode MODE] [--control FILE] [--log FILE]

Modes: marker (a page holding the UTF-8 search-button caption), portal (a captive-portal login
page without it), redirect (302 to /home, which holds the caption), silent (accepts and never
answers), closed (not listening: connections are refused). When --control is given, the file's
first word is the mode and is re-read every 50 ms, so a test can switch it mid-run.
"""
import argparse
import os
import select
import socket
import sys
import time

MARKER = "百度一下".encode("utf-8")
MARKER_PAGE = (b"<!DOCTYPE html><html><head><meta charset=utf-8><title>portal</title></head>"
               b"<body><form><input type=submit value=\"" + MARKER + b"\"></form></body></html>")
PORTAL_PAGE = (b"<!DOCTYPE html><html><head><meta charset=utf-8><title>Login</title></head>"
               b"<body><form>Please log in to use the network.</form></body></html>")
MODES = ("marker", "portal", "redirect", "silent", "closed")


def response(status, body, extra=b""):
    head = (b"HTTP/1.1 " + status + b"\r\nContent-Type: text/html; charset=utf-8\r\n"
            b"Content-Length: " + str(len(body)).encode() + b"\r\nConnection: close\r\n" + extra + b"\r\n")
    return head + body


def answer(mode, path):
    if mode == "portal":
        return response(b"200 OK", PORTAL_PAGE)
    if mode == "redirect" and path != "/home":
        return response(b"302 Found", b"", b"Location: /home\r\n")
    return response(b"200 OK", MARKER_PAGE)


class Portal:
    def __init__(self, port, mode, control, log):
        self.port, self.mode, self.control, self.log = port, mode, control, log
        self.listener = None
        self.silent = []  # connections accepted in silent mode, held open unanswered

    def read_mode(self):
        if not self.control:
            return self.mode
        try:
            with open(self.control) as f:
                word = (f.read().split() or [self.mode])[0]
            return word if word in MODES else self.mode
        except OSError:
            return self.mode

    def note(self, text):
        if self.log:
            with open(self.log, "a") as f:
                f.write("%.3f %s\n" % (time.time(), text))

    def ensure_listener(self, want):
        if want and self.listener is None:
            s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            s.bind(("127.0.0.1", self.port))
            s.listen(16)
            self.listener = s
        elif not want and self.listener is not None:
            self.listener.close()
            self.listener = None
            for c in self.silent:
                c.close()
            self.silent = []

    def serve_one(self, conn, mode):
        conn.settimeout(5)
        data = b""
        try:
            while b"\r\n\r\n" not in data and len(data) < 65536:
                chunk = conn.recv(4096)
                if not chunk:
                    break
                data += chunk
        except OSError:
            conn.close()
            return
        line = data.split(b"\r\n", 1)[0].decode("latin-1")
        parts = line.split()
        path = parts[1] if len(parts) > 1 else "/"
        self.note("%s %s" % (mode, line))
        if mode == "silent":
            self.silent.append(conn)
            return
        try:
            conn.sendall(answer(mode, path))
        except OSError:
            pass
        conn.close()

    def run(self):
        while True:
            self.mode = self.read_mode()
            self.ensure_listener(self.mode != "closed")
            if self.listener is None:
                time.sleep(0.05)
                continue
            ready, _, _ = select.select([self.listener], [], [], 0.05)
            if ready:
                conn, _ = self.listener.accept()
                self.serve_one(conn, self.mode)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, default=80)
    ap.add_argument("--mode", default="marker", choices=MODES)
    ap.add_argument("--control")
    ap.add_argument("--log")
    a = ap.parse_args()
    try:
        Portal(a.port, a.mode, a.control, a.log).run()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
