#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trivo::gtfs {

// Bytes read in chunks: a file, a ZIP entry, a text in memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills up to size bytes into buffer and returns how many; 0 only at the end. A source
  // that cannot be read throws trivo::Error with the German reason.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// A text in memory as a byte source (it must outlive the source).
class StringSource : public ByteSource {
 public:
  explicit StringSource(std::string_view text) : text_(text) {}
  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  std::string_view text_;
};

// "<file>, Zeile <line>: ", the start of every complaint about a row of a file.
std::string AtLine(std::string_view fileName, std::size_t line);

// One record of a CSV file.
struct CsvRecord {
  std::size_t line = 0;  // the line of the file on which the record begins, from 1
  std::vector<std::string> fields;
};

// An RFC 4180 reader over a byte source, streamed: it holds one chunk and one record at a
// time, never the whole text. Records end at CR LF, LF or CR outside quotes; a field in
// double quotes may hold commas, line breaks and doubled double quotes; a UTF-8 byte order
// mark at the start is skipped. Forgiving where RFC 4180 is strict and nothing is lost: a
// quote inside an unquoted field, and text after a closing quote, are taken as they stand.
// Empty lines are no records.
//
// Fails (trivo::Error, with file and line) for a quote that is never closed and for a
// record larger than kRecordLimit (a runaway quote in a large file would otherwise take
// the rest of the file into one field).
class CsvReader {
 public:
  static constexpr std::size_t kRecordLimit = 1024 * 1024;

  CsvReader(ByteSource& source, std::string fileName);

  // The next record, false at the end.
  bool Next(CsvRecord& record);
  const std::string& FileName() const { return fileName_; }

 private:
  bool Fill();
  int Peek();
  int Get();

  ByteSource& source_;
  std::string fileName_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t size_ = 0;
  bool end_ = false;
  bool started_ = false;
  std::size_t line_ = 1;
};

// A CSV file with a header record: columns are found by their name in any order (names
// trimmed, letter case exact, as GTFS names them); columns the reader does not ask for
// are ignored.
class CsvTable {
 public:
  // Reads the header. A file without one fails with "<file>: keine Kopfzeile".
  CsvTable(ByteSource& source, std::string fileName);

  // The position of a column, or nothing.
  std::optional<std::size_t> Column(std::string_view name) const;
  // The same; a missing column fails with "<file>: Spalte <name> fehlt".
  std::size_t RequireColumn(std::string_view name) const;

  // The next data record, false at the end.
  bool Next(CsvRecord& record) { return reader_.Next(record); }
  const std::string& FileName() const { return reader_.FileName(); }
  std::size_t ColumnCount() const { return header_.size(); }

  // Whether the record holds a field for every column of the header.
  bool Complete(const CsvRecord& record) const { return record.fields.size() >= header_.size(); }
  // "<file>, Zeile <n>: <k> statt <m> Felder", why an incomplete record is skipped.
  std::string IncompleteReason(const CsvRecord& record) const;

 private:
  CsvReader reader_;
  std::vector<std::string> header_;
};

// The field of a column in a record; empty for a missing column or field.
std::string_view FieldOf(const CsvRecord& record, std::optional<std::size_t> column);

// One field as a record holds it (in double quotes, its double quotes doubled, where it
// holds a comma, a double quote, CR or LF), for large files whose rows are put together
// from fields escaped once.
std::string CsvField(std::string_view field);

// Writes RFC 4180 records into a text: fields joined by ",", a field holding a comma, a
// double quote, CR or LF in double quotes with its double quotes doubled, every record
// ended by CR LF (the line end RFC 4180 names; every GTFS consumer reads it), a record of
// one empty field as "" (an empty line would be no record), a first field that begins with
// a UTF-8 byte order mark in quotes (the reader skips one at the start). The fields are written as
// given: UTF-8 for GTFS files.
class CsvWriter {
 public:
  explicit CsvWriter(std::string& out) : out_(out) {}
  void Write(const std::vector<std::string_view>& fields);
  void Write(const std::vector<std::string>& fields);
  void Write(std::initializer_list<std::string_view> fields);

 private:
  template <typename Fields>
  void WriteFields(const Fields& fields);
  void Field(std::string_view field);
  void End() { out_ += "\r\n"; }
  std::string& out_;
};

}  // namespace trivo::gtfs
