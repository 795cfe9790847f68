#!/usr/bin/env python3
"""Writes a corpus of malformed .bmp files for the picture loader.

    make_bad_bitmaps.py <folder>

Files named bad-*.bmp must be refused; odd-*.bmp are damaged in ways a
loader may read past (garbage pixels, a wrong file size) but must survive.
"""
import os
import random
import struct
import sys


def info_header(w, h, bpp=24, comp=0, size_image=0, clr_used=0, planes=1, size=40):
    head = struct.pack('<IiiHHIIiiII', size, w, h, planes, bpp, comp, size_image, 2835, 2835, clr_used, 0)
    return head + bytes(max(0, size - 40))


def bmp(dib, off_bits=None, bf_size=None, palette=b'', masks=b''):
    off = 14 + len(dib) + len(masks) + len(palette) if off_bits is None else off_bits
    return lambda pixels: _file(dib, masks, palette, pixels, off, bf_size)


def _file(dib, masks, palette, pixels, off, bf_size):
    body = dib + masks + palette
    # Room up to the offset, unless the offset is meant to point past the end.
    pad = bytes(max(0, off - 14 - len(body))) if off <= 4096 else b''
    total = 14 + len(body) + len(pad) + len(pixels)
    return b'BM' + struct.pack('<IHHI', total if bf_size is None else bf_size, 0, 0, off) + body + pad + pixels


def rows(w, h, bpp, fill=0x5A):
    stride = ((w * bpp + 31) // 32) * 4
    return bytes([fill]) * (stride * h)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rnd = random.Random(9)
    cases = {}
    good = bmp(info_header(4, 3))(rows(4, 3, 24))

    # Truncated anywhere in the headers or the pixels.
    cases['bad-empty'] = b''
    cases['bad-bm-only'] = b'BM'
    for n in (13, 14, 15, 18, 30, 53, len(good) - 1):
        cases[f'bad-truncated-{n}'] = good[:n]
    cases['bad-not-bm'] = b'MB' + good[2:]
    cases['bad-png-signature'] = b'\x89PNG\r\n\x1a\n' + bytes(64)
    cases['bad-text'] = b'this is not a picture\r\n' * 4

    # Header sizes that no bitmap has.
    for size in (0, 11, 39, 41, 64, 200, 0xFFFFFFFF):
        dib = bytearray(info_header(4, 3))
        dib[0:4] = struct.pack('<I', size)
        cases[f'bad-header-size-{size:x}'] = bmp(bytes(dib), off_bits=54)(rows(4, 3, 24))

    # Zero, negative and enormous dimensions, claimed with a few bytes.
    for name, w, h in (('zero-width', 0, 3), ('zero-height', 4, 0), ('negative-width', -4, 3),
                       ('int-min-height', 4, -0x80000000), ('huge-width', 0x7FFFFFFF, 1),
                       ('huge-height', 1, 0x7FFFFFFF), ('64k-square', 65536, 65536),
                       ('over-side', 40000, 1), ('8k-square-no-data', 8192, 8192),
                       ('wrap-32bit', 0x10000, 0x10000), ('16k-square', 16384, 16384)):
        cases[f'bad-{name}'] = bmp(info_header(w, h, 32))(rows(4, 3, 32))
    cases['bad-stride-overflow'] = bmp(info_header(0x40000000, 1, 32))(bytes(64))

    # Bit depths and planes that do not exist, compressions that are no bitmap.
    for bpp in (0, 2, 3, 7, 12, 33, 64, 0xFFFF):
        cases[f'bad-bpp-{bpp}'] = bmp(info_header(4, 3, bpp))(rows(4, 3, 32))
    for planes in (0, 2):
        cases[f'bad-planes-{planes}'] = bmp(info_header(4, 3, planes=planes))(rows(4, 3, 24))
    for comp in (4, 5, 6, 0xFFFFFFFF):
        cases[f'bad-compression-{comp:x}'] = bmp(info_header(4, 3, 24, comp))(rows(4, 3, 24))
    cases['bad-rle8-24bpp'] = bmp(info_header(4, 3, 24, 1))(bytes(64))
    cases['bad-rle4-8bpp'] = bmp(info_header(4, 3, 8, 2), palette=bytes(1024))(bytes(64))
    cases['bad-rle8-top-down'] = bmp(info_header(4, -3, 8, 1), palette=bytes(1024))(b'\x00\x01')
    cases['bad-bitfields-24bpp'] = bmp(info_header(4, 3, 24, 3), masks=bytes(12))(rows(4, 3, 24))

    # Offsets to the pixels that point nowhere sensible.
    for name, off in (('zero', 0), ('13', 13), ('inside-header', 20), ('past-end', 10_000),
                      ('max', 0xFFFFFFFF)):
        cases[f'bad-offset-{name}'] = bmp(info_header(4, 3), off_bits=off)(rows(4, 3, 24))
    cases['bad-offset-into-palette'] = bmp(info_header(4, 3, 8), off_bits=60, palette=bytes(1024))(rows(4, 3, 8))

    # Colour tables: too many, or cut short.
    cases['bad-colors-used-huge'] = bmp(info_header(4, 3, 8, clr_used=0xFFFFFFFF))(rows(4, 3, 8))
    cases['bad-colors-used-257'] = bmp(info_header(4, 3, 8, clr_used=257), palette=bytes(257 * 4))(rows(4, 3, 8))
    cases['bad-colors-used-3-for-1bpp'] = bmp(info_header(4, 3, 1, clr_used=3), palette=bytes(12))(rows(4, 3, 1))
    cases['bad-palette-cut'] = bmp(info_header(4, 3, 8))(b'')[:54 + 100]
    cases['bad-masks-cut'] = bmp(info_header(4, 3, 32, 3))(b'')[:54 + 4]
    cases['bad-pixels-short'] = bmp(info_header(64, 64, 24))(rows(64, 10, 24))

    # The old small header.
    core = struct.pack('<IHHHH', 12, 4, 3, 1, 32)
    cases['bad-core-32bpp'] = bmp(core)(rows(4, 3, 32))
    core8 = struct.pack('<IHHHH', 12, 4, 3, 1, 8)
    cases['bad-core-palette-cut'] = (b'BM' + struct.pack('<IHHI', 0, 0, 0, 26 + 768) + core8 + bytes(100))
    cases['bad-core-zero-size'] = bmp(struct.pack('<IHHHH', 12, 0, 0, 1, 24))(b'')

    # RLE whose runs, deltas and absolute blocks run past the picture or the data.
    pal = bytes(1024)
    rle = {
        'run-past-row': b'\xff\x01' * 40 + b'\x00\x01',
        'delta-past-end': b'\x00\x02\xff\xff' * 8 + b'\x00\x01',
        'absolute-past-data': b'\x00\xfe' + b'\x01' * 10,
        'no-end-marker': b'\x04\x01' * 3,
        'eol-flood': b'\x00\x00' * 500,
    }
    for name, data in rle.items():
        cases[f'odd-rle8-{name}'] = bmp(info_header(8, 4, 8, 1, len(data)), palette=pal)(data)
        cases[f'odd-rle4-{name}'] = bmp(info_header(8, 4, 4, 2, len(data)), palette=pal[:64])(data)
    for n in range(6):
        junk = bytes(rnd.randrange(256) for _ in range(rnd.randrange(2, 400)))
        cases[f'odd-rle8-garbage-{n}'] = bmp(info_header(16, 16, 8, 1, 0), palette=pal)(junk)
        cases[f'odd-rle4-garbage-{n}'] = bmp(info_header(16, 16, 4, 2, 0), palette=pal[:64])(junk)
    cases['odd-rle8-size-image-huge'] = bmp(info_header(8, 4, 8, 1, 0x7FFFFFFF), palette=pal)(b'\x02\x01\x00\x01')
    cases['odd-file-size-lies'] = bmp(info_header(4, 3), bf_size=0xFFFFFFFF)(rows(4, 3, 24))
    cases['odd-random-pixels'] = bmp(info_header(7, 5, 8), palette=pal)(bytes(rnd.randrange(256) for _ in range(40)))

    for name, data in cases.items():
        with open(os.path.join(out, name + '.bmp'), 'wb') as f:
            f.write(data)

    # A file larger than any picture we take, with a header claiming it all.
    # Sparse: it costs no disk.
    with open(os.path.join(out, 'bad-enormous-file.bmp'), 'wb') as f:
        f.write(bmp(info_header(16384, 16384, 32))(b''))
        f.truncate(16384 * 16384 * 4 + 54)
    print(f'{len(cases) + 1} malformed bitmaps in {out}')


if __name__ == '__main__':
    main()
