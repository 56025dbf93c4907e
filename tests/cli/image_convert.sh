#!/usr/bin/env bash
# faltarillon-cli convert: every save format by number and by extension,
# read back by the tool itself; bad arguments and unreadable input fail.
set -u
cli="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The source: a 2 x 2 24-bit BMP (white, black / red, green).
printf 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00\x01\x00\x18\x00\x00\x00\x00\x00\x10\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xff\xff\xff\xff\x00\x00\x00\x00\xff\x00\xff\x00\x00\x00\x00' > "$work/src.bmp"

exts=(bmp dib gif iff jif jpg lbm pcx rle tga tif png)
for n in $(seq 1 12); do
  ext=${exts[$((n-1))]}
  "$cli" convert "$work/src.bmp" "$work/by-number-$n.out" --format "$n" >/dev/null || fail "format $n"
  "$cli" convert "$work/src.bmp" "$work/by-ext.$ext" >/dev/null || fail "extension $ext"
  cmp -s "$work/by-number-$n.out" "$work/by-ext.$ext" || [ "$ext" = jif ] || [ "$ext" = jpg ] || fail "number $n and .$ext differ"
  # read back: converting the result again must work
  "$cli" convert "$work/by-ext.$ext" "$work/back-$n.bmp" >/dev/null || fail "read back .$ext"
done
head -c 2 "$work/by-ext.bmp" | grep -q BM || fail "BMP signature"
head -c 6 "$work/by-ext.gif" | grep -q GIF8 || fail "GIF signature"
head -c 4 "$work/by-ext.lbm" | grep -q FORM || fail "IFF signature"

"$cli" convert "$work/src.bmp" "$work/q.jpg" --quality 10 >/dev/null || fail "quality"
"$cli" convert "$work/src.bmp" "$work/a.xyz" 2>/dev/null && fail "unknown extension accepted"
"$cli" convert "$work/src.bmp" "$work/a.bmp" --format 13 2>/dev/null && fail "format 13 accepted"
"$cli" convert "$work/src.bmp" "$work/a.jpg" --quality 100 2>/dev/null && fail "quality 100 accepted"
"$cli" convert "$work/missing.bmp" "$work/a.bmp" 2>/dev/null && fail "missing input accepted"
mkfifo "$work/fifo.bmp"
timeout 10 "$cli" convert "$work/fifo.bmp" "$work/a.bmp" 2>/dev/null
[ $? -eq 1 ] || fail "a FIFO as input must fail, not block"
echo "image convert OK"
