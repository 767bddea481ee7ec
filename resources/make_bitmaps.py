#!/usr/bin/python3
"""Draws the module's pictures and writes them as Windows bitmaps.

  setup_logo.bmp      55 x 24, 24-bit: the badge in the setup dialog header
  object_icon.bmp     32 x 32, 256 colours: the object's icon
  object_picture.bmp  32 x 32, 256 colours: the object's picture in a frame

Shapes are drawn with 4 x 4 supersampling so edges are smooth; Pillow
(Debian's python3-pil, installed by scripts/setup.sh) quantises the
256-colour pictures and writes the files.

Run from anywhere: resources/make_bitmaps.py (Debian's own python3, the
one python3-pil installs into)
"""

import math
import os

from PIL import Image

SUBSAMPLES = 4

# ----------------------------------------------------------------- canvas


class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = [[tuple(map(float, colour)) for _ in range(width)]
                       for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if not (0 <= x < self.width and 0 <= y < self.height) or alpha <= 0:
            return
        old = self.pixels[y][x]
        self.pixels[y][x] = tuple(o + (c - o) * alpha for o, c in zip(old, colour))

    def fill_shape(self, inside, colour, box=None, opacity=1.0):
        """Fills every pixel by the share of its subsamples that `inside`
        accepts. `colour` may be a function of (x, y) for gradients."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        step = 1.0 / SUBSAMPLES
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                hits = 0
                for sy in range(SUBSAMPLES):
                    for sx in range(SUBSAMPLES):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                    self.blend(x, y, c, opacity * hits / SUBSAMPLES ** 2)

    def pixel(self, x, y, colour, alpha=1.0):
        self.blend(x, y, colour, alpha)

    def rgb(self):
        return [[tuple(max(0, min(255, int(round(v)))) for v in p) for p in row]
                for row in self.pixels]


# --------------------------------------------------------------- geometry


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        d1, d2, d3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        neg = d1 < 0 or d2 < 0 or d3 < 0
        pos = d1 > 0 or d2 > 0 or d3 > 0
        return not (neg and pos)
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def vertical_gradient(y0, y1, top, bottom):
    def colour(x, y):
        t = min(1.0, max(0.0, (y - y0) / max(1e-6, y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return colour


# ------------------------------------------------------------ pixel fonts

FONT_5X7 = {
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'B': ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'M': ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    'N': ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'U': ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    'Y': ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
}

FONT_3X5 = {
    '0': ["111", "101", "101", "101", "111"],
    '1': ["010", "110", "010", "010", "111"],
    '2': ["111", "001", "111", "100", "111"],
    '4': ["101", "101", "111", "001", "001"],
    'V': ["101", "101", "101", "101", "010"],
    '.': ["000", "000", "000", "000", "010"],
    ' ': ["000", "000", "000", "000", "000"],
    'P': ["110", "101", "110", "100", "100"],
    'R': ["110", "101", "110", "101", "101"],
    'I': ["111", "010", "010", "010", "111"],
    'N': ["101", "111", "111", "111", "101"],
    'T': ["111", "010", "010", "010", "010"],
    '"': ["101", "101", "000", "000", "000"],
    'H': ["101", "101", "111", "101", "101"],
    'O': ["111", "101", "101", "101", "111"],
    'G': ["111", "100", "101", "101", "111"],
    'E': ["111", "100", "110", "100", "111"],
    'L': ["100", "100", "100", "100", "111"],
    'U': ["101", "101", "101", "101", "111"],
    'K': ["101", "101", "110", "101", "101"],
}


def text_width(text, font, spacing=1):
    widths = [len(font[ch][0]) for ch in text]
    return sum(widths) + spacing * (len(text) - 1)


def draw_text(canvas, x, y, text, font, colour, spacing=1, shadow=None):
    for ch in text:
        rows = font[ch]
        for dy, row in enumerate(rows):
            for dx, bit in enumerate(row):
                if bit == '1':
                    if shadow:
                        canvas.pixel(x + dx + 1, y + dy + 1, shadow, 0.7)
        for dy, row in enumerate(rows):
            for dx, bit in enumerate(row):
                if bit == '1':
                    canvas.pixel(x + dx, y + dy, colour)
        x += len(rows[0]) + spacing
    return x


# ------------------------------------------------------------ the tenrek

SPINE_DARK = (74, 48, 30)
SPINE_LIGHT = (214, 182, 128)
FACE = (232, 204, 160)
EYE = (20, 14, 10)
NOSE = (60, 30, 30)


def draw_tenrek(canvas, cx, cy, scale):
    """A small spiny tenrek facing right, centred near (cx, cy)."""
    body = ellipse(cx, cy, 8.0 * scale, 5.0 * scale)
    spikes = []
    for i in range(9):
        angle = math.pi * (0.98 + 0.62 * i / 8)  # along the back, tail to head
        bx = cx + math.cos(angle) * 7.2 * scale
        by = cy + math.sin(angle) * 4.3 * scale
        tip_x = cx + math.cos(angle) * 11.0 * scale
        tip_y = cy + math.sin(angle) * 8.2 * scale
        nx, ny = -math.sin(angle) * 1.5 * scale, math.cos(angle) * 1.5 * scale
        spikes.append(triangle((bx - nx, by - ny), (bx + nx, by + ny), (tip_x, tip_y)))
    coat = union(body, *spikes)
    canvas.fill_shape(coat, vertical_gradient(cy - 9 * scale, cy + 5 * scale,
                                              SPINE_LIGHT, SPINE_DARK))
    # Pale tips along the back give the spines their texture.
    for i in range(9):
        angle = math.pi * (0.98 + 0.62 * i / 8)
        tx = cx + math.cos(angle) * 9.8 * scale
        ty = cy + math.sin(angle) * 7.2 * scale
        canvas.fill_shape(ellipse(tx, ty, 0.8 * scale, 0.8 * scale), (246, 232, 200),
                          opacity=0.8)
    # Head and snout.
    canvas.fill_shape(ellipse(cx + 6.5 * scale, cy + 1.0 * scale, 4.0 * scale, 3.2 * scale),
                      FACE)
    canvas.fill_shape(triangle((cx + 8.5 * scale, cy - 1.2 * scale),
                               (cx + 8.5 * scale, cy + 3.4 * scale),
                               (cx + 13.0 * scale, cy + 1.6 * scale)), FACE)
    canvas.fill_shape(ellipse(cx + 12.6 * scale, cy + 1.6 * scale, 0.9 * scale, 0.9 * scale),
                      NOSE)
    canvas.fill_shape(ellipse(cx + 7.4 * scale, cy - 0.1 * scale, 0.75 * scale, 0.75 * scale),
                      EYE)
    # Feet.
    for fx in (-4.0, 3.0):
        canvas.fill_shape(ellipse(cx + fx * scale, cy + 4.8 * scale, 1.3 * scale, 0.9 * scale),
                          SPINE_DARK)


# ------------------------------------------------------------ the pictures


def setup_logo():
    c = Canvas(55, 24, (236, 236, 236))
    badge = rounded_rect(0.5, 0.5, 54.5, 23.5, 3.5)
    c.fill_shape(badge, vertical_gradient(0, 24, (38, 92, 168), (12, 34, 84)))
    # Gloss on the upper half.
    c.fill_shape(rounded_rect(1.5, 1.5, 53.5, 11.0, 3.0), (255, 255, 255), opacity=0.12)
    draw_tenrek(c, 10.5, 13.5, 0.82)
    x = 23
    draw_text(c, x, 4, "BASIC", FONT_5X7, (255, 255, 255), shadow=(4, 16, 44))
    draw_text(c, x + 6, 15, "V4.00", FONT_3X5, (255, 206, 84), shadow=(4, 16, 44))
    return c


def object_icon():
    """A program sheet with numbered lines and the BASIC badge."""
    c = Canvas(32, 32, (255, 255, 255))
    # Sheet with a folded corner and a soft shadow.
    sheet = union(triangle((4, 2), (21, 2), (4, 29)), triangle((21, 2), (4, 29), (26, 29)),
                  triangle((21, 2), (26, 7), (26, 29)))
    c.fill_shape(lambda x, y: sheet(x - 1.2, y - 1.2), (120, 120, 130), opacity=0.35)
    c.fill_shape(sheet, vertical_gradient(2, 29, (255, 255, 255), (226, 232, 242)))
    outline = lambda x, y: sheet(x, y) and not sheet(x - 0.9, y) or \
        sheet(x, y) and not sheet(x + 0.9, y) or sheet(x, y) and not sheet(x, y - 0.9) or \
        sheet(x, y) and not sheet(x, y + 0.9)
    c.fill_shape(outline, (70, 80, 100))
    c.fill_shape(triangle((21, 2), (21, 7), (26, 7)), (190, 200, 220))
    # Code lines: a blue line number, then grey code of varying length.
    for row, length in enumerate((10, 7, 12, 5, 9)):
        y = 6 + row * 4
        for dx in range(3):
            c.pixel(6 + dx, y, (40, 96, 200))
        for dx in range(min(length, 17 - (6 if row == 0 else 0))):
            c.pixel(10 + dx, y, (120, 126, 140))
    # Badge with a B.
    c.fill_shape(rounded_rect(15.5, 17.5, 30.5, 30.5, 3.0),
                 vertical_gradient(17, 31, (46, 110, 200), (16, 44, 110)))
    c.fill_shape(rounded_rect(16.5, 18.5, 29.5, 23.5, 2.0), (255, 255, 255), opacity=0.15)
    draw_text(c, 21, 21, "B", FONT_5X7, (255, 255, 255), shadow=(6, 20, 56))
    return c


def object_picture():
    """A little monitor running a BASIC program, with the tenrek on top."""
    c = Canvas(32, 32, (255, 255, 255))
    case = rounded_rect(1.5, 7.5, 30.5, 27.5, 2.5)
    c.fill_shape(case, vertical_gradient(7, 28, (214, 210, 196), (156, 150, 134)))
    screen = rounded_rect(4.0, 10.0, 28.0, 24.0, 1.5)
    c.fill_shape(screen, vertical_gradient(10, 24, (18, 40, 28), (6, 18, 12)))
    green = (110, 240, 140)
    draw_text(c, 6, 12, "RUN", FONT_3X5, green)
    draw_text(c, 6, 18, "OK", FONT_3X5, green)
    for dy in range(5):
        c.pixel(14, 18 + dy, green, 0.9)
        c.pixel(15, 18 + dy, green, 0.9)
    # Stand.
    c.fill_shape(triangle((12, 27.5), (20, 27.5), (22, 31)), (120, 116, 104))
    c.fill_shape(triangle((12, 27.5), (10, 31), (22, 31)), (120, 116, 104))
    draw_tenrek(c, 17.5, 5.2, 0.68)
    return c


# ------------------------------------------------------------ the files

DPI = (72, 72)  # 2835 pixels a metre, as the resource files have always said


def to_image(canvas):
    image = Image.new('RGB', (canvas.width, canvas.height))
    image.putdata([p for row in canvas.rgb() for p in row])
    return image


def write_bmp24(path, canvas):
    to_image(canvas).save(path, 'BMP', dpi=DPI)


def write_bmp8(path, canvas):
    """Median cut onto 256 colours; no dithering, which would only speckle
    pictures this small."""
    image = to_image(canvas).quantize(256, method=Image.Quantize.MEDIANCUT,
                                      dither=Image.Dither.NONE)
    image.save(path, 'BMP', dpi=DPI)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp24(os.path.join(here, 'setup_logo.bmp'), setup_logo())
    write_bmp8(os.path.join(here, 'object_icon.bmp'), object_icon())
    write_bmp8(os.path.join(here, 'object_picture.bmp'), object_picture())


if __name__ == '__main__':
    main()
