#!/usr/bin/python3
"""Converts a BMP (as tenrek-host.exe --screenshot writes it) into a PNG,
with Pillow (Debian's python3-pil, installed by scripts/setup-windows.sh).

  python3 scripts/bmp_to_png.py IN.bmp OUT.png
"""

import sys

from PIL import Image


def main():
    if len(sys.argv) != 3:
        raise SystemExit('usage: bmp_to_png.py IN.bmp OUT.png')
    with Image.open(sys.argv[1]) as image:
        if image.format != 'BMP':
            raise SystemExit(f'{sys.argv[1]}: not a BMP file')
        image.convert('RGB').save(sys.argv[2], 'PNG', optimize=True)


if __name__ == '__main__':
    main()
