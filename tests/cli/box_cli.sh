#!/usr/bin/env bash
# The box commands of faltarillon-cli: new, info, resave, and their refusals.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
DATA=$2
. "$(dirname "$0")/../support/cli_test.sh"

# new: the 178-byte file of a fresh document at 96 dpi.
"$CLI" new "$WORK/neu.box" || fail "new exit code"
[ "$(stat -c %s "$WORK/neu.box")" = 178 ] || fail "new size"
[ "$(tail -c 20 "$WORK/neu.box" | od -An -tx1 | tr -d ' \n')" = 000000000000f03f0000000000007a4011270000 ] \
  || fail "new zoom, divisor and end marker"
"$CLI" new "$WORK/neu120.box" --dpi 120 || fail "new --dpi"
"$CLI" info "$WORK/neu120.box" | grep -q '"ScreenDivisor": 332' || fail "divisor at 120 dpi"
"$CLI" new "$WORK/x.box" --dpi 0 2>/dev/null && fail "dpi 0 accepted"
"$CLI" new 2>/dev/null && fail "new without file accepted"

# info: layout, surface, objects with strings as UTF-8.
"$CLI" info "$WORK/neu.box" > "$WORK/neu.json" || fail "info exit code"
python3 - "$WORK/neu.json" <<'PY' || fail "info of a new document"
import json, sys
d = json.load(open(sys.argv[1]))
assert d["layout"]["ItemWidth"] == 290 and d["layout"]["Rows"] == 1, d["layout"]
assert d["layout"]["TypeNameBytes"] == "Kein Faltarillonentyp".encode().hex()
assert d["ExtentWidth"] == 685040 and d["surface"] == {"width": 1646, "height": 1164}
assert d["BackgroundMode"] == -1 and d["objects"] == []
PY
"$CLI" info "$DATA/model/windows_sample.box" > "$WORK/sample.json" 2> "$WORK/sample.err" || fail "info sample"
python3 - "$WORK/sample.json" <<'PY' || fail "info of the sample"
import json, sys
d = json.load(open(sys.argv[1]))
objs = {o["slot"]: o for o in d["objects"]}
assert sorted(objs) == [2, 7, 9, 9999], sorted(objs)
assert objs[7]["Content"] == "Grüße aus Köln\r„zweite“ Zeile", objs[7]["Content"]
assert objs[9999]["Picture"] == {"width": 2, "height": 3, "bitCount": 24}, objs[9999]
assert d["layout"]["TypeName"] == "Testtypäß" and d["layout"]["Reserved"].startswith("010203")
PY
[ -s "$WORK/sample.err" ] && fail "sample reported problems: $(cat "$WORK/sample.err")"

# resave: byte for byte, also after a second round.
"$CLI" resave "$DATA/model/windows_sample.box" "$WORK/r1.box" || fail "resave exit code"
cmp -s "$DATA/model/windows_sample.box" "$WORK/r1.box" || fail "resave not byte for byte"
"$CLI" resave "$WORK/neu.box" "$WORK/r2.box" && cmp -s "$WORK/neu.box" "$WORK/r2.box" || fail "resave new"

# Missing pictures: reported on stderr, the command still succeeds.
cp "$DATA/model/windows_sample.box" "$WORK/ohnebild.box"
"$CLI" info "$WORK/ohnebild.box" > /dev/null 2> "$WORK/missing.err" || fail "info without pictures"
grep -qx 'faltarillon-cli info: D:\\Fotos\\pixel3x2.bmp: Datei nicht gefunden' "$WORK/missing.err" \
  || fail "missing picture message: $(cat "$WORK/missing.err")"

# Damaged and foreign files: exit 1 with the message, nothing written.
head -c 150 "$WORK/neu.box" > "$WORK/kurz.box"
"$CLI" info "$WORK/kurz.box" > /dev/null 2> "$WORK/kurz.err"; [ $? = 1 ] || fail "short file exit code"
grep -q 'Die Datei endet vorzeitig' "$WORK/kurz.err" || fail "short file message"
printf 'kein Box-Format, ganz sicher nicht' > "$WORK/fremd.box"
"$CLI" resave "$WORK/fremd.box" "$WORK/out.box" 2> "$WORK/fremd.err"; [ $? = 1 ] || fail "foreign exit code"
grep -qx "faltarillon-cli resave: $WORK/fremd.box: keine Box-Datei (Dateikennung falsch)" "$WORK/fremd.err" \
  || fail "foreign message: $(cat "$WORK/fremd.err")"
[ -e "$WORK/out.box" ] && fail "resave wrote a file from a foreign one"
"$CLI" info "$WORK/gibtsnicht.box" 2> /dev/null; [ $? = 1 ] || fail "missing file exit code"
mkfifo "$WORK/rohr.box"
timeout 10 "$CLI" info "$WORK/rohr.box" 2> /dev/null; [ $? = 1 ] || fail "fifo not refused at once"
"$CLI" resave "$WORK/neu.box" "$WORK/gibtsnicht/out.box" 2> "$WORK/create.err"; [ $? = 1 ] || fail "unwritable target"
[ "$(cat "$WORK/create.err")" = "faltarillon-cli resave: $WORK/gibtsnicht/out.box: Ordner nicht gefunden" ] \
  || fail "create message: $(cat "$WORK/create.err")"

[ $fails = 0 ] && echo "box_cli: all passed"
exit $fails
