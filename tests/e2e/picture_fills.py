#!/usr/bin/python3
"""Whether the program's picture fills its window: the bounding box of what
is not black spans the window's height or width, in the 8:5 shape of the
80 x 25 cells of 8 x 16 pixels. With a second argument the window's picture
is kept there as PNG.
   picture_fills.py WINDOW.xwd [WINDOW.png]"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_picture import read_xwd, write_png  # noqa: E402


def main():
    width, height, pixel = read_xwd(sys.argv[1])
    if len(sys.argv) > 2:
        write_png(sys.argv[2], width, height, pixel)
    # The title bar (row 1) and the status bar (row 25) run the picture's whole width.
    rows = [y for y in range(height) if pixel(width // 2, y) != 0]
    top, bottom = min(rows), max(rows) + 1
    columns = [x for x in range(width) if pixel(x, top + 2) != 0]
    left, right = min(columns), max(columns) + 1
    shown_width, shown_height = right - left, bottom - top
    fills = shown_height >= height - 2 or shown_width >= width - 2
    shape = shown_width / shown_height
    print("window %dx%d, picture %dx%d at %d,%d, shape %.3f" % (width, height, shown_width, shown_height, left, top, shape))
    if not fills:
        print("the picture does not fill the window")
        return 1
    if abs(shape - 1.6) > 0.01:
        print("the picture is not in the 8:5 shape of its cells")
        return 1
    return 0


sys.exit(main())
