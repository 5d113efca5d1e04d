#!/usr/bin/env python3
"""The exact shutdown requests, read from a Wine relay trace.

shutdown_trace.py WINE_RUN PREFIX shutdown_request.exe

Runs the request exe once per kind in a Wine prefix of its own (a carried-out request ends that
prefix's Wine session, never anything on Linux) and checks the traced calls: the privilege
adjustment, the token closed, then one ExitWindowsEx with flags 5 (forced) or 1 (plain) and reason 0xFFFF.
"""
import os
import re
import subprocess
import sys

CALLS = ["OpenProcessToken", "LookupPrivilegeValueA", "AdjustTokenPrivileges", "CloseHandle",
         "ExitWindowsEx"]


def wine_env(prefix, debug):
    return dict(os.environ, WINEPREFIX=prefix, WINEDEBUG=debug)


def prepare(wine_run, prefix):
    subprocess.run([wine_run, prefix, "--init"], check=True)
    subprocess.run(["wine", "reg", "add", "HKCU\\Software\\Wine\\Debug", "/v", "RelayInclude",
                    "/d", ";".join(CALLS), "/f"], env=wine_env(prefix, "-all"),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    subprocess.run(["wineserver", "-w"], env=wine_env(prefix, "-all"))


def trace(wine_run, prefix, exe, kind):
    """The traced calls as (thread, function, arguments)."""
    run = subprocess.run([wine_run, prefix, exe, kind], env=wine_env(prefix, "-all,+relay"),
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    subprocess.run(["wineserver", "-k"], env=wine_env(prefix, "-all"), stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=wine_env(prefix, "-all"), stderr=subprocess.DEVNULL)
    calls = []
    for line in run.stderr.decode("latin-1").splitlines():
        m = re.match(r"([0-9a-f]+):Call [\w.]+\.(\w+)\((.*)\) ret=", line)
        if m and m.group(2) in CALLS:
            calls.append(m.groups())
    return calls


def check(kind, flags, calls):
    """One request: the token opened for adjusting, the privilege looked up and enabled, the
    token closed, then ExitWindowsEx, all on the requesting thread with nothing else between."""
    exits = [c for c in calls if c[1] == "ExitWindowsEx"]
    if len(exits) != 1:
        return ["%s: %d ExitWindowsEx calls" % (kind, len(exits))]
    thread = exits[0][0]
    mine = [(name, args) for t, name, args in calls if t == thread]
    end = mine.index(("ExitWindowsEx", exits[0][2]))
    opens = [i for i, (name, args) in enumerate(mine[:end]) if name == "OpenProcessToken"]
    if not opens:
        return ["%s: no OpenProcessToken before the request" % kind]
    steps = mine[opens[-1]:end + 1]
    print("%s: %s" % (kind, steps))
    names = [name for name, _ in steps]
    if names != CALLS:
        return ["%s: calls %s, expected %s" % (kind, names, CALLS)]
    args = {name: a.split(",") for name, a in steps}
    errors = []
    if args["OpenProcessToken"][:2] != ["ffffffff", "00000028"]:
        errors.append("%s: OpenProcessToken(%s)" % (kind, args["OpenProcessToken"]))
    lookup = args["LookupPrivilegeValueA"]
    if not (lookup[0].endswith(' ""') and lookup[1].endswith(' "SeShutdownPrivilege"')):
        errors.append("%s: LookupPrivilegeValueA(%s)" % (kind, lookup))
    adjust = args["AdjustTokenPrivileges"]
    if adjust[1] != "00000000" or adjust[3] != "0000001c":
        errors.append("%s: AdjustTokenPrivileges(%s)" % (kind, adjust))
    if args["CloseHandle"] != adjust[:1]:
        errors.append("%s: CloseHandle(%s), token %s" % (kind, args["CloseHandle"], adjust[0]))
    if args["ExitWindowsEx"] != [flags, "0000ffff"]:
        errors.append("%s: ExitWindowsEx(%s)" % (kind, args["ExitWindowsEx"]))
    return errors


def main():
    wine_run, prefix, exe = sys.argv[1:4]
    prepare(wine_run, prefix)
    errors = []
    for kind, flags in (("forced", "00000005"), ("plain", "00000001")):
        errors += check(kind, flags, trace(wine_run, prefix, exe, kind))
    for e in errors:
        print("FAIL " + e)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
