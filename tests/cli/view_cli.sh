#!/usr/bin/env bash
# faltarillon-cli view: the folded box as a picture, read back with
# ImageMagick (size, format, pixels), and refused options.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
. "$(dirname "$0")/../support/cli_test.sh"
command -v identify >/dev/null && command -v compare >/dev/null || { echo "FAIL: ImageMagick missing"; exit 1; }

pixel() { convert "$1" -format "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]" -crop "1x1+$2+$3" info:; }
differ() { local n; n=$(compare -metric AE "$1" "$2" null: 2>&1); [ "${n%% *}" != "0" ]; }

"$CLI" new "$WORK/leer.box" >/dev/null 2>&1 || fail "new"

"$CLI" view "$WORK/leer.box" "$WORK/start.png" 2>/dev/null || fail "view with defaults"
[ "$(identify -format '%w %h %m' "$WORK/start.png")" = "1600 1200 PNG" ] || fail "default size 1600 x 1200 PNG"

# Straight at the flat net: the middle is printed paper (white, lit
# straight on), the corner the grey-blue background.
"$CLI" view "$WORK/leer.box" "$WORK/flat.png" --size 400x300 --yaw 0 --pitch 0 --fold 0 || fail "flat view"
[ "$(identify -format '%w %h' "$WORK/flat.png")" = "400 300" ] || fail "--size 400x300"
read -r r g b <<<"$(pixel "$WORK/flat.png" 150 120)"
{ [ "$r" -gt 200 ] && [ "$r" = "$g" ] && [ "$g" = "$b" ]; } || fail "paper in the middle of the flat net ($r $g $b)"
read -r r g b <<<"$(pixel "$WORK/flat.png" 2 2)"
{ [ "$b" -gt "$r" ] && [ "$r" -lt 245 ]; } || fail "background in the corner ($r $g $b)"

"$CLI" view "$WORK/leer.box" "$WORK/closed.png" --size 400x300 --yaw 0 --pitch 0 || fail "front view"
differ "$WORK/flat.png" "$WORK/closed.png" || fail "folding changes the picture"
"$CLI" view "$WORK/leer.box" "$WORK/labels.png" --size 400x300 --yaw 0 --pitch 0 --labels || fail "--labels"
differ "$WORK/closed.png" "$WORK/labels.png" || fail "--labels writes the face names"
"$CLI" view "$WORK/leer.box" "$WORK/small.png" --size 400x300 --yaw 0 --pitch 0 --percent 30 || fail "--percent"
"$CLI" view "$WORK/leer.box" "$WORK/box.jpg" --size 320x240 --yaw 200 --pitch -40 --fold 0.5 || fail "JPEG"
[ "$(identify -format '%w %h %m' "$WORK/box.jpg")" = "320 240 JPEG" ] || fail "JPEG output"

# Refused: exit 2 with a German message naming the option; nothing written.
for bad in "--fold 2" "--pitch 91" "--size 10x10" "--percent 5" "--yaw abc" "--zoom 2"; do
    # shellcheck disable=SC2086
    msg=$("$CLI" view "$WORK/leer.box" "$WORK/bad.png" $bad 2>&1 >/dev/null)
    rc=$?
    [ "$rc" = 2 ] || fail "$bad: exit $rc"
    echo "$msg" | grep -q -- "${bad%% *}" || fail "$bad: message '$msg'"
    [ ! -e "$WORK/bad.png" ] || fail "$bad wrote a picture"
done
"$CLI" view "$WORK/leer.box" "$WORK/bad.gif" 2>/dev/null; [ $? = 2 ] || fail "GIF output refused"
"$CLI" view "$WORK/fehlt.box" "$WORK/bad.png" 2>/dev/null; [ $? = 1 ] || fail "missing box file"
[ ! -e "$WORK/bad.png" ] || fail "missing box file wrote a picture"

[ $fails = 0 ] && echo "view: all passed"
exit $((fails > 0))
