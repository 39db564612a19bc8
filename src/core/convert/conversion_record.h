#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace trivo {

// The record of a project folder's last conversion, kept in the folder as
// ".trivo-conversion": what ran (program version and steps), how every file of the folder
// stood after it (name, kind, size, modification and change times, device and inode) and
// what the run reported. A conversion of the same steps over a folder that still stands
// exactly so would read the same bytes, write the same bytes and report the same lines; it
// is answered from the record, as a build tool passes over a target whose inputs did not
// change. Any change in the folder (a file edited, touched, added, removed or replaced, the
// folder copied) makes the conversion run again.
inline constexpr std::string_view kConversionRecordFile = ".trivo-conversion";

// How the folder's files stand now, one line a file in name order; the record and its
// temporary file left out.
std::string FolderState(const std::filesystem::path& folder);

// The report of the recorded conversion of what (program version and steps) when the
// folder stands as it did after it; nothing otherwise.
std::optional<std::string> RecordedReport(const std::filesystem::path& folder,
                                          std::string_view what);

// Records a conversion of what that ended well, with its report, and the folder as it
// stands now. A record that cannot be written is left out without a word: it only ever
// saves the next run its work.
void RecordConversion(const std::filesystem::path& folder, std::string_view what,
                      std::string_view report);

}  // namespace trivo
