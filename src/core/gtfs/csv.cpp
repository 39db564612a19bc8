#include "gtfs/csv.h"

#include <algorithm>
#include <cstring>

#include "common/error.h"
#include "common/strings.h"

namespace trivo::gtfs {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr int kEnd = -1;

bool NeedsQuotes(std::string_view field) {
  return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

std::size_t StringSource::Read(char* buffer, std::size_t size) {
  const std::size_t n = std::min(size, text_.size());
  std::memcpy(buffer, text_.data(), n);
  text_.remove_prefix(n);
  return n;
}

std::string AtLine(std::string_view fileName, std::size_t line) {
  std::string text(fileName);
  text += ", Zeile ";
  text += std::to_string(line);
  text += ": ";
  return text;
}

CsvReader::CsvReader(ByteSource& source, std::string fileName)
    : source_(source), fileName_(std::move(fileName)), buffer_(kChunk) {}

bool CsvReader::Fill() {
  if (end_) return false;
  position_ = 0;
  size_ = source_.Read(buffer_.data(), buffer_.size());
  if (size_ == 0) end_ = true;
  return size_ > 0;
}

int CsvReader::Peek() {
  if (position_ == size_ && !Fill()) return kEnd;
  return static_cast<unsigned char>(buffer_[position_]);
}

int CsvReader::Get() {
  const int c = Peek();
  if (c != kEnd) ++position_;
  return c;
}

bool CsvReader::Next(CsvRecord& record) {
  if (!started_) {
    started_ = true;
    // The first three bytes in the buffer, however the source hands them out.
    while (size_ < 3) {
      const std::size_t got = source_.Read(buffer_.data() + size_, buffer_.size() - size_);
      if (got == 0) break;
      size_ += got;
    }
    if (size_ == 0) end_ = true;
    if (size_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) position_ = 3;
  }
  for (;;) {
    if (Peek() == kEnd) return false;
    record.line = line_;
    std::size_t count = 0;
    std::size_t bytes = 0;
    bool quotedOnly = false;
    for (;;) {
      if (count == record.fields.size()) record.fields.emplace_back();
      std::string& field = record.fields[count++];
      field.clear();
      const auto add = [&](int c) {
        if (++bytes > kRecordLimit) {
          throw Error(AtLine(fileName_, record.line) + "Datensatz länger als " +
                      std::to_string(kRecordLimit) + " Bytes (Anführungszeichen ohne Ende?)");
        }
        field.push_back(static_cast<char>(c));
      };
      quotedOnly = Peek() == '"';
      if (quotedOnly) {
        Get();
        for (;;) {
          const int c = Get();
          if (c == kEnd) {
            throw Error(AtLine(fileName_, record.line) +
                        "Anführungszeichen wird nicht geschlossen");
          }
          if (c == '"') {
            if (Peek() != '"') break;
            Get();
          } else if (c == '\n') {
            ++line_;
          } else if (c == '\r') {
            ++line_;
            add(c);
            if (Peek() == '\n') add(Get());
            continue;
          }
          add(c);
        }
      }
      // Unquoted text, or what follows a closing quote.
      for (int c = Peek(); c != kEnd && c != ',' && c != '\r' && c != '\n'; c = Peek()) {
        quotedOnly = false;
        add(Get());
      }
      const int c = Get();
      if (c == ',') continue;
      if (c == '\r' && Peek() == '\n') Get();
      if (c != kEnd) ++line_;
      break;
    }
    record.fields.resize(count);
    // An empty line is no record (a quoted empty field is one).
    if (count == 1 && record.fields[0].empty() && !quotedOnly) continue;
    return true;
  }
}

CsvTable::CsvTable(ByteSource& source, std::string fileName)
    : reader_(source, std::move(fileName)) {
  CsvRecord header;
  if (!reader_.Next(header)) throw Error(reader_.FileName() + ": keine Kopfzeile");
  header_.reserve(header.fields.size());
  for (const std::string& name : header.fields) header_.push_back(Trim(name));
}

std::optional<std::size_t> CsvTable::Column(std::string_view name) const {
  const auto it = std::find(header_.begin(), header_.end(), name);
  if (it == header_.end()) return std::nullopt;
  return static_cast<std::size_t>(it - header_.begin());
}

std::size_t CsvTable::RequireColumn(std::string_view name) const {
  const std::optional<std::size_t> column = Column(name);
  if (!column) throw Error(FileName() + ": Spalte " + std::string(name) + " fehlt");
  return *column;
}

std::string CsvTable::IncompleteReason(const CsvRecord& record) const {
  return AtLine(FileName(), record.line) + std::to_string(record.fields.size()) + " statt " +
         std::to_string(header_.size()) + " Felder";
}

std::string_view FieldOf(const CsvRecord& record, std::optional<std::size_t> column) {
  if (!column || *column >= record.fields.size()) return {};
  return record.fields[*column];
}

namespace {

// A field as RFC 4180 writes it: in double quotes, its double quotes doubled, when it
// holds a comma, a double quote, CR or LF, or when quoted says so.
void AppendField(std::string& out, std::string_view field, bool quoted) {
  if (!quoted && !NeedsQuotes(field)) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

void CsvWriter::Field(std::string_view field) {
  // At the very start, a field beginning with a byte order mark would lose it to the reader.
  AppendField(out_, field, out_.empty() && field.starts_with("\xEF\xBB\xBF"));
}

template <typename Fields>
void CsvWriter::WriteFields(const Fields& fields) {
  // A record of one empty field would be an empty line, which readers skip.
  if (fields.size() == 1 && std::string_view(fields[0]).empty()) {
    out_ += "\"\"";
  } else {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) out_ += ',';
      Field(fields[i]);
    }
  }
  End();
}

void CsvWriter::Write(const std::vector<std::string_view>& fields) {
  WriteFields(fields);
}

void CsvWriter::Write(const std::vector<std::string>& fields) {
  WriteFields(fields);
}

void CsvWriter::Write(std::initializer_list<std::string_view> fields) {
  WriteFields(std::vector<std::string_view>(fields));
}

std::string CsvField(std::string_view field) {
  std::string text;
  AppendField(text, field, false);
  return text;
}

}  // namespace trivo::gtfs
