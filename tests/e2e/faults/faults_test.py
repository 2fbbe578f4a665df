#!/usr/bin/env python3
"""Saves and generation under faults, through corvane-tool as a user runs it.

Three writers are tried: the design file, the module and the add-on package.
  kill_WRITER  the tool writes over a good file and is killed (SIGKILL) at a
               random moment, ITERATIONS times; afterwards the target is
               always the complete old file or the complete new one, and
               once a write has run to its end no temporary file is left.
  disk_full    each writer on a full file system (a small tmpfs in a mount
               namespace of its own): exit 1, the message, the old file byte
               for byte, no temporary file.
  read_only    each writer into a folder it may not write: the same.
A kill costs at most one run of the tool, which takes a few hundredths of a
second and mostly waits, so the kills run in four folders side by side and
1,000 iterations stay cheap. The moments are drawn from fixed seeds; what
must hold does not depend on where they fall.
Usage: faults_test.py --tool PATH [--iterations N] CASE
"""
import argparse
import collections
import os
import random
import re
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

ENV = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
TEMP_PREFIX = ".corvane-"
WORKERS = 4                 # folders whose kills run side by side
TIME_STAMP = re.compile(rb"[0-9]{6}_[0-9]{2}-[0-9]{2}-[0-9]{2}-[0-9]{3}")   # yymmdd_hh-nn-ss-zzz
# A vessel without meshes, so that its package needs nothing of an installation.
SC3_SAMPLE = "[CONFIG]\nFUEL_MASS=500\nISP=3000\nMAIN_THRUST=100000\n[EX_MAIN_1]\nOFF=(0,0,-5)\nLENGTH=10\n"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Tool:
    """corvane-tool run in a scratch folder; the two source designs it writes from."""

    def __init__(self, path, root):
        self.path, self.root = path, root
        # `new` refuses an existing design unless told to overwrite, where the tool has that switch
        self.force = ["--force"] if "--force" in self.run(["new", "--help"]).stdout else []
        self.sources = [os.path.join(root, "blank.vessdef"), os.path.join(root, "imported.vessdef")]
        with open(os.path.join(root, "sample.ini"), "w") as f:
            f.write(SC3_SAMPLE)
        for args in (["new", self.sources[0]], ["import-sc3", "sample.ini", self.sources[1]]):
            done = self.run(args + self.force)
            check(done.returncode == 0, "making the sources: %s" % done.stderr)

    def run(self, args, prefix=()):
        return subprocess.run([*prefix, self.path, *args], cwd=self.root, env=ENV, capture_output=True, text=True)

    def start(self, args):
        return subprocess.Popen([self.path, *args], cwd=self.root, env=ENV,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# Each writer: the tool's arguments that write source k (0 or 1) to out.
WRITERS = {
    "design": lambda tool, k, out: (["new", out] if k == 0 else ["import-sc3", "sample.ini", out]) + tool.force,
    "module": lambda tool, k, out: ["module", tool.sources[k], "-o", out],
    "addon": lambda tool, k, out: ["generate", tool.sources[k], "-o", out],
}


def contents(path):
    """What a written file holds: its bytes, or for a package each entry's name and bytes
    with the time stamps of the readme taken out (they and the entries' times change
    from run to run). None when it is not complete."""
    data = open(path, "rb").read()
    if not path.endswith(".zip"):
        return data
    try:
        with zipfile.ZipFile(path) as z:
            if z.testzip() is not None:
                return None
            return tuple((i.filename, TIME_STAMP.sub(b"<time>", z.read(i))) for i in z.infolist())
    except zipfile.BadZipFile:
        return None


def temporaries(folder):
    return [n for n in os.listdir(folder) if n.startswith(TEMP_PREFIX)]


def target_name(writer):
    return {"design": "target.vessdef", "module": "target.dll", "addon": "target.zip"}[writer]


def references(tool, writer, folder):
    """Each source written uninterrupted: the expected contents, and the median time of
    three runs of each (one slow run on a loaded machine would make every kill later)."""
    expected, times = [], []
    for k in (0, 1):
        out = os.path.join(folder, "reference-%d-%s" % (k, target_name(writer)))
        for _ in range(3):
            started = time.monotonic()
            done = tool.run(WRITERS[writer](tool, k, out))
            times.append(time.monotonic() - started)
            check(done.returncode == 0, "writing the reference: %s" % done.stderr)
        expected.append(contents(out))
        os.remove(out)
    check(expected[0] != expected[1], "the two sources write different files")
    return expected, sorted(times)[len(times) // 2]


def kill_run(tool, writer, expected, run_time, folder, iterations, seed):
    """iterations kills of writes to one target in folder; what the targets were afterwards."""
    os.mkdir(folder)
    target = os.path.join(folder, target_name(writer))
    check(tool.run(WRITERS[writer](tool, 0, target)).returncode == 0, "the first good file")
    rng = random.Random(seed)
    seen = collections.Counter()
    for i in range(iterations):
        k = (i + 1) % 2                          # every write changes the file
        proc = tool.start(WRITERS[writer](tool, k, target))
        time.sleep(rng.uniform(0, run_time * 1.2))
        proc.send_signal(signal.SIGKILL)
        proc.wait()
        got = contents(target)
        check(got in expected, "%s, iteration %d: the target is neither the old nor the new file" % (folder, i))
        seen["new" if got == expected[k] else "old"] += 1
        seen["left a temporary file"] += bool(temporaries(folder))
        if i % 50 == 49 or i == iterations - 1:
            done = tool.run(WRITERS[writer](tool, k, target))
            check(done.returncode == 0, "an uninterrupted write after iteration %d: %s" % (i, done.stderr))
            check(contents(target) == expected[k], "the uninterrupted write's file")
            check(not temporaries(folder), "temporary files after a complete write: %r" % temporaries(folder))
    return seen


def kill_case(args, root, writer):
    """The kills run in WORKERS folders side by side: each run mostly waits for its process."""
    tool = Tool(args.tool, root)
    expected, run_time = references(tool, writer, root)
    results = [None] * WORKERS

    def worker(w):
        try:
            results[w] = kill_run(tool, writer, expected, run_time, os.path.join(root, "out-%d" % w),
                                  args.iterations // WORKERS + (w < args.iterations % WORKERS), 15 + w)
        except Failure as f:
            results[w] = f
    threads = [threading.Thread(target=worker, args=(w,)) for w in range(WORKERS)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for r in results:
        if isinstance(r, Failure):
            raise r
    seen = sum(results, collections.Counter())
    print("%s: %d kills within %.3f s of the start; %s" % (
        writer, args.iterations, run_time * 1.2, ", ".join("%s %d" % kv for kv in sorted(seen.items()))))


def check_refused(writer, target, folder, done, reason):
    """The write to target failed as it should: exit 1 and the message; folder holds no temporary file."""
    message = "cannot write %s: %s" % (target, reason)
    check(done.returncode == 1, "%s: exit %d, stderr %r" % (writer, done.returncode, done.stderr))
    check(message in done.stderr, "%s: %r does not say %r" % (writer, done.stderr, message))
    check(not temporaries(folder), "%s: temporary files left: %r" % (writer, temporaries(folder)))


def case_disk_full(args, root):
    tool = Tool(args.tool, root)
    for writer in WRITERS:
        folder = os.path.join(root, "full-" + writer)
        os.mkdir(folder)
        old = os.path.join(root, "old-" + target_name(writer))
        check(tool.run(WRITERS[writer](tool, 0, old)).returncode == 0, "the old file")
        target = os.path.join(folder, target_name(writer))
        # In a mount namespace of its own: a 256 KB file system holding the old
        # file and a filler that takes every byte left. The namespace ends with
        # the shell, so what the file system holds is copied out before.
        script = ('dir=$1 old=$2 target=$3 tool=$4; shift 4; '
                  'mount -t tmpfs -o size=256k tmpfs "$dir" && cp "$old" "$target" || exit 1; '
                  'cat /dev/zero > "$dir/filler" 2>/dev/null; '
                  '"$tool" "$@" 2>"$dir.err"; echo $? > "$dir.exit"; '
                  'rm "$dir/filler"; cp -a "$dir" "$dir.after"')
        ns = subprocess.run(["unshare", "-rm", "sh", "-c", script, "sh", folder, old, target, tool.path,
                             *WRITERS[writer](tool, 1, target)], cwd=root, env=ENV, capture_output=True, text=True)
        check(os.path.exists(folder + ".exit"), "the full file system could not be set up: %s" % ns.stderr)
        done = subprocess.CompletedProcess([], int(open(folder + ".exit").read()), "", open(folder + ".err").read())
        check_refused(writer, target, folder + ".after", done, "No space left on device")
        check(open(os.path.join(folder + ".after", target_name(writer)), "rb").read() == open(old, "rb").read(),
              "%s: the old file byte for byte" % writer)
        print("%s on a full disk: %s" % (writer, done.stderr.strip()))


def case_read_only(args, root):
    tool = Tool(args.tool, root)
    # Root writes anywhere; without these capabilities it meets the folder's mode like anyone.
    prefix = ["setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner", "--"] if os.geteuid() == 0 else []
    for writer in WRITERS:
        folder = os.path.join(root, "read-only-" + writer)
        os.mkdir(folder)
        target = os.path.join(folder, target_name(writer))
        check(tool.run(WRITERS[writer](tool, 0, target)).returncode == 0, "the old file")
        old = open(target, "rb").read()
        os.chmod(folder, stat.S_IRUSR | stat.S_IXUSR | stat.S_IRGRP | stat.S_IXGRP | stat.S_IROTH | stat.S_IXOTH)
        try:
            done = tool.run(WRITERS[writer](tool, 1, target), prefix)
        finally:
            os.chmod(folder, stat.S_IRWXU)
        check_refused(writer, target, folder, done, "Permission denied")
        check(open(target, "rb").read() == old, "%s: the old file byte for byte" % writer)
        print("%s in a read-only folder: %s" % (writer, done.stderr.strip()))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--iterations", type=int, default=1000)
    parser.add_argument("case")
    args = parser.parse_args()
    cases = {"disk_full": case_disk_full, "read_only": case_read_only}
    cases.update({"kill_" + w: (lambda a, r, w=w: kill_case(a, r, w)) for w in WRITERS})
    if args.case not in cases:
        print("unknown case " + args.case)
        return 2
    root = tempfile.mkdtemp(prefix="corvane-faults-")
    try:
        cases[args.case](args, root)
    except Failure as f:
        print("FAILED %s: %s" % (args.case, f))
        return 1
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
