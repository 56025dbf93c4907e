#!/usr/bin/env bash
# faltarillon-cli with series data: a box per row on as many sheets as
# needed, the rows chosen, and the calls refused before anything is written.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
. "$(dirname "$0")/../support/cli_test.sh"

"$CLI" new "$WORK/q.box" --form quader --size 30x20x30 >/dev/null || fail "new"
printf 'Name;Ort\r\n' > "$WORK/g.csv"
for i in 1 2 3 4 5 6 7 8 9; do printf 'Gast %s;"Ort; mit Semikolon"\r\n' "$i" >> "$WORK/g.csv"; done

# Four to a sheet: nine rows need three sheets, three pages of the PDF.
out=$("$CLI" sheet "$WORK/q.box" "$WORK/s.pdf" --data "$WORK/g.csv" 2>&1) || fail "sheet --data: $out"
[ "$out" = $'2 x 2\n9 Datensätze, 3 Blätter' ] || fail "sheet --data said: $out"
pages=$(pdfinfo "$WORK/s.pdf" | sed -n 's/^Pages: *//p')
[ "$pages" = 3 ] || fail "the PDF has $pages pages, not 3"
out=$("$CLI" sheet "$WORK/q.box" "$WORK/t.pdf" --data "$WORK/g.csv" --rows 2-5 2>&1) || fail "--rows 2-5: $out"
[ "${out#*$'\n'}" = "4 Datensätze, 1 Blatt" ] || fail "--rows 2-5 said: $out"

# The cut file is one, for the full sheet; the PNGs one per sheet.
"$CLI" sheet "$WORK/q.box" "$WORK/c.dxf" --data "$WORK/g.csv" >/dev/null 2>&1 || fail "sheet .dxf"
[ -f "$WORK/c.dxf" ] && [ -z "$(ls "$WORK" | grep -E '^c-[0-9]+\.dxf$')" ] || fail "the cut file is not one file"
"$CLI" sheet "$WORK/q.box" "$WORK/b.png" --data "$WORK/g.csv" --rows 1-5 >/dev/null 2>&1 || fail "sheet .png"
[ "$(ls "$WORK" | grep -cE '^b-00[12]\.png$')" = 2 ] && [ ! -e "$WORK/b-003.png" ] && [ ! -e "$WORK/b.png" ] \
  || fail "PNG sheets: $(ls "$WORK")"

# Wrong calls (2) and data that cannot serve (1), nothing written.
expect() {   # expect CODE TEXT ARGS...: exit code, a text on stderr
  local code=$1 text=$2; shift 2
  local err; err=$("$CLI" "$@" 2>&1 >/dev/null); local got=$?
  [ "$got" = "$code" ] || fail "$* ended with $got, not $code: $err"
  grep -qF -- "$text" <<<"$err" || fail "$* said: $err"
}
expect 2 "--rows: Bereich" sheet "$WORK/q.box" "$WORK/x.pdf" --data "$WORK/g.csv" --rows 5-2
expect 1 "$WORK/g.csv: Datensatz 12 gibt es nicht" sheet "$WORK/q.box" "$WORK/x.pdf" --data "$WORK/g.csv" --rows 3-12
expect 2 "--rows braucht Seriendaten" sheet "$WORK/q.box" "$WORK/x.pdf" --rows 1-2
expect 2 "--row braucht Seriendaten" render "$WORK/q.box" "$WORK/x.png" --row 2
expect 2 "Eine SVG-Datei nimmt nur eine Box auf" export "$WORK/q.box" "$WORK/x.svg" --data "$WORK/g.csv"
printf 'Name;Ort\r\n"offen;x\r\n' > "$WORK/kaputt.csv"
expect 1 "$WORK/kaputt.csv" sheet "$WORK/q.box" "$WORK/x.pdf" --data "$WORK/kaputt.csv"
[ ! -e "$WORK/x.pdf" ] && [ ! -e "$WORK/x.png" ] && [ ! -e "$WORK/x.svg" ] || fail "a refused call wrote a file"

# info names the link (none here) and the fields (none).
info=$("$CLI" info "$WORK/q.box")
grep -q '"series": null' <<<"$info" || fail "info without a link: $(grep series <<<"$info")"
grep -q '"fields": \[' <<<"$info" || fail "info lists no fields"

[ $fails = 0 ] && echo "series: all passed"
exit $((fails > 0))
