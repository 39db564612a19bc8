// The GTFS CSV reader and writer. Input: the bytes of a CSV file; the first byte also
// picks how many bytes the source hands out at a time.
//
// Properties: the records do not depend on how the source cuts the bytes; a failure is
// the German reason naming the file and line; records written by the writer read back as
// the same records; line numbers never go backwards.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/error.h"
#include "fuzz_support.h"
#include "gtfs/csv.h"

namespace trivo {
namespace {

class ChunkedSource : public gtfs::ByteSource {
 public:
  ChunkedSource(std::string_view text, std::size_t chunk) : text_(text), chunk_(chunk) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, text_.size()});
    std::memcpy(buffer, text_.data(), n);
    text_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view text_;
  std::size_t chunk_;
};

struct Outcome {
  std::vector<gtfs::CsvRecord> records;
  std::string error;
};

Outcome ReadAll(std::string_view text, std::size_t chunk) {
  Outcome outcome;
  ChunkedSource source(text, chunk);
  gtfs::CsvReader reader(source, "stops.txt");
  try {
    gtfs::CsvRecord record;
    while (reader.Next(record)) outcome.records.push_back(record);
  } catch (const Error& error) {
    outcome.error = error.what();
  }
  return outcome;
}

bool SameRecords(const std::vector<gtfs::CsvRecord>& a, const std::vector<gtfs::CsvRecord>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const auto& x, const auto& y) { return x.fields == y.fields; });
}

}  // namespace
}  // namespace trivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  const std::string_view text = fuzz::AsText(data, size);
  const std::size_t chunk = size == 0 ? 1 : 1 + data[0] % 7;
  const Outcome whole = ReadAll(text, 1 << 16);
  const Outcome pieces = ReadAll(text, chunk);
  FUZZ_CHECK(whole.error == pieces.error);
  FUZZ_CHECK(SameRecords(whole.records, pieces.records));
  FUZZ_CHECK(whole.error.empty() || whole.error.starts_with("stops.txt, Zeile "));
  std::size_t line = 0;
  for (const gtfs::CsvRecord& record : whole.records) {
    FUZZ_CHECK(record.line > line);
    FUZZ_CHECK(!record.fields.empty());
    line = record.line;
  }

  std::string written;
  gtfs::CsvWriter writer(written);
  for (const gtfs::CsvRecord& record : whole.records) writer.Write(record.fields);
  const Outcome back = ReadAll(written, chunk);
  FUZZ_CHECK(back.error.empty());
  FUZZ_CHECK(SameRecords(back.records, whole.records));
  return 0;
}
