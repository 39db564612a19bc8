#!/usr/bin/env bash
# Checks the whole output of `trivo html-import` on the timetable page of tests/data and
# on small pages: which table wins, the escaped grid and the exit status.
# Usage: html_import_test.sh TRIVO DATA-DIR SCRATCH-DIR
set -uo pipefail
trivo=$1 data=$2 scratch=$3
page="$data/fahrplan_linie5.html"
failed=0

# expect NAME STATUS EXPECTED-STDOUT -- ARGS...
expect() {
  local name=$1 status=$2 expected=$3
  shift 4
  local out got_status
  out=$("$trivo" html-import "$@" 2>/dev/null; echo "#$?")
  got_status=${out##*#}
  out=${out%#*}
  if [[ "$got_status" != "$status" || "$out" != "$expected" ]]; then
    echo "FAILED: $name (exit status $got_status, expected $status)"
    diff <(printf '%s' "$expected") <(printf '%s' "$out")
    failed=1
  fi
}

printf -v empty_grid '\t\t\t\t\n%.0s' 1 2 3 4 5

timetable=$'Haltestelle\tFahrt 1\tFahrt 2\tFahrt 3
Hauptbahnhof\t05:12\t05:42\t06:12
Rathaus\t05:15\t05:45\t06:15
Marktplatz\t05:17\t|\t06:17
M\xc3\xbcllerstra\xc3\x9fe\\n(Ersatzhalt)\t05:20\t05:49\t06:20
Zoo\t05:24\t05:53\t06:24
'
nav=$'Start\tLinien\tHauptbahnhof\n'

# The timetable scores 2, the navigation table 1: the timetable wins though it comes second.
expect timetable_wins 0 "$timetable" -- "$page" --station Hauptbahnhof --station Rathaus
# Equal scores: the earlier table, here the navigation table.
expect first_of_equal_scores 0 "$nav" -- "$page" --station=Hauptbahnhof
# Letter case counts; with no station found anywhere the grid stays empty.
expect no_winner_keeps_empty_grid 0 "$empty_grid" -- "$page" --station hauptbahnhof
expect no_stations_no_winner 0 "$empty_grid" -- "$page"
# Names are compared byte for byte with the file.
expect umlauts_byte_for_byte 0 "$timetable" -- "$page" --station $'M\xc3\xbcllerstra\xc3\x9fe'

# The heading "Stationen" always counts.
printf '<table><tr><td>a\\b\tc\r</td></tr></table><table><tr><td>Stationen</td></tr></table>' \
  >"$scratch/heading.html"
expect heading_counts 0 $'Stationen\n' -- "$scratch/heading.html"
expect cells_escaped 0 $'a\\\\b\\tc\\r\n' -- "$scratch/heading.html" --station c

# A table too large for the work grid: exit status 1, the grid untouched.
{
  printf '<table><tr><td>Stationen</td>'
  for ((i = 0; i < 1001; i++)); do printf '<td></td>'; done
  for ((i = 0; i < 1000; i++)); do printf '<tr>'; done
  printf '</table>'
} >"$scratch/huge.html"
expect too_large_table_fails 1 "$empty_grid" -- "$scratch/huge.html"

exit $failed
