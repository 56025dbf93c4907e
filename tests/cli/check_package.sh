#!/usr/bin/env bash
# scripts/check-package.sh as the package manager sees it, with a folder
# standing in for the system and apt-get, dpkg-query, id and setpriv
# replaced: every apt-get call waits for the package manager's lock; a
# package not installed before is installed, checked and removed; one
# installed before is replaced by the new package, checked, and stays.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$(realpath "$1")
SOURCE=$(cd "$2/../.." && pwd)
. "$(dirname "$0")/../support/cli_test.sh"
ROOT="$WORK/root" BIN="$WORK/bin"
mkdir -p "$ROOT" "$BIN" "$WORK/build"

# The package: the tools (the command-line one is the real one behind a
# wrapper), a sample, the thumbnailer entry and the manual pages.
make_package() {  # make_package TAG DEB
  local tree="$WORK/tree-$1"
  rm -rf "$tree"
  mkdir -p "$tree/DEBIAN" "$tree/usr/bin" "$tree/usr/share/faltarillon/beispiele" "$tree/usr/share/thumbnailers" \
    "$tree/usr/share/man/man1" "$tree/usr/share/man/de/man1"
  printf 'Package: faltarillon\nVersion: 1.0\nArchitecture: amd64\nMaintainer: T <t@example.org>\nDescription: t\n' \
    > "$tree/DEBIAN/control"
  printf '#!/bin/sh\n# %s\nexec "%s" "$@"\n' "$1" "$CLI" > "$tree/usr/bin/faltarillon-cli"
  printf '#!/bin/sh\n# %s\necho "Aufruf: faltarillon [DATEI.box]"\n' "$1" > "$tree/usr/bin/faltarillon"
  chmod 755 "$tree/usr/bin/"*
  cp "$SOURCE/samples/Spielwürfel.box" "$tree/usr/share/faltarillon/beispiele/"
  cp "$SOURCE/packaging/faltarillon.thumbnailer" "$tree/usr/share/thumbnailers/"
  for n in faltarillon faltarillon-cli; do
    gzip -9nc "$SOURCE/packaging/man/$n.1" > "$tree/usr/share/man/man1/$n.1.gz"
    gzip -9nc "$SOURCE/packaging/man/de/$n.1" > "$tree/usr/share/man/de/man1/$n.1.gz"
  done
  dpkg-deb --root-owner-group --build "$tree" "$2" > /dev/null || fail "dpkg-deb --build"
}

cat > "$BIN/apt-get" <<STUB
#!/usr/bin/env bash
echo "\$*" >> "$WORK/apt.log"
case " \$* " in
  *" install "*) for a in "\$@"; do case \$a in *.deb) deb=\$a ;; esac; done
    dpkg-deb -x "\$deb" "$ROOT" && dpkg-deb -c "\$deb" | awk '\$1 !~ /^d/ {print \$6}' > "$ROOT/.installed" ;;
  *" remove "*) (cd "$ROOT" && xargs rm -f < .installed) && rm -f "$ROOT/.installed"
    find "$ROOT" -mindepth 1 -depth -type d -empty -delete ;;
esac
STUB
cat > "$BIN/dpkg-query" <<STUB
#!/usr/bin/env bash
[ -f "$ROOT/.installed" ] && printf 'install ok installed' && exit 0
exit 1
STUB
cat > "$BIN/id" <<'STUB'
#!/usr/bin/env bash
[ "$1" = -u ] && { echo 0; exit 0; }
exec /usr/bin/id "$@"
STUB
cat > "$BIN/setpriv" <<'STUB'
#!/usr/bin/env bash
while [ $# -gt 0 ] && [ "$1" != env ]; do shift; done
exec "$@"
STUB
cat > "$BIN/cmake" <<'STUB'
#!/usr/bin/env bash
[ "$1" = --build ] && exit 0
exec /usr/bin/cmake "$@"
STUB
printf '#!/bin/sh\nexit 0\n' > "$BIN/lintian"
chmod 755 "$BIN"/*
check() { PATH="$BIN:$PATH" FALTARILLON_CHECK_ROOT="$ROOT" bash "$SOURCE/scripts/check-package.sh" "$WORK/build" > "$WORK/out" 2>&1; }
make_package neu "$WORK/build/faltarillon_1.0_amd64.deb"

# Not installed before: installed, checked, removed.
check || fail "check of a fresh install failed: $(tail -5 "$WORK/out")"
grep -q -- '-- package checks passed' "$WORK/out" || fail "no success reported: $(tail -3 "$WORK/out")"
[ "$(grep -c ' install ' "$WORK/apt.log")" = 1 ] || fail "not installed once: $(cat "$WORK/apt.log")"
grep -q ' remove ' "$WORK/apt.log" || fail "not removed again"
[ ! -e "$ROOT/usr/bin/faltarillon-cli" ] || fail "left installed after a fresh install"
while read -r line; do
  [[ $line == "-o DPkg::Lock::Timeout=120 "* ]] || fail "apt-get without waiting for the lock: $line"
done < "$WORK/apt.log"

# Installed before (an older build): the new one goes over it and stays.
make_package alt "$WORK/alt.deb"
PATH="$BIN:$PATH" apt-get install -y "$WORK/alt.deb"
: > "$WORK/apt.log"
check || fail "check over an installed package failed: $(tail -5 "$WORK/out")"
grep -q -- '--reinstall' "$WORK/apt.log" || fail "the new package was not installed over the old one: $(cat "$WORK/apt.log")"
grep -q ' remove ' "$WORK/apt.log" && fail "a package installed before was removed"
grep -q '# neu' "$ROOT/usr/bin/faltarillon-cli" 2>/dev/null || fail "the installed tool is not the new one"
[ -f "$ROOT/.installed" ] || fail "no longer installed"
while read -r line; do
  [[ $line == "-o DPkg::Lock::Timeout=120 "* ]] || fail "apt-get without waiting for the lock: $line"
done < "$WORK/apt.log"

[ "$fails" = 0 ] && echo "package check: fresh install and install over an older one"
exit "$fails"
