// "Fahrt wiederholen": a trip, or a block of trips as one pattern, copied at a headway;
// every copy goes in at its place in departure order.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/messages.h"
#include "editor/edit_timetable.h"
#include "editor/step_scope.h"

namespace trivo {

namespace {

constexpr std::string_view kRepeatStep = "Fahrt wiederholen";
constexpr std::string_view kRefused = "Fahrt wiederholen: ";
constexpr std::int32_t kDay = 1440;
constexpr std::size_t kMaxCopies = 2000;
constexpr std::int32_t kNoTime = -1;

// The minutes the timetable conversion reads for the cells of a trip, top to bottom
// (kNoTime where there is no time): a time smaller than the one before it belongs to the
// next day, and so does every later time of the trip up to the next cell without a time.
std::vector<std::int32_t> ReadAsConverted(const std::vector<std::int32_t>& written) {
  std::vector<std::int32_t> read;
  read.reserve(written.size());
  std::int32_t last = 0;
  for (const std::int32_t w : written) {
    if (w >= 0 && w < last) {
      read.push_back(w + kDay);
      last = w + 2 * kDay;
    } else {
      read.push_back(w);
      last = w;
    }
  }
  return read;
}

std::int32_t FirstTime(const std::vector<std::int32_t>& minutes) {
  for (const std::int32_t m : minutes) {
    if (m >= 0) return m;
  }
  return kNoTime;
}

std::string ClockText(std::int32_t minutes) {
  return EncodeTimeString(minutes % kDay / 60, minutes % 60);
}

// Whether trip b runs after trip a: at the first row where both have a time, else by
// their first times.
bool RunsLater(const std::vector<std::int32_t>& b, const std::vector<std::int32_t>& a) {
  for (std::size_t r = 0; r < a.size() && r < b.size(); ++r) {
    if (a[r] >= 0 && b[r] >= 0) return b[r] > a[r];
  }
  return FirstTime(b) > FirstTime(a);
}

struct Trip {
  std::vector<std::int32_t> minutes;  // per data row, as the conversion reads them
  std::int32_t departure = kNoTime;
};

}  // namespace

bool EditTimeTable::RepeatTrips(int first, int last, const TripRepeat& repeat) {
  if (!editMode_) return false;
  if (!IsTripCol(first) || !IsTripCol(last) || first > last) {
    throw Error(msg::GridIndexOutOfRange());
  }
  const auto refuse = [&](const std::string& why) {
    ctx_.ui.ShowMessage(std::string(kRefused) + why);
    return false;
  };
  if (repeat.everyMinutes < 1 || repeat.everyMinutes >= kDay) {
    return refuse("Der Abstand muss 1 bis 1439 Minuten betragen.");
  }
  if (repeat.untilMinutes ? *repeat.untilMinutes < 0 || *repeat.untilMinutes >= kDay
                          : repeat.copies < 1) {
    return refuse("Es fehlt die letzte Abfahrt oder die Anzahl der Wiederholungen.");
  }
  if (!CurrentCellPasses()) return false;

  // The pattern: the columns of the block that hold times.
  std::vector<Trip> pattern;
  for (int col = first; col <= last; ++col) {
    std::vector<std::int32_t> written;
    for (int r = kFirstDataRow; r <= LastRow(); ++r) {
      const TCellState state = GetCellState(col, r);
      const std::string trip = "Fahrt " + std::to_string(col - 1);
      if (state == TCellState::csError) {
        return refuse(trip + " hat in Zeile " + std::to_string(r - 1) + " einen Fehler.");
      }
      if (state == TCellState::csInterval) {
        return refuse(trip + " ist ein Intervall und kann nicht wiederholt werden.");
      }
      written.push_back(state == TCellState::csTime ? TimeAt(col, r)->Minutes() : kNoTime);
    }
    Trip trip{ReadAsConverted(written)};
    trip.departure = FirstTime(trip.minutes);
    if (trip.departure != kNoTime) pattern.push_back(std::move(trip));
  }
  if (pattern.empty()) return refuse("Die gewählten Fahrten haben keine Zeiten.");

  // The copies, each checked to read back as the times it stands for.
  std::int32_t earliest = kDay;
  for (const Trip& trip : pattern) earliest = std::min(earliest, trip.departure);
  std::vector<Trip> copies;
  for (std::int64_t k = 1;; ++k) {
    const std::int64_t shift = k * repeat.everyMinutes;
    if (repeat.untilMinutes ? earliest + shift > *repeat.untilMinutes : k > repeat.copies) break;
    for (const Trip& trip : pattern) {
      const std::int64_t departure = trip.departure + shift;
      if (repeat.untilMinutes && departure > *repeat.untilMinutes) continue;
      const std::string at =
          "Die Fahrt um " + ClockText(static_cast<std::int32_t>(departure % kDay));
      if (departure >= kDay) {
        return refuse(at +
                      " begänne erst nach Mitternacht, am nächsten Tag. Es wurde nichts "
                      "eingefügt.");
      }
      if (copies.size() >= kMaxCopies) {
        return refuse("Es entstünden mehr als " + std::to_string(kMaxCopies) +
                      " Fahrten. Es wurde nichts eingefügt.");
      }
      Trip copy;
      std::vector<std::int32_t> written;
      for (const std::int32_t m : trip.minutes) {
        copy.minutes.push_back(m < 0 ? kNoTime : static_cast<std::int32_t>(m + shift));
        written.push_back(m < 0 ? kNoTime : copy.minutes.back() % kDay);
      }
      if (ReadAsConverted(written) != copy.minutes) {
        return refuse(at +
                      " führe nach Mitternacht hinter einer Station ohne Halt weiter; "
                      "ihre späteren Zeiten zählten zum Vortag. Es wurde nichts eingefügt.");
      }
      copy.departure = static_cast<std::int32_t>(departure);
      copies.push_back(std::move(copy));
    }
  }
  if (copies.empty()) {
    return refuse("Bis " + ClockText(*repeat.untilMinutes) + " entsteht keine weitere Fahrt.");
  }
  std::stable_sort(copies.begin(), copies.end(),
                   [](const Trip& a, const Trip& b) { return a.departure < b.departure; });

  StepScope step(*this, kRepeatStep);
  const CellPos source = current_;
  const int width = grid_.ColCount();
  // The trips of the grid's columns, kept in step with the insertions; columns without a
  // time (empty ones, intervals) are passed over when a place is looked for.
  std::vector<Trip> columns(static_cast<std::size_t>(grid_.ColCount()));
  int lastUsed = kFirstTripCol - 1;
  for (int col = kFirstTripCol; col <= LastCol(); ++col) {
    std::vector<std::int32_t> written;
    bool used = false;
    for (int r = kFirstDataRow; r <= LastRow(); ++r) {
      const std::optional<ClockTime> time = TimeAt(col, r);
      written.push_back(time ? time->Minutes() : kNoTime);
      used = used || !Text(col, r).empty();
    }
    Trip& trip = columns[static_cast<std::size_t>(col)];
    trip.minutes = ReadAsConverted(written);
    trip.departure = FirstTime(trip.minutes);
    if (used) lastUsed = col;
  }

  int firstCopyCol = -1;
  for (Trip& copy : copies) {
    int at = lastUsed + 1;
    for (int col = kFirstTripCol; col <= lastUsed; ++col) {
      const Trip& trip = columns[static_cast<std::size_t>(col)];
      if (trip.departure != kNoTime && RunsLater(trip.minutes, copy.minutes)) {
        at = col;
        break;
      }
    }
    InsertCol(at);
    for (std::size_t i = 0; i < copy.minutes.size(); ++i) {
      const std::int32_t m = copy.minutes[i];
      if (m >= 0) Write(at, kFirstDataRow + static_cast<int>(i), ClockText(m));
    }
    if (current_.col >= at) ++current_.col;
    if (firstCopyCol >= at) ++firstCopyCol;
    if (firstCopyCol < 0) firstCopyCol = at;
    ++lastUsed;
    columns.insert(columns.begin() + at, std::move(copy));
  }
  KeepWidth(width);
  NumberTripColumns();
  ClampCurrent();
  SetStepCells(source, {firstCopyCol, source.row});
  MarkModified();
  return true;
}

}  // namespace trivo
