#pragma once

#include <sys/types.h>

#include <filesystem>
#include <set>
#include <utility>

#include "common/text_file.h"
#include "common/user_interface.h"

namespace trivo {

// What the running job knows about its files.
//
// Inputs: every file the job reads as an input (the project file, the CSV files, the .ttd
// files, distances.csv) is recorded as it is read, by identity (device and inode of the
// name it was opened under and of the file behind it), so that a write with
// WriteOptions::keepInputs never replaces one, whatever name or link leads to it. Loading
// a project starts a new job and forgets the inputs of the one before.
//
// Failed writes: every file the job should have written but did not is counted, so that
// the command line can end with exit status 1. A refused input is also told to the user
// ("Datei %s wird nicht überschrieben, weil sie eine Eingabedatei ist"), since nothing
// else would say why.
class JobFiles {
 public:
  explicit JobFiles(UserInterface& ui) : ui_(ui) {}
  JobFiles(const JobFiles&) = delete;
  JobFiles& operator=(const JobFiles&) = delete;

  // Records the file under path (and the link, when path is a symbolic link) as an input
  // of the running job. A document written again is recorded anew: its identity changes.
  void RecordInput(const std::filesystem::path& path);
  // Whether the name path leads (as a name, not through a link at its end) to an input.
  bool IsInput(const std::filesystem::path& path) const;
  void ForgetInputs() { inputs_.clear(); }

  // Counts a write of path that failed; says so when it was refused for being an input.
  void WriteFailed(const std::filesystem::path& path, const WriteResult& result);
  int FailedWrites() const { return failedWrites_; }

  // Write options for a regenerated output of the job (a PTF file): it never replaces an
  // input, and it is not flushed to the disk (the conversion makes it again).
  WriteOptions Output() { return {this, true, false}; }
  // Write options for a file the user cannot regenerate (the project file, a .ttd file,
  // distances.csv, a CSV file written by a window): flushed to the disk; it may replace
  // the file it was read from.
  WriteOptions Document() { return {this, false, true}; }

 private:
  UserInterface& ui_;
  std::set<std::pair<dev_t, ino_t>> inputs_;
  int failedWrites_ = 0;
};

}  // namespace trivo
