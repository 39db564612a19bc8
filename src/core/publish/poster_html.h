#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "publish/stop_timetable.h"

namespace trivo {

// The poster page of a station: "aushang_<station ID>.html", so that any station name
// gets a page whatever characters it holds. The preview page links station names here.
std::string PosterPageFileName(std::int32_t stationId);

// A standalone HTML page (Windows-1252, its style inside, in the preview page's colours)
// with the posters of one station, one after the other; printed, each starts a new page.
std::string PosterPageHtml(std::string_view station, const std::vector<StopPoster>& posters);

}  // namespace trivo
