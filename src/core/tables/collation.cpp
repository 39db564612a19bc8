#include "tables/collation.h"

#include <unicode/ucol.h>

#include <climits>
#include <memory>

#include "common/cp1252.h"

namespace trivo {

namespace {

struct CollatorCloser {
  void operator()(UCollator* collator) const { ucol_close(collator); }
};

using CollatorPtr = std::unique_ptr<UCollator, CollatorCloser>;

CollatorPtr OpenRootCollator() {
  UErrorCode status = U_ZERO_ERROR;
  CollatorPtr collator(ucol_open("", &status));
  if (U_FAILURE(status)) return nullptr;
  ucol_setStrength(collator.get(), UCOL_TERTIARY);
  return collator;
}

// Created once on first use and never changed afterwards.
const UCollator* RootCollator() {
  static const CollatorPtr collator = OpenRootCollator();
  return collator.get();
}

}  // namespace

std::string CollationKey(std::string_view cp1252Text) {
  const UCollator* collator = RootCollator();
  const std::u16string text = DecodeCp1252(cp1252Text);
  if (collator == nullptr || text.size() > static_cast<std::size_t>(INT32_MAX)) {
    return std::string(cp1252Text);  // no collator: plain byte order
  }
  const auto length = static_cast<int32_t>(text.size());
  std::string key(text.size() * 2 + 16, '\0');
  int32_t needed =
      ucol_getSortKey(collator, text.data(), length, reinterpret_cast<uint8_t*>(key.data()),
                      static_cast<int32_t>(std::min<std::size_t>(key.size(), INT32_MAX)));
  if (needed > static_cast<int32_t>(key.size())) {
    key.assign(static_cast<std::size_t>(needed), '\0');
    needed = ucol_getSortKey(collator, text.data(), length, reinterpret_cast<uint8_t*>(key.data()),
                             needed);
  }
  if (needed <= 0) return std::string(cp1252Text);
  key.resize(static_cast<std::size_t>(needed - 1));  // without the terminating zero byte
  return key;
}

}  // namespace trivo
