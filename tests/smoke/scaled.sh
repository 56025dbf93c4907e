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

display=""
for n in $(seq 141 190); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free display"; exit 1; }

xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$app_pid" ] && { sleep 0.5; kill -9 "$app_pid" 2>/dev/null; }
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 2560x1800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
ready=""
for _ in $(seq 1 100); do
  if timeout 2 xdotool getdisplaygeometry >/dev/null 2>&1; then ready=1; break; fi
  sleep 0.1
done
[ -n "$ready" ] || { echo "the X server did not start"; exit 1; }

export XDG_CONFIG_HOME="$work/config" QT_SCALE_FACTOR=2
unset QT_QPA_PLATFORM
timeout 60 "$prog" >/dev/null 2>&1 &
app_pid=$!
found=""
for _ in $(seq 1 150); do
  kill -0 "$app_pid" 2>/dev/null || { echo "the program ended early"; exit 1; }
  found=$(timeout 5 xdotool search --name "^${title}\$" 2>/dev/null | head -n1)
  [ -n "$found" ] && break
  sleep 0.1
done
[ -n "$found" ] || { echo "no window titled '$title'"; exit 1; }
timeout 5 xdotool windowsize "$found" 2400 1700 >/dev/null 2>&1
sleep 1.5   # the start-up New and the first paints
timeout 15 import -window root "$shot" || { echo "screenshot failed"; exit 1; }
pngtopnm "$shot" > "$work/shot.ppm" || { echo "unreadable screenshot"; exit 1; }

# The right shadow strip: grey runs of 10 device pixels (5 logical) right of
# a black frame line 2 device pixels wide; the net's dots and gaps in runs of
# 6 device pixels (3 logical).
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
PY
status=$?
[ $status = 0 ] || { echo "FAIL: the screenshot does not show the canvas at scale 2"; exit 1; }
echo "scaled screenshot checked"
exit 0
