#!/usr/bin/env bash
# The 600-dpi sheet job, whole processes: our command-line tool renders each
# frozen design of bench/data/ to PNG, rsvg-convert renders the equivalent
# SVG of the same sheet to PNG. Paired runs, alternating; prints the medians
# of wall and CPU time, the output sizes, the ratio ours / rsvg and the
# machine's load (on a shared machine the wall times say little without it).
#   bench/sheet_vs_rsvg.sh BUILD_DIR [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/rsvg_pair.sh

# Two designs of bench/data/: blatt (1000 figures, 5 pictures, a photo
# background, 20 outlined words) and texte (the same kinds of objects, its
# 20 texts short paragraphs with shadow and outline).
for design in blatt texte; do
  load0=$(cut -d' ' -f1-3 /proc/loadavg)
  ours() { "$CLI" render "$DATA/$design.box" "$OUT/ours.png" --dpi 600; }
  rsvg() { rsvg-convert -o "$OUT/rsvg.png" "$DATA/$design.svg"; }
  pair_runs
  echo "Blatt $design 600 dpi, A4 quer, $RUNS Läufe je Programm, $(nproc) Kerne, Last vorher: $load0, nachher: $(cut -d' ' -f1-3 /proc/loadavg)"
  printf "  faltarillon-cli render: Median %.3f s Wand, %.3f s CPU, PNG %d Bytes\n" "$ow" "$oc" "$(stat -c %s "$OUT/ours.png")"
  printf "  rsvg-convert:           Median %.3f s Wand, %.3f s CPU, PNG %d Bytes\n" "$rw" "$rc" "$(stat -c %s "$OUT/rsvg.png")"
  awk -v a="$ow" -v b="$rw" -v c="$oc" -v d="$rc" \
    'BEGIN { printf "  Verhältnis unser / rsvg: %.2f (Wand), %.2f (CPU); Ziel <= 0.25 (Wand), <= 0.40 (CPU)\n", a / b, c / d }'
done
