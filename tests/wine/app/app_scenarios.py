#!/usr/bin/env python3
"""The real Vendrilov.exe under Wine in a virtual desktop, driven from outside.

app_scenarios.py --exe Vendrilov.exe --driver app_driver.exe --prefix DIR --shots DIR NAME

Each scenario copies the exe into a fresh directory (Config.ini lives beside it), writes a
Config.ini when it needs one, starts the program, and works it with driver.exe through window
messages, the way the shell and a user would. Settings-file writes are counted from a Wine relay
trace limited to the profile functions; the file's bytes are compared whole.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")
PORTAL = os.path.join(ROOT, "scripts", "fake_portal.py")
RELAY = "kernel32.WritePrivateProfileStringA;kernel32.GetPrivateProfileStringA"

WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_CONTEXTMENU = 0x202, 0x203, 0x205, 0x7B
VK_RETURN, VK_ESCAPE, VK_DOWN = 13, 27, 40

# Controls as the window tables give them: class, parent (group box caption), place, text.
LAYOUT = [
    ("static", "main", 8, 11, 112, 24, "检测周期(单位/秒)"),
    ("edit", "main", 117, 12, 67, 22, None),
    ("static", "main", 8, 41, 104, 24, "倒计时（单位/秒）"),
    ("edit", "main", 117, 42, 67, 22, None),
    ("button", "main", 192, 11, 48, 53, "确定"),
    ("button", "main", 8, 75, 232, 48, "检测接口"),
    ("button", "检测接口", 13, 22, 48, 16, "其它"),
    ("button", "检测接口", 71, 22, 48, 16, "百度"),
    ("button", "检测接口", 153, 22, 72, 16, "强制执行"),
    ("button", "main", 8, 132, 232, 53, "当前状态"),
    ("static", "当前状态", 6, 18, 217, 25, None),
]


def gbk(text):
    return text.encode("gbk").hex().upper() if text else "-"


def from_hex(h):
    return "" if h == "-" else bytes.fromhex(h).decode("gbk")


def ini(lines):
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


SAVE_ORDER = ["新浪", "百度", "倒计时", "检测周期", "强制执行"]
FRESH = ini(["[Parameter]", "新浪=False", "百度=True", "倒计时=60", "检测周期=5", "强制执行=False"])


class Failure(Exception):
    pass


def expect(cond, message):
    if not cond:
        raise Failure(message)


class Run:
    """One start of the program in a directory of its own."""

    def __init__(self, a, config=None, directory=None):
        self.a = a
        self.base = tempfile.mkdtemp(prefix="vd-app-")
        self.dir = directory(self.base) if directory else self.base
        os.makedirs(self.dir, exist_ok=True)
        self.exe = os.path.join(self.dir, "Vendrilov.exe")
        shutil.copy(a.exe, self.exe)
        self.ini = os.path.join(self.dir, "Config.ini")
        if config is not None:
            with open(self.ini, "wb") as f:
                f.write(config)
        self.trace_path = os.path.join(self.base, "relay.txt")
        self.env = dict(os.environ, WINEPREFIX=a.prefix)
        with open(self.trace_path, "wb") as trace:
            self.prog = subprocess.Popen([WINE_RUN, a.prefix, self.exe],
                                         env=dict(self.env, WINEDEBUG="-all,+relay"),
                                         stdout=subprocess.DEVNULL, stderr=trace, cwd=self.base)
        self.drive("wait")

    def drive(self, *commands):
        """Runs the driver; returns its result lines split into words."""
        # A file, not a pipe: a wineserver started by this call would hold a pipe open.
        with tempfile.TemporaryFile() as out:
            rc = subprocess.run([WINE_RUN, self.a.prefix, self.a.driver] +
                                [str(c) for c in commands], env=self.env, stdout=out,
                                stderr=subprocess.STDOUT, timeout=60).returncode
            out.seek(0)
            text = out.read().decode("latin-1")
        if rc != 0:
            raise Failure("driver %s: %s" % (" ".join(map(str, commands)), text))
        return [l.split() for l in text.splitlines() if l.strip()]

    def one(self, kind, *commands):
        lines = self.drive(*commands)
        for words in lines:
            if words[0] == kind:
                return words[1:]
        raise Failure("no %s line from %s: %s" % (kind, commands, lines))

    def state(self):
        visible, iconic = self.one("state", "find", "state")
        return int(visible), int(iconic)

    def checks(self):
        return tuple(int(x) for x in self.one("checks", "find", "checks"))

    def text(self, name):
        return from_hex(self.one("text", "find", "text", name)[1])

    def menu(self, message=WM_RBUTTONUP, x=600, y=400):
        """Pops the tray menu with the pointer at (x, y): (rect, count, items or None)."""
        words = self.one("menu", "find", "cursor", x, y, "tray", message, "menu")
        rect = tuple(int(v) for v in words[:4])
        count = int(words[4])
        items = [w if w == "sep" else from_hex(w) for w in words[5:]] if count >= 0 else None
        return rect, count, items

    def one_menu(self):
        """The pop-up menu that is open now."""
        words = self.one("menu", "find", "menu")
        rect = tuple(int(v) for v in words[:4])
        return rect, int(words[4]), None

    def choose(self, downs):
        """Picks the menu item `downs` steps down with the keyboard, as a user would."""
        self.drive("find", *(["key", VK_DOWN] * downs), "key", VK_RETURN, "nomenu")

    def profile_calls(self, name):
        """The (section, key, value or default) of each traced profile call, in call order."""
        with open(self.trace_path, "rb") as f:
            data = f.read()
        calls = []
        for m in re.finditer(rb"Call kernel32\.%s\(([^\n]*)\) ret=" % name.encode(), data, re.I):
            strings = [unescape(q) for q in re.findall(rb'"((?:[^"\\]|\\.)*)"', m.group(1))]
            calls.append(tuple(strings[:3]))
        return calls

    def writes(self):
        return len(self.profile_calls("WritePrivateProfileStringA"))

    def reads(self):
        return self.profile_calls("GetPrivateProfileStringA")

    def exit_code(self):
        try:
            return self.prog.wait(15)
        except subprocess.TimeoutExpired:
            raise Failure("program still running")

    def read_ini(self):
        if not os.path.exists(self.ini):
            return None
        with open(self.ini, "rb") as f:
            return f.read()

    def screenshot(self, name):
        os.makedirs(self.a.shots, exist_ok=True)
        path = os.path.join(self.a.shots, name)
        subprocess.run(["import", "-window", "root", path], check=True)
        return path

    def finish(self):
        if self.prog.poll() is None:
            subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
            self.prog.wait()
        shutil.rmtree(self.base, ignore_errors=True)


def unescape(quoted):
    """A string as Wine's relay trace prints it (C escapes) back to its GBK text."""
    out = bytearray()
    i = 0
    while i < len(quoted):
        if quoted[i:i + 2] == b"\\x":
            out.append(int(quoted[i + 2:i + 4], 16))
            i += 4
        elif quoted[i:i + 1] == b"\\":
            out += {b"n": b"\n", b"r": b"\r", b"t": b"\t"}.get(quoted[i + 1:i + 2], quoted[i + 1:i + 2])
            i += 2
        else:
            out.append(quoted[i])
            i += 1
    return out.decode("gbk", "replace")


def pixels(path, left, top, width, height):
    """(r, g, b) of every pixel of a screenshot region."""
    out = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (width, height, left, top),
                          "+repage", "txt:-"], capture_output=True, text=True, check=True).stdout
    # One line per pixel, left to right, top to bottom: "x,y: (r,g,b)  #RRGGBB  srgb(r,g,b)".
    found = (re.search(r"\((\d+),(\d+),(\d+)", l) for l in out.splitlines() if not l.startswith("#"))
    return [tuple(int(v) for v in m.groups()) for m in found if m]


def blue(p):
    return p[2] > 150 and p[0] < 110 and p[1] < 110


def red(p):
    return p[0] > 170 and p[1] < 90 and p[2] < 90


def exit_and_check(run, how, expected_ini):
    """Ends the program one way and checks: exit code 0, one save of five keys, the file bytes."""
    if how == "menu":
        visible, _ = run.state()
        run.menu()
        run.choose(3 if visible else 4)  # "退出程序" is the last item either way
    elif how == "close":
        run.drive("find", "syscmd", "close")
    elif how == "wmclose":
        run.drive("find", "wmclose")
    elif how == "alt-f4":
        subprocess.run(["xdotool", "key", "alt+F4"], check=True)
    expect(run.exit_code() == 0, "exit code not 0 after %s" % how)
    writes = run.profile_calls("WritePrivateProfileStringA")
    expect([w[:2] for w in writes] == [("Parameter", k) for k in SAVE_ORDER],
           "settings writes after %s: %s" % (how, writes))
    got = run.read_ini()
    expect(got == expected_ini, "Config.ini after %s:\n%r\nexpected\n%r" % (how, got, expected_ini))


# --- scenarios -------------------------------------------------------------------------------

def fresh_start(a):
    """No Config.ini: the window, every control, the defaults, the colours; the file at exit."""
    r = Run(a)
    try:
        lines = r.drive("find", "dump")
        main = next(l[1:] for l in lines if l[0] == "main")
        ctls = [l[1:] for l in lines if l[0] == "ctl"]
        left, top, width, height, cw, ch = (int(v) for v in main[:6])
        style, exstyle = int(main[6], 16), int(main[7], 16)
        visible, iconic, has_menu, sw, sh = (int(v) for v in main[8:13])
        expect((width, height) == (255, 221), "outer size %dx%d" % (width, height))
        expect((left, top) == ((sw - 255) // 2, (sh - 221) // 2), "not centred: %d,%d" % (left, top))
        expect(cw < 255 and ch < 221, "client area %dx%d" % (cw, ch))
        expect(from_hex(main[13]) == "Vendrilov1.0", "title %r" % from_hex(main[13]))
        expect(style & 0x00C00000 == 0x00C00000, "no title bar")
        expect(style & 0x00080000, "no system menu")
        expect(style & 0x00020000, "no minimise box")
        expect(not style & 0x00010000, "has a maximise box")
        expect(not style & 0x00040000, "resizable frame")
        expect(not exstyle & 0x00000008, "always on top")
        expect(visible == 1 and iconic == 0, "not shown")
        expect(has_menu == 0, "a menu bar is shown")

        expect(len(ctls) == len(LAYOUT), "%d controls: %s" % (len(ctls), ctls))
        found = {}
        for c in ctls:
            parent = "main" if c[1] == "main" else from_hex(c[1])
            found[(c[0].lower(), parent, int(c[2]), int(c[3]))] = c
        for cls, parent, x, y, w, h, text in LAYOUT:
            c = found.get((cls, parent, x, y))
            expect(c is not None, "no %s in %s at %d,%d" % (cls, parent, x, y))
            expect((int(c[4]), int(c[5])) == (w, h), "%s at %d,%d is %sx%s" % (cls, x, y, c[4], c[5]))
            if text is not None:
                expect(from_hex(c[8]) == text, "text %r, expected %r" % (from_hex(c[8]), text))
        f = lambda x, y: found[next(k for k in found if k[2:] == (x, y))]
        st = lambda c: int(c[6], 16)
        ex = lambda c: int(c[7], 16)
        # Labels: left, centred, centred; one line, vertically centred, no prefix processing.
        for (x, y), align in (((8, 11), 0), ((8, 41), 1), ((6, 18), 1)):
            c = f(x, y)
            expect(st(c) & 0x1F == align, "label %d,%d alignment %x" % (x, y, st(c)))
            expect(st(c) & 0x200 and st(c) & 0x80, "label %d,%d style %x" % (x, y, st(c)))
        for y, text in ((12, "5"), (42, "60")):
            c = f(117, y)
            expect(from_hex(c[8]) == text, "edit %d holds %r" % (y, from_hex(c[8])))
            expect(st(c) & 0x1 and st(c) & 0x80 and not st(c) & 0x4, "edit style %x" % st(c))
            expect(ex(c) & 0x20000 and not ex(c) & 0x200, "edit frame %x" % ex(c))
            expect(not st(c) & 0x00800000, "edit has WS_BORDER")
            expect(int(c[10]) >= 0x7FFFFFFE, "edit limit %s" % c[10])
        expect(st(f(192, 11)) & 0xF == 0, "OK button style %x" % st(f(192, 11)))
        for xy, kinds, check in (((13, 22), (4, 9), 0), ((71, 22), (4, 9), 1),
                                 ((153, 22), (3,), 0)):
            c = f(*xy)
            expect(st(c) & 0xF in kinds, "button %s kind %x" % (xy, st(c) & 0xF))
            expect(int(c[9]) == check, "button %s checked %s" % (xy, c[9]))
        for xy in ((8, 75), (8, 132)):
            expect(st(f(*xy)) & 0xF == 7, "group box %s" % (xy,))
        label = f(6, 18)
        expect(from_hex(label[8]) == "准备检测", "status %r" % from_hex(label[8]))
        expect(r.read_ini() is None, "Config.ini created at start")
        tips = [t for t in (l[1:] for l in r.drive("find", "tips") if l[0] == "tips")]
        expect(len(tips) == 1 and int(tips[0][0], 16) & 0x40 and tips[0][1] == "3",
               "balloon tips: %s" % tips)

        time.sleep(0.5)
        shot = r.screenshot("window.png")
        lx, ly = int(label[11]), int(label[12])
        area = pixels(shot, lx, ly, 217, 25)
        expect(sum(map(blue, area)) > 20, "status text not blue")
        expect(sum(map(red, area)) == 0, "red in the status label")
        # The label has no background of its own: its corners show the window's button face.
        face = pixels(shot, left + 4, top + height - 6, 1, 1)[0]
        expect(area[0] == face and area[-1] == face, "label background %s, window %s" %
               ((area[0], area[-1]), face))
        for y in (12, 42):  # edit boxes: white inside their frame
            c = f(117, y)
            inside = pixels(shot, int(c[11]) + 3, int(c[12]) + 16, 1, 1)[0]
            expect(inside == (255, 255, 255), "edit %d background %s" % (y, inside))
        # The tray icon's red badge in the notification area, bottom right of the desktop.
        tray = pixels(shot, sw - 120, sh - 30, 120, 30)
        expect(sum(map(red, tray)) > 3, "no tray icon")
        expect(r.reads() == [("Parameter", "检测周期", "5"), ("Parameter", "倒计时", "60"),
                             ("Parameter", "强制执行", "False"), ("Parameter", "新浪", "False"),
                             ("Parameter", "百度", "True")], "reads at start: %s" % r.reads())
        exit_and_check(r, "close", FRESH)
    finally:
        r.finish()


def typing(a):
    """The typing filter, paste unfiltered, and an edit without OK saved at exit."""
    r = Run(a)
    try:
        r.drive("find", "settext", "period", "-", "type", "period", b"a.b 5-5x9 ".hex())
        expect(r.text("period") == "5-59", "typed: %r" % r.text("period"))
        r.drive("find", "paste", "period", gbk("abc"))
        expect(r.text("period") == "5-59abc", "pasted: %r" % r.text("period"))
        r.drive("find", "type", "period", "08")  # backspace passes
        expect(r.text("period") == "5-59ab", "backspace: %r" % r.text("period"))
        r.drive("find", "typew", "length", "5012FF10")  # typed Chinese and full-width characters
        expect(r.text("length") == "60", "length: %r" % r.text("length"))
        r.drive("find", "type", "length", "2D31")
        expect(r.text("length") == "-160", "length: %r" % r.text("length"))  # caret at the start
        exit_and_check(r, "wmclose", ini(["[Parameter]", "新浪=False", "百度=True", "倒计时=-160",
                                          "检测周期=5-59ab", "强制执行=False"]))
    finally:
        r.finish()


def radios(a):
    """Clicks: one radio unchecks the other, the check box toggles; both True/False files."""
    r = Run(a, ini(["[Parameter]", "新浪=True", "百度=True"]))
    try:
        expect(r.checks() == (1, 1, 0), "both True loads as %s" % (r.checks(),))
        r.drive("find", "click", "ping")
        expect(r.checks() == (1, 0, 0), "after a click on 其它: %s" % (r.checks(),))
        r.drive("find", "click", "web")
        expect(r.checks() == (0, 1, 0), "after a click on 百度: %s" % (r.checks(),))
        r.drive("find", "click", "force", "click", "force", "click", "force")
        expect(r.checks() == (0, 1, 1), "after three clicks on 强制执行: %s" % (r.checks(),))
        exit_and_check(r, "menu", ini(["[Parameter]", "新浪=False", "百度=True", "倒计时=60",
                                       "检测周期=5", "强制执行=True"]))
    finally:
        r.finish()
    both_false = ini(["[Parameter]", "新浪=False", "百度=False"])
    r = Run(a, both_false)
    try:
        expect(r.checks() == (0, 0, 0), "both False loads as %s" % (r.checks(),))
        exit_and_check(r, "close", ini(["[Parameter]", "新浪=False", "百度=False", "倒计时=60",
                                        "检测周期=5", "强制执行=False"]))
    finally:
        r.finish()


def loaded_values(a):
    """Values go into the controls unchanged; a hand-made file keeps its order and extras."""
    config = ini(["; kept", "[Other]", "a=1", "[Parameter]", "强制执行=false", "检测周期=abc",
                  "倒计时=", "extra=x", "百度=0"])
    # The watch runs with these values (probes without pause, a countdown of 0): the portal
    # must answer, or the first failure would end the Wine session with a forced shutdown.
    _, portal = start_portal()
    r = Run(a, config)
    try:
        expect(r.text("period") == "abc", "period %r" % r.text("period"))
        expect(r.text("length") == "", "length %r" % r.text("length"))
        expect(r.checks() == (0, 1, 1), "checks %s" % (r.checks(),))
        exit_and_check(r, "close", ini(["; kept", "[Other]", "a=1", "[Parameter]", "强制执行=True",
                                        "检测周期=abc", "倒计时=", "extra=x", "百度=True",
                                        "新浪=False"]))
    finally:
        r.finish()
        portal.kill()
        portal.wait()


def minimise_and_tray(a):
    """Minimise-to-hide, the tray events, the menu while shown and hidden, exit while hidden."""
    r = Run(a)
    try:
        r.drive("find", "syscmd", "minimize")
        expect(r.state() == (0, 1), "minimise did not hide: %s" % (r.state(),))
        rect, count, items = r.menu(WM_RBUTTONUP, 600, 400)
        expect(rect[2] == 595 and rect[1] == 395, "menu corner %s, pointer 600,400" % (rect,))
        if items is not None:
            expect(items == ["打开设置", "sep", "定制软件", "官方博客", "退出程序"], "hidden: %s" % items)
        r.screenshot("tray-menu.png")
        hidden_height = rect[3] - rect[1]
        r.drive("find", "key", VK_ESCAPE, "nomenu")
        expect(r.state() == (0, 1), "closing the menu changed the window")

        r.drive("find", "tray", WM_LBUTTONUP, "sleep", 300)
        expect(r.state() == (0, 1), "a single click changed the window")
        r.drive("find", "tray", WM_LBUTTONDBLCLK, "sleep", 300)
        expect(r.state() == (1, 1), "double click: %s, expected shown minimised" % (r.state(),))

        rect, count, items = r.menu(WM_CONTEXTMENU, 500, 300)
        expect(rect[2] == 495 and rect[1] == 295, "menu corner %s, pointer 500,300" % (rect,))
        if items is not None:
            expect(items == ["定制软件", "官方博客", "退出程序"], "shown: %s" % items)
        r.screenshot("tray-menu-shown.png")
        shown_height = rect[3] - rect[1]
        expect(hidden_height > shown_height, "menu heights %d hidden, %d shown" %
               (hidden_height, shown_height))
        r.drive("find", "key", VK_ESCAPE, "nomenu")

        r.drive("find", "syscmd", "restore")
        expect(r.state() == (1, 0), "restore: %s" % (r.state(),))
        r.drive("find", "syscmd", "minimize")
        expect(r.state() == (0, 1), "second minimise: %s" % (r.state(),))
        r.menu()
        r.choose(1)  # "打开设置"
        expect(r.state() == (1, 1), "打开设置: %s" % (r.state(),))
        r.drive("find", "syscmd", "restore", "settext", "length", gbk("42"), "syscmd", "minimize")
        expect(r.state() == (0, 1), "third minimise: %s" % (r.state(),))
        exit_and_check(r, "menu", ini(["[Parameter]", "新浪=False", "百度=True", "倒计时=42",
                                       "检测周期=5", "强制执行=False"]))
    finally:
        r.finish()


def web_pages(a):
    """定制软件 and 官方博客 open their addresses in the default browser, a recording stand-in."""
    log = a.prefix + "-browser.log"
    if os.path.exists(log):
        os.remove(log)
    r = Run(a)
    try:
        r.menu()
        r.choose(1)
        r.menu()
        r.choose(2)
        deadline = time.time() + 10
        urls = []
        while time.time() < deadline and len(urls) < 2:
            time.sleep(0.2)
            if os.path.exists(log):
                with open(log) as f:
                    urls = f.read().split()
        expect(urls == ["http://shop.example.com/", "http://blog.example.com/"], "opened %s" % urls)
        expect(r.state() == (1, 0), "the window changed: %s" % (r.state(),))
        exit_and_check(r, "close", FRESH)
    finally:
        r.finish()


def long_path(a):
    """An executable path far over 259 bytes still finds Config.ini beside itself."""
    def deep(base):
        return os.path.join(base, *(["d" * 60 + str(i) for i in range(5)]))
    config = ini(["[Parameter]", "倒计时=77"])
    r = Run(a, config, directory=deep)
    try:
        expect(len("Z:" + r.exe.replace("/", "\\")) > 300, "path too short: %s" % r.exe)
        expect(r.text("length") == "77", "loaded %r from the long path" % r.text("length"))
        exit_and_check(r, "close", ini(["[Parameter]", "倒计时=77", "新浪=False", "百度=True",
                                        "检测周期=5", "强制执行=False"]))
        stray = [os.path.join(d, f) for d, _, fs in os.walk(r.base) for f in fs if f == "Config.ini"]
        expect(stray == [r.ini], "settings files: %s" % stray)
    finally:
        r.finish()


def close_ways(a):
    """Alt+F4 from the keyboard ends the program through the exit sequence, once."""
    r = Run(a)
    try:
        r.drive("find", "settext", "period", gbk("3"))
        # Alt+F4 goes to the active window; the program's window is active after its start.
        exit_and_check(r, "alt-f4", ini(["[Parameter]", "新浪=False", "百度=True", "倒计时=60",
                                         "检测周期=3", "强制执行=False"]))
    finally:
        r.finish()


def end_session(a):
    """Log-off and shutdown: the program agrees and saves nothing."""
    r = Run(a)
    try:
        answer = r.one("endsession", "find", "settext", "period", gbk("9"), "endsession")
        expect(answer == ["1"], "WM_QUERYENDSESSION answered %s" % answer)
        expect(r.prog.poll() is None, "WM_ENDSESSION alone ended the program")
        # The whole Wine session ends, as when Windows shuts down.
        subprocess.run([WINE_RUN, a.prefix, "wineboot", "--end-session", "--shutdown", "--force"],
                       env=r.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            r.prog.wait(20)
        except subprocess.TimeoutExpired:
            raise Failure("program survived the end of the session")
        expect(r.writes() == 0, "%d settings writes at the end of the session" % r.writes())
        expect(r.read_ini() is None, "Config.ini written at the end of the session")
    finally:
        r.finish()


def start_portal():
    """The stand-in portal on 127.0.0.1:80, switched through the returned control file."""
    control = os.path.join(tempfile.mkdtemp(prefix="vd-portal-"), "mode")
    with open(control, "w") as f:
        f.write("marker")
    return control, subprocess.Popen([sys.executable, PORTAL, "--port", "80", "--control", control])


def status_repaint(a):
    """Each change of the status text or colour repaints what lies behind it: no trace of the
    previous text stays, in either colour."""
    control, portal = start_portal()
    r = Run(a, ini(["[Parameter]", "检测周期=1", "倒计时=30"]))
    try:
        label = next(l[1:] for l in r.drive("find", "dump") if l[0] == "ctl" and l[3:5] == ["6", "18"])
        lx, ly = int(label[11]), int(label[12])

        def colours(name):
            area = pixels(r.screenshot(name), lx, ly, 217, 25)
            return sum(map(blue, area)), sum(map(red, area))

        b, rd = colours("status-ready.png")
        expect(b > 20 and rd == 0, "准备检测: %d blue, %d red pixels" % (b, rd))
        r.drive("find", "waittext", "label", gbk("网络正常"), 5000, "sleep", 200)
        b, rd = colours("status-normal.png")
        expect(b > 20 and rd == 0, "网络正常: %d blue, %d red pixels" % (b, rd))
        with open(control, "w") as f:
            f.write("portal")  # the page comes without the marker: the probe fails
        r.drive("find", "waittext", "label", gbk("网络异常"), 5000, "sleep", 200)
        b, rd = colours("status-alarm.png")
        expect(rd > 20 and b == 0, "网络异常: %d blue, %d red pixels" % (b, rd))
        r.drive("find", "waittext", "label", gbk("网络异常 > 倒计时：28"), 5000, "sleep", 200)
        b, rd = colours("status-countdown.png")
        expect(rd > 20 and b == 0, "countdown: %d blue, %d red pixels" % (b, rd))
        with open(control, "w") as f:
            f.write("marker")
        r.drive("find", "waittext", "label", gbk("网络正常"), 5000, "sleep", 200)
        b, rd = colours("status-recovered.png")
        expect(b > 20 and rd == 0, "back to 网络正常: %d blue, %d red pixels" % (b, rd))
        exit_and_check(r, "close", ini(["[Parameter]", "检测周期=1", "倒计时=30", "新浪=False",
                                        "百度=True", "强制执行=False"]))
    finally:
        r.finish()
        portal.kill()
        portal.wait()


def tray_icon_at(path, sw, sh):
    """Screen position of the tray icon: the middle of its red badge in the notification area."""
    area = pixels(path, sw - 120, sh - 30, 120, 30)
    spots = [(i % 120, i // 120) for i, p in enumerate(area) if red(p)]
    expect(spots, "no tray icon")
    x = sum(p[0] for p in spots) // len(spots) + sw - 120
    y = sum(p[1] for p in spots) // len(spots) + sh - 30
    return x, y


def real_tray_clicks(a):
    """The shell's own messages for the icon: real clicks on it in the notification area."""
    r = Run(a)
    try:
        main = next(l[1:] for l in r.drive("find", "dump") if l[0] == "main")
        x, y = tray_icon_at(r.screenshot("tray-icon.png"), int(main[11]), int(main[12]))
        r.drive("find", "syscmd", "minimize")
        expect(r.state() == (0, 1), "minimise did not hide")
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)
        time.sleep(0.5)
        expect(r.state() == (0, 1), "a single click showed the window")
        subprocess.run(["xdotool", "click", "--repeat", "2", "--delay", "80", "1"], check=True)
        time.sleep(0.5)
        expect(r.state() == (1, 1), "double click at %d,%d: %s, expected shown minimised" %
               (x, y, r.state()))
        subprocess.run(["xdotool", "click", "3"], check=True)
        rect, _, _ = r.one_menu()
        expect(rect[2] == x - 5, "menu right edge %d, pointer at %d" % (rect[2], x))
        r.choose(3)  # shown: 定制软件, 官方博客, 退出程序
        expect(r.exit_code() == 0, "exit code not 0")
        expect(r.read_ini() == FRESH, "Config.ini %r" % r.read_ini())
    finally:
        r.finish()


def ok_applies(a):
    """A typed period takes effect with OK only; until then the watch keeps its loaded one."""
    r = Run(a, ini(["[Parameter]", "检测周期=60"]))
    try:
        r.drive("find", "settext", "period", gbk("1"), "sleep", 2500)
        expect(r.text("label") == "准备检测", "a probe ran without OK: %r" % r.text("label"))
        r.drive("find", "click", "ok")
        # The first probe comes one new period after OK; a loaded machine may need longer for
        # its first exchange, so poll rather than sleep a fixed time.
        probed = lambda s: s in ("网络正常", "网络异常") or s.startswith("网络异常 >")
        deadline = time.time() + 15
        while not probed(r.text("label")) and time.time() < deadline:
            time.sleep(0.5)
        expect(probed(r.text("label")), "no probe after OK: %r" % r.text("label"))
        exit_and_check(r, "close", ini(["[Parameter]", "检测周期=1", "新浪=False", "百度=True",
                                        "倒计时=60", "强制执行=False"]))
    finally:
        r.finish()


SCENARIOS = {f.__name__: f for f in (ok_applies, real_tray_clicks, status_repaint, fresh_start, typing, radios, loaded_values,
                                      minimise_and_tray, web_pages, long_path, close_ways,
                                      end_session)}


def prepare_prefix(a):
    """Virtual desktop, the relay filter and the recording browser, once per prefix."""
    subprocess.run([WINE_RUN, a.prefix, "--init"], check=True)
    browser = a.prefix + "-browser.sh"
    with open(browser, "w") as f:
        f.write("#!/bin/sh\nfor u in \"$@\"; do echo \"$u\" >>'%s-browser.log'; done\n" % a.prefix)
    os.chmod(browser, 0o755)
    stamp = os.path.join(a.prefix, ".vd-app-ready")
    if os.path.exists(stamp):
        return
    env = dict(os.environ, WINEPREFIX=a.prefix, WINEDEBUG="-all")
    for key, name, value in (("HKCU\\Software\\Wine\\Explorer", "Desktop", "Default"),
                             ("HKCU\\Software\\Wine\\Explorer\\Desktops", "Default", "1024x768"),
                             ("HKCU\\Software\\Wine\\Debug", "RelayInclude", RELAY),
                             ("HKCU\\Software\\Wine\\WineBrowser", "Browsers", browser)):
        subprocess.run(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    # The desktop started by these calls has the old settings; let it end.
    subprocess.run(["wineserver", "-w"], env=env)
    open(stamp, "w").close()


class PrivateDisplay:
    """An Xvfb of this scenario's own: screenshots, pointer and keyboard see only its desktop,
    whatever other Wine tests draw at the same time."""

    def __enter__(self):
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp"], pass_fds=(w,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        expect(number.isdigit(), "Xvfb did not start")
        self.saved = os.environ.get("DISPLAY")
        os.environ["DISPLAY"] = ":" + number
        return self

    def __exit__(self, *exc):
        self.xvfb.terminate()
        self.xvfb.wait()
        if self.saved is None:
            os.environ.pop("DISPLAY", None)
        else:
            os.environ["DISPLAY"] = self.saved


def end_wine(prefix):
    """Ends the prefix's processes, the desktop included: it belongs to this scenario's display."""
    env = dict(os.environ, WINEPREFIX=prefix)
    subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=env, stderr=subprocess.DEVNULL)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--driver", required=True)
    ap.add_argument("--prefix", required=True)
    ap.add_argument("--shots", required=True)
    ap.add_argument("name", choices=sorted(SCENARIOS))
    a = ap.parse_args()
    prepare_prefix(a)
    try:
        with PrivateDisplay():
            end_wine(a.prefix)  # a desktop left on another display would take the windows
            try:
                SCENARIOS[a.name](a)
            finally:
                end_wine(a.prefix)
    except Failure as e:
        print("FAIL %s: %s" % (a.name, e))
        return 1
    print("ok %s" % a.name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
