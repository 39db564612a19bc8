#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "common/minutes.h"
#include "project/context.h"
#include "routing/raptor.h"
#include "routing/routing_cache.h"
#include "routing/travel_day.h"

namespace trivo {

// One passenger question as the command line and the search window ask it.
struct RouteRequest {
  std::string from;  // station names as typed, Windows-1252
  std::string to;
  Minutes at{0};
  std::optional<std::chrono::year_month_day> date;  // else dayGroup, else today
  std::string dayGroup;
  Minutes window{120};
  std::optional<Minutes> transfer;  // else the project's min_transfer_minutes
};

struct RouteAnswer {
  std::string from;  // the stations' names as the project spells them
  std::string to;
  std::string date;  // "2026-03-17", or the day group's name
  const DayTimetable* timetable = nullptr;
  std::vector<Journey> journeys;
};

// Answers a question over the project loaded in ctx. A station that is not found or not
// unique, or an unknown day group, ends it with trivo::Error and the German message.
RouteAnswer AnswerRoute(const Context& ctx, RoutingCache& cache, const RoutingSettings& settings,
                        const RouteRequest& request);

// The German messages of a bad question.
std::string BadTimeMessage(std::string_view text);
std::string BadDateMessage(std::string_view text);

}  // namespace trivo
