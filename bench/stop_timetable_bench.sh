#!/usr/bin/env bash
# All departure posters of the large generated benchmark project (every station, line and
# direction) into one PDF, timed beside `trivo convert` of the same project, with the
# peak memory of each, and the same for a project of 40 lines to show that memory does
# not grow with the number of pages.
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

for lines in 150 40; do
  "$generate" --keep "$work/p$lines" --runs 0 --lines "$lines" > /dev/null
  project=$work/p$lines/project/bench.tvp
  read -r convertTime convertKb convertCpu < <(measure convert$lines "$trivo" convert "$project")
  read -r posterTime posterKb posterCpu < <(measure posters$lines "$trivo" stop-timetable "$project" "$work/book$lines.pdf")
  count=$(tail -n 1 "$work/posters$lines.out" | iconv -f CP1252 -t UTF-8)
  posters=${count%% *}
  pages=$(pdfinfo "$work/book$lines.pdf" 2> /dev/null | awk '/^Pages:/ { print $2 }')
  size=$(du -m "$work/book$lines.pdf" | cut -f1)
  echo "$lines lines: trivo convert ${convertTime} s (processor ${convertCpu} s, peak ${convertKb} kB)"
  echo "$lines lines: trivo stop-timetable ${posterTime} s for ${posters} posters, ${pages:-?} pages," \
    "$(awk -v p="${pages:-0}" -v t="$posterTime" 'BEGIN { printf "%.0f", (t > 0 ? p / t : 0) }') pages/s," \
    "${size} MB PDF (processor ${posterCpu} s, peak ${posterKb} kB)"
done
