#!/usr/bin/env bash
# trivo edit on a small project (line L with the stations A, B, C; day group Mo-Fr):
# each case runs a script and compares what is printed and the exit status.
# Usage: edit_test.sh TRIVO SCRATCH-DIR
set -uo pipefail
trivo=$1 scratch=$2/edit
failures=0

new_project() {
  rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch" || exit 1
  printf '[daygroups]\r\ndaygroupnames=Mo-Fr\r\nMo-Fr_text=Montag bis Freitag\r\nMo-Fr_days=monday\r\n' >tiny.tvp
  printf 'A\r\nB\r\nC\r\n' >stations.csv
  printf 'L\r\n' >lines.csv
  printf 'L=A,B,C\r\n' >line_stations.csv
  : >station_lines.csv
}

# check NAME STATUS EXPECTED-FILE: runs the script on standard input, skipping the four
# log lines of the conversion steps.
check() {
  local name=$1 expected_status=$2 expected=$3 status
  "$trivo" edit tiny.tvp - --steps 1,2,3,4 <script >out 2>err
  status=$?
  tail -n +5 out >actual
  if [[ $status -ne $expected_status ]] || ! diff -u "$expected" actual; then
    echo "case '$name': expected status $expected_status, got $status"
    cat err
    failures=$((failures + 1))
  fi
}
file_is() {
  printf '%s' "$2" | cmp -s - "$1" || { echo "unexpected $1:"; cat "$1"; failures=$((failures + 1)); }
}

# Short forms become times; a rejected cell beeps and gets its old text back; the save
# writes the section and the travel times.
new_project
cat >script <<'SCRIPT'
cancel
choose direction 1
edit
type 7:00
enter
type 5
enter
type +4
enter
type 99
cell 3 3
save
print
SCRIPT
cat >expected <<'OUT'
[Signal]
[sgTimeTable] mode=choice save=1 copy=0 current=3,2 size=512x5
		1
	Stationen	
+	A	07:00
+	B	07:05
+	C	07:09
OUT
check typing 0 expected
file_is line_L.ttd $'[1_Mo-Fr]\r\n1=A,07:00\r\n2=B,07:05\r\n3=C,07:09\r\n'
file_is distances.csv $'[L_1_Mo-Fr]\r\ndistance1="A",5,"B",4,"C"\r\nnewcross="A"\r\n'

# A split answered No keeps the new arrival row empty; "=x" ends the check with the
# integer error; a dragged column takes the current cell along; a script error stops the
# script with status 2 after what ran before it.
new_project
cat >script <<'SCRIPT'
# the window opens on direction 2 (C, B, A)
type 8:00
enter
type 10
answer no
marker 3
type =x
enter
dragcol 2 3
insertcol
print
frobnicate
print
SCRIPT
cat >expected <<'OUT'
[Frage] Gleiche Werte einsetzen?
[Fehler] 'x' ist kein gültiger Integerwert
[sgTimeTable] mode=edit save=1 copy=0 current=3,3 size=513x6
		1	2
	Stationen		
+	C		08:00
-	B		=x
-	B		10
+	A		
OUT
iconv -f UTF-8 -t CP1252 expected >expected.cp1252
check split-and-errors 2 expected.cp1252
grep -q "line 12: unknown command 'frobnicate'" err || { echo "no script error"; failures=$((failures + 1)); }

# The web copy window: a page's best table goes to the work grid, is shaped and its
# selected block pasted at the editor's current cell, which then moves on.
new_project
cat >page.html <<'HTML'
<table><tr><td>Menü</td></tr></table>
<table>
<tr><th>Halt</th><th>1</th><th>2</th></tr>
<tr><td>A</td><td>7:00</td><td>8:00</td></tr>
<tr><td>B</td><td>7:05</td><td>8:05</td></tr>
<tr><td>C</td><td>7:09</td><td>8:09</td></tr>
</table>
HTML
cat >script <<'SCRIPT'
cancel
choose direction 1
edit
html page.html
wcell 0 0
action Zeile löschen
action Spalte einfügen
select 2 0 3 2
wprint
paste
print
SCRIPT
cat >expected <<'OUT'
[sgWorkGrid]
	A	7:00	8:00
	B	7:05	8:05
	C	7:09	8:09
[sgTimeTable] mode=edit save=1 copy=0 current=4,2 size=512x5
		1	2
	Stationen		
+	A	07:00	8:00
+	B	7:05	8:05
+	C	7:09	8:09
OUT
check web-copy 0 expected

# A distances.csv that cannot be written: the error, status 1, the editor stays open and
# the timetable file is as it was.
new_project
printf '[1_Mo-Fr]\r\n1=A,07:00\r\n2=B,07:05\r\n' >line_L.ttd
mkdir distances.csv
cat >script <<'SCRIPT'
cancel
edit
type 6:00
enter
save
print
SCRIPT
"$trivo" edit tiny.tvp - --steps 1,2,3,4 <script >out 2>&1
[[ $? -eq 1 ]] || { echo "failed save: expected status 1"; failures=$((failures + 1)); }
grep -q '^\[Fehler\] In .*distances.csv kann nicht geschrieben werden' out ||
  { echo "failed save: no error"; cat out; failures=$((failures + 1)); }
grep -q '^\[sgTimeTable\] mode=edit' out || { echo "failed save left the editor"; failures=$((failures + 1)); }
file_is line_L.ttd $'[1_Mo-Fr]\r\n1=A,07:00\r\n2=B,07:05\r\n'

# "type " with an empty text empties the cell, as "type" alone (Backspace) does.
new_project
printf 'cancel\nchoose direction 1\nedit\ntype 7:00\nenter\ncell 2 2\ntype \nprint\n' >script
cat >expected <<'OUT'
[sgTimeTable] mode=edit save=1 copy=0 current=2,2 size=512x5
	
	Stationen
+	A
+	B
+	C
OUT
check type-nothing 0 expected

# A text longer than a timetable row holds is refused, however long: the script goes on.
new_project
{
  printf 'cancel\nchoose direction 1\nedit\ntype %s\n' "$(head -c 4096 /dev/zero | tr '\0' 7)"
  printf 'type %s\n' "$(head -c 10000000 /dev/zero | tr '\0' 7)"
  printf 'type 7:00\nprint\n'
} >script
cat >expected <<'OUT'
[Fehler] Der Text ist zu lang: eine Fahrplanzeile fasst höchstens 4095 Zeichen
[Fehler] Der Text ist zu lang: eine Fahrplanzeile fasst höchstens 4095 Zeichen
[sgTimeTable] mode=edit save=1 copy=0 current=2,2 size=512x5
		1
	Stationen	
+	A	7:00
+	B	
+	C	
OUT
iconv -f UTF-8 -t CP1252 expected >expected.cp1252
check long-text 1 expected.cp1252

# A script is a file, a pipe or standard input; a device is refused as the project's
# inputs are, and a line longer than any command can use ends the script.
new_project
ln -s /dev/zero zero.script
"$trivo" edit tiny.tvp zero.script >out 2>err
[[ $? -eq 2 && ! -s out ]] || { echo "device script: expected status 2"; failures=$((failures + 1)); }
iconv -f CP1252 -t UTF-8 err | grep -qF "Datei zero.script kann nicht geöffnet werden. Keine normale Datei, sondern ein Gerät" ||
  { echo "device script: no reason"; cat err; failures=$((failures + 1)); }
"$trivo" edit tiny.tvp <(printf 'print\n') --steps 1,2,3,4 >out 2>err
[[ $? -eq 0 ]] && grep -q '^\[sgTimeTable\]' out || { echo "script from a pipe"; cat err; failures=$((failures + 1)); }
head -c 100000 /dev/zero | "$trivo" edit tiny.tvp - >out 2>err
[[ $? -eq 2 ]] && grep -q "line 1: longer than 65536 characters" err ||
  { echo "overlong script line"; cat err; failures=$((failures + 1)); }
printf 'frob\rnicate\n' | "$trivo" edit tiny.tvp - >out 2>err
[[ $(grep -c '' err) -eq 1 ]] && grep -qF "unknown command 'frob\rnicate'" err ||
  { echo "carriage return in a command"; cat err; failures=$((failures + 1)); }

# A failed conversion step leaves a record pending in the stations table (a duplicate
# name): neither the editor's conversion run nor its files fail because of it.
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch" || exit 1
printf '[daygroups]\r\ndaygroupnames=Mo-Fr\r\nMo-Fr_text=Montag bis Freitag\r\nMo-Fr_days=monday\r\n' >tiny.tvp
printf 'A\r\nB\r\nA\r\n' >stations.csv
printf 'U1\r\n' >lines.csv
printf 'U1=\r\n' >line_stations.csv
: >station_lines.csv
printf '[1_Mo-Fr]\r\n1=A,07:00\r\n2=B,07:05\r\n' >line_U1.ttd
printf 'print\n' >script
cat >expected <<'OUT'
daygroups.ptf erstellt
[Fehler] Key violation.
lines.ptf erstellt
line_stations.ptf erstellt
[Meldung] Es konnten nicht alle zugehörigen Dateien gefunden werden!
[sgTimeTable] mode=choice save=0 copy=0 current=2,2 size=512x3
	
	Stationen
	
OUT
iconv -f UTF-8 -t CP1252 expected >expected.cp1252
"$trivo" edit tiny.tvp script --steps 1,2,3,4 >out 2>err
[[ $? -eq 1 ]] && cmp -s expected.cp1252 out || { echo "pending record: unexpected output"; diff expected.cp1252 out; failures=$((failures + 1)); }
for file in ttc_1.ptf line_connections.ptf tt_connections.ptf intervals.ptf; do
  [[ -s $file ]] || { echo "pending record: $file not written"; failures=$((failures + 1)); }
done

exit $((failures > 0))
