#include "convert/conversion_record.h"

#include <sys/stat.h>

#include <algorithm>
#include <system_error>
#include <vector>

#include "common/text_file.h"

namespace trivo {

namespace {

constexpr std::string_view kFormat = "Trivo conversion record 1\n";

bool IsRecordName(std::string_view name) {
  const auto startsWith = [name](std::string_view prefix) {
    return name.substr(0, prefix.size()) == prefix;
  };
  return name == kConversionRecordFile ||
         startsWith("." + std::string(kConversionRecordFile) + ".");
}

// A piece of the record: its length in decimal, a line break, its bytes.
void AppendPiece(std::string& record, std::string_view piece) {
  record.append(std::to_string(piece.size())).push_back('\n');
  record.append(piece);
}

std::optional<std::string_view> TakePiece(std::string_view& rest) {
  const std::size_t lineEnd = rest.find('\n');
  if (lineEnd == std::string_view::npos || lineEnd == 0 || lineEnd > 12) return std::nullopt;
  std::size_t length = 0;
  for (const char c : rest.substr(0, lineEnd)) {
    if (c < '0' || c > '9') return std::nullopt;
    length = length * 10 + static_cast<std::size_t>(c - '0');
  }
  if (rest.size() - lineEnd - 1 < length) return std::nullopt;
  const std::string_view piece = rest.substr(lineEnd + 1, length);
  rest.remove_prefix(lineEnd + 1 + length);
  return piece;
}

}  // namespace

std::string FolderState(const std::filesystem::path& folder) {
  std::vector<std::string> lines;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (IsRecordName(name)) continue;
    struct stat info {};
    if (::lstat(it->path().c_str(), &info) != 0) {
      lines.push_back(name + " ?");
      continue;
    }
    std::string line = name;
    for (const long long value :
         {static_cast<long long>(info.st_mode), static_cast<long long>(info.st_size),
          static_cast<long long>(info.st_mtim.tv_sec), static_cast<long long>(info.st_mtim.tv_nsec),
          static_cast<long long>(info.st_ctim.tv_sec), static_cast<long long>(info.st_ctim.tv_nsec),
          static_cast<long long>(info.st_dev), static_cast<long long>(info.st_ino)}) {
      line.push_back(' ');
      line.append(std::to_string(value));
    }
    lines.push_back(std::move(line));
  }
  // A folder that cannot be walked to its end has no state that a record could match.
  if (error) return "?";
  std::sort(lines.begin(), lines.end());
  std::string state;
  for (const std::string& line : lines) state.append(line).push_back('\n');
  return state;
}

std::optional<std::string> RecordedReport(const std::filesystem::path& folder,
                                          std::string_view what) {
  const FileRead record = TryReadFileBytes(folder / kConversionRecordFile);
  if (!record.read || record.bytes.substr(0, kFormat.size()) != kFormat) return std::nullopt;
  std::string_view rest = std::string_view(record.bytes).substr(kFormat.size());
  const std::optional<std::string_view> recordedWhat = TakePiece(rest);
  const std::optional<std::string_view> state = TakePiece(rest);
  const std::optional<std::string_view> report = TakePiece(rest);
  if (!recordedWhat || !state || !report || !rest.empty() || *recordedWhat != what) {
    return std::nullopt;
  }
  const std::string now = FolderState(folder);
  if (now == "?" || now != *state) return std::nullopt;
  return std::string(*report);
}

void RecordConversion(const std::filesystem::path& folder, std::string_view what,
                      std::string_view report) {
  const std::string state = FolderState(folder);
  if (state == "?") return;
  std::string record(kFormat);
  AppendPiece(record, what);
  AppendPiece(record, state);
  AppendPiece(record, report);
  TryWriteFileAtomically(folder / kConversionRecordFile, record);
}

}  // namespace trivo
