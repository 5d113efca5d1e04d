#!/usr/bin/env python3
"""Runs a cross-built test exe under Wine with hostile_server.py listening on 127.0.0.1:80.

run_hostile.py --wine-run W --prefix P --exe E [gtest args...]
"""
import argparse
import subprocess
import sys

from hostile_server import HostileServer
from loopback_server import on_port80  # on the path hostile_server set up


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--wine-run", required=True)
    ap.add_argument("--prefix", required=True)
    ap.add_argument("--exe", required=True)
    args, passthrough = ap.parse_known_args()
    server = on_port80(HostileServer)
    cmd = [args.wine_run, args.prefix, args.exe] + passthrough
    print("+", " ".join(cmd), flush=True)
    try:
        return subprocess.call(cmd)
    finally:
        server.close()


if __name__ == "__main__":
    sys.exit(main())
