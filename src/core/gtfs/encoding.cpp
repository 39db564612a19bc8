#include "gtfs/encoding.h"

#include <unicode/normalizer2.h>
#include <unicode/utf8.h>

#include <optional>

#include "common/cp1252.h"

namespace trivo::gtfs {

namespace {

// The first character of the canonical decomposition, when the code page holds it.
std::optional<char> BaseLetter(UChar32 character) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
  if (U_FAILURE(status) || nfd == nullptr) return std::nullopt;
  icu::UnicodeString decomposition;
  if (!nfd->getDecomposition(character, decomposition) || decomposition.isEmpty()) {
    return std::nullopt;
  }
  return UnicodeToCp1252(static_cast<char32_t>(decomposition.char32At(0)));
}

}  // namespace

Cp1252Text Utf8ToCp1252(std::string_view utf8) {
  Cp1252Text result;
  result.text.reserve(utf8.size());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
  const auto length = static_cast<std::int32_t>(utf8.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 character = 0;
    U8_NEXT(bytes, i, length, character);
    if (character < 0) {
      result.text.push_back('?');
      ++result.invalid;
      continue;
    }
    if (character == 0xFEFF) continue;
    if (const std::optional<char> byte = UnicodeToCp1252(static_cast<char32_t>(character))) {
      result.text.push_back(*byte);
      continue;
    }
    result.text.push_back(BaseLetter(character).value_or('?'));
    ++result.replaced;
  }
  return result;
}

bool IsUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    if (bytes[i] < 0x80) {
      ++i;
      continue;
    }
    UChar32 character = 0;
    U8_NEXT(bytes, i, length, character);
    if (character < 0) return false;
  }
  return true;
}

std::string RepairedUtf8(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    const std::int32_t start = i;
    UChar32 character = 0;
    U8_NEXT(bytes, i, length, character);
    if (character < 0) {
      result.push_back('?');
    } else {
      result.append(
          text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
    }
  }
  return result;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    const char32_t character = Cp1252ToUnicode(static_cast<unsigned char>(c));
    char buffer[U8_MAX_LENGTH];
    std::int32_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, character);
    result.append(buffer, static_cast<std::size_t>(length));
  }
  return result;
}

}  // namespace trivo::gtfs
