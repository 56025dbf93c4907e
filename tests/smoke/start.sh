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

. "$(dirname "$0")/../support/xvfb.sh"
xvfb_start 90 140 1024x768x24

export XDG_CONFIG_HOME="$(mktemp -d)"     # no stored window placement of the user
unset QT_QPA_PLATFORM
timeout 40 "$prog" >/dev/null 2>&1 &
app_pid=$!

found=$(wait_window "^${title}\$") || { echo "no window titled '$title'"; exit 1; }

sleep 0.5   # let the first paint land
if ! timeout 15 import -window root "$shot"; then
  echo "screenshot failed"
  exit 1
fi
[ -s "$shot" ] || { echo "empty screenshot"; exit 1; }
echo "window found, screenshot $shot"

# Ending through the menu: nothing was changed, so Exit asks nothing and the
# program must come down cleanly (its destruction frees the document).
timeout 5 xdotool windowfocus --sync "$found" >/dev/null 2>&1 || timeout 5 xdotool windowfocus "$found" >/dev/null 2>&1
sleep 0.3
timeout 5 xdotool key alt+x
for _ in $(seq 1 100); do
  if timeout 5 xdotool search --name '^Programm beenden$' 2>/dev/null | grep -q .; then
    echo "Alt+X asked 'Programm beenden' about an untouched design"
    exit 1
  fi
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
  echo "the program did not end after Alt+X"
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
