#!/usr/bin/env bash
# Renders one route of the sample project's GTFS feed with gtfs-to-html (a consumer that
# builds passenger timetables from a feed) and screenshots its page with Debian's headless
# chromium, as a check by eye that a feed consumer reads trips, stops, days and the
# trips past midnight as the project has them.
#
#   bench/gtfs_to_html_render.sh BUILD-DIR [SCREENSHOT]   (default: docs/gtfs-to-html-T1.png)
#
# gtfs-to-html 2.5.6 (the newest that runs on Node.js 20; later ones need 22) is installed
# from the npm registry into BUILD-DIR/interop-npm, beside the node-gtfs of the interop
# test and over the same node-gtfs 4.18.2 and better-sqlite3 12.5.0 (pinned by overrides),
# without its PDF browser download (PUPPETEER_SKIP_DOWNLOAD: only HTML is made).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
shot=${2:-$root/docs/gtfs-to-html-T1.png}
cache="$build/interop-npm"
mkdir -p "$cache"
cat >"$cache/package.json" <<'JSON'
{
  "private": true,
  "overrides": { "gtfs": "4.18.2", "better-sqlite3": "12.5.0" }
}
JSON
if [[ ! -d "$cache/node_modules/gtfs-to-html" ]]; then
  (cd "$cache" && PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund \
    gtfs@4.18.2 better-sqlite3@12.5.0 gtfs-to-html@2.5.6 >install-html.log 2>&1) ||
    { tail -30 "$cache/install-html.log"; exit 1; }
fi

work="$build/gtfs-to-html"
rm -rf "$work"
mkdir -p "$work"
cp -R "$root/examples/sample" "$work/project"
# With the interval trips as trips of their own: this gtfs-to-html, over the newer
# node-gtfs it runs on here, shows every step of a frequencies.txt row with an empty row
# after it (the frequencies themselves arrive whole, as the interop test checks).
"$build/src/cli/trivo" gtfs-export "$work/project/sample.tvp" "$work/feed.zip" --expand-intervals |
  iconv -f CP1252 -t UTF-8
cat >"$work/config.json" <<JSON
{
  "agencies": [{ "agencyKey": "hohenfeld", "path": "$work/feed.zip" }],
  "sqlitePath": "$work/feed.db",
  "outputPath": "$work/html",
  "outputFormat": "html",
  "showMap": false,
  "zipOutput": false,
  "beautify": true,
  "verbose": false,
  "overwriteExistingFiles": true
}
JSON
bin=$(cd "$cache" && node -p 'const p=require("./node_modules/gtfs-to-html/package.json"); typeof p.bin==="string"?p.bin:Object.values(p.bin)[0]')
# This version writes into html/ of the current folder.
(cd "$work" && node "$cache/node_modules/gtfs-to-html/$bin" --configPath "$work/config.json")
# The Monday-to-Friday page of route T1 (its file name carries the short name).
page=$(find "$work/html" -name '*_t1_0_mon-fri.html' | head -1)
[[ -n "$page" ]] || page=$(find "$work/html" -name '*.html' ! -name index.html | sort | head -1)
grep -A12 '^Warnings' "$work/html/log.txt" || true
[[ -n "$page" ]] || { echo "gtfs-to-html wrote no timetable page"; exit 1; }
echo "page: $page"
mkdir -p "$(dirname "$shot")"
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1400,1000 \
  --screenshot="$shot" "file://$page" 2>/dev/null
echo "screenshot: $shot"
