#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace trivo::gtfs {

// What an import could not take, or took only in part: problems of each kind counted,
// the first few of each listed with file and row or with the trip's ID.
class ImportReport {
 public:
  static constexpr std::size_t kDetailsPerKind = 20;

  enum class Section {
    SkippedRows,   // rows of the feed not taken
    SkippedTrips,  // trips not taken
    Changes,       // taken, but changed (names, stops, frequencies)
  };

  struct Kind {
    Section section;
    std::string name;
    std::size_t count = 0;
    std::vector<std::string> details;
  };

  // Counts one problem of the kind; keeps the detail when fewer are kept.
  void Add(Section section, std::string_view kind, std::string detail = {});
  std::size_t Count(std::string_view kind) const;
  std::size_t Total(Section section) const;
  const std::vector<Kind>& Kinds() const { return kinds_; }

  // The summary lines, shown on standard output and at the top of the report.
  std::vector<std::string> summary;
  // Further lines about the import (the feed, the reference week).
  std::vector<std::string> header;

  // The whole report: header, summary, then the sections, one line each.
  std::vector<std::string> Lines() const;

 private:
  std::vector<Kind> kinds_;
};

}  // namespace trivo::gtfs
