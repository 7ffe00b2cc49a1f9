#!/usr/bin/env python3
"""Writes the sample relief pictures samples/relief.bmp and samples/relief.jpg.

The picture is a grey-scale relief of 240 x 180 pixels: a dome, a ring-shaped
ridge around it, a raised frame and a row of steps, so that a relief made from
it has smooth slopes, steep walls and flat areas. The JPEG is the same picture
encoded by cjpeg (package libjpeg-turbo-progs), which is needed only to
regenerate the samples.
"""
import math
import struct
import subprocess
import sys
from pathlib import Path

WIDTH, HEIGHT = 240, 180


def grey(x, y):
    """Brightness 0..255 of the pixel at column x and row y (from the top)."""
    cx, cy = 90.0, 90.0
    r = math.hypot(x - cx, y - cy)
    v = 0.0
    if r < 50:
        v = 200 * math.cos(r / 50 * math.pi / 2)  # the dome
    if 58 <= r <= 68:
        v = max(v, 160 - 16 * abs(r - 63))  # the ring ridge
    if x < 6 or y < 6 or x >= WIDTH - 6 or y >= HEIGHT - 6:
        v = 255  # the frame
    if 170 <= x < 226 and 20 <= y < 160:
        v = 40 + 40 * ((y - 20) // 35)  # four steps
    return max(0, min(255, int(round(v))))


def bmp_bytes():
    row_size = (WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bitmap rows go from the bottom up
        row = bytearray()
        for x in range(WIDTH):
            g = grey(x, y)
            row += bytes((g, g, g))
        row += b"\0" * (row_size - len(row))
        pixels += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def main():
    samples = Path(__file__).resolve().parent.parent / "samples"
    bmp = samples / "relief.bmp"
    bmp.write_bytes(bmp_bytes())
    with open(samples / "relief.jpg", "wb") as jpg:
        subprocess.run(["cjpeg", "-quality", "92", str(bmp)], stdout=jpg, check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
