#include "project_argument.h"

namespace trivo::gui {

QString ProjectFileArgument(const QStringList& arguments) {
  if (arguments.size() != 2) return {};
  const QString& argument = arguments.at(1);
  if (argument.isEmpty() || argument.startsWith(QLatin1Char('-'))) return {};
  return argument;
}

}  // namespace trivo::gui
