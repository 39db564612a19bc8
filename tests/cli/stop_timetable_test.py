#!/usr/bin/env python3
"""trivo stop-timetable on a copy of the sample project, read back with pdftotext -layout.

    stop_timetable_test.py TRIVO SAMPLE_DIR SCRATCH_DIR

The minutes on the posters are compared with the .ttd cells; the test also checks a
footnote, the hour after midnight, an interval block, an empty day-group column, the
page break of a long service, warnings, the HTML pages and the failures.
Exit 77 (skipped) where pdftotext is missing.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

TRIVO, SAMPLE, SCRATCH = sys.argv[1:4]
failures = []


def check(condition, text):
    if not condition:
        failures.append(text)
        print("FAIL:", text)


def run(*arguments):
    result = subprocess.run([TRIVO, "stop-timetable", *arguments], capture_output=True)
    return result.returncode, result.stdout.decode("cp1252"), result.stderr.decode("utf-8", "replace")


def pages_of(pdf):
    text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, check=True).stdout
    return text.decode("utf-8").split("\f")


def poster_page(pages, station, direction_to, number=1):
    for page in pages:
        lines = page.split("\n")
        if lines and lines[0].strip() == station and "Richtung " + direction_to in page:
            if number == 1:
                return page
            number -= 1
    return None


def table(page):
    """{hour: {heading: [minutes...]}} from the table of a poster page."""
    lines = page.split("\n")
    head = next(i for i, line in enumerate(lines) if line.startswith("Uhr "))
    headings = [(m.start(), m.group(0)) for m in re.finditer(r"\S+(?: \S+)*", lines[head])][1:]
    rows, hour = {}, None
    for line in lines[head + 1:]:
        if not line.strip():
            if rows:
                break
            continue
        first = line[: headings[0][0]].strip()
        if first:
            hour = int(first)
            rows.setdefault(hour, {name: [] for _, name in headings})
        for index, (start, name) in enumerate(headings):
            end = headings[index + 1][0] if index + 1 < len(headings) else len(line)
            rows[hour][name] += line[start:end].split()
    return rows


def ttd_row(path, section, key):
    current = None
    with open(path, encoding="cp1252") as file:
        for line in file:
            line = line.strip()
            if line.startswith("["):
                current = line[1:-1]
            elif current == section and line.startswith(key + "="):
                return line.split("=", 1)[1].split(",")
    raise KeyError(section + " " + key)


def minutes_in_hour(cells, hour):
    """The minutes of a row's departures in an hour: its times, and for an interval cell
    "N Min" the times every N minutes after the time before it, up to the time after it."""
    times, step = [], None
    for cell in cells[1:]:
        cell = cell.strip()
        match = re.fullmatch(r"(\d+):(\d+)", cell)
        interval = re.fullmatch(r"(\d+) Min", cell)
        if interval:
            step = int(interval.group(1))
        elif match:
            time = int(match.group(1)) * 60 + int(match.group(2))
            if step and times:
                times += range(times[-1] + step, time, step)
            times.append(time)
            step = None
    return sorted(time % 60 for time in times if time // 60 == hour)


def digits(entries):
    return [int(re.match(r"\d+", entry).group(0)) for entry in entries]


def main():
    if shutil.which("pdftotext") is None:
        print("pdftotext is not installed (poppler-utils)")
        return 77
    work = tempfile.mkdtemp(prefix="stop_timetable_", dir=SCRATCH)
    project = os.path.join(work, "sample")
    shutil.copytree(SAMPLE, project)
    # A long service: every three minutes from 4:00 to 1:00 the next night, on line N
    # from Rathaus to a station whose name no file name can hold; and an error cell.
    with open(os.path.join(project, "stations.csv"), "ab") as file:
        file.write("Tor/Hof <1>\r\n".encode("cp1252"))
    with open(os.path.join(project, "lines.csv"), "ab") as file:
        file.write(b"N\r\n")
    with open(os.path.join(project, "line_stations.csv"), "ab") as file:
        file.write('N=Rathaus,"Tor/Hof <1>"\r\n'.encode("cp1252"))
    first, second = ["Rathaus"], ["Tor/Hof <1>"]
    for minute in range(4 * 60, 25 * 60, 3):
        first.append("%d:%02d" % ((minute // 60) % 24, minute % 60))
        second.append("%d:%02d" % (((minute + 2) // 60) % 24, (minute + 2) % 60))
    first.append("kaputt")
    with open(os.path.join(project, "line_N.ttd"), "wb") as file:
        file.write(("[1_Mo-Fr]\r\n1=%s\r\n2=%s\r\n[2_Sa]\r\n1=Tor/Hof <1>,9:00\r\n2=Rathaus,9:02\r\n"
                    % (",".join(first), ",".join(second))).encode("cp1252"))

    tvp = os.path.join(project, "sample.tvp")
    pdf = os.path.join(work, "aushang.pdf")
    html = os.path.join(work, "html")
    status, out, err = run(tvp, pdf, "--html", html)
    check(status == 0, "the book is made (exit %d, %s)" % (status, err))
    check(re.search(r"^62 Aushangfahrpläne, \d+ Seiten: ", out, re.M) is not None, "count line: " + out[-200:])
    check("Marktplatz, Linie T1, Richtung Südfriedhof: 1 Seite" in out, "one line per poster")
    check(re.search(r"^\[Warnung\] line_N\.ttd, Abschnitt 1_Mo-Fr, Zeile 1, .*\"kaputt\"", out, re.M)
          is not None, "the error cell is warned about")
    pages = pages_of(pdf)

    ttd = os.path.join(project, "line_T1.ttd")
    marktplatz = poster_page(pages, "Marktplatz", "Südfriedhof")
    check(marktplatz is not None, "the poster of Marktplatz towards Südfriedhof is in the PDF")
    rows = table(marktplatz)
    # Marktplatz has two rows: the second (key 6) holds the departures.
    for section, heading, hour in (("1_Mo-Fr", "Montag bis Freitag", 19), ("1_Sa", "Samstag", 9),
                                   ("1_Sa", "Samstag", 14), ("1_Mo-Fr", "Montag bis Freitag", 5)):
        expected = minutes_in_hour(ttd_row(ttd, section, "6"), hour)
        check(digits(rows[hour][heading]) == expected,
              "%s %d:00 shows %s, the cells hold %s" % (heading, hour, rows[hour][heading], expected))
    # The interval block "10 Min" between 06:20 and 08:10.
    check(rows[7]["Montag bis Freitag"] == ["00", "10", "20", "30", "40", "50"], "the interval block at 7")
    # The trip that starts at Marktplatz at 8:17 carries a footnote.
    check("17a" in rows[8]["Montag bis Freitag"], "the late start has its letter")
    check("a = fährt erst ab Marktplatz" in marktplatz, "the footnote is explained")
    # The trip of 23:50 leaves at 0:00: the hour after 23 is printed as 0.
    hours = list(rows)
    check(hours[-2:] == [23, 0] and rows[0]["Montag bis Freitag"] == ["00"], "the hour after midnight")

    lerchenberg = poster_page(pages, "Am Lerchenberg", "Ziegelei")
    rows = table(lerchenberg)
    check(all("Sonn- und Feiertag" in columns and columns["Sonn- und Feiertag"] == [] for columns in rows.values()),
          "the day group without departures keeps its empty column")
    check("Sonn- und Feiertag" in lerchenberg, "its heading is printed")

    long_first = poster_page(pages, "Rathaus", "Tor/Hof <1>", 1)
    long_second = poster_page(pages, "Rathaus", "Tor/Hof <1>", 2)
    check(long_first is not None and "Seite 1 von 2" in long_first, "the long service starts on page 1 of 2")
    check(long_second is not None and "Seite 2 von 2" in long_second, "and goes on with the header repeated")
    if long_first and long_second:
        first_rows, second_rows = table(long_first), table(long_second)
        check(list(first_rows)[0] == 4 and list(second_rows)[-1] == 0,
              "from 4 to the hour after midnight: %s, %s" % (list(first_rows), list(second_rows)))
        check(len(first_rows) + len(second_rows) == 21 and
              (max(first_rows) + 1) % 24 == min(h if h >= 4 else h + 24 for h in second_rows) % 24,
              "every hour once, continued in order")
        check(first_rows[4]["Montag bis Freitag"][:3] == ["00", "03", "06"], "three-minute service")

    rathaus_id = 4
    for station_id, name in ((5, "Marktplatz"), (26, "Tor/Hof &lt;1&gt;"), (rathaus_id, "Rathaus")):
        page = os.path.join(html, "aushang_%d.html" % station_id)
        check(os.path.isfile(page), "the HTML page " + page)
        if os.path.isfile(page):
            check(name in open(page, encoding="cp1252").read(), name + " in its page")

    # Failures: an unknown name or an unwritable output leave no PDF and an old one intact.
    status, out, err = run(tvp, pdf, "--station", "Nirgendwo")
    check(status == 1 and "[Fehler] Station nicht gefunden: Nirgendwo" in out, "unknown station: " + out)
    status, out, err = run(tvp, pdf, "--line", "X9")
    check(status == 1 and "[Fehler] Linie nicht gefunden: X9" in out, "unknown line: " + out)
    check(pages_of(pdf) == pages, "the earlier PDF is left as it was")
    missing = os.path.join(work, "no", "such", "folder", "a.pdf")
    status, out, err = run(tvp, missing)
    check(status == 1 and "[Fehler] In " in out and not os.path.exists(missing), "unwritable output: " + out)
    before = open(os.path.join(project, "stations.csv"), "rb").read()
    status, out, err = run(tvp, os.path.join(project, "stations.csv"))
    check(status == 1 and "[Fehler] " in out and open(os.path.join(project, "stations.csv"), "rb").read() == before,
          "an input is never replaced: " + out)
    status, out, err = run(tvp, os.path.join(work, "one.pdf"), "--station", "südfriedhof", "--line", "T1")
    check(status == 0 and out.count("Linie T1") == 1 and "2 Aushangfahrpläne" not in out, "one station, one line (UTF-8, other letter case)")
    check(not [name for name in os.listdir(work) if name.startswith(".")], "no temporary file is left")
    status, out, err = run(tvp)
    check(status == 2 and out == "", "a missing PDF argument is a usage error")

    if failures:
        print("%d checks failed" % len(failures))
        return 1
    shutil.rmtree(work)
    print("all checks passed")
    return 0


sys.exit(main())
