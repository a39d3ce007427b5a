#!/usr/bin/env python3
"""Draws the test bench's print assets:
  testbench/resources/bkgnd.bmp             the built-in test card's background, 253 x 159
                                            pixels (a quarter of the card), 24-bit bottom-up
  testbench/resources/samples/portrait.png  the picture the sample documents show, 120 x 150

Usage: make_print_assets.py [repository root]   (default: the folder above this script)
Only Python's standard library is used, so the assets can be rebuilt anywhere."""

import os
import struct
import sys
import zlib

# The background: a pale field between a dark top band and an orange foot band. The test card's
# text goes on the field; tests look at the middle of each part.
BG_WIDTH, BG_HEIGHT = 253, 159
BG_FIELD = (198, 222, 240)
BG_TOP = (26, 70, 148)
BG_FOOT = (228, 122, 42)
BG_TOP_ROWS = 10      # card rows 0-39
BG_FOOT_FROM = 135    # card rows 540-635

# The portrait: a head and shoulders on a grey field.
PT_WIDTH, PT_HEIGHT = 120, 150
PT_FIELD = (214, 218, 226)
PT_FIGURE = (70, 96, 140)
PT_FACE = (236, 200, 170)


def background_pixel(x, y):
    if y < BG_TOP_ROWS:
        return BG_TOP
    if y >= BG_FOOT_FROM:
        return BG_FOOT
    return BG_FIELD


def portrait_pixel(x, y):
    cx = PT_WIDTH / 2
    if (x - cx) ** 2 + (y - 58) ** 2 <= 30 ** 2:
        return PT_FACE
    if y >= 100 and (x - cx) ** 2 / 52 ** 2 + (y - 150) ** 2 / 50 ** 2 <= 1:
        return PT_FIGURE
    return PT_FIELD


def write_bmp(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 11811, 11811, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + rows)


def write_png(path, width, height, pixel):
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(pixel(x, y))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    resources = os.path.join(root, "testbench", "resources")
    os.makedirs(os.path.join(resources, "samples"), exist_ok=True)
    write_bmp(os.path.join(resources, "bkgnd.bmp"), BG_WIDTH, BG_HEIGHT, background_pixel)
    write_png(os.path.join(resources, "samples", "portrait.png"), PT_WIDTH, PT_HEIGHT,
              portrait_pixel)


if __name__ == "__main__":
    main()
