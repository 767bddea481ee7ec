#!/usr/bin/env python3
"""Checks the built manual: a PDF whose outline (the bookmarks a reader
jumps from) holds every chapter and section of the source, in order; and
a man page that groff formats without a single warning.

Usage: check_pdf.py Basic.pdf basic.md tenrek.1
"""
import re
import subprocess
import sys


def main():
    pdf_path, source_path = sys.argv[1], sys.argv[2]
    with open(pdf_path, "rb") as f:
        pdf = f.read()
    with open(source_path, encoding="latin-1") as f:
        headings = [re.sub(r"[`*]", "", m.group(1)) for m in
                    re.finditer(r"^#+ (.*)$", re.sub(r"^```.*?^```", "", f.read(), flags=re.S | re.M),
                                re.M)]
    problems = []
    if not pdf.startswith(b"%PDF-"):
        problems.append("not a PDF")
    if b"/Outlines" not in pdf:
        problems.append("no outline")
    titles = [t.decode("latin-1") for t in re.findall(rb"/Title \(((?:[^)\\]|\\.)*)\)", pdf)]
    titles = [re.sub(r"\\(.)", r"\1", t) for t in titles]
    if titles[1:] != headings:
        missing = [h for h in headings if h not in titles]
        problems.append(f"outline differs from the headings; missing: {missing}")
    man = subprocess.run(["groff", "-man", "-ww", "-z", sys.argv[3]], capture_output=True)
    if man.returncode != 0 or man.stderr:
        problems.append(f"{sys.argv[3]} does not format cleanly:\n{man.stderr.decode()}")
    for problem in problems:
        print(f"{pdf_path}: {problem}")
    print(f"{len(headings)} headings, {len(titles) - 1} bookmarks")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
