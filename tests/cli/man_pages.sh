#!/usr/bin/env bash
# The manual pages of faltarillon-cli, English and German, name every verb
# the tool lists and every option each verb's help lists; all pages format
# without warnings; installed, the English ones are what man shows and the
# German ones what it shows in German.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
MAN="$2/../../packaging/man"
BUILD=$(dirname "$CLI")
. "$(dirname "$0")/../support/cli_test.sh"
command -v man >/dev/null || { echo "FAIL: man (man-db) missing"; exit 1; }

verbs=$("$CLI" --help | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p')
[ -n "$verbs" ] || fail "no verbs in the tool's help"
for page in "$MAN/faltarillon-cli.1" "$MAN/de/faltarillon-cli.1"; do
  for verb in $verbs; do
    grep -q "^\.BI \"$verb " "$page" || { fail "verb $verb missing from $page"; continue; }
    for opt in $("$CLI" "$verb" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
      [ "$opt" = "--help" ] && continue
      grep -qF -- "$(echo "$opt" | sed 's/-/\\-/g')" "$page" || fail "option $opt of $verb missing from $page"
    done
  done
done
for p in "$MAN"/faltarillon.1 "$MAN"/faltarillon-cli.1 "$MAN"/de/faltarillon.1 "$MAN"/de/faltarillon-cli.1; do
  [ -f "$p" ] || { fail "no page $p"; continue; }
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$p" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$p: $warnings"
done
# The same sections in both languages.
for name in faltarillon faltarillon-cli; do
  [ "$(grep -c '^\.SH' "$MAN/$name.1")" = "$(grep -c '^\.SH' "$MAN/de/$name.1")" ] \
    || fail "$name.1: English and German pages differ in their sections"
  [ "$(grep -c '^\.TP' "$MAN/$name.1")" = "$(grep -c '^\.TP' "$MAN/de/$name.1")" ] \
    || fail "$name.1: English and German pages differ in their entries"
done

# Installed where man looks for each language.
if cmake --install "$BUILD" --prefix "$WORK/inst" > /dev/null; then
  # A build without the program (the sanitizer build) installs only the tool's pages.
  names=faltarillon-cli
  [ -x "$BUILD/faltarillon" ] && names="faltarillon faltarillon-cli"
  for name in $names; do
    en=$(MANPATH="$WORK/inst/share/man" man -L C -w "$name" 2>/dev/null)
    de=$(MANPATH="$WORK/inst/share/man" man -L de -w "$name" 2>/dev/null)
    [ "$en" = "$WORK/inst/share/man/man1/$name.1.gz" ] || fail "$name: man shows '$en' in English"
    [ "$de" = "$WORK/inst/share/man/de/man1/$name.1.gz" ] || fail "$name: man shows '$de' in German"
    zcat "$en" 2>/dev/null | grep -q '^\.SH DESCRIPTION' || fail "$en is not the English page"
    zcat "$de" 2>/dev/null | grep -q '^\.SH BESCHREIBUNG' || fail "$de is not the German page"
  done
else
  fail "cmake --install"
fi
[ $fails -eq 0 ] && echo "manual pages in English and German cover every verb and option"
exit $fails
