#include "ptf/ptf_reader.h"

#include <climits>

#include "common/error.h"
#include "common/messages.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "common/user_interface.h"

namespace trivo {

namespace {

// A bare value between commas: the words true, false and null or a decimal number.
bool AddBareValue(std::string_view text, std::vector<std::string>& tokens) {
  if (text == "true" || text == "false") {
    tokens.push_back("b=" + std::string(text));
  } else if (text == "null") {
    tokens.emplace_back("u=null");
  } else if (IsDecimalNumber(text)) {
    tokens.push_back("n=" + std::string(text));
  } else {
    return false;
  }
  return true;
}

std::string_view TokenValue(const std::string& token) {
  const std::size_t equals = token.find('=');
  return equals == std::string::npos ? std::string_view()
                                     : std::string_view(token).substr(equals + 1);
}

void AssignToken(Field field, std::string_view value) {
  if (value == "null") {
    field.Clear();
    return;
  }
  switch (field.Def().type) {
    case FieldType::String:
      field.SetText(value);
      break;
    case FieldType::AutoInc:
    case FieldType::Integer:
    case FieldType::Smallint:
      field.SetInteger(StrToInt(value));
      break;
    case FieldType::Boolean:
      field.SetBoolean(value == "true");
      break;
    case FieldType::Float:
      field.SetFloat(StrToFloat(value));
      break;
  }
}

// Text fields grow to hold the longest value of the record lines plus 16 characters.
void WidenTextFields(const std::vector<std::string>& recordLines, Table& table) {
  std::vector<std::string> tokens;
  for (const std::string& line : recordLines) {
    if (!ParsePtfValues(line, tokens)) continue;
    for (std::size_t i = 0; i < tokens.size() && i < table.FieldDefs().size(); ++i) {
      const FieldDef& def = table.FieldDefs()[i];
      if (def.type != FieldType::String) continue;
      const std::size_t wanted = TokenValue(tokens[i]).size() + 16;
      if (static_cast<std::size_t>(def.size) < wanted) {
        table.SetFieldSize(static_cast<int>(i),
                           static_cast<int>(std::min<std::size_t>(wanted, INT_MAX)));
      }
    }
  }
}

}  // namespace

bool ParsePtfValues(std::string_view line, std::vector<std::string>& tokens) {
  tokens.clear();
  bool inString = false;
  char quote = '"';
  bool escape = false;
  std::string current;
  for (const char c : line) {
    if (inString) {
      switch (c) {
        case ' ':
          current += c;
          break;
        case '"':
        case '\'':
          if (c == quote && !escape) {
            tokens.push_back("s=" + current);
            current.clear();
            inString = false;
          } else {
            current += c;
          }
          break;
        case '\\':
          if (escape) current += '\\';
          escape = !escape;
          continue;
        default:
          if (escape) current += '\\';
          current += c;
          break;
      }
      escape = false;
      continue;
    }
    switch (c) {
      case ' ':
        break;
      case '"':
      case '\'':
        inString = true;
        quote = c;
        break;
      case ',':
        current = Trim(current);
        if (!current.empty()) {
          if (!AddBareValue(current, tokens)) return false;
          current.clear();
        }
        escape = false;
        break;
      case '\\':
        return false;
      default:
        current += c;
        break;
    }
  }
  return true;
}

bool LoadTableFromPtf(const std::filesystem::path& workingDir, std::string_view fileName,
                      Table& table) {
  const std::string name(fileName);
  const std::vector<std::string> lines = ReadTextLines(workingDir / name, name);
  if (lines.size() < 5) return false;
  const std::vector<std::string> recordLines(lines.begin() + 3, lines.end() - 1);
  try {
    table.CloseTable();
    WidenTextFields(recordLines, table);
    table.CloseTable();
    table.CreateEmpty();
    std::vector<std::string> tokens;
    const std::size_t fieldCount = table.FieldDefs().size();
    for (const std::string& line : recordLines) {
      if (!ParsePtfValues(line, tokens)) continue;
      if (tokens.size() > fieldCount) {
        throw Error(msg::ListIndexOutOfBounds(static_cast<long long>(fieldCount)));
      }
      table.AppendRecord();
      for (std::size_t i = 0; i < tokens.size(); ++i) {
        AssignToken(table.FieldAt(static_cast<int>(i)), TokenValue(tokens[i]));
      }
      table.PostRecord();
    }
    table.CloseTable();
    return true;
  } catch (const Error&) {
    table.CloseTable();
    return false;
  }
}

void LoadStationsPtf(const std::filesystem::path& workingDir, Table& stations, UserInterface& ui) {
  stations.CreateEmpty();
  if (!LoadTableFromPtf(workingDir, "stations.ptf", stations)) {
    ui.ShowMessage("Keine Stationen gefunden (Datei: stations.ptf)!");
  }
}

}  // namespace trivo
