#include "project/prj_load.h"

#include <optional>

#include "common/ini_file.h"
#include "common/strings.h"
#include "common/sy_standard.h"

namespace trivo {

std::vector<std::string> SplitProjectList(std::string_view text) {
  std::vector<std::string> pieces;
  std::string piece;
  char quote = 0;
  for (const char c : text) {
    if (quote != 0) {
      piece += c;
      if (c == quote) quote = 0;
    } else if (c == ',') {
      if (!piece.empty()) pieces.push_back(std::move(piece));
      piece.clear();
    } else {
      if (c == '"' || c == '\'') quote = c;
      piece += c;
    }
  }
  if (!piece.empty()) pieces.push_back(std::move(piece));
  return pieces;
}

namespace {

std::optional<std::int32_t> ReadIntegerValue(const IniFile& file, std::string_view section,
                                             std::string_view key) {
  return TryStrToInt(file.ReadString(section, key, ""));
}

}  // namespace

ProjectReadResult ReadProjectFile(TPrjParams& params, const std::filesystem::path& path,
                                  JobFiles* job) {
  const IniFile file(path, job);
  ProjectReadResult result;

  params.LastSave = file.ReadString("general", "lastsave", CurrentLastSave());

  const std::vector<std::string> names =
      SplitProjectList(file.ReadString("daygroups", "daygroupnames", ""));
  if (!names.empty()) {
    params.DayGroups.clear();
    for (const std::string& name : names) {
      TDayGroupItem item;
      item.Name = name;
      item.Text = file.ReadString("daygroups", name + "_text", name);
      const std::vector<std::string> days =
          SplitProjectList(file.ReadString("daygroups", name + "_days", ""));
      if (days.empty()) continue;  // a group without days is no part of the project
      for (const std::string& day : days) {
        const int index = IndexOfString(DayNames, day);
        if (index >= 0) item.Days.set(index);
      }
      params.DayGroups.push_back(std::move(item));
    }
    result.dayGroupsReplaced = true;
  }

  // The drive time is written under [timetable]; older files may carry it under [options].
  params.MaxDriveMinutes = ReadIntegerValue(file, "options", "max_drive_minutes")
                               .value_or(ReadIntegerValue(file, "timetable", "max_drive_minutes")
                                             .value_or(kDefaultMaxDriveMinutes));
  return result;
}

}  // namespace trivo
