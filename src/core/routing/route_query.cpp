#include "routing/route_query.h"

#include "common/error.h"
#include "routing/station_match.h"

namespace trivo {

namespace {

StationId FindStationOrFail(const ProjectTrips& trips, const std::string& name) {
  const StationMatch match = MatchStation(trips, name);
  if (match.station.Valid()) return match.station;
  if (match.candidates.empty()) throw Error("Station nicht gefunden: " + name);
  std::string list;
  for (const std::string& candidate : match.candidates) {
    list += (list.empty() ? "" : ", ") + candidate;
  }
  throw Error("Station nicht eindeutig: " + name + " (" + list + ")");
}

}  // namespace

std::string BadTimeMessage(std::string_view text) {
  return "Ungültige Uhrzeit: " + std::string(text) + " (erwartet HH:MM, zum Beispiel 07:30)";
}

std::string BadDateMessage(std::string_view text) {
  return "Ungültiges Datum: " + std::string(text) +
         " (erwartet JJJJ-MM-TT, zum Beispiel 2026-03-17)";
}

RouteAnswer AnswerRoute(const Context& ctx, RoutingCache& cache, const RoutingSettings& settings,
                        const RouteRequest& request) {
  const ProjectTrips& trips = cache.Trips(ctx);
  const StationId from = FindStationOrFail(trips, request.from);
  const StationId to = FindStationOrFail(trips, request.to);
  RouteAnswer answer;
  DaySelection day;
  if (request.date || request.dayGroup.empty()) {
    const std::chrono::year_month_day date = request.date ? *request.date : LocalToday();
    day = SelectDate(ctx.PrjParams, settings, date);
    answer.date = IsoDateText(date);
  } else {
    const auto selected = SelectDayGroup(ctx.PrjParams, request.dayGroup);
    if (!selected) throw Error("Unbekannte Tagesgruppe: " + request.dayGroup);
    day = *selected;
    for (std::size_t g = 0; g < day.today.size(); ++g) {
      if (day.today[g]) answer.date = ctx.PrjParams.DayGroups[g].Name;
    }
  }
  const DayTimetable& timetable = cache.Day(ctx, day);
  answer.timetable = &timetable;
  answer.from = trips.stationNames[from];
  answer.to = trips.stationNames[to];
  RaptorSearch search(timetable);
  const SearchOptions options{.transfer = request.transfer.value_or(settings.minTransfer)};
  answer.journeys = search.Connections(from, to, request.at, request.window, options);
  return answer;
}

}  // namespace trivo
