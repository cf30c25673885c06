#!/usr/bin/env python3
"""Real-window tests: the game binary in its own X server, played with key presses.

Each case starts a fresh Xvfb (it picks its own display number and reports it
through -displayfd), writes its levels into a fresh working directory, runs the
real game there with Mesa's software renderer, presses keys through XTEST with
xdotool and looks at the window with xwininfo, xprop and ImageMagick's import. A
small Xlib client (ctypes, libX11) watches the root window for windows being
mapped and sends the window manager's close request.

    window_test.py --game PATH --artifacts DIR [--slow-swap LIB] [--frame-hashes LIB]
                   [--reference-game PATH] [--keep] CASE

Screenshots and the game's output go to DIR; they are removed again when the
case passes, unless --keep is given. Exit status 0 means the case passed, 1 that it failed (a missing
tool is a failure too, never a skip).
"""

import argparse
import ctypes
import ctypes.util
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

TOOLS = ["Xvfb", "xdotool", "xwininfo", "xprop", "import"]

# The desktop entry names the window class that ties the window to it.
DESKTOP_ENTRY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                             "packaging", "io.toppleton.Toppleton.desktop")

# Time-outs in real seconds. The game's own clock slows down when frames take
# long to draw, so these are generous on purpose.
EXIT_TIMEOUT = 15
WINDOW_TIMEOUT = 20
SCENE_TIMEOUT = 20
SOLVE_TIMEOUT = 90

STARTUP_FAILURE = 'Can\'t start: level file "levels/1" could not be loaded: '
GAME_FINISHED = "Can't open level 3 (Did you just finish the game?? :)"
BROKEN_LEVEL_2 = 'Can\'t go on: level file "levels/2" could not be loaded: '
NO_DISPLAY = "No display to open the window on: "

# Milliseconds each buffer swap takes in slow_frame_quit: more than the
# 2.56 s in which the refresh timer alone would fill SDL's queue of 128.
SLOW_SWAP_MS = 3000
SLOW_SWAP = None  # path of the LD_PRELOAD shim, from --slow-swap
FRAME_HASHES = None  # path of the frame-by-frame shim, from --frame-hashes
REFERENCE_GAME = None  # another build to compare pictures with, from --reference-game

REPO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")

# Keys for the frame-by-frame runs, by frame (50 frames a second of game
# time): out of the door, a few steps right and a push, back left and a push
# the other way, a long walk right, up in front of the exit, and a grab.
PLAY_KEYS = ("30:right:down 62:right:up 70:period:down 71:period:up 120:left:down 150:left:up "
             "160:comma:down 161:comma:up 200:right:down 330:right:up 335:up:down 336:up:up "
             "340:space:down 341:space:up")


def title(level):
    return "Toppleton - level %d" % level


def desktop_wm_class():
    with open(DESKTOP_ENTRY) as entry:
        for line in entry:
            if line.startswith("StartupWMClass="):
                return line.split("=", 1)[1].strip()
    raise CaseFailed("%s names no StartupWMClass" % DESKTOP_ENTRY)


class CaseFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CaseFailed(message)


# ---------------------------------------------------------------- levels

# One row: the player comes out of the door on the left, a trigger stands in
# the third cell and the exit is four cells further on, with floor beyond it.
LEVEL_ONE_TRIGGER = (
    "10 1 0 0 6 0\n"
    "(________)\n"
    "  T       \n"
)

# One row again, but the push goes to a plain domino that topples the trigger.
LEVEL_CHAIN = (
    "12 1 0 0 8 0\n"
    "(__________)\n"
    "   NT       \n"
)

# Two rows of floor with the player's door on the left of the lower one and
# plain dominoes in front of the trigger.
LEVEL_SCENE = (
    "8 2 0 0 7 1\n"
    "   (___)\n"
    "(______)\n"
    "        \n"
    "  NN T  \n"
)

# Five cells of floor, the door on the left; walking right falls off the end.
LEVEL_LEDGE = (
    "5 1 0 0 3 0\n"
    "(___)\n"
    "  N  \n"
)


def write_levels(workdir, levels):
    os.makedirs(os.path.join(workdir, "levels"), exist_ok=True)
    for number, text in levels.items():
        with open(os.path.join(workdir, "levels", str(number)), "wb") as f:
            f.write(text.encode() if isinstance(text, str) else text)


# ---------------------------------------------------------------- images

class Frame:
    """One RGB screenshot, analysed on every second pixel of every second row."""

    STEP = 2

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb

    @classmethod
    def from_ppm(cls, data):
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        magic, width, height, maxval = fields
        if magic != b"P6" or maxval != b"255":
            raise CaseFailed("screenshot is not an 8-bit PPM: %r" % fields)
        width, height = int(width), int(height)
        rgb = data[pos + 1:pos + 1 + 3 * width * height]
        return cls(width, height, rgb)

    def pixels(self):
        step = self.STEP
        rgb = self.rgb
        for y in range(0, self.height, step):
            row = 3 * y * self.width
            for x in range(0, self.width, step):
                i = row + 3 * x
                yield x, y, rgb[i], rgb[i + 1], rgb[i + 2]

    def classify(self):
        """Pixel counts, centroids and boxes of the game's colours, lit or not."""
        found = {name: Region() for name in COLOURS}
        for x, y, r, g, b in self.pixels():
            if r < 60 and b < 60:
                continue  # the black background, and the unlit sides of things
            for name, matches in COLOURS.items():
                if matches(r, g, b):
                    found[name].add(x, y)
        return Scene(found, self.is_dark())

    def is_dark(self):
        # Lit head-on, a floor's front and top faces show its blue at 231 of
        # 255, and every level has floor in view. The fade darkens all pixels
        # alike, so the brightest channel drops below 200 within its first
        # fifth and stays there to its end.
        return max(self.rgb) < 200

    def save_png(self, path):
        raw = b"".join(b"\0" + self.rgb[3 * self.width * y:3 * self.width * (y + 1)]
                       for y in range(self.height))

        def chunk(kind, body):
            block = kind + body
            return struct.pack(">I", len(body)) + block + struct.pack(">I", zlib.crc32(block))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                    + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


# Lighting scales a colour and adds a little ambient light, so each test is on
# the ratios between the channels and on a floor of brightness.
def is_floor_blue(r, g, b):      # (0, 0.5, 1)
    return b >= 60 and r * 5 < b and 0.35 * b <= g <= 0.65 * b


def is_domino_yellow(r, g, b):   # (1, 1, 0)
    return r >= 60 and abs(r - g) * 6 < r and b * 4 < r


def is_player_grey(r, g, b):     # (0.9, 0.9, 0.9)
    return min(r, g, b) >= 110 and max(r, g, b) - min(r, g, b) <= 20


COLOURS = {"blue": is_floor_blue, "yellow": is_domino_yellow, "grey": is_player_grey}


class Region:
    def __init__(self):
        self.count = 0
        self.sx = self.sy = 0
        self.left = self.top = 10 ** 9
        self.right = self.bottom = -1

    def add(self, x, y):
        self.count += 1
        self.sx += x
        self.sy += y
        self.left = min(self.left, x)
        self.right = max(self.right, x)
        self.top = min(self.top, y)
        self.bottom = max(self.bottom, y)

    def centre(self):
        return self.sx / self.count, self.sy / self.count

    def __repr__(self):
        if not self.count:
            return "none"
        cx, cy = self.centre()
        return "%d px around (%d, %d), box x %d-%d y %d-%d" % (
            self.count * Frame.STEP ** 2, cx, cy, self.left, self.right, self.top, self.bottom)


class Scene:
    """What one frame shows: a region per colour, and whether it is fading out."""

    # Sampled pixel counts (one in four pixels) that make a colour present.
    MIN_SAMPLES = {"blue": 400, "yellow": 40, "grey": 8}

    def __init__(self, regions, dark):
        self.regions = regions
        self.dark = dark

    def shows(self, name):
        return self.regions[name].count >= self.MIN_SAMPLES[name]

    def shows_level(self):
        return all(self.shows(name) for name in COLOURS)

    def is_dark(self):
        return self.dark

    def player_along_floor(self):
        """The figure's centre across the floor, 0 at its left end, 1 at its right."""
        floor, figure = self.regions["blue"], self.regions["grey"]
        if not self.shows("blue") or not self.shows("grey"):
            return None
        return (figure.centre()[0] - floor.left) / max(1, floor.right - floor.left)

    def __str__(self):
        return "; ".join("%s: %r" % (n, r) for n, r in self.regions.items()) + \
            ("; fading" if self.dark else "")


# ---------------------------------------------------------------- Xlib

class XEvent(ctypes.Structure):
    # The fields every event starts with, then the one window that MapNotify
    # and CreateNotify add; the whole union is 24 longs.
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("pad", ctypes.c_long * 18)]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                ("pad", ctypes.c_long * 12)]


X_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
CREATE_NOTIFY, MAP_NOTIFY, CLIENT_MESSAGE = 16, 19, 33
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


def load_xlib():
    name = ctypes.util.find_library("X11")
    if not name:
        raise CaseFailed("libX11 not found")
    xlib = ctypes.CDLL(name)
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xlib.XPending.argtypes = [ctypes.c_void_p]
    xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                ctypes.c_long, ctypes.c_void_p]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xlib.XSetErrorHandler.argtypes = [X_ERROR_HANDLER]
    return xlib


class XWatch:
    """An Xlib client that records every window created or mapped on the screen."""

    def __init__(self, display):
        self.xlib = load_xlib()
        # An X error (say, a window that has just gone) must not end this
        # process, as Xlib's default handler would.
        self.on_error = X_ERROR_HANDLER(lambda dpy, err: 0)
        self.xlib.XSetErrorHandler(self.on_error)
        self.dpy = self.xlib.XOpenDisplay(display.encode())
        if not self.dpy:
            raise CaseFailed("cannot open display %s with Xlib" % display)
        self.root = self.xlib.XDefaultRootWindow(self.dpy)
        self.xlib.XSelectInput(self.dpy, self.root, SUBSTRUCTURE_NOTIFY_MASK)
        self.xlib.XSync(self.dpy, 0)
        self.created = []
        self.mapped = []

    def poll(self):
        """Takes in the events of everything the server has done so far."""
        self.xlib.XSync(self.dpy, 0)
        event = XEvent()
        while self.xlib.XPending(self.dpy):
            self.xlib.XNextEvent(self.dpy, ctypes.byref(event))
            if event.type == CREATE_NOTIFY:
                self.created.append(event.window)
            elif event.type == MAP_NOTIFY:
                self.mapped.append(event.window)

    def request_close(self, window):
        """Asks the window to close as a window manager does: WM_DELETE_WINDOW."""
        protocols = self.xlib.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        delete = self.xlib.XInternAtom(self.dpy, b"WM_DELETE_WINDOW", 0)
        message = XClientMessageEvent()
        message.type = CLIENT_MESSAGE
        message.window = window
        message.message_type = protocols
        message.format = 32
        message.data[0] = delete
        message.data[1] = 0  # CurrentTime
        self.xlib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(message))
        self.xlib.XFlush(self.dpy)

    def close(self):
        self.xlib.XCloseDisplay(self.dpy)


# ---------------------------------------------------------------- processes

class XServer:
    """A private Xvfb; it chooses a free display and reports it on a pipe."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                byte = pipe.read(1)
                if not byte:
                    break
                number += byte
        if not number.strip().isdigit():
            self.stop()
            raise CaseFailed("Xvfb did not report a display (exit status %s)" % self.proc.poll())
        self.display = ":" + number.strip().decode()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class Session:
    """One case's world: its X server, its working directory and the game."""

    def __init__(self, game, artifacts, levels):
        self.game = game
        self.artifacts = artifacts
        self.workdir = tempfile.mkdtemp(prefix="toppleton-window-")
        write_levels(self.workdir, levels)
        self.server = XServer()
        self.env = dict(os.environ, DISPLAY=self.server.display, LIBGL_ALWAYS_SOFTWARE="1")
        try:
            self.watch = XWatch(self.server.display)
        except CaseFailed:
            self.server.stop()
            shutil.rmtree(self.workdir, ignore_errors=True)
            raise
        self.proc = None
        self.window = None
        self.shots = 0

    def start_game(self, env=None):
        self.stdout = open(os.path.join(self.artifacts, "stdout.txt"), "wb")
        self.stderr = open(os.path.join(self.artifacts, "stderr.txt"), "wb")
        self.proc = subprocess.Popen([self.game], cwd=self.workdir, env=env or self.env,
                                     stdin=subprocess.DEVNULL, stdout=self.stdout,
                                     stderr=self.stderr)

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise CaseFailed("the game was still running after %d s" % timeout)

    def output(self):
        """The game's standard output and standard error so far."""
        self.stdout.flush()
        self.stderr.flush()
        with open(self.stdout.name, "rb") as out, open(self.stderr.name, "rb") as err:
            return out.read().decode(errors="replace"), err.read().decode(errors="replace")

    def x(self, *args, timeout=10):
        try:
            result = subprocess.run(list(args), env=self.env, stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise CaseFailed("%s did not finish within %d s" % (" ".join(args), timeout))
        return result.returncode, result.stdout

    def wait_window(self):
        """Waits until the game has a viewable window and gives it the keyboard."""
        deadline = time.monotonic() + WINDOW_TIMEOUT
        while time.monotonic() < deadline:
            check(self.proc.poll() is None,
                  "the game exited with status %s before its window appeared"
                  % self.proc.returncode)
            status, out = self.x("xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid))
            if status == 0 and out.split():
                self.window = out.split()[0].decode()
                self.x("xdotool", "windowfocus", "--sync", self.window)
                self.geometry = self.window_geometry()
                return self.window
            time.sleep(0.1)
        raise CaseFailed("no window of the game became viewable within %d s" % WINDOW_TIMEOUT)

    def window_info(self):
        status, out = self.x("xwininfo", "-id", self.window)
        check(status == 0, "xwininfo failed on window %s" % self.window)
        return {key.strip(): value.strip() for key, value in
                (line.split(":", 1) for line in out.decode().splitlines() if ":" in line)}

    def window_strings(self, name):
        """The strings of a text property of the window, as xprop shows them;
        None once the window has gone."""
        status, out = self.x("xprop", "-id", self.window, "-notype", name)
        line = out.decode(errors="replace").strip()
        if status != 0 or " = " not in line:
            return None
        return [field.strip().strip('"') for field in line.split(" = ", 1)[1].split(",")]

    def window_geometry(self):
        """The window's area on the screen, as import's crop geometry."""
        info = self.window_info()
        return "%sx%s+%s+%s" % (info["Width"], info["Height"],
                                info["Absolute upper-left X"], info["Absolute upper-left Y"])

    def capture(self):
        # The window's area of the whole screen: asked for a window that has
        # just gone, import would fall back to letting the user pick one, and
        # hold the server while it waits.
        status, out = self.x("import", "-window", "root", "-crop", self.geometry, "+repage",
                             "-depth", "8", "ppm:-")
        check(status == 0 and out, "import could not capture %s" % self.geometry)
        return Frame.from_ppm(out)

    def keep(self, frame, label):
        self.shots += 1
        frame.save_png(os.path.join(self.artifacts, "%03d-%s.png" % (self.shots, label)))

    def screenshot(self, label):
        frame = self.capture()
        self.keep(frame, label)
        return frame

    def look(self, label):
        return self.screenshot(label).classify()

    def wait_for(self, label, condition, timeout, what):
        """Takes screenshots until one satisfies condition; returns its scene."""
        deadline = time.monotonic() + timeout
        scene = None
        while time.monotonic() < deadline:
            check(self.proc.poll() is None,
                  "the game exited with status %s while waiting for %s"
                  % (self.proc.returncode, what))
            scene = self.look(label)
            if condition(scene):
                return scene
        raise CaseFailed("no %s within %d s; last frame: %s" % (what, timeout, scene))

    def keys(self, *commands):
        """Real key presses through XTEST, to the window holding the focus."""
        self.x("xdotool", *commands)

    def close(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.watch.close()
        self.server.stop()
        shutil.rmtree(self.workdir, ignore_errors=True)


# ---------------------------------------------------------------- cases

def expect_startup_failure(session, stdout_must_have, reason):
    session.start_game()
    status = session.wait_exit()
    out, err = session.output()
    session.watch.poll()
    check(STARTUP_FAILURE + reason in err.splitlines(),
          "standard error lacks the start-up failure line with %r: %r" % (reason, err))
    check(status == 3, "exit status %s, expected 3" % status)
    check(not session.watch.mapped and not session.watch.created,
          "windows were created %s and mapped %s" % (session.watch.created, session.watch.mapped))
    for line in stdout_must_have:
        check(line in out.splitlines(), "standard output lacks %r: %r" % (line, out))
    return out


def case_no_level(game, artifacts):
    """No levels/1 (only a levels/2): the game refuses to start, windowless."""
    session = Session(game, artifacts, {2: LEVEL_SCENE})
    try:
        out = expect_startup_failure(session, [], "No such file or directory")
        check(out == "", "a missing file should print nothing on standard output: %r" % out)
    finally:
        session.close()


def case_crlf_level(game, artifacts):
    """A level 1 with CR LF line ends is rejected right after its header."""
    session = Session(game, artifacts, {1: LEVEL_SCENE.replace("\n", "\r\n")})
    try:
        expect_startup_failure(session, ["Newline expected"], "format error")
    finally:
        session.close()


def case_fifo_level(game, artifacts):
    """A FIFO as levels/1 is refused at once, unread, instead of hanging the game."""
    session = Session(game, artifacts, {})
    try:
        os.mkfifo(os.path.join(session.workdir, "levels", "1"))
        expect_startup_failure(session, [], "not a regular file")
    finally:
        session.close()


def free_display():
    """A display number no X server on this machine is using."""
    number = 4999
    while (os.path.exists("/tmp/.X11-unix/X%d" % number)
           or os.path.exists("/tmp/.X%d-lock" % number)):
        number += 1
    return ":%d" % number


def case_no_display(game, artifacts):
    """No X server to show the window: one line naming DISPLAY, status 1, at once."""
    session = Session(game, artifacts, {1: LEVEL_SCENE})
    try:
        base = {k: v for k, v in session.env.items() if k not in ("DISPLAY", "SDL_VIDEODRIVER")}
        dead = free_display()
        for env, says in ((base, "DISPLAY is not set"),
                          (dict(base, DISPLAY=dead), "no X server answers at DISPLAY=" + dead)):
            session.start_game(env)
            status = session.wait_exit()
            out, err = session.output()
            ours = [line for line in err.splitlines() if line.startswith(NO_DISPLAY)]
            check(ours == [NO_DISPLAY + says],
                  "expected one line %r on standard error: %r" % (NO_DISPLAY + says, err))
            check(status == 1, "exit status %s without a display, expected 1" % status)
    finally:
        session.close()


def case_shows_level(game, artifacts):
    """A valid level: one 960x720 window that shows floor, dominoes and player."""
    session = Session(game, artifacts, {1: LEVEL_SCENE})
    try:
        session.start_game()
        window = session.wait_window()
        info = session.window_info()
        size = (info["Width"], info["Height"])
        check(size == ("960", "720"), "window is %sx%s, expected 960x720" % size)
        check(info["Map State"] == "IsViewable", "window map state is %s" % info["Map State"])
        session.watch.poll()
        check(int(window) in session.watch.mapped,
              "window %s was not seen being mapped (mapped: %s)" % (window, session.watch.mapped))
        name = session.window_strings("WM_NAME")
        check(name == [title(1)], "window title is %s, expected %r" % (name, title(1)))
        wm_class = session.window_strings("WM_CLASS")
        expected = desktop_wm_class()
        check(wm_class == [expected, expected],
              "window class is %s, the desktop entry expects %r" % (wm_class, expected))

        scene = session.wait_for("level", Scene.shows_level, SCENE_TIMEOUT,
                                 "frame showing blue floor, yellow dominoes and grey player")
        floor, yellow, grey = (scene.regions[n] for n in ("blue", "yellow", "grey"))
        # The player comes out of the door at the left end; the dominoes
        # stand to its right, on the floor: above its bottom edge on screen.
        check(grey.centre()[0] < yellow.centre()[0],
              "player is not left of the dominoes: %s" % scene)
        check(yellow.centre()[1] < floor.bottom and grey.centre()[1] < floor.bottom,
              "dominoes or player are not standing on the floor: %s" % scene)
    finally:
        session.close()


class PlayWatcher(threading.Thread):
    """Screenshots and the window title in the background: counts the fades
    to black it sees and lists the titles in the order they appeared."""

    def __init__(self, session):
        super().__init__(daemon=True)
        self.session = session
        self.fades = 0
        self.titles = []
        self.running = True

    def run(self):
        dark = True  # until the first frame has been drawn
        try:
            while self.running and self.session.proc.poll() is None:
                name = self.session.window_strings("WM_NAME")
                if name and (not self.titles or self.titles[-1] != name[0]):
                    self.titles.append(name[0])
                frame = self.session.capture()
                if frame.is_dark() and not dark:
                    self.fades += 1
                    self.session.keep(frame, "fade")
                dark = frame.is_dark()
        except CaseFailed:
            pass  # the game ended while a frame was being taken: nothing left to see

    def stop(self):
        self.running = False
        self.join(20)


def play_to_the_end(session):
    """Plays one-row levels of a push to the right until the game ends.

    Each round re-presses the right arrow (releasing Up stops the walk),
    pushes right with the full stop and tries Up. A push only counts in the
    domino's cell and Up only leads out in the opened exit's cell, so the same
    round works wherever the player is; a player who overshoots walks off the
    end and the level starts again. Returns the exit status and the watcher.
    """
    session.start_game()
    session.wait_window()
    watcher = PlayWatcher(session)
    watcher.start()
    deadline = time.monotonic() + SOLVE_TIMEOUT
    while session.proc.poll() is None and time.monotonic() < deadline:
        session.keys("keyup", "Right", "keydown", "Up", "keyup", "Up",
                     "keydown", "Right", "key", "period")
    session.keys("keyup", "Right")
    check(session.proc.poll() is not None,
          "the game still ran after %d s of play; saw %d fades to black"
          % (SOLVE_TIMEOUT, watcher.fades))
    status = session.wait_exit()
    watcher.stop()
    return status, watcher


def case_solves_two_levels(game, artifacts):
    """Two levels played to the end with real key presses, each named in the
    window title while it is played; the game then ends."""
    session = Session(game, artifacts, {1: LEVEL_ONE_TRIGGER, 2: LEVEL_CHAIN})
    try:
        status, watcher = play_to_the_end(session)
        out, err = session.output()
        check(GAME_FINISHED in out.splitlines(),
              "standard output lacks %r: %r (stderr %r)" % (GAME_FINISHED, out, err))
        check(status == 0, "exit status %s, expected 0" % status)
        check(watcher.fades >= 2, "saw %d fades to black, expected one per level"
              % watcher.fades)
        check(watcher.titles == [title(1), title(2)],
              "window titles were %s, expected %s" % (watcher.titles, [title(1), title(2)]))
    finally:
        session.close()


def case_broken_next_level(game, artifacts):
    """A level 2 that exists but cannot be loaded is no end of the game: status 3."""
    session = Session(game, artifacts, {1: LEVEL_ONE_TRIGGER,
                                        2: LEVEL_CHAIN.replace("\n", "\r\n")})
    try:
        status, _ = play_to_the_end(session)
        out, err = session.output()
        check("Newline expected" in out.splitlines(),
              "standard output lacks the loader's message: %r" % out)
        check("Did you just finish the game" not in out,
              "the broken level was taken for the end of the game: %r" % out)
        check(BROKEN_LEVEL_2 + "format error" in err.splitlines(),
              "standard error lacks %r: %r" % (BROKEN_LEVEL_2 + "format error", err))
        check(status == 3, "exit status %s, expected 3" % status)
    finally:
        session.close()


def case_fall_restarts(game, artifacts):
    """Walking off the end of the floor fades out and restarts the same level."""
    session = Session(game, artifacts, {1: LEVEL_LEDGE})
    try:
        session.start_game()
        session.wait_window()
        settled = session.wait_for("start", lambda s: s.player_along_floor() is not None,
                                   SCENE_TIMEOUT, "frame showing floor and player")
        start = settled.player_along_floor()
        check(start < 0.25, "player does not start at the floor's left end: %s" % settled)

        session.keys("keydown", "Right")
        furthest = start
        scene = settled
        deadline = time.monotonic() + SCENE_TIMEOUT
        while not scene.is_dark():
            check(time.monotonic() < deadline, "no fade to black within %d s" % SCENE_TIMEOUT)
            check(session.proc.poll() is None,
                  "the game exited with status %s while the player walked"
                  % session.proc.returncode)
            scene = session.look("walk")
            along = scene.player_along_floor()
            if along is not None:
                furthest = max(furthest, along)
        session.keys("keyup", "Right")
        check(furthest > 0.5, "the player was never seen walking along the floor")

        session.wait_for("restart", lambda s: not s.is_dark() and s.shows_level()
                         and s.player_along_floor() < 0.25, SCENE_TIMEOUT,
                         "frame with the player back at the entrance")
        check(session.proc.poll() is None, "the game ended instead of restarting the level")
        out, err = session.output()
        check(out == "", "unexpected output after the restart: %r" % out)
    finally:
        session.close()


def case_close_window(game, artifacts):
    """The window manager's close request ends the game with status 0."""
    session = Session(game, artifacts, {1: LEVEL_SCENE})
    try:
        session.start_game()
        window = session.wait_window()
        session.wait_for("level", Scene.shows_level, SCENE_TIMEOUT, "frame showing the level")
        session.watch.request_close(int(window))
        status = session.wait_exit()
        check(status == 0, "exit status %s after the close request, expected 0" % status)
    finally:
        session.close()


def case_slow_frame_quit(game, artifacts):
    """Frames of seconds fill no queue: SIGTERM still ends the game, within a frame."""
    check(SLOW_SWAP and os.path.exists(SLOW_SWAP), "the slow swap shim is missing: %s" % SLOW_SWAP)
    session = Session(game, artifacts, {1: LEVEL_SCENE})
    try:
        session.start_game(dict(session.env, LD_PRELOAD=SLOW_SWAP,
                                SLOW_SWAP_MS=str(SLOW_SWAP_MS)))
        session.wait_window()
        # Two whole frames: long enough for the timer to have filled the queue.
        time.sleep(2 * SLOW_SWAP_MS / 1000 + 0.5)
        check(session.proc.poll() is None,
              "the game exited with status %s before SIGTERM" % session.proc.returncode)
        sent = time.monotonic()
        session.proc.terminate()
        # The frame under way ends, the next pass takes the quit and draws
        # its own frame; then the game ends.
        allowed = 2 * SLOW_SWAP_MS / 1000 + 3
        status = session.wait_exit(allowed)
        took = time.monotonic() - sent
        check(status == 0, "exit status %s after SIGTERM, expected 0" % status)
        print("slow_frame_quit: frames of %.1f s; the game ended %.1f s after SIGTERM"
              % (SLOW_SWAP_MS / 1000, took))
    finally:
        session.close()


def frame_hashes(session, game, frames, extra_env):
    """Plays the game frame by frame from PLAY_KEYS through the shim; the
    hash of every frame's pixels, and the last frame kept as an image."""
    out = os.path.join(session.artifacts, "frames-%d.txt" % session.shots)
    ppm = os.path.join(session.artifacts, "frames-%d.ppm" % session.shots)
    session.shots += 1
    env = dict(session.env, LD_PRELOAD=FRAME_HASHES, FRAMES=str(frames), FRAMES_KEYS=PLAY_KEYS,
               FRAMES_OUT=out, FRAMES_PPM=ppm, **extra_env)
    proc = subprocess.run([game], cwd=session.workdir, env=env, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=SOLVE_TIMEOUT)
    check(os.path.exists(out), "the shim wrote no hashes; stderr: %r" % proc.stderr)
    with open(out) as f:
        hashes = f.read().splitlines()
    check(len(hashes) > frames // 2, "only %d frames drawn; stderr: %r" % (len(hashes), proc.stderr))
    return hashes


def expect_same_pixels(game, artifacts, levels, frames):
    """The same run drawn with the cells out of view skipped and with every
    cell drawn (and by the reference build, if given): every frame the same
    to the pixel."""
    check(FRAME_HASHES and os.path.exists(FRAME_HASHES),
          "the frame hashes shim is missing: %s" % FRAME_HASHES)
    for number, text in levels:
        session = Session(game, artifacts, {1: text})
        try:
            culled = frame_hashes(session, game, frames, {})
            runs = [("every cell drawn", frame_hashes(session, game, frames,
                                                      {"TOPPLETON_DRAW_EVERYTHING": "1"}))]
            if REFERENCE_GAME:
                runs.append(("the reference build", frame_hashes(session, REFERENCE_GAME, frames, {})))
            for what, hashes in runs:
                check(len(hashes) == len(culled), "level %s: %d frames culled, %d with %s"
                      % (number, len(culled), len(hashes), what))
                for a, b in zip(culled, hashes):
                    check(a == b, "level %s: frame %s differs from the one with %s (%s, %s)"
                          % (number, a.split()[0], what, a, b))
            print("level %s: %d frames the same" % (number, len(culled)))
        finally:
            session.close()


def shipped_level(number):
    with open(os.path.join(REPO, "levels", str(number)), "rb") as f:
        return f.read()


def case_culling_same_pixels(game, artifacts):
    """Skipping the cells out of view changes no pixel: shipped level 1 and
    a big level of 160 x 40 cells, each played frame by frame twice."""
    with open(os.path.join(REPO, "tests", "replay", "fixtures", "big", "1"), "rb") as f:
        big = f.read()
    expect_same_pixels(game, artifacts, [(1, shipped_level(1)), ("big", big)], 400)


def case_culling_same_pixels_shipped(game, artifacts):
    """As culling_same_pixels, on every shipped level (minutes; run by hand)."""
    levels = []
    number = 1
    while os.path.exists(os.path.join(REPO, "levels", str(number))):
        levels.append((number, shipped_level(number)))
        number += 1
    expect_same_pixels(game, artifacts, levels, 400)


CASES = {
    "no_level": case_no_level,
    "crlf_level": case_crlf_level,
    "fifo_level": case_fifo_level,
    "no_display": case_no_display,
    "shows_level": case_shows_level,
    "solves_two_levels": case_solves_two_levels,
    "broken_next_level": case_broken_next_level,
    "fall_restarts": case_fall_restarts,
    "close_window": case_close_window,
    "slow_frame_quit": case_slow_frame_quit,
    "culling_same_pixels": case_culling_same_pixels,
    "culling_same_pixels_shipped": case_culling_same_pixels_shipped,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True, help="path of the game executable")
    parser.add_argument("--artifacts", required=True, help="directory for screenshots and output")
    parser.add_argument("--slow-swap", help="path of the slow swap LD_PRELOAD shim")
    parser.add_argument("--frame-hashes", help="path of the frame-by-frame LD_PRELOAD shim")
    parser.add_argument("--reference-game",
                        help="another build of the game whose frames must be the same too")
    parser.add_argument("--keep", action="store_true",
                        help="keep screenshots and output when the case passes too")
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    global SLOW_SWAP, FRAME_HASHES, REFERENCE_GAME
    SLOW_SWAP = args.slow_swap and os.path.abspath(args.slow_swap)
    FRAME_HASHES = args.frame_hashes and os.path.abspath(args.frame_hashes)
    REFERENCE_GAME = args.reference_game and os.path.abspath(args.reference_game)

    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print("FAIL %s: missing tools: %s" % (args.case, ", ".join(missing)))
        return 1
    shutil.rmtree(args.artifacts, ignore_errors=True)
    os.makedirs(args.artifacts)
    started = time.monotonic()
    try:
        CASES[args.case](os.path.abspath(args.game), args.artifacts)
    except CaseFailed as failure:
        print("FAIL %s: %s" % (args.case, failure))
        print("screenshots and output kept in %s" % args.artifacts)
        return 1
    print("ok %s (%.1f s)" % (args.case, time.monotonic() - started))
    if not args.keep:
        shutil.rmtree(args.artifacts, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
