#include "gtfs/import_report.h"

#include <algorithm>

namespace trivo::gtfs {

void ImportReport::Add(Section section, std::string_view kind, std::string detail) {
  auto it = std::find_if(kinds_.begin(), kinds_.end(),
                         [&](const Kind& known) { return known.name == kind; });
  if (it == kinds_.end()) {
    kinds_.push_back({section, std::string(kind), 0, {}});
    it = kinds_.end() - 1;
  }
  ++it->count;
  if (!detail.empty() && it->details.size() < kDetailsPerKind) {
    it->details.push_back(std::move(detail));
  }
}

std::size_t ImportReport::Count(std::string_view kind) const {
  for (const Kind& known : kinds_) {
    if (known.name == kind) return known.count;
  }
  return 0;
}

std::size_t ImportReport::Total(Section section) const {
  std::size_t total = 0;
  for (const Kind& kind : kinds_) {
    if (kind.section == section) total += kind.count;
  }
  return total;
}

std::vector<std::string> ImportReport::Lines() const {
  std::vector<std::string> lines = header;
  lines.insert(lines.end(), summary.begin(), summary.end());
  const auto section = [&](Section which, std::string_view title) {
    bool any = false;
    for (const Kind& kind : kinds_) {
      if (kind.section != which) continue;
      if (!any) {
        lines.emplace_back();
        lines.emplace_back(title);
        any = true;
      }
      lines.push_back("  " + kind.name + ": " + std::to_string(kind.count));
      for (const std::string& detail : kind.details) lines.push_back("    " + detail);
      if (kind.count > kind.details.size() && !kind.details.empty()) {
        lines.push_back("    ... und " + std::to_string(kind.count - kind.details.size()) +
                        " weitere");
      }
    }
  };
  section(Section::SkippedRows, "Ausgelassene Zeilen des Feeds:");
  section(Section::SkippedTrips, "Ausgelassene Fahrten:");
  section(Section::Changes, "Geändert übernommen:");
  return lines;
}

}  // namespace trivo::gtfs
