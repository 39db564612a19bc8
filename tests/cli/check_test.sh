#!/usr/bin/env bash
# trivo check on a small broken project: the problem lines with the count line, the
# JSON form, the exit statuses; a project with warnings only exits with 0.
# Usage: check_test.sh TRIVO SCRATCH-DIR
set -uo pipefail
trivo=$1 scratch=$2/check
failures=0
fail() { echo "$1"; failures=$((failures + 1)); }

rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch" || exit 1
printf '[daygroups]\r\ndaygroupnames=Mo-Fr,Sa\r\nMo-Fr_days=monday\r\nSa_days=\r\n' >p.tvp
printf 'A\r\nB\r\nC\r\nZ\r\n' >stations.csv
printf 'L1\r\nL2\r\n' >lines.csv
printf 'L1=A,B,C\r\nL2=A,Q\r\n' >line_stations.csv
: >station_lines.csv
printf '[1_Mo-Fr]\r\n1=A,07:00,8x\r\n2=B,07:05,08:05\r\n3=C,07:09,08:09\r\n' >line_L1.ttd

"$trivo" check p.tvp >out 2>err
status=$?
cat >expected <<'OUT'
line_L1.ttd:1_Mo-Fr:1:2: Fehler: Ungültige Zelle „8x“.
line_stations.csv:2:2: Fehler: Die Station „Q“ der Linie „L2“ fehlt in stations.csv.
lines.csv:2: Fehler: Zur Linie „L2“ gibt es keine Fahrplandatei line_L2.ttd.
p.tvp:daygroups: Fehler: Die Tagesgruppe „Sa“ hat keine Tage.
stations.csv:4: Warnung: Die Station „Z“ wird von keiner Linie bedient.
4 Fehler, 1 Warnung
OUT
iconv -f CP1252 -t UTF-8 out >out.utf8
[[ $status -eq 1 ]] || fail "broken project: expected status 1, got $status"
diff -u expected out.utf8 || fail "broken project: unexpected lines"
[[ ! -s err ]] || fail "broken project: unexpected standard error: $(cat err)"

"$trivo" check --json p.tvp >json 2>err
status=$?
[[ $status -eq 1 ]] || fail "json: expected status 1, got $status"
grep -qF '{"file": "line_L1.ttd", "section": "1_Mo-Fr", "row": 1, "column": 2, "severity": "error", "text": "Ungültige Zelle „8x“.", "line": "L1", "dayGroup": "Mo-Fr", "direction": 1}' json ||
  fail "json: no object for the invalid cell: $(cat json)"
[[ $(grep -c '"severity"' json) -eq 5 ]] || fail "json: expected 5 objects"
if command -v python3 >/dev/null; then
  python3 -c 'import json,sys; json.load(open(sys.argv[1], encoding="utf-8"))' json ||
    fail "json: not valid JSON"
fi

# Warnings only: status 0.
printf '[daygroups]\r\ndaygroupnames=Mo-Fr\r\nMo-Fr_days=monday\r\n' >p.tvp
printf 'L1\r\n' >lines.csv
printf 'L1=A,B,C\r\n' >line_stations.csv
printf '[1_Mo-Fr]\r\n1=A,07:00,08:00\r\n2=B,07:05,08:05\r\n3=C,07:09,08:09\r\n' >line_L1.ttd
"$trivo" check p.tvp >out 2>err
status=$?
[[ $status -eq 0 ]] || fail "warnings only: expected status 0, got $status"
[[ $(tail -n 1 out) == "0 Fehler, 1 Warnung" ]] || fail "warnings only: $(cat out)"

exit $((failures > 0))
