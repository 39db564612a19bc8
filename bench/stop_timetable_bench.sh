#!/usr/bin/env bash
# All departure posters of the large generated benchmark project (every station, line and
# direction) into one PDF, timed beside `trivo convert` of the same project, with the
# peak memory of each, and the resident memory of the poster run sampled through it (a
# tenth, half and nine tenths into the run), to show that memory does not grow with the
# pages written; then the same for a project of 40 lines.
#
#   bench/stop_timetable_bench.sh [BUILD-DIR]     (default: build-release)
set -euo pipefail
build=${1:-build-release}
trivo=$build/src/cli/trivo
generate=$build/bench/convert_bench
for program in "$trivo" "$generate"; do
  [ -x "$program" ] || { echo "missing $program (build the targets trivo and convert_bench)" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "missing /usr/bin/time (Debian package time)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() {  # name, command...: prints seconds, peak kilobytes and processor seconds
  local name=$1
  shift
  /usr/bin/time -f "%e %M %U" -o "$work/$name.time" "$@" > "$work/$name.out"
  cat "$work/$name.time"
}

posters() {  # label, project, output name, options...: one book, measured
  local label=$1 project=$2 name=$3
  shift 3
  read -r posterTime posterKb posterCpu < <(measure "$name" "$trivo" stop-timetable "$project" "$work/$name.pdf" "$@")
  count=$(tail -n 1 "$work/$name.out" | iconv -f CP1252 -t UTF-8)
  pages=$(pdfinfo "$work/$name.pdf" 2> /dev/null | awk '/^Pages:/ { print $2 }')
  size=$(du -m "$work/$name.pdf" | cut -f1)
  echo "$label: trivo stop-timetable ${posterTime} s for ${count%% *} posters, ${pages:-?} pages," \
    "$(awk -v p="${pages:-0}" -v t="$posterTime" 'BEGIN { printf "%.0f", (t > 0 ? p / t : 0) }') pages/s," \
    "${size} MB PDF (processor ${posterCpu} s, peak ${posterKb} kB)"
}

for lines in 150 40; do
  "$generate" --keep "$work/p$lines" --runs 0 --lines "$lines" > /dev/null
  project=$work/p$lines/project/bench.tvp
  read -r convertTime convertKb convertCpu < <(measure convert$lines "$trivo" convert "$project")
  echo "$lines lines: trivo convert ${convertTime} s (processor ${convertCpu} s, peak ${convertKb} kB)"
  posters "$lines lines" "$project" "book$lines"
  # Resident memory through a second run of the same book.
  "$trivo" stop-timetable "$project" "$work/sampled$lines.pdf" > /dev/null &
  pid=$!
  : > "$work/rss$lines"
  while kill -0 "$pid" 2> /dev/null; do
    awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" >> "$work/rss$lines" 2> /dev/null || true
    sleep 0.1
  done
  wait "$pid"
  awk -v label="$lines lines" '{ rss[NR] = $1 } END {
    if (NR < 10) { print label ": run too short to sample"; exit }
    printf "%s: resident %d kB a tenth into the run, %d kB at half, %d kB at nine tenths\n",
      label, rss[int(NR / 10)], rss[int(NR / 2)], rss[int(NR * 9 / 10)] }' "$work/rss$lines"
done
