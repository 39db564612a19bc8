#pragma once

#include <QString>
#include <string>

namespace trivo::gui {

// File paths cross into the core as the file system's own bytes, not as Windows-1252:
// the core only hands them on to the file system.
std::string ToCorePath(const QString& path);
QString FromCorePath(const std::string& path);
// The folder of a file, without trailing separator.
QString FolderOf(const QString& filePath);

}  // namespace trivo::gui
