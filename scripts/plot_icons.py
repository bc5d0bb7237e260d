#!/usr/bin/env python3
"""Draws the trend plot's mode icons (lines, points) as 16x16 PNG files.

Run from the checkout: scripts/plot_icons.py  (writes resources/images/line.png and point.png).
Only the standard library is used.
"""
import os
import struct
import zlib

SIZE = 16
COLOR = (0x20, 0x60, 0xd0, 0xff)
POINTS = [(1, 12), (5, 5), (10, 10), (14, 3)]


def png(pixels):
    raw = b"".join(b"\x00" + bytes(sum((list(p) for p in row), [])) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xffffffff)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def blank():
    return [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]


def plot(pixels, x, y):
    if 0 <= x < SIZE and 0 <= y < SIZE:
        pixels[y][x] = COLOR


def line_icon():
    pixels = blank()
    for (x0, y0), (x1, y1) in zip(POINTS, POINTS[1:]):
        steps = max(abs(x1 - x0), abs(y1 - y0)) * 2
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i / steps
            y = y0 + (y1 - y0) * i / steps
            plot(pixels, round(x), round(y))
            plot(pixels, round(x), round(y) + 1)
    return pixels


def point_icon():
    pixels = blank()
    for x, y in POINTS:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                plot(pixels, x + dx, y + dy)
    return pixels


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")
    os.makedirs(folder, exist_ok=True)
    for name, pixels in (("line.png", line_icon()), ("point.png", point_icon())):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(png(pixels))


if __name__ == "__main__":
    main()
