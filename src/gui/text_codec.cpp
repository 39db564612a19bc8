#include "text_codec.h"

#include <QList>

#include "common/cp1252.h"

namespace trivo::gui {

std::optional<std::string> TryToCp1252(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const char32_t c : text.toUcs4()) {
    const auto byte = UnicodeToCp1252(c);
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
  }
  return bytes;
}

std::string ToCp1252Lossy(const QString& text) {
  std::string bytes;
  for (const char32_t c : text.toUcs4()) bytes.push_back(UnicodeToCp1252(c).value_or('?'));
  return bytes;
}

}  // namespace trivo::gui
