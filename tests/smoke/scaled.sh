#!/usr/bin/env bash
# The designer on a virtual X display at scale 2, as on a high-density
# laptop screen: a screenshot of the window, whose editor canvas must show
# the box area's frame and drop shadow at twice their logical widths, and the
# net's dots on the device grid. $1: the program.
# SCALED_SHOT=FILE keeps the screenshot.
set -u
prog="${1:?program path}"
work=$(mktemp -d)
shot="${SCALED_SHOT:-$work/scaled.png}"
title='ORB-LUX Faltarillon-Designer 1.0 - NONAME01'

for tool in Xvfb xdotool import pngtopnm python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; exit 1; }
done

cleanup() { rm -rf "$work"; }
. "$(dirname "$0")/../support/xvfb.sh"
xvfb_start 191 240 2560x1800x24

export XDG_CONFIG_HOME="$work/config" QT_SCALE_FACTOR=2
unset QT_QPA_PLATFORM
timeout 60 "$prog" >/dev/null 2>"$work/stderr" &
app_pid=$!
found=$(wait_window "^${title}\$" 150) || { echo "no window titled '$title': $(head -c 500 "$work/stderr")"; exit 1; }
timeout 5 xdotool windowsize "$found" 2400 1700 >/dev/null 2>&1
sleep 1.5   # the start-up New and the first paints
timeout 15 import -window root "$shot" || { echo "screenshot failed"; exit 1; }
pngtopnm "$shot" > "$work/shot.ppm" || { echo "unreadable screenshot"; exit 1; }

# The right shadow strip: grey runs of 10 device pixels (5 logical) right of
# a black frame line 2 device pixels wide.
python3 - "$work/shot.ppm" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
parts = data.split(maxsplit=4)
assert parts[0] == b"P6", parts[0]
w, h = int(parts[1]), int(parts[2])
px = parts[4]
def rgb(x, y):
    i = 3 * (y * w + x)
    return px[i], px[i + 1], px[i + 2]
def runs(y):
    out, x = [], 0
    while x < w:
        c = rgb(x, y); s = x
        while x < w and rgb(x, y) == c: x += 1
        out.append((c, s, x - s))
    return out
grey, black, white = (128, 128, 128), (0, 0, 0), (255, 255, 255)
shadow_rows = 0
for y in range(0, h, 7):
    r = runs(y)
    for i in range(1, len(r) - 1):
        # a vertical frame line (the bottom edge's row is one long black run)
        if r[i][0] == grey and r[i - 1][0] == black and r[i + 1][0] == white and r[i - 1][2] < 50:
            assert r[i][2] == 10, "shadow strip %d px wide at row %d" % (r[i][2], y)
            assert r[i - 1][2] == 2, "frame line %d px wide at row %d" % (r[i - 1][2], y)
            shadow_rows += 1
assert shadow_rows > 20, "no frame with drop shadow found (%d rows)" % shadow_rows
print("frame and shadow at scale 2 in %d rows" % shadow_rows)

# The top ruler: outlines 2 device pixels thick, 38 rows apart (20 logical
# pixels high). Its digits must have detail finer than 2 x 2 blocks.
def long_black(y):  # starts and lengths of black runs of 400 pixels and more
    return {s: n for c, s, n in runs(y) if c == black and n >= 400}
ruler = None
for y in range(0, h - 40):
    top = long_black(y)
    if not top: continue
    below, second, third = long_black(y + 38), long_black(y + 1), long_black(y + 2)
    for x, n in top.items():
        if x in below and x in second and x not in third:
            ruler = (x, y, n)
            break
    if ruler: break
assert ruler, "no ruler found"
x0, y0, width = ruler
mixed = 0
for y in range(y0 + 2, y0 + 26, 2):
    for x in range(x0 + 42, x0 + width - 2, 2):
        q = {rgb(x, y), rgb(x + 1, y), rgb(x, y + 1), rgb(x + 1, y + 1)}
        if len(q) > 1: mixed += 1
assert mixed > 50, "ruler digits are 2 x 2 blocks (%d mixed blocks)" % mixed
print("ruler at (%d, %d): %d blocks finer than a logical pixel" % (x0, y0, mixed))
PY
status=$?
[ $status = 0 ] || { echo "FAIL: the screenshot does not show the canvas at scale 2"; exit 1; }
echo "scaled screenshot checked"
exit 0
