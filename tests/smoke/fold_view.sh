#!/usr/bin/env bash
# The page "3D-Ansicht" on a virtual X display: switched to with the mouse,
# its screenshot must show the folded box (the closed white cube, lit from
# one side, on the grey-blue background). $1: the program.
set -u
prog="${1:?program path}"
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; exit 1; }
done

work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
. "$(dirname "$0")/../support/xvfb.sh"
xvfb_start 141 190 1024x768x24
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
chmod 700 "$work"
unset QT_QPA_PLATFORM
timeout 60 "$prog" >/dev/null 2>&1 &
app_pid=$!

win=$(wait_window '^ORB-LUX Faltarillon-Designer') || { echo "no main window"; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"   # X, Y of the window's client area

# The third tab: find its caption's place by the tab bar's layout, i.e.
# right of "Drucken"; clicking the tab bar's row at increasing x until the
# page changes keeps this independent of font widths.
before="$work/before.png"
import -window root "$before"
switched=""
for dx in $(seq 120 12 260); do
  xdotool mousemove $((X + dx)) $((Y + 30)) click 1
  sleep 0.6
  import -window root "$work/now.png"
  # The 3D page's background is a grey-blue gradient the editor never shows.
  px=$(convert "$work/now.png" -format "%[fx:int(255*p{$((X + 400)),$((Y + 90))}.b - 255*p{$((X + 400)),$((Y + 90))}.r)]" info:)
  if [ "${px:-0}" -ge 6 ]; then switched=1; break; fi
done
[ -n "$switched" ] || { echo "FAIL: the page 3D-Ansicht did not come up"; exit 1; }
sleep 0.5
shot="${SMOKE_SHOT_DIR:-$work}/faltarillon-3d-$$.png"
import -window root "$shot"
# In the view's middle: the box (paper white lit or shaded, no blue tint),
# around it the background.
read -r r g b <<<"$(convert "$shot" -format "%[fx:int(255*p{$((X + 370)),$((Y + 330))}.r)] %[fx:int(255*p{$((X + 370)),$((Y + 330))}.g)] %[fx:int(255*p{$((X + 370)),$((Y + 330))}.b)]" info:)"
if [ "$r" != "$g" ] || [ "$g" != "$b" ] || [ "$r" -lt 140 ]; then
  echo "FAIL: no box in the middle of the view ($r $g $b), screenshot $shot"
  exit 1
fi
echo "3D page shown, box in the view, screenshot $shot"
exit 0
