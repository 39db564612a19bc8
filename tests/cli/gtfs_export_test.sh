#!/usr/bin/env bash
# trivo gtfs-export on copies of the sample project: the feed and its summary, stable IDs
# on a second export, the expanded intervals, a check that fails (no feed, an earlier one
# kept, exit 1), a warning (feed written), and an input that is never replaced.
# Usage: gtfs_export_test.sh TRIVO SAMPLE-DIR SCRATCH-DIR
set -uo pipefail
export LC_ALL=C  # the report is Windows-1252
trivo=$1 sample=$2 scratch=$3

work="$scratch/gtfs_export"
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $1"; [[ -n "${output:-}" ]] && { echo "--- output"; echo "$output"; }; exit 1; }
fresh() { rm -rf "$work/p"; cp -R "$sample" "$work/p"; }
run() { status=0; output=$("$trivo" gtfs-export "$@" 2>&1) || status=$?; }

fresh
run "$work/p/sample.tvp" "$work/feed.zip"
[[ $status -eq 0 ]] || fail "expected exit status 0, got $status"
grep -q '^\[Fehler\]' <<<"$output" && fail "the sample project has errors"
grep -qE '^25 Haltestellen, 5 Linien, [0-9]+ Fahrten, [0-9]+ Halte$' <<<"$output" ||
  fail "no summary line"
entries=$(unzip -Z1 "$work/feed.zip" | sort | tr '\n' ' ')
[[ "$entries" == "agency.txt calendar.txt calendar_dates.txt feed_info.txt frequencies.txt routes.txt stop_times.txt stops.txt trips.txt " ]] ||
  fail "unexpected entries: $entries"
[[ -s "$work/p/gtfs_ids.csv" ]] || fail "gtfs_ids.csv not written"
ids=$(cat "$work/p/gtfs_ids.csv")
first_stops=$(unzip -p "$work/feed.zip" stops.txt)

# Again: the same IDs, gtfs_ids.csv untouched.
touch -d '2001-01-01' "$work/p/gtfs_ids.csv"
run "$work/p/sample.tvp" "$work/feed.zip"
[[ $status -eq 0 ]] || fail "second export failed"
[[ "$(cat "$work/p/gtfs_ids.csv")" == "$ids" ]] || fail "gtfs_ids.csv changed"
[[ "$(stat -c %Y "$work/p/gtfs_ids.csv")" == "$(date -d 2001-01-01 +%s)" ]] ||
  fail "gtfs_ids.csv written again without new IDs"
[[ "$(unzip -p "$work/feed.zip" stops.txt)" == "$first_stops" ]] || fail "stop IDs changed"

# Expanded intervals: no frequencies.txt, more trips.
run "$work/p/sample.tvp" "$work/expanded.zip" --expand-intervals
[[ $status -eq 0 ]] || fail "--expand-intervals failed"
unzip -Z1 "$work/expanded.zip" | grep -q frequencies.txt && fail "frequencies.txt with --expand-intervals"
plain=$(unzip -p "$work/feed.zip" trips.txt | wc -l)
expanded=$(unzip -p "$work/expanded.zip" trips.txt | wc -l)
(( expanded > plain )) || fail "expanded feed has no more trips ($expanded <= $plain)"

# A station used by a line without a position: an error, no feed, the earlier one kept.
fresh
grep -av "^Marktplatz=" "$work/p/station_positions.csv" >"$work/positions" &&
  mv "$work/positions" "$work/p/station_positions.csv"
before=$(md5sum <"$work/feed.zip")
run "$work/p/sample.tvp" "$work/feed.zip"
[[ $status -eq 1 ]] || fail "expected exit status 1 for a missing position, got $status"
grep -q '^\[Fehler\] station_positions.csv: Station .Marktplatz. (Linie T1, T2, B10) hat keine Position' \
  <<<"$output" || fail "the missing position is not reported"
grep -qE 'Haltestellen, .* Halte$' <<<"$output" || fail "no summary after the report"
[[ "$(md5sum <"$work/feed.zip")" == "$before" ]] || fail "the earlier feed was replaced"
ls -A "$work" | grep -q '^\.' && fail "a temporary file was left behind"

# A line without trips: a warning, the feed is written.
fresh
printf 'B99\r\n' >>"$work/p/lines.csv"
run "$work/p/sample.tvp" "$work/warned.zip"
[[ $status -eq 0 ]] || fail "a warning made the export fail ($status)"
grep -q '^\[Warnung\] Linie .B99. hat keine Fahrten' <<<"$output" || fail "no warning for B99"
[[ -s "$work/warned.zip" ]] || fail "no feed after a warning"

# An input is never replaced.
fresh
cp "$work/p/sample.tvp" "$work/sample.tvp.orig"
run "$work/p/sample.tvp" "$work/p/sample.tvp"
[[ $status -eq 1 ]] || fail "writing over the project file: expected 1, got $status"
cmp -s "$work/p/sample.tvp" "$work/sample.tvp.orig" || fail "the project file was replaced"
echo "ok"
