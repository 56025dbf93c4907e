#!/usr/bin/env bash
# faltarillon-cli sheet: the printed sheet on the PDF printer's layout and its
# cut files, read back by ezdxf, an XML parse and librsvg and compared with
# the 600-dpi print of the same sheet.
set -euo pipefail
CLI="$1"
export QT_QPA_PLATFORM=offscreen
HERE="$(cd "$(dirname "$0")" && pwd)"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# The system Python: Debian packages its modules (ezdxf) for that one.
PY=/usr/bin/python3
for tool in pngtopnm pamcut rsvg-convert pdfinfo pdftocairo "$PY"; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done
"$PY" -c "import ezdxf" || fail "python3-ezdxf is missing"

"$CLI" new "$TMP/a4.box"

# A4, 40 %, 1 mm bleed, marks 10 mm in: two by two.
opts=(--percent 40 --bleed 1 --fill --regmarks)
count=$("$CLI" sheet "$TMP/a4.box" "$TMP/s.png" "${opts[@]}")
[ "$count" = "2 x 2" ] || fail "A4 at 40 % gave $count"
"$CLI" sheet "$TMP/a4.box" "$TMP/s.dxf" "${opts[@]}" >/dev/null
"$CLI" sheet "$TMP/a4.box" "$TMP/s.svg" "${opts[@]}" >/dev/null
"$PY" "$HERE/check_cut_file.py" "$TMP/s.png" "$TMP/s.dxf" "$TMP/s.svg" 40 205 4 10

# Marks further in for sheet feeders, no fill: one box at the usable corner.
opts=(--percent 70 --regmarks --inset 15.9)
"$CLI" sheet "$TMP/a4.box" "$TMP/m.png" "${opts[@]}" >/dev/null
"$CLI" sheet "$TMP/a4.box" "$TMP/m.dxf" "${opts[@]}" >/dev/null
"$CLI" sheet "$TMP/a4.box" "$TMP/m.svg" "${opts[@]}" >/dev/null
"$PY" "$HERE/check_cut_file.py" "$TMP/m.png" "$TMP/m.dxf" "$TMP/m.svg" 70 205 1 15.9

# The PDF is the print on A3 landscape.
"$CLI" sheet "$TMP/a4.box" "$TMP/s.pdf" --paper A3 --percent 30 --fill >/dev/null
pdfinfo "$TMP/s.pdf" | grep -Eq 'Page size: *119[01](\.[0-9]+)? x 842' || fail "PDF is not A3 landscape: $(pdfinfo "$TMP/s.pdf" | grep 'Page size')"

# The PDF holds the print's pixels: poppler shows the bench design's sheet
# (photo, figures, outlined texts, pictures) as the PNG has it. The paper's
# last partly covered column and row are left out.
design="$HERE/../../bench/data/blatt.box"
"$CLI" sheet "$design" "$TMP/d.pdf" --bleed 2 --regmarks >/dev/null
"$CLI" sheet "$design" "$TMP/d.png" --bleed 2 --regmarks >/dev/null
pdftocairo -png -r 600 -singlefile "$TMP/d.pdf" "$TMP/shown"
pngtopnm "$TMP/d.png" | pamcut -left 0 -top 0 -width 7016 -height 4958 >"$TMP/want.ppm"
pngtopnm "$TMP/shown.png" | pamcut -left 0 -top 0 -width 7016 -height 4958 >"$TMP/got.ppm"
cmp -s "$TMP/want.ppm" "$TMP/got.ppm" || fail "poppler does not show the sheet's PNG pixels in its PDF"

# A FIFO or a folder is no file to replace: refused with the message, left as it was.
mkfifo "$TMP/fifo.pdf" "$TMP/fifo.png"
mkdir "$TMP/ordner.pdf"
for target in "$TMP/fifo.pdf" "$TMP/fifo.png" "$TMP/ordner.pdf"; do
  if timeout 60 "$CLI" sheet "$TMP/a4.box" "$target" --percent 30 >/dev/null 2>"$TMP/err"; then fail "$target accepted"; fi
  grep -q "Konnte .* nicht schreiben" "$TMP/err" || fail "no message for $target: $(cat "$TMP/err")"
done
[ -p "$TMP/fifo.pdf" ] && [ -p "$TMP/fifo.png" ] && [ -d "$TMP/ordner.pdf" ] || fail "a refused target was replaced"

# Wrong calls are refused with a message and change nothing.
if "$CLI" sheet "$TMP/a4.box" "$TMP/x.dxf" --inset 12 2>"$TMP/err"; then fail "--inset without --regmarks accepted"; fi
grep -q -- '--inset' "$TMP/err" || fail "no message for --inset without --regmarks"
if "$CLI" sheet "$TMP/a4.box" "$TMP/x.svg" --bleed 6 2>/dev/null; then fail "--bleed 6 accepted"; fi
if "$CLI" sheet "$TMP/a4.box" "$TMP/x.txt" 2>/dev/null; then fail ".txt accepted"; fi
[ ! -e "$TMP/x.dxf" ] && [ ! -e "$TMP/x.svg" ] || fail "a refused call wrote a file"
echo "sheet CLI ok"
