#!/usr/bin/env python3
"""Reads a sheet's cut files back with independent readers and checks them
against the 600-dpi print of the same sheet and the net's description.

check_cut_file.py SHEET.png CUT.dxf CUT.svg PERCENT ITEM_HEIGHT_MM COPIES INSET_MM

INSET_MM 0 means without marks. SHEET.png is the whole A4 paper at 600 dpi (faltarillon-cli sheet ... OUT.png).
DXF: ezdxf, whose audit and recover must find nothing to mend. SVG: an XML parse for the numbers, rsvg-convert
for rendering. Positions are held against a real A4 sheet (297 x 210 mm): the DXF's y from its bottom edge.
"""
import math
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

import ezdxf
from ezdxf import recover

DPI = 600
MM_PER_INCH = 25.39995
TOL = 0.05  # mm: a little more than a 600-dpi pixel
A4 = (297.0, 210.0)


def fail(msg):
    print("FAIL:", msg)
    sys.exit(1)


def px_mm(px):
    return px * MM_PER_INCH / DPI


def read_ppm(png):
    ppm = subprocess.run(["pngtopnm", png], check=True, capture_output=True).stdout
    # P6 header: magic, width height, maxval, then the pixels
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    if fields[0] != b"P6":
        fail("print is not an RGB picture")
    w, h = int(fields[1]), int(fields[2])
    return w, h, ppm[pos + 1:]


def net_area_px(percent, item_height_mm):
    """Area of the net in 600-dpi pixels from its description: five faces,
    four glue flaps, two dust flaps and two lid halves, every fraction of the
    edge an integer division as the net is measured."""
    hb = int(item_height_mm / MM_PER_INCH * DPI)
    h = hb - (hb // 3) // 5
    e = int(percent * h / 100) // 3

    def shoelace(pts):
        return abs(sum(pts[i][0] * pts[(i + 1) % len(pts)][1] - pts[(i + 1) % len(pts)][0] * pts[i][1]
                       for i in range(len(pts)))) / 2

    faces = 6 * e * e - e * e  # four sides and the bottom
    e7, e10, e3, e4, e34 = e // 7, e // 10, e // 3, e // 4, (3 * e) // 4
    flap = shoelace([(0, 0), (e7, e10), (e7, e - e10), (0, e)])
    dust = shoelace([(0, e), (e4, e3), (e34, e3), (e, e)])
    e2, e5, e8 = e // 2, e // 5, e // 8
    X, T = 0, 0
    lid = shoelace([(X, T + e), (X, T + e2), (X + e4, T + e2), (X + e4, T + e2 - e10),
                    (X + e4 - e10, T + e2 - e5), (X + e4 - e10, T + e2 - e5 - e8),
                    (X + e4, T + e2 - e5 - e8 - e10), (X + e34, T + e2 - e5 - e8 - e10),
                    (X + e34 + e10, T + e2 - e5 - e8), (X + e34 + e10, T + e2 - e5),
                    (X + e34, T + e2 - e10), (X + e2, T + e2 - e10), (X + e2, T + e2),
                    (X + e, T + e2), (X + e, T + e)])
    return faces + 4 * flap + 2 * dust + 2 * lid


def poly_area(pts):
    return abs(sum(pts[i][0] * pts[(i + 1) % len(pts)][1] - pts[(i + 1) % len(pts)][0] * pts[i][1]
                   for i in range(len(pts)))) / 2


def bbox(pts):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return min(xs), min(ys), max(xs), max(ys)


def runs(used, min_gap):
    out, gap = [], min_gap
    for i, u in enumerate(used):
        if not u:
            gap += 1
            continue
        if gap >= min_gap:
            out.append([i, i])
        out[-1][1] = i
        gap = 0
    return out


def main():
    png, dxf_path, svg_path = sys.argv[1:4]
    percent, item_h, copies, inset = int(sys.argv[4]), float(sys.argv[5]), int(sys.argv[6]), float(sys.argv[7])

    w, h, pix = read_ppm(png)
    paper_w, paper_h = A4
    if abs(px_mm(w) - paper_w) > 0.2 or abs(px_mm(h) - paper_h) > 0.2:
        fail("the print is %.2f x %.2f mm, not A4 landscape" % (px_mm(w), px_mm(h)))

    # --- DXF through ezdxf -------------------------------------------------
    recovered, auditor = recover.readfile(dxf_path)
    if auditor.has_errors or auditor.has_fixes:
        fail("ezdxf.recover mends the DXF: %s" % [(f.code, f.message) for f in auditor.errors + auditor.fixes])
    audit = recovered.audit()
    if audit.has_errors or audit.has_fixes:
        fail("ezdxf's audit mends the DXF: %s" % [(f.code, f.message) for f in audit.errors + audit.fixes])
    doc = ezdxf.readfile(dxf_path)
    extmax = doc.header.get("$EXTMAX")
    if extmax is None or abs(extmax[0] - paper_w) > 1e-3 or abs(extmax[1] - paper_h) > 1e-3:
        fail("DXF $EXTMAX is %r, not the A4 paper %r" % (extmax, A4))
    if doc.dxfversion != "AC1015":
        fail("DXF is %s, not AutoCAD 2000 (AC1015)" % doc.dxfversion)
    if doc.header.get("$INSUNITS") != 4:
        fail("DXF $INSUNITS is %r, not 4 (mm)" % doc.header.get("$INSUNITS"))
    for layer in ("CUT", "FOLD", "REGMARKS"):
        if layer not in doc.layers:
            fail("DXF has no layer " + layer)
    msp = doc.modelspace()
    cuts = [e for e in msp if e.dxf.layer == "CUT"]
    if len(cuts) != copies:
        fail("DXF has %d cut outlines, expected %d" % (len(cuts), copies))
    expected_area = net_area_px(percent, item_h) * px_mm(1) ** 2
    dxf_boxes = []
    for c in cuts:
        if c.dxftype() != "LWPOLYLINE" or not c.closed:
            fail("cut outline is a %s, closed=%s" % (c.dxftype(), getattr(c, "closed", None)))
        pts = [(p[0], p[1]) for p in c.get_points("xy")]
        area = poly_area(pts)
        if abs(area - expected_area) > 0.001 * expected_area:
            fail("cut area %.3f mm² differs from the net's %.3f mm²" % (area, expected_area))
        x0, y0, x1, y1 = bbox(pts)
        dxf_boxes.append((x0, paper_h - y1, x1, paper_h - y0))  # back to y down
    folds = [e for e in msp if e.dxf.layer == "FOLD"]
    if not folds:
        fail("DXF has no fold lines")
    marks = [e for e in msp if e.dxf.layer == "REGMARKS"]
    want_marks = 3 if inset > 0 else 0
    if len(marks) != want_marks:
        fail("DXF has %d registration marks, expected %d" % (len(marks), want_marks))
    mark_boxes = []
    for m in marks:
        if m.dxftype() != "LWPOLYLINE" or not m.closed:
            fail("registration mark is not a closed polyline")
        x0, y0, x1, y1 = bbox([(p[0], p[1]) for p in m.get_points("xy")])
        mark_boxes.append((x0, paper_h - y1, x1, paper_h - y0))
    expected_marks = [
        (inset, inset, inset + 5, inset + 5),
        (paper_w - inset - 20, inset, paper_w - inset, inset + 20),
        (inset, paper_h - inset - 20, inset + 20, paper_h - inset),
    ] if want_marks else []
    for exp in expected_marks:
        if not any(all(abs(a - b) <= TOL for a, b in zip(exp, got)) for got in mark_boxes):
            fail("no registration mark at %s; found %s" % (exp, mark_boxes))

    # --- the nets in the print, found by their pixels ----------------------
    clear = inset + 6 if inset > 0 else 0
    x_lo, x_hi = int(clear / MM_PER_INCH * DPI), w - int(clear / MM_PER_INCH * DPI)
    y_lo, y_hi = int(clear / MM_PER_INCH * DPI), h - int(clear / MM_PER_INCH * DPI)
    used_x, used_y = [False] * w, [False] * h
    for y in range(y_lo, y_hi):
        row = pix[(y * w + x_lo) * 3:(y * w + x_hi) * 3]
        if row.count(b"\xff") == len(row):
            continue
        used_y[y] = True
        for i in range(0, len(row), 3):
            if row[i:i + 3] != b"\xff\xff\xff":
                used_x[x_lo + i // 3] = True
    cols, rows = runs(used_x, 60), runs(used_y, 60)
    if len(cols) * len(rows) != copies:
        fail("the print shows %d x %d nets, expected %d" % (len(cols), len(rows), copies))
    for (c0, c1) in cols:
        for (r0, r1) in rows:
            # Cut lines run through the middle of the printed line's pixels.
            found = (px_mm(c0 + 0.5), px_mm(r0 + 0.5), px_mm(c1 + 0.5), px_mm(r1 + 0.5))
            if not any(all(abs(a - b) <= TOL for a, b in zip(found, box)) for box in dxf_boxes):
                fail("net printed at %s mm has no cut outline there; cut outlines %s" % (found, dxf_boxes))

    # --- SVG: an XML parse and librsvg ------------------------------------
    ns = {"svg": "http://www.w3.org/2000/svg"}
    ink = "{http://www.inkscape.org/namespaces/inkscape}"
    root = ET.parse(svg_path).getroot()
    layers = {g.get(ink + "label"): g for g in root.findall("svg:g", ns) if g.get(ink + "groupmode") == "layer"}
    for name in ("Schnittlinien", "Falzlinien", "Passermarken"):
        if name not in layers:
            fail("SVG has no layer " + name)
    svg_cuts = layers["Schnittlinien"].findall("svg:path", ns)
    if len(svg_cuts) != copies:
        fail("SVG has %d cut paths, expected %d" % (len(svg_cuts), copies))
    svg_boxes = []
    for p in svg_cuts:
        d = p.get("d").split()
        if d[0] != "M" or d[-1] != "Z":
            fail("SVG cut path is not closed")
        nums = [float(t) for t in d if t not in ("M", "L", "Z")]
        pts = list(zip(nums[0::2], nums[1::2]))
        if abs(poly_area(pts) - expected_area) > 0.001 * expected_area:
            fail("SVG cut area differs from the net's")
        svg_boxes.append(bbox(pts))
    for box in svg_boxes:
        if not any(all(abs(a - b) <= 0.001 for a, b in zip(box, d)) for d in dxf_boxes):
            fail("SVG cut outline %s is not where the DXF has one" % (box,))
    if len(layers["Falzlinien"].findall("svg:line", ns)) != len(folds):
        fail("SVG and DXF disagree on the fold lines")
    for attr, want in (("width", paper_w), ("height", paper_h)):
        got = root.get(attr)
        if not got.endswith("mm") or abs(float(got[:-2]) - want) > 1e-3:
            fail("SVG %s is %s, not the paper's %.1fmm" % (attr, got, want))
    with tempfile.NamedTemporaryFile(suffix=".png") as out:
        subprocess.run(["rsvg-convert", "--dpi-x", "96", "--dpi-y", "96", "-o", out.name, svg_path], check=True)
        rw, rh, rpix = read_ppm(out.name)
        if abs(rw - paper_w / 25.4 * 96) > 1.5 or abs(rh - paper_h / 25.4 * 96) > 1.5:
            fail("librsvg renders the SVG as %dx%d, not the paper's size" % (rw, rh))
        magenta = sum(1 for i in range(0, len(rpix), 3) if rpix[i] > 200 and rpix[i + 1] < 120 and rpix[i + 2] > 200)
        if magenta == 0:
            fail("librsvg shows no cut line")
    print("cut files match the print: %d outlines, %d folds, %d marks" % (len(cuts), len(folds), len(marks)))


main()
