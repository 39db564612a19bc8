#!/usr/bin/env bash
# Builds Trivo and converts the sample project with the command line.
# The sample is copied to out/sample first, so examples/ stays untouched; the PTF files
# appear beside the copied project file.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh

build_dir=build
jobs=${TRIVO_JOBS:-$(nproc)}
if [[ ! -f "$build_dir/CMakeCache.txt" ]]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build_dir" -j "$jobs"

sample=examples/sample
project=sample.tvp
if [[ ! -f "$sample/$project" ]]; then
  echo "demo: the sample project $sample/$project does not exist" >&2
  exit 1
fi

out=out/sample
rm -rf "$out"
mkdir -p "$(dirname "$out")"
cp -a "$sample" "$out"
before=$(cd "$out" && find . -type f | sort)

echo
echo "\$ trivo convert $out/$project"
status=0
# The program writes Windows-1252 bytes; show them readably on a UTF-8 terminal.
"$build_dir/src/cli/trivo" convert "$out/$project" | iconv -f CP1252 -t UTF-8 ||
  status=${PIPESTATUS[0]}
echo "(exit status $status)"

echo
echo "\$ trivo gtfs-export $out/$project $out/gtfs.zip"
gtfs_status=0
"$build_dir/src/cli/trivo" gtfs-export "$out/$project" "$out/gtfs.zip" | iconv -f CP1252 -t UTF-8 ||
  gtfs_status=${PIPESTATUS[0]}
echo "(exit status $gtfs_status)"
((status != 0)) || status=$gtfs_status

echo
echo "Files made in $out:"
after=$(cd "$out" && find . -type f | sort)
made=$(comm -13 <(echo "$before") <(echo "$after"))
if [[ -z "$made" ]]; then
  echo "  (none)"
else
  (cd "$out" && echo "$made" | sed 's|^\./||' | xargs ls -l --)
fi
exit "$status"
