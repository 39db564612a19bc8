// Saving a timetable: the repair of arrival and departure rows, the travel-time scan,
// and the writing of the .ttd section and the line's entry in distances.csv.

#include <filesystem>
#include <system_error>

#include "common/error.h"
#include "common/folder_lock.h"
#include "common/job_files.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "convert/ttd_file.h"
#include "editor/edit_timetable.h"
#include "editor/step_scope.h"

namespace trivo {

namespace {

constexpr std::string_view kSaveDespiteErrors =
    "Der Fahrplan enthält Fehler - Möchten Sie trotzdem speichern?";
constexpr std::string_view kInvalidLineName = "Ungültiger Linienname: ";
constexpr std::string_view kSaveRepairs = "Korrekturen beim Speichern";

bool IsEntry(TCellState state) {
  return state == TCellState::csTime || state == TCellState::csInterval;
}

std::string StarredTime(std::string text) {
  for (char& c : text) {
    if (c == ':') c = '*';
  }
  return text;
}

// A cell as a field of its row: a comma would split the field and a line break or NUL
// would end the row, so each of them becomes a blank (a cell typed and saved unchecked
// or pasted from a web page may hold them); then the field is trimmed.
std::string RowField(const std::string& text) {
  std::string field = text;
  for (char& c : field) {
    if (c == ',' || c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return Trim(field);
}

// Whether a file name is one that saving writes: distances.csv or line_<line>.ttd.
bool IsSavedDocument(std::string_view name) {
  return name == "distances.csv" ||
         (name.size() >= 9 && name.starts_with("line_") && name.ends_with(".ttd"));
}

}  // namespace

int EditTimeTable::CheckPairsBeforeSave() {
  int errors = 0;
  std::vector<int> arrivalRows;
  for (int p = kFirstDataRow; p < LastRow(); ++p) {
    if (Station(p) == Station(p + 1)) arrivalRows.push_back(p);
  }
  const auto star = [&](int col, int row) {
    Write(col, row, StarredTime(Text(col, row)));
    ++errors;
  };
  // A trip carries no time in the row of a pair it does not use (the arrival row where it
  // begins, the departure row where it ends): that row's time moves to the other row of
  // the pair, or goes when the other row has the same time, or is marked as an error.
  const auto repairEnd = [&](int col, int unused, int other) {
    if (!IsEntry(GetCellState(col, other))) {
      Write(col, other, Text(col, unused));
      Write(col, unused, std::string());
    } else if (Text(col, unused) == Text(col, other)) {
      Write(col, unused, std::string());
    } else {
      star(col, unused);
    }
  };

  for (int c = kFirstTripCol; c <= LastCol(); ++c) {
    int first = -1;
    int last = -1;
    for (int r = kFirstDataRow; r <= LastRow(); ++r) {
      const TCellState state = GetCellState(c, r);
      if (state == TCellState::csError) ++errors;
      if (IsEntry(state)) {
        if (first < 0) first = r;
        last = r;
      }
    }
    if (first < 0) continue;
    if (first == last) {
      star(c, first);  // a trip of one stop
      continue;
    }
    for (const int p : arrivalRows) {
      if (p < first || p >= last) continue;
      const int q = p + 1;
      const TCellState arrival = GetCellState(c, p);
      const TCellState departure = GetCellState(c, q);
      if (p == first) {
        repairEnd(c, p, q);
      } else if (q == last) {
        repairEnd(c, q, p);
      } else if (IsEntry(arrival) && departure == TCellState::csEmpty) {
        Write(c, q, Text(c, p));
      } else if (arrival == TCellState::csEmpty && IsEntry(departure)) {
        Write(c, p, Text(c, q));
      }
    }
  }
  return errors;
}

TravelTimes EditTimeTable::ScanTravelTimes(int& errors) const {
  TravelTimes times;
  const int dataRows = LastRow() - kFirstDataRow + 1;
  times.ConsecutiveMinutes.assign(static_cast<std::size_t>(std::max(0, dataRows - 1)), NoDistance);
  const auto elapsed = [](std::int32_t from, std::int32_t to) {
    return from > to ? to - from + 1440 : to - from;
  };

  for (int c = kFirstTripCol; c <= LastCol(); ++c) {
    int k = -1;  // row of the trip's last time
    std::int32_t lastT = 0;
    std::optional<TCellState> prevState;
    for (int b = kFirstDataRow; b <= LastRow(); ++b) {
      const TCellState s = GetCellState(c, b);
      if (s == TCellState::csError) {
        ++errors;
      } else if (s == TCellState::csTime) {
        const std::int32_t m = TimeStringToMinutes(Trim(Text(c, b)));
        if (prevState == TCellState::csTime) {
          int& shortest = times.ConsecutiveMinutes[static_cast<std::size_t>(b - kFirstDataRow - 1)];
          shortest = std::min(shortest, elapsed(lastT, m));
        } else if (k < 0) {
          times.AddNewCross(Station(b));
        } else {
          // A time after rows without one: the trip skipped the stops between.
          const int a = Station(k) == Station(k + 1) ? k + 1 : k;
          const int z = Station(b) == Station(b - 1) ? b - 1 : b;
          if (z - a > 1) {
            times.AddNewCross(Station(a));
            times.AddNewCross(Station(z));
            times.AddSkip(a, z, elapsed(lastT, m));
          }
        }
        lastT = m;
        k = b;
      } else if (s == TCellState::csEmpty && k >= 0 && prevState == TCellState::csTime) {
        times.AddNewCross(Station(k));  // the trip stops running here
      }
      prevState = s;
    }
  }
  return times;
}

void EditTimeTable::btSaveClick() {
  if (!editMode_ || !loaded_) return;
  const std::optional<std::filesystem::path> timetableFile =
      TimetableFilePath(ctx_, loaded_->lineName);
  if (!timetableFile) {
    ctx_.ui.ShowMessage(std::string(kInvalidLineName) + loaded_->lineName);
    return;
  }
  StepScope step(*this, kSaveRepairs);
  int errors = CheckPairsBeforeSave();
  const TravelTimes times = ScanTravelTimes(errors);
  if (errors > 0 && ctx_.ui.Confirm(std::string(kSaveDespiteErrors), false) != Answer::Yes) {
    return;
  }
  WriteTimetableFiles(*timetableFile, times);
  CommitStep();
  history_.MarkSaved();
  LeaveEditMode();
}

void EditTimeTable::WriteTimetableFiles(const std::filesystem::path& timetableFile,
                                        const TravelTimes& times) {
  std::vector<std::pair<std::string, std::string>> rows;
  std::vector<std::string> stations;
  for (int r = kFirstDataRow; r <= LastRow(); ++r) {
    std::string row;
    std::size_t cut = 0;  // the length up to the last non-empty field
    for (int c = 1; c <= LastCol(); ++c) {
      if (c > 1) row += ',';
      const std::string field = RowField(Text(c, r));
      row += field;
      if (!field.empty()) cut = row.size();
    }
    if (cut > 0) row.resize(cut);
    rows.emplace_back(std::to_string(r - 1), TimetableRowValue(std::move(row)));
    stations.push_back(Station(r));
  }

  // A save holds the project folder's lock while it writes, when the lock is free, and
  // first removes the temporary files that a killed save left behind, as a conversion
  // does for its own files. Busy (a conversion runs): it writes all the same.
  const std::filesystem::path folder(ctx_.ProjectDir.empty() ? "." : ctx_.ProjectDir);
  std::optional<FolderLock> lock;
  if (FolderLock::TryLock(folder, lock) == FolderLock::Outcome::Locked) {
    RemoveStaleTemporaries(folder, IsSavedDocument, ctx_.files);
  }

  // Both files are replaced, or neither: a distances.csv that cannot be written takes
  // the timetable file back to what it was.
  std::error_code error;
  const bool existed = std::filesystem::exists(timetableFile, error);
  IniFile ttd(timetableFile, &ctx_.files);
  const std::string before = ttd.Bytes();
  // The user's text files are written with CR LF, whatever line breaks they came with.
  constexpr IniFile::LineBreaks kCrLf = IniFile::LineBreaks::CrLf;
  ttd.ReplaceSection(TimetableSectionName(loaded_->direction, loaded_->dayGroupName), rows, kCrLf);
  try {
    IniFile distances(ctx_.ProjectFile("distances.csv"), &ctx_.files);
    distances.ReplaceSection(
        DistanceSectionName(loaded_->lineName, loaded_->direction, loaded_->dayGroupName),
        DistanceKeys(times, stations, kFirstDataRow), kCrLf);
  } catch (const Error&) {
    if (existed) {
      TryWriteFileAtomically(timetableFile, before, ctx_.files.Document());
    } else {
      std::filesystem::remove(timetableFile, error);
    }
    throw;
  }
}

}  // namespace trivo
