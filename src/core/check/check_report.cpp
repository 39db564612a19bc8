#include "check/check_report.h"

#include <algorithm>
#include <tuple>

#include "common/cp1252.h"

namespace trivo {

namespace {

std::string SeverityWord(CheckSeverity severity) {
  return severity == CheckSeverity::Error ? "Fehler" : "Warnung";
}

}  // namespace

void CheckReport::Error(std::string file, std::string text, std::string section, int row,
                        int column) {
  problems_.push_back({std::move(file), std::move(section), row, column, CheckSeverity::Error,
                       std::move(text), std::nullopt});
}

void CheckReport::Warning(std::string file, std::string text, std::string section, int row,
                          int column) {
  problems_.push_back({std::move(file), std::move(section), row, column, CheckSeverity::Warning,
                       std::move(text), std::nullopt});
}

std::size_t CheckReport::Errors() const {
  return static_cast<std::size_t>(
      std::count_if(problems_.begin(), problems_.end(),
                    [](const CheckProblem& p) { return p.severity == CheckSeverity::Error; }));
}

std::size_t CheckReport::Warnings() const {
  return problems_.size() - Errors();
}

void CheckReport::Sort() {
  std::stable_sort(problems_.begin(), problems_.end(),
                   [](const CheckProblem& a, const CheckProblem& b) {
                     return std::tie(a.file, a.section, a.row, a.column) <
                            std::tie(b.file, b.section, b.row, b.column);
                   });
}

std::string Quoted(std::string_view name) {
  return "„" + std::string(name) + "“";
}

std::string ProblemLine(const CheckProblem& problem) {
  std::string line = problem.file;
  if (!problem.section.empty()) line += ":" + problem.section;
  if (problem.row > 0) line += ":" + std::to_string(problem.row);
  if (problem.column > 0) line += ":" + std::to_string(problem.column);
  return line + ": " + SeverityWord(problem.severity) + ": " + problem.text;
}

std::string CountLine(const CheckReport& report) {
  const std::size_t warnings = report.Warnings();
  return std::to_string(report.Errors()) + " Fehler, " + std::to_string(warnings) +
         (warnings == 1 ? " Warnung" : " Warnungen");
}

std::string ProblemsJson(const CheckReport& report) {
  std::string out = "[";
  bool first = true;
  for (const CheckProblem& problem : report.Problems()) {
    out += first ? "\n  {" : ",\n  {";
    first = false;
    out += "\"file\": " + JsonString(problem.file);
    if (!problem.section.empty()) out += ", \"section\": " + JsonString(problem.section);
    if (problem.row > 0) out += ", \"row\": " + std::to_string(problem.row);
    if (problem.column > 0) out += ", \"column\": " + std::to_string(problem.column);
    out += std::string(", \"severity\": \"") +
           (problem.severity == CheckSeverity::Error ? "error" : "warning") + "\"";
    out += ", \"text\": " + JsonString(problem.text);
    if (problem.place) {
      out += ", \"line\": " + JsonString(problem.place->lineName);
      out += ", \"dayGroup\": " + JsonString(problem.place->dayGroupName);
      out += ", \"direction\": " + std::to_string(problem.place->direction);
    }
    out += "}";
  }
  return out + (first ? "]\n" : "\n]\n");
}

}  // namespace trivo
