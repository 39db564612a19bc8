#include "path_text.h"

#include <QFile>
#include <QFileInfo>

namespace trivo::gui {

std::string ToCorePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString FromCorePath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

QString FolderOf(const QString& filePath) {
  return QFileInfo(filePath).absolutePath();
}

}  // namespace trivo::gui
