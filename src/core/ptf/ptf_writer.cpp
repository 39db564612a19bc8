#include "ptf/ptf_writer.h"

#include <cmath>

#include "common/strings.h"

namespace trivo {

namespace {

std::string PtfValue(const Field& field, char quote) {
  const Value& value = field.AsValue();
  if (value.IsNull()) return "null";
  if (value.IsText()) return PtfQuote(value.Text(), quote);
  if (value.IsInteger()) return std::to_string(value.Integer());
  if (value.IsBoolean()) return value.Boolean() ? "true" : "false";
  // A script has no literal for infinities or NaN; null keeps the file readable.
  if (!std::isfinite(value.Float())) return "null";
  return FloatToStr(value.Float());
}

}  // namespace

std::string PtfQuote(std::string_view text, char quote) {
  std::string doubled;
  doubled.reserve(text.size() + 2);
  for (const char c : text) {
    doubled.push_back(c);
    if (c == '\\') doubled.push_back('\\');
  }
  std::string result(1, quote);
  result.reserve(doubled.size() + 8);
  for (const char c : doubled) {
    if (c == quote) result.push_back('\\');
    result.push_back(c);
  }
  result.push_back(quote);
  return result;
}

void ForEachPtfLine(Table& table, char quote,
                    const std::function<void(std::string_view line)>& visit) {
  visit(kPtfFirstLine);
  visit(kPtfSecondLine);
  std::string line;
  for (const FieldDef& def : table.FieldDefs()) {
    line += quote + def.name + quote + ',';
  }
  visit(line);
  table.OpenTable();
  table.MoveFirst();
  const int fieldCount = static_cast<int>(table.FieldDefs().size());
  while (!table.AtEnd()) {
    line.clear();
    for (int i = 0; i < fieldCount; ++i) {
      line += PtfValue(table.FieldAt(i), quote);
      line += ',';
    }
    visit(line);
    table.MoveNext();
  }
  visit(std::to_string(fieldCount) + ");");
}

std::vector<std::string> TableToPtfLines(Table& table, char quote) {
  std::vector<std::string> lines;
  ForEachPtfLine(table, quote, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

bool SaveTableToPtf(const std::filesystem::path& workingDir, std::string_view fileName, char quote,
                    Table& table, const WriteOptions& options) {
  std::string text;
  ForEachPtfLine(table, quote, [&text](std::string_view line) {
    text.append(line);
    text.append("\r\n");
  });
  return static_cast<bool>(
      TryWriteFileAtomically(workingDir / std::string(fileName), text, options));
}

}  // namespace trivo
