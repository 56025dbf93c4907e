#!/usr/bin/env bash
# Artwork placed on each face through info's panels lands on that face of
# the folded box: a filled rectangle of its own colour over every face's
# "units" corners, then view from each face's side shows that colour in the
# middle of the picture. The sleeve's four sides; the lock-lid cuboid's and
# the tuck-end boxes' six faces, the lid from above and the bottom from below.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../support/cli_test.sh"
PY=/usr/bin/python3
command -v convert >/dev/null || { echo "FAIL: ImageMagick missing"; exit 1; }

# Adds one filled rectangle per face role to a design made by new, in the
# box file's object records, just before the end marker that follows them.
cat > "$WORK/paint.py" <<'PYEOF'
import json, struct, sys
box, info = sys.argv[1], json.load(open(sys.argv[2]))
colours = {"Vorne": (230, 20, 20), "Rechts": (20, 200, 20), "Hinten": (20, 20, 230),
           "Links": (220, 220, 20), "Deckel": (20, 210, 210), "Boden": (210, 20, 210)}
data = open(box, "rb").read()
END = 33 + 112 + 12 + 1 + 16     # identifier, layout, extent and mode, no background, zoom
assert data[END:END + 4] == struct.pack("<i", 10001), "a fresh design ends its objects at once"
records = b""
for slot, p in enumerate((p for p in info["panels"] if p["role"] in colours), 1):
    xs = [x for x, y in p["units"]]; ys = [y for x, y in p["units"]]
    r, g, b = colours[p["role"]]
    left, top = int(min(xs)), int(min(ys))
    records += struct.pack("<iiiiiBiiiiiiBBiiBBii", slot, left, top, int(max(xs)) - left, int(max(ys)) - top,
                           0, 1, r | g << 8 | b << 16, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0)
    records += b"\0" + struct.pack("<ii", 0, 0) + b"\0" + struct.pack("<BiB", 0, 0, 0)
open(box, "wb").write(data[:END] + records + data[END:])
PYEOF

# The middle of the picture: which colour of the table it is nearest to,
# shading aside (the channels' proportions decide, not their brightness).
middle() {
    convert "$1" -format "%[fx:int(255*p{200,200}.r)] %[fx:int(255*p{200,200}.g)] %[fx:int(255*p{200,200}.b)]" info:
}
colour_name() {
    $PY - "$@" <<'PYEOF'
import sys
r, g, b = map(int, sys.argv[1:4])
table = {"Vorne": (230, 20, 20), "Rechts": (20, 200, 20), "Hinten": (20, 20, 230),
         "Links": (220, 220, 20), "Deckel": (20, 210, 210), "Boden": (210, 20, 210)}
def unit(c):
    s = sum(c) or 1
    return [v / s for v in c]
best = min(table, key=lambda n: sum((u - v) ** 2 for u, v in zip(unit((r, g, b)), unit(table[n]))))
print(best if max(r, g, b) - min(r, g, b) > 60 else "grau")
PYEOF
}

check_views() {   # box, then pairs of "yaw pitch" and the face expected
    local box=$1; shift
    "$CLI" info "$box" >"$WORK/info.json" || { fail "info $box"; return; }
    $PY "$WORK/paint.py" "$box" "$WORK/info.json" || { fail "painting $box"; return; }
    while [ $# -gt 0 ]; do
        local yaw=$1 pitch=$2 want=$3; shift 3
        "$CLI" view "$box" "$WORK/v.png" --size 400x400 --yaw "$yaw" --pitch "$pitch" 2>"$WORK/err" ||
            { fail "view $box $yaw/$pitch: $(cat "$WORK/err")"; continue; }
        # shellcheck disable=SC2046
        local got; got=$(colour_name $(middle "$WORK/v.png"))
        [ "$got" = "$want" ] || fail "$(basename "$box") from yaw $yaw, pitch $pitch: $got, not $want ($(middle "$WORK/v.png"))"
    done
}

"$CLI" new "$WORK/sleeve.box" --style huelse --size 64x40x89 >/dev/null || fail "new sleeve"
check_views "$WORK/sleeve.box" 0 0 Vorne 90 0 Rechts 180 0 Hinten 270 0 Links

"$CLI" new "$WORK/cuboid.box" --form quader --size 60x45x50 >/dev/null || fail "new cuboid"
check_views "$WORK/cuboid.box" 0 0 Vorne 90 0 Rechts 180 0 Hinten 270 0 Links 0 90 Deckel 0 -90 Boden

for style in gegenlaeufig gleichlaeufig; do
    "$CLI" new "$WORK/$style.box" --style "$style" --size 60x45x50 >/dev/null || fail "new $style"
    check_views "$WORK/$style.box" 0 0 Vorne 90 0 Rechts 180 0 Hinten 270 0 Links 0 90 Deckel 0 -90 Boden
done

# A bottom of locking flaps has no face of its own: the five others.
for style in schnappboden automatikboden; do
    "$CLI" new "$WORK/$style.box" --style "$style" --size 60x45x50 >/dev/null || fail "new $style"
    check_views "$WORK/$style.box" 0 0 Vorne 90 0 Rechts 180 0 Hinten 270 0 Links 0 90 Deckel
done

[ "$fails" = 0 ] || exit 1
echo "faces_cli: ok"
