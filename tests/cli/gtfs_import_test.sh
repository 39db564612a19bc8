#!/usr/bin/env bash
# `trivo gtfs-import` on small feeds: the summary on standard output, the project it
# makes (which `trivo convert` then takes), and the exit statuses of refused imports.
# Usage: gtfs_import_test.sh TRIVO SCRATCH-DIR
set -uo pipefail
trivo=$1 scratch=$2
work=$(mktemp -d "$scratch/gtfs_import.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# feed NAME.zip FILE=TEXT...: a ZIP of the files (Python's zipfile; no zip program needed)
feed() {
  local zip=$1
  shift
  python3 - "$zip" "$@" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for arg in sys.argv[2:]:
        name, text = arg.split("=", 1)
        z.writestr(name, text)
PY
}

calendar='calendar.txt=service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,end_date
WD,1,1,1,1,1,0,0,20250106,20251231
'
feed "$work/feed.zip" "$calendar" \
  'agency.txt=agency_name,agency_url,agency_timezone
Verkehrsbetrieb,https://example.org,Europe/Berlin
' 'stops.txt=stop_id,stop_name
A,Anger
B,Südbahnhof
C,Chaussee
' 'routes.txt=route_id,route_short_name,route_type
R1,1,0
' 'trips.txt=route_id,service_id,trip_id,direction_id
R1,WD,T1,0
R1,WD,T2,1
R1,WD,T3,0
' 'stop_times.txt=trip_id,arrival_time,departure_time,stop_id,stop_sequence
T1,7:00:00,7:00:00,A,1
T1,7:05:00,7:05:00,B,2
T1,7:12:00,7:12:00,C,3
T2,8:00:00,8:00:00,C,1
T2,8:06:00,8:06:00,B,2
T2,8:11:00,8:11:00,A,3
T3,7:5,7:5,A,1
'

out=$("$trivo" gtfs-import "$work/feed.zip" "$work/netz" --week 2025-01-13 2>"$work/err" | iconv -f CP1252 -t UTF-8)
status=${PIPESTATUS[0]}
[[ $status -eq 0 ]] || fail "import exits with $status: $out $(cat "$work/err")"
expected="3 Haltestellen, 1 Linien, 1 Tagesgruppen
2 Fahrten übernommen, 1 ausgelassen
  1 ausgelassen: ohne verwendbare Halte in stop_times.txt
1 Zeilen des Feeds ausgelassen
Projekt: $work/netz/netz.tvp"
[[ "$out" == "$expected" ]] || { fail "summary"; diff <(echo "$expected") <(echo "$out"); }
[[ -s "$work/err" ]] && fail "standard error: $(cat "$work/err")"
for file in netz.tvp stations.csv lines.csv line_stations.csv station_lines.csv line_1.ttd \
    distances.csv station_positions.csv gtfs_ids.csv gtfs-import.txt; do
  [[ -f "$work/netz/$file" ]] || fail "no $file"
done
grep -q 'Bezugswoche: 2025-01-13 bis 2025-01-19' "$work/netz/gtfs-import.txt" || fail "week in the report"
grep -q 'stop_times.txt, Zeile 8: Zeit' "$work/netz/gtfs-import.txt" || fail "bad time in the report"
[[ $(stat -c %a "$work/netz") == $(cd "$work" && mkdir probe && stat -c %a probe && rmdir probe) ]] ||
  fail "the project folder has other rights than a new folder: $(stat -c %a "$work/netz")"
"$trivo" convert "$work/netz/netz.tvp" >"$work/convert.out" || fail "convert: $(cat "$work/convert.out")"

# A second import into the project's folder is refused and changes nothing.
before=$(cat "$work/netz/netz.tvp")
out=$("$trivo" gtfs-import "$work/feed.zip" "$work/netz" 2>&1)
[[ $? -eq 1 && "$out" == "[Fehler] Im Ordner $work/netz liegt schon ein Projekt (netz.tvp)"* ]] ||
  fail "second import: $out"
[[ "$(cat "$work/netz/netz.tvp")" == "$before" ]] || fail "the project file changed"

# Not a ZIP: exit 1 with the reason, nothing made.
echo "stop_id" >"$work/plain.zip"
out=$("$trivo" gtfs-import "$work/plain.zip" "$work/other" 2>&1)
[[ $? -eq 1 && "$out" == "[Fehler] ZIP-Archiv plain.zip: keine ZIP-Datei" ]] || fail "not a zip: $out"
[[ -e "$work/other" ]] && fail "a folder was made for an unreadable feed"

# No trip in the reference week: exit 1, the reasons, nothing made.
out=$("$trivo" gtfs-import "$work/feed.zip" "$work/other" --routes R9 2>&1 | iconv -f CP1252 -t UTF-8)
[[ ${PIPESTATUS[0]} -eq 1 && "$out" == *"Nichts Verwendbares gefunden: kein Projekt angelegt" ]] ||
  fail "nothing usable: $out"
[[ -e "$work/other" ]] && fail "a folder was made without a trip"
ls -A "$work" | grep -q '^\.' && fail "a temporary folder was left: $(ls -A "$work")"

exit $failed
