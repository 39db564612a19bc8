#include "gtfs/csv.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/error.h"

namespace trivo::gtfs {
namespace {

using Fields = std::vector<std::string>;

// Hands out the text in pieces of a fixed size, as a ZIP entry or a file would.
class ChunkedSource : public ByteSource {
 public:
  ChunkedSource(std::string_view text, std::size_t chunk) : text_(text), chunk_(chunk) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, text_.size()});
    std::copy_n(text_.data(), n, buffer);
    text_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view text_;
  std::size_t chunk_;
};

std::vector<CsvRecord> ReadAll(std::string_view text, std::size_t chunk = 1 << 16) {
  ChunkedSource source(text, chunk);
  CsvReader reader(source, "stops.txt");
  std::vector<CsvRecord> records;
  CsvRecord record;
  while (reader.Next(record)) records.push_back(record);
  return records;
}

std::vector<Fields> FieldsOf(const std::vector<CsvRecord>& records) {
  std::vector<Fields> fields;
  for (const CsvRecord& record : records) fields.push_back(record.fields);
  return fields;
}

std::string ErrorOf(std::string_view text) {
  try {
    ReadAll(text);
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

TEST(CsvReader, ReadsQuotedFieldsWithCommasQuotesAndLineBreaks) {
  const auto records = ReadAll("a,\"b,c\",\"say \"\"hi\"\"\",\"two\r\nlines\"\n\"\",x\n");
  EXPECT_EQ(FieldsOf(records),
            (std::vector<Fields>{{"a", "b,c", "say \"hi\"", "two\r\nlines"}, {"", "x"}}));
  EXPECT_EQ(records[1].line, 3u) << "the line break inside quotes counts as a line of the file";
}

TEST(CsvReader, EndsRecordsAtCrLfLfOrCrAndSkipsEmptyLines) {
  const auto records = ReadAll("a,b\r\nc,d\ne,f\rg,h\n\n\r\ni,j");
  EXPECT_EQ(FieldsOf(records),
            (std::vector<Fields>{{"a", "b"}, {"c", "d"}, {"e", "f"}, {"g", "h"}, {"i", "j"}}));
  EXPECT_EQ(records[4].line, 7u);
}

TEST(CsvReader, SkipsAByteOrderMarkHoweverTheSourceCutsIt) {
  for (std::size_t chunk : {1, 2, 3, 100}) {
    EXPECT_EQ(FieldsOf(ReadAll("\xEF\xBB\xBFstop_id\n1\n", chunk)),
              (std::vector<Fields>{{"stop_id"}, {"1"}}))
        << "chunk " << chunk;
  }
  EXPECT_EQ(FieldsOf(ReadAll("\xEF\xBBx\n")), (std::vector<Fields>{{"\xEF\xBBx"}}));
}

TEST(CsvReader, TakesStrayQuotesAsTheyStand) {
  EXPECT_EQ(FieldsOf(ReadAll("ab\"c,\"d\"e,f\n")), (std::vector<Fields>{{"ab\"c", "de", "f"}}));
}

TEST(CsvReader, AQuoteNeverClosedFailsWithFileAndLine) {
  EXPECT_EQ(ErrorOf("a,b\nc,\"d\ne\n"),
            "stops.txt, Zeile 2: Anführungszeichen wird nicht geschlossen");
}

TEST(CsvReader, ARunawayRecordFailsBeforeItFillsTheMemory) {
  std::string text = "a,\"";
  text.append(CsvReader::kRecordLimit + 10, 'x');
  EXPECT_NE(ErrorOf(text).find("stops.txt, Zeile 1: Datensatz länger als"), std::string::npos);
}

// Random records written by the writer read back the same, whatever the chunk size.
TEST(CsvReader, ReadsBackWhatTheWriterWroteInAnyChunks) {
  std::mt19937 random(20);
  const std::string alphabet = "ab ,\"\r\n\xC3\xA4;\xEF\xBB\xBF";
  for (int round = 0; round < 200; ++round) {
    std::vector<Fields> expected;
    std::string text;
    CsvWriter writer(text);
    const int records = 1 + static_cast<int>(random() % 5);
    for (int r = 0; r < records; ++r) {
      Fields fields(1 + random() % 4);
      for (std::string& field : fields) {
        const std::size_t length = random() % 6;
        for (std::size_t i = 0; i < length; ++i) field += alphabet[random() % alphabet.size()];
      }
      writer.Write(fields);
      expected.push_back(fields);
    }
    const std::size_t chunk = 1 + random() % 7;
    EXPECT_EQ(FieldsOf(ReadAll(text, chunk)), expected) << text;
  }
}

TEST(CsvWriter, QuotesOnlyFieldsThatNeedItAndEndsRecordsWithCrLf) {
  std::string text;
  CsvWriter writer(text);
  writer.Write({"plain", "a,b", "say \"hi\"", "x\ny", "", "M\xC3\xBCnchen"});
  writer.Write({""});
  EXPECT_EQ(text, "plain,\"a,b\",\"say \"\"hi\"\"\",\"x\ny\",,M\xC3\xBCnchen\r\n\"\"\r\n");
}

TEST(CsvWriter, AFirstFieldBeginningWithAByteOrderMarkKeepsIt) {
  std::string text;
  CsvWriter writer(text);
  writer.Write({"\xEF\xBB\xBFx", "y"});
  writer.Write({"\xEF\xBB\xBFz"});
  EXPECT_EQ(text, "\"\xEF\xBB\xBFx\",y\r\n\xEF\xBB\xBFz\r\n");
  EXPECT_EQ(FieldsOf(ReadAll(text)),
            (std::vector<Fields>{{"\xEF\xBB\xBFx", "y"}, {"\xEF\xBB\xBFz"}}));
}

CsvTable Table(StringSource& source) {
  return CsvTable(source, "trips.txt");
}

TEST(CsvTable, FindsColumnsByNameInAnyOrderAndIgnoresOthers) {
  StringSource source(" trip_id ,extra,route_id\nT1,?,R1\nT2,?\n");
  CsvTable table = Table(source);
  EXPECT_EQ(table.Column("route_id"), 2u);
  EXPECT_EQ(table.RequireColumn("trip_id"), 0u);
  EXPECT_FALSE(table.Column("service_id"));
  CsvRecord record;
  ASSERT_TRUE(table.Next(record));
  EXPECT_TRUE(table.Complete(record));
  EXPECT_EQ(FieldOf(record, table.Column("route_id")), "R1");
  EXPECT_EQ(FieldOf(record, table.Column("service_id")), "");
  ASSERT_TRUE(table.Next(record));
  EXPECT_FALSE(table.Complete(record));
  EXPECT_EQ(table.IncompleteReason(record), "trips.txt, Zeile 3: 2 statt 3 Felder");
  EXPECT_FALSE(table.Next(record));
}

TEST(CsvTable, AMissingColumnOrHeaderFailsNamingTheFile) {
  StringSource source("trip_id\n");
  CsvTable table = Table(source);
  EXPECT_THROW(
      {
        try {
          table.RequireColumn("route_id");
        } catch (const Error& error) {
          EXPECT_STREQ(error.what(), "trips.txt: Spalte route_id fehlt");
          throw;
        }
      },
      Error);
  StringSource empty("\xEF\xBB\xBF\r\n");
  EXPECT_THROW(Table(empty), Error);
}

}  // namespace
}  // namespace trivo::gtfs
