#!/usr/bin/env python3
"""Real-window tests: the game binary in its own X server, played with key presses.

Each case starts a fresh Xvfb (which picks its own display and reports it
through -displayfd), writes its levels into a fresh working directory, runs
the real game there with Mesa's software renderer, presses keys through
XTEST with xdotool and looks at the window with xdotool, xprop and
ImageMagick's import. A small Xlib client (ctypes) sees windows being created
and mapped, and sends the window manager's close request.

    window_test.py --game PATH [--game-drawing-everything PATH] --artifacts DIR [--slow-swap LIB] [--swap-count LIB] [--keep] CASE

Screenshots (PPM) and the game's output go to DIR; they are removed when the
case passes, unless --keep is given. Exit status 0 means the case passed, 1
that it failed (a missing tool is a failure too, never a skip).
"""

import argparse
import ctypes
import ctypes.util
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

TOOLS = ["Xvfb", "xdotool", "xprop", "import"]
HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.join(HERE, "..", "..")
DESKTOP_ENTRY = os.path.join(HERE, "..", "..", "packaging", "io.toppleton.Toppleton.desktop")

# Real seconds. The game's clock slows down when frames take long to draw,
# so these are generous on purpose.
TIMEOUT = 20
SOLVE_TIMEOUT = 90
SLOW_SWAP_MS = 3000  # more than the 2.56 s in which 128 refreshes fill SDL's queue
# An X server refuses a new client for a moment while it still counts some
# that have just gone; the X clients here, like the game, try again for this
# long (seconds).
X_PATIENCE = 2
# A quit must end the game within this much CPU time (seconds, all its
# threads) even on a level of millions of falling dominoes, while the camera
# is still near the player: it takes half a second or less. CPU time, as the
# busy test machine can stretch the wall time several times over.
HUGE_QUIT_CPU = 1.5
# A signal while a level is read must end the game within this long (s).
LOADING_QUIT_LIMIT = 1.5

ONE_TRIGGER = "10 1 0 0 6 0\n(________)\n  T       \n"  # pushed right, it opens the exit
CHAIN = "12 1 0 0 8 0\n(__________)\n   NT       \n"   # a domino that fells the trigger
SCENE = "8 2 0 0 7 1\n   (___)\n(______)\n        \n  NN T  \n"



def run_x(command, env, timeout=10):
    """Runs an X client; one the server refused for a moment is run again.
    Its output stays bytes: some clients write pictures."""
    deadline = time.monotonic() + X_PATIENCE
    while True:
        result = subprocess.run(command, env=env, capture_output=True, timeout=timeout)
        refused = b"open display" in result.stderr or b"open X server" in result.stderr
        if result.returncode == 0 or not refused or time.monotonic() > deadline:
            return result
        time.sleep(0.02)


def open_display(xlib, display):
    """An Xlib connection of its own, asked for again while the server refuses
    it for a moment; None when it never accepts."""
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    deadline = time.monotonic() + X_PATIENCE
    dpy = xlib.XOpenDisplay(display.encode())
    while not dpy and time.monotonic() < deadline:
        time.sleep(0.02)
        dpy = xlib.XOpenDisplay(display.encode())
    return dpy


def huge_level(side=2048):
    """The largest the loader takes, 4 million cells: a floor row at the
    bottom and a standard domino in every cell, so that every domino above
    the floor drops at the first tick."""
    return ("%d %d 0 0 %d 0\n" % (side, side, side - 1) + (" " * side + "\n") * (side - 1)
            + "(" + "_" * (side - 2) + ")\n" + ("N" * side + "\n") * side)


# Keys for the frame-by-frame runs, by frame (50 frames a second of game
# time): out of the door, a few steps right and a push, back left and a push
# the other way, a long walk right, up in front of the exit, and a grab.
PLAY_KEYS = ("30:right:down 62:right:up 70:period:down 71:period:up 120:left:down 150:left:up "
             "160:comma:down 161:comma:up 200:right:down 330:right:up 335:up:down 336:up:up "
             "340:space:down 341:space:up")
PLAYED_FRAMES = 400


class CaseFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CaseFailed(message)


def title(level):
    return "Toppleton - level %d" % level


# Lighting scales a colour and adds a little ambient light, so each test is on
# the ratios between the channels and on a floor of brightness.
COLOURS = {
    "blue": lambda r, g, b: b >= 60 and r * 5 < b and 0.35 * b <= g <= 0.65 * b,  # floor (0, 0.5, 1)
    "yellow": lambda r, g, b: r >= 60 and abs(r - g) * 6 < r and b * 4 < r,      # domino (1, 1, 0)
    "grey": lambda r, g, b: min(r, g, b) >= 110 and max(r, g, b) - min(r, g, b) <= 20,  # player
}
MIN_SAMPLES = {"blue": 400, "yellow": 40, "grey": 8}  # of every fourth pixel


class Scene:
    """What one screenshot shows: per colour the count, centre and box of its
    pixels, on every second pixel of every second row; and whether it is dark.
    Lit head-on, the floor shows its blue at 231 of 255 and every level has
    floor in view; the fade darkens all alike, below 200 within its first fifth."""

    def __init__(self, ppm):
        magic, width, height, maxval, rgb = ppm.split(maxsplit=4)
        check(magic == b"P6" and maxval == b"255", "screenshot is not an 8-bit PPM")
        width, height = int(width), int(height)
        self.dark = max(rgb) < 200
        self.regions = {name: [] for name in COLOURS}
        for y in range(0, height, 2):
            for x in range(0, width, 2):
                r, g, b = rgb[3 * (y * width + x):3 * (y * width + x) + 3]
                if r >= 60 or b >= 60:
                    for name, matches in COLOURS.items():
                        if matches(r, g, b):
                            self.regions[name].append((x, y))

    def shows(self, *names):
        return all(len(self.regions[n]) >= MIN_SAMPLES[n] for n in names)

    def centre(self, name):
        points = self.regions[name]
        return tuple(sum(p[i] for p in points) / len(points) for i in (0, 1))

    def __str__(self):
        return "; ".join("%s: %d samples" % (n, len(r)) for n, r in self.regions.items()) + \
            ("; dark" if self.dark else "")


class XWatch:
    """An Xlib client that records every window created or mapped on the screen."""

    def __init__(self, display):
        x = self.xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        # Window ids and atoms fit in an int; only the display is a pointer.
        # An X error (a window that has just gone) must not end this process.
        self.on_error = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda *_: 0)
        x.XSetErrorHandler(self.on_error)
        self.dpy = ctypes.c_void_p(open_display(x, display))
        check(self.dpy.value, "cannot open display %s with Xlib" % display)
        x.XSelectInput(self.dpy, x.XDefaultRootWindow(self.dpy), 1 << 19)  # SubstructureNotify
        x.XSync(self.dpy, 0)
        self.created, self.mapped = [], []

    def poll(self):
        self.xlib.XSync(self.dpy, 0)
        # type, serial, send_event, display, event window, window, then the rest of 24 longs
        event = (ctypes.c_long * 24)()
        while self.xlib.XPending(self.dpy):
            self.xlib.XNextEvent(self.dpy, event)
            kind = {16: self.created, 19: self.mapped}.get(event[0] & 0xffffffff)
            if kind is not None:
                kind.append(event[5])

    def request_close(self, window):
        """WM_DELETE_WINDOW in a WM_PROTOCOLS client message, as a window manager sends it."""
        atom = lambda name: self.xlib.XInternAtom(self.dpy, name, 0)
        # type 33 (ClientMessage), serial, send_event, display, window, message type, format 32, data
        message = (ctypes.c_long * 24)(33, 0, 0, 0, window, atom(b"WM_PROTOCOLS"), 32, atom(b"WM_DELETE_WINDOW"))
        self.xlib.XSendEvent(self.dpy, window, 0, 0, message)
        self.xlib.XSync(self.dpy, 0)


class Session:
    """One case's world: its X server, its working directory and the game."""

    def __init__(self, args, levels):
        self.args = args
        self.workdir = tempfile.mkdtemp(prefix="toppleton-window-")
        os.makedirs(os.path.join(self.workdir, "levels"))
        for number, text in levels.items():
            with open(os.path.join(self.workdir, "levels", str(number)), "w") as f:
                f.write(text)
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        self.proc = None
        if not number.isdigit():
            self.close()
            raise CaseFailed("Xvfb reported no display")
        self.env = dict(os.environ, DISPLAY=":" + number, LIBGL_ALWAYS_SOFTWARE="1")
        try:
            self.watch = XWatch(self.env["DISPLAY"])
        except Exception:
            self.close()
            raise
        self.shots = 0

    def close(self):
        for proc in (self.proc, self.server):
            if proc and proc.poll() is None:
                proc.kill()
                proc.wait()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def start(self, memory_kb=None, **env):
        """Starts the game; memory_kb limits its address space."""
        self.out = open(os.path.join(self.args.artifacts, "stdout.txt"), "w+")
        self.err = open(os.path.join(self.args.artifacts, "stderr.txt"), "w+")
        environment = {k: v for k, v in dict(self.env, **env).items() if v is not None}
        limit = None
        if memory_kb:
            limit = lambda: resource.setrlimit(resource.RLIMIT_AS, (memory_kb * 1024, memory_kb * 1024))
        self.proc = subprocess.Popen([self.args.game], cwd=self.workdir, env=environment, preexec_fn=limit,
                                     stdin=subprocess.DEVNULL, stdout=self.out, stderr=self.err)

    def signal_after(self, sig, delay):
        """Sends sig delay seconds after the game started; returns when it was sent."""
        time.sleep(delay)
        self.proc.send_signal(sig)
        return time.monotonic()

    def mapped(self, library):
        """Waits until the game has a library mapped: it is past the loading of
        the program, in the libraries' own start-up or later."""
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline and self.proc.poll() is None:
            try:
                with open("/proc/%d/maps" % self.proc.pid) as maps:
                    if library in maps.read():
                        return
            except OSError:
                pass
            time.sleep(0.001)
        raise CaseFailed("the game never loaded %s" % library)

    def catching(self, sig):
        """Waits until the game has a handler for sig."""
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline and self.proc.poll() is None:
            try:
                with open("/proc/%d/status" % self.proc.pid) as status:
                    caught = next(int(line.split()[1], 16) for line in status if line.startswith("SigCgt:"))
                if caught & (1 << (sig - 1)):
                    return
            except (OSError, StopIteration):
                pass
            time.sleep(0.001)
        raise CaseFailed("the game never caught signal %d" % sig)

    def finish(self, timeout=TIMEOUT):
        """Waits for the game to end: its exit status, stdout lines and stderr lines."""
        try:
            status = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise CaseFailed("the game was still running after %d s" % timeout)
        self.out.seek(0)
        self.err.seek(0)
        return status, self.out.read().splitlines(), self.err.read().splitlines()

    def x(self, *command):
        result = run_x(command, self.env)
        return result.returncode, result.stdout.decode(errors="replace")

    def window(self):
        """Waits until the game has a viewable window, gives it the keyboard and
        returns its size and place."""
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            check(self.proc.poll() is None, "the game exited with %s before its window" % self.proc.returncode)
            status, out = self.x("xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid))
            if status == 0 and out.split():
                self.id = out.split()[0]
                self.x("xdotool", "windowfocus", "--sync", self.id)
                size = dict(line.split("=") for line in
                            self.x("xdotool", "getwindowgeometry", "--shell", self.id)[1].split())
                self.geometry = "%(WIDTH)sx%(HEIGHT)s+%(X)s+%(Y)s" % size
                return size
            time.sleep(0.1)
        raise CaseFailed("no window of the game became viewable within %d s" % TIMEOUT)

    def prop(self, name):
        """The strings of a text property of the window; None once it has gone."""
        status, out = self.x("xprop", "-id", self.id, "-notype", name)
        if status != 0 or " = " not in out:
            return None
        return [field.strip().strip('"') for field in out.strip().split(" = ", 1)[1].split(",")]

    def look(self, label):
        # The window's area of the whole screen: asked for a window that has
        # just gone, import would wait for the user to pick one.
        ppm = run_x(["import", "-window", "root", "-crop", self.geometry, "+repage", "-depth", "8", "ppm:-"],
                    self.env).stdout
        check(ppm, "import could not capture %s" % self.geometry)
        self.shots += 1
        with open(os.path.join(self.args.artifacts, "%03d-%s.ppm" % (self.shots, label)), "wb") as f:
            f.write(ppm)
        return Scene(ppm)

    def wait_for(self, label, condition, what):
        deadline = time.monotonic() + TIMEOUT
        scene = None
        while time.monotonic() < deadline:
            check(self.proc.poll() is None, "the game exited while waiting for %s" % what)
            scene = self.look(label)
            if condition(scene):
                return scene
        raise CaseFailed("no %s within %d s; last frame: %s" % (what, TIMEOUT, scene))

    def play_to_the_end(self):
        """Plays one-row levels of a push to the right until the game ends, and
        returns the fades to black and the window titles seen meanwhile.

        Each round presses the right arrow again (releasing Up stops the walk),
        pushes with the full stop and tries Up. A push counts only in the
        domino's cell and Up leads out only in the opened exit's, so the same
        round works anywhere; a player who overshoots falls and starts again."""
        self.start()
        self.window()
        seen = {"fades": 0, "titles": []}

        def watch():
            dark = True  # until the first frame has been drawn
            try:
                while self.proc.poll() is None:
                    name = self.prop("WM_NAME")
                    if name and seen["titles"][-1:] != name:
                        seen["titles"] += name
                    scene = self.look("play")
                    seen["fades"] += scene.dark and not dark
                    dark = scene.dark
            except CaseFailed:
                pass  # the game ended while a frame was being taken
        watcher = threading.Thread(target=watch, daemon=True)
        watcher.start()
        deadline = time.monotonic() + SOLVE_TIMEOUT
        while self.proc.poll() is None and time.monotonic() < deadline:
            self.x("xdotool", "keyup", "Right", "keydown", "Up", "keyup", "Up", "keydown", "Right", "key", "period")
        self.x("xdotool", "keyup", "Right")
        result = self.finish()
        watcher.join(20)
        return result, seen


def refused_at_start(levels, reason, printed=None, memory_kb=None):
    """Level 1 cannot be loaded: one line saying why, status 3, and no window."""
    def case(session):
        if levels is None:
            os.mkfifo(os.path.join(session.workdir, "levels", "1"))
        session.start(memory_kb)
        status, out, err = session.finish()
        session.watch.poll()
        check('Can\'t start: level file "levels/1" could not be loaded: ' + reason in err,
              "standard error lacks the reason %r: %r" % (reason, err))
        check(status == 3, "exit status %s, expected 3" % status)
        check(not session.watch.created, "windows were created: %s" % session.watch.created)
        check(out == printed, "standard output %r, expected %r" % (out, printed))
    return levels or {}, case


def no_display(session):
    """No X server to show the window: one line naming DISPLAY, status 1, at once."""
    number = 4999
    while os.path.exists("/tmp/.X11-unix/X%d" % number) or os.path.exists("/tmp/.X%d-lock" % number):
        number += 1
    for display, says in ((None, "DISPLAY is not set"),
                          (":%d" % number, "no X server accepted a connection at DISPLAY=:%d in 2 s" % number)):
        session.start(DISPLAY=display, SDL_VIDEODRIVER=None)
        status, _, err = session.finish()
        ours = [line for line in err if line.startswith("No display")]
        check(ours == ["No display to open the window on: " + says], "standard error: %r" % err)
        check(status == 1, "exit status %s without a display, expected 1" % status)


def shows_level(session):
    """One 960x720 window, titled and classed, showing floor, dominoes and player."""
    session.start()
    size = session.window()
    check((size["WIDTH"], size["HEIGHT"]) == ("960", "720"), "window is %(WIDTH)sx%(HEIGHT)s" % size)
    session.watch.poll()
    check(int(session.id) in session.watch.mapped, "the window was not seen being mapped")
    check(session.prop("WM_NAME") == [title(1)], "window title is %s" % session.prop("WM_NAME"))
    with open(DESKTOP_ENTRY) as entry:
        expected = [line.split("=", 1)[1].strip() for line in entry if line.startswith("StartupWMClass=")]
    check(session.prop("WM_CLASS") == expected * 2,
          "window class is %s, the desktop entry expects %s" % (session.prop("WM_CLASS"), expected))
    scene = session.wait_for("level", lambda s: s.shows(*COLOURS), "frame showing floor, dominoes and player")
    # The player comes out of the door at the left end; the dominoes stand to
    # its right, on the floor: above its bottom edge on screen.
    floor_bottom = max(y for _, y in scene.regions["blue"])
    check(scene.centre("grey")[0] < scene.centre("yellow")[0], "player is not left of the dominoes: %s" % scene)
    check(max(scene.centre("yellow")[1], scene.centre("grey")[1]) < floor_bottom, "not on the floor: %s" % scene)


def solves_two_levels(session):
    """Two levels played to the end, each named in the title while played; then the game ends."""
    (status, out, err), seen = session.play_to_the_end()
    check("Can't open level 3 (Did you just finish the game?? :)" in out, "stdout %r, stderr %r" % (out, err))
    check(status == 0, "exit status %s, expected 0" % status)
    check(seen["fades"] >= 2, "saw %d fades to black, expected one per level" % seen["fades"])
    check(seen["titles"] == [title(1), title(2)], "window titles were %s" % seen["titles"])


def broken_next_level(session):
    """A level 2 that exists but cannot be loaded is no end of the game: status 3."""
    (status, out, err), _ = session.play_to_the_end()
    check("Newline expected" in out and "Did you just finish the game?? :)" not in " ".join(out),
          "standard output %r" % out)
    check('Can\'t go on: level file "levels/2" could not be loaded: format error' in err, "stderr %r" % err)
    check(status == 3, "exit status %s, expected 3" % status)


def close_window(session):
    """The window manager's close request ends the game with status 0."""
    session.start()
    session.window()
    session.wait_for("level", lambda s: s.shows(*COLOURS), "frame showing the level")
    session.watch.request_close(int(session.id))
    status, _, _ = session.finish()
    check(status == 0, "exit status %s after the close request, expected 0" % status)


def slow_frame_quit(session):
    """Frames of seconds fill no queue: SIGTERM still ends the game, within a frame."""
    check(session.args.slow_swap and os.path.exists(session.args.slow_swap), "the slow swap shim is missing")
    session.start(LD_PRELOAD=os.path.abspath(session.args.slow_swap), SLOW_SWAP_MS=str(SLOW_SWAP_MS))
    session.window()
    time.sleep(2 * SLOW_SWAP_MS / 1000 + 0.5)  # two whole frames: the timer alone would fill the queue
    check(session.proc.poll() is None, "the game exited with %s before SIGTERM" % session.proc.returncode)
    sent = time.monotonic()
    session.proc.terminate()
    # The frame under way ends, the next pass takes the quit and draws its own.
    status, _, _ = session.finish(2 * SLOW_SWAP_MS / 1000 + 3)
    check(status == 0, "exit status %s after SIGTERM, expected 0" % status)
    print("frames of %.1f s; the game ended %.1f s after SIGTERM" % (SLOW_SWAP_MS / 1000, time.monotonic() - sent))


def signal_at_start(session):
    """SIGTERM or SIGINT at any moment of start-up from the moment the game
    has its handler, which it installs before the libraries start up (they
    load SDL 2 and some forty libraries before main): status 0 and nothing
    printed. Only the dynamic loader's own few milliseconds come before."""
    for sig in (signal.SIGTERM, signal.SIGINT):
        for delay in (0, 0.02, 0.1, 0.3):
            session.start()
            session.catching(sig)
            session.signal_after(sig, delay)
            status, out, err = session.finish()
            check((status, out, err) == (0, [], []), "signal %d %d ms after the handler: status %s, printed %r %r"
                  % (sig, delay * 1000, status, out, err))


def signal_while_loading(session):
    """SIGTERM while a level of 4 million cells is read (a second's work,
    which starts once sdl12-compat has loaded SDL 2): the game drops it and
    ends at once, with status 0 and nothing printed."""
    session.start()
    session.mapped("libSDL2")
    sent = session.signal_after(signal.SIGTERM, 0.2)
    status, out, err = session.finish()
    took = time.monotonic() - sent
    check((status, out, err) == (0, [], []), "status %s, printed %r %r" % (status, out, err))
    check(took < LOADING_QUIT_LIMIT, "the game ended %.2f s after SIGTERM" % took)
    print("the game ended %.2f s after SIGTERM" % took)


def huge_level_quit(session):
    """A level of 4 million dominoes, all dropping from the first tick: a close
    request or SIGTERM, sent once three frames have been shown (the tick is
    under way), ends the game after the pass under way, within the limit of
    CPU time.
    With a session bus, as on a desktop: without one, SDL has libdbus fork
    dbus-launch at start-up, and the game's first write to each page of the
    level's 700 MB then costs a copy-on-write fault, seconds in all."""
    check(session.args.swap_count and os.path.exists(session.args.swap_count), "the swap count shim is missing")
    count = os.path.join(session.workdir, "swaps")
    for how in ("close", "signal"):
        if os.path.exists(count):
            os.unlink(count)  # the last run's count, until the shim starts afresh
        session.start(LD_PRELOAD=session.args.swap_count, SWAPCOUNT_FILE=count,
                      DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent")
        session.window()
        while swaps(count) < 3:
            check(session.proc.poll() is None, "the game ended with %s before its third frame" % session.proc.returncode)
            time.sleep(0.002)
        sent, shown, children = time.monotonic(), swaps(count), resource.getrusage(resource.RUSAGE_CHILDREN)
        spent = cpu_seconds(session.proc.pid)
        if how == "close":
            session.watch.request_close(int(session.id))
        else:
            session.proc.terminate()
        status, out, err = session.finish()
        took = time.monotonic() - sent
        reaped = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = reaped.ru_utime + reaped.ru_stime - children.ru_utime - children.ru_stime - spent
        check(status == 0, "exit status %s after the %s, expected 0" % (status, how))
        check(swaps(count) <= shown + 1, "%d frames were shown after the %s" % (swaps(count) - shown, how))
        check(cpu < HUGE_QUIT_CPU, "the game ended %.2f s of CPU after the %s" % (cpu, how))
        print("the game ended %.2f s after the %s, %.2f s of CPU" % (took, how, cpu))


def cpu_seconds(pid):
    """The CPU time a process has used so far, all its threads."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def swaps(path):
    """The frames shown so far, as the swap count shim counts them."""
    try:
        with open(path) as f:
            return int(f.read().split()[0].split("=")[1])
    except (OSError, IndexError, ValueError):
        return 0


class HeldClients:
    """Every client place of an X server taken by bare xcb connections. The
    server's refusal of the last one, which libxcb prints, is not shown."""

    def __init__(self, display):
        xcb = ctypes.CDLL(ctypes.util.find_library("xcb") or "libxcb.so.1")
        xcb.xcb_connect.restype = ctypes.c_void_p
        xcb.xcb_connect.argtypes = (ctypes.c_char_p, ctypes.c_void_p)
        xcb.xcb_connection_has_error.argtypes = (ctypes.c_void_p,)
        xcb.xcb_disconnect.argtypes = (ctypes.c_void_p,)
        self.xcb, self.held = xcb, []
        saved = os.dup(2)
        with open(os.devnull, "w") as quiet:
            os.dup2(quiet.fileno(), 2)
        try:
            while True:
                c = xcb.xcb_connect(display.encode(), None)
                if xcb.xcb_connection_has_error(c):
                    xcb.xcb_disconnect(c)
                    break
                self.held.append(c)
        finally:
            os.dup2(saved, 2)
            os.close(saved)
        check(self.held, "could not take the X server's client places")

    def release(self):
        for c in self.held:
            self.xcb.xcb_disconnect(c)
        self.held = []


def busy_display(session):
    """An X server with no client place free for a moment is waited for:
    the window opens once one is free. Full for good, it ends the game after
    2 s with a message that says so; a quit signal meanwhile ends it quietly."""
    held = HeldClients(session.env["DISPLAY"])
    session.start()
    time.sleep(0.5)
    check(session.proc.poll() is None, "the game gave up at once, status %s" % session.proc.returncode)
    held.release()
    session.window()
    session.proc.terminate()
    status, out, err = session.finish()
    check((status, out, err) == (0, [], []), "status %s, printed %r %r" % (status, out, err))

    held = HeldClients(session.env["DISPLAY"])
    session.start()
    sent = session.signal_after(signal.SIGTERM, 0.5)
    status, out, err = session.finish()
    check((status, out, err) == (0, [], []), "SIGTERM while waiting: status %s, printed %r %r" % (status, out, err))
    check(time.monotonic() - sent < 1, "the game ended %.2f s after SIGTERM" % (time.monotonic() - sent))

    session.start()
    status, _, err = session.finish()
    held.release()
    says = "No display to open the window on: no X server accepted a connection at DISPLAY=%s in 2 s" \
        % session.env["DISPLAY"]
    check(says in err, "standard error: %r" % err)
    check(status == 1, "exit status %s, expected 1" % status)


def frame_hashes(session, game, extra_env):
    """Plays level 1 frame by frame from PLAY_KEYS through the shim: the hash
    of every frame's pixels, the last frame kept as an image."""
    session.shots += 1
    out = os.path.join(session.args.artifacts, "frames-%d.txt" % session.shots)
    env = dict(session.env, LD_PRELOAD=session.args.frame_hashes, FRAMES=str(PLAYED_FRAMES),
               FRAMES_KEYS=PLAY_KEYS, FRAMES_OUT=out,
               FRAMES_PPM=os.path.join(session.args.artifacts, "frames-%d.ppm" % session.shots), **extra_env)
    proc = subprocess.run([game], cwd=session.workdir, env=env, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=SOLVE_TIMEOUT)
    check(os.path.exists(out), "the shim wrote no hashes; stderr: %r" % proc.stderr)
    with open(out) as f:
        hashes = f.read().splitlines()
    check(len(hashes) > PLAYED_FRAMES // 2, "only %d frames drawn; stderr: %r" % (len(hashes), proc.stderr))
    return hashes


def same_pixels(levels):
    """Each level played as level 1 with the cells out of view skipped and
    with every cell drawn (and by the reference build, if given): every
    frame the same to the pixel."""
    def case(session):
        check(session.args.frame_hashes, "no --frame-hashes shim given")
        for name, path in levels():
            shutil.copyfile(path, os.path.join(session.workdir, "levels", "1"))
            culled = frame_hashes(session, session.args.game, {})
            check(session.args.game_drawing_everything, "no --game-drawing-everything given")
            runs = [("every cell drawn", frame_hashes(session, session.args.game_drawing_everything, {}))]
            if session.args.reference_game:
                runs.append(("the reference build", frame_hashes(session, session.args.reference_game, {})))
            for what, hashes in runs:
                check(hashes == culled, "level %s: the frames differ from those with %s (first: %s)"
                      % (name, what, next((a for a, b in zip(culled, hashes) if a != b), len(hashes))))
            print("level %s: %d frames the same" % (name, len(culled)))
    return {}, case


def shipped_levels():
    number = 1
    while os.path.exists(os.path.join(REPO, "levels", str(number))):
        yield number, os.path.join(REPO, "levels", str(number))
        number += 1


CASES = {  # name: (levels, case)
    "no_level": refused_at_start({2: SCENE}, "No such file or directory", []),
    # A level of 4 million cells under a limit on the address space that
    # leaves room for its cells (192 MB) but not for its dominoes (256 MB
    # more), and one that leaves room for neither.
    "memory_for_dominoes": refused_at_start({1: huge_level()}, "not enough memory for its dominoes", [],
                                            memory_kb=300000),
    "memory_for_cells": refused_at_start({1: huge_level()}, "not enough memory for its cells", [],
                                         memory_kb=150000),
    "crlf_level": refused_at_start({1: SCENE.replace("\n", "\r\n")}, "format error", ["Newline expected"]),
    "fifo_level": refused_at_start(None, "not a regular file", []),
    "no_display": ({1: SCENE}, no_display),
    "shows_level": ({1: SCENE}, shows_level),
    "solves_two_levels": ({1: ONE_TRIGGER, 2: CHAIN}, solves_two_levels),
    "broken_next_level": ({1: ONE_TRIGGER, 2: CHAIN.replace("\n", "\r\n")}, broken_next_level),
    "close_window": ({1: SCENE}, close_window),
    "slow_frame_quit": ({1: SCENE}, slow_frame_quit),
    "signal_at_start": ({1: SCENE}, signal_at_start),
    "signal_while_loading": ({1: huge_level()}, signal_while_loading),
    "huge_level_quit": ({1: huge_level()}, huge_level_quit),
    "busy_display": ({1: SCENE}, busy_display),
    # A level of 160 x 40 cells; every shipped level by hand (minutes).
    "culling_same_pixels": same_pixels(lambda: [("big", os.path.join(REPO, "tests", "replay", "fixtures", "big", "1"))]),
    "culling_same_pixels_shipped": same_pixels(shipped_levels),
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True, type=os.path.abspath, help="path of the game executable")
    parser.add_argument("--game-drawing-everything", type=os.path.abspath,
                        help="path of the game built to draw every cell, seen or not")
    parser.add_argument("--artifacts", required=True, help="directory for screenshots and output")
    parser.add_argument("--slow-swap", help="path of the slow swap LD_PRELOAD shim")
    parser.add_argument("--swap-count", type=os.path.abspath, help="path of bench's swap counting LD_PRELOAD shim")
    parser.add_argument("--frame-hashes", type=os.path.abspath, help="path of the frame-by-frame LD_PRELOAD shim")
    parser.add_argument("--reference-game", type=os.path.abspath,
                        help="another build of the game whose frames must be the same too")
    parser.add_argument("--keep", action="store_true", help="keep the artifacts of a case that passes")
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print("FAIL %s: missing tools: %s" % (args.case, ", ".join(missing)))
        return 1
    shutil.rmtree(args.artifacts, ignore_errors=True)
    os.makedirs(args.artifacts)
    started = time.monotonic()
    levels, case = CASES[args.case]
    session = None
    try:
        session = Session(args, levels)
        case(session)
    except CaseFailed as failure:
        print("FAIL %s: %s\nscreenshots and output kept in %s" % (args.case, failure, args.artifacts))
        return 1
    finally:
        if session:
            session.close()
    print("ok %s (%.1f s)" % (args.case, time.monotonic() - started))
    if not args.keep:
        shutil.rmtree(args.artifacts, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
