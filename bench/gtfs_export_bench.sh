#!/usr/bin/env bash
# Times `trivo gtfs-export` on the large generated benchmark project (the one convert_bench
# makes: 150 lines, 30 stations each, 100 trip columns per section, six sections per line)
# against `trivo convert` of the same project in the same run, and measures the export's
# peak memory against the feed's unpacked size.
#
#   bench/gtfs_export_bench.sh BUILD-DIR [RUNS]
#
# Build BUILD-DIR as Release. Targets: the export under 1 s, within 2x of the conversion,
# peak memory below 3x the feed's unpacked size; the times are the best of RUNS, as wall
# time and as processor time (user + system, which a busy machine does not inflate; the
# targets are checked on it). Exits 1 when a target is missed.
set -euo pipefail
build=$1 runs=${2:-3}
trivo="$build/src/cli/trivo"
cmake --build "$build" --target trivo convert_bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/convert_bench" --keep "$work/p" --runs 0 >/dev/null
# Positions for every station, a service period and an agency.
awk '{ sub(/\r$/, ""); printf "%s=%.6f,%.6f\r\n", $0, 50 + NR / 10000, 8 + NR / 7000 }' \
  "$work/p/project/stations.csv" >"$work/p/project/station_positions.csv"
printf '[gtfs]\r\nagency_name=Bench\r\nagency_url=https://example.org\r\nstart_date=20240101\r\nend_date=20241231\r\n' \
  >>"$work/p/project/bench.tvp"

best() { sort -n | head -1; }
time_of() {  # command... -> prints "seconds max-rss-kb cpu-seconds"
  /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$@" >"$work/out" 2>&1 || { cat "$work/out"; exit 1; }
  awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }' "$work/time"
}
export_times=() convert_times=() export_cpu=() convert_cpu=() rss=()
for ((i = 0; i < runs; ++i)); do
  read -r seconds kb cpu < <(time_of "$trivo" gtfs-export "$work/p/project/bench.tvp" "$work/feed.zip")
  export_times+=("$seconds") rss+=("$kb") export_cpu+=("$cpu")
  read -r seconds kb cpu < <(time_of "$trivo" convert "$work/p/project/bench.tvp")
  convert_times+=("$seconds") convert_cpu+=("$cpu")
done
export_s=$(printf '%s\n' "${export_times[@]}" | best)
convert_s=$(printf '%s\n' "${convert_times[@]}" | best)
export_c=$(printf '%s\n' "${export_cpu[@]}" | best)
convert_c=$(printf '%s\n' "${convert_cpu[@]}" | best)
rss_kb=$(printf '%s\n' "${rss[@]}" | best)
unpacked=$(unzip -l "$work/feed.zip" | tail -1 | awk '{print $1}')
packed=$(stat -c %s "$work/feed.zip")
summary=$("$trivo" gtfs-export "$work/p/project/bench.tvp" "$work/feed.zip" | tail -1)
echo "feed: $summary; $unpacked bytes unpacked, $packed packed"
echo "gtfs-export: ${export_s} s wall, ${export_c} s processor (best of $runs), peak memory $((rss_kb / 1024)) MiB"
echo "convert:     ${convert_s} s wall, ${convert_c} s processor (best of $runs)"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
status=0
awk -v e="$export_c" 'BEGIN { exit !(e < 1.0) }' || { echo "MISSED: export not under 1 s"; status=1; }
awk -v e="$export_c" -v c="$convert_c" 'BEGIN { exit !(e <= 2 * c) }' ||
  { echo "MISSED: export slower than 2x the conversion"; status=1; }
awk -v r="$rss_kb" -v u="$unpacked" 'BEGIN { printf "memory: %.2fx the unpacked feed\n", r * 1024 / u; exit !(r * 1024 < 3 * u) }' ||
  { echo "MISSED: memory not below 3x the unpacked feed"; status=1; }
exit $status
