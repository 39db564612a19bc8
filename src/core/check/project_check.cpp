#include "check/project_check.h"

#include <filesystem>
#include <unordered_set>

#include "common/error.h"
#include "common/ini_file.h"
#include "common/strings.h"
#include "common/sy_standard.h"
#include "common/text_file.h"
#include "gtfs/gtfs_export.h"
#include "project/prj_params.h"

namespace trivo {

namespace {

constexpr std::string_view kDayGroups = "daygroups";

bool FitsInSectionName(std::string_view name) {
  for (const char c : name) {
    if (c == '[' || c == ']' || c == '=' || static_cast<unsigned char>(c) < 32) return false;
  }
  return true;
}

}  // namespace

CheckReport ProjectCheck::Run(const Context& ctx) const {
  const CheckedProject project = ReadCheckedProject(ctx);
  CheckReport report;
  for (const RuleSet& rules : ruleSets_) rules(project, report);
  for (const CheckedLine& line : project.projectLines) {
    if (!line.firstOfName || !line.fileExists) continue;
    std::string reason;
    const std::optional<CheckedTimetable> timetable = ReadCheckedTimetable(ctx, line, reason);
    if (!timetable) {
      report.Error(line.fileName, "Die Datei kann nicht gelesen werden: " + reason);
      continue;
    }
    for (const TimetableRuleSet& rules : timetableRuleSets_) rules(project, *timetable, report);
  }
  report.Sort();
  return report;
}

void CheckProjectFile(const CheckedProject& project, CheckReport& report) {
  const std::string& file = project.projectFileName;
  if (!project.projectFileRead) {
    report.Error(file, "Die Projektdatei kann nicht gelesen werden.");
    return;
  }
  if (project.dayGroups.empty()) {
    report.Warning(file, "Das Projekt hat keine Tagesgruppen: es entsteht kein Fahrplan.",
                   std::string(kDayGroups));
  }
  std::unordered_set<std::string> names;
  for (const CheckedDayGroup& group : project.dayGroups) {
    const std::string name = Quoted(group.name);
    const auto problem = [&](bool error, const std::string& text) {
      if (error) {
        report.Error(file, text, std::string(kDayGroups));
      } else {
        report.Warning(file, text, std::string(kDayGroups));
      }
    };
    if (!names.insert(LowerCaseCp1252(group.name)).second) {
      problem(true, "Die Tagesgruppe " + name + " steht doppelt.");
    }
    if (!FitsInSectionName(group.name)) {
      problem(true, "Der Name der Tagesgruppe " + name +
                        " kann nicht in einem Abschnittsnamen der Fahrplandateien stehen.");
    }
    bool anyDay = false;
    for (const std::string& day : group.days) {
      if (IndexOfString(DayNames, day) >= 0) {
        anyDay = true;
      } else {
        problem(false, "Die Tagesgruppe " + name + " nennt " + Quoted(day) +
                           ", das ist kein Wochentag (monday bis sunday).");
      }
    }
    if (!anyDay) problem(true, "Die Tagesgruppe " + name + " hat keine Tage.");
  }
  if (project.maxDriveText) {
    const std::optional<std::int32_t> minutes = TryStrToInt(*project.maxDriveText);
    if (!minutes) {
      report.Warning(file, "max_drive_minutes " + Quoted(*project.maxDriveText) +
                               " ist keine ganze Zahl; es gilt die höchste Fahrzeit von " +
                               std::to_string(project.maxDriveMinutes) + " Minuten.");
    } else if (*minutes <= 0) {
      report.Warning(file, "max_drive_minutes ist " + std::to_string(*minutes) +
                               ": der Editor lehnt jede Zeit nach einer anderen ab.");
    }
  }
}

ProjectCheck StandardProjectCheck() {
  ProjectCheck check;
  check.Add(CheckProjectFile);
  check.Add(CheckMasterData);
  check.Add(CheckDistances);
  check.AddTimetableRules(CheckTimetable);
  return check;
}

void CheckGtfsExport(Context& ctx, CheckReport& report) {
  // Only a project kept for the export: with its settings or its station positions.
  const std::filesystem::path projectFile(ctx.ProjectFileName);
  if (!IniFile(projectFile).SectionExists("gtfs") &&
      !FileExists(ctx.ProjectFile(gtfs::StationPositions::kFileName))) {
    return;
  }
  gtfs::FeedBuild build;
  try {
    build = gtfs::BuildFeed(ctx);
  } catch (const Error&) {
    return;  // the standard check names the files that cannot be read
  }
  for (const gtfs::ExportFinding& finding : build.findings) {
    // What the other rule sets do not see: the export's settings and its own files.
    std::string file;
    if (finding.text.starts_with("[gtfs]")) {
      file = projectFile.filename().string();
    } else if (finding.text.starts_with(gtfs::StationPositions::kFileName) ||
               finding.text.starts_with(gtfs::GtfsIds::kFileName)) {
      file = finding.text.substr(0, finding.text.find_first_of(":,"));
    } else {
      continue;
    }
    const std::string text = "GTFS-Export: " + finding.text;
    if (finding.error) {
      report.Error(file, text);
    } else {
      report.Warning(file, text);
    }
  }
}

CheckReport CheckProject(Context& ctx) {
  CheckReport report = StandardProjectCheck().Run(ctx);
  CheckGtfsExport(ctx, report);
  report.Sort();
  return report;
}

}  // namespace trivo
