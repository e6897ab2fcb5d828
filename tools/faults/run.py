#!/usr/bin/env python3
"""Plants each fault of faults.txt, one at a time, in a scratch copy of the working tree,
rebuilds the fast suites (model_tests, qt_tests), runs them and says which test caught it; a
fault that only the real program on a real desktop shows names the end-to-end test that must
catch it, which is built and run instead. Exits 1 when a fault goes uncaught or no longer
applies. Usage: run.py [--every] [WORD of the faults]; with --every, each fault of the fast
suites names every test that catches it, to find tests that catch nothing another does not."""
import os
import pathlib
import resource
import shutil
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
SUITES = ["model_tests", "qt_tests"]


def at_most_4_gib():  # a fault may make a test grow without end
    resource.setrlimit(resource.RLIMIT_AS, (4 << 30, 4 << 30))


def sh(*command, cwd=ROOT, timeout=None):
    try:
        done = subprocess.run(command, cwd=cwd, capture_output=True, text=True, timeout=timeout,
                              env={**os.environ, "QT_QPA_PLATFORM": "offscreen"},
                              preexec_fn=at_most_4_gib if timeout else None)
        return done.returncode, done.stdout
    except subprocess.TimeoutExpired:
        return None, ""


EVERY = "--every" in sys.argv


def caught_by(build, e2e=None):
    """The first test of the fast suites that fails (with --every, all of them), or the
    end-to-end test named, if it fails; None when they all pass."""
    if e2e:
        status, _ = sh("ctest", "--test-dir", build, "-R", f"^{e2e}$", cwd=build, timeout=900)
        return e2e if status != 0 else None
    caught = []
    for suite in SUITES:
        status, output = sh(build / "bin" / suite, *([] if EVERY else ["--gtest_fail_fast"]),
                            cwd=build, timeout=600)
        failed = list(dict.fromkeys(line.split()[3] for line in output.splitlines()
                                    if line.startswith("[  FAILED  ]") and "," not in line))
        if status != 0:
            caught += [f"{suite}: {test}" for test in failed] or \
                [f"{suite}: " + ("it hung" if status is None else "crashed")]
            if not EVERY:
                break
    return " | ".join(caught) or None


def main():
    scratch = pathlib.Path(tempfile.mkdtemp(prefix="jangora-faults-"))
    for name in sh("git", "ls-files", "-co", "--exclude-standard")[1].split():
        if (ROOT / name).is_file():
            (scratch / name).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(ROOT / name, scratch / name)
    build = scratch / "build"
    sh("cmake", "-S", scratch, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release")
    rebuild = ("cmake", "--build", build, "--target", *SUITES)
    if sh(*rebuild)[0] != 0 or caught_by(build):
        sys.exit("the fast suites fail before any fault is planted")
    lines = [line for line in (ROOT / "tools/faults/faults.txt").read_text().splitlines()
             if not line.startswith("#")]
    uncaught = 0
    for block in "\n".join(lines).strip().split("\n\n"):
        path, what, line, planted, *test = block.split("\n")
        e2e = test[0].removeprefix("test: ") if test else None
        words = [word for word in sys.argv[1:] if word != "--every"]
        if words and words[0] not in what or EVERY and e2e:
            continue
        text = (scratch / path).read_text()
        rows = text.split("\n")
        at = [i for i, row in enumerate(rows) if row.strip() == line.strip()]
        verdict, why = None, "stale: the line is not there once"
        if len(at) == 1:
            row = rows[at[0]]
            rows[at[0]] = row[:len(row) - len(row.lstrip())] + planted.strip()
            (scratch / path).write_text("\n".join(rows))
            built = sh(*(("cmake", "--build", build) if e2e else rebuild))[0] == 0
            verdict, why = (caught_by(build, e2e), "no test fails") if built else (None, "no build")
            (scratch / path).write_text(text)
        uncaught += verdict is None
        print(f"{'CAUGHT' if verdict else 'MISSED':8} {path}: {what} -> {verdict or why}",
              flush=True)
    shutil.rmtree(scratch)
    sys.exit(1 if uncaught else 0)


if __name__ == "__main__":
    main()
