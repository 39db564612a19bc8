#!/usr/bin/env python3
"""The preview page in a real browser.

Converts the sample project and a generated project whose station names hold double
quotes, backslashes, umlauts, Windows-1252 characters, markup and a comma, writes the
preview with `trivo preview`, lets headless Chromium render the page (also with
addresses after "#") and checks the rendered DOM: the line list, the station names in
order, the times of trips, trips after midnight, interval cells, and that damaged or
missing PTF files are named on the page. Any script error of the page fails the test.

Usage: preview_browser_test.py TRIVO SAMPLE-DIR SCRATCH-DIR
Exits 77 (skipped) when no chromium is installed.
"""

import concurrent.futures
import html.parser
import os
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77
VOID_TAGS = {"meta", "link", "br", "hr", "img", "input", "area", "base", "col", "wbr"}


class Node:
    def __init__(self, tag, attrs, parent):
        self.tag, self.attrs, self.parent, self.children = tag, dict(attrs), parent, []

    def text(self):
        return "".join(c if isinstance(c, str) else c.text() for c in self.children)

    def classes(self):
        return (self.attrs.get("class") or "").split()

    def find_all(self, tag=None, cls=None):
        found = []
        for child in self.children:
            if isinstance(child, Node):
                if (tag is None or child.tag == tag) and (cls is None or cls in child.classes()):
                    found.append(child)
                found.extend(child.find_all(tag, cls))
        return found

    def by_id(self, wanted):
        for node in self.find_all():
            if node.attrs.get("id") == wanted:
                return node
        raise AssertionError(f"no element with id {wanted!r}")


class TreeBuilder(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.root = Node("#document", [], None)
        self.current = self.root

    def handle_starttag(self, tag, attrs):
        node = Node(tag, attrs, self.current)
        self.current.children.append(node)
        if tag not in VOID_TAGS:
            self.current = node

    def handle_endtag(self, tag):
        node = self.current
        while node is not self.root and node.tag != tag:
            node = node.parent
        if node is not self.root:
            self.current = node.parent

    def handle_data(self, data):
        self.current.children.append(data)


class Page:
    """The DOM Chromium rendered for one address of a page."""

    def __init__(self, root, address):
        self.root, self.address = root, address

    def check(self, condition, message):
        if not condition:
            raise AssertionError(f"{self.address}: {message}")

    def lines(self):
        return [link.find_all("span", "line-name")[0].text() for link in self.root.find_all("a", "line")]

    def line_course(self, name):
        for link in self.root.find_all("a", "line"):
            if link.find_all("span", "line-name")[0].text() == name:
                return "".join(span.text() for span in link.find_all("span", "line-course"))
        raise AssertionError(f"{self.address}: no line {name!r}")

    def current(self, cls):
        return [link.text() for link in self.root.find_all("a", cls) if "current" in link.classes()]

    def texts(self, cls):
        return [link.text() for link in self.root.find_all("a", cls)]

    def title(self):
        return self.root.by_id("title").text()

    def note(self):
        return self.root.by_id("note").text()

    def messages(self):
        return [item.text() for item in self.root.by_id("messages").find_all("li")]

    def stations(self):
        return [cell.text() for cell in self.root.by_id("timetable").find_all("th", "station")]

    def stops(self):
        """The arrival and departure labels after station names, top to bottom."""
        return [label.text() for label in self.root.by_id("timetable").find_all("span", "stop")]

    def trip(self, number):
        """The cells of one trip column, top to bottom, as (text, classes)."""
        table = self.root.by_id("timetable")
        heads = [cell.text() for cell in table.find_all("thead")[0].find_all("th")]
        column = heads.index(str(number)) - 1
        return [(row.find_all("td")[column].text(), row.find_all("td")[column].classes())
                for row in table.find_all("tbody")[0].find_all("tr")]

    def trip_times(self, number):
        return [text for text, _ in self.trip(number)]


class Browser:
    def __init__(self, chromium, scratch):
        self.chromium, self.scratch = chromium, scratch

    def open_all(self, page_file, fragments):
        """Renders the page at several addresses at once; each browser takes a second."""
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            return list(pool.map(lambda fragment: self.open(page_file, fragment), fragments))

    def open(self, page_file, fragment=""):
        address = "file://" + os.path.abspath(page_file) + fragment
        profile = tempfile.mkdtemp(prefix="chromium-", dir=self.scratch)
        try:
            run = subprocess.run(
                [self.chromium, "--headless", "--no-sandbox", "--disable-gpu",
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--no-first-run", "--user-data-dir=" + profile,
                 "--enable-logging=stderr", "--v=0", "--virtual-time-budget=10000",
                 "--dump-dom", address],
                capture_output=True, timeout=120)
        finally:
            shutil.rmtree(profile, ignore_errors=True)
        if run.returncode != 0:
            raise AssertionError(f"{address}: chromium failed: {run.stderr.decode(errors='replace')}")
        builder = TreeBuilder()
        builder.feed(run.stdout.decode("utf-8"))
        page = Page(builder.root, address)
        # Errors of the page's own scripts; a damaged PTF file is the page's to report.
        console = run.stderr.decode("utf-8", errors="replace").splitlines()
        uncaught = [line for line in console
                    if ":CONSOLE" in line and "Uncaught" in line and ".ptf (" not in line]
        page.check(not uncaught, "script errors in the console:\n" + "\n".join(uncaught))
        page.check(page.root.by_id("errors").text() == "", "page errors: " + page.root.by_id("errors").text())
        body = page.root.find_all("body")[0]
        page.check(body.attrs.get("data-state") == "fertig", "the page did not finish loading")
        return page


def run_trivo(trivo, *arguments):
    run = subprocess.run([trivo, *arguments], capture_output=True)
    output = run.stdout.decode("cp1252", errors="replace")
    if run.returncode != 0:
        raise AssertionError(f"trivo {' '.join(arguments)} exited {run.returncode}:\n{output}"
                             f"{run.stderr.decode(errors='replace')}")
    return output


def convert_and_preview(trivo, project_file):
    run_trivo(trivo, "convert", project_file)
    page = run_trivo(trivo, "preview", project_file).strip()
    expected = os.path.join(os.path.dirname(project_file), "index.html")
    if page != expected:
        raise AssertionError(f"trivo preview printed {page!r}, expected {expected!r}")
    return page


def check_sample(browser, trivo, sample, scratch):
    project = os.path.join(scratch, "sample")
    shutil.copytree(sample, project)
    page_file = convert_and_preview(trivo, os.path.join(project, "sample.tvp"))

    page, t2, b10, unknown = browser.open_all(
        page_file, ["", "#linie=T2&tage=Sa&richtung=2", "#linie=B10&tage=So&richtung=1", "#linie=U9"])
    page.check(page.lines() == ["T1", "T2", "B10", "B11", "B12"], f"lines {page.lines()}")
    page.check(page.line_course("T1") == "Nordheim Schleife – Südfriedhof", "course of T1")
    page.check(page.messages() == [], f"messages {page.messages()}")
    page.check(page.title() == "Linie T1 – Montag bis Freitag – Richtung Südfriedhof", page.title())
    page.check(page.current("line") and page.current("line")[0].startswith("T1"), "T1 not chosen")
    page.check(page.texts("direction") == ["Richtung Südfriedhof", "Richtung Nordheim Schleife"],
               f"directions {page.texts('direction')}")
    page.check([text.startswith(name) for text, name in zip(page.texts("daygroup"), ["Mo-Fr", "Sa", "So"])]
               == [True] * 3, f"day groups {page.texts('daygroup')}")
    page.check("Montag bis Freitag · Mo, Di, Mi, Do, Fr" in page.texts("daygroup")[0], "day-group days")
    # The pair of rows of Marktplatz: its arrival ("an") and its departure ("ab").
    page.check(page.stations() == ["Nordheim Schleife", "Lindenallee", "Kastanienweg", "Rathaus",
                                   "Marktplatz an", "Marktplatz ab", "Mühlentor", "Am Schwanenteich",
                                   "Südfriedhof"], f"stations {page.stations()}")
    # Each station name links to the station's poster page, named by its ID.
    posters = [link.attrs.get("href") for link in page.root.by_id("timetable").find_all("a", "poster")]
    page.check(posters[:2] == ["aushang_1.html", "aushang_2.html"], f"poster links {posters[:2]}")
    page.check(page.stops() == ["an", "ab"], f"stop labels {page.stops()}")
    page.check(page.trip_times(1) == ["04:50", "04:52", "04:54", "04:57", "04:59", "05:00", "05:02",
                                      "05:05", "05:07"], f"trip 1 {page.trip_times(1)}")
    page.check(page.trip_times(7) == ["alle 10 Min"] * 9, f"trip 7 {page.trip_times(7)}")
    page.check(all("interval" in classes for _, classes in page.trip(7)), "interval cells marked")
    page.check(page.trip_times(9) == ["", "", "", "", "", "08:17", "08:19", "08:22", "08:24"],
               f"trip 9 starting at Marktplatz {page.trip_times(9)}")
    last = page.trip(30)
    page.check([text for text, _ in last] == ["23:50", "23:52", "23:54", "23:57", "23:59", "00:00",
                                              "00:02", "00:05", "00:07"], f"trip 30 {last}")
    page.check([("next-day" in classes) for _, classes in last] == [False] * 5 + [True] * 4,
               "times after midnight marked as the next day's")

    page = t2
    page.check(page.title() == "Linie T2 – Samstag – Richtung Weidenhof", page.title())
    page.check(page.current("daygroup")[0].startswith("Sa"), "Sa not chosen")
    page.check(page.current("direction") == ["Richtung Weidenhof"], "direction 2 not chosen")
    page.check(page.stations()[0] == "Ostpark" and page.stations()[-1] == "Weidenhof",
               f"stations {page.stations()}")
    page.check(page.note() == "", f"note {page.note()}")

    page = b10
    page.check(page.note() == "Die Linie B10 hat keinen Fahrplan für die Tagesgruppe „So“.",
               f"note {page.note()}")
    page.check(page.title() == "Linie B10 – Montag bis Freitag – Richtung Ziegelei", page.title())
    page.check(page.texts("daygroup")[-1].startswith("Sa"), "B10 offers no Sunday")

    page = unknown
    page.check(page.note() == "Die Linie „U9“ gibt es nicht.", f"note {page.note()}")
    page.check(page.title().startswith("Linie T1"), page.title())


# The generated project: names the web page must show exactly as stations.csv has them.
MARKT = 'Markt "Alte Post"'
HALT = "C:\\Halt\\Süd"
MUELLER = "Müllerstraße"
ZENTRALE = "Zentrale “Kö” €"
TOR = "<b>Tor</b> & Co"
NORD = "Bahnhof, Nord"


def quoted(name):
    """A name in a comma list of line_stations.csv: in double quotes, quotes doubled."""
    return '"' + name.replace('"', '""') + '"'


def clock(minutes):
    return f"{minutes // 60:02}:{minutes % 60:02}"


def write_special_project(folder):
    os.makedirs(folder)
    files = {
        "special.tvp": "[daygroups]\ndaygroupnames=Mo-Fr,Sa\nMo-Fr_text=Werktags\n"
                       "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday\n"
                       "Sa_text=Samstag\nSa_days=saturday\n[timetable]\nmax_drive_minutes=720\n",
        # A station name is the whole line: quotes, backslashes and the comma belong to it.
        "stations.csv": "\n".join([MARKT, HALT, MUELLER, ZENTRALE, TOR, NORD]) + "\n",
        "lines.csv": "X1\nY 2\n",
        "line_stations.csv": "X1=" + ",".join(quoted(n) for n in [MARKT, HALT, MUELLER, ZENTRALE, TOR, NORD])
                             + "\nY 2=" + MUELLER + "," + quoted(MARKT) + "\n",
        "station_lines.csv": "\n".join(f"{n}=X1" for n in [MARKT, HALT, ZENTRALE, TOR, NORD])
                             + f"\n{MUELLER}=X1,Y 2\n",
        # Timetable rows cannot hold a comma inside a station name, so the line ends
        # before "Bahnhof, Nord" in its timetables.
        "line_X1.ttd": "[1_Mo-Fr]\n"
                       f"1={MARKT},05:00,06:00,10 Min,23:50\n"
                       f"2={HALT},05:05,06:05,10 Min,23:55\n"
                       f"3={MUELLER},05:10,,10 Min,23:59\n"
                       f"4={ZENTRALE},05:15,06:15,10 Min,0:04\n"
                       f"5={TOR},05:20,06:20,10 Min,0:09\n"
                       "[1_Sa]\n"
                       f"1={MARKT},08:00\n2={HALT},08:05\n",
        # More trips than the page puts on at once.
        "line_Y 2.ttd": "[1_Mo-Fr]\n"
                        f"1={MUELLER}," + ",".join(clock(360 + 15 * trip) for trip in range(40)) + "\n"
                        f"2={MARKT}," + ",".join(clock(367 + 15 * trip) for trip in range(40)) + "\n"
                        "[2_Mo-Fr]\n"
                        f"1={MARKT},13:00\n2={MUELLER},13:07\n",
    }
    for name, text in files.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(text.replace("\n", "\r\n").encode("cp1252"))
    return os.path.join(folder, "special.tvp")


def check_special(browser, trivo, scratch):
    project_file = write_special_project(os.path.join(scratch, "special"))
    page_file = convert_and_preview(trivo, project_file)

    page, y2, many = browser.open_all(
        page_file, ["", "#linie=Y%202&tage=Mo-Fr&richtung=2", "#linie=Y%202&tage=Mo-Fr&richtung=1"])
    page.check(page.lines() == ["X1", "Y 2"], f"lines {page.lines()}")
    page.check(page.line_course("X1") == f"{MARKT} – {NORD}", f"course {page.line_course('X1')!r}")
    page.check(page.messages() == [], f"messages {page.messages()}")
    page.check(page.texts("direction") == [f"Richtung {NORD}"], f"directions {page.texts('direction')}")
    page.check(page.stations() == [MARKT, HALT, MUELLER, ZENTRALE, TOR], f"stations {page.stations()}")
    page.check(page.stops() == [], f"stop labels without pairs {page.stops()}")
    page.check(page.trip_times(1) == ["05:00", "05:05", "05:10", "05:15", "05:20"], "trip 1")
    page.check(page.trip_times(2) == ["06:00", "06:05", "", "06:15", "06:20"], "trip 2")
    page.check(page.trip_times(3) == ["alle 10 Min"] * 5, "trip 3")
    last = page.trip(4)
    page.check([text for text, _ in last] == ["23:50", "23:55", "23:59", "00:04", "00:09"], f"trip 4 {last}")
    page.check([("next-day" in classes) for _, classes in last] == [False] * 3 + [True] * 2, "next day")

    page = y2
    page.check(page.title() == f"Linie Y 2 – Werktags – Richtung {MUELLER}", page.title())
    page.check(page.stations() == [MARKT, MUELLER], f"stations {page.stations()}")
    page.check(page.trip_times(1) == ["13:00", "13:07"], "trip 1")

    page = many
    page.check(page.stations() == [MUELLER, MARKT], f"stations {page.stations()}")
    page.check([page.trip_times(trip) for trip in (1, 32, 33, 40)]
               == [["06:00", "06:07"], ["13:45", "13:52"], ["14:00", "14:07"], ["15:45", "15:52"]],
               "trips before and after the first part of the table")

    # Damaged and missing files are named on the page, which goes on with the rest.
    folder = os.path.dirname(page_file)
    with open(os.path.join(folder, "tt_1_1_1.ptf"), "wb") as out:
        out.write(b"porTables[porTables.length] = new Array(\"ID\",\"1\"\r\n")
    with open(os.path.join(folder, "intervals.ptf"), "wb") as out:
        out.write(b"/* nothing appended */\r\n")
    os.remove(os.path.join(folder, "tt_2_2_1.ptf"))
    os.remove(os.path.join(folder, "ttc_2.ptf"))
    page, y2, unnamed = browser.open_all(
        page_file, ["", "#linie=Y%202&tage=Mo-Fr&richtung=2", "#linie=Y%202&tage=Mo-Fr&richtung=1"])
    page.check(page.lines() == ["X1", "Y 2"], f"lines {page.lines()}")
    page.check(page.messages() == [
        "Die Datei intervals.ptf ist fehlerhaft: sie hängt keine Tabelle an porTables an.",
        "Die Datei tt_1_1_1.ptf ist fehlerhaft: sie lässt sich nicht als Skript ausführen."],
        f"messages {page.messages()}")
    page = y2
    page.check(page.messages()[-1] == "Die Datei tt_2_2_1.ptf fehlt.", f"messages {page.messages()}")
    page = unnamed  # without ttc_2.ptf the stations of the columns are unknown
    page.check(page.messages()[-1] == "Die Datei ttc_2.ptf fehlt.", f"messages {page.messages()}")
    page.check(page.stations() == ["? (Spalte 1)", "? (Spalte 2)"], f"stations {page.stations()}")
    page.check(page.trip_times(1) == ["06:00", "06:07"], "times without station names")


def main():
    trivo, sample, scratch = sys.argv[1:4]
    chromium = os.environ.get("TRIVO_CHROMIUM") or shutil.which("chromium")
    if not chromium:
        print("SKIPPED: no chromium found (Debian package chromium, or set TRIVO_CHROMIUM)")
        return SKIPPED
    scratch = os.path.join(os.path.abspath(scratch), "preview_browser")
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    browser = Browser(chromium, scratch)
    try:
        check_sample(browser, trivo, sample, scratch)
        check_special(browser, trivo, scratch)
    except AssertionError as failure:
        print(f"FAILED: {failure}")
        return 1
    print("preview pages render as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
