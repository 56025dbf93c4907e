#!/usr/bin/env bash
# The tuck-end boxes on the command line, on a grid of measures and boards:
# new with --style and --no-notch (a wrong call for a style without a
# notch), info's style, and the cut files checked against the
# geometry computed here from the measures: one closed outline of the net's
# area (the notch's half circle taken out), the four slit locks as open cuts
# on CUT, each starting at the outline and running along the tuck's crease,
# every fold between two parts of the net; the SVG read by librsvg.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../support/cli_test.sh"
PY=/usr/bin/python3
$PY -c "import ezdxf" 2>/dev/null || { echo "FAIL: python3-ezdxf missing"; exit 1; }
command -v rsvg-convert >/dev/null || { echo "FAIL: librsvg2-bin missing"; exit 1; }

expect_exit() {   # expected-code message command...
    local want=$1 what=$2; shift 2
    "$@" >"$WORK/out" 2>"$WORK/err"
    local rc=$?
    [ "$rc" = "$want" ] || fail "$what: exit $rc, not $want ($(cat "$WORK/err"))"
}

cat > "$WORK/check.py" <<'PYEOF'
# check.py DXF STYLE L B H T NOTCH: the cut file against the box's geometry,
# within the sheet's pixels (600 dpi: 0.042 mm).
import math, sys, ezdxf
path, style = sys.argv[1], sys.argv[2]
L, B, H, t = map(float, sys.argv[3:7])
notch = sys.argv[7] == "1"
a, b, h = L + t, B + t, H + t
tan15 = math.tan(math.radians(15))
T = min(max(0.7 * B, 12), 22, H - 2)
if style == "gleichlaeufig":
    T = min(T, (H - 2) / 2)
inset = t + 0.5
tw = a - 2 * inset
r = min(T / 2, (L - 2 * inset) / 2)
slit = min(5, (L - 2 * inset) / 4)
d = min((B + T) / 2, L / 2 - 1)
p = min(6, d / 2)
g = min(15, B - 2)
R = min(10, L / 3, H / 3) if notch else 0

def dust(width):   # hinge width; square for p, then leaning 15 degrees
    return width * d - (d - p) ** 2 * tan15 / 2

area = (B + a + b + a) * h + g * (h - g * tan15)
area += 2 * (a * b + tw * T - (2 - math.pi / 2) * r * r)
area += 2 * (dust(b - 1 - t) + dust(B - 1 - t))
area -= math.pi * R * R / 2
folds = 4 * h + 2 * a + 2 * (tw - 2 * slit) + 2 * (b - 1 - t) + 2 * (B - 1 - t)

msp = ezdxf.readfile(path).modelspace()
cut = [e for e in msp if e.dxf.layer == "CUT"]
outlines = [e for e in cut if e.dxftype() == "LWPOLYLINE" and e.closed]
slits = [e for e in cut if e.dxftype() == "LINE"]
assert len(outlines) == 1 and len(slits) == 4 and len(cut) == 5, [e.dxftype() for e in cut]
pts = [(q[0], q[1]) for q in outlines[0].get_points()]
n = len(pts)
got = abs(sum(pts[i][0] * pts[(i + 1) % n][1] - pts[(i + 1) % n][0] * pts[i][1] for i in range(n))) / 2
perimeter = sum(math.dist(pts[i], pts[(i + 1) % n]) for i in range(n))
assert abs(got - area) < 0.025 * perimeter, ("area", got, area)

def inside(x, y):
    c = False
    for i in range(n):
        (x1, y1), (x2, y2) = pts[i], pts[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            c = not c
    return c

def between_two_parts(x1, y1, x2, y2):   # both sides of its middle lie in the net
    l = math.dist((x1, y1), (x2, y2))
    mx, my, nx, ny = (x1 + x2) / 2, (y1 + y2) / 2, -(y2 - y1) / l * 0.3, (x2 - x1) / l * 0.3
    return inside(mx + nx, my + ny) and inside(mx - nx, my - ny)

for s in slits:
    e0, e1 = (s.dxf.start.x, s.dxf.start.y), (s.dxf.end.x, s.dxf.end.y)
    assert abs(math.dist(e0, e1) - slit) < 0.1, ("slit length", math.dist(e0, e1), slit)
    assert abs(e0[1] - e1[1]) < 1e-6, "slit not along the crease"
    assert min(math.dist(e, q) for e in (e0, e1) for q in pts) < 1e-6, "slit does not start at the outline"
    assert between_two_parts(*e0, *e1), "slit not inside the net"
total = 0
for f in (e for e in msp if e.dxf.layer == "FOLD" and e.dxftype() == "LINE"):
    f0, f1 = (f.dxf.start.x, f.dxf.start.y), (f.dxf.end.x, f.dxf.end.y)
    total += math.dist(f0, f1)
    assert between_two_parts(*f0, *f1), ("fold on the outline", f0, f1)
assert abs(total - folds) < 0.003 * folds + 0.5, ("folds", total, folds)
print("ok", round(got, 1), round(area, 1), round((got - area) / perimeter, 4))
PYEOF

# The grid: both styles, small, card-sized and low and wide, thin paper and
# board; without the notch once each.
grid() {
    for style in gegenlaeufig gleichlaeufig; do
        for size in 10x10x10 66x22x91 100x50x13; do
            for t in 0 1; do echo "$style $size $t 1"; done
        done
        echo "$style 30x10x10 0,3 0"
        echo "$style 66x22x91 0,3 0"
    done
}
while read -r style size t notch; do
    box="$WORK/$style-$size-$t-$notch.box"
    flag=(); [ "$notch" = 0 ] && flag=(--no-notch)
    expect_exit 0 "new $style $size t $t notch $notch" \
        "$CLI" new "$box" --style "$style" --size "$size" --thickness "$t" --paper A3 "${flag[@]}"
    expect_exit 0 "DXF $style $size" "$CLI" sheet "$box" "$WORK/c.dxf"
    IFS=x read -r L B H <<< "$size"
    $PY "$WORK/check.py" "$WORK/c.dxf" "$style" "$L" "$B" "$H" "${t/,/.}" "$notch" >"$WORK/res" 2>&1 ||
        fail "$style $size t $t notch $notch: $(tail -1 "$WORK/res")"
done < <(grid)

# info: the style with its notch.
expect_exit 0 "new card box" "$CLI" new "$WORK/k.box" --style gegenlaeufig --size 66x22x91
expect_exit 0 "info" "$CLI" info "$WORK/k.box"
$PY - "$WORK/out" <<'PYEOF' || fail "info of the card box"
import json, sys
d = json.load(open(sys.argv[1]))
assert d["style"] == {"id": "gegenlaeufig", "name": "Steckschachtel gegenläufig", "L": 66, "B": 22, "H": 91,
                      "t": 0.3, "notch": True}, d["style"]
PYEOF
expect_exit 0 "new without notch" "$CLI" new "$WORK/n.box" --style gleichlaeufig --size 66x22x91 --no-notch
expect_exit 0 "info without notch" "$CLI" info "$WORK/n.box"
$PY -c "import json; d=json.load(open('$WORK/out')); assert d['style']['notch'] is False, d['style']" ||
    fail "info without notch"
expect_exit 0 "resave" "$CLI" resave "$WORK/n.box" "$WORK/n2.box"
cmp -s "$WORK/n.box" "$WORK/n2.box" || fail "resave changed the box without notch"

# Wrong calls: exit 2 and no file.
expect_exit 2 "--no-notch on the sleeve" "$CLI" new "$WORK/x.box" --style huelse --size 64x21x89 --no-notch
grep -q "Hülse" "$WORK/err" || fail "--no-notch on the sleeve: $(cat "$WORK/err")"
expect_exit 2 "--no-notch on the cube" "$CLI" new "$WORK/x.box" --no-notch
expect_exit 2 "tuck box without --size" "$CLI" new "$WORK/x.box" --style gleichlaeufig
[ ! -e "$WORK/x.box" ] || fail "a wrong call wrote a file"

# The SVG cut file and the export read by librsvg.
expect_exit 0 "SVG" "$CLI" sheet "$WORK/k.box" "$WORK/k.svg"
rsvg-convert -o "$WORK/k.png" "$WORK/k.svg" 2>"$WORK/rsvg" || fail "librsvg refused the SVG: $(cat "$WORK/rsvg")"
expect_exit 0 "export" "$CLI" export "$WORK/k.box" "$WORK/e.svg"
rsvg-convert -o "$WORK/e.png" "$WORK/e.svg" 2>"$WORK/rsvg" || fail "librsvg refused the export: $(cat "$WORK/rsvg")"

[ "$fails" = 0 ] || exit 1
echo "tuck_cli: ok"
