#!/usr/bin/env python3
"""Draws the program's own 32 x 32 two-colour cursors as XBM pairs
(shape and mask). Run once after changing a drawing; the XBM files are
committed and compiled into the program as Qt resources."""

import math
import os

SIZE = 32


def empty():
    return [[False] * SIZE for _ in range(SIZE)]


def fill_rect(g, x1, y1, x2, y2):
    for y in range(max(0, y1), min(SIZE, y2 + 1)):
        for x in range(max(0, x1), min(SIZE, x2 + 1)):
            g[y][x] = True


def fill_circle(g, cx, cy, r):
    for y in range(SIZE):
        for x in range(SIZE):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                g[y][x] = True


def thick_line(g, x1, y1, x2, y2, half):
    steps = int(max(abs(x2 - x1), abs(y2 - y1)) * 4) + 1
    for i in range(steps + 1):
        t = i / steps
        fill_circle(g, x1 + (x2 - x1) * t, y1 + (y2 - y1) * t, half)


def outline_of(inside):
    """Black border pixels of a filled shape, white inside."""
    black = empty()
    for y in range(SIZE):
        for x in range(SIZE):
            if not inside[y][x]:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if nx < 0 or ny < 0 or nx >= SIZE or ny >= SIZE or not inside[ny][nx]:
                    black[y][x] = True
    return black


def grabbing_hand():
    inside = empty()
    # Four bent fingers seen from the back, the palm below, the thumb folded in.
    for i, x in enumerate((9, 13, 17, 21)):
        fill_rect(inside, x, 10 + (1 if i in (0, 3) else 0), x + 3, 17)
        fill_circle(inside, x + 1.5, 10.5 + (1 if i in (0, 3) else 0), 1.6)
    fill_rect(inside, 9, 15, 24, 24)
    fill_rect(inside, 10, 25, 23, 26)
    fill_rect(inside, 6, 16, 9, 21)
    fill_circle(inside, 7, 17, 1.8)
    black = outline_of(inside)
    for x in (13, 17, 21):           # gaps between the fingers
        for y in range(11, 16):
            black[y][x] = True
    for x in range(8, 13):           # the folded thumb
        black[20][x] = True
    return black, inside


def magnifier():
    inside = empty()
    fill_circle(inside, 9, 9, 9.2)
    thick_line(inside, 15, 15, 27, 27, 2.2)
    black = outline_of(inside)
    ring = empty()
    fill_circle(ring, 9, 9, 9.2)
    hole = empty()
    fill_circle(hole, 9, 9, 7.6)
    for y in range(SIZE):
        for x in range(SIZE):
            if ring[y][x] and not hole[y][x]:
                black[y][x] = True
    handle = empty()
    thick_line(handle, 17, 17, 27, 27, 1.6)
    for y in range(SIZE):
        for x in range(SIZE):
            if handle[y][x]:
                black[y][x] = True
    return black, inside


def arrow_over_pages():
    inside = empty()
    # The standard arrow with its tip at (0, 0).
    for y in range(0, 17):
        fill_rect(inside, 0, y, min(y, 11), y)
    thick_line(inside, 6, 14, 9, 20, 1.2)
    black = outline_of(inside)
    # A small stack of three pages below right of the tip.
    for k, (x, y) in enumerate(((18, 14), (15, 17), (12, 20))):
        page = empty()
        fill_rect(page, x, y, x + 12, y + 9)
        border = outline_of(page)
        for yy in range(SIZE):
            for xx in range(SIZE):
                if page[yy][xx]:
                    inside[yy][xx] = True
                    black[yy][xx] = border[yy][xx]
    for yy in (23, 25, 27):          # lines of text on the front page
        for xx in range(14, 22):
            black[yy][xx] = True
    return black, inside


def write_xbm(path, name, grid, hot=None):
    data = []
    for y in range(SIZE):
        for bx in range(0, SIZE, 8):
            byte = 0
            for bit in range(8):
                if grid[y][bx + bit]:
                    byte |= 1 << bit
            data.append("0x%02x" % byte)
    lines = ["#define %s_width %d" % (name, SIZE), "#define %s_height %d" % (name, SIZE)]
    if hot:
        lines += ["#define %s_x_hot %d" % (name, hot[0]), "#define %s_y_hot %d" % (name, hot[1])]
    lines.append("static unsigned char %s_bits[] = {" % name)
    for i in range(0, len(data), 12):
        lines.append("   " + ", ".join(data[i:i + 12]) + ",")
    lines[-1] = lines[-1].rstrip(",")
    lines.append("};")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, (black, mask), hot in (
        ("dragc", grabbing_hand(), (15, 16)),
        ("lupe", magnifier(), (0, 0)),
        ("multidrag", arrow_over_pages(), (0, 0)),
    ):
        write_xbm(os.path.join(here, name + ".xbm"), name, black, hot)
        write_xbm(os.path.join(here, name + "_mask.xbm"), name + "_mask", mask)


if __name__ == "__main__":
    main()
