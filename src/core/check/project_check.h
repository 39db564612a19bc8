#pragma once

#include <functional>
#include <vector>

#include "check/check_report.h"
#include "check/checked_project.h"
#include "project/context.h"

namespace trivo {

// The project check "Projekt prüfen": one pass over the whole project that lists every
// problem the conversions, the editor and the connection query would meet, without
// stopping at the first. It is made of rule sets, each looking at the project as read once
// and adding what it finds; further rule sets (such as those of an export) are added to
// the standard check.
//
// Timetable rule sets look at one line's timetable file at a time: each file is read once
// for all of them and let go before the next, so that the check of a large project needs
// little more memory than its largest timetable file.
class ProjectCheck {
 public:
  using RuleSet = std::function<void(const CheckedProject& project, CheckReport& report)>;
  using TimetableRuleSet = std::function<void(
      const CheckedProject& project, const CheckedTimetable& timetable, CheckReport& report)>;

  void Add(RuleSet rules) { ruleSets_.push_back(std::move(rules)); }
  void AddTimetableRules(TimetableRuleSet rules) { timetableRuleSets_.push_back(std::move(rules)); }
  // Every rule set over the project that ctx has loaded; the report comes sorted by file.
  CheckReport Run(const Context& ctx) const;

 private:
  std::vector<RuleSet> ruleSets_;
  std::vector<TimetableRuleSet> timetableRuleSets_;
};

// The rule sets of the standard check.
void CheckProjectFile(const CheckedProject& project, CheckReport& report);
void CheckMasterData(const CheckedProject& project, CheckReport& report);
void CheckDistances(const CheckedProject& project, CheckReport& report);
void CheckTimetable(const CheckedProject& project, const CheckedTimetable& timetable,
                    CheckReport& report);

// The project file and day groups, the master data, the timetables and distances.csv.
ProjectCheck StandardProjectCheck();

// What the GTFS export would refuse or warn of beyond the standard check, for a project
// kept for the export (a [gtfs] section or station_positions.csv): its [gtfs] settings,
// station_positions.csv (stations that lines use without a position among them) and
// gtfs_ids.csv.
void CheckGtfsExport(Context& ctx, CheckReport& report);

// Reads the project that ctx has loaded and runs the standard check and the GTFS export's
// over it.
CheckReport CheckProject(Context& ctx);

}  // namespace trivo
