#!/usr/bin/env bash
# The box form on the command line: new with --form/--size/--paper, info's
# "form" and kept chunks, --percent refused on a cuboid, every verb following
# the file's form, and the cuboid's cut file read back by ezdxf.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../support/cli_test.sh"
PY=/usr/bin/python3
$PY -c "import ezdxf" 2>/dev/null || { echo "FAIL: python3-ezdxf missing"; exit 1; }
command -v identify >/dev/null || { echo "FAIL: ImageMagick missing"; exit 1; }

expect_exit() {   # expected-code message command...
    local want=$1 what=$2; shift 2
    "$@" >"$WORK/out" 2>"$WORK/err"
    local rc=$?
    [ "$rc" = "$want" ] || fail "$what: exit $rc, not $want ($(cat "$WORK/err"))"
}

# A cube stays the plain 178-byte file; a cuboid carries its extension.
expect_exit 0 "new cube" "$CLI" new "$WORK/w.box" --form wuerfel
[ "$(stat -c %s "$WORK/w.box")" = 178 ] || fail "cube file not 178 bytes"
expect_exit 0 "new card box" "$CLI" new "$WORK/k.box" --form quader --size 64x21x89
[ "$(stat -c %s "$WORK/k.box")" = $((178 + 8 + 36 + 8)) ] || fail "card box file size $(stat -c %s "$WORK/k.box")"
expect_exit 0 "new with comma and ×" "$CLI" new "$WORK/t.box" --form quader --size "70,0 × 45 × 110" --paper A3
expect_exit 0 "info" "$CLI" info "$WORK/t.box"
$PY - "$WORK/out" <<'PYEOF' || fail "info of the tea box"
import json, sys
d = json.load(open(sys.argv[1]))
assert d["form"] == {"name": "Quader", "L": 70, "B": 45, "H": 110}, d["form"]
assert d["chunks"] == [], d["chunks"]
assert abs(d["layout"]["ItemWidth"] - 413) < 1e-9, d["layout"]["ItemWidth"]
PYEOF
expect_exit 0 "info cube" "$CLI" info "$WORK/w.box"
$PY -c "import json,sys; d=json.load(open('$WORK/out')); assert d['form']=={'name':'Würfel'}, d['form']" ||
    fail "info of the cube"

# Kept chunks are listed by tag and length and survive resave.
{ cat "$WORK/k.box" | head -c 178; printf 'FALTEXT1'; cat "$WORK/k.box" | tail -c +187 | head -c 36;
  printf 'memo\005\000\000\000Hallo'; printf 'END \000\000\000\000'; } > "$WORK/m.box"
expect_exit 0 "info with a kept chunk" "$CLI" info "$WORK/m.box"
$PY -c "import json; d=json.load(open('$WORK/out')); assert d['chunks']==[{'tag':'memo','length':5}], d['chunks']" ||
    fail "kept chunk listed"
expect_exit 0 "resave" "$CLI" resave "$WORK/m.box" "$WORK/m2.box"
cmp -s "$WORK/m.box" "$WORK/m2.box" || fail "resave changed the kept chunk's file"

# Wrong calls: exit 2. A net that does not fit: exit 1 with the offer.
expect_exit 2 "--size without quader" "$CLI" new "$WORK/x.box" --size 64x21x89
expect_exit 2 "quader without --size" "$CLI" new "$WORK/x.box" --form quader
expect_exit 2 "--size 9.9" "$CLI" new "$WORK/x.box" --form quader --size 9.9x21x89
expect_exit 2 "--size 400.1" "$CLI" new "$WORK/x.box" --form quader --size 64x400.1x89
expect_exit 2 "--size two measures" "$CLI" new "$WORK/x.box" --form quader --size 64x21
expect_exit 2 "--size 1e2" "$CLI" new "$WORK/x.box" --form quader --size 1e2x21x89
expect_exit 2 "--size nan" "$CLI" new "$WORK/x.box" --form quader --size nanx21x89
expect_exit 2 "--size negative" "$CLI" new "$WORK/x.box" --form quader --size -64x21x89
expect_exit 2 "--form kugel" "$CLI" new "$WORK/x.box" --form kugel
expect_exit 2 "--paper A5" "$CLI" new "$WORK/x.box" --paper A5
expect_exit 1 "net too large" "$CLI" new "$WORK/x.box" --form quader --size 200x100x150
grep -q "Die größten Maße in denselben Proportionen sind" "$WORK/err" || fail "no offer: $(cat "$WORK/err")"
expect_exit 1 "no proportional fit" "$CLI" new "$WORK/x.box" --form quader --size 10x10x400
grep -q "Auf diesem Papier passt keine Box dieser Proportionen." "$WORK/err" || fail "no-fit text: $(cat "$WORK/err")"
[ ! -e "$WORK/x.box" ] || fail "a refused new wrote a file"

for verb in "view $WORK/k.box $WORK/v.png" "render $WORK/k.box $WORK/r.png" "sheet $WORK/k.box $WORK/s.png" \
            "export $WORK/k.box $WORK/e.svg"; do
    # shellcheck disable=SC2086
    expect_exit 2 "$verb --percent" "$CLI" $verb --percent 50
    grep -q "Ein Quader hat feste Maße." "$WORK/err" || fail "$verb --percent: $(cat "$WORK/err")"
done

# Every verb follows the form: the straight front view of the card box is
# L : H, the cut file's outline the cuboid's.
expect_exit 0 "view card box" "$CLI" view "$WORK/k.box" "$WORK/front.png" --size 800x800 --yaw 0 --pitch 0
expect_exit 0 "view cube" "$CLI" view "$WORK/w.box" "$WORK/cube.png" --size 800x800 --yaw 0 --pitch 0
cmp -s "$WORK/front.png" "$WORK/cube.png" && fail "the card box looks like the cube"
expect_exit 0 "sheet cut file" "$CLI" sheet "$WORK/k.box" "$WORK/k.dxf"
$PY "$HERE/check_cuboid_dxf.py" "$WORK/k.dxf" 64 21 89 >"$WORK/dxf" || fail "card box DXF: $(cat "$WORK/dxf")"
expect_exit 0 "tea box cut file" "$CLI" sheet "$WORK/t.box" "$WORK/t.dxf" --paper A3
$PY "$HERE/check_cuboid_dxf.py" "$WORK/t.dxf" 70 45 110 >"$WORK/dxf" || fail "tea box DXF: $(cat "$WORK/dxf")"
expect_exit 0 "thumbnail" "$CLI" thumbnail "$WORK/k.box" "$WORK/th.png"

# The sleeve: --style with its measures and board, info's style and panels,
# wrong calls, a file an older reader refuses as newer, its cut files read
# by ezdxf and librsvg.
expect_exit 0 "new sleeve" "$CLI" new "$WORK/h.box" --style huelse --size 64x21x89 --thickness 0,5
expect_exit 0 "new lock-lid cube by style" "$CLI" new "$WORK/vw.box" --style verschlussdeckel
cmp -s "$WORK/w.box" "$WORK/vw.box" || fail "--style verschlussdeckel is not the cube"
expect_exit 0 "new lock-lid cuboid by style" "$CLI" new "$WORK/vk.box" --style verschlussdeckel --size 64x21x89
cmp -s "$WORK/k.box" "$WORK/vk.box" || fail "--style verschlussdeckel --size is not the cuboid"
expect_exit 0 "info sleeve" "$CLI" info "$WORK/h.box"
$PY - "$WORK/out" <<'PYEOF' || fail "info of the sleeve"
import json, sys
d = json.load(open(sys.argv[1]))
assert d["form"] == {"name": "Quader", "L": 64, "B": 21, "H": 89}, d["form"]
assert d["style"] == {"id": "huelse", "name": "Hülse", "L": 64, "B": 21, "H": 89, "t": 0.5}, d["style"]
names = [p["name"] for p in d["panels"]]
assert sorted(names) == ["Hinten", "Klebelasche", "Links", "Rechts", "Vorne"], names
# Widths in the order of the net: Links B, Vorne L+t, Rechts B+t, Hinten L+t, the flap 15 mm.
by = {p["name"]: p for p in d["panels"]}
def width(p): xs = [x for x, y in p["mm"]]; return max(xs) - min(xs)
for name, w in (("Links", 21), ("Vorne", 64.5), ("Rechts", 21.5), ("Hinten", 64.5), ("Klebelasche", 15)):
    assert abs(width(by[name]) - w) < 1e-9, (name, width(by[name]))
assert min(x for p in d["panels"] for x, y in p["mm"]) == 0
assert all(p["net"] == 0 and p["role"] for p in d["panels"])
# Units: the same corners at 20000 / 25.39995 units per mm.
u = 20000 / 25.39995
for p in d["panels"]:
    (x0, y0), (ux0, uy0) = p["mm"][0], p["units"][0]
    for (x, y), (ux, uy) in zip(p["mm"], p["units"]):
        assert abs((ux - ux0) - (x - x0) * u) < 1e-6 and abs((uy - uy0) - (y - y0) * u) < 1e-6
PYEOF
expect_exit 0 "info cube style" "$CLI" info "$WORK/w.box"
$PY -c "import json; d=json.load(open('$WORK/out')); assert d['style']=={'id':'verschlussdeckel','name':'Verschlussdeckel'}, d['style']; assert len(d['panels'])==13" ||
    fail "info of the cube's style"
expect_exit 0 "resave sleeve" "$CLI" resave "$WORK/h.box" "$WORK/h2.box"
cmp -s "$WORK/h.box" "$WORK/h2.box" || fail "resave changed the sleeve"
expect_exit 2 "--style with --form" "$CLI" new "$WORK/x.box" --style huelse --form quader --size 64x21x89
expect_exit 2 "sleeve without --size" "$CLI" new "$WORK/x.box" --style huelse
expect_exit 2 "--thickness on the lock lid" "$CLI" new "$WORK/x.box" --style verschlussdeckel --thickness 0.3
expect_exit 2 "--thickness without style" "$CLI" new "$WORK/x.box" --thickness 0.3
expect_exit 2 "--thickness 0.33" "$CLI" new "$WORK/x.box" --style huelse --size 64x21x89 --thickness 0.33
expect_exit 2 "--thickness 1.05" "$CLI" new "$WORK/x.box" --style huelse --size 64x21x89 --thickness 1.05
expect_exit 2 "--style kiste" "$CLI" new "$WORK/x.box" --style kiste --size 64x21x89
[ ! -e "$WORK/x.box" ] || fail "a wrong call wrote a file"
expect_exit 0 "sleeve DXF" "$CLI" sheet "$WORK/h.box" "$WORK/h.dxf"
$PY - "$WORK/h.dxf" <<'PYEOF' || fail "sleeve DXF"
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
cut = [e for e in msp if e.dxf.layer == "CUT"]
assert len(cut) == 1 and cut[0].dxftype() == "LWPOLYLINE" and cut[0].closed, [e.dxftype() for e in cut]
pts = [(p[0], p[1]) for p in cut[0].get_points()]
a = abs(sum(pts[i][0] * pts[(i + 1) % len(pts)][1] - pts[(i + 1) % len(pts)][0] * pts[i][1] for i in range(len(pts)))) / 2
# Body (21 + 64.5 + 21.5 + 64.5) x 89.5 and the tapered flap, at the sheet's 600 dpi.
import math
w = min(15, 21 - 2); taper = w * math.tan(math.radians(15))
want = (21 + 64.5 + 21.5 + 64.5) * 89.5 + w * (89.5 - taper)
assert abs(a - want) / want < 0.01, (a, want)
folds = [e for e in msp if e.dxf.layer == "FOLD"]
total = sum(math.dist((e.dxf.start.x, e.dxf.start.y), (e.dxf.end.x, e.dxf.end.y)) for e in folds if e.dxftype() == "LINE")
assert abs(total - 4 * 89.5) < 4 * 89.5 * 0.01, total
PYEOF
expect_exit 0 "sleeve SVG" "$CLI" sheet "$WORK/h.box" "$WORK/h.svg"
rsvg-convert -o "$WORK/h.png" "$WORK/h.svg" 2>"$WORK/rsvg" || fail "librsvg refused the sleeve's SVG: $(cat "$WORK/rsvg")"
expect_exit 0 "view sleeve" "$CLI" view "$WORK/h.box" "$WORK/hv.png" --size 400x400
cp "$WORK/h.box" "$WORK/older.box"
printf '\002' | dd of="$WORK/older.box" bs=1 seek=$((178 + 8 + 8)) conv=notrunc status=none
printf '\007' | dd of="$WORK/older.box" bs=1 seek=$((178 + 8 + 8)) conv=notrunc status=none
expect_exit 1 "form of a newer version" "$CLI" info "$WORK/older.box"
# The tool's path line: the file, then the reason.
grep -qx "faltarillon-cli info: $WORK/older.box: mit einer neueren Version erstellt" "$WORK/err" ||
    fail "newer form: $(cat "$WORK/err")"

[ "$fails" = 0 ] || exit 1
echo "form_cli: ok"
