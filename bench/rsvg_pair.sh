# Sourced by the benchmarks that pair our tool with rsvg-convert, with the
# caller's arguments BUILD_DIR [RUNS]: sets BUILD, RUNS, CLI and DATA,
# checks both programs are there, makes the scratch folder OUT (removed on
# exit) and gives timed(), median() and pair_runs.
BUILD=${1:-build}
RUNS=${2:-7}
CLI="$BUILD/faltarillon-cli"
DATA=bench/data
command -v rsvg-convert >/dev/null || { echo "rsvg-convert fehlt (librsvg2-bin)"; exit 1; }
[ -x "$CLI" ] || { echo "$CLI fehlt"; exit 1; }
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
export QT_QPA_PLATFORM=offscreen

# Wall and CPU seconds of one command, as "wall cpu".
timed() {
  local t0 t1 c0 c1
  c0=$(awk '{print $14+$15+$16+$17}' /proc/$$/stat)
  t0=$(date +%s.%N)
  "$@" >/dev/null
  t1=$(date +%s.%N)
  c1=$(awk '{print $14+$15+$16+$17}' /proc/$$/stat)
  awk -v a="$t0" -v b="$t1" -v c="$c0" -v d="$c1" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "%.3f %.3f\n", b - a, (d - c) / hz }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The caller's ours and rsvg, one warm-up run each (files in the page cache,
# fonts found), then RUNS alternating timed runs. Sets ow, oc, rw and rc:
# the medians of wall and CPU seconds.
pair_runs() {
  : > "$OUT/ours" ; : > "$OUT/rsvg"
  ours > /dev/null
  rsvg > /dev/null
  for i in $(seq "$RUNS"); do
    timed ours >> "$OUT/ours"
    timed rsvg >> "$OUT/rsvg"
  done
  ow=$(cut -d' ' -f1 "$OUT/ours" | median); oc=$(cut -d' ' -f2 "$OUT/ours" | median)
  rw=$(cut -d' ' -f1 "$OUT/rsvg" | median); rc=$(cut -d' ' -f2 "$OUT/rsvg" | median)
}
