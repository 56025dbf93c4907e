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

work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
. "$(dirname "$0")/../support/xvfb.sh"
xvfb_start 141 190 1024x768x24
export XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM

# 1. A good file, given relative to the current folder as file managers may.
cp "$sample" "$work/würfel.box"
(cd "$work" && exec timeout 40 "$prog" "würfel.box" >/dev/null 2>&1) &
app_pid=$!
win=$(wait_window "^${prefix}würfel\.box\$" 300) || { echo "no window titled with the file"; exit 1; }
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
msg=$(wait_window '^Fehler: Datei ist beschädigt$' 300) || { echo "no message for the damaged file"; exit 1; }
timeout 5 xdotool windowfocus "$msg" >/dev/null 2>&1
sleep 0.2
timeout 5 xdotool key Return
wait_window "^${prefix}NONAME01\$" 300 >/dev/null || { echo "no empty box after the message"; exit 1; }
sleep 0.3
if timeout 5 xdotool search --name '^Fehler: Datei ist beschädigt$' 2>/dev/null | grep -q .; then
  echo "the message stayed open"; exit 1
fi
echo "file argument works"
exit 0
