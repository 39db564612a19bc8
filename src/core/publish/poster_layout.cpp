#include "publish/poster_layout.h"

#include <algorithm>

namespace trivo {

PosterLayout LayOutPoster(const StopPoster& poster) {
  using G = PosterGeometry;
  PosterLayout layout;
  const std::size_t columns = std::max<std::size_t>(1, poster.columns.size());
  layout.columnWidth = (G::ContentWidth() - G::kHourWidth) / static_cast<double>(columns);
  layout.slotsPerLine = std::max(1, static_cast<int>((layout.columnWidth - 8.0) / G::kSlotWidth));

  for (const std::int32_t hour : poster.Hours()) {
    PosterRow row;
    row.hour = hour;
    row.cells.resize(poster.columns.size());
    for (std::size_t c = 0; c < poster.columns.size(); ++c) {
      for (const PosterDeparture& departure : poster.columns[c].departures) {
        if (departure.time.Count() / 60 == hour) row.cells[c].push_back(departure);
      }
      const int count = static_cast<int>(row.cells[c].size());
      row.lines = std::max(row.lines, (count + layout.slotsPerLine - 1) / layout.slotsPerLine);
    }
    layout.rows.push_back(std::move(row));
  }

  using Kind = PosterTailLine::Kind;
  if (!poster.following.empty()) {
    layout.tail.push_back({Kind::FollowingTitle, 0, 0});
    for (std::size_t i = 0; i < poster.following.size(); i += G::kStopsPerTailLine) {
      const std::size_t count =
          std::min<std::size_t>(G::kStopsPerTailLine, poster.following.size() - i);
      layout.tail.push_back({Kind::Following, i, count});
    }
  }
  if (!poster.footnotes.empty()) {
    layout.tail.push_back({Kind::FootnoteTitle, 0, 0});
    for (std::size_t i = 0; i < poster.footnotes.size(); ++i) {
      layout.tail.push_back({Kind::Footnote, i, 1});
    }
  }

  // Fill pages from the top; a heading below the table never stands alone at the bottom.
  const double room = G::BodyBottom() - G::BodyTop();
  PosterPage page;
  double used = 0;
  const auto startPage = [&] {
    layout.pages.push_back(page);
    page = PosterPage{};
    page.rowBegin = page.rowEnd = layout.pages.back().rowEnd;
    page.tailBegin = page.tailEnd = layout.pages.back().tailEnd;
    used = 0;
  };
  for (std::size_t r = 0; r < layout.rows.size(); ++r) {
    const double head = page.HasRows() ? 0.0 : G::kTableHeadHeight;
    if (page.HasRows() && used + layout.rows[r].Height() > room) startPage();
    used += (page.HasRows() ? 0.0 : head) + layout.rows[r].Height();
    page.rowEnd = r + 1;
  }
  for (std::size_t t = 0; t < layout.tail.size(); ++t) {
    double needed = layout.tail[t].Height();
    const bool title =
        layout.tail[t].kind == Kind::FollowingTitle || layout.tail[t].kind == Kind::FootnoteTitle;
    if (title && t + 1 < layout.tail.size()) needed += layout.tail[t + 1].Height();
    const bool pageUsed = page.HasRows() || page.tailEnd > page.tailBegin;
    if (pageUsed && used + needed > room) startPage();
    used += layout.tail[t].Height();
    page.tailEnd = t + 1;
  }
  layout.pages.push_back(page);
  return layout;
}

}  // namespace trivo
