#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trivo {

enum class CheckSeverity { Error, Warning };

// Where a timetable problem lies in the editor: the timetable to load and its grid cell
// (trip columns from 2, data rows from 2).
struct TimetablePlace {
  std::string lineName;
  std::string dayGroupName;
  int direction = 1;
  int col = 2;
  int row = 2;
};

// One problem of a project, as editors and compilers name them: the file (its name in the
// project folder), and where they apply a section, a row and a column (both from 1; 0
// when they do not apply). In a timetable file the row is the row's key and the column the
// trip; in the other files the row is the line of the file.
struct CheckProblem {
  std::string file;
  std::string section;
  int row = 0;
  int column = 0;
  CheckSeverity severity = CheckSeverity::Error;
  std::string text;  // German, Windows-1252
  std::optional<TimetablePlace> place;
};

// Everything one check found.
class CheckReport {
 public:
  void Add(CheckProblem problem) { problems_.push_back(std::move(problem)); }
  void Error(std::string file, std::string text, std::string section = {}, int row = 0,
             int column = 0);
  void Warning(std::string file, std::string text, std::string section = {}, int row = 0,
               int column = 0);

  const std::vector<CheckProblem>& Problems() const { return problems_; }
  std::size_t Errors() const;
  std::size_t Warnings() const;
  // By file name, then section, row and column; problems at one place keep their order.
  void Sort();

 private:
  std::vector<CheckProblem> problems_;
};

// A name in German quotation marks, for the texts of the problems.
std::string Quoted(std::string_view name);

// "<file>:<section>:<row>:<column>: Fehler: <text>" (or "Warnung:"), the parts that do
// not apply left out.
std::string ProblemLine(const CheckProblem& problem);
// "3 Fehler, 1 Warnung" and the like.
std::string CountLine(const CheckReport& report);
// The problems as a JSON array of objects (UTF-8), one object a line.
std::string ProblemsJson(const CheckReport& report);

}  // namespace trivo
