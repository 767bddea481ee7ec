#!/usr/bin/env python3
"""Runs BASIC programs and host scripts and compares what they print.

Usage: run_programs.py TENREK FOLDER...

For every NAME.bas in a folder: `tenrek [ARGS] run NAME.bas`, where ARGS
are the words of NAME.args (if present), with NAME.in (if present) as
standard input. Standard output must equal NAME.out; standard error must
equal NAME.err, or be empty when there is no NAME.err; the exit status
must be 1 when NAME.err is not empty, 0 otherwise.

For every NAME.script: `tenrek host NAME.script`, whose output must equal
NAME.transcript, with exit status 0.
"""
import difflib
import os
import subprocess
import sys


def read(path, default=None):
    if not os.path.exists(path):
        return default
    with open(path, "rb") as f:
        return f.read()


def differences(what, expected, actual):
    lines = difflib.unified_diff(expected.decode(errors="replace").splitlines(True),
                                 actual.decode(errors="replace").splitlines(True),
                                 f"expected {what}", f"actual {what}")
    return "".join(lines)


def check(tenrek, path):
    """Returns a list of problems with one program or script."""
    base, kind = os.path.splitext(path)
    folder = os.path.dirname(path) or "."
    if kind == ".script":
        command = [tenrek, "host", os.path.basename(path)]
        stdin = b""
        expected = {"output": read(base + ".transcript"), "errors": b""}
        status = 0
    else:
        args = (read(base + ".args", b"").decode().split())
        command = [tenrek] + args + ["run", os.path.basename(path)]
        stdin = read(base + ".in", b"")
        expected = {"output": read(base + ".out"), "errors": read(base + ".err", b"")}
        status = 1 if expected["errors"] else 0
    if expected["output"] is None:
        return [f"{path}: no expected output beside it"]
    result = subprocess.run(command, input=stdin, capture_output=True, cwd=folder, timeout=60)
    problems = []
    for what, actual in [("output", result.stdout), ("errors", result.stderr)]:
        if actual != expected[what]:
            problems.append(f"{path}: {what} differs\n" + differences(what, expected[what], actual))
    if result.returncode != status:
        problems.append(f"{path}: exit status {result.returncode}, expected {status}")
    return problems


def main():
    tenrek = os.path.abspath(sys.argv[1])
    paths = []
    for folder in sys.argv[2:]:
        paths += sorted(os.path.join(folder, name) for name in os.listdir(folder)
                        if name.endswith((".bas", ".script")))
    problems = []
    for path in paths:
        problems += check(tenrek, path)
    for problem in problems:
        print(problem)
    print(f"{len(paths) - len({p.split(':')[0] for p in problems})} of {len(paths)} passed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
