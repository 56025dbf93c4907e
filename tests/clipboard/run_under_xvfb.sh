#!/usr/bin/env bash
# Runs the clipboard tests on a virtual X display: the offscreen platform's
# clipboard is private to its process, the X clipboard is shared with other
# programs (xclip) and with a second running designer. $1: the test program;
# further arguments go to it.
set -u
prog="${1:?test program}"
shift
for tool in Xvfb xclip xdotool pngtopnm pnmfile; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FAILED: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 1
  fi
done

display=""
for n in $(seq 141 190); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free display"; exit 1; }

xvfb_pid=""
home="$(mktemp -d)"
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$home"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
ready=""
for _ in $(seq 1 100); do
  if timeout 2 xdotool getdisplaygeometry >/dev/null 2>&1; then ready=1; break; fi
  sleep 0.1
done
[ -n "$ready" ] || { echo "the X server did not start"; exit 1; }

# A home of its own: pictures pasted into an unsaved box go to its picture folder.
export HOME="$home"
export XDG_CONFIG_HOME="$home/.config"
export XDG_RUNTIME_DIR="$home/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
timeout 240 "$prog" "$@"
