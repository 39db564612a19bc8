#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/folder_lock.h"
#include "common/job_files.h"
#include "common/user_interface.h"
#include "project/prj_params.h"
#include "tables/data_module.h"

namespace trivo {

// Facts about the running program that go into every project file written.
struct AppInfo {
  std::string ExeFileName;
  std::string DefaultProjectFile;
  std::string AppName = "Trivo Editor";
  std::string AppEdition = "Standard";
  std::string AppVersion = "0.0.0";
  std::string AppType;
};

// The editor unit's globals: which timetable is loaded or being converted.
struct EditorState {
  std::string CurrentLineName;
  std::string CurrentDayGroupName;
  std::int32_t CurrentDirection = 0;
};

// The conversion under way in a Context: the lock on its working folder and how many
// conversion scopes are open (see ConversionScope).
struct ConversionState {
  std::optional<FolderLock> lock;
  int depth = 0;
};

// The whole state of one run of the program. Core routines take it instead of
// reaching for globals.
class Context {
 public:
  explicit Context(UserInterface& userInterface) : ui(userInterface) {}
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  UserInterface& ui;
  AppInfo app;
  TPrjParams PrjParams;
  std::string ProjectFileName;  // empty while no project is loaded
  std::string ProjectDir;       // folder of the project file, without trailing separator
  std::string WorkingDir;       // folder against which bare PTF file names resolve
  EditorState editor;
  Tdm1 dm1;
  JobFiles files{ui};  // the inputs of the running job and the writes that failed
  ConversionState conversion;

  // ProjectDir + separator + name: the input files of the project.
  std::filesystem::path ProjectFile(std::string_view name) const;
  // A bare file name in the working directory: the PTF files.
  std::filesystem::path WorkingFile(std::string_view name) const;
};

}  // namespace trivo
