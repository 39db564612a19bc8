#include "routing/station_match.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <memory>

#include "common/cp1252.h"
#include "tables/collation.h"

namespace trivo {

namespace {

struct CollatorCloser {
  void operator()(UCollator* collator) const { ucol_close(collator); }
};

// The root collation at primary strength: letters count, their case and accents do not.
// One per call, so that the core keeps no shared state.
std::unique_ptr<UCollator, CollatorCloser> PrimaryCollator() {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UCollator, CollatorCloser> collator(ucol_open("", &status));
  if (U_FAILURE(status)) return nullptr;
  ucol_setStrength(collator.get(), UCOL_PRIMARY);
  return collator;
}

bool Equal(const UCollator* collator, const std::u16string& a, const std::u16string& b) {
  if (collator == nullptr) return a == b;
  return ucol_strcoll(collator, a.data(), static_cast<std::int32_t>(a.size()), b.data(),
                      static_cast<std::int32_t>(b.size())) == UCOL_EQUAL;
}

}  // namespace

bool SameIgnoringCaseAndAccents(std::string_view a, std::string_view b) {
  const auto collator = PrimaryCollator();
  return Equal(collator.get(), DecodeCp1252(a), DecodeCp1252(b));
}

StationMatch MatchStation(const ProjectTrips& trips, std::string_view cp1252Name) {
  StationMatch match;
  match.station = trips.FindStation(cp1252Name);
  if (match.station.Valid()) return match;
  const auto collator = PrimaryCollator();
  const std::u16string wanted = DecodeCp1252(cp1252Name);
  StationId found;
  for (StationId id(0); id.Slot() < trips.stationNames.size(); ++id) {
    if (Equal(collator.get(), DecodeCp1252(trips.stationNames[id]), wanted)) {
      found = id;
      match.candidates.push_back(trips.stationNames[id]);
    }
  }
  if (match.candidates.size() == 1) {
    match.station = found;
    match.candidates.clear();
  }
  return match;
}

std::vector<std::string> StationsStartingWith(const ProjectTrips& trips, std::string_view prefix) {
  const auto collator = PrimaryCollator();
  const std::u16string wanted = DecodeCp1252(prefix);
  std::vector<std::string> names;
  for (const std::string& name : trips.stationNames) {
    const std::u16string text = DecodeCp1252(name);
    if (text.size() >= wanted.size() &&
        Equal(collator.get(), text.substr(0, wanted.size()), wanted)) {
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CollationKey(a) < CollationKey(b);
  });
  return names;
}

}  // namespace trivo
