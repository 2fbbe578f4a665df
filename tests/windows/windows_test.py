#!/usr/bin/env python3
"""The Windows build tried under Wine, as an author on Windows would use it.

Usage: windows_test.py WINDOWS_BUILD LINUX_TOOL [CASE...]

designer  corvane.exe in a copy of the demo installation, on a virtual X
          server: the glider in the middle, the main menu at its corner;
          "Save" writes the template design; a typed mass is autosaved
tool      corvane-tool.exe writes the template and generates its add-on; every
          entry equals the Linux tool's, the module entry's design block too
fly       the Windows add-on unpacked into a copy of the demo installation and
          flown by the Windows veltora.exe
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e", "gui"))
import gui_test as gui  # noqa: E402  the Linux GUI cases' designer driver and checks

WINE_RUN = os.path.join(HERE, "..", "..", "scripts", "wine-run")
IMAGE_SIZE = 69632                                   # the module image in front of the design block
MODULE_ENTRY = "modules\\deltaglider_vrk.dll"
TIME_STAMP = re.compile(rb"\d{6}_\d\d-\d\d-\d\d-\d{3}")   # when the readme was generated


def copy_demo(build, root):
    shutil.copytree(os.path.join(build, "demo-root"), root, dirs_exist_ok=True)


def wine(program, *args, cwd):
    return subprocess.run([WINE_RUN, program, *args], cwd=cwd, capture_output=True, text=True, timeout=600)


def client_origin(d, w, h):
    """The screen position of the window's client area: Wine draws the frame and the caption
    of a maximised window inside the X window, borders alike on the left, right and bottom."""
    x, y, width, height = gui.shell_values("getwindowgeometry", "--shell", d.window, keys=("X", "Y", "WIDTH", "HEIGHT"))
    border = (width - w) // 2
    return x + border, y + height - h - border


def case_designer(build, linux_tool, root):
    copy_demo(build, root)
    d = gui.Designer(os.path.join(build, "corvane.exe"), root, prefix=[WINE_RUN])
    try:
        d.wait_for_title(limit=180)                  # Wine's first start makes its prefix
        w, h, pixel = d.screenshot()
        subprocess.run(["import", "-window", "root", os.path.join(build, "test-windows-designer.png")])
        middle = {pixel(x, y) for x in range(w // 2 - 150, w // 2 + 150, 3) for y in range(h // 2 - 60, h // 2 + 60, 3)}
        coloured = [p for p in middle if not gui.is_sky(p)]
        gui.check(len(coloured) > 300, "the glider in the middle: %d colours that are not sky" % len(coloured))
        menu = (w - 502, h - 154)                    # the main menu's body, at the window's corner
        bar = sum(gui.is_title_bar(pixel(x, menu[1] - 8)) for x in range(menu[0], w - 20))
        gui.check(bar > 400, "the main menu's title bar at the corner: %d pixels" % bar)

        d.origin = client_origin(d, w, h)
        gui.press(d, "Save", menu=menu)
        saved = os.path.join(root, gui.DESIGN)
        gui.wait_until(lambda: os.path.exists(saved), "Save wrote " + gui.DESIGN)
        template = os.path.join(root, "template.vessdef")
        subprocess.run([linux_tool, "template", template], capture_output=True, check=True)
        # What the preview sets at start (the size from the meshes, the airlock from dock 0) and the time aside
        expected = {"header.size", "header.design_time", "crew[0].airlock_pos", "crew[0].airlock_rot",
                    "crew[0].airlock_size"}
        diff = lambda: subprocess.run([linux_tool, "diff", template, saved], capture_output=True, text=True).stdout
        gui.wait_until(lambda: diff().startswith("["), "the saved design is complete")
        changed = {change["path"] for change in json.loads(diff())}
        gui.check(changed <= expected, "the saved design is the template: %s differ" % sorted(changed - expected))
        gui.check(not gui.autosaves(root), "an unchanged design is not autosaved")
        gui.press(d, "Main data", menu=menu)           # "Mass, Kg" typed; "Close&Save" stores it
        gx, gy, gw, gh = gui.placed(w // 2 - 250, h // 2 - 250, 476, 500, (w, h))
        d.click(gx + 120 + 96, gy + 60 + 8)
        gui.replace_text(d, "4321")
        d.click(gx + gw // 2, gy + gh - 12)
        gui.check(gui.escape_to_end(d, limit=20) == 0, "Escape ends with exit code 0")
        kept = gui.autosaves(root)
        gui.check(kept and gui.header_value(kept[-1], "d", 528) == 4321, "the autosave holds the typed mass: %s" % kept)
    finally:
        if d.proc.poll() is None:
            d.proc.kill()


def entries(path):
    with zipfile.ZipFile(path) as z:
        gui.check(z.testzip() is None, "%s: every entry's CRC is right" % path)
        return {i.filename: z.read(i) for i in z.infolist()}


def case_tool(build, linux_tool, root):
    for side in ("windows", "linux"):
        copy_demo(build, os.path.join(root, side))
    win, lin = os.path.join(root, "windows"), os.path.join(root, "linux")
    for args in (["template", "t.vessdef"], ["generate", "t.vessdef", "-o", "t.zip"]):
        run = wine(os.path.join(build, "corvane-tool.exe"), *args, cwd=win)
        gui.check(run.returncode == 0, "corvane-tool.exe %s: %s%s" % (" ".join(args), run.stdout, run.stderr))
        run = subprocess.run([linux_tool, *args], cwd=lin, capture_output=True, text=True)
        gui.check(run.returncode == 0, "corvane-tool %s: %s%s" % (" ".join(args), run.stdout, run.stderr))
    template = [open(os.path.join(side, "t.vessdef"), "rb").read() for side in (win, lin)]
    gui.check(template[0] == template[1], "the two templates are the same bytes")
    got, want = entries(os.path.join(win, "t.zip")), entries(os.path.join(lin, "t.zip"))
    gui.check(sorted(got) == sorted(want), "the same entries: %s against %s" % (sorted(got), sorted(want)))
    for name in want:
        if name.lower() == MODULE_ENTRY:
            gui.check(got[name][:2] == b"MZ", "the Windows package holds a Windows module")
            gui.check(got[name][IMAGE_SIZE:] == want[name][IMAGE_SIZE:], "the module's design block is the same")
        else:
            same = TIME_STAMP.sub(b"T", got[name]) == TIME_STAMP.sub(b"T", want[name])
            gui.check(same, "%s is the same bytes, its time stamp aside" % name)
    print("%d entries compared" % len(want))


def case_fly(build, linux_tool, root):
    copy_demo(build, root)
    run = wine(os.path.join(build, "corvane-tool.exe"), "template", "t.vessdef", cwd=root)
    gui.check(run.returncode == 0, "template: %s%s" % (run.stdout, run.stderr))
    run = wine(os.path.join(build, "corvane-tool.exe"), "generate", "t.vessdef", "-o", "t.zip", cwd=root)
    gui.check(run.returncode == 0, "generate: %s%s" % (run.stdout, run.stderr))
    with zipfile.ZipFile(os.path.join(root, "t.zip")) as z:
        names = [n for n in z.namelist() if n.lower().endswith(".scn")]
    gui.unpack(root, os.path.join(root, "t.zip"))
    scenario = next(n for n in names if "ground" in n)
    run = wine(os.path.join(root, "veltora.exe"), scenario, "--steps", "5", "--report", "flight.log", cwd=root)
    report = open(os.path.join(root, "flight.log")).read() if os.path.exists(os.path.join(root, "flight.log")) else ""
    gui.check(run.returncode == 0, "veltora.exe flies the add-on: exit %d %s%s" % (run.returncode, run.stderr, report[-800:]))
    for call in ("loaded from", "InitModule", "ovcInit", "clbkSetClassCaps", "clbkPreStep", "clbkSaveState"):
        gui.check(call in report, "the flight report names %s:\n%s" % (call, report[-800:]))


CASES = {"designer": case_designer, "tool": case_tool, "fly": case_fly}


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    build, linux_tool = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    chosen = sys.argv[3:] or list(CASES)
    passed = failed = 0
    display = None
    with tempfile.TemporaryDirectory(prefix="corvane-windows-") as top:
        try:
            display = gui.VirtualDisplay("Xvfb", os.path.join(top, "xvfb.txt"))
            os.environ["DISPLAY"] = display.name
            for name in chosen:
                root = os.path.join(top, name)
                os.makedirs(root)
                try:
                    CASES[name](build, linux_tool, root)
                    print("PASSED %s" % name)
                    passed += 1
                except (gui.Failure, subprocess.TimeoutExpired) as f:
                    print("FAILED %s: %s" % (name, f))
                    for log in ("stdout.txt", "stderr.txt"):
                        path = os.path.join(root, log)
                        if os.path.exists(path):
                            print("--- %s\n%s" % (log, open(path, errors="replace").read()[-3000:]))
                    failed += 1
        finally:
            if display:
                display.close()
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
