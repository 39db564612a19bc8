#include "routing/journey_format.h"

#include <cstdio>

#include "common/cp1252.h"

namespace trivo {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

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

std::string Utf8FromCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string JsonString(std::string_view cp1252Text) {
  std::string out = "\"";
  for (const char c : Utf8FromCp1252(cp1252Text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
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
