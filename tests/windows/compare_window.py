#!/usr/bin/python3
"""Sets a picture of the Windows program's window (xwd) against the headless
program's 640 x 400 picture (PNG) over the month grid, screen rows 5 to 18,
where no clock moves; the window shows it enlarged by a whole factor. With a
third argument the window's picture is kept there as PNG.
   compare_window.py WINDOW.xwd HEADLESS.png [WINDOW.png]"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from window_picture import read_xwd, write_png  # noqa: E402

WIDTH, HEIGHT, CELL = 640, 400, 16
FIRST_ROW, LAST_ROW = 5, 18


def png_picture(path):
    data = open(path, "rb").read()
    at, packed, width = 8, b"", 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IHDR":
            width = struct.unpack(">I", data[at + 8:at + 12])[0]
        if kind == b"IDAT":
            packed += data[at + 8:at + 8 + length]
        at += 12 + length
    rows = zlib.decompress(packed)
    stride = 1 + width * 3
    return lambda x, y: int.from_bytes(rows[y * stride + 1 + x * 3:y * stride + 4 + x * 3], "big")


def main():
    width, height, window = read_xwd(sys.argv[1])
    headless = png_picture(sys.argv[2])
    if len(sys.argv) > 3:
        write_png(sys.argv[3], width, height, window)
    scale = max(1, min(width // WIDTH, height // HEIGHT))
    left, top = (width - WIDTH * scale) // 2, (height - HEIGHT * scale) // 2
    differing = sum(1 for y in range((FIRST_ROW - 1) * CELL, LAST_ROW * CELL) for x in range(WIDTH)
                    if window(left + x * scale, top + y * scale) != headless(x, y))
    if differing:
        print("the month grid in the window differs from the headless picture in %d pixels" % differing)
        return 1
    print("the month grid in the window (%dx%d, scale %d) is the headless picture" % (width, height, scale))
    return 0


sys.exit(main())
