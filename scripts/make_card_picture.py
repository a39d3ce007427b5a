#!/usr/bin/env python3
"""Draws the configuration tool's built-in card picture: a portrait ID card, 636 x 1012 pixels,
saved as a 24-bit bottom-up Windows bitmap with a 54-byte header.

Usage: make_card_picture.py [output path]   (default: config/resources/card.bmp)
Only Python's standard library is used, so the picture can be rebuilt anywhere."""

import os
import struct
import sys

WIDTH, HEIGHT = 636, 1012

BACKGROUND = (250, 250, 246)
BORDER = (120, 128, 140)
BAND = (26, 70, 148)
BAND_STRIPE = (70, 130, 200)
TITLE = (255, 255, 255)
PHOTO = (214, 218, 226)
PHOTO_FRAME = (160, 168, 180)
SILHOUETTE = (150, 160, 174)
TEXT = (60, 64, 72)
TEXT_LIGHT = (140, 146, 156)
FOOTER = (228, 122, 42)
CHIP = (212, 178, 92)
CHIP_LINE = (168, 132, 58)


def shapes():
    """Layers, later ones drawn over earlier ones: (kind, colour, geometry)."""
    layers = [
        ("rect", BORDER, (0, 0, WIDTH, HEIGHT)),
        ("rect", BACKGROUND, (6, 6, WIDTH - 6, HEIGHT - 6)),
        # Header band with a lighter stripe and a title made of bars.
        ("rect", BAND, (6, 6, WIDTH - 6, 196)),
        ("rect", BAND_STRIPE, (6, 196, WIDTH - 6, 212)),
        ("rect", TITLE, (48, 62, 420, 96)),
        ("rect", TITLE, (48, 118, 300, 138)),
        ("circle", TITLE, (540, 100, 46)),
        ("circle", BAND, (540, 100, 30)),
        # Photo placeholder with a head-and-shoulders silhouette.
        ("rect", PHOTO_FRAME, (164, 256, 472, 644)),
        ("rect", PHOTO, (170, 262, 466, 638)),
        ("circle", SILHOUETTE, (318, 410, 74)),
        ("ellipse_in", SILHOUETTE, (318, 650, 140, 130, (170, 262, 466, 638))),
        # Name and detail lines.
        ("rect", TEXT, (70, 690, 566, 724)),
        ("rect", TEXT_LIGHT, (70, 752, 330, 772)),
        ("rect", TEXT, (350, 752, 566, 772)),
        ("rect", TEXT_LIGHT, (70, 800, 250, 820)),
        ("rect", TEXT, (270, 800, 430, 820)),
        ("rect", TEXT_LIGHT, (70, 848, 290, 868)),
        ("rect", TEXT, (310, 848, 420, 868)),
        # Contact chip.
        ("rect", CHIP_LINE, (454, 794, 566, 882)),
        ("rect", CHIP, (458, 798, 562, 878)),
        ("rect", CHIP_LINE, (458, 836, 562, 840)),
        ("rect", CHIP_LINE, (508, 798, 512, 878)),
        # Footer band.
        ("rect", FOOTER, (6, 930, WIDTH - 6, HEIGHT - 6)),
        ("rect", TITLE, (48, 958, 250, 978)),
    ]
    return layers


def covers(kind, geometry, x, y):
    if kind == "rect":
        left, top, right, bottom = geometry
        return left <= x < right and top <= y < bottom
    if kind == "circle":
        cx, cy, r = geometry
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    if kind == "ellipse_in":
        cx, cy, rx, ry, (left, top, right, bottom) = geometry
        inside = left <= x < right and top <= y < bottom
        return inside and ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0
    raise ValueError(kind)


def render():
    layers = shapes()
    rows = []
    for y in range(HEIGHT):
        row = bytearray()
        for x in range(WIDTH):
            colour = BACKGROUND
            for kind, c, geometry in layers:
                if covers(kind, geometry, x, y):
                    colour = c
            r, g, b = colour
            row += bytes((b, g, r))  # bitmaps keep blue, green, red
        rows.append(bytes(row))
    return rows


def write_bmp(path, rows):
    stride = WIDTH * 3  # 1908, already a multiple of four
    image_size = stride * HEIGHT
    file_header = struct.pack("<2sIHHI", b"BM", 54 + image_size, 0, 0, 54)
    info_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, image_size,
                              11811, 11811, 0, 0)  # 300 dpi
    with open(path, "wb") as f:
        f.write(file_header)
        f.write(info_header)
        for row in reversed(rows):  # bottom row first
            f.write(row)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "config", "resources",
                                                             "card.bmp")
    write_bmp(out, render())


if __name__ == "__main__":
    main()
