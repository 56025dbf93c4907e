#!/usr/bin/env bash
# --help and --version of the designer answer without any display, even
# when the environment names a platform that cannot start (desktop sessions
# export QT_QPA_PLATFORM). $1: the program.
set -u
prog="${1:?program path}"
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" timeout 20 "$prog" "$@"; }
chmod 700 "$work"

run --help > "$work/help" 2> "$work/help.err"; rc=$?
[ $rc = 0 ] || fail "--help exit code $rc: $(cat "$work/help.err")"
grep -q 'DATEI.box' "$work/help" || fail "--help lacks the file argument: $(cat "$work/help")"
grep -q -- '--version' "$work/help" || fail "--help lacks --version"
run --version > "$work/version" 2> "$work/version.err"; rc=$?
[ $rc = 0 ] || fail "--version exit code $rc: $(cat "$work/version.err")"
grep -Eq '^faltarillon [0-9]+\.[0-9]+' "$work/version" || fail "--version output: $(cat "$work/version")"

[ $fails = 0 ] && echo "headless_options: all passed"
exit $fails
