// The PTF reader and writer. Input: one character choosing a working table ('0' to '8')
// and the quote the writer uses (even: double, odd: single), then the text of a PTF file.
//
// Properties: every token of ParsePtfValues is well formed; a text quoted by PtfQuote
// reads back as that text; a table that LoadTableFromPtf accepts, written with
// SaveTableToPtf, reads back to the same values (when it has records), and writing it
// again gives the same bytes.

#include <string>
#include <string_view>
#include <vector>

#include "common/strings.h"
#include "common/text_file.h"
#include "fuzz_support.h"
#include "ptf/ptf_reader.h"
#include "ptf/ptf_writer.h"
#include "tables/data_module.h"
#include "test_support.h"

namespace trivo {
namespace {

void CheckTokens(const std::vector<std::string>& tokens) {
  for (const std::string& token : tokens) {
    const std::string_view value = std::string_view(token).substr(2);
    if (token.starts_with("b=")) {
      FUZZ_CHECK(value == "true" || value == "false");
    } else if (token.starts_with("n=")) {
      FUZZ_CHECK(IsDecimalNumber(value));
    } else {
      FUZZ_CHECK(token == "u=null" || token.starts_with("s="));
    }
  }
}

void CheckQuoting(std::string_view text, char quote) {
  std::vector<std::string> tokens;
  FUZZ_CHECK(ParsePtfValues(PtfQuote(text, quote) + ",", tokens));
  FUZZ_CHECK(tokens.size() == 1 && tokens[0] == "s=" + std::string(text));
}

// The values of every record in the order the writer writes them; floats as written,
// since the file keeps 15 significant digits.
std::vector<std::vector<Value>> Records(Table& table) {
  std::vector<std::vector<Value>> records;
  table.OpenTable();
  const int fieldCount = static_cast<int>(table.FieldDefs().size());
  for (table.MoveFirst(); !table.AtEnd(); table.MoveNext()) {
    std::vector<Value> values;
    for (int i = 0; i < fieldCount; ++i) {
      const Value& value = table.FieldAt(i).AsValue();
      values.push_back(value.IsFloat() ? Value(FloatToStr(value.Float())) : value);
    }
    records.push_back(std::move(values));
  }
  table.CloseTable();
  return records;
}

Table& ChooseTable(Tdm1& dm, unsigned char choice) {
  Table* tables[] = {&dm.cdsStations,
                     &dm.cdsLines,
                     &dm.cdsLineStations,
                     &dm.cdsDayGroups,
                     &dm.cdsDayGroupConnections,
                     &dm.cdsTimeTableConnections,
                     &dm.cdsInterval,
                     &dm.cdsTimeTable,
                     &dm.cdsNewStations};
  return *tables[static_cast<unsigned char>(choice - '0') % std::size(tables)];
}

}  // namespace
}  // namespace trivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  if (size == 0) return 0;
  const char quote = data[0] % 2 == 0 ? '"' : '\'';
  const std::string_view text = fuzz::AsText(data + 1, size - 1);

  std::vector<std::string> tokens;
  for (const std::string& line : SplitTextLines(text)) {
    ParsePtfValues(line, tokens);
    CheckTokens(tokens);
    for (const std::string& token : tokens) CheckQuoting(std::string_view(token).substr(2), quote);
  }
  CheckQuoting(text, quote);

  test::TempDir dir;
  dir.Write("in.ptf", text);
  Tdm1 first;
  Table& loaded = ChooseTable(first, data[0]);
  if (!LoadTableFromPtf(dir.path(), "in.ptf", loaded)) return 0;
  FUZZ_CHECK(SaveTableToPtf(dir.path(), "out.ptf", quote, loaded));
  // The reader takes a file of fewer than five lines, that is one without records, for
  // no table.
  if (loaded.CountRecords() == 0) return 0;

  Tdm1 second;
  Table& reloaded = ChooseTable(second, data[0]);
  FUZZ_CHECK(LoadTableFromPtf(dir.path(), "out.ptf", reloaded));
  FUZZ_CHECK(Records(reloaded) == Records(loaded));
  FUZZ_CHECK(SaveTableToPtf(dir.path(), "again.ptf", quote, reloaded));
  FUZZ_CHECK(test::TempDir::Read(dir / "again.ptf") == test::TempDir::Read(dir / "out.ptf"));
  return 0;
}
