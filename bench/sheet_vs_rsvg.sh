#!/usr/bin/env bash
# The 600-dpi sheet job, whole processes: our command-line tool renders the
# frozen design of bench/data/ to PNG, rsvg-convert renders the equivalent
# SVG of the same sheet to PNG. Paired runs, alternating; prints the medians
# of wall and CPU time, the output sizes and the ratio ours / rsvg.
#   bench/sheet_vs_rsvg.sh BUILD_DIR [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/rsvg_pair.sh

ours() { "$CLI" render "$DATA/blatt.box" "$OUT/ours.png" --dpi 600; }
rsvg() { rsvg-convert -o "$OUT/rsvg.png" "$DATA/blatt.svg"; }
pair_runs
echo "Blatt 600 dpi, A4 quer, $RUNS Läufe je Programm, Last: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "  faltarillon-cli render: Median %.3f s Wand, %.3f s CPU, PNG %d Bytes\n" "$ow" "$oc" "$(stat -c %s "$OUT/ours.png")"
printf "  rsvg-convert:           Median %.3f s Wand, %.3f s CPU, PNG %d Bytes\n" "$rw" "$rc" "$(stat -c %s "$OUT/rsvg.png")"
awk -v a="$ow" -v b="$rw" -v c="$oc" -v d="$rc" \
  'BEGIN { printf "  Verhältnis unser / rsvg: %.2f (Wand), %.2f (CPU); Ziel <= 0.40 (Wand)\n", a / b, c / d }'
