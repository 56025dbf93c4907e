#!/usr/bin/env bash
# Builds the Debian package from an existing build folder and checks it the
# way a user's system would take it: lintian, the AppStream and launcher
# validators, installing it with apt, running the installed tools, the
# thumbnailer's command line from its entry, and removing it again.
# $1: the build folder (already built). Runs as root (CI).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
# Where the installed files are looked for: the system, or the folder its own
# test stands in for it (with apt-get and dpkg-query replaced).
root=${FALTARILLON_CHECK_ROOT:-}

cmake --build "$build" --target package
version=$(sed -n 's/^project(Faltarillon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="$build/faltarillon_${version}_amd64.deb"
[ -f "$deb" ] || { echo "no package $deb"; exit 1; }
deb=$(realpath "$deb")   # apt takes a local package by a path with a slash
echo "-- package $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

# English manual pages for every locale, the German ones for German. Read
# from the package: minimal systems leave manual pages out when installing.
contents=$(dpkg-deb -c "$deb")
for name in faltarillon faltarillon-cli; do
  for dir in man1 de/man1; do
    grep -q " \./usr/share/man/$dir/$name\.1\.gz$" <<< "$contents" \
      || { echo "no manual page usr/share/man/$dir/$name.1.gz in the package"; exit 1; }
  done
done

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
# A package installed before is replaced by the new one, which stays
# installed afterwards; nothing else is put back. Only a package this script
# brought onto the system is removed again.
installed_before=0
if dpkg-query -W -f='${Status}' faltarillon 2>/dev/null | grep -q 'install ok installed'; then
  installed_before=1
fi

# Another package manager run (unattended upgrades, a second CI job) holds
# the lock for a while: wait for it instead of failing at once.
apt() { apt-get -o DPkg::Lock::Timeout=120 "$@"; }

echo "-- apt-get install"
export DEBIAN_FRONTEND=noninteractive
if [ "$installed_before" = 1 ]; then
  echo "faltarillon is installed already: the new package goes over it and stays"
  apt install -y -qq --no-install-recommends --reinstall "$deb"
else
  apt install -y -qq --no-install-recommends "$deb"
fi
removed=0
remove() {
  [ "$installed_before" = 0 ] && [ "$removed" = 0 ] && apt remove -y -qq faltarillon >/dev/null
  removed=1
}
trap remove EXIT
# The tools on the system are the ones just built, also over an older install.
for tool in faltarillon faltarillon-cli; do
  dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/bin/$tool" | cmp - "$root/usr/bin/$tool" >/dev/null \
    || { echo "/usr/bin/$tool is not the one of $deb"; exit 1; }
done

"$root/usr/bin/faltarillon-cli" --help | grep -q thumbnail
[ -x "$root/usr/bin/faltarillon" ]
QT_QPA_PLATFORM=offscreen "$root/usr/bin/faltarillon" --help | grep -q 'DATEI.box'
samples=$root/usr/share/faltarillon/beispiele
ls "$samples"/*.box >/dev/null

# The thumbnailer as a file manager runs it: its Exec line with %i %o %s.
entry=$root/usr/share/thumbnailers/faltarillon.thumbnailer
exec_line=$(sed -n 's/^Exec=//p' "$entry")
tmp=$(mktemp -d)
first_sample=$(ls "$samples"/*.box | head -n1)
cmd=${exec_line//%i/\"$first_sample\"}
cmd=${cmd//%o/\"$tmp/thumb.png\"}
cmd=${cmd//%s/128}
# Run as an ordinary user without a home folder or display, as sandboxed
# thumbnailers are.
chmod 777 "$tmp"
setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH="${root:+$root/usr/bin:}/usr/bin:/bin" HOME=/nonexistent \
  bash -c "cd / && $cmd"
size=$(file "$tmp/thumb.png")
echo "$size"
echo "$size" | grep -q 'PNG image data, 128 x'
rm -rf "$tmp"

if [ "$installed_before" = 1 ]; then
  trap - EXIT
  echo "-- package checks passed (left installed, as it was before)"
  exit 0
fi
echo "-- apt-get remove"
remove
trap - EXIT
if dpkg-query -W -f='${Status}' faltarillon 2>/dev/null | grep -q 'install ok installed'; then
  echo "still installed"; exit 1
fi
for f in "$root/usr/bin/faltarillon" "$root/usr/bin/faltarillon-cli" "$entry" "$samples"; do
  [ ! -e "$f" ] || { echo "left behind: $f"; exit 1; }
done
echo "-- package checks passed"
