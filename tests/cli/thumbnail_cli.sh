#!/usr/bin/env bash
# faltarillon-cli thumbnail: the picture file managers show, read back with
# netpbm. Size and aspect, the design's colours where the sample puts them,
# a missing background picture, damaged and foreign input (no file, exit 1),
# wrong calls (exit 2).
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
SAMPLES="$2/../../samples"
. "$(dirname "$0")/../support/cli_test.sh"
for tool in pngtopam pamfile pamcut pamtopnm; do
  command -v $tool >/dev/null || { echo "FAIL: $tool (netpbm) missing"; exit 1; }
done

dims() { pngtopam "$1" | pamfile | sed -n 's/.* \([0-9]*\) by \([0-9]*\) .*/\1 \2/p'; }
# "R G B" of the pixel at x y
pixel() { pngtopam "$1" | pamcut -left "$2" -top "$3" -width 1 -height 1 | pamtopnm -plain | tail -n +4 | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
near() {   # "R G B" "R G B" tolerance
  set -- $1 $2 $3
  local r=$1 g=$2 b=$3; shift 3
  local R=$1 G=$2 B=$3 t=$4
  [ $((r > R ? r - R : R - r)) -le "$t" ] && [ $((g > G ? g - G : G - g)) -le "$t" ] && [ $((b > B ? b - B : B - b)) -le "$t" ]
}

gift="$SAMPLES/Geschenkbox.box"
"$CLI" thumbnail "$gift" "$WORK/g.png" || fail "thumbnail of the gift box"
# The net's bounding box (264.2 x 195.6 mm at 100 %), not the 290 x 205 mm item.
[ "$(dims "$WORK/g.png")" = "256 190" ] || fail "default size: $(dims "$WORK/g.png")"
"$CLI" thumbnail "$gift" "$WORK/g64.png" --size 64 || fail "--size 64"
[ "$(dims "$WORK/g64.png")" = "64 47" ] || fail "size 64: $(dims "$WORK/g64.png")"
# Wrapping paper (178, 24, 43) on Vorne away from ribbon and stars (19 mm
# across, 99 mm down). The paper covers the whole item: it reaches the
# thumbnail's right and bottom edges, no blank strip of item beside the net.
p=$(pixel "$WORK/g.png" 18 91)
near "$p" "178 24 43" 8 || fail "paper colour on Vorne: $p"
for xy in "250 170" "128 189" "253 20"; do
  p=$(pixel "$WORK/g.png" $xy)
  near "$p" "178 24 43" 8 || fail "paper colour at the net's box edge $xy: $p"
done

# The picture box with its background picture beside it, and without it.
pic="$SAMPLES/Box mit Bildhintergrund.box"
"$CLI" thumbnail "$pic" "$WORK/p.png" --size 128 || fail "picture box"
p=$(pixel "$WORK/p.png" 100 85)
[ "$p" != "255 255 255" ] || fail "the background picture is missing"
cp "$pic" "$WORK/ohne.box"
"$CLI" thumbnail "$WORK/ohne.box" "$WORK/o.png" --size 128 2>/dev/null || fail "a missing picture stops the thumbnail"
p=$(pixel "$WORK/o.png" 100 85)
[ "$p" = "255 255 255" ] || fail "a missing picture left something: $p"

# A file manager's sandbox hands over a copy of the box somewhere else and
# hides the home folder: the packaged samples name their pictures by the
# folder they are installed in, so the copy still finds them there. Here the
# source samples folder stands in for the installed one.
tool="$(dirname "$CLI")/install_picture_paths"
installed=$(cd "$SAMPLES" && pwd)
"$tool" "$SAMPLES" "$WORK/paket" "$installed" || fail "install_picture_paths"
mkdir -p "$WORK/sandbox"
cp "$WORK/paket/Box mit Bildhintergrund.box" "$WORK/sandbox/kopie.box"
"$CLI" info "$WORK/sandbox/kopie.box" | grep -q "\"BackgroundFile\": \"$installed/Abendhimmel.jpg\"" \
  || fail "packaged sample does not name its installed picture: $("$CLI" info "$WORK/sandbox/kopie.box" | grep BackgroundFile)"
"$CLI" thumbnail "$WORK/sandbox/kopie.box" "$WORK/s.png" --size 128 || fail "thumbnail of the sandbox copy"
p=$(pixel "$WORK/s.png" 100 85)
[ "$p" != "255 255 255" ] || fail "the sandbox copy lost its background picture"
"$CLI" info "$pic" | grep -q '"BackgroundFile": "Abendhimmel.jpg"' || fail "the source sample no longer has a bare name"
# Designs that name no picture beside them are written as they were.
cmp -s <("$CLI" info "$SAMPLES/Geschenkbox.box" | grep -v '"file":') <("$CLI" info "$WORK/paket/Geschenkbox.box" | grep -v '"file":') \
  || fail "a sample without pictures changed"

# Damaged and foreign input: exit 1 and no file.
head -c 300 "$gift" > "$WORK/kaputt.box"
"$CLI" thumbnail "$WORK/kaputt.box" "$WORK/k.png" 2>/dev/null; rc=$?
[ $rc -eq 1 ] || fail "damaged file: exit $rc"
[ ! -e "$WORK/k.png" ] || fail "damaged file left a picture"
"$CLI" thumbnail "$WORK/g.png" "$WORK/f.png" 2>/dev/null; rc=$?
[ $rc -eq 1 ] && [ ! -e "$WORK/f.png" ] || fail "foreign file: exit $rc"
mkfifo "$WORK/fifo.box"
timeout 10 "$CLI" thumbnail "$WORK/fifo.box" "$WORK/fi.png" 2>/dev/null; rc=$?
[ $rc -eq 1 ] && [ ! -e "$WORK/fi.png" ] || fail "FIFO as box file: exit $rc"
ls "$WORK" | grep -q '^\..*png' && fail "a temporary file was left behind"

# Wrong calls.
for args in "" "$gift" "$gift $WORK/x.png --size 0" "$gift $WORK/x.png --size abc" "$gift $WORK/x.png --sise 8"; do
  "$CLI" thumbnail $args >/dev/null 2>&1; rc=$?
  [ $rc -eq 2 ] || fail "call '$args': exit $rc"
done

[ $fails -eq 0 ] && echo "all thumbnail checks passed"
exit $fails
