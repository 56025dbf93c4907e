#!/usr/bin/env bash
# Every file faltarillon-cli writes, written where it cannot be: under a
# file size limit (any user), on a full tmpfs (where one can be mounted),
# onto a FIFO, a device node and a folder. The old file stays byte for byte,
# no temporary file is left, stderr has the one line
# "faltarillon-cli VERB: PATH: Grund" and the run ends with 1, never blocking.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
. "$(dirname "$0")/../support/cli_test.sh"

"$CLI" new "$WORK/g.box" || fail "new"
convert_src="$WORK/bild.bmp"
"$CLI" render --editor --size 64x48 "$WORK/g.box" "$WORK/bild.png" || fail "render --editor"
"$CLI" convert "$WORK/bild.png" "$convert_src" --format 1 > /dev/null || fail "convert"

# verb, output suffix, then the call with OUT for the output
writers=(
  "new|box|new OUT"
  "resave|box|resave $WORK/g.box OUT"
  "thumbnail|png|thumbnail --size 16 $WORK/g.box OUT"
  "view|png|view --size 64x48 $WORK/g.box OUT"
  "view|jpg|view --size 64x48 $WORK/g.box OUT"
  "render|png|render --editor --size 64x48 $WORK/g.box OUT"
  "render|png|render --dpi 30 $WORK/g.box OUT"
  "render|pdf|render --dpi 30 $WORK/g.box OUT"
  "sheet|png|sheet $WORK/g.box OUT"
  "sheet|pdf|sheet $WORK/g.box OUT"
  "sheet|svg|sheet $WORK/g.box OUT"
  "sheet|dxf|sheet $WORK/g.box OUT"
  "export|svg|export --page box $WORK/g.box OUT"
  "export|pdf|export --page box $WORK/g.box OUT"
  "convert|bmp|convert $convert_src OUT --format 1"
)

# The writers work at all, else the failures below would prove nothing.
for w in "${writers[@]}"; do
  IFS='|' read -r verb suffix call <<< "$w"
  out="$WORK/ok.$suffix"
  timeout 60 "$CLI" ${call/OUT/$out} > /dev/null 2> "$WORK/err" || fail "$call: failed where it can write: $(cat "$WORK/err")"
  [ "$(stat -c %s "$out" 2> /dev/null || echo 0)" -gt 100 ] || fail "$call: wrote no file"
  rm -f "$out"
done

# run CALL with its output at OUT (an old file there), in folder DIR, with
# the shell prefix PRE; expect exit 1, the old bytes, nothing else in DIR,
# and stderr "faltarillon-cli VERB: OUT: REASON".
expect_kept() {
  local verb=$1 call=$2 out=$3 dir=$4 reason=$5 pre=$6
  printf 'alter Inhalt, 31 Bytes lang...\n' > "$out"
  local before; before=$(ls -A "$dir" | sort)
  [ -z "${FILLER:-}" ] || dd if=/dev/zero of="$FILLER" bs=4k 2> /dev/null
  # stderr through a pipe: the size limit would cut a file short too
  local said rc
  said=$(timeout 60 bash -c "$pre exec \"\$@\"" _ "$CLI" ${call/OUT/$out} 2>&1 > /dev/null); rc=$?
  [ -z "${FILLER:-}" ] || rm -f "$FILLER"
  [ $rc = 1 ] || fail "$call ($reason): exit $rc"
  printf 'alter Inhalt, 31 Bytes lang...\n' | cmp -s - "$out" || fail "$call ($reason): old file changed"
  [ "$(ls -A "$dir" | sort)" = "$before" ] || fail "$call ($reason): left $(ls -A "$dir" | tr '\n' ' ')"
  if [ "$verb" = sheet ] && [ "${out##*.}" = dxf ] && [ "$reason" = "Datei zu groß" ]; then
    # the DXF library's scratch file is cut short first
    case $said in "faltarillon-cli sheet: $out: "*) ;; *) fail "$call: said '$said'" ;; esac
  else
    [ "$said" = "faltarillon-cli $verb: $out: $reason" ] || fail "$call ($reason): said '$said'"
  fi
  rm -f "$out"
}

# Under a file size limit of nothing at all; an ignored SIGXFSZ stays
# ignored across exec, so every write fails with EFBIG.
mkdir "$WORK/klein"
for w in "${writers[@]}"; do
  IFS='|' read -r verb suffix call <<< "$w"
  expect_kept "$verb" "$call" "$WORK/klein/alt.$suffix" "$WORK/klein" "Datei zu groß" "trap '' XFSZ; ulimit -f 0;"
done
# A picture past the file's buffer fails inside libpng, whose own line
# "libpng error: Write Error" must not come before ours.
expect_kept view "view --size 800x600 $WORK/g.box OUT" "$WORK/klein/gross.png" "$WORK/klein" "Datei zu groß" \
  "trap '' XFSZ; ulimit -f 0;"

# On a full disk: the real ENOSPC.
if [ "$(id -u)" = 0 ] && mkdir "$WORK/voll" && mount -t tmpfs -o size=200k tmpfs "$WORK/voll" 2> "$WORK/mount.err"; then
  for w in "${writers[@]}"; do
    IFS='|' read -r verb suffix call <<< "$w"
    FILLER="$WORK/voll/.fueller" expect_kept "$verb" "$call" "$WORK/voll/alt.$suffix" "$WORK/voll" \
      "Kein Speicherplatz mehr" ""
  done
  umount "$WORK/voll"
else
  echo "no full-disk case: $( [ "$(id -u)" = 0 ] && cat "$WORK/mount.err" || echo 'mounting a tmpfs needs root')"
fi

# FIFOs, device nodes and folders are refused at once and stay what they
# are (named with the writer's suffix, which some verbs ask for).
mkdir "$WORK/ziele"
cannot_mknod=""
for w in "${writers[@]}"; do
  IFS='|' read -r verb suffix call <<< "$w"
  z="$WORK/ziele"
  [ -e "$z/rohr.$suffix" ] || mkfifo "$z/rohr.$suffix"
  [ -e "$z/ordner.$suffix" ] || mkdir "$z/ordner.$suffix"
  [ -e "$z/geraet.$suffix" ] || mknod "$z/geraet.$suffix" c 1 7 2> /dev/null || cannot_mknod=1
  for target in "$z/rohr.$suffix" "$z/ordner.$suffix" "$z/geraet.$suffix"; do
    [ -e "$target" ] || continue
    reason="ist keine gewöhnliche Datei"
    [ -d "$target" ] && reason="ist ein Ordner"
    timeout 20 "$CLI" ${call/OUT/$target} > /dev/null 2> "$WORK/err"; rc=$?
    [ $rc = 1 ] || fail "$call onto $target: exit $rc"
    [ "$(cat "$WORK/err")" = "faltarillon-cli $verb: $target: $reason" ] || fail "$call onto $target: said '$(cat "$WORK/err")'"
  done
  [ -p "$z/rohr.$suffix" ] || fail "$call: the FIFO was replaced"
  [ -d "$z/ordner.$suffix" ] && [ -z "$(ls -A "$z/ordner.$suffix")" ] || fail "$call: the folder was changed"
  [ ! -e "$z/geraet.$suffix" ] || [ -c "$z/geraet.$suffix" ] || fail "$call: the device node was replaced"
done
[ -z "$cannot_mknod" ] || echo "no device-node case: mknod needs root"
[ -z "$(ls -A "$WORK/ziele" | grep -v -E '^(rohr|ordner|geraet)\.')" ] || fail "stray files: $(ls -A "$WORK/ziele")"

# A file without any write bit is refused, for root too (root used to
# replace it, and make 0444 into 0644).
printf 'alt' > "$WORK/nurlesen.box"; chmod 444 "$WORK/nurlesen.box"
said=$("$CLI" new "$WORK/nurlesen.box" 2>&1); rc=$?
[ $rc = 1 ] && [ "$said" = "faltarillon-cli new: $WORK/nurlesen.box: schreibgeschützt" ] || fail "new onto 0444: $rc '$said'"
[ "$(cat "$WORK/nurlesen.box")" = alt ] && [ "$(stat -c %a "$WORK/nurlesen.box")" = 444 ] || fail "0444 file changed"

# A thumbnailer's output name promises no extension: always PNG.
"$CLI" thumbnail --size 16 "$WORK/g.box" "$WORK/vorschau.jpg" || fail "thumbnail to .jpg"
[ "$(head -c 8 "$WORK/vorschau.jpg" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "thumbnail wrote no PNG"
"$CLI" thumbnail --size 16 "$WORK/g.box" "$WORK/vorschau" || fail "thumbnail without extension"
[ "$(head -c 4 "$WORK/vorschau" | od -An -tx1 | tr -d ' ')" = 89504e47 ] || fail "thumbnail without extension: no PNG"

[ $fails = 0 ] && echo "write_failures: all passed"
exit $fails
