#!/usr/bin/env python3
"""The designer's CPU share while nobody touches it.

Starts the designer in a copy of the demo installation on a desktop of its own
(scripts/with-display --desktop: openbox on a 1280 x 1024 screen), waits until
the window is maximised and the selection's pulse has slowed down, then counts
the process's CPU time over 10 s and reads the frames per second from the
title every second. The same run follows with --no-frame-cap, which draws as
fast as the machine can, as the designer did before its frames were paced.
The figure must stay at or below 0.5 cores; the goal is 0.1.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

MEASURE = 10.0    # seconds
SETTLE = 4.0      # seconds after the window is maximised: start-up done, the pulse slowed down
LIMIT, GOAL = 0.5, 0.1


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


def cpu_seconds(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")   # utime + stime


def designer_window(proc, limit=60):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if proc.poll() is not None:
            sys.exit("idle_bench: the designer ended early")
        for wid in xdotool("search", "--name", r"Veltora Corvane \(FPS=").split():
            width = re.search(r"Width: ([0-9]+)", subprocess.run(["xwininfo", "-id", wid], capture_output=True,
                                                                   text=True).stdout)
            if width and int(width.group(1)) == 1280:
                return wid
        time.sleep(0.1)
    sys.exit("idle_bench: no maximised window within %d s" % limit)


def measure(designer, root, options):
    proc = subprocess.Popen([designer, *options], cwd=root, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wid = designer_window(proc)
        time.sleep(SETTLE)
        rates, start, began = [], cpu_seconds(proc.pid), time.monotonic()
        while time.monotonic() - began < MEASURE:
            time.sleep(1.0)
            rate = re.search(r"FPS=([0-9]+)", xdotool("getwindowname", wid))
            rates.append(int(rate.group(1)) if rate else 0)
        cores = (cpu_seconds(proc.pid) - start) / (time.monotonic() - began)
        return cores, sum(rates) / len(rates)
    finally:
        proc.terminate()
        proc.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--designer", required=True)
    parser.add_argument("--demo", required=True)
    parser.add_argument("--with-display", required=True)
    parser.add_argument("--inside", action="store_true")     # already on the desktop
    args = parser.parse_args()
    if not args.inside:
        return subprocess.call([args.with_display, "--desktop", sys.executable, *sys.argv, "--inside"])
    with tempfile.TemporaryDirectory(prefix="corvane-idle-") as root:
        shutil.copytree(args.demo, root, dirs_exist_ok=True)
        designer = os.path.abspath(args.designer)
        paced = measure(designer, root, [])
        uncapped = measure(designer, root, ["--no-frame-cap"])
    print("idle, template, 1280 x 1005, %.0f s:" % MEASURE)
    print("  paced:          %.3f cores, %.1f frames per second" % paced)
    print("  --no-frame-cap: %.3f cores, %.1f frames per second" % uncapped)
    verdict = "goal met" if paced[0] <= GOAL else "within the limit" if paced[0] <= LIMIT else "OVER THE LIMIT"
    print("  limit %.1f cores, goal %.1f: %s" % (LIMIT, GOAL, verdict))
    return 0 if paced[0] <= LIMIT else 1


if __name__ == "__main__":
    sys.exit(main())
