#!/usr/bin/env python3
"""Runs every example of the manual and compares what it prints.

Usage: check_examples.py TENREK MANUAL.md [--update]

Examples are fenced blocks that come in groups:
  ```basic      lines typed at the tenrek prompt (numbered lines are stored,
                others run at once)
  ```input      (optional) the answers INPUT reads, one a line
  ```output     everything shown: standard output and error reports, in order
and
  ```script     a host script, played by `tenrek host -`
  ```transcript its transcript.
A ```basic or ```script block without its result block is an error, so no
example goes unchecked. With --update the result blocks are rewritten from
what tenrek prints now (read the difference before committing it).
"""
import os
import re
import subprocess
import sys

FENCE = re.compile(r"^```(\w*)\n(.*?)^```\n", re.S | re.M)
RESULT_OF = {"basic": "output", "script": "transcript"}


def blocks(text):
    return [(m.group(1), m.group(2), m.start(2), m.end(2)) for m in FENCE.finditer(text)]


def run_example(tenrek, kind, source, answers):
    if kind == "basic":
        command, stdin = [tenrek, "--seed", "1"], source + answers
    else:
        command, stdin = [tenrek, "host", "-"], source
    result = subprocess.run(command, input=stdin.encode("latin-1"), stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=60, cwd=WORK)
    return result.stdout.decode("latin-1")


def main():
    tenrek, manual = os.path.abspath(sys.argv[1]), sys.argv[2]
    update = "--update" in sys.argv[3:]
    with open(manual, encoding="latin-1") as f:
        text = f.read()
    found = blocks(text)
    problems, replacements, count, wrong = [], [], 0, 0
    i = 0
    while i < len(found):
        kind, source, _, _ = found[i]
        if kind not in RESULT_OF:
            i += 1
            continue
        line = text.count("\n", 0, found[i][2]) + 1
        answers = ""
        j = i + 1
        if kind == "basic" and j < len(found) and found[j][0] == "input":
            answers = found[j][1]
            j += 1
        if j >= len(found) or found[j][0] != RESULT_OF[kind]:
            problems.append(f"{manual}:{line}: {kind} example without an {RESULT_OF[kind]} block")
            i = j
            continue
        count += 1
        actual = run_example(tenrek, kind, source, answers)
        expected = found[j][1]
        if actual != expected:
            if update:
                replacements.append((found[j][2], found[j][3], actual))
            else:
                wrong += 1
                problems.append(f"{manual}:{line}: prints\n{actual}instead of\n{expected}")
        i = j + 1
    if update and replacements:
        for start, end, new in reversed(replacements):
            text = text[:start] + new + text[end:]
        with open(manual, "w", encoding="latin-1") as f:
            f.write(text)
        print(f"updated {len(replacements)} results")
    for problem in problems:
        print(problem)
    print(f"{count - wrong} of {count} examples print what the manual says")
    return 1 if problems else 0


if __name__ == "__main__":
    import tempfile
    with tempfile.TemporaryDirectory() as WORK:
        sys.exit(main())
