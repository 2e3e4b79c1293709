#!/usr/bin/env bash
# tevtool on the largest files a data file can hold, against small ones of the same kind: time
# and peak memory of stats and report on 65,535 one-packet sets (against 4,096), and of stats,
# plot and report on one set of 2,031,585 samples (against 31,744), with the ratio large over
# small per set or per sample (1.00: the cost grows as the data do) and the sizes written.
# Usage: bench/tevtool-huge.sh TEVTOOL MAKE_HUGE_FLIGHTS. One run; figures, never a verdict.
set -euo pipefail
tevtool=$1 make=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make" "$work"

# Seconds, peak kilobytes and the output's bytes of one command.
measure() {
  local out=$1
  shift
  /usr/bin/time -f '%e %M' -o "$work/time" "$tevtool" "$@" >"$work/stdout" 2>/dev/null || { echo "failed: tevtool $*"; exit 1; }
  local size
  if [ "$out" = - ]; then size=$(stat -c %s "$work/stdout"); else size=$(stat -c %s "$out"); fi
  echo "$(cat "$work/time") $size"
}

row() {  # LABEL UNIT SMALL_N LARGE_N SMALL_FIGURES LARGE_FIGURES
  local label=$1 unit=$2 sn=$3 ln=$4
  read -r st sm ss <<<"$5"
  read -r lt lm ls <<<"$6"
  awk -v label="$label" -v unit="$unit" -v sn="$sn" -v ln="$ln" -v st="$st" -v sm="$sm" -v ss="$ss" \
      -v lt="$lt" -v lm="$lm" -v ls="$ls" 'BEGIN {
    per = (lt / ln) / ((st > 0.005 ? st : 0.005) / sn)
    printf "%-28s %7d %-7s %7.2f s %7.1f MB %9.1f MB out | %7d: %6.2f s %6.1f MB %7.2f MB out | time per %s x %.2f\n",
           label, ln, unit, lt, lm / 1024, ls / 1048576, sn, st, sm / 1024, ss / 1048576, unit, per }'
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) (2 cores; other people's builds count)"
echo "                             large                                             | small                             | large/small"
row "stats, one-packet sets" sets 4096 65535 "$(measure - stats "$work/sets-4096.tev")" "$(measure - stats "$work/sets-65535.tev")"
row "stats --json, sets" sets 4096 65535 "$(measure - stats --json "$work/sets-4096.tev")" \
  "$(measure - stats --json "$work/sets-65535.tev")"
row "report, one-packet sets" sets 4096 65535 "$(measure "$work/s.html" report "$work/sets-4096.tev" -o "$work/s.html")" \
  "$(measure "$work/l.html" report "$work/sets-65535.tev" -o "$work/l.html")"
row "stats, one long set" samples 31744 2031585 "$(measure - stats "$work/long-1024.tev")" \
  "$(measure - stats "$work/long-65535.tev")"
row "plot 1200x800, one long set" samples 31744 2031585 "$(measure "$work/s.svg" plot "$work/long-1024.tev" -o "$work/s.svg")" \
  "$(measure "$work/l.svg" plot "$work/long-65535.tev" -o "$work/l.svg")"
row "report, one long set" samples 31744 2031585 \
  "$(measure "$work/s.html" report "$work/long-1024.tev" -o "$work/s.html")" \
  "$(measure "$work/l.html" report "$work/long-65535.tev" -o "$work/l.html")"
