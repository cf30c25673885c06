#!/usr/bin/env python3
"""Measures how fast the real game answers a quit on a huge level.

    bench/quit-bench.py [--build DIR] [--reference GAME] [--repeats N]
                        [--frames N] [--size WxH] [--levels falling,full]

In an X server of its own (Xvfb, Mesa's software renderer), the game plays
each level below as levels/1. As soon as it has shown FRAMES frames (2 by
default: the third pass, whose tick wakes every domino, is under way, and
the camera is still where a level starts it), the game is asked to quit, by
SIGTERM or by the window manager's close request, and the time until the
process has ended is taken, in wall time and in the CPU time the process
(all its threads) used meanwhile, which a busy machine inflates less, with
the most memory it had resident by then.

Levels, each W x H cells (2048 x 2048 unless --size):
  falling  every other row of open air full of standard dominoes, dropping
           in step for minutes (stresslevel --falling)
  full     a floor row at the bottom and a standard domino in every cell:
           all drop, then collide and leave play within a few seconds

With --reference, another build of the game runs each case right after this
one, so that the two can be compared as ratios within one run on a busy
machine. Prints one line per run and the medians.
"""

import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time


# The game's frames and CPU time are read, and its window asked to close, as
# the real-window tests do it.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "window"))
from window_test import XWatch, cpu_seconds, swaps  # noqa: E402


def peak_resident_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmHWM:")) / 1024


def window_of(pid, env):
    for _ in range(200):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env=env,
                             capture_output=True, text=True).stdout.split()
        if out:
            return int(out[0])
        time.sleep(0.05)
    return None


def run(game, workdir, shim, env, how, frames, xlib):
    """One run: (frames shown by the quit, seconds to quit, CPU seconds to quit,
    exit status, peak MB)."""
    count = os.path.join(workdir, "swaps")
    if os.path.exists(count):
        os.unlink(count)  # the last run's count, until the shim starts afresh
    proc = subprocess.Popen([game], cwd=workdir, env=dict(env, LD_PRELOAD=shim, SWAPCOUNT_FILE=count),
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = window_of(proc.pid, env) if how == "close" else None
        while swaps(count) < frames:
            if proc.poll() is not None:
                sys.exit("quit-bench: %s ended with %s before frame %d" % (game, proc.returncode, frames))
            time.sleep(0.002)
        sent = time.monotonic()
        shown = swaps(count)
        resident = peak_resident_mb(proc.pid)
        cpu = cpu_seconds(proc.pid)
        if how == "close":
            xlib.request_close(window)
        else:
            proc.send_signal(signal.SIGTERM)
        _, status, usage = os.wait4(proc.pid, 0)
        ended = time.monotonic()
        proc.returncode = os.waitstatus_to_exitcode(status)
        return shown, ended - sent, usage.ru_utime + usage.ru_stime - cpu, proc.returncode, resident
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--build", default=os.path.join(root, "build-bench"))
    parser.add_argument("--reference", help="another build of the game, run beside this one")
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--frames", type=int, default=2, help="frames shown before the quit")
    parser.add_argument("--size", default="2048x2048")
    parser.add_argument("--levels", default="falling,full")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    games = [("game", os.path.join(build, "toppleton"))]
    if args.reference:
        games.append(("reference", os.path.abspath(args.reference)))
    shim = os.path.join(build, "bench", "swapcount.so")
    width, height = (int(n) for n in args.size.split("x"))

    work = tempfile.mkdtemp(prefix="toppleton-quit-bench-")
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp"], pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    try:
        with os.fdopen(read_end) as pipe:
            display = ":" + pipe.readline().strip()
        env = dict(os.environ, DISPLAY=display, LIBGL_ALWAYS_SOFTWARE="1")
        xlib = XWatch(display)
        levels = {}
        for name in args.levels.split(","):
            workdir = os.path.join(work, name)
            os.makedirs(os.path.join(workdir, "levels"))
            path = os.path.join(workdir, "levels", "1")
            if name == "falling":
                with open(path, "w") as f:
                    subprocess.run([os.path.join(build, "bench", "stresslevel"), "--falling", str(width),
                                    str(height)], stdout=f, stderr=subprocess.DEVNULL, check=True)
            else:
                with open(path, "w") as f:
                    f.write("%d %d 0 0 %d 0\n" % (width, height, width - 1))
                    f.write((" " * width + "\n") * (height - 1) + "(" + "_" * (width - 2) + ")\n")
                    f.write(("N" * width + "\n") * height)
            levels[name] = workdir
        print("quit-bench: %d cores, load %s" % (os.cpu_count(), open("/proc/loadavg").read().strip()))
        results = {}
        for i in range(args.repeats):
            for level, workdir in levels.items():
                for how in ("signal", "close"):
                    for who, game in games:
                        shown, quit_s, cpu, status, resident = run(game, workdir, shim, env, how, args.frames, xlib)
                        results.setdefault((level, how, who), []).append((quit_s, cpu))
                        print("%-8s %-7s %-10s quit %6.2f s, %5.2f s CPU  (%d frames shown, status %s, %.0f MB "
                              "resident)" % (level, how, who, quit_s, cpu, shown, status, resident), flush=True)
        print("quit-bench: load after the runs %s" % open("/proc/loadavg").read().strip())
        print("\nmedians of %d runs" % args.repeats)
        for (level, how, who), runs in results.items():
            walls = [r[0] for r in runs]
            print("%-8s %-7s %-10s quit %6.2f s (%.2f to %.2f s), %5.2f s CPU"
                  % (level, how, who, statistics.median(walls), min(walls), max(walls),
                     statistics.median(r[1] for r in runs)))
    finally:
        server.kill()
        server.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
