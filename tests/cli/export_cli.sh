#!/usr/bin/env bash
# faltarillon-cli export: default and chosen layers, pages, bleed, text as
# paths, and the inputs it refuses. The files are checked by outside readers
# (librsvg, poppler).
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
. "$(dirname "$0")/../support/cli_test.sh"
for tool in rsvg-convert pdfinfo pdftoppm pdfimages xmllint convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done

"$CLI" new "$WORK/neu.box" || fail "new"

# Defaults: art, fold and cut layers; no net; A4 landscape.
"$CLI" export "$WORK/neu.box" "$WORK/std.svg" || fail "export svg exit code"
grep -q 'id="motiv"' "$WORK/std.svg" || fail "default svg lacks the art layer"
grep -q 'id="falzlinien"' "$WORK/std.svg" || fail "default svg lacks the fold layer"
grep -q 'id="schnittlinien"' "$WORK/std.svg" || fail "default svg lacks the cut layer"
grep -q 'id="gepunktetes-netz"' "$WORK/std.svg" && fail "default svg has the net layer"
grep -q 'width="297mm" height="210mm"' "$WORK/std.svg" || fail "default page is not A4 landscape"
rsvg-convert -d 50 -p 50 -o "$WORK/std.png" "$WORK/std.svg" || fail "rsvg-convert cannot read the svg"

"$CLI" export "$WORK/neu.box" "$WORK/std.pdf" --page Letter || fail "export pdf exit code"
pdfinfo "$WORK/std.pdf" > "$WORK/info.txt" || fail "pdfinfo cannot read the pdf"
grep -Eq 'Page size: +792 x 612' "$WORK/info.txt" || fail "letter landscape page: $(grep 'Page size' "$WORK/info.txt")"
grep -Eq 'Pages: +1$' "$WORK/info.txt" || fail "pdf has more than one page"

# Only the net and the cut; box-only page grown by the bleed on every side.
"$CLI" export "$WORK/neu.box" "$WORK/netz.svg" --layers net,cut --page box --bleed 2 --percent 50 \
  || fail "export with options"
grep -q 'id="gepunktetes-netz"' "$WORK/netz.svg" || fail "--layers net missing"
grep -q 'id="motiv"' "$WORK/netz.svg" && fail "--layers net,cut still has the art"
# 290 x 205 mm item: Trunc(290 / 25.39995 * 600) = 6850 pixels, plus 2 x 48.
grep -q 'viewBox="0 0 6946 ' "$WORK/netz.svg" || fail "box page with bleed: $(grep -o 'viewBox="[^"]*"' "$WORK/netz.svg")"

# Refused inputs: a clear message, exit code 2, no file.
expect_refused() {
  local out=$1; shift
  "$CLI" export "$WORK/neu.box" "$out" "$@" 2> "$WORK/err.txt"
  [ $? -eq 2 ] || fail "export $* was not refused"
  [ -s "$WORK/err.txt" ] || fail "export $* gave no message"
  [ -e "$out" ] && fail "export $* left a file"
}
expect_refused "$WORK/a.svg" --bleed 6
expect_refused "$WORK/b.svg" --bleed -1
expect_refused "$WORK/c.svg" --layers art,kreis
expect_refused "$WORK/d.svg" --page A5
expect_refused "$WORK/e.svg" --percent 5
expect_refused "$WORK/f.png"

# A FIFO is no file to export into: refused at once, nothing blocks.
mkfifo "$WORK/rohr.svg"
timeout 20 "$CLI" export "$WORK/neu.box" "$WORK/rohr.svg" 2> "$WORK/err.txt"
rc=$?
[ $rc -eq 1 ] || fail "export into a FIFO: exit code $rc"
grep -q "keine gewöhnliche Datei" "$WORK/err.txt" || fail "FIFO message: $(cat "$WORK/err.txt")"
[ -p "$WORK/rohr.svg" ] || fail "the FIFO was replaced"

# A box file that cannot be read: exit code 1, nothing written.
printf 'kein Faltarillon' > "$WORK/kaputt.box"
"$CLI" export "$WORK/kaputt.box" "$WORK/k.svg" 2>/dev/null
[ $? -eq 1 ] || fail "damaged box file not reported"
[ -e "$WORK/k.svg" ] && fail "damaged box file left an export"

# A background too large for the SVG's readers goes beside it, and stderr
# says so; the SVG opens in xmllint (no --huge) and rsvg-convert.
BENCH="$(dirname "$0")/../../bench/data"
mkdir -p "$WORK/gross"
cp "$BENCH/blatt.box" "$BENCH"/bild?.png "$WORK/gross/" || fail "bench data missing"
convert -size 3000x2000 xc: +noise Random -quality 98 "$WORK/gross/hintergrund.jpg" || fail "convert"
[ "$(stat -c %s "$WORK/gross/hintergrund.jpg")" -gt 7000000 ] || fail "noise JPEG is not over 7 MB"
# The SVG being replaced names b-bild3.png: the new one does not, so it goes;
# b-bild4.png no SVG named is the user's and stays.
printf '<svg xmlns:xlink="http://www.w3.org/1999/xlink"><image xlink:href="b-bild3.png"/></svg>' > "$WORK/gross/b.svg"
: > "$WORK/gross/b-bild3.png"
: > "$WORK/gross/b-bild4.png"
"$CLI" export "$WORK/gross/blatt.box" "$WORK/gross/b.svg" 2> "$WORK/err.txt" || fail "export with a large background"
grep -q "Große Bilder wurden neben der SVG-Datei gespeichert." "$WORK/err.txt" || fail "no side-file notice: $(cat "$WORK/err.txt")"
cmp -s "$WORK/gross/b-bild1.jpg" "$WORK/gross/hintergrund.jpg" || fail "b-bild1.jpg is not the background's file"
grep -q 'xlink:href="b-bild1.jpg"' "$WORK/gross/b.svg" || fail "the svg does not link b-bild1.jpg"
[ -e "$WORK/gross/b-bild3.png" ] && fail "stale b-bild3.png left"
[ -e "$WORK/gross/b-bild4.png" ] || fail "the user's b-bild4.png removed"
xmllint --noout "$WORK/gross/b.svg" || fail "xmllint cannot read the svg"
rsvg-convert -d 20 -p 20 -o "$WORK/gross/b.png" "$WORK/gross/b.svg" || fail "rsvg-convert cannot read the svg"
"$CLI" export "$WORK/gross/blatt.box" "$WORK/gross/b.pdf" 2> "$WORK/err.txt" || fail "pdf with a large background"
[ -s "$WORK/err.txt" ] && fail "pdf export said: $(cat "$WORK/err.txt")"
pdfimages -list "$WORK/gross/b.pdf" | grep -q " 3000  2000  rgb     3   8  jpeg" || fail "pdf lacks the background as jpeg"

[ $fails -eq 0 ] && echo "export_cli: all passed"
exit $fails
