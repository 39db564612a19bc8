#include "ptf/ptf_writer.h"

#include <charconv>
#include <cmath>

#include "common/strings.h"

namespace trivo {

namespace {

// Appends the text as PtfQuote gives it: every backslash doubled, then every quote
// character preceded by a backslash (a backslash as the quote character therefore comes
// out four times).
void AppendPtfQuoted(std::string& out, std::string_view text, char quote) {
  out.push_back(quote);
  for (const char c : text) {
    if (c == '\\') {
      out.append(quote == '\\' ? "\\\\\\\\" : "\\\\");
    } else {
      if (c == quote) out.push_back('\\');
      out.push_back(c);
    }
  }
  out.push_back(quote);
}

void AppendPtfValue(std::string& out, const Field& field, char quote) {
  const Value& value = field.AsValue();
  if (value.IsNull()) {
    out.append("null");
  } else if (value.IsText()) {
    AppendPtfQuoted(out, value.Text(), quote);
  } else if (value.IsInteger()) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value.Integer()).ptr);
  } else if (value.IsBoolean()) {
    out.append(value.Boolean() ? "true" : "false");
  } else if (!std::isfinite(value.Float())) {
    // A script has no literal for infinities or NaN; null keeps the file readable.
    out.append("null");
  } else {
    out.append(FloatToStr(value.Float()));
  }
}

}  // namespace

std::string PtfQuote(std::string_view text, char quote) {
  std::string result;
  result.reserve(text.size() + 8);
  AppendPtfQuoted(result, text, quote);
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
      AppendPtfValue(line, table.FieldAt(i), quote);
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
