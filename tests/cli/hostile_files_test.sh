#!/usr/bin/env bash
# The command line against projects laid out carelessly or with hostile intent: each case
# builds a copy of the sample project with one odd file, runs trivo and checks its exit
# status, its output and that no input changed.
# Usage: hostile_files_test.sh TRIVO SAMPLE-DIR SCRATCH-DIR CASE
set -uo pipefail
trivo=$1 sample=$2 scratch=$3 case=$4

dir="$scratch/hostile-$case"
rm -rf "$dir" "$dir.project"
mkdir -p "$dir"
cp -R "$sample/." "$dir/"
project="$dir/sample.tvp"

output=""
status=0
limit=20  # seconds a command may take
run_command() {  # runs a command with a time limit: output into $output, exit status into $status
  output=$(timeout "$limit" "$@" 2>&1)
  status=$?
}
run() { run_command "$trivo" "$@"; }
fail() {
  echo "$case: $1"
  echo "--- output"
  printf '%s\n' "$output" | head -40
  exit 1
}
expect_status() { [[ $status -eq $1 ]] || fail "expected exit status $1, got $status"; }
expect_line() { grep -qF -- "$1" <<<"$output" || fail "expected a line with '$1'"; }
expect_lines() { [[ $(grep -c '' <<<"$output") -eq $1 ]] || fail "expected $1 lines of output"; }

case "$case" in
  project_named_like_output)
    # The project file is called lines.ptf: the conversion must not replace it.
    mv "$project" "$dir/lines.ptf"
    cp "$dir/lines.ptf" "$dir.project"
    run convert "$dir/lines.ptf"
    expect_status 1
    expect_line "[Meldung] Datei lines.ptf wird nicht"
    expect_line "[Meldung] Fehler beim Erstellen von lines.ptf"
    cmp -s "$dir/lines.ptf" "$dir.project" || fail "the project file changed"
    [[ -s "$dir/intervals.ptf" ]] || fail "the other outputs were not written"
    ;;
  fifo_input)
    # A FIFO without writer in place of an input would block a plain open for ever.
    rm "$dir/stations.csv" "$dir/line_stations.csv"
    mkfifo "$dir/stations.csv" "$dir/line_stations.csv"
    run convert "$project" --steps 2
    expect_status 1
    expect_line "[Fehler] Datei $dir/stations.csv kann nicht ge"
    run parallels "$project"
    expect_status 1
    expect_line "[Fehler] Datei $dir/line_stations.csv kann nicht ge"
    ;;
  endless_device_input)
    # /dev/zero behind a link would be read without end.
    rm "$dir/lines.csv"
    ln -s /dev/zero "$dir/lines.csv"
    run convert "$project" --steps 3
    expect_status 1
    expect_line "[Fehler] Datei $dir/lines.csv kann nicht ge"
    ;;
  output_not_writable)
    # A folder where lines.ptf should go: the step reports it, the run goes on, and the
    # exit status tells that a file is missing.
    mkdir "$dir/lines.ptf"
    run convert "$project" --steps 1,3
    expect_status 1
    expect_line "[Meldung] Fehler beim Erstellen von lines.ptf"
    expect_line "daygroups.ptf erstellt"
    ;;
  line_break_in_name)
    # A folder name with a line break must not split a report into a forged second line.
    odd="$scratch/hostile-x"$'\n'"[Fehler] y"
    rm -rf "$odd"
    mkdir -p "$odd"
    cp "$project" "$odd/sample.tvp"
    run parallels "$odd/sample.tvp"
    rm -rf "$odd"
    expect_status 1
    expect_line '[Fehler] Datei '"$scratch"'/hostile-x\n[Fehler] y/line_stations.csv'
    [[ $(grep -c '^\[Fehler\]' <<<"$output") -eq 1 ]] || fail "expected exactly one [Fehler] line"
    ;;
  network_too_large_for_a_matrix)
    # 100,000 stations (the sample's, repeated): the matrix would not fit. The loading
    # is refused before it takes the memory, and no query runs on what it left.
    cp "$sample/stations.csv" "$dir/many"
    while (($(wc -l <"$dir/many") < 100000)); do cat "$dir/many" "$dir/many" >"$dir/more" && mv "$dir/more" "$dir/many"; done
    head -n 100000 "$dir/many" >"$dir/stations.csv"
    run query "$project" Rathaus Ziegelei 07:00
    expect_status 1
    expect_line "[Fehler] Zu viele Stationen f"
    expect_line ": 100000 (h"
    expect_line "[Meldung] Keine Abfrage m"
    run network "$project"
    expect_status 1
    expect_line ": 100000 (h"
    ;;
  list_values_with_many_commas)
    # Every line of station_lines.csv ends in 100,000 commas: the transfer maps grow in
    # time linear in the lists.
    sed -i 's/\r$/'"$(printf ',%.0s' $(seq 100000))"'\r/' "$dir/station_lines.csv"
    limit=100
    run network "$project"
    expect_status 0
    expect_line "[TransferStationLines]"
    # The 100,000 lines named "" at every station would make the search grow without end.
    run query "$project" Rathaus Ziegelei 07:00
    expect_status 1
    expect_line "[Fehler] Die Abfrage bricht ab: das Netz ergibt mehr als 2000000 Suchschritte"
    ;;
  line_breaks_in_arguments)
    # Names with a line break, in every command that quotes them: one line each.
    odd="$scratch/hostile-with"$'\r\n'"[Fehler] injected"
    rm -rf "$odd"
    mkdir -p "$odd"
    cp -R "$sample/." "$odd/"
    run convert "$odd/sample.tvp"
    run preview "$odd/sample.tvp"
    expect_status 0
    expect_lines 1
    expect_line "/hostile-with\r\n[Fehler] injected/index.html"
    run html-import "$odd/missing.html"
    expect_status 2
    expect_lines 1
    run edit "$odd/sample.tvp" "$odd/missing.script"
    expect_status 2
    expect_lines 1
    expect_line "missing.script kann nicht ge"
    run query "$odd/missing.tvp" Rathaus Ziegelei
    expect_status 2
    expect_lines 1
    run query "$project" Rathaus Ziegelei $'07:00\n[Fehler] x'
    expect_status 2
    expect_lines 1
    run $'frob\nnicate'
    expect_status 2
    expect_lines 1
    rm -rf "$odd"
    [[ $(grep -c '^\[Fehler\]' <<<"$output") -eq 0 ]] || fail "a forged [Fehler] line"
    ;;
  second_conversion_is_refused)
    # Another program converts in the folder (it holds the folder's lock).
    run_command flock "$dir" "$trivo" convert "$project"
    expect_status 1
    expect_line "[Fehler] Im Ordner $dir l"
    [[ ! -e "$dir/stations.ptf" ]] || fail "a file was written while another conversion ran"
    run convert "$project"
    expect_status 0
    ;;
  gtfs_export_inputs)
    # The export against a FIFO, an endless device and an unwritable target: the German
    # error, exit status 1, no archive and no temporary file.
    rm "$dir/station_positions.csv"
    mkfifo "$dir/station_positions.csv"
    run gtfs-export "$project" "$dir/feed.zip"
    expect_status 1
    expect_line "[Fehler] Datei station_positions.csv kann nicht ge"
    rm "$dir/station_positions.csv"
    cp "$sample/station_positions.csv" "$dir/"
    ln -s /dev/zero "$dir/gtfs_ids.csv"
    run gtfs-export "$project" "$dir/feed.zip"
    expect_status 1
    expect_line "[Fehler] Datei gtfs_ids.csv kann nicht ge"
    rm "$dir/gtfs_ids.csv"
    run gtfs-export "$project" "$dir/missing-folder/feed.zip"
    expect_status 1
    expect_line "[Fehler] In $dir/missing-folder/feed.zip kann nicht geschrieben werden"
    [[ ! -e "$dir/feed.zip" ]] || fail "an archive was written"
    ls -A "$dir" | grep -q '^\.' && fail "a temporary file was left behind"
    run gtfs-export "$project" "$dir/feed.zip"
    expect_status 0
    ;;
  *)
    fail "unknown case"
    ;;
esac
rm -rf "$dir" "$dir.project"
