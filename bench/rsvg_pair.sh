# Sourced by the benchmarks that pair our tool with rsvg-convert, after
# they have set CLI: checks both are there, makes the scratch folder OUT
# (removed on exit) and gives timed() and median().
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
