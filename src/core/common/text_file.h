#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace trivo {

// Splits text into lines at CR LF, LF or CR. A final line break starts no further line;
// a NUL character ends the text.
std::vector<std::string> SplitTextLines(std::string_view text);

// Whether something other than a folder exists under the path: an input file counts as
// present then, as the project's existence checks expect.
bool FileExists(const std::filesystem::path& path);

// Reads a whole file as bytes. Fails with "Datei %s kann nicht geöffnet werden. %s",
// naming the file as displayName (the path when displayName is empty).
std::string ReadFileBytes(const std::filesystem::path& path, const std::string& displayName = {});

// ReadFileBytes followed by SplitTextLines.
std::vector<std::string> ReadTextLines(const std::filesystem::path& path,
                                       const std::string& displayName = {});

// Joins lines, each followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// Writes the bytes to a temporary file in the target's folder and renames it over the
// target, so the target is either replaced completely or left as it was. Returns false
// when any step fails (the temporary file is removed then).
bool TryWriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);
// The same, failing with "In %s kann nicht geschrieben werden".
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         const std::string& displayName = {});

}  // namespace trivo
