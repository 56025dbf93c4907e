#!/usr/bin/env bash
# Every numeric option of every verb takes only a finite number within its
# range: "nan", "inf", exponents, hex and trailing junk are wrong calls
# (exit 2, a German message naming the option, nothing written), and the
# limits themselves are accepted.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
. "$(dirname "$0")/../support/cli_test.sh"

"$CLI" new "$WORK/leer.box" || fail "new"
box="$WORK/leer.box"
refused() {   # VERB OUTPUT OPTION VALUE [more arguments]
  local verb=$1 out=$2 opt=$3 value=$4; shift 4
  rm -f "$out"
  "$CLI" "$verb" "$box" "$out" "$@" "$opt" "$value" > /dev/null 2> "$WORK/err"; local rc=$?
  [ $rc = 2 ] || fail "$verb $* $opt '$value': exit $rc"
  grep -q -- "$opt erwartet" "$WORK/err" || fail "$verb $opt '$value': message '$(cat "$WORK/err")'"
  [ -e "$out" ] && fail "$verb $opt '$value' wrote $out"
}
junk=(nan NaN -nan inf -inf infinity 1e999 1e2 0x10 5abc "" " 5" 1.5.2)
for v in "${junk[@]}"; do
  refused sheet "$WORK/s.svg" --bleed "$v"
  refused sheet "$WORK/s.svg" --inset "$v" --regmarks
  refused sheet "$WORK/s.svg" --percent "$v"
  refused export "$WORK/e.svg" --bleed "$v"
  refused export "$WORK/e.svg" --percent "$v"
  refused render "$WORK/r.png" --dpi "$v"
  refused render "$WORK/r.png" --scroll "$v,0" --editor
  refused render "$WORK/r.png" --size "100x$v" --editor
  refused view "$WORK/v.png" --yaw "$v"
  refused view "$WORK/v.png" --pitch "$v"
  refused view "$WORK/v.png" --fold "$v"
  refused view "$WORK/v.png" --size "${v}x100"
  refused thumbnail "$WORK/t.png" --size "$v"
done
for v in "${junk[@]}" -0.05 1.01 0.07; do
  rm -f "$WORK/n.box"
  "$CLI" new "$WORK/n.box" --style huelse --size 64x21x89 --thickness "$v" 2> "$WORK/err"; rc=$?
  [ $rc = 2 ] && grep -q -- '--thickness erwartet' "$WORK/err" || fail "new --thickness '$v': exit $rc"
  [ -e "$WORK/n.box" ] && fail "new --thickness '$v' wrote a file"
done
"$CLI" new "$WORK/n.box" --style huelse --size 64x21x89 --thickness 1,0 || fail "new --thickness at its limit"
# Whole numbers only where a count or pixels are meant.
refused sheet "$WORK/s.svg" --percent 50.5
refused thumbnail "$WORK/t.png" --size 12,5
refused render "$WORK/r.png" --dpi 300.0
# Just outside the ranges.
refused sheet "$WORK/s.svg" --bleed 5.01
refused sheet "$WORK/s.svg" --inset 9,99 --regmarks
refused view "$WORK/v.png" --pitch -90.5
refused render "$WORK/r.png" --scroll -1,0 --editor
for v in nan 0 abc; do
  "$CLI" new "$WORK/n.box" --dpi "$v" 2> "$WORK/err"; rc=$?
  [ $rc = 2 ] && grep -q -- '--dpi erwartet' "$WORK/err" || fail "new --dpi '$v': exit $rc"
  "$CLI" convert "$WORK/t.png" "$WORK/c.jpg" --quality "$v" 2> "$WORK/err"; rc=$?
  [ $rc = 2 ] && grep -q -- '--quality erwartet' "$WORK/err" || fail "convert --quality '$v': exit $rc"
done

# The limits, commas and points: accepted, and the marks are still drawn.
"$CLI" sheet "$box" "$WORK/ok.svg" --bleed 5 --regmarks --inset 20 > /dev/null || fail "sheet at its limits"
"$CLI" sheet "$box" "$WORK/komma.svg" --bleed 0,5 --regmarks --inset 12,5 > /dev/null || fail "sheet with commas"
"$CLI" sheet "$box" "$WORK/punkt.svg" --bleed .5 --regmarks --inset 12.5 > /dev/null || fail "sheet with points"
cmp -s "$WORK/komma.svg" "$WORK/punkt.svg" || fail "comma and point differ"
"$CLI" view "$box" "$WORK/ok.png" --size 16x16 --yaw -3600 --pitch 90 --fold 0 || fail "view at its limits"

[ $fails = 0 ] && echo "numeric_options: all passed"
exit $fails
