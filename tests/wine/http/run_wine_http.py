#!/usr/bin/env python3
"""Runs a cross-built HTTP test exe under Wine against loopback servers started here.

run_wine_http.py request --wine-run W --prefix P --exe E
    a recording server and a proxy on ephemeral ports, plus a refusing port; the exe gets
    --port=N --proxy-port=N --closed-port=N
run_wine_http.py probe --wine-run W --prefix P --exe E
    the portal stand-in on 127.0.0.1:80 for every case but the refused one, which runs with
    nothing listening there
"""
import argparse
import subprocess
import sys

import loopback_server


def run(args, extra):
    cmd = [args.wine_run, args.prefix, args.exe] + extra
    print("+", " ".join(cmd), flush=True)
    return subprocess.call(cmd)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("suite", choices=["request", "probe"])
    ap.add_argument("--wine-run", required=True)
    ap.add_argument("--prefix", required=True)
    ap.add_argument("--exe", required=True)
    args, passthrough = ap.parse_known_args()

    if args.suite == "request":
        server = loopback_server.Server()
        proxy = loopback_server.Server(proxy=True)
        refusing = loopback_server.closed_port()
        rc = run(args, ["--port=%d" % server.port, "--proxy-port=%d" % proxy.port,
                        "--closed-port=%d" % refusing.getsockname()[1]] + passthrough)
        server.close()
        proxy.close()
        refusing.close()
        return rc

    portal = loopback_server.on_port80(loopback_server.Server)
    rc = run(args, ["--gtest_filter=-*Refused*"] + passthrough)
    portal.close()
    return rc or run(args, ["--gtest_filter=*Refused*"] + passthrough)


if __name__ == "__main__":
    sys.exit(main())
