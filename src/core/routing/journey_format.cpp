#include "routing/journey_format.h"

namespace trivo {

namespace {

std::string JsonTime(Minutes time) {
  return "\"" + HourMinuteText(time) + "\"";
}

}  // namespace

LegDescription DescribeLeg(const DayTimetable& timetable, const JourneyLeg& leg) {
  const DayTimetable::Route& route = timetable.Routes()[timetable.TripAt(leg.trip).route];
  const ServicePattern& pattern = timetable.Project().patterns[route.pattern];
  const auto& names = timetable.Project().stationNames;
  return LegDescription{.line = pattern.line,
                        .direction = pattern.direction,
                        .headsign = names[pattern.stations.back()],
                        .from = names[leg.from],
                        .to = names[leg.to],
                        .departure = leg.departure,
                        .arrival = leg.arrival};
}

std::string TransfersText(int transfers) {
  return std::to_string(transfers) + (transfers == 1 ? " Umstieg" : " Umstiege");
}

std::vector<std::string> JourneyTextLines(const DayTimetable& timetable, const Journey& journey,
                                          int number) {
  const auto& names = timetable.Project().stationNames;
  std::vector<std::string> lines;
  lines.push_back("Verbindung " + std::to_string(number) + ": ab " +
                  HourMinuteText(journey.departure) + " " + names[journey.legs.front().from] +
                  ", an " + HourMinuteText(journey.arrival) + " " + names[journey.legs.back().to] +
                  ", " + std::to_string((journey.arrival - journey.departure).Count()) + " Min, " +
                  TransfersText(journey.Transfers()));
  for (std::size_t i = 0; i < journey.legs.size(); ++i) {
    if (i > 0) {
      const Minutes wait = journey.legs[i].departure - journey.legs[i - 1].arrival;
      lines.push_back("  Umstieg " + std::to_string(wait.Count()) + " Min");
    }
    const LegDescription leg = DescribeLeg(timetable, journey.legs[i]);
    lines.push_back("  " + HourMinuteText(leg.departure) + " " + leg.from + "  ->  " + leg.line +
                    " Richtung " + leg.headsign + "  ->  " + HourMinuteText(leg.arrival) + " " +
                    leg.to);
  }
  return lines;
}

std::string JourneysJson(const DayTimetable& timetable, std::string_view from, std::string_view to,
                         std::string_view date, const std::vector<Journey>& journeys) {
  std::string json = "{\"from\":" + JsonString(from) + ",\"to\":" + JsonString(to) +
                     ",\"date\":" + JsonString(date) + ",\"journeys\":[";
  for (std::size_t j = 0; j < journeys.size(); ++j) {
    const Journey& journey = journeys[j];
    if (j > 0) json += ',';
    json += "{\"departure\":" + JsonTime(journey.departure) +
            ",\"arrival\":" + JsonTime(journey.arrival) +
            ",\"transfers\":" + std::to_string(journey.Transfers()) + ",\"legs\":[";
    for (std::size_t i = 0; i < journey.legs.size(); ++i) {
      const LegDescription leg = DescribeLeg(timetable, journey.legs[i]);
      if (i > 0) json += ',';
      json += "{\"line\":" + JsonString(leg.line) +
              ",\"direction\":" + std::to_string(leg.direction) +
              ",\"headsign\":" + JsonString(leg.headsign) + ",\"from\":" + JsonString(leg.from) +
              ",\"departure\":" + JsonTime(leg.departure) + ",\"to\":" + JsonString(leg.to) +
              ",\"arrival\":" + JsonTime(leg.arrival) + "}";
    }
    json += "]}";
  }
  return json + "]}";
}

}  // namespace trivo
