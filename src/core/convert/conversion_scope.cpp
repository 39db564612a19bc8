#include "convert/conversion_scope.h"

#include "convert/conversion_record.h"

#include <algorithm>
#include <array>

#include "common/error.h"
#include "common/messages.h"
#include "common/text_file.h"

namespace trivo {

namespace {

// "<digits>" or "-<digits>", as the numbers in the names of timetable files.
bool IsNumber(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether text is numbers joined by "_", count of them.
bool IsNumberList(std::string_view text, int count) {
  for (int i = 0; i < count; ++i) {
    const std::size_t underscore = i + 1 < count ? text.find('_') : std::string_view::npos;
    if (!IsNumber(text.substr(0, underscore))) return false;
    if (underscore == std::string_view::npos) return i + 1 == count;
    text.remove_prefix(underscore + 1);
  }
  return false;
}

}  // namespace

bool IsConversionOutput(std::string_view name) {
  static constexpr std::array<std::string_view, 7> kFixed = {
      "daygroups.ptf",        "stations.ptf",       "lines.ptf",    "line_stations.ptf",
      "line_connections.ptf", "tt_connections.ptf", "intervals.ptf"};
  if (std::find(kFixed.begin(), kFixed.end(), name) != kFixed.end()) return true;
  if (name == kConversionRecordFile) return true;
  constexpr std::string_view kExtension = ".ptf";
  if (!name.ends_with(kExtension)) return false;
  name.remove_suffix(kExtension.size());
  if (name.starts_with("ttc_")) return IsNumberList(name.substr(4), 1);
  if (name.starts_with("tt_")) return IsNumberList(name.substr(3), 3);
  return false;
}

ConversionScope::ConversionScope(Context& ctx) : ctx_(ctx) {
  ConversionState& state = ctx_.conversion;
  if (state.depth == 0) {
    const std::filesystem::path folder(ctx_.WorkingDir.empty() ? "." : ctx_.WorkingDir);
    if (FolderLock::TryLock(folder, state.lock) == FolderLock::Outcome::Busy) {
      throw Error(msg::ConversionRunning(ctx_.WorkingDir));
    }
    RemoveStaleTemporaries(folder, IsConversionOutput, ctx_.files);
  }
  ++state.depth;
}

ConversionScope::~ConversionScope() {
  ConversionState& state = ctx_.conversion;
  if (--state.depth == 0) state.lock.reset();
}

}  // namespace trivo
