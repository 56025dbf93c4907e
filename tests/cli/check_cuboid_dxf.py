#!/usr/bin/env python3
"""Reads a cuboid's cut file with ezdxf: one closed outline whose area is the
net table's polygon within 0.1 %, and the folds adding up to 4 (L + B + H).

check_cuboid_dxf.py CUT.dxf L B H
"""
import math
import sys

import ezdxf


def fail(msg):
    print("FAIL:", msg)
    sys.exit(1)


DPI = 600
MM_PER_INCH = 25.39995


def px(mm):
    return int(mm * 20000 / MM_PER_INCH * (DPI / 20000.0))


def table_outline(Lmm, Bmm, Hmm):
    """The net's outer polygon in pixels of the 600-dpi sheet the cut file
    follows, from the table (every fraction an integer division)."""
    L, B, H = px(Lmm), px(Bmm), px(Hmm)

    class Int(int):
        def __truediv__(self, o):
            return Int(int(self) // int(o))

        def __rtruediv__(self, o):
            return Int(int(o) // int(self))

        def __mul__(self, o):
            return Int(int(self) * int(o))

        __rmul__ = __mul__
    L, B, H = Int(L), Int(B), Int(H)
    m = min(L, B, H)
    flap = max(m / 7, px(6.0))
    t = max(L, B - B / 3)
    g = min(flap, L / 2)
    f = min(flap, H / 2)
    y1, y2 = t, t + H
    y3 = y2 + B
    x1, x2 = L, L + B
    x3, x4 = x2 + L, x2 + L + B
    d = B - B / 3

    def lid(x):
        yl = y1 - (L - L / 2)
        return [(x, y1), (x, yl), (x + B / 4, yl), (x + B / 4, yl - L / 10),
                (x + B / 4 - B / 10, yl - L / 5), (x + B / 4 - B / 10, yl - L / 5 - L / 8),
                (x + B / 4, yl - L / 5 - L / 8 - L / 10), (x + 3 * B / 4, yl - L / 5 - L / 8 - L / 10),
                (x + 3 * B / 4 + B / 10, yl - L / 5 - L / 8), (x + 3 * B / 4 + B / 10, yl - L / 5),
                (x + 3 * B / 4, yl - L / 10), (x + B / 2, yl - L / 10), (x + B / 2, yl), (x + B, yl), (x + B, y1)]

    p = [(0, y1), (0, y2), (x2, y2), (x2 - f, y2 + B / 10), (x2 - f, y3 - B / 10), (x2, y3),
         (x2 + L / 10, y3 + f), (x3 - L / 10, y3 + f), (x3, y3), (x3 + f, y3 - B / 10), (x3 + f, y2 + B / 10),
         (x3, y2), (x4, y2), (x4 + g, y2 - H / 10), (x4 + g, y1 + H / 10), (x4, y1)]
    p += list(reversed(lid(x3)))
    p += [(x2 + 3 * L / 4, y1 - d), (x2 + L / 4, y1 - d)]
    p += list(reversed(lid(x1)))
    p += [(3 * L / 4, y1 - d), (L / 4, y1 - d)]
    return p


def area(pts):
    s = 0.0
    for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
        s += ax * by - bx * ay
    return abs(s) / 2


def main():
    path = sys.argv[1]
    L, B, H = (float(v) for v in sys.argv[2:5])
    doc = ezdxf.readfile(path)
    msp = doc.modelspace()
    cuts = [e for e in msp if e.dxf.layer == "CUT"]
    if len(cuts) != 1:
        fail("%d cut outlines, not one" % len(cuts))
    c = cuts[0]
    if c.dxftype() != "LWPOLYLINE" or not c.closed:
        fail("cut outline is a %s, closed=%s" % (c.dxftype(), getattr(c, "closed", None)))
    pts = [(x, y) for x, y, *_ in c.get_points()]
    want = area(table_outline(L, B, H)) * (MM_PER_INCH / DPI) ** 2
    got = area(pts)
    if abs(got - want) > 0.001 * want:
        fail("outline area %.3f mm², the table's %.3f mm²" % (got, want))
    xs = [x for x, _ in pts]
    ys = [y for _, y in pts]
    width = max(xs) - min(xs)
    if abs(width - (2 * L + 2 * B + min(max(min(L, B, H) / 7, 6), L / 2))) > 0.2:
        fail("outline %.2f mm wide" % width)
    folds = 0.0
    for e in msp:
        if e.dxf.layer == "FOLD" and e.dxftype() == "LINE":
            folds += math.dist((e.dxf.start.x, e.dxf.start.y), (e.dxf.end.x, e.dxf.end.y))
    if abs(folds - 4 * (L + B + H)) > 0.01 * 4 * (L + B + H):
        fail("folds add up to %.2f mm, not %.2f" % (folds, 4 * (L + B + H)))
    print("ok: area %.2f of %.2f mm², %d corners" % (got, want, len(pts)))


main()
