#!/usr/bin/env python3
"""Outage scenarios against the unmodified Vendrilov.exe, run from outside.

scenarios.py --exe Vendrilov.exe --watcher watcher.exe --refuser refuser.exe --prefix DIR NAME

Each scenario runs in a network namespace of its own (nested in the test run's one, so
www.baidu.com is still 127.0.0.1) with a stand-in portal on 127.0.0.1:80. The status label is
read from outside by watcher.exe, its colour from a screenshot, and the shutdown requests and
settings writes from a Wine relay trace limited to those two calls.
"""
import argparse
import os
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")
PORTAL = os.path.join(ROOT, "scripts", "fake_portal.py")

READY = "准备检测"
NORMAL = "网络正常"
ALARM = "网络异常"
COUNT = "网络异常 > 倒计时："
# The profile writer lives in kernel32 on some Wine versions and in kernelbase on others.
RELAY = ("user32.ExitWindowsEx;kernel32.WritePrivateProfileStringA;"
         "kernelbase.WritePrivateProfileStringA")


def gbk_hex(text):
    return text.encode("gbk").hex().upper() if text else "-"


def from_hex(h):
    return "" if h == "-" else bytes.fromhex(h).decode("gbk", "replace")


def ini(period="1", length="3", force="False", ping="False", web="True"):
    lines = ["[Parameter]", "新浪=" + ping, "百度=" + web, "倒计时=" + length,
             "检测周期=" + period, "强制执行=" + force]
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


class Failure(Exception):
    pass


class Run:
    """One start of the program with its portal, watcher and trace."""

    def __init__(self, args, config, mode="marker", refuse=False, trace=True, exe=None,
                 app_subdir=None):
        self.args = args
        self.dir = tempfile.mkdtemp(prefix="vd-e2e-")
        # The exe and Config.ini go into app_subdir when given, apart from the run's own files.
        self.app_dir = os.path.join(self.dir, app_subdir) if app_subdir else self.dir
        os.makedirs(self.app_dir, exist_ok=True)
        self.exe = os.path.join(self.app_dir, "Vendrilov.exe")
        shutil.copy(exe or args.exe, self.exe)
        self.ini = os.path.join(self.app_dir, "Config.ini")
        if config is not None:
            with open(self.ini, "wb") as f:
                f.write(config)
        self.control = os.path.join(self.dir, "portal-mode")
        self.set_mode(mode)
        self.portal = subprocess.Popen([sys.executable, PORTAL, "--port", "80", "--control",
                                        self.control, "--log", os.path.join(self.dir, "portal.log")])
        self.env = dict(os.environ, WINEPREFIX=args.prefix)
        self.refuser = None
        if refuse:
            # Started first: Wine asks processes in the order of their ids, and stops at a refusal.
            self.refuser = subprocess.Popen([WINE_RUN, args.prefix, args.refuser], env=self.env)
            time.sleep(1.5)
        self.trace_path = os.path.join(self.dir, "relay.txt")
        trace = open(self.trace_path, "wb")
        env = dict(self.env, WINEDEBUG="-all,+relay" if trace else "-all")
        self.t0 = time.time()
        self.prog = subprocess.Popen([WINE_RUN, args.prefix, self.exe], env=env, stderr=trace,
                                     stdout=subprocess.DEVNULL, cwd=self.app_dir)
        self.watch = subprocess.Popen([WINE_RUN, args.prefix, args.watcher, "120"], env=self.env,
                                      stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                      encoding="latin-1")
        self.events = queue.Queue()
        self.labels = []  # (seconds since start, text)
        self.rect = None
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.watch.stdout:
            parts = line.split()
            if not parts:
                continue
            t = time.time() - self.t0
            if parts[0] == "label":
                text = from_hex(parts[2])
                self.rect = tuple(int(x) for x in parts[3:7])
                self.labels.append((t, text))
                self.events.put(("label", t, text))
            elif parts[0] == "stats":
                self.events.put(("stats", t, (int(parts[1]), int(parts[2]))))
            elif parts[0] == "fields":
                texts = tuple(b"" if h == "-" else bytes.fromhex(h) for h in parts[1:3])
                self.events.put(("fields", t, texts + tuple(int(x) for x in parts[3:6])))
            elif parts[0] in ("window", "gone"):
                self.events.put((parts[0], t, None))
        self.events.put(("eof", time.time() - self.t0, None))

    def set_mode(self, mode):
        with open(self.control, "w") as f:
            f.write(mode)

    def command(self, cmd):
        self.watch.stdin.write(cmd + "\n")
        self.watch.stdin.flush()

    def wait_for(self, what, timeout, predicate=None):
        """Waits for an event of kind `what` (a label whose text satisfies predicate)."""
        end = time.time() + timeout
        while True:
            left = end - time.time()
            if left <= 0:
                raise Failure("no %s within %.1f s; labels so far: %s" % (what, timeout, self.labels))
            try:
                kind, t, text = self.events.get(timeout=left)
            except queue.Empty:
                continue
            if kind == what and (predicate is None or predicate(text)):
                return t, text
            if kind == "eof" and what != "eof":
                raise Failure("watcher ended while waiting for %s; labels: %s" % (what, self.labels))

    def wait_label(self, text, timeout):
        return self.wait_for("label", timeout, lambda s: s == text)

    def colour(self, timeout=6):
        """'blue', 'red' or 'none': the dominant text colour inside the status label. Polls,
        because a loaded machine may take a while to paint the window."""
        end = time.time() + timeout
        while True:
            c = self._colour_now()
            if c != "none" or time.time() > end:
                return c
            time.sleep(0.3)

    def _colour_now(self):
        if not self.rect:
            return "none"
        l, t, r, b = self.rect
        shot = os.path.join(self.dir, "shot.png")
        subprocess.run(["import", "-window", "root", shot], check=True)
        out = subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (r - l, b - t, l, t),
                              "+repage", "txt:-"], capture_output=True, text=True).stdout
        blue = red = 0
        for m in re.finditer(r"\((\d+),(\d+),(\d+)", out):
            R, G, B = (int(x) for x in m.groups())
            if B > 150 and R < 110 and G < 110:
                blue += 1
            elif R > 150 and B < 110 and G < 110:
                red += 1
        if blue > 5 and blue > 3 * red:
            return "blue"
        if red > 5 and red > 3 * blue:
            return "red"
        return "none"

    def shutdowns(self):
        with open(self.trace_path, "rb") as f:
            data = f.read().decode("latin-1")
        return re.findall(r"Call user32\.ExitWindowsEx\(([0-9a-f]+),([0-9a-f]+)\)", data, re.I)

    def profile_writes(self):
        with open(self.trace_path, "rb") as f:
            data = f.read().decode("latin-1")
        return len(re.findall(r"Call kernel(?:32|base)\.WritePrivateProfileStringA\(", data, re.I))

    def exit_code(self, timeout):
        try:
            return self.prog.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("program still running after %.0f s" % timeout)

    def read_ini(self):
        with open(self.ini, "rb") as f:
            return f.read()

    def finish(self):
        for p in (self.watch, self.prog, self.refuser):
            if p and p.poll() is None:
                p.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        self.portal.kill()
        self.portal.wait()
        for p in (self.watch, self.prog, self.refuser):
            if p:
                p.wait()
        if os.environ.get("VD_E2E_KEEP"):
            print("kept", self.dir)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)


def expect(cond, message):
    if not cond:
        raise Failure(message)


def countdown_numbers(run):
    return [int(text[len(COUNT):]) for _, text in run.labels if text.startswith(COUNT)]


# --- scenarios -------------------------------------------------------------------------------

def fresh_start(a):
    r = Run(a, ini(period="4"))
    try:
        t, _ = r.wait_label(READY, 20)
        expect(r.colour() == "blue", "ready text not blue")
        t2, _ = r.wait_label(NORMAL, 7)
        expect(t2 - t < 6, "normal came %.1f s after ready" % (t2 - t))
        expect(r.colour() == "blue", "normal text not blue")
        r.command("close")
        expect(r.exit_code(10) == 0, "exit code not 0")
        expect(r.shutdowns() == [], "unexpected shutdown request")
    finally:
        r.finish()


def outage_refused(a):
    r = Run(a, ini(period="1", length="3"), refuse=True)
    try:
        r.wait_label(NORMAL, 20)
        r.set_mode("closed")
        r.wait_label(ALARM, 4)
        expect(r.colour() == "red", "alarm text not red")
        for n in (2, 1, 0, -1, -2):
            r.wait_label(COUNT + str(n), 3)
        calls = r.shutdowns()
        expect(len(calls) >= 2, "expected repeated requests, got %s" % calls)
        expect(all(c == ("00000001", "0000ffff") for c in calls), "wrong arguments %s" % calls)
        nums = countdown_numbers(r)
        expect(nums == list(range(2, 2 - len(nums), -1)), "countdown not falling by one: %s" % nums)
        r.command("close")
        expect(r.exit_code(10) == 0, "exit code not 0")
    finally:
        r.finish()


def outage_shutdown(a):
    r = Run(a, ini(period="1", length="2"))
    try:
        r.wait_label(NORMAL, 20)
        r.command("period 9")  # typed, never applied or saved
        r.set_mode("closed")
        r.wait_label(COUNT + "0", 6)
        r.wait_for("gone", 10)
        r.exit_code(10)
        expect(r.shutdowns()[:1] == [("00000001", "0000ffff")], "first request %s" % r.shutdowns())
        expect(r.profile_writes() == 0, "settings were written at shutdown")
        expect(r.read_ini() == ini(period="1", length="2"), "Config.ini changed")
    finally:
        r.finish()


def forced(a):
    r = Run(a, ini(period="1", length="2", force="True"), mode="closed")
    try:
        r.wait_label(ALARM, 20)
        r.wait_label(COUNT + "0", 5)
        deadline = time.time() + 5
        while not r.shutdowns() and time.time() < deadline:
            time.sleep(0.1)
        expect(r.shutdowns()[:1] == [("00000005", "0000ffff")], "requests %s" % r.shutdowns())
    finally:
        r.finish()


def recovery(a):
    r = Run(a, ini(period="1", length="6"), refuse=True)
    try:
        r.wait_label(NORMAL, 20)
        r.set_mode("closed")
        r.wait_label(COUNT + "4", 6)
        r.set_mode("marker")
        r.wait_label(NORMAL, 4)
        expect(r.colour() == "blue", "normal after recovery not blue")
        expect(r.shutdowns() == [], "request during recovery")
        first = len(r.labels)
        r.set_mode("closed")
        r.wait_label(ALARM, 4)
        r.wait_for("label", 4, lambda s: s.startswith(COUNT))
        after = [int(s[len(COUNT):]) for _, s in r.labels[first:] if s.startswith(COUNT)]
        expect(after[0] == 5, "second outage counted from %s, not the full length" % after)
        r.command("close")
        expect(r.exit_code(10) == 0, "exit code not 0")
        expect(r.shutdowns() == [], "unexpected request %s" % r.shutdowns())
    finally:
        r.finish()


def captive_portal(a):
    r = Run(a, ini(period="1", length="30"), mode="portal")
    try:
        r.wait_label(ALARM, 20)
        expect(r.colour() == "red", "alarm not red")
        r.wait_for("label", 3, lambda s: s.startswith(COUNT))
        r.set_mode("redirect")  # a redirect to the page with the marker is a working network
        r.wait_label(NORMAL, 5)
        r.command("close")
        expect(r.exit_code(10) == 0, "exit code not 0")
    finally:
        r.finish()


def ping_probe(a):
    subprocess.run(["sysctl", "-qw", "net.ipv4.icmp_echo_ignore_all=0"], check=True)
    r = Run(a, ini(period="1", length="2", ping="True", web="False"), mode="closed", refuse=True)
    try:
        r.wait_label(NORMAL, 20)
        subprocess.run(["sysctl", "-qw", "net.ipv4.icmp_echo_ignore_all=1"], check=True)
        r.wait_label(ALARM, 6)
        r.wait_label(COUNT + "0", 4)
        deadline = time.time() + 3
        while not r.shutdowns() and time.time() < deadline:
            time.sleep(0.1)
        expect(r.shutdowns()[:1] == [("00000001", "0000ffff")], "requests %s" % r.shutdowns())
        r.command("close")
        expect(r.exit_code(10) == 0, "exit code not 0")
    finally:
        subprocess.run(["sysctl", "-qw", "net.ipv4.icmp_echo_ignore_all=0"])
        r.finish()


def close_in_countdown(a):
    r = Run(a, ini(period="1", length="10"), mode="closed")
    try:
        r.wait_for("label", 20, lambda s: s.startswith(COUNT))
        r.command("period 9")
        time.sleep(0.3)
        r.command("close")
        expect(r.exit_code(10) == 0, "exit code not 0")
        expect(r.shutdowns() == [], "request at exit %s" % r.shutdowns())
        expect(r.profile_writes() == 5, "%d settings writes, expected one save" % r.profile_writes())
        expect(r.read_ini() == ini(period="9", length="10"), "Config.ini %r" % r.read_ini())
    finally:
        r.finish()


def no_probe(a):
    r = Run(a, ini(period="1", length="1", ping="False", web="False"), mode="closed")
    try:
        r.wait_label(READY, 20)
        time.sleep(4)
        # The window exists (hidden, label still empty) a moment before the ready text is set.
        shown = [s for _, s in r.labels if s]
        expect(shown == [READY], "status changed: %s" % r.labels)
        expect(r.shutdowns() == [], "unexpected request")
        r.command("close")
        expect(r.exit_code(10) == 0, "exit code not 0")
    finally:
        r.finish()


SCENARIOS = {f.__name__: f for f in (fresh_start, outage_refused, outage_shutdown, forced, recovery,
                                      captive_portal, ping_probe, close_in_countdown, no_probe)}


def prepare_prefix(prefix):
    subprocess.run([WINE_RUN, prefix, "--init"], check=True)
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all")
    for key, name, value in (("HKCU\\Software\\Wine\\Explorer", "Desktop", "Default"),
                             ("HKCU\\Software\\Wine\\Explorer\\Desktops", "Default", "1024x768"),
                             ("HKCU\\Software\\Wine\\Debug", "RelayInclude", RELAY)):
        subprocess.run(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    subprocess.run(["wineserver", "-w"], env=env)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--watcher", required=True)
    ap.add_argument("--refuser", required=True)
    ap.add_argument("--prefix", required=True)
    ap.add_argument("name", choices=sorted(SCENARIOS))
    a = ap.parse_args()
    # A namespace of its own per scenario: its own port 80 and its own ICMP answering switch.
    enter_namespaces("-n")
    prepare_prefix(a.prefix)
    return run_case(a.name, SCENARIOS[a.name], a)


def enter_namespaces(flags):
    """Re-runs this script once inside new namespaces (unshare flags), with loopback up."""
    if os.environ.get("VD_E2E_NETNS") != "1":
        os.execvp("unshare", ["unshare", flags, "env", "VD_E2E_NETNS=1", sys.executable] + sys.argv)
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)


def run_case(name, case, args):
    try:
        case(args)
    except Failure as e:
        print("FAIL %s: %s" % (name, e))
        return 1
    print("ok %s" % name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
