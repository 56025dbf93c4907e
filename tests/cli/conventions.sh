#!/usr/bin/env bash
# faltarillon-cli keeps the Unix conventions: --help and --version, exit code
# 0 done / 1 failed / 2 wrong call for every verb, German messages that name
# the fault, silence on success even without XDG_RUNTIME_DIR, and a bash
# completion that knows every verb and option.
# Arguments: the faltarillon-cli binary, the tests/data folder.
set -u
CLI=$1
DATA=$2
SOURCE=$(cd "$DATA/../.." && pwd)
BUILD=$(dirname "$CLI")
. "$(dirname "$0")/../support/cli_test.sh"

# The options each verb must offer, written down here and not taken from the
# tool. A verb missing from this table fails the test: add its options here,
# and its cases to the exit-code table below.
declare -A OPTIONS=(
  [convert]="--format --quality"
  [export]="--percent --page --bleed --layers --text-as-paths --data --rows --strict"
  [info]=""
  [new]="--dpi --paper --form --style --size --thickness --no-notch"
  [render]="--percent --dpi --page --portrait --editor --scroll --size --net-lines --data --row --strict"
  [resave]=""
  [scan]="--list --device --format --quality --option"
  [sheet]="--paper --percent --fill --bleed --regmarks --inset --net-lines --data --rows --strict"
  [view]="--size --yaw --pitch --fold --percent --labels --data --row --strict"
  [thumbnail]="--size --strict"
)

# run EXPECTED-CODE DESCRIPTION ARGS...: stdout and stderr land in $WORK/out, $WORK/err.
run() {
  local want=$1 what=$2
  shift 2
  "$CLI" "$@" > "$WORK/out" 2> "$WORK/err"
  local got=$?
  [ "$got" = "$want" ] || fail "$what: exit code $got, expected $want (stderr: $(head -c 300 "$WORK/err"))"
  return 0
}

# --- the tool itself -------------------------------------------------------
run 0 "--help" --help
[ -s "$WORK/err" ] && fail "--help wrote to stderr"
VERBS=$(sed -n '/^Befehle:/,/^$/p' "$WORK/out" | awk '/^  [a-z]/ {print $1}')
[ -n "$VERBS" ] || fail "--help lists no verbs"
for v in "${!OPTIONS[@]}"; do
  grep -qx "$v" <<< "$VERBS" || fail "verb $v missing from --help"
done
grep -q -- '--version' "$WORK/out" || fail "--help does not mention --version"

version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")
run 0 "--version" --version
[ "$(cat "$WORK/out")" = "faltarillon-cli $version" ] || fail "--version says '$(cat "$WORK/out")', project is $version"
run 0 "-v" -v

run 2 "no verb"
[ -s "$WORK/out" ] && fail "no verb wrote to stdout"
grep -q 'Es fehlt der Befehl' "$WORK/err" || fail "no verb: $(cat "$WORK/err")"
run 2 "unknown verb" zaubern
grep -q '"zaubern"' "$WORK/err" || fail "unknown verb not named: $(cat "$WORK/err")"
run 2 "unknown tool option" --zauber
grep -q -- '--zauber' "$WORK/err" || fail "unknown tool option not named"

# --- every verb: help, unknown option, missing argument ---------------------
for v in $VERBS; do
  [ -n "${OPTIONS[$v]+set}" ] || { fail "verb $v has no entry in this test's option table"; continue; }
  run 0 "$v --help" "$v" --help
  [ -s "$WORK/err" ] && fail "$v --help wrote to stderr"
  cp "$WORK/out" "$WORK/help-$v"
  grep -q "^Aufruf: faltarillon-cli $v " "$WORK/help-$v" || fail "$v --help has no usage line"
  for o in ${OPTIONS[$v]} --help; do
    grep -qE -- "(^|[ ,])$o( |$)" "$WORK/help-$v" || fail "$v --help does not list $o"
  done
  # Whatever the help lists, the verb accepts.
  for o in $(grep -oE -- '(^|[ ,])--[a-z-]+' "$WORK/help-$v" | tr -d ' ,' | sort -u); do
    "$CLI" "$v" "$o" > /dev/null 2> "$WORK/err"
    grep -q 'Unbekannte Option' "$WORK/err" && fail "$v lists $o but refuses it"
    grep -qE "(^| )$o( |$)" <<< " ${OPTIONS[$v]} --help " || fail "$v --help lists $o, unknown to this test"
  done
  run 2 "$v with an unknown option" "$v" --gibtsnicht
  grep -q 'Unbekannte Option --gibtsnicht' "$WORK/err" || fail "$v: unknown option not named: $(cat "$WORK/err")"
  [ -s "$WORK/out" ] && fail "$v: refusal wrote to stdout"
  grep -q "^Aufruf: faltarillon-cli $v" "$WORK/err" || fail "$v: refusal without usage line"
  run 2 "$v with an unknown short option" "$v" -X
  # The last option that takes a value, given without one.
  valued=$(grep -oE -- '--[a-z-]+ <[^>]+>' "$WORK/help-$v" | tail -n 1 | cut -d' ' -f1)
  if [ -n "$valued" ]; then
    run 2 "$v $valued without value" "$v" "$valued"
    grep -q "Nach $valued fehlt der Wert" "$WORK/err" || fail "$v: missing value not named: $(cat "$WORK/err")"
  fi
  if grep -q "^Aufruf: faltarillon-cli $v \[OPTIONEN\] [A-Z]" "$WORK/help-$v"; then
    run 2 "$v without arguments" "$v"
    grep -q 'Es fehlt das Argument' "$WORK/err" || fail "$v: missing argument not named: $(cat "$WORK/err")"
  fi
  run 2 "$v with too many arguments" "$v" a b c d e f g
done

# --- exit codes per verb ------------------------------------------------------
"$CLI" new "$WORK/neu.box" || fail "new for the cases below"
mkdir "$WORK/sane" && echo test > "$WORK/sane/dll.conf"
if [ -f /etc/sane.d/test.conf ]; then
  cp /etc/sane.d/test.conf "$WORK/sane/"
else
  fail "SANE test backend missing (/etc/sane.d/test.conf): scan cases cannot run"
fi
# verb | code | arguments (word-split; $W is the work folder)
cases=$(cat <<'CASES'
new      0 $W/a.box
new      0 $W/b.box --dpi 120
new      1 $W/gibtsnicht/a.box
new      2 $W/c.box --dpi 0
info     0 $W/neu.box
info     1 $W/gibtsnicht.box
resave   0 $W/neu.box $W/r.box
resave   1 $W/gibtsnicht.box $W/r2.box
render   0 $W/neu.box $W/s.png --dpi 20
render   0 $W/neu.box $W/e.png --editor --size 64x48
render   1 $W/gibtsnicht.box $W/s2.png
render   2 $W/neu.box $W/s3.png --page B7
render   2 $W/neu.box $W/s4.gif
render   2 $W/neu.box $W/s5.png --scroll 1,1
export   0 $W/neu.box $W/x.svg --layers cut
export   1 $W/gibtsnicht.box $W/x2.svg
export   2 $W/neu.box $W/x3.svg --bleed 9
export   2 $W/neu.box $W/x4.dxf
sheet    0 $W/neu.box $W/b.svg --fill --regmarks --percent 30
sheet    1 $W/neu.box $W/gibtsnicht/b.dxf
sheet    2 $W/neu.box $W/b.dxf --bleed 9
convert  0 $W/s.png $W/c.bmp
convert  1 $W/gibtsnicht.png $W/c2.bmp
convert  1 $W/s.png $W/gibtsnicht/c3.bmp
convert  2 $W/s.png $W/c4.xyz
convert  2 $W/s.png $W/c5.jpg --quality 100
scan     0 --list
scan     0 $W/scan.pcx --device test:0
scan     1 $W/scan2.pcx --device gibtsnicht:0
scan     2 --list $W/scan3.pcx
scan     2 $W/scan4.pcx --option ohne-gleich
view     0 $W/neu.box $W/v.png --size 64x48
view     1 $W/gibtsnicht.box $W/v2.png
view     2 $W/neu.box $W/v3.png --fold 2
view     2 $W/neu.box $W/v4.gif
thumbnail 0 $W/neu.box $W/t.png --size 32
thumbnail 1 $W/gibtsnicht.box $W/t2.png
thumbnail 2 $W/neu.box $W/t3.png --size 0
CASES
)
declare -A covered=()
while read -r verb code rest; do
  [ -z "$verb" ] && continue
  args=${rest//\$W/$WORK}
  # shellcheck disable=SC2086
  SANE_CONFIG_DIR="$WORK/sane" run "$code" "$verb $rest" "$verb" $args
  if [ "$code" = 0 ]; then
    [ -s "$WORK/err" ] && fail "$verb $rest: success wrote to stderr: $(cat "$WORK/err")"
  else
    [ -s "$WORK/err" ] || fail "$verb $rest: exit $code without a message"
  fi
  covered[$verb]+=" $code"
done <<< "$cases"
for v in $VERBS; do
  for code in 0 1 2; do
    [[ "${covered[$v]:-}" == *"$code"* ]] || [ "$code" = 2 ] || fail "verb $v has no exit-code-$code case in this test"
  done
done
[ -e "$WORK/gibtsnicht" ] && fail "a failed run created a folder"
for f in c.box s3.png s4.gif s5.png c4.xyz c5.jpg scan3.pcx scan4.pcx v2.png v3.png v4.gif; do
  [ -e "$WORK/$f" ] && fail "$f written although the call was refused"
done
# Success prints only the verb's own output.
[ "$("$CLI" new "$WORK/still.box" 2>&1)" = "" ] || fail "new is not silent"
[ "$("$CLI" convert "$WORK/s.png" "$WORK/t.bmp" 2>&1)" = "$WORK/t.bmp: 234 x 165, BMP" ] || fail "convert output"

# --- headless: no display, no runtime folder --------------------------------
mkdir -m 700 "$WORK/tmp"
headless() {  # runs the tool as a cron job would see it
  env -u XDG_RUNTIME_DIR -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TMPDIR="$WORK/tmp" "$CLI" "$@"
}
headless new "$WORK/h.box" 2> "$WORK/h1" || fail "headless new"
headless render "$WORK/h.box" "$WORK/h.png" --dpi 30 2> "$WORK/h2" || fail "headless render png"
headless render "$WORK/h.box" "$WORK/h.pdf" --dpi 30 2> "$WORK/h3" || fail "headless render pdf"
headless render "$WORK/h.box" "$WORK/he.png" --editor 2> "$WORK/h4" || fail "headless render editor"
headless convert "$WORK/h.png" "$WORK/h.jpg" > /dev/null 2> "$WORK/h5" || fail "headless convert"
for f in h1 h2 h3 h4 h5; do
  [ -s "$WORK/$f" ] && fail "headless run wrote to stderr: $(cat "$WORK/$f")"
done
[ -z "$(ls -A "$WORK/tmp")" ] || fail "private runtime folder left behind: $(ls -A "$WORK/tmp")"
# A run killed on its way leaves at most the one folder of the user, which
# the next run takes and removes (each used to leave a folder of its own).
shared="faltarillon-cli-$(id -u)"
for i in 1 2; do
  env -u XDG_RUNTIME_DIR -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TMPDIR="$WORK/tmp" \
    "$CLI" view --size 4000x3000 "$WORK/h.box" "$WORK/hk.png" 2> /dev/null & pid=$!
  # killed once its platform plugin is loaded: the runtime folder is made before
  for _ in $(seq 500); do grep -q qoffscreen "/proc/$pid/maps" 2> /dev/null && break; sleep 0.01; done
  kill -KILL $pid 2> /dev/null; wait $pid 2> /dev/null
done
[ -z "$(ls -A "$WORK/tmp")" ] || [ "$(ls -A "$WORK/tmp")" = "$shared" ] || fail "killed runs left: $(ls -A "$WORK/tmp")"
[ ! -d "$WORK/tmp/$shared" ] || [ "$(stat -c %a "$WORK/tmp/$shared")" = 700 ] || fail "runtime folder not private"
headless new "$WORK/h6.box" 2> "$WORK/h7" || fail "headless new after killed runs"
[ -s "$WORK/h7" ] && fail "after killed runs: $(cat "$WORK/h7")"
[ -z "$(ls -A "$WORK/tmp")" ] || fail "the folder of killed runs stayed: $(ls -A "$WORK/tmp")"
# That name held by a folder others may read: a fresh private one instead,
# and theirs is left alone.
mkdir -m 755 "$WORK/tmp/$shared"
headless new "$WORK/h8.box" 2> "$WORK/h8" || fail "headless new beside an open folder of that name"
[ -s "$WORK/h8" ] && fail "beside an open folder of that name: $(cat "$WORK/h8")"
[ "$(ls -A "$WORK/tmp")" = "$shared" ] && [ "$(stat -c %a "$WORK/tmp/$shared")" = 755 ] \
  || fail "beside an open folder of that name: $(ls -A "$WORK/tmp")"
rmdir "$WORK/tmp/$shared"
# A runtime folder others could read is refused by Qt with a warning: ours is used instead.
mkdir -m 755 "$WORK/open"
XDG_RUNTIME_DIR="$WORK/open" "$CLI" new "$WORK/o.box" 2> "$WORK/h6" || fail "new with an open runtime folder"
[ -s "$WORK/h6" ] && fail "open runtime folder: $(cat "$WORK/h6")"
pdfinfo "$WORK/h.pdf" > /dev/null 2>&1 || fail "headless PDF unreadable for pdfinfo"

# --- bash completion ----------------------------------------------------------
COMPLETION="$BUILD/faltarillon-cli.bash-completion"
[ -s "$COMPLETION" ] || fail "no completion file written by the build"
bash -n "$COMPLETION" || fail "completion file is not valid bash"
complete_words() {  # prints the completions for the words given, the last one being completed
  bash -c 'source "$1"; shift; COMP_WORDS=(faltarillon-cli "$@"); COMP_CWORD=$#; _faltarillon_cli; printf "%s\n" "${COMPREPLY[@]}" | sort' \
    _ "$COMPLETION" "$@"
}
[ "$(complete_words "")" = "$(sort <<< "$VERBS")" ] || fail "completion of verbs: $(complete_words "" | tr '\n' ' ')"
[ "$(complete_words re | tr '\n' ' ')" = "render resave " ] || fail "completion of 're'"
[ "$(complete_words render --page "" | tr '\n' ' ')" = "A3 A4 A5 Legal Letter " ] || fail "completion of --page values"
[ "$(complete_words render --p | tr '\n' ' ')" = "--page --percent --portrait " ] || fail "completion of render --p"
[ -z "$(complete_words new --dpi "")" ] || fail "completion offers values for --dpi N"
[ "$(complete_words new --form "" | tr '\n' ' ')" = "quader wuerfel " ] || fail "completion of --form values"
[ "$(complete_words new --paper "" | tr '\n' ' ')" = "A3 A4 Letter " ] || fail "completion of --paper values"
touch "$WORK/Entwurf.box"
[ "$(cd "$WORK" && complete_words info Entw)" = "Entwurf.box" ] || fail "completion of file names"
# Names with spaces stay whole, typed plain, escaped or quoted; a name with
# brackets is no pattern for other names.
mkdir "$WORK/leer zeichen"
touch "$WORK/leer zeichen/Box mit Bildhintergrund.box" "$WORK/leer zeichen/Box.box" "$WORK/leer zeichen/[ab].box" "$WORK/leer zeichen/a.box"
in_spaces() { (cd "$WORK/leer zeichen" && LC_ALL=C complete_words "$@" | tr '\n' '|'); }
[ "$(in_spaces render Box)" = "Box mit Bildhintergrund.box|Box.box|" ] \
  || fail "completion splits names with spaces: $(in_spaces render Box)"
[ "$(in_spaces render 'Box\ m')" = "Box mit Bildhintergrund.box|" ] \
  || fail "completion of an escaped space: $(in_spaces render 'Box\ m')"
[ "$(in_spaces render "'Box m")" = "Box mit Bildhintergrund.box|" ] \
  || fail "completion of a quoted name: $(in_spaces render "'Box m")"
[ "$(in_spaces thumbnail '[')" = "[ab].box|" ] || fail "completion of a name with brackets: $(in_spaces thumbnail '[')"
for v in $VERBS; do
  want=$(grep -oE -- '(^|[ ,])--?[a-zA-Z-]+' "$WORK/help-$v" | tr -d ' ,' | sort -u)
  got=$(complete_words "$v" - | sort -u)
  [ "$got" = "$want" ] || fail "completion of $v options: $(tr '\n' ' ' <<< "$got"), help lists $(tr '\n' ' ' <<< "$want")"
done

# Installed where bash-completion looks for it.
if cmake --install "$BUILD" --prefix "$WORK/inst" > /dev/null; then
  cmp -s "$COMPLETION" "$WORK/inst/share/bash-completion/completions/faltarillon-cli" \
    || fail "completion not installed to share/bash-completion/completions/faltarillon-cli"
else
  fail "cmake --install"
fi

[ "$fails" = 0 ] && echo "cli conventions: all passed"
exit "$fails"
