#!/usr/bin/env bash
# Starts the designer on a virtual X display, waits for its main window,
# takes a screenshot and ends it. $1: the program.
set -u
prog="${1:?program path}"
shot_dir="${SMOKE_SHOT_DIR:-${TMPDIR:-/tmp}}"
shot="$shot_dir/faltarillon-start-$$.png"
title='ORB-LUX Faltarillon-Designer 1.0 - NONAME01'

for tool in Xvfb xdotool import; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 0
  fi
done

# A free display number: no lock file and no socket.
display=""
for n in $(seq 90 140); do
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
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
ready=""
for _ in $(seq 1 100); do
  if timeout 2 xdotool getdisplaygeometry >/dev/null 2>&1; then ready=1; break; fi
  sleep 0.1
done
[ -n "$ready" ] || { echo "the X server did not start"; exit 1; }

export XDG_CONFIG_HOME="$(mktemp -d)"     # no stored window placement of the user
unset QT_QPA_PLATFORM
timeout 40 "$prog" >/dev/null 2>&1 &
app_pid=$!

found=""
for _ in $(seq 1 100); do
  if ! kill -0 "$app_pid" 2>/dev/null; then echo "the program ended early"; exit 1; fi
  found=$(timeout 5 xdotool search --name "^${title}\$" 2>/dev/null | head -n1)
  [ -n "$found" ] && break
  sleep 0.1
done
if [ -z "$found" ]; then
  echo "no window titled '$title'"
  exit 1
fi

sleep 0.5   # let the first paint land
if ! timeout 15 import -window root "$shot"; then
  echo "screenshot failed"
  exit 1
fi
[ -s "$shot" ] || { echo "empty screenshot"; exit 1; }
echo "window found, screenshot $shot"

# Ending through the menu: Exit asks whether to save; "Nein" ends the program,
# which must come down cleanly (its destruction frees the document).
timeout 5 xdotool windowfocus --sync "$found" >/dev/null 2>&1 || timeout 5 xdotool windowfocus "$found" >/dev/null 2>&1
sleep 0.3
timeout 5 xdotool key alt+x
question=""
for _ in $(seq 1 50); do
  question=$(timeout 5 xdotool search --name '^Programm beenden$' 2>/dev/null | head -n1)
  [ -n "$question" ] && break
  sleep 0.1
done
if [ -z "$question" ]; then
  echo "Alt+X did not ask 'Programm beenden'"
  exit 1
fi
timeout 5 xdotool windowfocus "$question" >/dev/null 2>&1
sleep 0.2
timeout 5 xdotool key n
for _ in $(seq 1 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
  echo "the program did not end after 'Nein'"
  exit 1
fi
wait "$app_pid"
rc=$?
app_pid=""
if [ "$rc" -ne 0 ]; then
  echo "the program ended with status $rc"
  exit 1
fi
echo "ended through Exit"
rm -rf "$XDG_CONFIG_HOME"
exit 0
