#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "publish/stop_timetable.h"

namespace trivo {

// The A4 portrait layout of a departure poster, in points (1/72 inch), shared by
// everything that draws a poster: the PDF, the printer and the window's preview.
struct PosterGeometry {
  static constexpr double kPageWidth = 595.28;
  static constexpr double kPageHeight = 841.89;
  static constexpr double kMargin = 40.0;
  static constexpr double kHeaderHeight = 100.0;  // station, line and direction, validity
  static constexpr double kTableHeadHeight = 24.0;
  static constexpr double kHourWidth = 44.0;
  static constexpr double kSlotWidth = 21.0;  // one departure "05a"
  static constexpr double kLineHeight = 16.0;
  static constexpr double kRowPadding = 6.0;
  static constexpr double kTailLineHeight = 15.0;
  static constexpr double kTailTitleHeight = 26.0;
  static constexpr double kFooterHeight = 26.0;
  static constexpr int kStopsPerTailLine = 3;

  static constexpr double ContentWidth() { return kPageWidth - 2 * kMargin; }
  static constexpr double BodyTop() { return kMargin + kHeaderHeight; }
  static constexpr double BodyBottom() { return kPageHeight - kMargin - kFooterHeight; }
};

// One hour of the table: the departures of each column in that hour.
struct PosterRow {
  std::int32_t hour = 0;  // of the service day (24, 25, ... after midnight)
  std::vector<std::vector<PosterDeparture>> cells;
  int lines = 1;  // text lines of its fullest cell
  double Height() const {
    return lines * PosterGeometry::kLineHeight + PosterGeometry::kRowPadding;
  }
};

// A line below the table: a heading, up to three following stops, or a footnote.
struct PosterTailLine {
  enum class Kind { FollowingTitle, Following, FootnoteTitle, Footnote } kind;
  std::size_t first = 0;  // the first stop or footnote it shows
  std::size_t count = 1;
  double Height() const {
    return kind == Kind::FollowingTitle || kind == Kind::FootnoteTitle
               ? PosterGeometry::kTailTitleHeight
               : PosterGeometry::kTailLineHeight;
  }
};

// What one page shows: a run of table rows (with the column headings when it has any)
// and a run of lines below the table; every page repeats the header and has the foot.
struct PosterPage {
  std::size_t rowBegin = 0, rowEnd = 0;
  std::size_t tailBegin = 0, tailEnd = 0;
  bool HasRows() const { return rowEnd > rowBegin; }
};

struct PosterLayout {
  std::vector<PosterRow> rows;
  std::vector<PosterTailLine> tail;
  std::vector<PosterPage> pages;
  double columnWidth = 0;  // of a day-group column
  int slotsPerLine = 1;    // departures on one text line of a cell
};

PosterLayout LayOutPoster(const StopPoster& poster);

}  // namespace trivo
