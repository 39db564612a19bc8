#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_file.h"
#include "tables/table.h"

namespace trivo {

inline constexpr std::string_view kPtfFirstLine = "/* Portable Table Format 1.0 */";
inline constexpr std::string_view kPtfSecondLine = "porTables[porTables.length] = new Array(";

// A text value of a PTF file: quote, the text with every backslash doubled and then every
// quote character preceded by a backslash, quote.
std::string PtfQuote(std::string_view text, char quote);

// The lines of a PTF file for the table: frame, column names, the rows in the order of
// the active index, and the column count. Opens a closed table; afterwards it is open
// with the cursor after its last record. An absent table fails with
// "Fehlender Daten-Provider oder Datenpaket".
std::vector<std::string> TableToPtfLines(Table& table, char quote);
// The same lines, handed to visit one by one in order instead of collected.
void ForEachPtfLine(Table& table, char quote,
                    const std::function<void(std::string_view line)>& visit);

// Writes the table as a PTF file named fileName in the folder workingDir (every caller
// passes a bare file name). Returns false when the file cannot be written; the file is
// then left as it was. The conversions pass their job's output options (JobFiles::Output).
bool SaveTableToPtf(const std::filesystem::path& workingDir, std::string_view fileName, char quote,
                    Table& table, const WriteOptions& options = {});

}  // namespace trivo
