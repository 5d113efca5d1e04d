#!/usr/bin/env python3
"""Abuse of the settings file and of the OK button, against the unmodified Vendrilov.exe.

robust.py --exe E --watcher W --locker L --prefix DIR NAME

Built on scenarios.py's Run: a copy of the exe in a temporary directory with a Config.ini, the
stand-in portal on 127.0.0.1:80, watcher.exe reading the window from outside and a relay trace
of the profile writes. Every case checks that the program starts, shows what it read, and exits
with code 0, and what the save left in the file.
"""
import argparse
import os
import re
import subprocess
import sys
import time

import scenarios
from scenarios import ALARM, NORMAL, READY, Failure, Run, expect

SECTION = "[Parameter]"
PERIOD, LENGTH, FORCE, PING, WEB = (k.encode("gbk") for k in ("检测周期", "倒计时", "强制执行",
                                                            "新浪", "百度"))


def lines(*items):
    """A hand-written file: str lines are GBK-encoded, bytes lines go in as they are."""
    return b"".join((i if isinstance(i, bytes) else i.encode("gbk")) + b"\r\n" for i in items)


def key(name, value):
    return name + b"=" + value


def fields(run, timeout=10):
    """(period bytes, length bytes, force, ping, web) as the window shows them."""
    run.command("fields")
    return run.wait_for("fields", timeout)[1]


def stats(run, timeout=10):
    """(threads, handles) of the program."""
    run.command("stats")
    return run.wait_for("stats", timeout)[1]


def start(a, config, **kw):
    r = Run(a, config, **kw)
    r.wait_label(READY, 20)
    return r


def close_and_check_exit(r):
    r.command("close")
    expect(r.exit_code(15) == 0, "exit code not 0")


def close_with_failing_save(r, what):
    """A changed period, then close: the save is tried (five profile writes) and, though it
    fails, the program ends with code 0 at once."""
    r.command("period 3")
    time.sleep(0.3)
    t = time.time()
    close_and_check_exit(r)
    print("%s: exit %.1f s after close" % (what, time.time() - t))
    expect(r.profile_writes() == 5, "%d profile writes" % r.profile_writes())


# --- settings file cases ---------------------------------------------------------------------

def settings_long(a):
    """Values of 10,000 bytes and more: shown whole up to the 10239 bytes a read returns, the
    period still applied from its leading digits, saved back as shown, other lines kept."""
    period = b"1" + b"x" * 9999
    length = b"7" * 12000
    note = b"n" * 10000
    config = lines("; notes kept by hand", "[Other]", key(b"note", note), SECTION,
                   key(PERIOD, period), key(LENGTH, length), key(FORCE, b"False"),
                   key(PING, b"False"), key(WEB, b"True"))
    r = start(a, config)
    try:
        shown = fields(r)
        expect(shown[:2] == (period, length[:10239]), "long values shown as %d and %d bytes"
               % (len(shown[0]), len(shown[1])))
        expect(shown[2:] == (0, 0, 1), "check boxes show %s" % (shown[2:],))
        r.wait_label(NORMAL, 6)  # period 1: the watch runs
        close_and_check_exit(r)
        expect(r.read_ini() == config.replace(length, length[:10239]),
               "file after save differs beyond the cut length value")
    finally:
        r.finish()


def settings_bad_gbk(a):
    """Bytes that are not GBK (a lead byte with a second byte that cannot follow it, 0x80, 0xFF)
    in a value, an unrelated key and a comment. The program starts and runs; a save that changes
    nothing leaves the file as it was; a save that changes a value keeps every other line."""
    odd = b"\x81\x20\x80\xff"
    config = lines(b"; " + odd, "[Other]", key(b"x", odd + b"tail"), "y=2", SECTION,
                   key(PERIOD, b"1" + odd), key(LENGTH, b"60"), key(FORCE, b"False"),
                   key(PING, b"False"), key(WEB, b"True"))
    for typed in (None, "2"):
        r = start(a, config)
        try:
            shown = fields(r)
            expect(shown[0][:1] == b"1", "period shown as %r" % shown[0])
            expect(shown[1:] == (b"60", 0, 0, 1), "window shows %r" % (shown[1:],))
            r.wait_label(NORMAL, 6)
            if typed:
                r.command("period " + typed)
                time.sleep(0.3)
            close_and_check_exit(r)
            saved = r.read_ini()
            if not typed:
                expect(saved == config, "file changed by a save of unchanged values: %r" % saved)
                continue
            before, after = config.split(b"\r\n"), saved.split(b"\r\n")
            expect(len(after) == len(before), "lines %d -> %d: %r" % (len(before), len(after), saved))
            changed = [(b, x) for b, x in zip(before, after) if b != x]
            for b, x in changed:
                if b.startswith(PERIOD):
                    expect(x == key(PERIOD, typed.encode()), "period line %r" % x)
                else:
                    # Wine rewrites the whole file through UTF-16 once a value changes; a byte
                    # pair that is no GBK character comes back as "?". Lines without one stay.
                    expect(odd in b, "line %r became %r" % (b, x))
                    print("not GBK, rewritten by the profile functions: %r -> %r" % (b, x))
        finally:
            r.finish()


def settings_repeated(a):
    """A key and the section repeated: the first key of the first section is read and the save
    replaces only that one; the repeats stay."""
    config = lines(SECTION, key(PERIOD, b"1"), key(LENGTH, b"60"), key(PERIOD, b"9"),
                   "[Other]", "a=1", SECTION, key(PERIOD, b"8"), key(WEB, b"True"))
    r = start(a, config)
    try:
        shown = fields(r)
        expect(shown == (b"1", b"60", 0, 0, 1), "window shows %r" % (shown,))
        r.wait_label(NORMAL, 6)
        r.command("period 3")
        close_and_check_exit(r)
        saved = r.read_ini()
        # Only the first section counts: the keys it lacks are added to it, in the save's order.
        expected = lines(SECTION, key(PERIOD, b"3"), key(LENGTH, b"60"), key(PERIOD, b"9"),
                         key(PING, b"False"), key(WEB, b"True"), key(FORCE, b"False"), "[Other]",
                         "a=1", SECTION, key(PERIOD, b"8"), key(WEB, b"True"))
        expect(saved == expected, "file after save %r" % saved)
    finally:
        r.finish()


def settings_readonly(a):
    """The file in a read-only directory: read at start, the save fails without a word, and the
    program still ends with code 0 at once."""
    config = scenarios.ini(period="1", length="60")
    r = start(a, config, app_subdir="app")
    mounted = False
    try:
        shown = fields(r)
        expect(shown == (b"1", b"60", 0, 0, 1), "window shows %r" % (shown,))
        # Root ignores permission bits: a read-only bind mount is what refuses the write.
        subprocess.run(["mount", "--bind", r.app_dir, r.app_dir], check=True)
        mounted = True
        subprocess.run(["mount", "-o", "remount,bind,ro", r.app_dir], check=True)
        r.wait_label(NORMAL, 6)
        close_with_failing_save(r, "read-only directory")
        expect(r.read_ini() == config, "file changed in a read-only directory")
    finally:
        if mounted:
            subprocess.run(["umount", r.app_dir])
        r.finish()


def settings_locked(a):
    """The file held open without sharing by another process at exit: the save fails without a
    word and the program ends with code 0 at once."""
    config = scenarios.ini(period="1", length="60")
    r = start(a, config)
    locker = None
    try:
        shown = fields(r)
        expect(shown == (b"1", b"60", 0, 0, 1), "window shows %r" % (shown,))
        r.wait_label(NORMAL, 6)
        locker = subprocess.Popen([scenarios.WINE_RUN, a.prefix, a.locker, "Config.ini"],
                                  cwd=r.app_dir, env=r.env, stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, text=True)
        expect(locker.stdout.readline().strip() == "locked", "locker could not lock the file")
        close_with_failing_save(r, "locked file")
        locker.stdin.write("done\n")
        locker.stdin.flush()
        locker.wait(10)
        expect(r.read_ini() == config, "file changed while locked")
    finally:
        if locker and locker.poll() is None:
            locker.kill()
        r.finish()


# --- OK pressed a hundred times ----------------------------------------------------------------

def ok_burst(a):
    """OK clicked 100 times while a probe hangs on a silent portal: one worker afterwards, the
    label untouched by the abandoned probe, and as many threads and handles as before once that
    probe has ended."""
    r = start(a, scenarios.ini(period="3", length="60"))
    try:
        r.wait_label(NORMAL, 10)
        time.sleep(0.5)
        base = stats(r)
        log = os.path.join(r.dir, "portal.log")
        seen = portal_requests(log)
        r.set_mode("silent")
        wait_until(lambda: portal_requests(log) > seen, 6, "no probe reached the silent portal")
        started = thread_starts(r)
        r.command("ok 100")
        time.sleep(1.5)  # the clicks are served; the last worker waits its 3 s
        expect(r.prog.poll() is None, "program ended")
        clicks = thread_starts(r) - started
        expect(clicks >= 100, "%d workers started by 100 clicks" % clicks)
        r.set_mode("closed")  # lets go of the held connection: the abandoned probe fails
        time.sleep(0.3)
        r.set_mode("marker")
        busy = stats(r)
        settle = time.time() + 15
        now = busy
        while now[0] > base[0] and time.time() < settle:
            time.sleep(0.5)
            now = stats(r)
        print("%d workers started; threads/handles before %s, after the clicks %s, settled %s"
              % (clicks, base, busy, now))
        expect(now[0] == base[0], "threads %d before, %d after" % (base[0], now[0]))
        expect(now[1] <= base[1], "handles %d before, %d after" % (base[1], now[1]))
        # One worker: one probe per period from here on.
        first = portal_requests(log)
        time.sleep(7)
        probes = portal_requests(log) - first
        expect(probes in (2, 3), "%d probes in 7 s with a 3 s period" % probes)
        shown = [s for _, s in r.labels if s]
        expect(ALARM not in shown, "the abandoned probe's failure reached the label: %s" % shown)
        expect(shown[-1] == NORMAL, "label %s" % shown[-1])
        close_and_check_exit(r)
    finally:
        r.finish()


def thread_starts(run):
    with open(run.trace_path, "rb") as f:
        return len(re.findall(rb"Call kernel(?:32|base)\.CreateThread\(", f.read(), re.I))


def portal_requests(log):
    try:
        with open(log) as f:
            return sum(1 for line in f if re.search(r" GET / ", line))
    except OSError:
        return 0


def wait_until(cond, timeout, message):
    end = time.time() + timeout
    while not cond():
        if time.time() > end:
            raise Failure(message)
        time.sleep(0.05)


CASES = {f.__name__: f for f in (settings_long, settings_bad_gbk, settings_repeated,
                                  settings_readonly, settings_locked, ok_burst)}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--watcher", required=True)
    ap.add_argument("--locker", required=True)
    ap.add_argument("--prefix", required=True)
    ap.add_argument("name", choices=sorted(CASES))
    a = ap.parse_args()
    # Own network and mount namespaces: port 80, and the read-only mount, stay in here.
    scenarios.enter_namespaces("-mn")
    scenarios.prepare_prefix(a.prefix)
    # The trace also counts thread starts: each apply starts one worker.
    subprocess.run(["wine", "reg", "add", "HKCU\\Software\\Wine\\Debug", "/v", "RelayInclude",
                    "/d", scenarios.RELAY + ";kernel32.CreateThread;kernelbase.CreateThread", "/f"],
                   env=dict(os.environ, WINEPREFIX=a.prefix, WINEDEBUG="-all"),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    subprocess.run(["wineserver", "-w"], env=dict(os.environ, WINEPREFIX=a.prefix))
    return scenarios.run_case(a.name, CASES[a.name], a)


if __name__ == "__main__":
    sys.exit(main())
