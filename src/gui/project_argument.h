#pragma once

#include <QString>
#include <QStringList>

namespace trivo::gui {

// The project file the desktop program was started with, from its arguments (the
// program's name first, Qt's own options already taken out): the only argument, as the
// desktop entry passes a double-clicked project file. Empty when there is none, when
// there are several arguments or when the only one is an option (begins with "-").
QString ProjectFileArgument(const QStringList& arguments);

}  // namespace trivo::gui
