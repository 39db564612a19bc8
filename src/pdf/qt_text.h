#pragma once

#include <QString>
#include <string_view>

#include "common/cp1252.h"

namespace trivo::pdf {

// A Windows-1252 text of the system as a Qt string; the one conversion of the drawing
// code and the desktop program.
inline QString FromCp1252(std::string_view text) {
  return QString::fromStdU16String(DecodeCp1252(text));
}

}  // namespace trivo::pdf
