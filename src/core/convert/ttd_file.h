#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ini_file.h"
#include "project/context.h"

namespace trivo {

// The timetable data file line_<line name>.ttd of a line in the project folder; empty for
// a line name holding "/" or "\", whose file would lie outside the project folder (such a
// line reads as having no timetable file).
std::optional<std::filesystem::path> TimetableFilePath(const Context& ctx,
                                                       std::string_view lineName);

// "<direction>_<day group name>", for example "1_Mo-Fr".
std::string TimetableSectionName(int direction, std::string_view dayGroupName);

// The rows of a section: keys "1", "2", ... up to the first missing or empty key, each
// cut at 4095 characters.
std::vector<std::string> ReadTimetableRows(const IniFile& file, std::string_view section);
// The same rows handed to visit one by one, as views into the file's bytes.
void ForEachTimetableRow(const IniFile& file, std::string_view section,
                         const std::function<void(std::string_view row)>& visit);

// A row as the value of its key: a profile-file value is read without one pair of quotes
// that encloses it whole, so a row that begins and ends with the same quote is written
// inside one more pair of it and reads back as it was.
std::string TimetableRowValue(std::string row);

}  // namespace trivo
