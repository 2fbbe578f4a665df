#!/usr/bin/env python3
"""End-to-end tests of the designer's window, run under a virtual X server.

Each case starts its own Xvfb, which picks a free display number itself and
reports it through -displayfd, so any number of checkouts can run these
tests at once; then it starts the designer in a fresh temporary root, drives
it with xdotool and checks what a user would see or find afterwards: the
title with the frame rate, the settings file, the program's own screenshots,
the widget gallery's reports. Usage: gui_test.py [paths] CASE
"""
import argparse
import base64
import ctypes
import gzip
import json
import math
import os
import re
import select
import signal
import stat
import struct
import subprocess
import sys
import tempfile
import time
import shutil
import zipfile

TITLE = "Veltora Corvane"
SETTINGS = os.path.join("Vessel_Design", "vrk.cfg")
BACKGROUND = (0, 0, 128)
SCREEN = "1024x768x24"
DISPLAY_LIMIT = 30.0  # seconds for Xvfb to report its display and answer; about 0.2 s when idle
POINTER_LIMIT = 10.0  # seconds for the server to put the pointer where asked; at once when idle


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True).stdout.strip()


def shell_values(*args, keys):
    """The integers named keys in the NAME=VALUE lines that xdotool prints with --shell."""
    values = dict(line.split("=", 1) for line in xdotool(*args).split())
    return tuple(int(values[k]) for k in keys)


def move_pointer(*args):
    """An xdotool pointer move with --sync among args: it returns once the server has put the
    pointer there, so the program receives the move before any event sent after it."""
    try:
        subprocess.run(["xdotool", *map(str, args)], capture_output=True, check=True, timeout=POINTER_LIMIT)
    except (subprocess.TimeoutExpired, subprocess.CalledProcessError) as e:
        raise Failure("the pointer did not move (xdotool %s) within %.0f s: %s" % (" ".join(map(str, args)), POINTER_LIMIT, e))


def output_file(path):
    """Empty, and appended to: reading from the start must not move where the program writes."""
    open(path, "w").close()
    return open(path, "a+")


class Designer:
    """One run of the program in its own temporary root."""

    def __init__(self, program, root, prefix=(), env=None):
        self.root = root
        self.out = output_file(os.path.join(root, "stdout.txt"))
        self.err = output_file(os.path.join(root, "stderr.txt"))
        env = {**os.environ, "ASAN_OPTIONS": "detect_leaks=0", **(env or {})}
        self.started = time.monotonic()
        self.proc = subprocess.Popen([*prefix, program], cwd=root, stdout=self.out, stderr=self.err, env=env)
        self.window = None
        self.origin = None                           # the window's top-left corner on the screen

    def wait_for_title(self, limit=30.0):
        """The window id once its title shows the frame rate; fails after limit seconds.
        The title normally appears within about a second and the time is printed; the
        limit is generous so that a loaded machine does not fail the run."""
        pattern = re.compile(re.escape(TITLE) + r" \(FPS=[0-9]+\)$")
        while time.monotonic() - self.started < limit:
            check(self.proc.poll() is None, "the designer ended early: " + self.stderr())
            for wid in xdotool("search", "--name", re.escape(TITLE)).split():
                name = xdotool("getwindowname", wid)
                if pattern.match(name):
                    self.window = wid
                    print("title %r after %.2f s" % (name, time.monotonic() - self.started))
                    return name
            time.sleep(0.05)
        raise Failure("no title with the frame rate within %.1f s" % limit)

    def key(self, *keys):
        xdotool("key", "--window", self.window, *keys)

    def type_text(self, text):
        xdotool("type", "--window", self.window, "--delay", "30", text)

    def move(self, x, y):
        """The pointer to (x, y) of the window. xdotool's --sync waits for the pointer to leave
        where it is, forever when it is there already: that move is left out."""
        if self.origin is None:
            self.origin = client_area(self)[:2]
        target = (self.origin[0] + x, self.origin[1] + y)
        if shell_values("getmouselocation", "--shell", keys=("X", "Y")) != target:
            move_pointer("mousemove", "--sync", *target)

    def click(self, x, y):
        self.move(x, y)
        xdotool("click", "1")

    def wait(self, limit=15):
        try:
            return self.proc.wait(limit)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise Failure("the designer did not end within %d s" % limit)

    def stdout(self):
        self.out.flush()
        self.out.seek(0)
        return self.out.read()

    def stderr(self):
        self.err.flush()
        self.err.seek(0)
        return self.err.read()

    def wait_for_output(self, pattern, limit=20):
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            found = re.search(pattern, self.stdout(), re.M)
            if found:
                return found
            time.sleep(0.05)
        raise Failure("no output matching %r; got:\n%s" % (pattern, self.stdout()))

    def request_screenshot(self, limit=30):
        """Ctrl+F9; the name of the picture once the program reports it. The key is
        handled after every event sent before it, and the picture is taken at the end
        of the next frame. The limit is generous for a loaded machine; a wait of more
        than a second is printed."""
        before = set(self.stdout().splitlines())
        started = time.monotonic()
        self.key("ctrl+F9")
        while time.monotonic() - started < limit:
            for line in self.stdout().splitlines():
                if line.startswith("screenshot: ") and line not in before:
                    if time.monotonic() - started > 1:
                        print("screenshot reported after %.2f s" % (time.monotonic() - started))
                    return line[len("screenshot: "):]
            time.sleep(0.05)
        raise Failure("no screenshot reported within %d s" % limit)

    def screenshot(self):
        """Ctrl+F9, then the picture the program wrote, as (width, height, pixel function)."""
        return read_bmp(os.path.join(self.root, self.request_screenshot()))

    def sync(self):
        """Returns once the program has handled every event sent so far (a screenshot
        is asked for after them; its file is removed again), instead of a fixed sleep."""
        os.remove(os.path.join(self.root, self.request_screenshot()))


def read_bmp(path):
    data = open(path, "rb").read()
    check(data[:2] == b"BM", "not a BMP")
    size, r1, r2, offset = struct.unpack_from("<IHHI", data, 2)
    (hsize, w, h, planes, bits, compression, image, xppm, yppm, used, important) = \
        struct.unpack_from("<IiiHHIIiiII", data, 14)
    check((size, r1, r2, offset) == (54 + 4 * w * h, 0, 0, 54), "file header %r" % ((size, r1, r2, offset),))
    check((hsize, planes, bits, compression, image, xppm, yppm, used, important) ==
          (40, 1, 32, 0, 4 * w * h, 1000, 1000, 0, 0), "information header")
    check(h > 0 and len(data) == size, "bottom-up rows and the whole file present")

    def pixel(x, y):  # window coordinates, top-left origin; rows are stored bottom first
        at = 54 + ((h - 1 - y) * w + x) * 4
        b, g, r = data[at], data[at + 1], data[at + 2]
        return (r, g, b)
    return w, h, pixel


def is_sky(p):
    # The preview's night sky behind the 2D layer: black, or a white or grey star.
    return p[0] == p[1] == p[2]


def glyph_rows(font_path, text):
    """The 16 row bytes of each character of text, from the console font the program is built from."""
    font = gzip.open(font_path).read()
    check(font[:2] == b"\x36\x04" and font[3] == 16, "a PSF1 font of 16 rows")
    return [font[4 + 16 * c: 4 + 16 * c + 16] for c in text.encode("cp437")]


def settings_text(root):
    path = os.path.join(root, SETTINGS)
    return open(path, "rb").read() if os.path.exists(path) else None


def escape_to_end(d, limit=12):
    """Escape closes the top-most window first: pressed until the designer ends; its exit code."""
    for _ in range(limit):
        d.key("Escape")
        try:
            return d.proc.wait(3)
        except subprocess.TimeoutExpired:
            pass
    raise Failure("the designer did not end after %d presses of Escape" % limit)


def close_window(args, designer):
    subprocess.run([args.closer, designer.window], check=True)


# --- Cases ------------------------------------------------------------------------------------

def case_title_and_escape(args, root):
    d = Designer(args.designer, root)
    name = d.wait_for_title()
    check(name.startswith(TITLE + " (FPS="), name)
    d.key("Escape")
    check(d.wait() == 0, "Escape ends with exit code 0")
    check(settings_text(root) is None, "Escape writes no settings file")


def case_close_writes_settings(args, root):
    d = Designer(args.designer, root)
    d.wait_for_title()
    close_window(args, d)
    check(d.wait() == 0, "closing ends with exit code 0")
    got = settings_text(root)
    check(got == b"author_name=%authorname\r\n", "settings written on close: %r" % got)


def case_settings_read_back(args, root):
    os.makedirs(os.path.join(root, "Vessel_Design"))
    with open(os.path.join(root, SETTINGS), "wb") as f:
        f.write(b"author_name=Ann\r\n")
    d = Designer(args.designer, root)
    d.wait_for_title()
    close_window(args, d)
    check(d.wait() == 0, "closing ends with exit code 0")
    got = settings_text(root)
    check(got == b"author_name=Ann\r\n", "settings read back and written unchanged: %r" % got)


def case_screenshot(args, root):
    d = Designer(args.designer, root)
    d.wait_for_title()
    mx, my = 600, 450
    d.move(mx, my)
    w, h, pixel = d.screenshot()
    check((w, h) == (800, 600), "the whole window: %dx%d" % (w, h))
    # The overlay line, red, centred at half the width, 90 pixels from the top;
    # every pixel of it compared with the font's bitmap.
    text = "Target mode (0 toggle)"
    left = 400 - 4 * len(text)
    for i, rows in enumerate(glyph_rows(args.font, text)):
        for y in range(16):
            for x in range(8):
                p = pixel(left + 8 * i + x, 90 + y)
                if rows[y] & (0x80 >> x):
                    check(p == (255, 0, 0), "overlay glyph %r at (%d, %d) is %r" % (text[i], x, y, p))
                else:
                    check(is_sky(p), "overlay background at (%d, %d) is %r" % (x, y, p))
    # The cursor: its centre on the mouse, its arms yellow with a black rim, clear corners.
    check(pixel(mx, my) == (255, 0, 0), "cursor centre %r" % (pixel(mx, my),))
    check(pixel(mx + 8, my) == (255, 210, 0), "cursor arm %r" % (pixel(mx + 8, my),))
    check(pixel(mx, my - 8) == (255, 210, 0), "cursor arm %r" % (pixel(mx, my - 8),))
    check(pixel(mx + 8, my + 1) == (0, 0, 0), "cursor rim %r" % (pixel(mx + 8, my + 1),))
    corner = pixel(mx - 15, my - 15)                 # on the main menu's title bar
    check(is_title_bar(corner), "cursor corner is transparent: %r" % (corner,))
    check(is_sky(pixel(10, 590)), "background elsewhere")
    d.key("Escape")
    check(d.wait() == 0, "Escape ends with exit code 0")


def case_star_field(args, root):
    d = Designer(args.designer, root)
    d.wait_for_title()
    w, h, pixel = d.screenshot()
    bright = lambda x, y: 0 <= x < w and 0 <= y < h and max(pixel(x, y)) > 100
    spots = 0                                        # small bright spots on the black sky
    for y in range(120, 420):                        # between the overlay line and the main menu
        for x in range(w):
            if bright(x, y) and not (bright(x - 1, y) or bright(x, y - 1) or bright(x - 1, y - 1)):
                box = sum(bright(x + i, y + j) for i in range(-1, 3) for j in range(-1, 3))
                spots += box <= 4
    check(spots > 60, "the star field shows %d isolated points" % spots)
    dark = sum(pixel(x, y) == (0, 0, 0) for x in range(0, w, 7) for y in range(120, 420, 7))
    check(dark > 0.9 * (w // 7 + 1) * (300 // 7 + 1), "the sky between the stars is black: %d" % dark)
    # F11 opens the options menu; "S" on it writes the scene dump and closes it.
    d.key("F11")
    d.key("s")
    dump = os.path.join(root, "scn.vorlscn")
    deadline = time.monotonic() + 5
    while not os.path.exists(dump) and time.monotonic() < deadline:
        time.sleep(0.05)
    data = open(dump, "rb").read()
    check(data[:4] == bytes([1, 2, 3, 4]), "the dump starts with its marker")
    earth = 1 + 8 + 24 + 24 + 4 + 65 + 40 + 1 + 4   # with its atmosphere, no rings, no surface parameters
    scene_object = 4 + 4 + 24 + 24 + 8 + 4 + 65
    check(len(data) == 4 + 168 + 4 + 105 + 4 + earth + 4 + 2 * scene_object,
          "one star, the Earth, the vessel and its markers: %d bytes" % len(data))
    log = open(os.path.join(root, "vorl.log"), encoding="utf-8").read()
    check("| VORLDBG| VORL 090917 Debug." in log, "the log's first line")
    d.key("Escape")
    check(d.wait() == 0, "Escape ends with exit code 0")


def case_gallery_widgets(args, root):
    d = Designer(args.gallery, root)
    d.wait_for_title()
    gx, gy = 40, 160                                 # the gallery window's body corner
    d.click(gx + 10 + 50, gy + 80 + 10)              # "Press"
    d.wait_for_output(r"^gallery: button 1 clicked$")
    # Type into the 16-byte name buffer: the text stops at 15 characters.
    d.click(gx + 70 + 60, gy + 8 + 8)                # the click selects the text: End keeps it
    d.key("End")
    d.type_text("xyzxyzxyzxyzxyz")
    d.click(gx + 300, gy + 200)                      # inside the window, off every text box: commit
    d.wait_for_output(r"^gallery: text box 1 = Galleryxyzxyzxy$")
    d.click(gx + 130 + 8, gy + 80 + 8)               # the checkbox
    d.wait_for_output(r"^gallery: checkbox 2 on$")
    d.click(gx + 275 + 60, gy + 8 + 8)               # "Amount", past its end: replace 2.5 by typing
    d.key("BackSpace", "BackSpace", "BackSpace", "7", "period", "2", "5", "Return")
    d.wait_for_output(r"^gallery: text box 3 = 7\.25$")
    w, h, pixel = d.screenshot()
    box = pixel(gx + 130 + 8, gy + 80 + 3)          # off both diagonals
    check(box[1] > 200 and box[0] < 160, "the checked box is drawn in the pressed fill: %r" % (box,))
    # The title bar (200, 255, 200) at alpha 128 over the black sky of the preview.
    title_bar = pixel(gx + 5, gy - 8)
    check(all(abs(a - b) <= 3 for a, b in zip(title_bar, (100, 128, 100))), "title bar %r" % (title_bar,))
    d.click(gx + 70 + 20, gy + 28 + 8)               # "Note" takes the focus; Escape still ends the program
    d.key("Escape")
    check(d.wait() == 0, "Escape ends with exit code 0")
    check("text box 2" not in d.stdout(), "the focused box was neither edited nor committed")
    check(settings_text(root) is None, "Escape writes no settings file")


def case_gallery_file_dialog(args, root):
    """The gallery's "Open file" shows the load dialog over everything; a missing name is refused
    in the dialog, a picked file is chosen with Enter, Escape cancels without ending the program."""
    for name in ("b.vessdef", "A.vessdef", "readme.txt", os.path.join("sub", "inner.vessdef")):
        os.makedirs(os.path.dirname(os.path.join(root, name)), exist_ok=True)
        open(os.path.join(root, name), "w").close()
    d = Designer(args.gallery, root)
    d.wait_for_title()
    gx, gy = 40, 160
    d.click(gx + 250 + 50, gy + 80 + 10)             # "Open file"
    fx, fy = (800 - 520) // 2, (600 - 424) // 2      # the dialog's body corner: centred, four filters
    row = lambda i: fy + 26 + 2 + 16 * i + 8         # list rows: "..", "sub/", "A.vessdef", "b.vessdef"
    d.type_text("missing.vessdef")
    d.key("Return")
    w, h, pixel = d.screenshot()
    check(d.proc.poll() is None, "the dialog's Enter did not end the program")
    message = [x for x in range(fx, fx + 520) for y in range(fy + 376, fy + 392) if pixel(x, y) == (255, 255, 0)]
    check(message, "the refusal is shown in yellow under the filters")
    fill = pixel(fx + 300, row(2) - 4)               # right of the names
    check(max(fill) < 80 and fill[2] > fill[0], "the list's dark blue-grey fill: %r" % (fill,))
    shade = pixel(gx + 5, gy - 8)                    # the gallery's title bar, dimmed behind the dialog
    check(all(c < b for c, b in zip(shade, (100, 128, 164))), "the screen behind is dimmed: %r" % (shade,))
    # A single press puts the name in the box and Enter chooses it. A double press is
    # timed by when the program handles it, which a loaded machine can stretch past the
    # double-click time; the unit tests cover it with their own clock.
    d.click(fx + 60, row(2))
    d.key("Return")
    d.wait_for_output(r"^gallery: file dialog ok %s filter 1$" % re.escape(os.path.join(os.path.realpath(root), "A.vessdef")))
    d.click(gx + 250 + 50, gy + 80 + 10)
    d.key("Escape")
    d.wait_for_output(r"^gallery: file dialog cancelled$")
    check(d.proc.poll() is None, "Escape in the dialog only cancels it")
    d.key("Escape")
    check(d.wait() == 0, "Escape ends with exit code 0")


def case_progress_screen(args, root):
    """The start-up's progress screen, drawn once by a helper and saved with the program's screenshot."""
    for loading in (False, True):
        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
        run = subprocess.run([args.progress] + (["loading"] if loading else []), cwd=root, env=env,
                             capture_output=True, text=True, timeout=30)
        check(run.returncode == 0, "progress helper failed: %r" % run.stderr)
        name = re.search(r"^screenshot: (.*)$", run.stdout, re.M).group(1)
        w, h, pixel = read_bmp(os.path.join(root, name))
        hw, hh = w // 2, h // 2
        left, top = hw - 200, hh - 90                   # the panel, 400 by 200, corners cut by 4
        check(pixel(5, 5) == (0, 0, 0), "cleared to black: %r" % (pixel(5, 5),))
        check(pixel(left, top) == (0, 0, 0) and pixel(left + 399, top + 199) == (0, 0, 0), "corners cut off")
        fill = pixel(left + 40, top + 170)              # (128, 128, 128) at alpha 210 over black
        check(all(abs(c - 105) <= 2 for c in fill), "panel fill %r" % (fill,))
        # Its white outline, wherever a line on a pixel edge falls, lies within one pixel of the edge.
        column = [y for y in range(h) if pixel(hw, y) != (0, 0, 0)]
        row = [x for x in range(w) if pixel(x, hh + 60) != (0, 0, 0)]
        for name, got, first, last in (("rows", column, top, top + 200), ("columns", row, left, left + 400)):
            check(got[0] in (first - 1, first) and got[-1] in (last - 1, last) and len(got) == got[-1] - got[0] + 1,
                  "panel %s %d to %d, not about %d to %d" % (name, got[0], got[-1], first, last))
        check(pixel(hw, column[0]) == (255, 255, 255) and pixel(row[0], hh + 60) == (255, 255, 255), "outline")
        # Three red lines centred at half the width, 15 pixels apart; the
        # memory line's numbers vary, so only its first word is compared,
        # from its leftmost red pixel.
        lines = [("Loading " if loading else TITLE, hh - 15), ("Starting up", hh)]
        for text, y in lines:
            compare_text(args, pixel, text, hw - 4 * len(text), y, 15)
        row = [x for x in range(left, left + 400) for y in range(hh + 15, hh + 30) if pixel(x, y) == (255, 0, 0)]
        check(row, "a memory line")
        compare_text(args, pixel, "Memory: ", min(row), hh + 15, 15)


def compare_text(args, pixel, text, left, top, rows):
    """Every pixel of the first rows of text's glyphs: red where the font sets a bit, else not red."""
    for i, glyph in enumerate(glyph_rows(args.font, text)):
        for y in range(rows):
            for x in range(8):
                p = pixel(left + 8 * i + x, top + y)
                if glyph[y] & (0x80 >> x):
                    check(p == (255, 0, 0), "glyph %r of %r at (%d, %d) is %r" % (text[i], text, x, y, p))
                else:
                    check(p != (255, 0, 0), "around glyph %r of %r at (%d, %d)" % (text[i], text, x, y))


def case_alt_f4(args, root):
    d = Designer(args.designer, root)
    d.wait_for_title()
    d.key("alt+F4")
    check(d.wait() == 0, "Alt+F4 ends with exit code 0")
    check(settings_text(root) is None, "Alt+F4 writes no settings file")


def case_no_display(args, root):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["ASAN_OPTIONS"] = "detect_leaks=0"
    run = subprocess.run([args.designer], cwd=root, env=env, capture_output=True, text=True, timeout=30)
    check(run.returncode == 1, "exit code %d without a display" % run.returncode)
    check("Error: Failed to register the window class!" in run.stderr, "the reason is reported: %r" % run.stderr)
    check(settings_text(root) is None, "nothing written")


# --- The editor's pages -----------------------------------------------------------------------------
# Positions are computed as the pages compute them from the 800 x 600 client area.

W, H = 800, 600
MENU = (W - 502, H - 154)                            # the main menu's body corner
MENU_BUTTONS = {                                     # caption: column, row (x = 2 + 110 c, y = 2 + 22 r)
    "New": (0, 0), "Load": (0, 1), "Save": (0, 2), "Generate": (0, 4), "Run Veltora": (0, 5),
    "Parameters": (1, 0), "Lights": (1, 1), "Panels": (1, 2), "VC": (1, 3), "Docks": (1, 4), "Touchdown": (1, 5),
    "Main data": (2, 0), "Engines": (2, 1), "Meshes": (2, 2), "Exhausts": (2, 3), "Animations": (2, 4),
    "Airfoils": (2, 5), "Options": (3, 0), "Location": (3, 1), "3D controls": (3, 2), "Help": (3, 5),
    "Checks": (0, 3), "Undo": (3, 3), "Redo": (3, 4)}
DESIGN = "deltaglider_vrk.vessdef"
HEADER = 840                                         # bytes of the design header


def is_title_bar(p):
    # (200, 255, 200) at alpha 128 over the sky or the dim hull behind it:
    # red about equal to blue, green about 27 above them
    return abs(p[0] - p[2]) <= 10 and 20 <= p[1] - p[0] <= 35 and p[0] >= 97


def placed(x, y, w, h, screen=None):
    """A page's corner as placed: on the screen; under the menu: above it, at the top, left of it or in the corner."""
    sw, sh = screen or (W, H)
    mx, my = sw - 502, sh - 154
    fit = lambda px, py: (max(min(px, sw - w), 0), max(min(py, sh - h), 0))
    covered = lambda p: 2 * (max(min(p[0] + w, mx + 482) - max(p[0], mx) + 2, 0) *
                             max(min(p[1] + h, my + 134) - max(p[1], my) + 16, 0)) + \
        (p[0] - 1 <= sw // 2 <= p[0] + w and p[1] - 15 <= sh // 2 <= p[1] + h)   # the middle: the vessel
    tries = [fit(x, y), fit(x, my - 17 - h), fit(x, 15), fit(mx - 3 - w, y), fit(1, 15)]
    best = min(tries, key=covered) if covered(tries[0]) > 1 else tries[0]
    return best[0], best[1], w, h

# The page each main-menu button shows, and where its "Close" (or "No", "OK") is, relative to the body.
LIST_CLOSE = lambda w, h: (w - 22, h // 2)
BOTTOM_CLOSE = lambda w, h: (w // 2, h - 12)
PAGES = {
    "Parameters": (placed(W - 460, 20, 440, 400), BOTTOM_CLOSE),
    "Lights": (placed(20, H - 220, 400, 200), LIST_CLOSE),
    "Panels": (placed(W // 2 - 300, H // 2 - 50, 600, 100), lambda w, h: (w // 2, h - 14)),
    "VC": (placed(W - 440, H - 292, 320, 100), BOTTOM_CLOSE),
    "Docks": (placed(20, H - 220, 400, 200), LIST_CLOSE),
    "Touchdown": (placed(20, H - 220, 400, 200), LIST_CLOSE),
    "Main data": (placed(W // 2 - 250, H // 2 - 250, 476, 500), BOTTOM_CLOSE),
    "Engines": (placed(440, H - 220, 500, 200), LIST_CLOSE),
    "Meshes": (placed(440, H // 2 - 150, 600, 300), LIST_CLOSE),
    "Exhausts": (placed(440, H - 420, 400, 200), LIST_CLOSE),
    "Animations": (placed(20, H // 2 - 150, 400, 300), LIST_CLOSE),
    "Airfoils": (placed(20, H - 220, 400, 200), LIST_CLOSE),
    "Options": (placed(W // 2 - 125, H // 2 - 25, 500, 100), BOTTOM_CLOSE),
    "Location": (placed(W // 2 - 300, H // 2 - 50, 600, 100), lambda w, h: (w // 2, h - 14)),
    "3D controls": (placed(W - 220, H - 312, 200, 120), LIST_CLOSE),
    "Help": (placed(W // 2 - 300, 20, 600, 404), LIST_CLOSE),
    "Checks": (placed(W // 2 - 300, 40, 600, 400), LIST_CLOSE),
    "New": (placed(W // 2 - 300, H // 2 - 25, 600, 100), lambda w, h: (w * 3 // 4, 60)),   # "No"
}
CONFIRM = PAGES["New"][0]
GENERAL = PAGES["Main data"][0]
THRUSTERS = PAGES["Engines"][0]


def press(d, caption, menu=MENU):
    c, r = MENU_BUTTONS[caption]
    d.click(menu[0] + 2 + 110 * c + 50, menu[1] + 2 + 22 * r + 10)


def near(p, q, tolerance=3):
    return all(abs(a - b) <= tolerance for a, b in zip(p, q))


def design_block(path):
    """A saved design's bytes with what the frames change cleared: the design time (8 bytes
    at 720) and the crew record's airlock, which every frame copies from dock 0."""
    return design_block_bytes(open(path, "rb").read())


def header_value(path, fmt, offset):
    return struct.unpack_from("<" + fmt, open(path, "rb").read(), offset)[0]


def thrusters_of(path):
    """(count, the last thruster's maximum thrust) of a saved design."""
    data = open(path, "rb").read()
    tanks, count = struct.unpack_from("<ii", data, 788)
    last = HEADER + 8 * tanks + 120 * (count - 1)
    return count, struct.unpack_from("<d", data, last + 48)[0]


def replace_text(d, text):
    """Into the focused text box, its cursor at the end: the old text erased, text typed."""
    d.key(*["BackSpace"] * 30)
    d.type_text(text)


def start_in_demo(args, root):
    for entry in os.listdir(args.demo):
        source = os.path.join(args.demo, entry)
        (shutil.copytree if os.path.isdir(source) else shutil.copy2)(source, os.path.join(root, entry))
    d = Designer(args.designer, root)
    d.wait_for_title()
    return d


def case_vessel_preview(args, root):
    """The template vessel stands in the middle of the window, textured and lit, with sky around it;
    turned down, the view shows the textured Earth with its atmosphere below and the stars above."""
    d = start_in_demo(args, root)
    w, h, pixel = d.screenshot()
    middle = {pixel(x, y) for x in range(w // 2 - 150, w // 2 + 150, 3) for y in range(h // 2 - 60, h // 2 + 60, 3)}
    coloured = [p for p in middle if not is_sky(p)]
    check(len(coloured) > 300, "the middle holds %d distinct colours that are not sky" % len(coloured))
    for x, y in ((4, 4), (w - 5, 4), (4, h - 5)):
        check(is_sky(pixel(x, y)), "corner (%d, %d) shows the sky: %r" % (x, y, pixel(x, y)))

    # 150 pixels down with the right button turn the view down to the Earth below.
    xdotool("mousemove", "--sync", "--window", d.window, 600, 200)
    xdotool("mousedown", "3")
    for y in range(230, 351, 30):
        xdotool("mousemove", "--sync", "--window", d.window, 600, y)
    xdotool("mouseup", "3")
    xdotool("mousemove", "--sync", "--window", d.window, 700, 520)   # the cursor over the main menu
    w, h, pixel = d.screenshot()
    menu = lambda x, y: MENU[0] - 4 <= x and MENU[1] - 20 <= y
    lower = [pixel(x, y) for x in range(0, w, 4) for y in range(h // 2, h, 4) if not menu(x, y)]
    blue = [p for p in lower if p[2] > p[0] + 25 and p[2] >= p[1]]
    check(len(blue) > len(lower) // 4, "the lower half shows the Earth: %d of %d pixels blue" % (len(blue), len(lower)))
    check(len(set(blue)) > 100, "its surface is textured: %d blues" % len(set(blue)))
    row = [pixel(x, 450) for x in range(200)]        # from the sky on the left into the disc
    edge = next(x for x, p in enumerate(row) if max(p) > 20)
    rim, inside = max(p[2] for p in row[edge:edge + 15]), max(p[2] for p in row[edge + 20:edge + 40])
    check(rim > inside + 40, "a bright atmosphere rim at x = %d: blue %d, %d further in" % (edge, rim, inside))
    stars = sum(max(pixel(x, y)) > 100 for x in range(w) for y in range(70))
    check(stars > 10 and all(is_sky(pixel(x, y)) for x in range(0, w, 5) for y in range(0, 70, 5)),
          "the stars stay visible above the Earth: %d star pixels" % stars)
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


FOCAL = (H / 2) / math.tan(math.radians(30))        # pixels per metre at one metre: 60 degrees from top to bottom


def project(point):
    """The window pixel of a point of the vessel frame, for the camera as it starts: 20 m behind
    the vessel, looking forward along +z, +x to the right and +y up."""
    depth = point[2] + 20
    return round(W / 2 + point[0] * FOCAL / depth), round(H / 2 - point[1] * FOCAL / depth)


def selected_marker(d):
    """The centre of the selected marker on screen: the pixels of its unlit red-to-green pulse."""
    for _ in range(5):                               # the pulse is near pure red or green a tenth of the time
        width, height, pixel = d.screenshot()
        spots = [(x, y) for x in range(0, width, 2) for y in range(0, height, 2)
                 if pixel(x, y)[2] == 0 and min(pixel(x, y)[:2]) >= 12 and abs(math.hypot(*pixel(x, y)[:2]) - 255) <= 6]
        if len(spots) > 20:
            return sum(x for x, y in spots) / len(spots), sum(y for x, y in spots) / len(spots)
    raise Failure("no pulsing marker on screen")


def thruster_position(path, index):
    data = open(path, "rb").read()
    tanks = struct.unpack_from("<i", data, 788)[0]
    return struct.unpack_from("<3d", data, HEADER + 8 * tanks + 120 * index)


def handle_drag(d, start, by):
    """A press at start, a move by (dx, dy) in two steps, the release."""
    xdotool("mousemove", "--sync", "--window", d.window, *start)
    d.sync()
    xdotool("mousedown", "1")
    d.sync()
    for step in (1, 2):
        xdotool("mousemove", "--sync", "--window", d.window, start[0] + by[0] * step // 2, start[1] + by[1] * step // 2)
        d.sync()
    xdotool("mouseup", "1")
    d.sync()


def case_preview_pick_drag(args, root):
    """A thruster's marker clicked in the preview becomes current in its list and in "3D controls"; a typed
    X moves it; its +x handle moves it along x only, also through a window lying over the handle; an
    exhaust's handle changes nothing."""
    d = start_in_demo(args, root)
    saved = os.path.join(root, DESIGN)
    press(d, "Engines")
    press(d, "3D controls")
    cx, cy, cw, ch = PAGES["3D controls"][0]
    tx, ty, tw, th = THRUSTERS
    engines_close = (tx + tw - 22, ty + th // 2)

    def position_saved():                            # the list lies over "Save": closed meanwhile
        d.click(*engines_close)
        block = saved_design(d, root)
        press(d, "Engines")
        return thruster_position(saved, 6), block
    rcs = (-6.0, 0.7, -0.4)                          # thruster #7, the first of the default RCS
    d.click(*project(rcs))
    width, height, pixel = d.screenshot()
    check(pixel(tx + 112 + 20, ty + 4 + 22 * 6 + 1) == (128, 128, 200), "row #7 is current in Thrusters")
    check(read_line(args, pixel, cx + 2, cy + 20) == "typ=1 msh=1 grp=12", "the selection line")
    shown = [read_line(args, pixel, cx + 25, cy + 50 + 20 * i, 10, range(1, 15)) for i in range(3)]
    check(shown == ["-6", "0.7", "-0.4"], "the thruster's position in the boxes: %r" % shown)
    marker = selected_marker(d)
    check(math.dist(marker, project(rcs)) < 3, "the marker pulses at %r" % (marker,))

    # The +x arm reaches 10 m (half the camera's distance) to the right; 40 pixels along it are 10 m.
    # Off the middle of the view a z arm also points sideways: the press lies beyond its end.
    centre = project(rcs)
    check(project((-6.0, 0.7, 9.6))[0] < centre[0] + 100 < project((4.0, 0.7, -0.4))[0], "the press lies on +x alone")
    handle_drag(d, (centre[0] + 100, centre[1]), (40, 0))
    position = position_saved()[0]
    check(position == (4.0, 0.7, -0.4), "the drag moved x alone: %r" % (position,))

    d.click(cx + 25 + 76, cy + 50 + 8)               # X: typed, then the box is left
    replace_text(d, "8")
    d.click(cx + 100, cy + 30)
    d.click(cx + cw - 22, cy + ch // 2)              # "3D controls" closed: the marker's new place is clear
    moved = (8.0, 0.7, -0.4)
    marker = selected_marker(d)
    check(math.dist(marker, project(moved)) < 3, "its marker moved to %r" % (marker,))
    position = position_saved()[0]
    check(position == moved, "X moved the thruster: %r" % (position,))

    # "Exhausts" lies over the -x arm, which also acts on x: a press on the window, between its
    # buttons and its list, starts the drag (a press on the open preview would pick the marker under it).
    d.click(*engines_close)                          # the list lies over "Exhausts"
    press(d, "Exhausts")
    press(d, "Engines")
    ex, ey, ew, eh = PAGES["Exhausts"][0]
    start = (ex + 106, project(moved)[1])
    check(project((-2.0, 0.7, -0.4))[0] < start[0] < project((8.0, 0.7, 9.6))[0], "the press lies on -x alone")
    handle_drag(d, start, (-80, 0))
    position, before = position_saved()
    check(position == (-12.0, 0.7, -0.4), "the drag through the window: %r" % (position,))

    d.click(cx + cw - 22, cy + ch // 2)              # "3D controls" closed; a drag start shows it again
    press(d, "Exhausts")                             # shown again, it comes above "Thrusters"
    d.click(ex + 112 + 100, ey + 4 + 9)              # exhaust #1, at main thruster #1
    centre = project((-1.0, 0.0, -7.7))
    check(project((-1.0, 0.0, 2.3))[0] < ex + 106, "the press lies on the exhaust's +x arm alone")
    handle_drag(d, (ex + 106, centre[1]), (40, 0))
    width, height, pixel = d.screenshot()
    check(read_line(args, pixel, cx + 2, cy + 20) == "typ=1 msh=2 grp=0", "the press on the exhaust's handle started a drag")
    d.click(*engines_close)
    check(saved_design(d, root) == before, "dragging an exhaust's handle changes nothing")
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


def case_pages_menu(args, root):
    """Every main-menu button shows its page where the pages place it; each page closes again."""
    d = start_in_demo(args, root)
    for caption, ((x, y, w, h), close) in PAGES.items():
        press(d, caption)
        width, height, pixel = d.screenshot()
        check((width, height) == (W, H), "the window is %dx%d" % (width, height))
        check(is_title_bar(pixel(x + 5, y - 8)), "%r shows its page at (%d, %d): %r" % (caption, x, y, pixel(x + 5, y - 8)))
        cx, cy = close(w, h)
        d.click(x + cx, y + cy)
        width, height, pixel = d.screenshot()
        check(not is_title_bar(pixel(x + 5, y - 8)),
              "%r's page closed: %r" % (caption, pixel(x + 5, y - 8)))
    check(d.proc.poll() is None, "still running")
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


def case_pages_save_new_typing(args, root):
    """Save at once, then with the question; New with Yes and No; typed values reach the design."""
    d = start_in_demo(args, root)
    template = os.path.join(root, "template.vessdef")
    subprocess.run([args.tool, "template", template], check=True, cwd=root)
    saved = os.path.join(root, DESIGN)
    press(d, "Save")
    d.sync()
    check(os.path.exists(saved), "Save wrote %s at once" % DESIGN)
    # The size is the template's, raised to the radius of the meshes a preview loaded, if any.
    check(header_value(saved, "d", 520) in (10.0, header_value(template, "d", 520)), "the template's size")
    with open(template, "r+b") as f:
        f.seek(520)
        f.write(open(saved, "rb").read()[520:528])
    check(design_block(saved) == design_block(template), "the saved design is the template")
    first = open(saved, "rb").read()

    press(d, "Main data")                            # "Mass, Kg": type, then leave the box
    gx, gy, gw, gh = GENERAL
    d.click(gx + 120 + 96, gy + 60 + 8)
    replace_text(d, "2500")
    d.click(gx + 100, gy + 470)                      # inside the page, off every box (and the menu)
    d.click(gx + gw // 2, gy + gh - 12)              # "Close&Save"
    press(d, "Save")                                 # exists: the question
    cx, cy, cw, ch = CONFIRM
    width, height, pixel = d.screenshot()
    check(is_title_bar(pixel(cx + 5, cy - 8)), "Save asks before overwriting")
    compare_white_text(args, pixel, 'Overwrite "%s"?' % DESIGN, cx + cw // 2, cy + 10)
    d.click(cx + cw * 3 // 4, cy + 60)               # "No"
    d.sync()
    check(open(saved, "rb").read() == first, "No leaves the file byte for byte")
    press(d, "Save")
    d.click(cx + cw // 4, cy + 60)                   # "Yes"
    d.sync()
    check(header_value(saved, "d", 528) == 2500.0, "Yes rewrote it with the typed mass")

    press(d, "Engines")                              # "Add Thrust:", then "Add"
    tx, ty, tw, th = THRUSTERS
    count = thrusters_of(saved)[0]
    d.click(tx + 8 + 86, ty + 134 + 8)
    replace_text(d, "12345")
    d.click(tx + 2 + 50, ty + 2 + 10)
    d.click(tx + tw - 22, ty + th // 2)              # "Close"
    press(d, "Touchdown")                            # a third set is refused
    lx, ly, lw, lh = PAGES["Touchdown"][0]
    d.click(lx + 2 + 50, ly + 2 + 10)
    d.click(lx + lw - 22, ly + lh // 2)
    press(d, "Save")
    d.click(cx + cw // 4, cy + 60)
    d.sync()
    check(thrusters_of(saved) == (count + 1, 12345.0), "the added thruster has the typed thrust: %r" % (thrusters_of(saved),))
    check(header_value(saved, "i", 816) == 2, "still two touchdown sets")

    for answer, expect_template in (("No", False), ("Yes", True)):
        press(d, "New")
        d.click(cx + (cw * 3 // 4 if answer == "No" else cw // 4), cy + 60)
        press(d, "Save")
        d.click(cx + cw // 4, cy + 60)
        d.sync()
        check((design_block(saved) == design_block(template)) == expect_template,
              "New then %s %s the design" % (answer, "resets" if expect_template else "keeps"))
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


def compare_white_text(args, pixel, text, centre_x, top):
    """The first 12 rows of text's glyphs, centred at centre_x: white where the font sets a bit."""
    left = centre_x - 4 * len(text)
    for i, glyph in enumerate(glyph_rows(args.font, text)):
        for y in range(12):
            for x in range(8):
                if glyph[y] & (0x80 >> x):
                    p = pixel(left + 8 * i + x, top + y)
                    check(p == (255, 255, 255), "glyph %r of %r at (%d, %d) is %r" % (text[i], text, x, y, p))


def export_dialog_filter(index, filters):
    """The centre of filter row index (1-based) of the centred dialog with that many filters."""
    height = 352 + 18 * filters
    fx, fy = (W - 520) // 2, (H - height) // 2
    return fx + 132 + 40, fy + 300 + 18 * (index - 1) + 8


def unpack(root, package):
    """The package's entries into root, each folder matched without regard to case."""
    with zipfile.ZipFile(package) as z:
        for info in z.infolist():
            parts = info.filename.replace("\\", "/").split("/")
            path = root
            for part in parts[:-1]:
                same = [e for e in os.listdir(path) if e.lower() == part.lower()]
                path = os.path.join(path, same[0] if same else part)
                os.makedirs(path, exist_ok=True)
            with open(os.path.join(path, parts[-1]), "wb") as f:
                f.write(z.read(info))


def unpack_and_fly(root, package):
    unpack(root, package)
    run = subprocess.run([os.path.join(root, "veltora.exe"), "scenarios\\DeltaGlider_vrk_ground_scenario.scn",
                          "--steps", "5", "--report", "flight.log"], cwd=root, capture_output=True, text=True)
    report = open(os.path.join(root, "flight.log")).read() if os.path.exists(os.path.join(root, "flight.log")) else ""
    check(run.returncode == 0 and "ovcInit" in report, "the stand-in flies the package: %s %s" % (run.stderr, report[-500:]))


def case_pages_generate_load(args, root):
    """Generate through the Export dialog with each filter; Load a module, an import and a damaged file."""
    d = start_in_demo(args, root)
    press(d, "Generate")
    width, height, pixel = d.screenshot()
    fx, fy = (W - 520) // 2, (H - 442) // 2
    compare_white_text(args, pixel, "deltaglider_vrk.zip", fx + 132 + 4 * len("deltaglider_vrk.zip"), fy + 276)
    d.key("Return")                                  # OK with the first filter
    package = os.path.join(root, "deltaglider_vrk.zip")
    deadline = time.monotonic() + 20
    while not os.path.exists(package) and time.monotonic() < deadline:
        time.sleep(0.2)
    time.sleep(0.5)
    test = subprocess.run(["unzip", "-t", package], capture_output=True, text=True)
    check(test.returncode == 0, "unzip -t accepts the package: %s" % test.stdout[-300:])

    for filter_index, name, made in ((5, "pkg", "pkg.zip"), (2, "mod.dll", "mod.dll"), (3, "defs.txt", "defs.txt"),
                                     (4, "whatever", os.path.join("Vessel_Design", "deltaglider_vrk"))):
        press(d, "Generate")
        d.click(*export_dialog_filter(filter_index, 5))
        d.click((W - 520) // 2 + 132 + 300, (H - 442) // 2 + 276 + 8)   # the name box, after its text
        replace_text(d, name)
        d.key("Return")
        deadline = time.monotonic() + 20
        while not os.path.exists(os.path.join(root, made)) and time.monotonic() < deadline:
            time.sleep(0.2)
        check(os.path.exists(os.path.join(root, made)), "filter %d made %s" % (filter_index, made))
    check(not os.path.exists(os.path.join(root, "pkg")), "All file types appends .zip")
    check(not os.path.exists(os.path.join(root, "whatever")), "Sources ignores the name")
    check("THRUSTERS" in open(os.path.join(root, "defs.txt")).read().upper(), "the listing names the thrusters")
    time.sleep(0.5)
    unpack_and_fly(root, package)

    def load(name, filter_index):
        press(d, "Load")
        d.click(*export_dialog_filter(filter_index, 4))
        d.click((W - 520) // 2 + 132 + 300, (H - 424) // 2 + 276 + 8)
        replace_text(d, name)
        d.key("Return")
        d.sync()

    def save_as_is():
        saved = os.path.join(root, DESIGN)
        press(d, "Save")
        if os.path.exists(saved):
            d.click(CONFIRM[0] + CONFIRM[2] // 4, CONFIRM[1] + 60)
        d.sync()
        return saved

    press(d, "Main data")                            # change the design, then load the module back
    gx, gy, gw, gh = GENERAL
    d.click(gx + 120 + 96, gy + 60 + 8)
    replace_text(d, "3")
    d.click(gx + gw // 2, gy + gh - 12)
    load("mod.dll", 2)
    saved = save_as_is()
    module = open(os.path.join(root, "mod.dll"), "rb").read()
    check(design_block(saved) == design_block_bytes(module[69632:]), "the module's design came back")

    with open(os.path.join(root, "bad.vessdef"), "wb") as f:
        f.write(b"\x00\x01damaged" * 50)
    load("bad.vessdef", 1)
    width, height, pixel = d.screenshot()
    mx, my = W // 2 - 300, H // 2 - 50
    check(is_title_bar(pixel(mx + 5, my - 8)), "a message window tells of the damaged file")
    d.click(mx + 300, my + 100 - 14)                 # "OK"
    before = open(saved, "rb").read()
    saved = save_as_is()
    check(design_block(saved) == design_block_bytes(before), "the design was kept")

    with open(os.path.join(root, "ship.ini"), "w") as f:
        f.write("[CONFIG]\nMESHNAME=ship\nFUEL_MASS=500\nMAIN_THRUST=1000\nISP=3000\n")
    load("ship.ini", 3)
    press(d, "Save")
    d.sync()
    check(os.path.exists(os.path.join(root, "new_vessel.vessdef")), "the import is named new_vessel")
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


def design_block_bytes(data):
    data = bytearray(data)
    data[720:728] = bytes(8)
    airfoils = struct.unpack_from("<i", data, 832)[0]
    crew = len(data) - 8 - 64 * airfoils - 80     # the crew record precedes the aero elements
    data[crew:crew + 72] = bytes(72)
    return bytes(data)


def meshes_of(data):
    """The mesh names of a saved design, in order."""
    count = struct.unpack_from("<i", data, 804)[0]
    tanks, thrusters, exhausts = (struct.unpack_from("<i", data, at)[0] for at in (788, 792, 800))
    first = HEADER + 8 * tanks + 120 * thrusters + 80 * exhausts
    return [data[first + 268 * i:first + 268 * i + 256].split(b"\0")[0].decode() for i in range(count)]


def case_pages_mesh_browser(args, root):
    """After ">" the first cell is entry r; an empty cell does nothing; Select adds the mesh."""
    os.makedirs(os.path.join(root, "Meshes"))
    for i in range(30):
        open(os.path.join(root, "Meshes", "part%02d.msh" % i), "w").close()
    d = Designer(args.designer, root)
    d.wait_for_title()
    press(d, "Meshes")
    mx, my, mw, mh = PAGES["Meshes"][0]
    d.click(mx + 2 + 50, my + 2 + 10)                # "Add": the browser
    entries = [e[:-4] for e in os.listdir(os.path.join(root, "Meshes")) if e.lower().endswith(".msh")]
    bw, bh = W - 40, H - 40
    usable = bw - 54
    n = usable // (8 * max(len(e) for e in entries) + 5)
    p, r = usable // n, (bh - 94) // 21
    cell = lambda k: (20 + 9 + (k // r) * p + p // 2, 20 + 44 + 21 * (k % r) + 10)
    view = placed(W // 2 - 320, H // 2 - 260, 640, 520)
    corner = (view[0] + 5, view[1] - 8)              # where Mesh view's title bar lies over the browser
    width, height, pixel = d.screenshot()
    browser_only = pixel(*corner)
    d.click(*cell(len(entries)))                     # the first cell after the last entry
    width, height, pixel = d.screenshot()
    check(pixel(*corner) == browser_only, "an empty cell changes nothing")
    d.click(20 + bw - 61 + 8, 20 + bh - 48 + 8)      # ">"
    d.click(*cell(0))
    width, height, pixel = d.screenshot()
    check(pixel(*corner) != browser_only, "choosing a mesh shows Mesh view")
    d.click(view[0] + view[2] - 60, view[1] + view[3] - 36)   # "Select"
    press(d, "Save")
    d.sync()
    added = meshes_of(open(os.path.join(root, DESIGN), "rb").read())[-1]
    check(added == entries[r], "entry r (%s) was added to the design: %r" % (entries[r], added))
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


def case_mesh_view_thumbnail(args, root):
    """A mesh chosen in the browser turns in "Mesh view", black around it; Cancel hides it."""
    d = start_in_demo(args, root)
    shutil.copy(os.path.join(root, "Meshes", "dg", "deltaglider.msh"), os.path.join(root, "Meshes", "glider.msh"))
    press(d, "Meshes")
    mx, my, mw, mh = PAGES["Meshes"][0]
    d.click(mx + 2 + 50, my + 2 + 10)                # "Add": the browser lists Demo, dg and glider
    bw, bh = W - 40, H - 40
    usable = bw - 54
    n = usable // (8 * len("glider") + 5)
    p, r = usable // n, (bh - 94) // 21
    d.click(20 + 9 + p // 2, 20 + 44 + 21 * 2 + 10)  # cell 2: the mesh after the two folders
    vx, vy, vw, vh = placed(W // 2 - 320, H // 2 - 260, 640, 520)
    tx, ty = vx + 4, vy + 4                          # the 512 x 512 texture
    corners = [(tx + 3, ty + 3), (tx + 508, ty + 3), (tx + 3, ty + 508), (tx + 508, ty + 508)]
    centre = [(tx + x, ty + y) for x in range(156, 356, 4) for y in range(156, 356, 4)]

    def thumbnail():
        width, height, pixel = d.screenshot()
        return [pixel(x, y) for x, y in corners], [pixel(x, y) for x, y in centre]
    deadline = time.monotonic() + 60                 # reading the mesh takes about a second when idle
    shown, mesh = thumbnail()
    while any(c != (0, 0, 0) for c in shown) and time.monotonic() < deadline:
        shown, mesh = thumbnail()
    check(all(c == (0, 0, 0) for c in shown), "the thumbnail's corners are black: %r" % shown)
    check(sum(c != (0, 0, 0) for c in mesh) > len(mesh) // 5, "the mesh fills the centre")
    time.sleep(0.5)
    check(thumbnail()[1] != mesh, "the mesh turns")
    d.click(vx + vw - 60, vy + vh - 14)              # "Cancel"
    shown, mesh = thumbnail()
    check(all(c != (0, 0, 0) for c in mesh), "Cancel hid the thumbnail")   # the browser behind
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


def cube_gltf(path, half):
    """A cube of side 2 half about the origin as glTF, its buffer inside, without normals."""
    corners = [(x, y, z) for x in (-half, half) for y in (-half, half) for z in (-half, half)]
    faces = [(0, 1, 3), (0, 3, 2), (4, 6, 7), (4, 7, 5), (0, 4, 5), (0, 5, 1),
             (2, 3, 7), (2, 7, 6), (0, 2, 6), (0, 6, 4), (1, 5, 7), (1, 7, 3)]
    data = b"".join(struct.pack("<3f", *c) for c in corners) + b"".join(struct.pack("<3H", *f) for f in faces)
    uri = "data:application/octet-stream;base64," + base64.b64encode(data).decode()
    json.dump({"asset": {"version": "2.0"}, "scenes": [{"nodes": [0]}], "nodes": [{"name": "cube", "mesh": 0}],
               "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}],
               "buffers": [{"byteLength": len(data), "uri": uri}],
               "bufferViews": [{"buffer": 0, "byteLength": 96}, {"buffer": 0, "byteOffset": 96, "byteLength": 72}],
               "accessors": [{"bufferView": 0, "componentType": 5126, "count": 8, "type": "VEC3",
                              "min": [-half] * 3, "max": [half] * 3},
                             {"bufferView": 1, "componentType": 5123, "count": 36, "type": "SCALAR"}]},
              open(path, "w"))


def case_import_model(args, root):
    """Import... brings a glTF cube, scaled up in the Import window, into the preview; Undo takes it out."""
    d = start_in_demo(args, root)
    cube_gltf(os.path.join(root, "cube.gltf"), 1)
    original = meshes_of(saved_design(d, root))
    width, height, pixel = d.screenshot()
    spots = [(x, y) for x in range(40, 400, 20) for y in range(60, 560, 20)]   # left of the Meshes page
    glider = [pixel(x, y) for x, y in spots]
    press(d, "Meshes")
    mx, my, mw, mh = PAGES["Meshes"][0]
    d.click(mx + 2 + 50, my + 2 + 10)                # "Add": the browser
    bw, bh = W - 40, H - 40
    d.click(20 + bw - 128 + 41, 20 + bh - 26 + 11)   # "Import..."
    fx, fy = (W - 520) // 2, (H - 424) // 2
    d.click(fx + 132 + 300, fy + 276 + 8)            # the name box of the dialog
    replace_text(d, "cube.gltf")
    d.key("Return")
    ix, iy, iw, ih = placed(W // 2 + 200, H // 2 - 236, 118, 130)
    d.click(ix + 100, iy + 30)                       # "Scale"
    replace_text(d, "12")
    d.click(ix + 58, iy + 94)                        # "Apply": the cube is 24 m wide now
    vx, vy, vw, vh = placed(W // 2 - 320, H // 2 - 260, 640, 520)
    d.click(vx + vw - 60, vy + vh - 36)              # "Select"
    wait_until(lambda: os.path.exists(os.path.join(root, "Meshes", "cube.msh")), "the mesh file written")
    d.wait_for_output(r"^status: Imported cube\.gltf as Meshes/cube\.msh, 1 group, 0 textures", 30)
    d.click(mx + mw - 22, my + mh // 2)              # the Meshes page closed
    width, height, pixel = d.screenshot()
    changed = sum(pixel(x, y) != p for (x, y), p in zip(spots, glider))
    check(changed > len(spots) // 3, "the cube fills the preview: %d of %d spots changed" % (changed, len(spots)))
    check(meshes_of(saved_design(d, root)) == original + ["cube"], "the cube was added to the design")
    d.key("ctrl+z")
    check(meshes_of(saved_design(d, root)) == original, "Undo took the cube out of the design")
    check(os.path.exists(os.path.join(root, "Meshes", "cube.msh")), "the files stay")
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


def case_pages_run_veltora(args, root):
    """Run Veltora starts the simulator in the root and the editor keeps drawing meanwhile."""
    marker = os.path.join(root, "ran.txt")
    with open(os.path.join(root, "veltora.exe"), "w") as f:
        f.write("#!/bin/sh\npwd > ran.txt\nsleep 4\necho done >> ran.txt\n")
    os.chmod(os.path.join(root, "veltora.exe"), 0o755)
    d = Designer(args.designer, root)
    d.wait_for_title()
    press(d, "Run Veltora")
    deadline = time.monotonic() + 30                 # generous for a loaded machine
    while not os.path.exists(marker) and time.monotonic() < deadline:
        time.sleep(0.1)
    check(os.path.exists(marker), "the simulator was started")
    check(open(marker).read().split("\n")[0] == os.path.realpath(root), "in the root")
    d.sync()                                         # a frame drawn on request meanwhile
    check("done" not in open(marker).read(), "the simulator was still running while the editor drew")
    wait_until(lambda: "done" in open(marker).read(), "the first run's end", 30)   # the shell reads its script as it goes
    time.sleep(0.5)
    shutil.copy2(os.path.join(args.demo, "veltora.exe"), os.path.join(root, "veltora.exe"))
    press(d, "Run Veltora")
    wait_until(lambda: message_shown(args, d), "the failed run's message", 30)
    check(message_shown(args, d) == "Veltora ended with exit code 1: veltora: no scenario below Scenarios",
          "the message names the code and the last error line: %r" % message_shown(args, d))
    d.click(MESSAGE[0] + MESSAGE[2] // 2, MESSAGE[1] + MESSAGE[3] - 14)   # "OK"
    d.click(MENU[0] + 440 + 20, MENU[1] + 2 + 65)    # "Exit": settings written, nothing asked
    check(d.wait() == 0, "Exit ends with exit code 0")
    check(settings_text(root) == b"author_name=%authorname\r\n", "Exit writes the settings")


def read_line(args, pixel, left, top, limit=60, rows_read=range(16)):
    """The text drawn in white from (left, top), read back glyph by glyph with the program's font,
    by the glyph rows given (a text box's outline covers the first and the last);
    it ends at the first cell that matches no glyph but the blank."""
    font = gzip.open(args.font).read()
    glyphs = {}
    for code in range(32, 127):
        rows = bytes(font[4 + 16 * code + y] for y in rows_read)
        glyphs.setdefault(rows, chr(code))
    text = ""
    for i in range(limit):
        rows = bytes(sum(0x80 >> x for x in range(8) if pixel(left + 8 * i + x, top + y) == (255, 255, 255))
                     for y in rows_read)
        if rows not in glyphs:
            break
        text += glyphs[rows]
    return text.rstrip()


def scaled(text):
    """A number of the scaled formatter ("24.5k", "3M") as a float."""
    units = {"k": 1e3, "M": 1e6, "G": 1e9}
    return float(text[:-1]) * units[text[-1]] if text[-1] in units else float(text)


def summary_of(path):
    """Total mass, main, retro and hover thrust, mass ratio, exhaust velocity, delta-v of a saved design."""
    data = open(path, "rb").read()
    empty = struct.unpack_from("<d", data, 528)[0]
    tanks, count = struct.unpack_from("<ii", data, 788)
    mass = empty + sum(struct.unpack_from("<%dd" % tanks, data, HEADER))
    thrust, isps = [0.0, 0.0, 0.0], []
    for t in range(count):
        at = HEADER + 8 * tanks + 120 * t
        max_thrust, isp = struct.unpack_from("<dd", data, at + 48)
        groups = struct.unpack_from("<8i", data, at + 84)
        for g in range(3):
            if g in groups:
                thrust[g] += max_thrust
        if 0 in groups:
            isps.append(isp)
    ratio = mass / empty
    velocity = sum(isps) / len(isps)
    return [mass] + thrust + [ratio, velocity, math.log(ratio) * velocity]


def case_camera_orbit_wheel_keys(args, root):
    """Wheel steps, the camera keys and orbiting, read from the camera line the test build
    prints after every key and button event."""
    d = Designer(args.gallery, root)
    d.wait_for_title()
    reports = []

    def camera(action, what):
        """Does action, then waits for the next camera line and returns its fields."""
        seen = len(reports)
        action()
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            reports[:] = re.findall(r"^camera: (.*)$", d.stdout(), re.M)
            if len(reports) > seen:
                fields = reports[-1].split()
                return dict(zip(fields[0::2], fields[1::2]))
            time.sleep(0.05)
        raise Failure("no camera line after %s; output:\n%s" % (what, d.stdout()))

    def wheel(*keys):
        return camera(lambda: xdotool("keydown", *keys, "click", "4", "keyup", *keys) if keys
                      else xdotool("click", "4"), "a wheel step")

    def orbit():
        camera(lambda: xdotool("mousedown", "3"), "the right button down")
        move_pointer("mousemove_relative", "--sync", "--", "40", "-20")
        return camera(lambda: xdotool("mouseup", "3"), "the right button up")

    def moved(a, b):
        return math.dist(map(float, a["position"].split(",")), map(float, b["position"].split(",")))

    d.move(700, 300)                                 # over the preview, off every window
    c = camera(lambda: d.key("0"), "0")
    check((c["mode"], c["speed"], c["fine"]) == ("3", "0.01", "0"), "free flight: %r" % c)
    b = wheel()
    check(abs(moved(b, c) - 10) < 1e-4, "one step moves 10 units: %r" % b)
    c = camera(lambda: d.key("9"), "9")
    check((c["speed"], c["fine"]) == ("0.0001", "1"), "fine control: %r" % c)
    b = wheel()
    check(abs(moved(b, c) - 0.1) < 1e-4, "a fine step moves 0.1: %r" % b)
    c = orbit()
    check(moved(b, c) == 0 and c["yaw"] != b["yaw"], "free flight turns in place: %r" % c)
    c = camera(lambda: d.key("0"), "0")
    check((c["mode"], c["speed"], c["fine"]) == ("1", "1", "0"), "target mode again: %r" % c)
    distance, before = float(c["distance"]), c
    c = orbit()
    check(abs(float(c["distance"]) - distance) < 1e-4 and c["yaw"] != before["yaw"], "orbit keeps the distance: %r" % c)
    c = wheel()
    check(abs(float(c["distance"]) - distance / 1.1) < 1e-3, "a step shortens by 1/1.1: %r" % c)
    c = wheel("alt")
    check(abs(float(c["distance"]) - distance / 110) < 1e-3, "with Alt by 1/100: %r" % c)
    c = camera(lambda: d.key("0"), "0")
    c = camera(lambda: d.key("0"), "0")
    check((c["mode"], c["speed"], c["fine"]) == ("1", "1", "0"), "0 twice: %r" % c)
    check(escape_to_end(d) == 0, "Escape ends the designer")


def case_pages_lists_summary(args, root):
    """The summary's drawn numbers are the design's; list rows show the current row; Play moves the ruler mark
    and the gear in the preview."""
    d = start_in_demo(args, root)
    press(d, "Save")
    d.sync()
    expected = summary_of(os.path.join(root, DESIGN))
    press(d, "Parameters")
    vx, vy, vw, vh = PAGES["Parameters"][0]
    width, height, pixel = d.screenshot()
    labels = ["Total mass: ", "Total main thrust: ", "Total retro thrust: ", "Total hover thrust: ", "Mass ratio: ",
              "Main exhaust velocity (ISP): ", "Main Delta-V: "]
    units = [" Kg", "N", "N", "N", "", "m/s", "m/s"]
    for i, (label, unit, value) in enumerate(zip(labels, units, expected)):
        line = read_line(args, pixel, vx + 2, vy + 22 + 20 * i)
        check(line.startswith(label) and line.endswith(unit), "summary line %d reads %r" % (i, line))
        shown = scaled(line[len(label):len(line) - len(unit)])
        check(abs(shown - value) <= max(abs(value) * 1e-3, 1e-3), "summary line %r, not %g" % (line, value))
    d.click(vx + vw // 2, vy + vh - 12)

    press(d, "Engines")                              # the first row is current, the second in its group's colour
    tx, ty, tw, th = THRUSTERS
    width, height, pixel = d.screenshot()
    check(pixel(tx + 112 + 20, ty + 4 + 1) == (128, 128, 200), "the current row: %r" % (pixel(tx + 132, ty + 5),))
    check(read_line(args, pixel, tx + 127, ty + 6).startswith("#1, FT 0, THR "), "the first row's text")
    d.click(tx + 112 + 100, ty + 4 + 22 + 9)         # the second row becomes current
    width, height, pixel = d.screenshot()
    check(pixel(tx + 112 + 20, ty + 4 + 22 + 1) == (128, 128, 200), "the chosen row is current")
    check(pixel(tx + 112 + 20, ty + 4 + 1) != (128, 128, 200), "the first row no longer is")
    d.click(tx + tw - 22, ty + th // 2)

    press(d, "Animations")                           # the gear animation in the editor, played
    ax, ay, aw, ah = PAGES["Animations"][0]
    d.click(ax + 2 + 50, ay + 46 + 10)               # "Editor"
    bx, by = 50, 40                                  # "Animation block": (W - 100) x 200 at (50, 40)
    bw, bh = W - 100, 200

    def mark():
        width, height, pixel = d.screenshot()
        column = [x for x in range(bx + 60, bx + bw - 200) if pixel(x, by + 22 + 20) == (0, 255, 0)]  # between two rows
        check(len(column) == 1, "one green position line: %r" % column)
        return column[0]
    gear = [(x, y) for x in range(480, 550, 2) for y in range(320, 390, 2)]   # the right main gear, below the hull

    def gear_pixels():
        width, height, pixel = d.screenshot()
        return [pixel(x, y) for x, y in gear]
    before, gear_before = mark(), gear_pixels()
    d.click(bx + 2 + 50, by + bh - 20 + 9)           # "Play |>"
    deadline = time.monotonic() + 20                 # a second when idle; generous for a loaded machine
    after = mark()
    while after == before and time.monotonic() < deadline:
        after = mark()
    check(after != before, "playing moves the position mark (%d, then %d)" % (before, after))
    time.sleep(1)                                    # a seventh of the gear's travel
    changed = sum(a != b for a, b in zip(gear_before, gear_pixels()))
    check(changed > len(gear) // 10, "playing moves the gear in the preview: %d of %d pixels changed" % (changed, len(gear)))
    d.click(bx + 112 + 50, by + bh - 20 + 9)         # "Stop |=|"
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


def autosaves(root):
    """The sessions' autosave files under root, oldest first."""
    folder = os.path.join(root, "Vessel_Design")
    return sorted(os.path.join(folder, n) for n in (os.listdir(folder) if os.path.isdir(folder) else [])
                  if re.fullmatch(r"autosave-\d{6}-\d{6}\.vessdef", n))


def wait_until(condition, what, limit=10):
    deadline = time.monotonic() + limit
    while not condition():
        check(time.monotonic() < deadline, "%s within %d s" % (what, limit))
        time.sleep(0.05)


def change_mass(d, text):
    """"Mass, Kg" of "Main data" typed; "Close&Save" stores it."""
    press(d, "Main data")
    gx, gy, gw, gh = GENERAL
    d.click(gx + 120 + 96, gy + 60 + 8)
    replace_text(d, text)
    d.click(gx + gw // 2, gy + gh - 12)


def saved_design(d, root):
    """Save (Yes when the file exists); the saved design once the file was replaced."""
    path = os.path.join(root, DESIGN)
    identity = lambda: (os.stat(path).st_ino, os.stat(path).st_mtime_ns) if os.path.exists(path) else None
    before = identity()
    press(d, "Save")
    if before is not None:
        d.click(CONFIRM[0] + CONFIRM[2] // 4, CONFIRM[1] + 60)     # "Yes"
    wait_until(lambda: identity() not in (None, before), "Save replaced " + DESIGN)
    return design_block(path)


def case_menu_over_lists(args, root):
    """At 800 x 600 the main menu, kept on top, takes its clicks with a list or page open."""
    d = Designer(args.designer, root)
    d.wait_for_title()
    for caption, page in (("Engines", THRUSTERS), ("Save", None), ("Main data", GENERAL),
                          ("3D controls", PAGES["3D controls"][0]), ("Help", PAGES["Help"][0])):
        before = d.screenshot()[2]                   # the page's title bar shows where it was not before
        saved_design(d, root) if caption == "Save" else press(d, caption)
        after = d.screenshot()[2]
        check(not page or all(before(x, page[1] - 8) != after(x, page[1] - 8) for x in (page[0] + 5, page[0] + page[2] - 5)),
              caption + " took its click")
    check(escape_to_end(d) == 0, "Escape, pressed until no window is left, ends with exit code 0")


def client_area(d, wanted=None):
    """x, y, width, height of the client area (xwininfo: right under a frame); with wanted, once it holds and drawn."""
    info = lambda: subprocess.run(["xwininfo", "-id", d.window], capture_output=True, text=True).stdout
    area = lambda: tuple(int(re.search(r"%s:\s*(-?[0-9]+)" % f, info()).group(1))
                         for f in ("upper-left X", "upper-left Y", "Width", "Height"))
    if wanted:
        wait_until(lambda: wanted(*area()[2:]), "the window's size", 30)
        d.origin = None
        d.sync()
    return area()


def case_desktop_maximised(args, root):
    """Maximised by a window manager: "Main data" and "Save" work at their rules' places, "Save" again after a
    resize to 1000 x 700, and a click on the vessel picks a group, drawn pulsing there."""
    d = start_in_demo(args, root)
    x, y, sw, sh = client_area(d, lambda w, h: w == 1280 and h > 900)
    gx, gy, gw, gh = placed(sw // 2 - 250, sh // 2 - 250, 476, 500, (sw, sh))   # where its rule says: no overlap
    press(d, "Main data", (sw - 502, sh - 154))
    d.click(gx + 120 + 96, gy + 60 + 8)
    replace_text(d, "2345")
    d.click(gx + gw // 2, gy + gh - 12)              # "Close&Save"
    path = os.path.join(root, DESIGN)
    for size in ((sw, sh), (1000, 700)):
        if size == (1000, 700):
            os.remove(path)
            for change in (["-b", "remove,maximized_vert,maximized_horz"], ["-e", "0,10,10,1000,700"]):
                subprocess.run(["wmctrl", "-i", "-r", d.window, *change], check=True)
            client_area(d, lambda w, h: (w, h) == size)
        d.click(size[0] - 502 + 52, size[1] - 154 + 56)  # "Save"
        wait_until(lambda: os.path.exists(path) and header_value(path, "d", 528) == 2345, "Save at %r" % (size,))
    d.click(440, 335)                                # the hull, left of the middle
    cx, cy = selected_marker(d)
    check(math.hypot(cx - 440, cy - 335) < 150, "the picked group pulses at (%d, %d)" % (cx, cy))
    d.key("Escape")
    check(d.wait() == 0, "Escape ends with exit code 0")


def case_undo_redo(args, root):
    """A typed mass, an added thruster, its position dragged in the preview and a deleted tank: four Ctrl+Z give the
    design back byte for byte, four Ctrl+Y the changed one; a Load is undone; Escape leaves the
    changed design in the autosave."""
    d = start_in_demo(args, root)
    original = saved_design(d, root)
    shutil.copy(os.path.join(root, DESIGN), os.path.join(root, "original.vessdef"))
    change_mass(d, "2500")
    press(d, "Engines")
    tx, ty, tw, th = THRUSTERS
    d.click(tx + 2 + 50, ty + 2 + 10)                # "Add": the new thruster, at the origin, is selected
    # Its +x arm runs 10 m to the right; the press lies off every marker, 16 pixels move it 4 m.
    handle_drag(d, (540, H // 2), (16, 0))
    d.click(tx + 2 + 50, ty + 68 + 10)               # "Propellant": the fuel tanks
    lx, ly, lw, lh = placed(20, H - 220, 400, 200)
    d.click(lx + 2 + 50, ly + 24 + 10)               # "Delete" tank 1
    d.click(lx + lw - 22, ly + lh // 2)
    d.click(tx + tw - 22, ty + th // 2)
    changed = saved_design(d, root)
    count = thrusters_of(os.path.join(root, DESIGN))[0]
    check(header_value(os.path.join(root, DESIGN), "d", 528) == 2500.0, "the typed mass was stored")
    check(count == thrusters_of(os.path.join(root, "original.vessdef"))[0] + 1, "a thruster was added")
    data = open(os.path.join(root, DESIGN), "rb").read()
    check(struct.unpack_from("<i", data, 788)[0] == 1, "a tank went")
    moved = thruster_position(os.path.join(root, DESIGN), count - 1)
    check(moved == (4.0, 0.0, 0.0), "the drag moved the thruster to x = 4: %r" % (moved,))
    for _ in range(3):
        d.key("ctrl+z")
    saved_design(d, root)
    check(header_value(os.path.join(root, DESIGN), "d", 528) == 2500.0 and
          thrusters_of(os.path.join(root, DESIGN))[0] == count - 1, "three Ctrl+Z leave the typed mass alone")
    d.key("ctrl+z")
    check(saved_design(d, root) == original, "four Ctrl+Z give the design back byte for byte")
    for _ in range(4):
        d.key("ctrl+y")
    check(saved_design(d, root) == changed, "four Ctrl+Y give the changed design back")

    press(d, "Load")
    d.click(*export_dialog_filter(1, 4))
    d.click((W - 520) // 2 + 132 + 300, (H - 424) // 2 + 276 + 8)
    replace_text(d, "original.vessdef")
    d.key("Return")
    check(saved_design(d, root) == original, "the original was loaded")
    press(d, "Undo")
    check(saved_design(d, root) == changed, "\"Undo\" took the Load back")
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")
    check(design_block(autosaves(root)[-1]) == changed, "the autosave holds the changed design")


def close_message_box(args, title):
    """Closes the message box titled title once it shows (xdotool cannot search UTF-8 titles: xwininfo)."""
    box = lambda: (re.findall(r'^\s*(0x[0-9a-f]+) "%s"' % re.escape(title), subprocess.run(
        ["xwininfo", "-root", "-children"], capture_output=True, text=True).stdout, re.M) or [None])[0]
    wait_until(box, "a message box %r" % title, 30)
    subprocess.run([args.closer, box()], check=True)


def case_autosave_endings(args, root):
    """Every ending after a change leaves it in the autosave (Alt+F4, "Exit", the close button, SIGTERM, the
    engine's fatal error, an exception escaping Generate) and gives its reason; no change, no write."""
    shim = {"LD_PRELOAD": args.deflate_fails, "ASAN_OPTIONS": "detect_leaks=0:verify_asan_link_order=0"}
    endings = {"alt+F4": (lambda d: d.key("alt+F4"), 0, {}, ""),
               "Exit": (lambda d: d.click(MENU[0] + 440 + 20, MENU[1] + 2 + 65), 0, {}, ""),
               "close": (lambda d: close_window(args, d), 0, {}, ""),
               "SIGTERM": (lambda d: (d.sync(), d.proc.send_signal(signal.SIGTERM)), 128 + signal.SIGTERM, {}, "signal 15"),
               "engine failure": (lambda d: (d.click(330, 394), close_message_box(args, "VORL: Error|Ошибка")), 1, {}, "Critical"),
               "Generate": (lambda d: (press(d, "Generate"), d.key("Return"), close_message_box(args, "Error")), 1, shim,
                            "Veltora Corvane stopped: Cannot start deflate."),
               "unchanged": (lambda d: d.key("Escape"), 0, {}, "")}
    for number, (ending, (end, code, env, reason)) in enumerate(endings.items()):
        run_root = os.path.join(root, "run%d" % number)
        os.makedirs(run_root)
        d = Designer(args.gallery if ending == "engine failure" else args.designer, run_root, env=env)
        d.wait_for_title()
        if ending != "unchanged":
            change_mass(d, str(100 + number))
        end(d)
        check(d.wait() == code, "%s ends with exit code %d: %s" % (ending, code, d.stderr()))
        check(reason in d.stderr(), "%s gives its reason: %r" % (ending, d.stderr()))
        if ending == "unchanged":
            check(not autosaves(run_root), "an unchanged design is not written")
        else:
            check(header_value(autosaves(run_root)[-1], "d", 528) == 100 + number,
                  "%s: the autosave holds the typed mass" % ending)


def keep_running(d, seconds, why):
    """Waits seconds while the designer runs on; it must not end meanwhile."""
    print("waiting %d s: %s" % (seconds, why))
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        check(d.proc.poll() is None, "the designer ended while waiting: " + d.stderr())
        time.sleep(1)


def design_info(args, path):
    """The design in path as corvane-tool reads it."""
    run = subprocess.run([args.tool, "info", path], capture_output=True, text=True,
                         env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0"))
    check(run.returncode == 0, "%s reads as a design: %s" % (path, run.stderr))
    return json.loads(run.stdout)


FRAME_SLACK = 3.0  # seconds: the minute's write waits for the next frame, slow on a loaded machine


def case_autosave_kill(args, root):
    """A change, a little over two minutes, SIGKILL: the autosave holds the change and is at most a
    minute old, as a changed design is written every minute (its growing design time with it)."""
    d = Designer(args.designer, root)
    d.wait_for_title()
    change_mass(d, "4321")
    d.sync()
    keep_running(d, 125, "two minutes of autosaves")
    killed = time.time()
    d.proc.kill()
    d.proc.wait()
    path = autosaves(root)[-1]
    age = killed - os.stat(path).st_mtime
    print("the autosave was written %.1f s before the kill" % age)
    check(0 <= age <= 60 + FRAME_SLACK, "the autosave is at most a minute old: %.1f s" % age)
    check(design_info(args, path)["header"]["empty_mass"] == 4321.0, "the autosave holds the typed mass")


MESSAGE = placed(W // 2 - 300, H // 2 - 50, 600, 100)   # the "Message" window's body


def message_shown(args, d):
    """The first line of the message window, or None when it is hidden."""
    w, h, pixel = d.screenshot()
    mx, my, mw, mh = MESSAGE
    if not is_title_bar(pixel(mx + 5, my - 8)):
        return None
    white = [x for x in range(mx, mx + mw) for y in range(my + 8, my + 24) if pixel(x, y) == (255, 255, 255)]
    return read_line(args, pixel, min(white), my + 8, 72) if white else ""


def case_autosave_read_only(args, root):
    """An autosave into a read-only "Vessel_Design" says so once; the editor goes on, and the
    ending's failed write is reported on standard error."""
    folder = os.path.join(root, "Vessel_Design")
    os.mkdir(folder)
    os.chmod(folder, stat.S_IRUSR | stat.S_IXUSR | stat.S_IRGRP | stat.S_IXGRP | stat.S_IROTH | stat.S_IXOTH)
    # Root writes anywhere; without these capabilities it meets the folder's mode like anyone.
    prefix = ["setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner", "--"] if os.geteuid() == 0 else []
    d = Designer(args.designer, root, prefix)
    d.wait_for_title()
    change_mass(d, "4321")
    keep_running(d, 55, "the first autosave, a minute after the start")
    deadline = time.monotonic() + 60
    while (line := message_shown(args, d)) is None:
        check(time.monotonic() < deadline, "no message within two minutes of the start")
        time.sleep(1)
    check(line.startswith("Autosave failed: "), "the message tells of the autosave: %r" % line)
    d.click(MESSAGE[0] + MESSAGE[2] // 2, MESSAGE[1] + MESSAGE[3] - 14)   # "OK"
    keep_running(d, 65, "the next autosave, which fails quietly")
    check(message_shown(args, d) is None, "one message, not one a minute")
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")
    check("Autosave failed" in d.stderr(), "the ending's failed write is reported: %r" % d.stderr())
    check(not os.listdir(folder), "nothing was written into the read-only folder")


def page_shown(d, page):
    """Whether the page whose body is at page[0], page[1] shows its title bar."""
    w, h, pixel = d.screenshot()
    return is_title_bar(pixel(page[0] + 5, page[1] - 8))


def case_first_hour_escape_and_sessions(args, root):
    """"abc" typed as the mass shows the error colour and stores nothing; "123", Home, Delete stores 23.
    Escape answers "Confirm?" with No and closes "Main data", and only then ends the program. The next
    session offers the first one's unsaved work; answered No, its own work goes into a file of its own,
    and the first session's mass stays in the first file."""
    d = Designer(args.designer, root)
    d.wait_for_title()
    press(d, "Main data")
    gx, gy, gw, gh = GENERAL
    mass = lambda pixel: read_line(args, pixel, gx + 120, gy + 60, rows_read=range(1, 15))
    before = mass(d.screenshot()[2])
    d.click(gx + 216, gy + 68)                       # the click selects the whole value: typing replaces it
    d.type_text("abc")
    fill = d.screenshot()[2](gx + 180, gy + 73)
    check(fill[0] > 150 and fill[1] < 100, "the box shows the error colour: %r" % (fill,))
    d.click(gx + 60, gy + 330)                       # leaving the box (for a bare spot of the page) stores nothing
    check(mass(d.screenshot()[2]) == before, "the stored mass %r is shown again" % before)
    d.click(gx + 216, gy + 68)
    d.type_text("123")
    d.key("Home", "Delete")
    d.click(gx + gw // 2, gy + gh - 12)              # "Close&Save" stores 23
    press(d, "New")
    d.key("Escape")
    check(not page_shown(d, CONFIRM) and d.proc.poll() is None, "Escape answered the question; the program goes on")
    press(d, "Main data")
    d.key("Escape")
    check(not page_shown(d, GENERAL) and d.proc.poll() is None, "Escape closed the page; the program goes on")
    d.key("Escape")
    check(d.wait() == 0, "a second Escape ends with exit code 0")
    first = autosaves(root)[-1]
    check(header_value(first, "d", 528) == 23.0, "the first session's autosave holds its mass (not New's)")

    d = Designer(args.designer, root)
    d.wait_for_title()
    check(page_shown(d, CONFIRM), "the second session offers the unsaved work")
    stamp = re.search(r"autosave-(\d\d)(\d\d)(\d\d)-(\d\d)(\d\d)(\d\d)", first).groups()
    w, h, pixel = d.screenshot()
    compare_white_text(args, pixel, "Unsaved work from 20%s-%s-%s %s:%s:%s was kept. Load it?" % stamp,
                       CONFIRM[0] + CONFIRM[2] // 2, CONFIRM[1] + 10)
    d.click(CONFIRM[0] + CONFIRM[2] * 3 // 4, CONFIRM[1] + 60)   # "No"
    change_mass(d, "1234")
    keep_running(d, 70, "the second session's minute autosave")
    check(header_value(first, "d", 528) == 23.0, "the first session's autosave still holds its mass")
    second = autosaves(root)[-1]
    check(second != first and header_value(second, "d", 528) == 1234.0, "the second session writes a file of its own")
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


def case_first_hour_install_and_fly(args, root):
    """Generate, "Yes" to installing: the package lands in the installation's own folders, and Run Veltora
    flies the new vessel in the stand-in."""
    d = start_in_demo(args, root)                    # its folders: Meshes, Modules, Textures
    press(d, "Generate")
    d.key("Return")
    wait_until(lambda: page_shown(d, CONFIRM), "the question after Generate", 30)
    w, h, pixel = d.screenshot()
    compare_white_text(args, pixel, "Install the add-on into this installation now?", CONFIRM[0] + CONFIRM[2] // 2,
                       CONFIRM[1] + 10)
    d.click(CONFIRM[0] + CONFIRM[2] // 4, CONFIRM[1] + 60)     # "Yes"
    d.wait_for_output(r"^status: Installed deltaglider_vrk\.zip: \d+ files", 30)
    for folder, names, files in os.walk(root):
        lower = [n.lower() for n in names]
        check(len(lower) == len(set(lower)), "no folder twice in two cases in %s: %r" % (folder, names))
    log = os.path.join(root, "veltora.log")
    press(d, "Run Veltora")
    wait_until(lambda: os.path.exists(log) and "every vessel" in open(log).read(), "the stand-in's report", 60)
    report = open(log).read()
    check("DeltaGlider_vrk-1" in report and "not created" not in report, "the new vessel flew: %s" % report[-400:])
    check(escape_to_end(d) == 0, "Escape ends with exit code 0")


def die_with_parent():
    """Run in the child before exec: the server ends with this script, even when it is killed."""
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


class VirtualDisplay:
    """An Xvfb of this case's own; DISPLAY names it while the case runs. Its keys do not repeat:
    on a loaded machine xdotool's release can come late enough for a pressed key to repeat."""

    def __init__(self, xvfb, log_path, desktop=False):
        started = time.monotonic()
        self.manager = None
        reader, writer = os.pipe()
        self.log = open(log_path, "w")
        self.proc = subprocess.Popen([xvfb, "-displayfd", str(writer), "-screen", "0", "1280x1024x24" if desktop else SCREEN,
                                      "-nolisten", "tcp", "-noreset", "-r"],
                                     pass_fds=(writer,), stdin=subprocess.DEVNULL, stdout=self.log,
                                     stderr=self.log, preexec_fn=die_with_parent)
        os.close(writer)
        try:
            self.name = ":" + self.read_number(reader, started)
            self.wait_until_answering(started)
            if desktop:
                self.start_window_manager(started)
        except Failure:
            self.close()
            raise
        finally:
            os.close(reader)
        print("display %s answered after %.2f s" % (self.name, time.monotonic() - started))

    def read_number(self, reader, started):
        """Xvfb writes the number it took, then a newline, once it listens."""
        text = b""
        while not text.endswith(b"\n"):
            left = DISPLAY_LIMIT - (time.monotonic() - started)
            check(left > 0, "Xvfb reported no display number within %.0f s" % DISPLAY_LIMIT)
            if select.select([reader], [], [], min(left, 0.5))[0]:
                chunk = os.read(reader, 16)
                check(chunk, "Xvfb ended before reporting its display (exit %r)" % self.proc.poll())
                text += chunk
        check(text.strip().isdigit(), "Xvfb reported %r as its display" % text)
        return text.strip().decode()

    def wait_until_answering(self, started):
        while True:
            probe = subprocess.run(["xdpyinfo", "-display", self.name], capture_output=True)
            if probe.returncode == 0:
                return
            check(self.proc.poll() is None, "Xvfb on %s ended (exit %r)" % (self.name, self.proc.poll()))
            check(time.monotonic() - started < DISPLAY_LIMIT,
                  "Xvfb on %s did not answer within %.0f s" % (self.name, DISPLAY_LIMIT))
            time.sleep(0.1)

    def start_window_manager(self, started):                  # openbox, once it names itself on the root
        env = dict(os.environ, DISPLAY=self.name)
        self.manager = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdin=subprocess.DEVNULL,
                                        stdout=self.log, stderr=self.log, preexec_fn=die_with_parent)
        while "window id" not in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                                                capture_output=True, text=True).stdout:
            check(time.monotonic() - started < DISPLAY_LIMIT, "openbox did not start within %.0f s" % DISPLAY_LIMIT)
            time.sleep(0.05)

    def close(self):
        for proc in ([self.manager] if self.manager else []):
            proc.terminate(), proc.wait()
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.log.close()


def keep_last_screenshot(root, name):
    """The newest picture the program took, copied beside the test for a look after a failure."""
    shots = sorted(f for f in os.listdir(root) if f.startswith("screenshot-") and f.endswith(".bmp"))
    if shots:
        shutil.copy(os.path.join(root, shots[-1]), name)
        print("the last screenshot is kept as %s" % os.path.abspath(name))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--designer", required=True)
    parser.add_argument("--gallery", required=True)
    parser.add_argument("--closer", required=True)
    parser.add_argument("--progress", required=True)
    parser.add_argument("--font", required=True)
    parser.add_argument("--xvfb", default="Xvfb")
    parser.add_argument("--tool")                    # corvane-tool, for the pages' cases
    parser.add_argument("--demo")                    # the demo installation, copied into a case's root
    parser.add_argument("--deflate-fails")           # a library whose deflate cannot start, for LD_PRELOAD
    parser.add_argument("case")
    args = parser.parse_args()
    case = globals().get("case_" + args.case)
    if case is None:
        print("unknown case " + args.case)
        return 2
    with tempfile.TemporaryDirectory(prefix="corvane-gui-") as root:
        display = None
        try:
            display = VirtualDisplay(args.xvfb, os.path.join(root, "xvfb.txt"), args.case.startswith("desktop_"))
            os.environ["DISPLAY"] = display.name
            case(args, root)
        except Failure as f:
            print("FAILED %s: %s" % (args.case, f))
            keep_last_screenshot(root, "failed-%s.bmp" % args.case)
            for name in ("stdout.txt", "stderr.txt", "xvfb.txt"):
                path = os.path.join(root, name)
                if os.path.exists(path):
                    print("--- %s\n%s" % (name, open(path).read()))
            print("0 passed, 1 failed")
            return 1
        finally:
            if display:
                display.close()
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
