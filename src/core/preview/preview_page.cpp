#include "preview/preview_page.h"

#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "common/error.h"
#include "common/messages.h"
#include "common/text_file.h"

namespace trivo {

namespace {

namespace fs = std::filesystem;

#ifdef TRIVO_VIEWER_SOURCE_DIR
constexpr const char* kViewerSourceDir = TRIVO_VIEWER_SOURCE_DIR;
#else
constexpr const char* kViewerSourceDir = "";
#endif

bool HoldsPage(const fs::path& folder) {
  return !folder.empty() && FileExists(folder / kPreviewPage);
}

// A file of the page's name in the target folder may be replaced when there is none yet
// or when it is a plain file whose first line carries the preview's marker.
bool MayReplace(const fs::path& target) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(target, error);
  if (status.type() == fs::file_type::not_found) return true;
  if (error || status.type() != fs::file_type::regular) return false;
  std::ifstream in(target, std::ios::binary);
  std::string firstLine;
  std::getline(in, firstLine);
  return firstLine.find(kPreviewPageMarker) != std::string::npos;
}

std::string JoinNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

}  // namespace

fs::path FindViewerFolder(const fs::path& programFile) {
  const fs::path installed = programFile.parent_path().parent_path() / "share/trivo/viewer";
  if (HoldsPage(installed)) return installed;
  const fs::path source = kViewerSourceDir;
  if (HoldsPage(source)) return source;
  throw Error("Die Vorschau-Seite wurde nicht gefunden (gesucht in " + installed.string() +
              " und " + source.string() + ").");
}

fs::path WritePreviewPage(const fs::path& viewerFolder, const fs::path& ptfFolder) {
  std::vector<std::string> missing;
  for (const std::string_view name : kPreviewMasterFiles) {
    if (!FileExists(ptfFolder / name)) missing.emplace_back(name);
  }
  if (!missing.empty()) {
    throw Error("Die PTF-Dateien sind noch nicht erstellt (es fehlen: " + JoinNames(missing) +
                "). Bitte zuerst die Schritte 1 bis 5 ausführen.");
  }
  for (const std::string_view name : kPreviewPageFiles) {
    if (!MayReplace(ptfFolder / name)) {
      throw Error("Die Datei " + std::string(name) + " in " + ptfFolder.string() +
                  " stammt nicht von der Vorschau und wird nicht überschrieben.");
    }
  }
  std::vector<std::string> contents;
  for (const std::string_view name : kPreviewPageFiles) {
    contents.push_back(ReadFileBytes(viewerFolder / name));
  }
  for (std::size_t i = 0; i < kPreviewPageFiles.size(); ++i) {
    WriteFileAtomically(ptfFolder / kPreviewPageFiles[i], contents[i]);
  }
  return ptfFolder / kPreviewPage;
}

std::optional<fs::path> WriteProjectPreview(Context& ctx) {
  if (ctx.ProjectFileName.empty()) {
    ctx.ui.ShowMessage(msg::NoProjectLoaded());
    return std::nullopt;
  }
  return WritePreviewPage(FindViewerFolder(ctx.app.ExeFileName), ctx.WorkingDir);
}

}  // namespace trivo
