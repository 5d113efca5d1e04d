#!/usr/bin/env python3
"""Body collection of HttpRequest beside curl, on one loopback server in one run.

bench.py [--build build-c] [--count 5] [--exhaust] [--memory CALLS]

Runs inside scripts/netns.sh (it only talks to 127.0.0.1). Prints, for 16 MiB, the median and
best time of HttpRequest (timed inside the Wine process), of the same WinINet reads without
keeping the body, and of curl, with the ratio HttpRequest / curl; then the time per
MiB of both for 1 to 64 MiB, which stays flat while collecting the body is linear.
--exhaust also streams an endless body at one call and reports what came back (the 32-bit
process runs out of room after some hundreds of MiB; the call must return empty, not crash).
--memory runs only CALLS fetches of a 64 KiB page in one process, HttpRequest and then the bare
WinINet reads, and prints the process's private memory as it goes: what one probe per check
period adds over a long unattended run, and how much of it is WinINet's own.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "wine", "http"))
import loopback_server  # noqa: E402

MIB = 1 << 20


def run_fetch(build, args):
    exe = os.path.join(build, "win32", "bench", "http", "http_fetch_bench.exe")
    prefix = os.path.join(build, "win32", "wineprefix")
    return subprocess.run([os.path.join(ROOT, "scripts", "wine-run.sh"), prefix, exe] + args,
                          check=True, capture_output=True, text=True).stdout


def fetch_in_wine(build, url, count, reads_only=False):
    mode = ["--reads-only"] if reads_only else []
    out = run_fetch(build, mode + [url, str(count)])
    rows = []
    for line in out.split():
        if line.startswith("bytes="):
            size = int(line.split("=")[1])
        elif line.startswith("seconds="):
            rows.append((size, float(line.split("=")[1])))
    return rows


def curl_times(url, count, size):
    times = []
    for _ in range(count):
        out = subprocess.run(["curl", "-s", "-o", "/dev/null", "-w", "%{size_download} %{time_total}", url],
                             check=True, capture_output=True, text=True).stdout.split()
        assert int(out[0]) == size, out
        times.append(float(out[1]))
    return times


def memory(build, base, calls):
    url = "%s/bytes?n=%d" % (base, 64 * 1024)
    every = max(calls // 10, 1)
    series = {}
    for name, mode in (("HttpRequest", []), ("bare WinINet", ["--reads-only"])):
        rows = []
        for line in run_fetch(build, mode + ["--memory", str(every), url, str(calls)]).split("\n"):
            if line.startswith("calls="):
                done, kib = (int(f.split("=")[1]) for f in line.split())
                rows.append((done, kib))
        series[name] = rows
    print("Private KiB after N fetches of a 64 KiB page (one process each)")
    print("  %8s %12s %13s" % ("N", "HttpRequest", "bare WinINet"))
    for (n, ours), (_, bare) in zip(series["HttpRequest"], series["bare WinINet"]):
        print("  %8d %12d %13d" % (n, ours, bare))
    for name, rows in series.items():
        half = rows[len(rows) // 2]
        last = rows[-1]
        print("  %s: %+d KiB over the whole run, %+.3f KiB per call over the second half"
              % (name, last[1] - rows[0][1], (last[1] - half[1]) / max(last[0] - half[0], 1)))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.environ.get("VD_BUILD_ROOT", "build"))
    ap.add_argument("--count", type=int, default=5)
    ap.add_argument("--exhaust", action="store_true")
    ap.add_argument("--memory", type=int, default=0)
    args = ap.parse_args()
    build = os.path.join(ROOT, args.build) if not os.path.isabs(args.build) else args.build

    server = loopback_server.Server()
    base = "http://127.0.0.1:%d" % server.port
    if args.memory:
        memory(build, base, args.memory)
        server.close()
        return 0
    url16 = "%s/bytes?n=%d" % (base, 16 * MIB)

    rows = fetch_in_wine(build, url16, args.count)
    assert all(size == 16 * MIB for size, _ in rows), rows
    ours = [t for _, t in rows]
    reads = [t for _, t in fetch_in_wine(build, url16, args.count, reads_only=True)]
    theirs = curl_times(url16, args.count, 16 * MIB)
    print("16 MiB body, %d fetches each     median     best" % args.count)
    print("  HttpRequest under Wine     %7.3f s %7.3f s" % (statistics.median(ours), min(ours)))
    print("  same reads, body not kept  %7.3f s %7.3f s" % (statistics.median(reads), min(reads)))
    print("  curl                       %7.3f s %7.3f s" % (statistics.median(theirs), min(theirs)))
    print("  ratio                      %7.1f   %7.1f"
          % (statistics.median(ours) / statistics.median(theirs), min(ours) / min(theirs)))

    print("By body size, %d fetches each, ms per MiB   HttpRequest       reads only" % args.count)
    print("                                      median  best    median  best")
    for mib in (1, 4, 16, 64):
        url = "%s/bytes?n=%d" % (base, mib * MIB)
        cells = []
        for reads_only in (False, True):
            rows = fetch_in_wine(build, url, args.count, reads_only)
            assert all(size == mib * MIB for size, _ in rows), rows
            times = [t for _, t in rows]
            cells += [1000 * statistics.median(times) / mib, 1000 * min(times) / mib]
        print("  %3d MiB                             %6.1f %6.1f    %6.1f %6.1f" % (mib, *cells))

    if args.exhaust:
        start = time.time()
        rows = fetch_in_wine(build, "%s/endless?cap=%d" % (base, 4096 * MIB), 1)
        server.endless_done.wait(60)
        print("endless body: HttpRequest returned %d bytes after %.1f s; server sent %d MiB, "
              "client closed: %d" % (rows[0][0], time.time() - start, server.endless["sent"] // MIB,
                                     server.endless["client_closed"]))
    server.close()


if __name__ == "__main__":
    sys.exit(main())
