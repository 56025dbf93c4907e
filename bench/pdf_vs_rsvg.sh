#!/usr/bin/env bash
# The PDF export, whole processes: our command-line tool exports each frozen
# design of bench/data/ to PDF, rsvg-convert -f pdf converts the equivalent
# SVG of the same sheet. Paired runs, alternating; prints the medians of wall
# and CPU time, the file sizes, the ratio ours / rsvg and the machine's load
# (on a shared machine the wall times say little without it).
#   bench/pdf_vs_rsvg.sh BUILD_DIR [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/rsvg_pair.sh

# Two designs of bench/data/: blatt (1000 figures, 5 pictures, a photo
# background, 20 outlined words) and texte (the same kinds of objects, its
# 20 texts short paragraphs with shadow and outline).
for design in blatt texte; do
  load0=$(cut -d' ' -f1-3 /proc/loadavg)
  ours() { "$CLI" export "$DATA/$design.box" "$OUT/ours.pdf"; }
  rsvg() { rsvg-convert -f pdf -o "$OUT/rsvg.pdf" "$DATA/$design.svg"; }
  pair_runs
  os=$(stat -c %s "$OUT/ours.pdf"); rs=$(stat -c %s "$OUT/rsvg.pdf")
  echo "PDF-Export $design, A4 quer, $RUNS Läufe je Programm, $(nproc) Kerne, Last vorher: $load0, nachher: $(cut -d' ' -f1-3 /proc/loadavg)"
  printf "  faltarillon-cli export: Median %.3f s Wand, %.3f s CPU, PDF %d Bytes\n" "$ow" "$oc" "$os"
  printf "  rsvg-convert -f pdf:    Median %.3f s Wand, %.3f s CPU, PDF %d Bytes\n" "$rw" "$rc" "$rs"
  awk -v a="$ow" -v b="$rw" -v c="$oc" -v d="$rc" -v e="$os" -v f="$rs" \
    'BEGIN { printf "  Verhältnis unser / rsvg: %.2f (Wand), %.2f (CPU), %.2f (Größe); Ziel <= 0.50 (Wand), Pflicht < 1 und Größe <= 1\n", a / b, c / d, e / f }'
done
