#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "qt_text.h"

// The boundary between the system's Windows-1252 texts and Qt's Unicode strings.
namespace trivo::gui {

using pdf::FromCp1252;
// Empty when the text holds a character that Windows-1252 cannot hold.
std::optional<std::string> TryToCp1252(const QString& text);
// Characters Windows-1252 cannot hold become "?"; only for texts that are shown, never
// for texts that go into a file.
std::string ToCp1252Lossy(const QString& text);

}  // namespace trivo::gui
