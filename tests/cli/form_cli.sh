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

[ "$fails" = 0 ] || exit 1
echo "form_cli: ok"
