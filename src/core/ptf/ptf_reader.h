#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tables/table.h"

namespace trivo {

class UserInterface;

// Splits one record line of a PTF file into tokens "s=<text>", "b=<true|false>",
// "u=null" and "n=<number>", in line order. Returns false for an invalid line; the
// list then holds the tokens found before the invalid spot.
bool ParsePtfValues(std::string_view line, std::vector<std::string>& tokens);

// Fills the table from the PTF file fileName in workingDir and returns true, or false
// (fewer than five lines, a value its field cannot take, more values than fields, a
// duplicate key). Text fields are widened to hold the longest value plus 16 characters;
// the wider definition persists. The table ends closed. A file that cannot be opened
// fails with "Datei %s kann nicht geöffnet werden. %s".
bool LoadTableFromPtf(const std::filesystem::path& workingDir, std::string_view fileName,
                      Table& table);

// Reloads the station table (cdsStations) from stations.ptf in workingDir; shows
// "Keine Stationen gefunden (Datei: stations.ptf)!" when that fails.
void LoadStationsPtf(const std::filesystem::path& workingDir, Table& stations, UserInterface& ui);

}  // namespace trivo
