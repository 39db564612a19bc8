#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trivo {

// The work grid of one timetable conversion. Column c is one station stop: row 0 holds
// the station name (the header), rows 1 and up the trips. The grid always keeps at least
// one column, as a string grid does. Trip cells are kept as the integers they stand for
// (minutes, -1 for no stop, -<ID> for an interval); a cell never set reads -1.
//
// Header texts are views: the caller keeps the station names alive while the grid is
// used. Trip cells are filled a whole column at a time, from left to right, which is how
// the rows of a timetable section arrive.
class TripGrid {
 public:
  static constexpr std::int32_t kNoStop = -1;

  // One column with an empty header, one row, no trip cells.
  void Clear();

  int ColCount() const { return static_cast<int>(headers_.size()); }
  int RowCount() const { return 1 + maxTrips_; }
  // Columns that have received trip cells; they are the columns 0 .. FilledCols()-1.
  int FilledCols() const { return static_cast<int>(columnStart_.size()) - 1; }

  std::string_view Header(int col) const { return headers_[static_cast<std::size_t>(col)]; }
  // Replaces the header row; an empty list leaves the single empty column.
  void SetHeaders(const std::vector<std::string_view>& headers);

  // Removes a column: the columns to its right move one place left. The single column of
  // a one-column grid is emptied instead. Only columns without trip cells are removed.
  void DeleteColumn(int col);
  // Removes every column from col to the right end (at least one column stays).
  void KeepColumnsBefore(int col);

  // Starts the trip cells of the next column (column FilledCols()) with count cells, all
  // -1, and returns them for filling. The pointer is valid until the next call.
  std::int32_t* AddColumnCells(int count);

  // An empty header cell becomes "-1".
  void FillEmptyHeaders();

  // The grid as a PTF timetable table: fields "ID" and "1" .. "N", one record per trip
  // with the trip number as ID. Times after midnight are rolled past 1440 on the way:
  // a time smaller than the one before it in its row belongs to the next day. Appends to
  // out, lines ended by CR LF.
  void AppendPtfText(std::string& out) const;

 private:
  std::int32_t Cell(int col, int trip) const;

  std::vector<std::string_view> headers_{std::string_view{}};
  std::vector<std::int32_t> cells_;
  std::vector<std::size_t> columnStart_{0};
  int maxTrips_ = 0;
};

}  // namespace trivo
