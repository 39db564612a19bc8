#!/usr/bin/env bash
# Kills `trivo convert` with SIGKILL at many moments while it converts a large generated
# project, and checks after every kill that each PTF file present is complete (the old
# or the new file, never a truncated one) and at the end that no input changed and that
# the next run leaves no temporary file behind.
# Usage: kill_test.sh TRIVO CONVERT-BENCH SCRATCH-DIR [KILLS]
set -euo pipefail
trivo=$1 generator=$2 scratch=$3 kills=${4:-40}

root="$scratch/kill"
rm -rf "$root"
mkdir -p "$root"
fail() { echo "kill test: $1"; exit 1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# The project: 40 lines of 30 stations, 3 day groups, 100 trips per section.
"$generator" --keep "$root/gen" --runs 0 --lines 40 >/dev/null
project_dir="$root/gen/project"

# The new files: the project converted completely. The old files: a variant of it (its
# lines in the opposite order, so every file differs) converted completely.
cp -R "$project_dir" "$root/new"
cp -R "$project_dir" "$root/old"
tac "$project_dir/lines.csv" >"$root/old/lines.csv"
start=$(now_ms)
"$trivo" convert "$root/new/bench.tvp" >/dev/null || fail "the conversion of the project failed"
duration=$(($(now_ms) - start))
"$trivo" convert "$root/old/bench.tvp" >/dev/null || fail "the conversion of the variant failed"
(cd "$root/new" && md5sum -- *.ptf) >"$root/new.sums"
(cd "$root/old" && md5sum -- *.ptf) >"$root/old.sums"

# The folder the kills happen in starts with the old files.
work="$root/work"
cp -R "$project_dir" "$work"
cp "$root/old/"*.ptf "$work/"
inputs_before=$(cd "$work" && md5sum -- $(ls | grep -v '\.ptf$'))

# Every PTF file must be the old or the new one.
check_outputs() {
  (cd "$work" && md5sum -- *.ptf) | awk '
    FILENAME == ARGV[1] { fresh[$2] = $1; next }
    FILENAME == ARGV[2] { stale[$2] = $1; next }
    $1 != fresh[$2] && $1 != stale[$2] { print $2; bad = 1 }
    END { exit bad }' "$root/new.sums" "$root/old.sums" - ||
    fail "after kill $1: the files above are neither old nor new (truncated?)"
}
# Dot files but the conversion record, which a complete run leaves on purpose.
temporaries() { find "$work" -maxdepth 1 -name '.*' ! -name .trivo-conversion -type f | wc -l; }

# A slow build (the sanitizers) kills less often, so that the kills take about 30 s at most.
if ((duration * kills / 2 > 30000)); then kills=$((60000 / duration > 10 ? 60000 / duration : 10)); fi

killed=0 finished=0 left_temporaries=0
for ((kill = 1; kill <= kills; ++kill)); do
  # A moment spread over the whole run, from its first to its last millisecond.
  delay_ms=$((RANDOM % (duration + 1)))
  "$trivo" convert "$work/bench.tvp" >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  if kill -KILL "$pid" 2>/dev/null; then killed=$((killed + 1)); else finished=$((finished + 1)); fi
  wait "$pid" 2>/dev/null || true
  check_outputs "$kill"
  [[ $(temporaries) -eq 0 ]] || left_temporaries=$((left_temporaries + 1))
done

# The next run removes what the killed ones left (and a half-written file planted as if
# one more kill had hit a write) and finishes with the new files.
printf 'porTables[porTables.length] = new Array(\r\n"ID",' >"$work/.tt_1_1_1.ptf.Ab12Cd"
"$trivo" convert "$work/bench.tvp" >/dev/null || fail "the run after the kills failed"
[[ $(temporaries) -eq 0 ]] || fail "temporary files remain after a complete run: $(ls -A "$work" | grep '^\.' | grep -vx .trivo-conversion)"
(cd "$work" && md5sum -- *.ptf) | cmp -s - "$root/new.sums" ||
  fail "after a complete run the PTF files are not the new ones"
[[ "$(cd "$work" && md5sum -- $(ls | grep -v '\.ptf$'))" == "$inputs_before" ]] ||
  fail "an input changed"

echo "kill test: conversion ${duration} ms; $kills runs: $killed killed while converting" \
  "($left_temporaries left temporary files), $finished finished first;" \
  "every PTF file old or new after each, no input changed, no temporary file after the next run"
rm -rf "$root"
