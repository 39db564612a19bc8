#!/usr/bin/env bash
# A conversion run again leaves every PTF file that would get the same bytes alone (same
# inode, same modification time) and reports exactly what the first run reported (from the
# folder's record when nothing in the folder changed); a
# changed cell rewrites only its timetable table, a missing output is made again, and an
# output that cannot be written is still reported.
# Usage: unchanged_outputs_test.sh TRIVO SAMPLE-DIR SCRATCH-DIR
set -uo pipefail
trivo=$1 sample=$2 scratch=$3

dir="$scratch/unchanged"
rm -rf "$dir"
mkdir -p "$dir"
cp -R "$sample/." "$dir/"
project="$dir/sample.tvp"

output="" status=0
fail() {
  echo "$1"
  echo "--- output"
  printf '%s\n' "$output" | head -40
  exit 1
}
convert() {
  output=$("$trivo" convert "$project" 2>&1)
  status=$?
}
# Name, inode and modification time (nanoseconds) of every PTF file.
identities() { (cd "$dir" && stat -c '%n %i %.9Y' -- *.ptf); }
# The PTF files whose identity differs from the listing given.
changed_since() { diff <(printf '%s\n' "$1") <(identities) | sed -n 's/^> \([^ ]*\) .*/\1/p'; }
no_temporaries() {
  ! compgen -G "$dir/.*.ptf.*" >/dev/null || fail "a temporary file was left behind"
}

convert
[[ $status -eq 0 ]] || fail "first run: expected exit status 0, got $status"
first_output=$output
first=$(identities)

convert
[[ $status -eq 0 ]] || fail "second run: expected exit status 0, got $status"
[[ "$output" == "$first_output" ]] || fail "the second run reported otherwise than the first"
[[ -z "$(changed_since "$first")" ]] || fail "unchanged outputs were written: $(changed_since "$first")"
no_temporaries

# One cell of line T1, Mo-Fr, direction 1 (same length): only that table changes.
sed -i '0,/04:57,05:17/s//04:58,05:17/' "$dir/line_T1.ttd"
grep -q '04:58,05:17' "$dir/line_T1.ttd" || fail "the cell was not changed"
convert
[[ $status -eq 0 ]] || fail "after a changed cell: expected exit status 0, got $status"
[[ "$output" == "$first_output" ]] || fail "a changed cell changed the report"
changed=$(changed_since "$first")
[[ $(wc -l <<<"$changed") -eq 1 && $changed == tt_*_1_*.ptf ]] ||
  fail "expected one timetable table of direction 1 rewritten, got: $changed"
grep -q ',298,' "$dir/$changed" || fail "$changed does not hold the changed time"
no_temporaries

# The second run of an unchanged folder was answered from the folder's record; an input
# changed behind its back (same size, its old modification time put back) is converted
# all the same.
[[ -s "$dir/.trivo-conversion" ]] || fail "no conversion record was kept"
touch -r "$dir/line_T1.ttd" "$dir/stamp"
sed -i '0,/04:58,05:17/s//04:59,05:17/' "$dir/line_T1.ttd"
touch -r "$dir/stamp" "$dir/line_T1.ttd"
rm "$dir/stamp"
convert
[[ "$output" == "$first_output" ]] || fail "a changed cell behind the record changed the report"
grep -q ',299,' "$dir/$changed" || fail "$changed does not hold the time changed behind the record"

# A missing output is made again; the others stay.
second=$(identities)
rm "$dir/lines.ptf"
convert
[[ $status -eq 0 ]] || fail "after removing lines.ptf: expected exit status 0, got $status"
[[ -s "$dir/lines.ptf" ]] || fail "lines.ptf was not made again"
[[ "$(changed_since "$second")" == "lines.ptf" ]] ||
  fail "expected only lines.ptf written, got: $(changed_since "$second")"

# A folder in an output's place is reported as before, and the run still goes on.
rm "$dir/intervals.ptf"
mkdir "$dir/intervals.ptf"
convert
[[ $status -eq 1 ]] || fail "with a folder as intervals.ptf: expected exit status 1, got $status"
grep -qF 'Fehler beim Erstellen von intervals.ptf' <<<"$output" ||
  fail "the folder in place of intervals.ptf was not reported"
grep -qF 'tt_connections.ptf erstellt' <<<"$output" || fail "the run did not go on"
no_temporaries
exit 0
