#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>

#include "project/context.h"

namespace trivo {

// The preview page shows the PTF files of a folder as a passenger will see them on the
// published site. Its files (plain HTML, CSS and JavaScript) ship with the program and
// are copied beside the PTF files, in this order, the page itself last.
inline constexpr std::string_view kPreviewPage = "index.html";
inline constexpr std::array<std::string_view, 3> kPreviewPageFiles = {"viewer.css", "viewer.js",
                                                                      kPreviewPage};

// Every file of the page names itself in its first line. A file of one of the page's
// names without this text was not written by the preview and is never replaced.
inline constexpr std::string_view kPreviewPageMarker = "trivo-preview-page";

// The PTF files the page reads before any timetable; without them there is nothing to see.
inline constexpr std::array<std::string_view, 6> kPreviewMasterFiles = {
    "daygroups.ptf",     "stations.ptf",         "lines.ptf",
    "line_stations.ptf", "line_connections.ptf", "intervals.ptf"};

// The folder holding the page's files for the running program programFile: in an
// installation share/trivo/viewer beside the program's bin folder, else the source folder
// the program was built from. Fails with a German message when neither holds the page.
std::filesystem::path FindViewerFolder(const std::filesystem::path& programFile);

// Copies the page from viewerFolder into ptfFolder, each file written atomically, and
// returns the path of the page written there. Fails before writing anything when a
// master PTF file is missing or a file of the page's names there is not the preview's.
std::filesystem::path WritePreviewPage(const std::filesystem::path& viewerFolder,
                                       const std::filesystem::path& ptfFolder);

// "Vorschau...": writes the page beside the loaded project's PTF files (the working
// directory) and returns its path; without a project says "Kein Projekt geladen!" and
// returns nothing.
std::optional<std::filesystem::path> WriteProjectPreview(Context& ctx);

}  // namespace trivo
