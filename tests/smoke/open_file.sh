#!/usr/bin/env bash
# Starts the designer with a box file on a virtual X display, as a file
# manager does through the launcher: the window shows the file's name and
# its design, and carries the window class the launcher names; a damaged
# file gives its message and then the empty box. $1: the program.
set -u
prog="${1:?program path}"
here="$(cd "$(dirname "$0")" && pwd)"
sample="$here/../../samples/Spielwürfel.box"
desktop="$here/../../packaging/faltarillon.desktop"
prefix='ORB-LUX Faltarillon-Designer 1.0 - '

for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "missing tool: $tool"; exit 1; }
done
[ -f "$sample" ] || { echo "no sample $sample"; exit 1; }

display=""
for n in $(seq 141 190); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free display"; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
stop_app() {
  [ -n "$app_pid" ] || return 0
  kill "$app_pid" 2>/dev/null; sleep 0.3; kill -9 "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null
  app_pid=""
}
cleanup() { stop_app; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 1 100); do timeout 2 xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
export XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM

wait_window() {   # $1: regular expression of the title
  local id=""
  for _ in $(seq 1 300); do
    kill -0 "$app_pid" 2>/dev/null || { echo "the program ended early"; return 1; }
    id=$(timeout 5 xdotool search --name "$1" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# 1. A good file, given relative to the current folder as file managers may.
cp "$sample" "$work/würfel.box"
(cd "$work" && exec timeout 40 "$prog" "würfel.box" >/dev/null 2>&1) &
app_pid=$!
win=$(wait_window "^${prefix}würfel\.box\$") || { echo "no window titled with the file"; exit 1; }
class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
by_class=$(timeout 5 xdotool search --class "^${class}\$" 2>/dev/null)
echo "$by_class" | grep -qx "$win" || { echo "window class is not '$class'"; exit 1; }
# The die's pips are drawn in one colour of their own (20, 20, 20); the net
# in the middle third of the editing area shows several of them. On a busy
# machine the first paint may come late: a few tries.
pips=0
for _ in $(seq 1 10); do
  sleep 0.7
  timeout 15 import -window "$win" "$work/shot.png" || continue
  pips=$(convert "$work/shot.png" txt:- | grep -ci '#141414')
  [ "$pips" -gt 2000 ] && break
done
echo "pip pixels in view: $pips"
[ "$pips" -gt 2000 ] || { echo "the design is not in view"; exit 1; }
stop_app

# 2. A damaged file: the message, then the empty box.
head -c 400 "$sample" > "$work/kaputt.box"
timeout 40 "$prog" "$work/kaputt.box" >/dev/null 2>&1 &
app_pid=$!
msg=$(wait_window '^Fehler: Datei ist beschädigt$') || { echo "no message for the damaged file"; exit 1; }
timeout 5 xdotool windowfocus "$msg" >/dev/null 2>&1
sleep 0.2
timeout 5 xdotool key Return
wait_window "^${prefix}NONAME01\$" >/dev/null || { echo "no empty box after the message"; exit 1; }
sleep 0.3
if timeout 5 xdotool search --name '^Fehler: Datei ist beschädigt$' 2>/dev/null | grep -q .; then
  echo "the message stayed open"; exit 1
fi
echo "file argument works"
exit 0
