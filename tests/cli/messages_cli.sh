#!/usr/bin/env bash
# What faltarillon-cli says when a file cannot be read: one line
# "faltarillon-cli VERB: PATH: Grund", the same wording for the same case in
# every verb; never a line of the image libraries (libpng, libtiff, Qt's
# plugins); output lost on stdout is a failure; --strict turns a picture that
# could not be loaded into exit 1.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
DATA=$2
. "$(dirname "$0")/../support/cli_test.sh"
command -v convert > /dev/null || { echo "FAIL: convert (imagemagick) missing"; exit 1; }

"$CLI" new "$WORK/leer.box" || fail "new"
mkdir "$WORK/ordner.box" "$WORK/ordner.png"
mkfifo "$WORK/rohr.box" "$WORK/rohr.png"
head -c 150 "$WORK/leer.box" > "$WORK/kurz.box"
printf 'kein Box-Format' > "$WORK/fremd.box"

# exactly ONE line $2 on stderr after running "$CLI $1"; exit 1
says() {
  local want=$2
  # shellcheck disable=SC2086
  timeout 20 "$CLI" $1 > /dev/null 2> "$WORK/err"; local rc=$?
  [ $rc = 1 ] || fail "$1: exit $rc"
  [ "$(cat "$WORK/err")" = "$want" ] || fail "$1: said '$(cat "$WORK/err")', not '$want'"
}
for verb in info resave render sheet export view thumbnail; do
  case $verb in
    info) out="" ;; resave) out="$WORK/o.box" ;; export|sheet) out="$WORK/o.svg" ;; *) out="$WORK/o.png" ;;
  esac
  says "$verb $WORK/fehlt.box $out" "faltarillon-cli $verb: $WORK/fehlt.box: Datei nicht gefunden"
  says "$verb $WORK/weg/x.box $out" "faltarillon-cli $verb: $WORK/weg/x.box: Ordner nicht gefunden"
  says "$verb $WORK/ordner.box $out" "faltarillon-cli $verb: $WORK/ordner.box: ist ein Ordner"
  says "$verb $WORK/rohr.box $out" "faltarillon-cli $verb: $WORK/rohr.box: ist keine gewöhnliche Datei"
  says "$verb $WORK/fremd.box $out" "faltarillon-cli $verb: $WORK/fremd.box: keine Box-Datei (Dateikennung falsch)"
  says "$verb $WORK/kurz.box $out" \
    "faltarillon-cli $verb: $WORK/kurz.box: Datei beschädigt: Die Datei endet vorzeitig (Byte 149)"
  [ -e "$WORK/o.box" ] || [ -e "$WORK/o.svg" ] || [ -e "$WORK/o.png" ] && fail "$verb wrote after a failed read"
done
says "convert $WORK/fehlt.png $WORK/o.bmp" "faltarillon-cli convert: $WORK/fehlt.png: Datei nicht gefunden"
says "convert $WORK/ordner.png $WORK/o.bmp" "faltarillon-cli convert: $WORK/ordner.png: ist ein Ordner"
says "convert $WORK/rohr.png $WORK/o.bmp" "faltarillon-cli convert: $WORK/rohr.png: ist keine gewöhnliche Datei"
if id nobody > /dev/null 2>&1 && [ "$(id -u)" = 0 ]; then
  cp "$WORK/leer.box" "$WORK/geheim.box"; chmod 600 "$WORK/geheim.box"; chmod 755 "$WORK"
  su nobody -s /bin/sh -c "'$CLI' info '$WORK/geheim.box'" > /dev/null 2> "$WORK/err"
  [ "$(cat "$WORK/err")" = "faltarillon-cli info: $WORK/geheim.box: Zugriff verweigert" ] \
    || fail "unreadable box: '$(cat "$WORK/err")'"
fi

# Damaged pictures: no English library line, one German line per picture.
convert -seed 7 -size 320x240 plasma:fractal "$WORK/gut.png"
convert "$WORK/gut.png" "$WORK/gut.tif"
convert "$WORK/gut.png" -quality 90 "$WORK/gut.jpg"
head -c 300 "$WORK/gut.png" > "$WORK/kaputt.png"
head -c $(( $(stat -c %s "$WORK/gut.tif") / 2 )) "$WORK/gut.tif" > "$WORK/kaputt.tif"
head -c $(( $(stat -c %s "$WORK/gut.jpg") / 2 )) "$WORK/gut.jpg" > "$WORK/kaputt.jpg"
english='libpng|TIFF|JPEG|qt\.|QBuffer|QImage|error|warning|Corrupt'
for f in kaputt.png kaputt.tif; do
  says "convert $WORK/$f $WORK/o.bmp" "faltarillon-cli convert: $WORK/$f: Bild beschädigt oder in unbekanntem Format"
done
"$CLI" convert "$WORK/kaputt.jpg" "$WORK/o.bmp" > /dev/null 2> "$WORK/err" || fail "a JPEG cut short is refused"
[ "$(cat "$WORK/err")" = "faltarillon-cli convert: Ein Bild ist beschädigt; nur sein lesbarer Teil wurde verwendet." ] \
  || fail "JPEG cut short: '$(cat "$WORK/err")'"
# The sample's pictures are looked for beside the box file, under the name pixel3x2.bmp.
for f in kaputt.png kaputt.tif kaputt.jpg; do
  mkdir "$WORK/$f.d"
  cp "$DATA/model/windows_sample.box" "$WORK/$f.d/bild.box"
  cp "$WORK/$f" "$WORK/$f.d/pixel3x2.bmp"
  for verb in render thumbnail; do
    "$CLI" $verb "$WORK/$f.d/bild.box" "$WORK/$f.d/o.png" > /dev/null 2> "$WORK/err" || fail "$verb with $f: exit $?"
    grep -Eq "$english" "$WORK/err" && fail "$verb with $f let the library speak: $(cat "$WORK/err")"
    [ "$(grep -c . "$WORK/err")" -ge 1 ] || fail "$verb with $f said nothing"
    grep -v '^faltarillon-cli '"$verb"': ' "$WORK/err" && fail "$verb with $f: a line not of the tool"
  done
done
grep -q "pixel3x2.bmp: Bild beschädigt oder in unbekanntem Format" <("$CLI" info "$WORK/kaputt.png.d/bild.box" 2>&1 >/dev/null) \
  || fail "damaged picture in a box not named"

# A missing picture: reported, exit 0; with --strict exit 1.
cp "$DATA/model/windows_sample.box" "$WORK/ohnebild.box"
for verb in render sheet export view thumbnail; do
  case $verb in export|sheet) out="$WORK/s.svg" ;; *) out="$WORK/s.png" ;; esac
  "$CLI" $verb "$WORK/ohnebild.box" "$out" > /dev/null 2> "$WORK/err" || fail "$verb: a missing picture failed the run"
  grep -q "^faltarillon-cli $verb: D:\\\\Fotos\\\\pixel3x2.bmp: Datei nicht gefunden$" "$WORK/err" \
    || fail "$verb: missing picture message: $(cat "$WORK/err")"
  "$CLI" $verb "$WORK/ohnebild.box" "$out" --strict > /dev/null 2> "$WORK/err"; rc=$?
  [ $rc = 1 ] || fail "$verb --strict with a missing picture: exit $rc"
  grep -q "pixel3x2.bmp: Datei nicht gefunden" "$WORK/err" || fail "$verb --strict: no message"
  "$CLI" $verb "$WORK/leer.box" "$out" --strict > /dev/null 2>&1 || fail "$verb --strict without pictures: exit $?"
done
"$CLI" render "$WORK/kaputt.jpg.d/bild.box" "$WORK/j.png" --strict > /dev/null 2>&1; rc=$?
[ $rc = 1 ] || fail "render --strict with a damaged JPEG: exit $rc"

# stdout on a full device (made here, never the machine's /dev/full).
mknod "$WORK/voll" c 1 7 || fail "mknod of a full device (needs root)"
if [ -c "$WORK/voll" ]; then
  "$CLI" info "$WORK/leer.box" > "$WORK/voll" 2> "$WORK/err"; rc=$?
  [ $rc = 1 ] || fail "info onto a full device: exit $rc"
  [ "$(cat "$WORK/err")" = "faltarillon-cli info: Standardausgabe: Kein Speicherplatz mehr" ] \
    || fail "info onto a full device: '$(cat "$WORK/err")'"
  "$CLI" --help > "$WORK/voll" 2> /dev/null; rc=$?
  [ $rc = 1 ] || fail "--help onto a full device: exit $rc"
fi

[ $fails = 0 ] && echo "messages_cli: all passed"
exit $fails
