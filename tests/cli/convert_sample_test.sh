#!/usr/bin/env bash
# Converts a copy of the sample project from another folder: every step succeeds, the PTF
# files appear beside the project file and nothing lands in the current folder.
# Usage: convert_sample_test.sh TRIVO SAMPLE-DIR SCRATCH-DIR
set -euo pipefail
trivo=$1 sample=$2 scratch=$3

project_dir="$scratch/sample"
elsewhere="$scratch/elsewhere"
rm -rf "$project_dir" "$elsewhere"
cp -R "$sample" "$project_dir"
mkdir -p "$elsewhere"
cd "$elsewhere"

status=0
output=$("$trivo" convert "$project_dir/sample.tvp" 2>&1) || status=$?
fail() { echo "$1"; echo "--- output"; echo "$output"; exit 1; }

[[ $status -eq 0 ]] || fail "expected exit status 0, got $status"
! grep -q '^\[Fehler\]' <<<"$output" || fail "a step ended with an error"
for file in daygroups.ptf stations.ptf lines.ptf line_stations.ptf line_connections.ptf \
  tt_connections.ptf intervals.ptf; do
  [[ -s "$project_dir/$file" ]] || fail "$file was not written beside the project"
done
compgen -G "$project_dir/tt_*_*_*.ptf" >/dev/null || fail "no timetable tables written"
[[ -z "$(ls -A "$elsewhere")" ]] || fail "files were written into the current folder"
grep -q '^intervals.ptf erstellt' <<<"$output" || fail "step 5 did not finish"
