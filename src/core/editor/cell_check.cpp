// The rules of cell entry: what a trip cell may hold, and how a short form typed into
// the current cell becomes a time or an interval when the cell is left.

#include <cctype>

#include "common/error.h"
#include "common/messages.h"
#include "common/strings.h"
#include "editor/edit_timetable.h"

namespace trivo {

namespace {

constexpr std::string_view kFillDown = "Für alle weiteren Stationen übernehmen?";
// The names of the steps in the menu "Bearbeiten".
constexpr std::string_view kFillDownStep = "Intervall für alle weiteren Stationen";
constexpr std::string_view kPatternStep = "Fahrtmuster übernehmen";

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Decimal digits with an optional sign, in the 32-bit range; -1 otherwise.
std::int32_t DecimalOrMinusOne(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
  if (digits.empty()) return -1;
  for (const char c : digits) {
    if (!IsDigit(c)) return -1;
  }
  return TryStrToInt(text).value_or(-1);
}

}  // namespace

TCellState EditTimeTable::GetCellState(int col, int row) const {
  if (col <= 0 || row <= 0) return TCellState::csError;
  return GetTimeStringState(Trim(Text(col, row)));
}

TCellState EditTimeTable::LeftNeighbourState(int col, int row) const {
  for (int c = col - 1; c >= 1; --c) {
    const TCellState state = GetCellState(c, row);
    if (state != TCellState::csEmpty) return state;
  }
  return TCellState::csEmpty;
}

// The time of a csTime cell. The class is taken from the trimmed text, so the time is
// read from it too: a blank after the minutes must not make them unreadable.
std::optional<ClockTime> EditTimeTable::TimeAt(int col, int row) const {
  if (GetCellState(col, row) != TCellState::csTime) return std::nullopt;
  const DecodedTime time = DecodeTimeString(Trim(Text(col, row)));
  return ClockTime{time.hours, time.minutes};
}

std::optional<ClockTime> EditTimeTable::PrevTimeInColumn(int col, int row) const {
  for (int r = row - 1; r >= kFirstDataRow; --r) {
    if (auto time = TimeAt(col, r)) return time;
  }
  return std::nullopt;
}

std::optional<ClockTime> EditTimeTable::PrevTimeInEarlierColumns(int col, int row) const {
  for (int c = col - 1; c >= kFirstTripCol; --c) {
    for (int r = row; r >= kFirstDataRow; --r) {
      if (auto time = TimeAt(c, r)) return time;
    }
  }
  return std::nullopt;
}

std::optional<ClockTime> EditTimeTable::PrevTimeInRow(int col, int row) const {
  for (int c = col - 1; c >= kFirstTripCol; --c) {
    if (auto time = TimeAt(c, row)) return time;
  }
  return std::nullopt;
}

bool EditTimeTable::IsTimeAllowed(int col, int row, ClockTime time) const {
  if (time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59) return false;
  const std::int32_t t = time.Minutes();
  // After an interval the time continues the periodic service of the row.
  if (col > 1 && GetCellState(col - 1, row) == TCellState::csInterval) {
    if (col < kFirstTripCol + 1) return false;
    const std::optional<ClockTime> before = PrevTimeInRow(col - 1, row);
    const std::int32_t interval = StringToInterval(Text(col - 1, row));
    if (!before || interval < 0) return false;
    const std::int32_t b = before->Minutes();
    if (t <= b) return false;
    // An interval of 0 minutes fixes no period: any later time continues it.
    if (interval > 0 && (t - b) % interval != 0) return false;
  }
  if (const std::optional<ClockTime> above = PrevTimeInColumn(col, row)) {
    std::int32_t d = t - above->Minutes();
    if (d < 0) d += 1440;
    if (d > ctx_.PrjParams.MaxDriveMinutes) return false;
  }
  return true;
}

bool EditTimeTable::IsIntervalAllowed(int col, int row, std::int32_t minutes) const {
  if (minutes < 0 || minutes > 1439 || col < kFirstTripCol) return false;
  const TCellState left = LeftNeighbourState(col, row);
  return left == TCellState::csTime || left == TCellState::csEmpty;
}

void EditTimeTable::FillDownInterval(int col, int row, std::int32_t minutes) {
  if (col < kFirstTripCol) return;
  NameStep(kFillDownStep);
  const std::string text = std::to_string(minutes) + " Min";
  for (int r = row; r <= LastRow(); ++r) {
    Write(col, r, LeftNeighbourState(col, r) == TCellState::csTime ? text : std::string());
  }
}

std::optional<std::vector<std::string>> EditTimeTable::CopyTripPattern(int col, int row,
                                                                       int sourceCol) const {
  if (!IsDataRow(row) || !IsTripCol(col) || !IsTripCol(sourceCol) || sourceCol == col) {
    return std::nullopt;
  }
  // The offset between the two trips: at the nearest row above where both have a time.
  std::optional<std::int32_t> offset;
  bool sourceTimeAbove = false;
  bool sourceIntervalAbove = false;
  for (int r = row - 1; r >= kFirstDataRow && !offset; --r) {
    const TCellState source = GetCellState(sourceCol, r);
    if (source == TCellState::csTime) {
      sourceTimeAbove = true;
      if (const std::optional<ClockTime> own = TimeAt(col, r)) {
        const std::int32_t found = own->Minutes() - TimeAt(sourceCol, r)->Minutes();
        if (found < 0) return std::nullopt;
        offset = found;
      }
    } else if (source == TCellState::csInterval) {
      sourceIntervalAbove = true;
    }
  }

  std::vector<std::string> texts;
  for (int r = row; r <= LastRow(); ++r) {
    switch (GetCellState(sourceCol, r)) {
      case TCellState::csTime: {
        if (!offset || sourceIntervalAbove) return std::nullopt;
        const ClockTime shifted = TimeAt(sourceCol, r)->Plus(*offset);
        texts.push_back(EncodeTimeString(shifted.hour, shifted.minute));
        break;
      }
      case TCellState::csInterval:
        if (sourceTimeAbove) return std::nullopt;
        texts.push_back(Text(sourceCol, r));
        break;
      case TCellState::csEmpty:
        texts.push_back(Text(sourceCol, r));
        break;
      default:
        return std::nullopt;
    }
  }
  return texts;
}

bool EditTimeTable::CheckCurrentCell() {
  const int col = current_.col;
  const int row = current_.row;
  const std::string t = Trim(Text(col, row));
  const std::size_t n = t.size();

  std::optional<std::string> accepted;
  bool skipWrite = false;  // the check wrote what it had to itself
  if (skipNextCheck_) {
    skipNextCheck_ = false;
    accepted = t;
  } else if (t.empty()) {
    accepted = t;
  } else if (t[0] == 'a' || t[0] == 'A' || (n >= 4 && LowerCaseCp1252(t.substr(n - 3)) == "min")) {
    accepted = CheckIntervalInput(t, skipWrite);
  } else if (t[0] == '+') {
    accepted = CheckOffsetInput(t);
  } else if (IsDigit(t[0]) && n <= 2) {
    accepted = CheckMinuteInput(t);
  } else if (IsDigit(t[0])) {
    accepted = CheckClockInput(t);
  } else if ((t[0] == '=' || t[0] == 'S' || t[0] == 's') && n >= 2) {
    skipWrite = ApplyTripPattern(t);
  } else if (t[0] == '=' || t[0] == 'S' || t[0] == 's') {
    accepted = CheckCopyAbove();
  }

  if (accepted) {
    Write(col, row, std::move(*accepted));
    return true;
  }
  if (!skipWrite && !skipNextCheck_ && restoreCell_ == current_) {
    Write(col, row, restoreText_);
  }
  return false;
}

std::optional<std::string> EditTimeTable::CheckIntervalInput(std::string_view t, bool& skipWrite) {
  const int col = current_.col;
  const int row = current_.row;
  const std::string number =
      (t[0] == 'a' || t[0] == 'A') ? Trim(t.substr(1)) : Trim(t.substr(0, t.size() - 3));
  const std::int32_t minutes = DecimalOrMinusOne(number);
  if (!IsIntervalAllowed(col, row, minutes)) return std::nullopt;
  if (row != LastRow() && ctx_.ui.Confirm(std::string(kFillDown), false) == Answer::Yes) {
    FillDownInterval(col, row, minutes);
    skipNextCheck_ = lastKeyWasEnter_ && col != LastCol();
    if (skipNextCheck_) {
      skipWrite = true;
      return std::nullopt;
    }
  }
  return std::to_string(minutes) + " Min";
}

std::optional<std::string> EditTimeTable::AcceptTime(ClockTime time) const {
  if (!IsTimeAllowed(current_.col, current_.row, time)) return std::nullopt;
  std::string text = EncodeTimeString(time.hour, time.minute);
  if (text.empty()) return std::nullopt;
  return text;
}

std::optional<std::string> EditTimeTable::CheckOffsetInput(std::string_view t) const {
  const std::int32_t k = StrToIntDef(Trim(t.substr(1)), -1);
  if (k < 0 || k > 1439) return std::nullopt;
  std::optional<ClockTime> base = PrevTimeInColumn(current_.col, current_.row);
  if (!base) base = PrevTimeInEarlierColumns(current_.col, current_.row);
  if (!base) return std::nullopt;
  return AcceptTime(base->Plus(k));
}

std::optional<std::string> EditTimeTable::CheckMinuteInput(std::string_view t) const {
  const std::int32_t m = StrToIntDef(t, -1);
  if (m < 0 || m > 59) return std::nullopt;
  std::optional<ClockTime> base = PrevTimeInColumn(current_.col, current_.row);
  const bool inColumn = base.has_value();
  if (!base) base = PrevTimeInEarlierColumns(current_.col, current_.row);
  if (!base) return std::nullopt;
  const bool sameHour = m > base->minute || (m == base->minute && inColumn);
  return AcceptTime({sameHour ? base->hour : (base->hour + 1) % 24, m});
}

std::optional<std::string> EditTimeTable::CheckClockInput(std::string_view t) const {
  const std::size_t n = t.size();
  std::string digits(t);
  std::size_t separator = t.find(':');
  if (separator == std::string_view::npos) separator = t.find('.');
  if (separator != std::string_view::npos) {
    const std::size_t p = separator + 1;  // counted from 1
    if (p == 1 || p > 3 || p == n) return std::nullopt;
    // "8:15" -> "0815", "08.15" -> "0815".
    digits.clear();
    if (p == 2) digits += '0';
    digits.append(t.substr(0, p - 1));
    digits.append(t.substr(p));
    if (digits.size() == 3) digits += '0';
  }
  for (const char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
  }
  const std::optional<std::int32_t> v = TryStrToInt(digits);
  if (!v) return std::nullopt;
  return AcceptTime({*v / 100, *v % 100});
}

std::optional<std::string> EditTimeTable::CheckCopyAbove() const {
  const int row = current_.row;
  if (row <= kFirstDataRow) return std::nullopt;
  const TCellState above = GetCellState(current_.col, row - 1);
  if (above == TCellState::csTime || above == TCellState::csEmpty ||
      above == TCellState::csInterval) {
    return Text(current_.col, row - 1);
  }
  return std::nullopt;
}

// "=k", "Sk": the current trip takes the times of trip k from the current row down.
// Returns whether the column was written.
bool EditTimeTable::ApplyTripPattern(std::string_view t) {
  const std::int32_t k = StrToInt(Trim(t.substr(1)));
  const std::int64_t sourceCol = static_cast<std::int64_t>(k) + 1;
  if (sourceCol < 1 || sourceCol > LastCol()) return false;
  const std::optional<std::vector<std::string>> texts =
      CopyTripPattern(current_.col, current_.row, static_cast<int>(sourceCol));
  if (!texts) return false;
  NameStep(kPatternStep);
  for (std::size_t i = 0; i < texts->size(); ++i) {
    Write(current_.col, current_.row + static_cast<int>(i), (*texts)[i]);
  }
  skipNextCheck_ = true;
  return true;
}

}  // namespace trivo
