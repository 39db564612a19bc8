#include "project/prj_save.h"

#include <string>

#include "common/ini_file.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "project/day_group_table.h"
#include "ptf/ptf_writer.h"

namespace trivo {
namespace {

constexpr std::string_view kDayGroupsPtf = "daygroups.ptf";

std::string JoinDayGroupNames(const TPrjParams& params) {
  std::string names;
  for (std::size_t i = 0; i < params.DayGroups.size(); ++i) {
    if (i > 0) names += ',';
    names += params.DayGroups[i].Name;
  }
  return names;
}

std::string JoinDayNames(Weekdays days) {
  std::string names;
  for (std::size_t day = 0; day < DayNames.size(); ++day) {
    if (!days.test(day)) continue;
    if (!names.empty()) names += ',';
    names += DayNames[day];
  }
  return names;
}

void WriteApplication(const AppInfo& app, IniFile& ini) {
  ini.WriteString("application", "name", app.AppName);
  ini.WriteString("application", "edition", app.AppEdition);
  ini.WriteString("application", "version", app.AppVersion);
  ini.WriteString("application", "type", app.AppType);
}

void WriteDayGroups(const TPrjParams& params, IniFile& ini) {
  ini.WriteString("daygroups", "daygroupnames", JoinDayGroupNames(params));
  for (const TDayGroupItem& group : params.DayGroups) {
    ini.WriteString("daygroups", group.Name + "_text", group.Text);
    ini.WriteString("daygroups", group.Name + "_days", JoinDayNames(group.Days));
  }
}

void WriteDayGroupsPtf(Context& ctx) {
  BuildDayGroupTable(ctx);
  if (!SaveTableToPtf(ctx.WorkingDir, kDayGroupsPtf, '"', ctx.dm1.cdsDayGroups,
                      ctx.files.Output())) {
    ctx.ui.ShowMessage("fehler bei PTF-Erzeugung daygroups.ptf");
  }
}

void WriteMaxDriveMinutes(const TPrjParams& params, IniFile& ini) {
  const std::string minutes = std::to_string(params.MaxDriveMinutes);
  ini.WriteString("timetable", "max_drive_minutes", minutes);
  if (ini.ValueExists("options", "max_drive_minutes")) {
    ini.WriteString("options", "max_drive_minutes", minutes);
  }
}

// The sections of the project file that belong to no key written here ([gtfs] and any
// other feature's), copied from the loaded project into a file saved under another name
// that lacks them, so that "save as" does not lose them.
void CarrySections(const Context& ctx, const std::filesystem::path& path, IniFile& ini) {
  if (ctx.ProjectFileName.empty()) return;
  std::error_code error;
  if (std::filesystem::equivalent(ctx.ProjectFileName, path, error) ||
      !FileExists(ctx.ProjectFileName)) {
    return;
  }
  const IniFile loaded(ctx.ProjectFileName);
  for (const std::string& section : loaded.ReadSections()) {
    bool own = false;
    for (const std::string_view name :
         {"application", "general", "daygroups", "timetable", "options"}) {
      own = own || SameText(section, name);
    }
    if (own || ini.SectionExists(section)) continue;
    std::vector<std::pair<std::string, std::string>> keys;
    for (const std::string& key : loaded.ReadSection(section)) {
      keys.emplace_back(key, loaded.ReadString(section, key, "", std::string::npos));
    }
    ini.ReplaceSection(section, keys);
  }
}

}  // namespace

void WriteProjectSettings(const AppInfo& app, const TPrjParams& params, IniFile& ini) {
  WriteApplication(app, ini);
  ini.WriteString("general", "lastsave", CurrentLastSave());
  WriteDayGroups(params, ini);
  WriteMaxDriveMinutes(params, ini);
}

void WriteProjectFile(Context& ctx, const std::filesystem::path& path) {
  IniFile ini(path, &ctx.files);
  WriteProjectSettings(ctx.app, ctx.PrjParams, ini);
  WriteDayGroupsPtf(ctx);
  CarrySections(ctx, path, ini);
}

}  // namespace trivo
