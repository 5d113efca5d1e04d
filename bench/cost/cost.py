#!/usr/bin/env python3
"""What Vendrilov costs while it runs, beside a minimal Win32 window run the same way.

bench/cost/cost.py [--seconds 60] [--soak SECONDS]   (run through scripts/netns.sh; see README)

Prints processor time over the run (the program's own process and its Wine server), peak and
steady memory (resident and private), executable sizes, and the detection latency from the
moment the portal stops answering to the red label, against the configured period.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import scenarios  # noqa: E402  (the outage-scenario driver: program start, portal, watcher)

TICK = os.sysconf("SC_CLK_TCK")


def find_pid(needle, env_prefix=None):
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode("latin-1")
            if needle not in cmd:
                continue
            if env_prefix:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    if ("WINEPREFIX=" + env_prefix).encode() not in f.read().split(b"\0"):
                        continue
            return int(pid)
        except OSError:
            continue
    return None


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def memory_kib(pid):
    rss = hwm = private = 0
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                rss = int(line.split()[1])
            elif line.startswith("VmHWM:"):
                hwm = int(line.split()[1])
    with open("/proc/%d/smaps_rollup" % pid) as f:
        for line in f:
            if line.startswith(("Private_Clean:", "Private_Dirty:")):
                private += int(line.split()[1])
    return rss, hwm, private


def sample(run, args, label, seconds):
    """Processor time and memory of one started program over `seconds`, past its start-up."""
    pid = None
    for _ in range(100):
        pid = find_pid(run.exe)
        if pid:
            break
        time.sleep(0.1)
    server = find_pid("wineserver", args.prefix)
    time.sleep(3)
    c0, s0 = cpu_seconds(pid), cpu_seconds(server) if server else float("nan")
    peak_private, samples = 0, []
    end = time.time() + seconds
    while time.time() < end:
        rss, _, private = memory_kib(pid)
        peak_private = max(peak_private, private)
        samples.append((rss, private))
        time.sleep(1)
    c1, s1 = cpu_seconds(pid), cpu_seconds(server) if server else float("nan")
    rss, hwm, private = memory_kib(pid)
    return {"what": label, "cpu": c1 - c0, "server": s1 - s0, "seconds": seconds, "rss": rss,
            "peak_rss": hwm, "private": private, "peak_private": peak_private,
            "first": samples[0] if samples else (0, 0), "samples": samples}


def measure(args, label, config, exe, seconds):
    run = scenarios.Run(args, config, trace=False, exe=exe)
    try:
        run.wait_for("window", 30)
        run.command("quit")  # the watcher's polling would be counted as the program's cost
        return sample(run, args, label, seconds)
    finally:
        run.finish()


class Yardstick(scenarios.Run):
    """The minimal window, started like the program but with nothing to watch."""

    def __init__(self, args, exe):
        self.args = args
        self.dir = tempfile.mkdtemp(prefix="vd-cost-")
        self.exe = os.path.join(self.dir, "minimal.exe")
        shutil.copy(exe, self.exe)
        self.env = dict(os.environ, WINEPREFIX=args.prefix)
        self.portal = subprocess.Popen(["sleep", "infinity"])
        self.refuser = None
        self.watch = None
        self.prog = subprocess.Popen([scenarios.WINE_RUN, args.prefix, self.exe], env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def measure_yardstick(args, seconds):
    y = Yardstick(args, args.minimal)
    try:
        return sample(y, args, "minimal window", seconds)
    finally:
        y.finish()


def latency(args, period, rounds):
    run = scenarios.Run(args, scenarios.ini(period=str(period), length="600"), trace=False)
    out = []
    try:
        run.wait_label(scenarios.NORMAL, 30)
        for i in range(rounds):
            time.sleep(period * (0.25 + 0.5 * (i % 2)))  # vary the phase within the period
            t0 = time.time() - run.t0
            run.set_mode("closed")
            t1, _ = run.wait_label(scenarios.ALARM, period + 10)
            out.append(t1 - t0)
            run.set_mode("marker")
            run.wait_label(scenarios.NORMAL, period + 10)
    finally:
        run.finish()
    return out


def main():
    ap = argparse.ArgumentParser()
    build = os.path.join(ROOT, os.environ.get("VD_BUILD_ROOT", "build"), "win32")
    ap.add_argument("--exe", default=os.path.join(build, "src", "app", "Vendrilov.exe"))
    ap.add_argument("--minimal", default=os.path.join(build, "bench", "cost", "cost_minimal.exe"))
    ap.add_argument("--watcher", default=os.path.join(build, "tests", "e2e", "e2e_watcher.exe"))
    ap.add_argument("--refuser", default=os.path.join(build, "tests", "e2e", "e2e_refuser.exe"))
    ap.add_argument("--prefix", default=os.path.join(build, "wineprefix-bench"))
    ap.add_argument("--seconds", type=int, default=60)
    ap.add_argument("--soak", type=int, default=0, help="also run this long with a 1 s period")
    a = ap.parse_args()
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
    scenarios.prepare_prefix(a.prefix)

    rows = [measure(a, "Vendrilov, web probe every 5 s", scenarios.ini(period="5", length="60"),
                    a.exe, a.seconds),
            measure(a, "Vendrilov, idle (no probe)",
                    scenarios.ini(period="5", length="60", ping="False", web="False"), a.exe, a.seconds),
            measure_yardstick(a, a.seconds)]
    base = rows[-1]
    print("\n%-32s %9s %9s %9s %9s %9s %9s" % ("running for %d s" % a.seconds, "cpu ms", "server ms",
                                              "rss KiB", "peak rss", "priv KiB", "peak priv"))
    for r in rows:
        print("%-32s %9.0f %9.0f %9d %9d %9d %9d" % (r["what"], r["cpu"] * 1000, r["server"] * 1000,
                                                     r["rss"], r["peak_rss"], r["private"],
                                                     r["peak_private"]))
    for r in rows[:-1]:
        print("%-32s cpu x%.2f  private memory x%.2f of the minimal window" % (
            r["what"], (r["cpu"] + r["server"]) / max(base["cpu"] + base["server"], 0.01),
            r["private"] / max(base["private"], 1)))
    print("\nexecutable size: Vendrilov.exe %d bytes, minimal window %d bytes (x%.1f)" % (
        os.path.getsize(a.exe), os.path.getsize(a.minimal),
        os.path.getsize(a.exe) / os.path.getsize(a.minimal)))
    lat = latency(a, 5, 4)
    print("detection latency, period 5 s: %s s (mean %.2f s, max %.2f s)" % (
        ", ".join("%.2f" % x for x in lat), sum(lat) / len(lat), max(lat)))
    if a.soak:
        r = measure(a, "soak, web probe every 1 s", scenarios.ini(period="1", length="600"), a.exe,
                    a.soak)
        print("soak %d s: private %d KiB after start, %d KiB at end (peak %d); rss %d -> %d KiB; "
              "cpu %.1f s" % (a.soak, r["first"][1], r["private"], r["peak_private"], r["first"][0],
                              r["rss"], r["cpu"]))
        # The shape tells a leak (steady climb) from a heap settling in (growth that levels off).
        step = max(len(r["samples"]) // 12, 1)
        print("soak private KiB, one sample every %d s: %s" % (
            step, " ".join(str(p) for _, p in r["samples"][::step])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
