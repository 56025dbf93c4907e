#!/usr/bin/env bash
# faltarillon-cli scan with the SANE test backend, enabled through a private
# configuration folder.
set -u
cli="$1"
[ -f /etc/sane.d/test.conf ] || { echo "SANE test backend missing, skipped"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
echo test > "$work/dll.conf"
cp /etc/sane.d/test.conf "$work/"
export SANE_CONFIG_DIR="$work"

"$cli" scan --list | grep -q '^test:0' || fail "device list"
out=$("$cli" scan "$work/page.pcx" --device test:0) || fail "scan"
echo "$out" | grep -q "157 x 196" || fail "unexpected size: $out"
"$cli" convert "$work/page.pcx" "$work/page.bmp" >/dev/null || fail "scanned file unreadable"
"$cli" scan "$work/colour.tif" --device test:1 --option mode=Color >/dev/null || fail "colour scan"
"$cli" scan "$work/x.bmp" --device nosuch:0 2>/dev/null && fail "missing scanner accepted"
"$cli" scan "$work/x.bmp" --device test:0 --option read-return-value=SANE_STATUS_JAMMED 2>"$work/err" && fail "jam accepted"
grep -q "Papier" "$work/err" || fail "jam message"
echo "image scan OK"
