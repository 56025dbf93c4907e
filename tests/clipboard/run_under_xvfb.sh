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

home="$(mktemp -d)"
cleanup() { rm -rf "$home"; }
. "$(dirname "$0")/../support/xvfb.sh"
xvfb_start 141 190 1280x1024x24

# A home of its own: pictures pasted into an unsaved box go to its picture folder.
export HOME="$home"
export XDG_CONFIG_HOME="$home/.config"
export XDG_RUNTIME_DIR="$home/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
timeout 240 "$prog" "$@"
