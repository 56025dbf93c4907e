#!/usr/bin/env bash
# faltarillon-cli within bounded memory: crafted files and allowed options
# that once took gigabytes. Each run gets an address-space limit (ulimit -v,
# small thread stacks so the render threads still start) and a timeout, so
# a fault shows as a failed run, never as a machine out of memory. Also the
# messages of work that cannot be done: a net without area, a box larger
# than its paper. Pictures are read back with netpbm.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
SAMPLES="$2/../../samples"
. "$(dirname "$0")/../support/cli_test.sh"
# The sanitizers reserve terabytes of shadow address space and keep freed
# memory in quarantine: address-space limits say nothing of such a build.
if ldd "$CLI" 2>/dev/null | grep -q libasan; then
  echo "memory bounds are measured in the plain build only"
  exit 0
fi
export MALLOC_ARENA_MAX=2
dims() { pngtopam "$1" | pamfile | sed -n 's/.* \([0-9]*\) by \([0-9]*\) .*/\1 \2/p'; }
# limited KB CMD...: the command with at most KB of address space.
limited() { local kb=$1; shift; (ulimit -s 1024; ulimit -v "$kb"; exec timeout 120 "$@"); }
# patch FILE OFFSET FORMAT VALUES...: little-endian values written into a box file.
patch() { python3 -c 'import struct,sys; p,o,f=sys.argv[1:4]; d=bytearray(open(p,"rb").read());
struct.pack_into(f,d,int(o) if int(o)>=0 else d.find(b"FORM")+12,*map(float,sys.argv[4:])); open(p,"wb").write(d)' "$@"; }
LAYOUT_PITCH=49   # identifier (33) + two margins
LAYOUT_ITEM=65

# A 10 mm cuboid on an item of 2000 mm, with and without a picture filling
# the item (the picture box is a cube, its net grows with the item beyond
# it): the thumbnail draws only the net, at the thumbnail's pixels.
"$CLI" new --form quader --size 10x10x10 "$WORK/riesig.box" || fail "new cuboid"
patch "$WORK/riesig.box" $LAYOUT_PITCH '<dddd' 2000 2000 2000 2000
cp "$SAMPLES/Abendhimmel.jpg" "$WORK/"
cp "$SAMPLES/Box mit Bildhintergrund.box" "$WORK/bild.box"
patch "$WORK/bild.box" $LAYOUT_PITCH '<dddd' 2000 2000 2000 2000
for f in riesig bild; do
  for size in 256 2048; do
    limited 600000 "$CLI" thumbnail "$WORK/$f.box" "$WORK/$f-$size.png" --size $size 2>"$WORK/err"; rc=$?
    [ $rc -eq 0 ] || fail "thumbnail of $f at $size within 600 MB: exit $rc $(cat "$WORK/err")"
    grep -v "Warnung: .*passt nicht auf ihr Papier" "$WORK/err" | grep -q . && fail "thumbnail of $f at $size said: $(cat "$WORK/err")"
    set -- $(dims "$WORK/$f-$size.png")
    [ "${1:-0}" -eq $size ] && [ "${2:-0}" -gt $((size / 2)) ] && [ "${2:-0}" -lt $size ] \
      || fail "thumbnail of $f at $size: $*"
  done
done
limited 600000 "$CLI" view "$WORK/riesig.box" "$WORK/riesig-view.png" --size 800x600 || fail "view of the huge item"
limited 600000 "$CLI" render "$WORK/riesig.box" "$WORK/riesig-editor.png" --editor --size 640x480 \
  || fail "render --editor of the huge item"
[ "$(dims "$WORK/riesig-editor.png")" = "640 480" ] || fail "editor picture: $(dims "$WORK/riesig-editor.png")"

# Options the verbs allow but memory does not: refused before the work,
# in German, with the file; nothing written.
gift="$SAMPLES/Geschenkbox.box"
for call in "render|--dpi 2400 --page A3|$WORK/a3.png" "render|--editor --size 20000x20000|$WORK/ed.png"; do
  IFS='|' read -r verb opts out <<<"$call"
  limited 1500000 "$CLI" $verb "$gift" "$out" $opts 2>"$WORK/err"; rc=$?
  [ $rc -eq 1 ] || fail "$verb $opts: exit $rc"
  grep -q "^faltarillon-cli $verb: $out: Dafür wären etwa .* GB Arbeitsspeicher nötig, mehr als die erlaubten 1 GB" "$WORK/err" \
    || fail "$verb $opts said: $(cat "$WORK/err")"
  [ ! -e "$out" ] || fail "$verb $opts left a file"
done
# Within the estimate but not within the memory there is: the German
# message with the file, exit 1, never an abort with the library's text.
limited 400000 "$CLI" render "$SAMPLES/Box mit Bildhintergrund.box" "$WORK/800.png" --dpi 800 2>"$WORK/err"; rc=$?
[ $rc -eq 1 ] || fail "render at 800 dpi in 400 MB: exit $rc $(cat "$WORK/err")"
grep -q "^faltarillon-cli render: .*: Nicht genug Arbeitsspeicher\.$" "$WORK/err" || fail "out of memory said: $(cat "$WORK/err")"
grep -qi "alloc\|terminate" "$WORK/err" && fail "the library's text reached stderr"
[ ! -e "$WORK/800.png" ] || fail "a failed render left a file"

# A net without area: thumbnail and view name the file and the reason.
"$CLI" new "$WORK/winzig.box" || fail "new cube"
patch "$WORK/winzig.box" $LAYOUT_ITEM '<dd' 1e-300 1e-300
for verb in thumbnail view; do
  "$CLI" $verb "$WORK/winzig.box" "$WORK/w.png" 2>"$WORK/err"; rc=$?
  [ $rc -eq 1 ] || fail "$verb of a net without area: exit $rc"
  grep -q "^faltarillon-cli $verb: $WORK/winzig.box: .*Das Netz der Box ist zu klein, um gezeichnet zu werden\.$" "$WORK/err" \
    || fail "$verb of a net without area said: $(cat "$WORK/err")"
done

# A 400 mm cube on A4: every verb that opens it says so once, and works.
cp "$WORK/riesig.box" "$WORK/gross.box"
patch "$WORK/gross.box" $LAYOUT_PITCH '<dddd' 290 205 290 205
patch "$WORK/gross.box" -1 '<ddd' 400 400 400
for call in "info" "resave|$WORK/g2.box" "render|$WORK/g.png" "render|$WORK/ge.png|--editor" "export|$WORK/g.pdf" \
            "view|$WORK/gv.png|--size 320x240" "thumbnail|$WORK/gt.png" "sheet|$WORK/gs.svg"; do
  IFS='|' read -r verb out opts <<<"$call"
  "$CLI" $verb "$WORK/gross.box" $out $opts >/dev/null 2>"$WORK/err"; rc=$?
  [ $rc -eq 0 ] || fail "$verb of the box larger than its paper: exit $rc"
  [ "$(grep -c . "$WORK/err")" = 1 ] || fail "$verb: not one line: $(cat "$WORK/err")"
  grep -q "^faltarillon-cli $verb: Warnung: " "$WORK/err" || fail "$verb warned: $(cat "$WORK/err")"
  [ "$verb" = sheet ] || grep -q "Warnung: $WORK/gross.box: Die Box passt nicht auf ihr Papier" "$WORK/err" \
    || fail "$verb warned: $(cat "$WORK/err")"
done
"$CLI" render "$gift" "$WORK/gift.png" 2>"$WORK/err" || fail "render of the gift box"
[ -s "$WORK/err" ] && fail "a box that fits was warned about: $(cat "$WORK/err")"

[ $fails -eq 0 ] && echo "memory_cli: all passed"
exit $((fails > 0))
