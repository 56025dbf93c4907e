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
# The cut files are checked against the one-pixel net of the print.
opts=(--percent 40 --bleed 1 --fill --regmarks --net-lines fein)
count=$("$CLI" sheet "$TMP/a4.box" "$TMP/s.png" "${opts[@]}")
[ "$count" = "2 x 2" ] || fail "A4 at 40 % gave $count"
"$CLI" sheet "$TMP/a4.box" "$TMP/s.dxf" "${opts[@]}" >/dev/null
"$CLI" sheet "$TMP/a4.box" "$TMP/s.svg" "${opts[@]}" >/dev/null
"$PY" "$HERE/check_cut_file.py" "$TMP/s.png" "$TMP/s.dxf" "$TMP/s.svg" 40 205 4 10

# Marks further in for sheet feeders, no fill: one box at the usable corner.
opts=(--percent 70 --regmarks --inset 15.9 --net-lines fein)
"$CLI" sheet "$TMP/a4.box" "$TMP/m.png" "${opts[@]}" >/dev/null
"$CLI" sheet "$TMP/a4.box" "$TMP/m.dxf" "${opts[@]}" >/dev/null
"$CLI" sheet "$TMP/a4.box" "$TMP/m.svg" "${opts[@]}" >/dev/null
"$PY" "$HERE/check_cut_file.py" "$TMP/m.png" "$TMP/m.dxf" "$TMP/m.svg" 70 205 1 15.9

# Many copies make many entities: every handle stays the file's only one,
# and ezdxf still finds nothing to mend.
"$CLI" sheet "$TMP/a4.box" "$TMP/viele.dxf" --percent 10 --fill --regmarks >/dev/null
"$PY" - "$TMP/viele.dxf" <<'PY' || fail "the DXF of many copies does not read cleanly"
import sys
from ezdxf import recover
doc, auditor = recover.readfile(sys.argv[1])
problems = [(f.code, f.message) for f in auditor.errors + auditor.fixes]
audit = doc.audit()
problems += [(f.code, f.message) for f in audit.errors + audit.fixes]
lines = open(sys.argv[1]).read().split("\n")
handles = [lines[i + 1].strip() for i in range(0, len(lines) - 1, 2) if lines[i].strip() == "5"]
if len(handles) != len(set(handles)):
    problems.append("handles given twice: %s" % sorted({h for h in handles if handles.count(h) > 1}))
if len(list(doc.modelspace())) < 48 or problems:
    print(problems)
    sys.exit(1)
PY

# The PDF is the print on A3 landscape, its page the paper exactly (420 x
# 297 mm, not whole points) and trimmed on itself: the sheet is cut on its
# own lines.
"$CLI" sheet "$TMP/a4.box" "$TMP/s.pdf" --paper A3 --percent 30 --fill >/dev/null
boxes=$(pdfinfo -box "$TMP/s.pdf")
grep -Eq '^MediaBox: +0\.00 +0\.00 +1190\.55 +841\.89$' <<<"$boxes" || fail "PDF page is not A3 landscape exactly: $boxes"
grep -Eq '^TrimBox: +0\.00 +0\.00 +1190\.55 +841\.89$' <<<"$boxes" || fail "PDF is not trimmed on its page: $boxes"
"$CLI" sheet "$TMP/a4.box" "$TMP/a4.pdf" --percent 30 >/dev/null
pdfinfo -box "$TMP/a4.pdf" | grep -Eq '^MediaBox: +0\.00 +0\.00 +841\.89 +595\.28$' \
  || fail "PDF page is not A4 landscape exactly: $(pdfinfo -box "$TMP/a4.pdf" | grep MediaBox)"

# A box larger than the printable area: the warning gives the sizes as the
# print dialog does, with a decimal comma.
"$CLI" new "$TMP/a3.box" --paper A3
LC_ALL=C "$CLI" sheet "$TMP/a3.box" "$TMP/big.png" --percent 100 >/dev/null 2>"$TMP/err"
grep -Eq 'Warnung: Die Box ist größer als der bedruckbare Bereich \(Box: [0-9]+,[0-9] × [0-9]+,[0-9] mm, bedruckbarer Bereich: 290,0 × 202,9 mm\)\.' "$TMP/err" \
  || fail "fit warning: $(cat "$TMP/err")"

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
  grep -q "^faltarillon-cli sheet: $target: " "$TMP/err" || fail "no message for $target: $(cat "$TMP/err")"
done
[ -p "$TMP/fifo.pdf" ] && [ -p "$TMP/fifo.png" ] && [ -d "$TMP/ordner.pdf" ] || fail "a refused target was replaced"

# Wrong calls are refused with a message and change nothing.
if "$CLI" sheet "$TMP/a4.box" "$TMP/x.dxf" --inset 12 2>"$TMP/err"; then fail "--inset without --regmarks accepted"; fi
grep -q -- '--inset' "$TMP/err" || fail "no message for --inset without --regmarks"
if "$CLI" sheet "$TMP/a4.box" "$TMP/x.svg" --bleed 6 2>/dev/null; then fail "--bleed 6 accepted"; fi
if "$CLI" sheet "$TMP/a4.box" "$TMP/x.txt" 2>/dev/null; then fail ".txt accepted"; fi
[ ! -e "$TMP/x.dxf" ] && [ ! -e "$TMP/x.svg" ] || fail "a refused call wrote a file"
echo "sheet CLI ok"
