#!/usr/bin/env bash
# Builds the Debian package from an existing build folder and checks it the
# way a user's system would take it: lintian, the AppStream and launcher
# validators, installing it with apt, running the installed tools, the
# thumbnailer's command line from its entry, and removing it again.
# $1: the build folder (already built). Runs as root (CI).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"

cmake --build "$build" --target package
version=$(sed -n 's/^project(Faltarillon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="$build/faltarillon_${version}_amd64.deb"
[ -f "$deb" ] || { echo "no package $deb"; exit 1; }
echo "-- package $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

echo "-- lintian"
# Errors fail; warnings are listed.
lintian --fail-on error --tag-display-limit 0 "$deb"

echo "-- appstreamcli and desktop-file-validate"
appstreamcli validate --no-net packaging/*.metainfo.xml
desktop-file-validate packaging/faltarillon.desktop

if [ "$(id -u)" -ne 0 ]; then
  echo "installing the package needs root: install checks skipped"
  exit 1
fi
if dpkg-query -W -f='${Status}' faltarillon 2>/dev/null | grep -q 'install ok installed'; then
  echo "faltarillon is installed already: not touching it"
  exit 1
fi

echo "-- apt-get install"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends "./$deb"
removed=0
remove() { [ "$removed" = 1 ] || apt-get remove -y -qq faltarillon >/dev/null; removed=1; }
trap remove EXIT

/usr/bin/faltarillon-cli --help | grep -q thumbnail
[ -x /usr/bin/faltarillon ]
QT_QPA_PLATFORM=offscreen /usr/bin/faltarillon --help | grep -q 'DATEI.box'
samples=/usr/share/faltarillon/beispiele
ls "$samples"/*.box >/dev/null

# The thumbnailer as a file manager runs it: its Exec line with %i %o %s.
entry=/usr/share/thumbnailers/faltarillon.thumbnailer
exec_line=$(sed -n 's/^Exec=//p' "$entry")
tmp=$(mktemp -d)
first_sample=$(ls "$samples"/*.box | head -n1)
cmd=${exec_line//%i/\"$first_sample\"}
cmd=${cmd//%o/\"$tmp/thumb.png\"}
cmd=${cmd//%s/128}
# Run as an ordinary user without a home folder or display, as sandboxed
# thumbnailers are.
chmod 777 "$tmp"
setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin HOME=/nonexistent \
  bash -c "cd / && $cmd"
size=$(file "$tmp/thumb.png")
echo "$size"
echo "$size" | grep -q 'PNG image data, 128 x'
rm -rf "$tmp"

echo "-- apt-get remove"
remove
trap - EXIT
if dpkg-query -W -f='${Status}' faltarillon 2>/dev/null | grep -q 'install ok installed'; then
  echo "still installed"; exit 1
fi
for f in /usr/bin/faltarillon /usr/bin/faltarillon-cli "$entry" "$samples"; do
  [ ! -e "$f" ] || { echo "left behind: $f"; exit 1; }
done
echo "-- package checks passed"
