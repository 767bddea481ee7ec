#!/usr/bin/env python3
"""Converts an uncompressed 24-bit BMP (as tenrek-host.exe --screenshot
writes it) into a PNG. Standard library only.

  python3 scripts/bmp_to_png.py IN.bmp OUT.png
"""

import struct
import sys
import zlib


def read_bmp24(path):
    data = open(path, 'rb').read()
    if data[:2] != b'BM':
        raise SystemExit(f'{path}: not a BMP file')
    offset = struct.unpack_from('<I', data, 10)[0]
    width, height = struct.unpack_from('<ii', data, 18)
    bits = struct.unpack_from('<H', data, 28)[0]
    if bits != 24:
        raise SystemExit(f'{path}: {bits}-bit BMP, expected 24-bit')
    bottom_up = height > 0
    height = abs(height)
    row_size = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        source = height - 1 - y if bottom_up else y
        row = data[offset + source * row_size: offset + source * row_size + width * 3]
        rows.append(bytes(b for i in range(0, len(row), 3) for b in (row[i + 2], row[i + 1], row[i])))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + \
            struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b''.join(b'\0' + row for row in rows)
    with open(path, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n')
        out.write(chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b'IDAT', zlib.compress(raw, 9)))
        out.write(chunk(b'IEND', b''))


def main():
    if len(sys.argv) != 3:
        raise SystemExit('usage: bmp_to_png.py IN.bmp OUT.png')
    write_png(sys.argv[2], *read_bmp24(sys.argv[1]))


if __name__ == '__main__':
    main()
