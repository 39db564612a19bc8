#include "convert/ttd_file.h"

namespace trivo {

std::optional<std::filesystem::path> TimetableFilePath(const Context& ctx,
                                                       std::string_view lineName) {
  // A separator would lead out of the project folder; a NUL would cut the name short in
  // the operating system and address another file.
  if (lineName.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) {
    return std::nullopt;
  }
  std::string fileName = "line_";
  fileName.append(lineName);
  fileName.append(".ttd");
  return ctx.ProjectFile(fileName);
}

std::string TimetableSectionName(int direction, std::string_view dayGroupName) {
  std::string section = std::to_string(direction);
  section.push_back('_');
  section.append(dayGroupName);
  return section;
}

void ForEachTimetableRow(const IniFile& file, std::string_view section,
                         const std::function<void(std::string_view row)>& visit) {
  for (int key = 1;; ++key) {
    const std::string_view row =
        file.ReadView(section, std::to_string(key), IniFile::kTimetableRowLimit).value_or("");
    if (row.empty()) break;
    visit(row);
  }
}

std::vector<std::string> ReadTimetableRows(const IniFile& file, std::string_view section) {
  std::vector<std::string> rows;
  ForEachTimetableRow(file, section, [&rows](std::string_view row) { rows.emplace_back(row); });
  return rows;
}

std::string TimetableRowValue(std::string row) {
  if (row.size() < 2 || (row.front() != '"' && row.front() != '\'') || row.back() != row.front()) {
    return row;
  }
  const char quote = row.front();
  return quote + row + quote;
}

}  // namespace trivo
