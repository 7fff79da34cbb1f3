#!/usr/bin/env bash
# The header table as a chart: one panel per Boost version and language
# level, in each the front end and personality pairs with three bars, the
# share of Boost's top-level headers that read (a) plainly, (b) with the
# personality's macros alone and (c) through the substitute tree.
#
#   scripts/header_chart.sh TABLE [PNG]
#
# TABLE is any file that holds the table scripts/measure_boost_headers.sh
# prints (its report's table.md, a saved run, or docs/header-table.md, which
# quotes it): every line "| version | level | front end | personality |
# headers | a | b | c |" counts, others are passed over. PNG is
# docs/header-table.png unless given. Needs gnuplot (Debian's gnuplot-nox).
set -euo pipefail
table=${1:?usage: header_chart.sh TABLE [PNG]}
png=${2:-$(cd "$(dirname "$0")/.." && pwd)/docs/header-table.png}
command -v gnuplot >/dev/null || { echo "header_chart: gnuplot not found (apt-get install gnuplot-nox)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One data file per panel, a line per pair: "pair" a% b% c%, b as "-" when
# not measured.
awk -F'|' -v dir="$work" '
  function trim(s) { gsub(/^[ \t`]+|[ \t`]+$/, "", s); return s }
  $2 ~ /^ *[0-9]+\.[0-9]+ *$/ && NF >= 10 {
    v = trim($2); l = trim($3); fe = trim($4); p = trim($5); n = trim($6)
    if (n + 0 == 0) next
    sub(/^mingw$|^MinGW-w64 g\+\+$/, "MinGW-w64", fe); sub(/^gxx$/, "g++", fe); sub(/^clang$/, "clang++", fe)
    b = trim($8)
    b = (b == "-" ? "-" : sprintf("%.1f", 100 * b / n))
    f = dir "/" v "_" l ".dat"
    if (!(f in seen)) { seen[f] = 1; order[++count] = v " " l " " n }
    printf "\"%s %s\" %.1f %s %.1f\n", fe, p, 100 * trim($7) / n, b, 100 * trim($9) / n >> f
  }
  END { for (i = 1; i <= count; i++) print order[i] > (dir "/panels") }' "$table"
[ -s "$work/panels" ] || { echo "header_chart: no table rows in $table" >&2; exit 1; }

versions=$(cut -d' ' -f1 "$work/panels" | sort -uV | wc -l)
levels=$(cut -d' ' -f2 "$work/panels" | sort -u | wc -l)
{
  echo "set terminal pngcairo size $((levels * 760)),$((versions * 380 + 60)) font 'DejaVu Sans,10'"
  echo "set output '$png'"
  echo "set datafile missing '-'"
  echo "set style data histograms"
  echo "set style histogram clustered gap 1"
  echo "set style fill solid 1.0 noborder"
  echo "set boxwidth 0.9"
  echo "set lmargin 14"
  echo "set bmargin 5"
  echo "set yrange [0:105]"
  echo "set ytics 0,25,100"
  echo "set grid ytics lc rgb '#dddddd'"
  echo "set ylabel 'headers that read (%)'"
  echo "set xtics rotate by 30 right nomirror font ',8'"
  echo "set key top horizontal outside center maxrows 1"
  echo "set multiplot layout $versions,$levels title 'Boost top-level headers read by stand-ins for the analyser: (a) plainly, (b) with the personality macros alone, (c) through the substitute tree' font ',12'"
  # The key once, above the first panel.
  first=1
  sort -k1,1V -k2,2n "$work/panels" | while read -r v l n; do
    [ "$first" = 1 ] || echo "unset key"
    first=0
    echo "set xrange [-0.6:$(($(wc -l < "$work/${v}_$l.dat") - 1)).6]"
    echo "set title 'Boost $v, C++$l ($n headers)'"
    echo "plot '$work/${v}_$l.dat' using 2:xtic(1) title '(a) plainly' lc rgb '#8c8c8c', '' using 3 title '(b) macros alone' lc rgb '#d9541e', '' using 4 title '(c) through the tree' lc rgb '#1f5fa8'"
  done
  echo "unset multiplot"
} > "$work/chart.gp"
gnuplot "$work/chart.gp"
echo "$png"
