#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "project/context.h"
#include "project/prj_params.h"

namespace trivo {

// How the main window came to its project.
enum class ProjectStage {
  Opened,      // a project file was loaded
  NewSaved,    // "Neues Projekt..." with the new file saved
  NewStarted,  // a new project from the default file, not saved yet
};

// Which of the five conversion buttons a stage enables (true) or disables (false); an
// empty entry leaves the button as it is.
struct ConversionButtonStates {
  std::optional<bool> editProject;     // 1) daygroups.ptf
  std::optional<bool> editStations;    // 2) stations.ptf
  std::optional<bool> editLines;       // 3) lines.ptf
  std::optional<bool> assignStations;  // 4) line_stations.ptf
  std::optional<bool> editTimeTable;   // 5) the timetables
};

ConversionButtonStates ConversionButtonsFor(ProjectStage stage);

// "Neues Projekt...": writes the project file to path and makes it the loaded project,
// ProjectFileName the file and ProjectDir its folder, as after opening it.
void SaveNewProject(Context& ctx, const std::string& path);
// "Speichern unter...": writes the project file to path and makes it ProjectFileName; the
// conversions go on reading their inputs from ProjectDir, which stays as it was.
void SaveProjectAs(Context& ctx, const std::string& path);

// The folder of a project file, without a trailing separator (the root keeps its only
// one).
std::string ProjectFolderOf(const std::string& projectFile);

// A day group the settings window adds: name and text must not be empty, and no day
// group of the project may have the same name or the same text.
enum class DayGroupAddition { Added, Empty, Taken };
DayGroupAddition AddDayGroup(TPrjParams& params, const TDayGroupItem& group);

// The settings window's edit mode: on after a change, off after saving or discarding;
// the save button is shown exactly while it is on.
class SettingsEditMode {
 public:
  bool On() const { return on_; }
  void EditOn() { on_ = true; }
  void EditOff() { on_ = false; }

 private:
  bool on_ = false;
};

}  // namespace trivo
