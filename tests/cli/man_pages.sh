#!/usr/bin/env bash
# The manual page of faltarillon-cli names every verb the tool lists and
# every option each verb's help lists; both pages format without warnings.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
MAN="$2/../../packaging/man"
. "$(dirname "$0")/../support/cli_test.sh"
command -v man >/dev/null || { echo "FAIL: man (man-db) missing"; exit 1; }

page="$MAN/faltarillon-cli.1"
verbs=$("$CLI" --help | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p')
[ -n "$verbs" ] || fail "no verbs in the tool's help"
for verb in $verbs; do
  grep -q "^\.BI \"$verb " "$page" || { fail "verb $verb missing from the manual page"; continue; }
  for opt in $("$CLI" "$verb" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    [ "$opt" = "--help" ] && continue
    grep -qF -- "$(echo "$opt" | sed 's/-/\\-/g')" "$page" || fail "option $opt of $verb missing from the manual page"
  done
done
for p in "$MAN/faltarillon.1" "$page"; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$p" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$p"): $warnings"
done
[ $fails -eq 0 ] && echo "manual pages cover every verb and option"
exit $fails
