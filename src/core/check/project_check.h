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
class ProjectCheck {
 public:
  using RuleSet = std::function<void(const CheckedProject& project, CheckReport& report)>;

  void Add(RuleSet rules) { ruleSets_.push_back(std::move(rules)); }
  // Every rule set over the project; the report comes sorted by file.
  CheckReport Run(const CheckedProject& project) const;

 private:
  std::vector<RuleSet> ruleSets_;
};

// The rule sets of the standard check.
void CheckProjectFile(const CheckedProject& project, CheckReport& report);
void CheckMasterData(const CheckedProject& project, CheckReport& report);
void CheckTimetables(const CheckedProject& project, CheckReport& report);
void CheckDistances(const CheckedProject& project, CheckReport& report);

// The project file and day groups, the master data, the timetables and distances.csv.
ProjectCheck StandardProjectCheck();

// Reads the project that ctx has loaded and runs the standard check over it.
CheckReport CheckProject(const Context& ctx);

}  // namespace trivo
