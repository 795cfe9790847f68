#!/usr/bin/env python3
"""Draws the program icon and writes resources/ombry.ico.

A dark stage curtain with folds, hanging from a rail, half down over a small
screen. Two images: 32x32 in 16 colours for the window and the dialog, and a
64x64 black-and-white one. Pure stdlib and deterministic, so the committed
.ico can be rebuilt byte for byte.

Usage: tools/make_icon.py [output.ico]
"""
import os
import struct
import sys

# The standard 16-colour palette, as (r, g, b).
VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, OLIVE, NAVY, SILVER, GRAY, RED, YELLOW, BLUE, AQUA = 0, 1, 3, 4, 7, 8, 9, 11, 12, 14


class Canvas:
    """A square of pixels, all transparent (None) to begin with."""

    def __init__(self, size):
        self.size = size
        self.px = [[None] * size for _ in range(size)]

    def put(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Fills x0..x1, y0..y1, both ends included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)


def draw_32():
    """The 16-colour image as rows of palette indices (None = transparent)."""
    canvas = Canvas(32)
    put, rect, px = canvas.put, canvas.rect, canvas.px

    # The screen: a monitor with a bezel and a stand.
    rect(4, 8, 27, 25, BLACK)          # outline
    rect(5, 9, 26, 24, SILVER)         # bezel
    rect(6, 23, 26, 24, GRAY)          # bezel shade, bottom
    rect(26, 9, 26, 24, GRAY)          # bezel shade, right
    rect(7, 10, 24, 22, NAVY)          # the screen itself
    rect(8, 11, 24, 22, BLUE)
    for i in range(4):                 # a glint, lower left where it shows
        put(9 + i, 21 - i, AQUA)
    rect(13, 26, 18, 27, BLACK)        # neck
    rect(14, 26, 17, 26, GRAY)
    rect(9, 28, 22, 30, BLACK)         # foot
    rect(10, 28, 21, 29, SILVER)
    rect(11, 29, 21, 29, GRAY)

    # The curtain: seven folds of four columns, each a crease, a shadow,
    # a lit ridge and a shadow again. The hem scallops with the folds.
    left, right, top, hem = 2, 29, 4, 17
    for x in range(left, right + 1):
        phase = (x - left) % 4
        bottom = hem + (0, 1, 2, 1)[phase]
        for y in range(top, bottom + 1):
            # Lit from above: the ridge is bright near the rail only.
            ridge = RED if y < 12 else MAROON
            put(x, y, (BLACK, MAROON, ridge, MAROON)[phase])
        put(x, bottom, BLACK if phase != 2 else MAROON)
    rect(left - 1, top, left - 1, hem, BLACK)      # side edges
    rect(right + 1, top, right + 1, hem, BLACK)
    for x in range(left, right + 1):               # gathered under the rail
        put(x, top, MAROON if (x - left) % 4 == 2 else BLACK)

    # The rail, with a knob at each end.
    rect(1, 2, 30, 3, BLACK)
    rect(2, 2, 29, 2, SILVER)
    rect(2, 3, 29, 3, GRAY)
    for x0 in (0, 30):
        rect(x0, 1, x0 + 1, 4, BLACK)
        rect(x0, 2, x0 + 1, 3, YELLOW)
        put(x0 + 1, 3, OLIVE)
    return px


def draw_64():
    """The black-and-white image: 0 black, 1 white, None transparent."""
    canvas = Canvas(64)
    put, rect, px = canvas.put, canvas.rect, canvas.px

    B, W = 0, 1
    # Monitor: black outline, white bezel, black screen edge, white screen.
    rect(8, 16, 55, 51, B)
    rect(10, 18, 53, 49, W)
    rect(13, 21, 50, 46, B)
    rect(15, 23, 48, 44, W)
    for i in range(8):                  # glint
        put(18 + i, 42 - i, B)
        put(19 + i, 42 - i, B)
    rect(26, 52, 37, 55, B)             # neck
    rect(18, 56, 45, 61, B)             # foot
    rect(20, 57, 43, 59, W)

    # Curtain: black, eight-pixel folds with a thin white ridge line, and
    # a scalloped hem.
    left, right, top, hem = 4, 59, 8, 34
    for x in range(left, right + 1):
        phase = (x - left) % 8
        drop = (0, 2, 3, 4, 4, 4, 3, 2)[phase]
        bottom = hem + drop
        for y in range(top, bottom + 1):
            put(x, y, B)
        if phase == 4:
            for y in range(top + 3, bottom - 1):
                put(x, y, W)
    # A white rim around the curtain keeps it apart from the black screen edge.
    for x in range(left, right + 1):
        phase = (x - left) % 8
        bottom = hem + (0, 2, 3, 4, 4, 4, 3, 2)[phase]
        if px[bottom + 1][x] == B:
            put(x, bottom + 1, W)
    rect(left - 2, top, left - 1, hem, B)
    rect(right + 1, top, right + 2, hem, B)

    # Rail with knobs.
    rect(2, 4, 61, 7, B)
    rect(4, 5, 59, 5, W)
    for x0 in (0, 60):
        rect(x0, 2, x0 + 3, 9, B)
        rect(x0 + 1, 4, x0 + 2, 6, W)
    return px


def row_bytes(bits_per_row):
    return ((bits_per_row + 31) // 32) * 4


def pack_rows(px, bpp, value):
    """Bottom-up rows, each padded to 32 bits."""
    out = bytearray()
    width = len(px[0])
    for row in reversed(px):
        bits = []
        for x in range(width):
            bits.append(value(row[x]))
        data = bytearray(row_bytes(width * bpp))
        for x, v in enumerate(bits):
            bit = x * bpp
            data[bit // 8] |= v << (8 - bpp - bit % 8)
        out += data
    return bytes(out)


def icon_image(px, bpp, palette):
    size = len(px)
    xor = pack_rows(px, bpp, lambda c: 0 if c is None else c)
    and_mask = pack_rows(px, 1, lambda c: 1 if c is None else 0)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(and_mask), 0, 0, len(palette), 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    return header + pal + xor + and_mask


def build():
    images = [
        (32, 16, 4, icon_image(draw_32(), 4, VGA16)),
        (64, 2, 1, icon_image(draw_64(), 1, [(0, 0, 0), (0xFF, 0xFF, 0xFF)])),
    ]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, colours, bpp, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, colours % 256, 0,
                           1, bpp, len(data), offset)
        offset += len(data)
    for _, _, _, data in images:
        out += data
    return bytes(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'resources', 'ombry.ico')
    data = build()
    if len(data) != 1854:
        sys.exit('icon came out %d bytes, expected 1854' % len(data))
    with open(target, 'wb') as f:
        f.write(data)
    print('%s: %d bytes' % (os.path.normpath(target), len(data)))


if __name__ == '__main__':
    main()
