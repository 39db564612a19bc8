#include "check/project_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "project/project_commands.h"
#include "test_support.h"

namespace trivo {
namespace {

using Lines = std::vector<std::string>;

// A project folder built in the test, checked as "trivo check" checks it.
class ProjectCheckTest : public ::testing::Test {
 protected:
  CheckReport Check(const std::string& projectFile) {
    const std::filesystem::path path = dir_.Write("p.tvp", projectFile);
    LoadProject(ctx_, path.string());
    return CheckProject(ctx_);
  }
  static Lines ProblemLines(const CheckReport& report) {
    Lines lines;
    for (const CheckProblem& problem : report.Problems()) lines.push_back(ProblemLine(problem));
    return lines;
  }
  void WriteCleanProject() {
    dir_.Write("stations.csv", "A\r\nB\r\nC\r\n");
    dir_.Write("lines.csv", "L1\r\n");
    dir_.Write("line_stations.csv", "L1=A,B,C\r\n");
    dir_.Write("station_lines.csv", "A=L1\r\nB=L1\r\nC=L1\r\n");
    dir_.Write("line_L1.ttd",
               "[1_Mo-Fr]\r\n1=A,07:00,10 Min,08:00\r\n2=B,07:05,10 Min,08:05\r\n"
               "3=C,07:09,10 Min,08:09\r\n[2_Mo-Fr]\r\n1=C,23:50\r\n2=B,23:58\r\n3=B,00:01\r\n"
               "4=A,00:10\r\n");
    dir_.Write("distances.csv", "[L1_1_Mo-Fr]\r\ndistance1=\"A\",5,\"B\",4,\"C\"\r\n");
  }

  test::TempDir dir_;
  test::RecordingUserInterface ui_;
  Context ctx_{ui_};
};

constexpr const char* kDayGroups =
    "[daygroups]\r\ndaygroupnames=Mo-Fr\r\nMo-Fr_days=monday,tuesday\r\n";

TEST_F(ProjectCheckTest, CleanProjectHasNoProblems) {
  WriteCleanProject();
  // Past midnight with a pair of rows, intervals between two trips: all as it should be.
  const CheckReport report = Check(kDayGroups);
  EXPECT_EQ(ProblemLines(report), Lines{});
  EXPECT_EQ(CountLine(report), "0 Fehler, 0 Warnungen");
  EXPECT_TRUE(ui_.events.empty());
}

TEST_F(ProjectCheckTest, AProjectKeptForTheExportHearsWhatTheExportWouldRefuse) {
  WriteCleanProject();
  dir_.Write("station_positions.csv", "A=50.1,8.6\r\nB=50.2,8.7\r\n");
  const Lines lines =
      ProblemLines(Check(std::string(kDayGroups) + "[gtfs]\r\nagency_name=Verkehr\r\n"
                                                   "agency_url=https://example.org\r\n"
                                                   "start_date=20250101\r\nend_date=20241231\r\n"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("p.tvp: Fehler: GTFS-Export: [gtfs] Zeitraum verkehrt", 0), 0u)
      << lines[0];
  EXPECT_EQ(lines[1],
            "station_positions.csv: Fehler: GTFS-Export: station_positions.csv: Station „C“ "
            "(Linie L1) hat keine Position");
}

TEST_F(ProjectCheckTest, MissingAndUnreadableFilesAreNamed) {
  std::filesystem::create_directory(dir_ / "lines.csv");
  dir_.Write("station_lines.csv", "");
  const CheckReport report = Check(kDayGroups);
  const Lines lines = ProblemLines(report);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "line_stations.csv: Fehler: Die Datei fehlt.");
  EXPECT_EQ(lines[1].rfind("lines.csv: Fehler: Die Datei kann nicht gelesen werden: ", 0), 0u);
  EXPECT_EQ(lines[2], "stations.csv: Fehler: Die Datei fehlt.");
  EXPECT_EQ(report.Errors(), 3u);
}

TEST_F(ProjectCheckTest, TimetableFileThatCannotBeReadIsNamed) {
  WriteCleanProject();
  std::filesystem::remove(dir_ / "line_L1.ttd");
  ASSERT_EQ(::mkfifo((dir_ / "line_L1.ttd").c_str(), 0600), 0);
  const Lines lines = ProblemLines(Check(kDayGroups));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("line_L1.ttd: Fehler: Die Datei kann nicht gelesen werden: ", 0), 0u)
      << lines[0];
}

TEST_F(ProjectCheckTest, EveryProblemOfABrokenProjectIsListedSortedByFile) {
  dir_.Write("stations.csv", "A\r\nB\r\nC\r\nB\r\nZ\r\n");
  dir_.Write("lines.csv", "L1\r\nL2\r\nL/3\r\nL1\r\nX_1\r\nL4\r\n");
  dir_.Write("line_stations.csv", "L1=A,B,C\r\nL2=A,Q,C\r\nL9=A\r\nkaputt\r\nL4=A,C\r\nX_1=\r\n");
  dir_.Write("station_lines.csv", "A=L1,L7\r\nQ=L1\r\n");
  dir_.Write("line_L1.ttd",
             "[1_Mo-Fr]\r\n1=A,07:00,08:00,xx,10 Min\r\n2=B,07:05,07:50,,10 Min\r\n"
             "3=C,07:59,08:20 ,,10 Min\r\n[2_Mo-Fr]\r\n1=C,09:00\r\n2=A,09:10,10:00\r\n"
             "[1_Holiday]\r\n1=A,05:00\r\n");
  dir_.Write("line_L4.ttd",
             "[1_Mo-Fr]\r\n1=A,5 Min,07:00,07:10\r\n2=C,5 Min,07:08,5 Min\r\n3=C,,07:09\r\n"
             "4=A\r\n");
  dir_.Write("distances.csv",
             "[L1_1_Mo-Fr]\r\ndistance1=\"A\",5,\"Nowhere\",-3,\"C\"\r\n"
             "distance2=\"A\",\"C\",x\r\nnewcross=\"Q\"\r\n[L8_1_Mo-Fr]\r\ndistance1=\"A\"\r\n");
  const CheckReport report = Check(
      "[daygroups]\r\ndaygroupnames=Mo-Fr,Sa,So,mo-fr,A]\r\nMo-Fr_days=monday\r\n"
      "Sa_days=saturdy\r\nA]_days=sunday\r\n[timetable]\r\nmax_drive_minutes=30\r\n");
  const Lines expected = {
      "distances.csv:L1_1_Mo-Fr: Fehler: Unbekannte Station „Nowhere“ in distance1.",
      "distances.csv:L1_1_Mo-Fr: Fehler: Negative Minuten (-3) in distance1; die "
      "Verbindungs-Abfrage lässt sie aus (Distance-Fehler).",
      "distances.csv:L1_1_Mo-Fr: Fehler: „x“ in distance2 ist keine Minutenzahl.",
      "distances.csv:L1_1_Mo-Fr: Fehler: Unbekannte Station „Q“ in newcross.",
      "distances.csv:L8_1_Mo-Fr: Warnung: Der Abschnitt gehört zu keiner Linie von lines.csv.",
      "line_L1.ttd:1_Holiday: Warnung: Der Abschnitt gehört zu keiner Tagesgruppe des Projekts.",
      "line_L1.ttd:1_Mo-Fr:1:3: Fehler: Ungültige Zelle „xx“.",
      "line_L1.ttd:1_Mo-Fr:1:4: Fehler: Intervall ohne Fahrt danach.",
      "line_L1.ttd:1_Mo-Fr:2:2: Fehler: Die Zeit „07:50“ liegt vor der Zeit davor auf der Fahrt, "
      "weiter zurück als über Mitternacht.",
      "line_L1.ttd:1_Mo-Fr:3:1: Fehler: Fahrzeit von 54 Minuten von „B“ nach „C“, mehr als die "
      "höchste Fahrzeit von 30 Minuten (max_drive_minutes).",
      "line_L1.ttd:1_Mo-Fr:3:2: Fehler: Die Zeit „08:20 “ hat Leerzeichen nach den Minuten; die "
      "Konvertierung liest sie nicht (time-error).",
      "line_L1.ttd:2_Mo-Fr:2: Fehler: Die Station „A“ folgt nicht dem Linienverlauf (erwartet: "
      "„B“).",
      "line_L1.ttd:2_Mo-Fr:2:2: Fehler: Die Fahrt hat nur eine Zeit; beim Speichern im Editor "
      "gilt sie als Fehler.",
      "line_L4.ttd:1_Mo-Fr:1:1: Fehler: Intervall ohne Fahrt davor.",
      "line_L4.ttd:1_Mo-Fr:1:3: Fehler: Die Zeit „07:10“ steht in einer Spalte mit Intervallen.",
      "line_L4.ttd:1_Mo-Fr:2:3: Fehler: Intervall ohne Fahrt danach.",
      "line_L4.ttd:1_Mo-Fr:4: Fehler: Die Zeile mit „A“ geht über das Ende des Linienverlaufs "
      "hinaus.",
      "line_stations.csv:2:2: Fehler: Die Station „Q“ der Linie „L2“ fehlt in stations.csv.",
      "line_stations.csv:3: Warnung: Die Linie „L9“ steht nicht in lines.csv.",
      "line_stations.csv:4: Fehler: Die Zeile hat kein „=“ zwischen Linie und Stationen.",
      "line_stations.csv:6: Fehler: Die Linie „X_1“ hat keine Stationen.",
      "lines.csv:2: Fehler: Zur Linie „L2“ gibt es keine Fahrplandatei line_L2.ttd.",
      "lines.csv:3: Fehler: Der Linienname „L/3“ kann nicht Teil eines Dateinamens sein "
      "(line_L/3.ttd): er enthält „/“.",
      "lines.csv:3: Fehler: Die Linie „L/3“ hat keinen Eintrag in line_stations.csv.",
      "lines.csv:4: Fehler: Die Linie „L1“ steht schon in Zeile 1.",
      "lines.csv:5: Warnung: Der Linienname „X_1“ enthält „_“: die Fahrzeiten in distances.csv "
      "lassen sich der Linie nicht zuordnen.",
      "lines.csv:5: Fehler: Zur Linie „X_1“ gibt es keine Fahrplandatei line_X_1.ttd.",
      "p.tvp:daygroups: Warnung: Die Tagesgruppe „Sa“ nennt „saturdy“, das ist kein Wochentag "
      "(monday bis sunday).",
      "p.tvp:daygroups: Fehler: Die Tagesgruppe „Sa“ hat keine Tage.",
      "p.tvp:daygroups: Fehler: Die Tagesgruppe „So“ hat keine Tage.",
      "p.tvp:daygroups: Fehler: Die Tagesgruppe „mo-fr“ steht doppelt.",
      "p.tvp:daygroups: Fehler: Der Name der Tagesgruppe „A]“ kann nicht in einem Abschnittsnamen "
      "der Fahrplandateien stehen.",
      "station_lines.csv:1:2: Warnung: Die Linie „L7“ an der Station „A“ steht nicht in lines.csv.",
      "station_lines.csv:2: Warnung: Die Station „Q“ steht nicht in stations.csv.",
      "stations.csv:4: Fehler: Die Station „B“ steht schon in Zeile 2; die Konvertierung bricht "
      "hier ab.",
      "stations.csv:5: Warnung: Die Station „Z“ wird von keiner Linie bedient.",
  };
  EXPECT_EQ(ProblemLines(report), expected);
  EXPECT_EQ(CountLine(report), "28 Fehler, 8 Warnungen");
}

TEST_F(ProjectCheckTest, LineWithoutTripsIsAWarningAndTimetableProblemsNameTheirEditorCell) {
  WriteCleanProject();
  dir_.Write("lines.csv", "L1\r\nL2\r\n");
  dir_.Write("line_stations.csv", "L1=A,B,C\r\nL2=C,A\r\n");
  dir_.Write("line_L2.ttd", "[1_Mo-Fr]\r\n1=C,,\r\n2=A,,,\r\n");
  dir_.Write("line_L1.ttd", "[1_Mo-Fr]\r\n1=A,07:00,07:30\r\n2=B,07:05,?\r\n3=C,07:09,07:40\r\n");
  const CheckReport report = Check(kDayGroups);
  EXPECT_EQ(ProblemLines(report),
            (Lines{"line_L1.ttd:1_Mo-Fr:2:2: Fehler: Ungültige Zelle „?“.",
                   "line_L2.ttd: Warnung: Die Linie „L2“ hat keine Fahrten."}));
  ASSERT_TRUE(report.Problems()[0].place.has_value());
  const TimetablePlace& place = *report.Problems()[0].place;
  EXPECT_EQ(place.lineName, "L1");
  EXPECT_EQ(place.dayGroupName, "Mo-Fr");
  EXPECT_EQ(place.direction, 1);
  EXPECT_EQ(place.col, 3);
  EXPECT_EQ(place.row, 3);
  EXPECT_EQ(report.Errors(), 1u);
  EXPECT_EQ(report.Warnings(), 1u);
}

TEST_F(ProjectCheckTest, JsonHasOneObjectPerProblemInUtf8) {
  CheckReport report;
  report.Error("line_A.ttd", "Ungültige Zelle „x\"y“.", "1_Mo-Fr", 2, 3);
  report.Warning("stations.csv", "Leere Zeile\t!", {}, 4);
  EXPECT_EQ(ProblemsJson(report),
            "[\n"
            "  {\"file\": \"line_A.ttd\", \"section\": \"1_Mo-Fr\", \"row\": 2, \"column\": 3, "
            "\"severity\": \"error\", \"text\": \"Ung\xC3\xBCltige Zelle \xE2\x80\x9Ex\\\"y"
            "\xE2\x80\x9C.\"},\n"
            "  {\"file\": \"stations.csv\", \"row\": 4, \"severity\": \"warning\", \"text\": "
            "\"Leere Zeile\\u0009!\"}\n"
            "]\n");
  EXPECT_EQ(ProblemsJson(CheckReport{}), "[]\n");
}

}  // namespace
}  // namespace trivo
