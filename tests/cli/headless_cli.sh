#!/usr/bin/env bash
# faltarillon-cli never needs a display, whatever platform the environment
# names: desktop sessions export QT_QPA_PLATFORM, and a thumbnailer that
# aborts there leaves file managers without pictures.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
SAMPLES="$2/../../samples"
. "$(dirname "$0")/../support/cli_test.sh"
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY "$@"; }

for platform in wayland xcb; do
  nodisplay QT_QPA_PLATFORM=$platform "$CLI" new "$WORK/$platform.box" 2> "$WORK/$platform.err"; rc=$?
  [ $rc = 0 ] || fail "new with QT_QPA_PLATFORM=$platform: exit $rc"
  [ -s "$WORK/$platform.box" ] || fail "new with QT_QPA_PLATFORM=$platform wrote nothing"
  [ -s "$WORK/$platform.err" ] && fail "new with QT_QPA_PLATFORM=$platform said: $(cat "$WORK/$platform.err")"
done
nodisplay QT_QPA_PLATFORM=wayland "$CLI" thumbnail "$SAMPLES/Geschenkbox.box" "$WORK/t.png" --size 32; rc=$?
[ $rc = 0 ] && [ -s "$WORK/t.png" ] || fail "thumbnail with QT_QPA_PLATFORM=wayland: exit $rc"
nodisplay QT_QPA_PLATFORM=wayland "$CLI" --version | grep -Eq '^faltarillon-cli [0-9]' || fail "--version"

[ $fails = 0 ] && echo "headless_cli: all passed"
exit $fails
