#!/usr/bin/env bash
# faltarillon-cli render: the printed sheet as PNG and PDF, the editor's
# picture, missing images and refused options.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
DATA=$2
. "$(dirname "$0")/../support/cli_test.sh"

# Reads a PNG and prints "width height" and the pixels asked for as RRGGBB.
cat > "$WORK/png.py" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n"
pos, idat, w = 8, b"", 0
while pos < len(data):
    n, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + n]
    if kind == b"IHDR":
        w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
        assert depth == 8 and ctype in (2, 6), (depth, ctype)
        bpp = 3 if ctype == 2 else 4
    elif kind == b"IDAT":
        idat += body
    pos += 12 + n
raw = zlib.decompress(idat)
stride = w * bpp
rows, prev, i = [], bytearray(stride), 0
for y in range(h):
    f, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
    i += 1 + stride
    for x in range(stride):
        a = line[x - bpp] if x >= bpp else 0
        b, c = prev[x], prev[x - bpp] if x >= bpp else 0
        if f == 1: line[x] = (line[x] + a) & 255
        elif f == 2: line[x] = (line[x] + b) & 255
        elif f == 3: line[x] = (line[x] + (a + b) // 2) & 255
        elif f == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    rows.append(line)
    prev = line
out = ["%d %d" % (w, h)]
for arg in sys.argv[2:]:
    x, y = map(int, arg.split(","))
    out.append("%02x%02x%02x" % tuple(rows[y][x * bpp:x * bpp + 3]))
print(" ".join(out))
PY

"$CLI" new "$WORK/neu.box" || fail "new"

# The editor's picture: 1646 x 1164, frame at (548, 388, 1097, 776), shadow
# strips right and below, the net's first gap pixel at (553, 509).
"$CLI" render "$WORK/neu.box" "$WORK/editor.png" --editor || fail "render --editor exit code"
got=$(python3 "$WORK/png.py" "$WORK/editor.png" 548,600 1096,600 1099,600 800,778 547,600 550,509 553,509)
[ "$got" = "1646 1164 000000 000000 808080 808080 ffffff ffffff 000000" ] || fail "editor picture: $got"

# Scrolled part of the editor picture.
"$CLI" render "$WORK/neu.box" "$WORK/part.png" --editor --scroll 500,300 --size 640x480 || fail "scroll"
got=$(python3 "$WORK/png.py" "$WORK/part.png" 48,200 47,200)
[ "$got" = "640 480 000000 ffffff" ] || fail "scrolled editor picture: $got"

# The sheet: A4 landscape at 100 dpi with the net at the page's corner.
"$CLI" render "$WORK/neu.box" "$WORK/sheet.png" --dpi 100 || fail "sheet png"
got=$(python3 "$WORK/png.py" "$WORK/sheet.png" 0,0)
[ "${got%% *}" = 1169 ] || fail "sheet size: $got"
"$CLI" render "$WORK/neu.box" "$WORK/sheet.pdf" --dpi 150 --percent 50 || fail "sheet pdf"
head -c 5 "$WORK/sheet.pdf" | grep -q '%PDF-' || fail "pdf header"

# Net lines: 0,2 mm unless fein is asked for. At 300 dpi a line is 2 pixels
# wide with dots and gaps of 6, so the sheet holds twice the black of the
# one-pixel net (counted by netpbm, not by our reader); the PDF follows.
black() { pngtopnm "$1" | ppmtopgm | pgmhist | awk '$1 ~ /^[0-9]+$/ && $1 < 128 { n += $2 } END { print n + 0 }'; }
"$CLI" render "$WORK/neu.box" "$WORK/fein.png" --dpi 300 --net-lines fein || fail "net-lines fein"
"$CLI" render "$WORK/neu.box" "$WORK/breit.png" --dpi 300 || fail "default net lines"
"$CLI" render "$WORK/neu.box" "$WORK/breit2.png" --dpi 300 --net-lines 0.2 || fail "net-lines 0.2"
cmp -s "$WORK/breit.png" "$WORK/breit2.png" || fail "0.2 is not the default"
fein=$(black "$WORK/fein.png"); breit=$(black "$WORK/breit.png")
[ -n "$fein" ] && [ "$fein" -gt 1000 ] || fail "no fine net: $fein"
[ -n "$breit" ] && awk -v a="$fein" -v b="$breit" 'BEGIN { exit !(b > 1.8 * a && b < 2.2 * a) }' \
  || fail "0,2 mm net: $breit black pixels against $fein fine ones"
"$CLI" render "$WORK/neu.box" "$WORK/fein.pdf" --dpi 300 --net-lines fein || fail "pdf fein"
"$CLI" render "$WORK/neu.box" "$WORK/breit.pdf" --dpi 300 || fail "pdf 0,2"
pdftoppm -r 300 -png -singlefile "$WORK/breit.pdf" "$WORK/breitpdf" || fail "poppler reads the pdf"
pdfblack=$(black "$WORK/breitpdf.png")
awk -v a="$fein" -v b="$pdfblack" 'BEGIN { exit !(b > 1.8 * a && b < 2.2 * a) }' \
  || fail "0,2 mm net in the pdf: $pdfblack black pixels against $fein fine ones"
"$CLI" render "$WORK/neu.box" "$WORK/x.png" --net-lines 0.5 2>/dev/null; [ $? = 2 ] || fail "net-lines 0.5 accepted"
"$CLI" render "$WORK/neu.box" "$WORK/x.png" --editor --net-lines fein 2>/dev/null && fail "net-lines with --editor accepted"

# A box file whose image is missing: reported on stderr, rendered anyway.
cp "$DATA/model/windows_sample.box" "$WORK/sample.box"
"$CLI" render "$WORK/sample.box" "$WORK/sample.png" --dpi 50 2> "$WORK/err.txt" || fail "missing image stops render"
grep -qx 'faltarillon-cli render: D:\\Fotos\\pixel3x2.bmp: Datei nicht gefunden' "$WORK/err.txt" \
  || fail "missing image not reported: $(cat "$WORK/err.txt")"
[ -s "$WORK/sample.png" ] || fail "no picture with a missing image"

# Refusals.
"$CLI" render "$WORK/neu.box" "$WORK/x.png" --percent 5 2>/dev/null && fail "percent 5 accepted"
"$CLI" render "$WORK/neu.box" "$WORK/x.png" --dpi abc 2>/dev/null && fail "dpi abc accepted"
"$CLI" render "$WORK/neu.box" "$WORK/x.gif" 2>/dev/null && fail "gif accepted"
"$CLI" render "$WORK/neu.box" "$WORK/x.pdf" --editor 2>/dev/null && fail "editor pdf accepted"
"$CLI" render "$WORK/nix.box" "$WORK/x.png" 2>/dev/null && fail "missing box file accepted"
[ -e "$WORK/x.png" ] && fail "output written after a refusal"

[ "$fails" = 0 ] && echo "render cli: all passed"
exit "$fails"
