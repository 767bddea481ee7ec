#!/usr/bin/env python3
"""Prints the ProductVersion of the module's version record: from the
resource script (resources/Tenrek.rc) or from a built module (.mfx), whose
version strings are stored in UTF-16.

Usage: module_version.py resources/Tenrek.rc | build/mingw/Tenrek.mfx
"""
import re
import sys


def version_of(path):
    with open(path, "rb") as f:
        data = f.read()
    if path.lower().endswith(".rc"):
        m = re.search(rb'VALUE "ProductVersion", "([^"]+)"', data)
        return m.group(1).decode() if m else None
    # A version-record string: its key, padding zeros to a 4-byte boundary,
    # then its value, each in UTF-16 and ending in a zero character.
    key = "ProductVersion\0".encode("utf-16-le")
    at = data.find(key)
    if at < 0:
        return None
    rest = data[at + len(key):]
    while rest.startswith(b"\0\0"):
        rest = rest[2:]
    end = rest.find(b"\0\0")
    while end % 2:
        end = rest.find(b"\0\0", end + 1)
    return rest[:end].decode("utf-16-le")


if __name__ == "__main__":
    version = version_of(sys.argv[1])
    if not version:
        sys.exit(f"{sys.argv[1]}: no ProductVersion in its version record")
    print(version)
