#!/usr/bin/env bash
# The tuck-top boxes on a bottom of locking flaps on the command line: new
# with --style schnappboden|automatikboden (the automatic bottom refused
# narrower than deep), info's panels, the cut files read by ezdxf (one
# closed outline, the tuck's two slit locks on CUT starting at it, every
# fold between two parts of the net) and librsvg, and the closed bottom
# seen from below: its flaps painted in one colour leave no gap wider than
# a pixel.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../support/cli_test.sh"
PY=/usr/bin/python3
$PY -c "import ezdxf" 2>/dev/null || { echo "FAIL: python3-ezdxf missing"; exit 1; }
command -v rsvg-convert >/dev/null || { echo "FAIL: librsvg2-bin missing"; exit 1; }
command -v convert >/dev/null || { echo "FAIL: ImageMagick missing"; exit 1; }

expect_exit() {   # expected-code message command...
    local want=$1 what=$2; shift 2
    "$@" >"$WORK/out" 2>"$WORK/err"
    local rc=$?
    [ "$rc" = "$want" ] || fail "$what: exit $rc, not $want ($(cat "$WORK/err"))"
}

cat > "$WORK/cut.py" <<'PYEOF'
# cut.py DXF: one closed outline and two slits on CUT, the slits starting at
# the outline inside the net, every fold with the net on both sides.
import math, sys, ezdxf
msp = ezdxf.readfile(sys.argv[1]).modelspace()
cut = [e for e in msp if e.dxf.layer == "CUT"]
outlines = [e for e in cut if e.dxftype() == "LWPOLYLINE" and e.closed]
slits = [e for e in cut if e.dxftype() == "LINE"]
assert len(outlines) == 1 and len(slits) == 2 and len(cut) == 3, [e.dxftype() for e in cut]
pts = [(q[0], q[1]) for q in outlines[0].get_points()]
n = len(pts)
def inside(x, y):
    c = False
    for i in range(n):
        (x1, y1), (x2, y2) = pts[i], pts[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            c = not c
    return c
def both_sides(x1, y1, x2, y2):
    l = math.dist((x1, y1), (x2, y2))
    mx, my, nx, ny = (x1 + x2) / 2, (y1 + y2) / 2, -(y2 - y1) / l * 0.2, (x2 - x1) / l * 0.2
    return inside(mx + nx, my + ny) and inside(mx - nx, my - ny)
for s in slits:
    e0, e1 = (s.dxf.start.x, s.dxf.start.y), (s.dxf.end.x, s.dxf.end.y)
    assert min(math.dist(e, q) for e in (e0, e1) for q in pts) < 1e-6, "slit does not start at the outline"
    assert both_sides(*e0, *e1), "slit not inside the net"
folds = [f for f in msp if f.dxf.layer == "FOLD" and f.dxftype() == "LINE"]
slanted = 0
for f in folds:
    f0, f1 = (f.dxf.start.x, f.dxf.start.y), (f.dxf.end.x, f.dxf.end.y)
    assert both_sides(*f0, *f1), ("fold on the outline", f0, f1)
    dx, dy = abs(f1[0] - f0[0]), abs(f1[1] - f0[1])
    slanted += dx > 1 and abs(dx - dy) < 0.1   # the sheet's pixels: 0.042 mm
assert slanted == int(sys.argv[2]), ("45 degree creases", slanted)
print("ok")
PYEOF

for style in schnappboden automatikboden; do
    creases=0; [ "$style" = automatikboden ] && creases=2
    for case in "95x35x65 0,3" "10x10x10 0" "130x60x40 1" "40x40x90 0,5"; do
        read -r size t <<< "$case"
        box="$WORK/$style-$size.box"
        expect_exit 0 "new $style $size" "$CLI" new "$box" --style "$style" --size "$size" --thickness "$t" --paper A3
        expect_exit 0 "DXF $style $size" "$CLI" sheet "$box" "$WORK/c.dxf"
        $PY "$WORK/cut.py" "$WORK/c.dxf" "$creases" >"$WORK/res" 2>&1 || fail "$style $size: $(tail -1 "$WORK/res")"
    done
    expect_exit 0 "SVG $style" "$CLI" sheet "$WORK/$style-95x35x65.box" "$WORK/c.svg"
    rsvg-convert -o "$WORK/c.png" "$WORK/c.svg" 2>"$WORK/rsvg" || fail "librsvg refused $style: $(cat "$WORK/rsvg")"
    expect_exit 0 "export $style" "$CLI" export "$WORK/$style-95x35x65.box" "$WORK/e.svg"
    rsvg-convert -o "$WORK/e.png" "$WORK/e.svg" 2>"$WORK/rsvg" || fail "librsvg refused the export: $(cat "$WORK/rsvg")"
    expect_exit 0 "info $style" "$CLI" info "$WORK/$style-95x35x65.box"
    $PY - "$WORK/out" "$style" <<'PYEOF' || fail "info of $style"
import json, sys
d, style = json.load(open(sys.argv[1])), sys.argv[2]
assert d["style"]["id"] == style and d["style"]["notch"] is True, d["style"]
names = sorted(p["name"] for p in d["panels"])
flaps = ["Bodenlasche vorne", "Bodenlasche hinten", "Bodenlasche rechts", "Bodenlasche links"]
if style == "automatikboden":
    flaps += ["Klebefläche rechts", "Klebefläche links"]
assert names == sorted(["Vorne", "Rechts", "Hinten", "Links", "Klebelasche", "Deckel", "Einstecklasche oben",
                        "Staublasche rechts oben", "Staublasche links oben"] + flaps), names
PYEOF
    expect_exit 0 "resave $style" "$CLI" resave "$WORK/$style-95x35x65.box" "$WORK/r.box"
    cmp -s "$WORK/$style-95x35x65.box" "$WORK/r.box" || fail "resave changed the $style box"
done

# The tuck top's notch can go, as on the tuck-end boxes.
expect_exit 0 "new without notch" "$CLI" new "$WORK/n.box" --style automatikboden --size 95x35x65 --no-notch
expect_exit 0 "info without notch" "$CLI" info "$WORK/n.box"
$PY -c "import json; d=json.load(open('$WORK/out')); assert d['style']['notch'] is False, d['style']" ||
    fail "info without notch"

# The automatic bottom needs Länge ≥ Breite: a wrong call, no file.
expect_exit 2 "automatic bottom narrower than deep" "$CLI" new "$WORK/x.box" --style automatikboden --size 30x40x50
grep -q "Automatikboden" "$WORK/err" || fail "no reason for the narrow automatic bottom: $(cat "$WORK/err")"
[ ! -e "$WORK/x.box" ] || fail "a wrong call wrote a file"
expect_exit 0 "snap-lock narrower than deep" "$CLI" new "$WORK/x.box" --style schnappboden --size 30x40x50

# From below: the bottom flaps painted magenta over their net rectangles,
# every pixel inside the painted bottom's picture is magenta.
cat > "$WORK/paint.py" <<'PYEOF'
import json, struct, sys
box, info = sys.argv[1], json.load(open(sys.argv[2]))
data = open(box, "rb").read()
END = 33 + 112 + 12 + 1 + 16
assert data[END:END + 4] == struct.pack("<i", 10001), "a fresh design ends its objects at once"
records = b""
flaps = [p for p in info["panels"] if p["name"].startswith(("Bodenlasche", "Klebefläche"))]
for slot, p in enumerate(flaps, 1):
    xs = [x for x, y in p["units"]]; ys = [y for x, y in p["units"]]
    left, top = int(min(xs)) - 40, int(min(ys)) - 40
    records += struct.pack("<iiiiiBiiiiiiBBiiBBii", slot, left, top, int(max(xs)) + 40 - left, int(max(ys)) + 40 - top,
                           0, 1, 210 | 20 << 8 | 210 << 16, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0)
    records += b"\0" + struct.pack("<ii", 0, 0) + b"\0" + struct.pack("<BiB", 0, 0, 0)
open(box, "wb").write(data[:END] + records + data[END:])
PYEOF
cat > "$WORK/gaps.py" <<'PYEOF'
# gaps.py PPM L T: within the magenta bottom's bounding box (a pixel in from
# its silhouette), no square of other pixels wider than the board; the net's
# printed lines, a few pixels thin, pass.
import sys
raw = open(sys.argv[1], "rb").read().split(b"\n", 3)
w, h = map(int, raw[1].split()); px = raw[3]
L, t = float(sys.argv[2]), float(sys.argv[3])
other = [[0] * (w + 1) for _ in range(h + 1)]   # summed area of non-magenta pixels
xs, ys = [], []
for y in range(h):
    run = 0
    for x in range(w):
        r, g, b = px[3 * (y * w + x):3 * (y * w + x) + 3]
        m = r > 90 and b > 90 and g < 0.5 * min(r, b)
        if m: xs.append(x); ys.append(y)
        run += not m
        other[y + 1][x + 1] = other[y][x + 1] + run
assert xs, "no bottom seen"
x0, x1, y0, y1 = min(xs) + 1, max(xs) - 1, min(ys) + 1, max(ys) - 1
mm = (L + t) / (x1 - x0 + 2)
k = max(4, int(t / mm) + 1)
def block(x, y):
    return other[y + k][x + k] - other[y][x + k] - other[y + k][x] + other[y][x]
holes = [(x, y) for y in range(y0, y1 - k + 2) for x in range(x0, x1 - k + 2) if block(x, y) == k * k]
assert not holes, ("gap in the bottom", k, mm, len(holes), holes[:3])
print("ok", k, round(mm, 4))
PYEOF
for style in schnappboden automatikboden; do
    box="$WORK/$style-95x35x65.box"
    "$CLI" info "$box" >"$WORK/info.json" || fail "info $style"
    $PY "$WORK/paint.py" "$box" "$WORK/info.json" || fail "painting $style"
    expect_exit 0 "view $style from below" "$CLI" view "$box" "$WORK/below.png" --size 1600x1600 --yaw 0 --pitch -90
    convert "$WORK/below.png" "$WORK/below.ppm" || fail "convert"
    $PY "$WORK/gaps.py" "$WORK/below.ppm" 95 0.3 >"$WORK/res" 2>&1 || fail "$style from below: $(tail -1 "$WORK/res")"
done

[ "$fails" = 0 ] || exit 1
echo "locking_bottom_cli: ok"
