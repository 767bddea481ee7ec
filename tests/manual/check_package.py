#!/usr/bin/env python3
"""Checks the files of a release package, a zip or the folder it is made
from (the folder that holds Tenrek-VERSION/ or its contents):

- every example program (Examples/*.bas) has CR LF line ends and no bare
  line feed, and INSTALL.txt too;
- INSTALL.txt fits in 80 columns;
- a file for the Linux command only (a host script) is not among the
  Windows examples but in Examples/Linux-tenrek-host/;
- Help/ holds Basic.pdf and Basic.html.

Usage: check_package.py ZIP|FOLDER [--module]
With --module the package must also hold Tenrek.mfx.
"""
import os
import re
import sys
import zipfile


def files(path):
    """{name inside the package: bytes}, without the top folder."""
    found = {}
    if zipfile.is_zipfile(path):
        with zipfile.ZipFile(path) as z:
            for name in z.namelist():
                if not name.endswith("/"):
                    found[name] = z.read(name)
    else:
        for top, _, names in os.walk(path):
            for name in names:
                full = os.path.join(top, name)
                with open(full, "rb") as f:
                    found[os.path.relpath(full, path).replace(os.sep, "/")] = f.read()
    tops = {name.split("/")[0] for name in found}
    if len(tops) == 1 and re.fullmatch(r"Tenrek-[\d.]+", next(iter(tops))):
        found = {name.split("/", 1)[1]: data for name, data in found.items()}
    return found


def main():
    package = files(sys.argv[1])
    problems = []
    programs = sorted(n for n in package if re.fullmatch(r"Examples/[^/]+\.bas", n))
    if not programs:
        problems.append("no example programs in Examples/")
    for name in programs + ["INSTALL.txt"]:
        data = package.get(name, b"")
        lines = data.split(b"\n")
        if not data.endswith(b"\r\n") or any(not line.endswith(b"\r") for line in lines[:-1]):
            problems.append(f"{name} does not end every line in CR LF")
    for number, line in enumerate(package.get("INSTALL.txt", b"").decode("latin-1").split("\r\n"), 1):
        if len(line) > 80:
            problems.append(f"INSTALL.txt:{number} is {len(line)} columns wide")
    for name in package:
        if name.endswith(".script") and not name.startswith("Examples/Linux-tenrek-host/"):
            problems.append(f"{name} is for the Linux command only but sits among the examples")
    wanted = ["Help/Basic.pdf", "Help/Basic.html", "INSTALL.txt"]
    if "--module" in sys.argv[2:]:
        wanted.append("Tenrek.mfx")
    problems += [f"{name} missing" for name in wanted if name not in package]
    for problem in problems:
        print(f"{sys.argv[1]}: {problem}")
    print(f"{len(package)} files, {len(programs)} example programs checked")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
