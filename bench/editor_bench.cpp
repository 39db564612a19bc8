// Times the timetable editor's core on a full timetable: 510 trips x 60 rows loaded,
// every cell checked as it is left, the travel-time scan, and the save with its
// distances.csv entry. Budget: each under 50 ms. Then the travel-time scan at 1x, 2x
// and 4x the rows, to show that it grows linearly with the cells. Last, taking back and
// making again the changes of a 60-row, 200-trip grid (budget: 20 ms each): a pattern copy,
// a trip repeated 50 times at a headway and a moved trip column.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "editor/edit_timetable.h"
#include "project/context.h"
#include "quiet_user_interface.h"

namespace {

constexpr int kTrips = 510;
constexpr int kRuns = 7;

std::string Time(int minutes) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60 % 24, minutes % 60);
  return text;
}

// A line of `rows` stations (every tenth a pair of arrival and departure rows) with `trips`
// trips every 2 minutes, each taking 2 minutes per stop; every 50th trip skips a stop.
void WriteProject(const std::filesystem::path& dir, int rows, int trips = kTrips) {
  std::ofstream(dir / "lines.csv", std::ios::binary) << "L\r\n";
  std::ofstream(dir / "station_lines.csv", std::ios::binary) << "";
  std::ofstream ttd(dir / "line_L.ttd", std::ios::binary);
  ttd << "[1_Mo-Fr]\r\n";
  std::string stations = "L=";
  int station = 0;
  for (int r = 0; r < rows; ++r) {
    const bool departureRow = r > 0 && r % 10 == 0;
    if (!departureRow) ++station;
    if (!departureRow)
      stations += (r > 0 ? ",\"Halt " : "\"Halt ") + std::to_string(station) + "\"";
    ttd << r + 1 << "=Halt " << station;
    for (int t = 0; t < trips; ++t) {
      const bool skipped = t % 50 == 0 && r == rows / 2;
      ttd << ',' << (skipped ? std::string() : Time(300 + 2 * t + 2 * r));
    }
    ttd << "\r\n";
  }
  std::ofstream(dir / "line_stations.csv", std::ios::binary) << stations << "\r\n";
}

double Milliseconds(const std::function<void()>& action) {
  const auto start = std::chrono::steady_clock::now();
  action();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

double Best(const std::function<void()>& prepare, const std::function<void()>& action) {
  double best = 1e300;
  for (int run = 0; run < kRuns; ++run) {
    prepare();
    best = std::min(best, Milliseconds(action));
  }
  return best;
}

struct Editor {
  explicit Editor(const std::filesystem::path& dir) {
    ctx.ProjectDir = dir.string();
    ctx.WorkingDir = dir.string();
    editor.cbLines.Assign({"L"});
    editor.cbDays.Assign({"Mo-Fr"});
  }
  QuietUserInterface ui;
  trivo::Context ctx{ui};
  trivo::EditTimeTable editor{ctx};
};

// Leaves every trip cell once, column by column, as typing through the grid does.
void CheckEveryCell(trivo::EditTimeTable& editor) {
  const trivo::StringGrid& grid = editor.sgTimeTable();
  for (int c = 2; c < 2 + kTrips; ++c) {
    for (int r = 2; r < grid.RowCount(); ++r) {
      const int nextRow = r + 1 < grid.RowCount() ? r + 1 : 2;
      const int nextCol = r + 1 < grid.RowCount() ? c : c + 1;
      editor.sgTimeTableSelectCell({std::min(nextCol, grid.ColCount() - 1), nextRow});
    }
  }
}

// Best of kRuns: the step taken back, then made again; both times are the best seen.
struct UndoRedo {
  double undo = 1e300;
  double redo = 1e300;
};

UndoRedo TimeUndoRedo(trivo::EditTimeTable& editor) {
  UndoRedo best;
  for (int run = 0; run < kRuns; ++run) {
    best.undo = std::min(best.undo, Milliseconds([&] { editor.Undo(); }));
    best.redo = std::min(best.redo, Milliseconds([&] { editor.Redo(); }));
  }
  return best;
}

void TypeInto(trivo::EditTimeTable& editor, int col, int row, const std::string& text) {
  editor.sbCopyModeClick(true);
  editor.sgTimeTableSelectCell({col, row});
  editor.sbCopyModeClick(false);
  std::string typed;
  for (const char c : text) {
    if (editor.sgTimeTableKeyPress(c)) editor.SetCellEditorText(typed += c);
  }
  editor.sgTimeTableKeyPress('\r');
}

void BenchUndoRedo(const std::filesystem::path& dir) {
  constexpr int kGridTrips = 200;
  WriteProject(dir, 60, kGridTrips);
  Editor e(dir);
  e.editor.btTimeTableEditClick();
  const auto print = [](const char* what, const UndoRedo& times) {
    std::printf("  %-28s undo %6.3f ms, redo %6.3f ms\n", what, times.undo, times.redo);
  };
  std::printf("undo and redo on 200 trips x 60 rows (best of %d runs):\n", kRuns);

  // "=1" below a time: the new trip takes trip 1's times from row 3 down (59 cells).
  const int col = 2 + kGridTrips;
  TypeInto(e.editor, col, 2, "9:00");
  TypeInto(e.editor, col, 3, "=1");
  print("pattern copy (59 cells)", TimeUndoRedo(e.editor));

  trivo::TripRepeat repeat;
  repeat.everyMinutes = 5;
  repeat.copies = 50;
  e.editor.sgTimeTableSelectCell({col, 2});
  if (!e.editor.RepeatTrips(col, col, repeat)) std::printf("  (the repeat was refused)\n");
  print("trip repeated 50 times", TimeUndoRedo(e.editor));

  e.editor.sgTimeTableColumnMoved(2 + kGridTrips, 2);
  print("trip column moved", TimeUndoRedo(e.editor));
}

}  // namespace

int main() {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("trivo_editor_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  WriteProject(dir, 60);
  Editor e(dir);
  const double load = Best([] {}, [&] { e.editor.btTimeTableEditClick(); });
  const double check =
      Best([&] { e.editor.btTimeTableEditClick(); }, [&] { CheckEveryCell(e.editor); });
  int errors = 0;
  const double scan = Best([] {}, [&] { e.editor.ScanTravelTimes(errors); });
  const double save = Best(
      [&] {
        e.editor.btTimeTableEditClick();
        e.editor.sgTimeTableKeyPress('x');
      },
      [&] { e.editor.btSaveClick(); });
  std::printf("timetable of %d trips x 60 rows (best of %d runs)\n", kTrips, kRuns);
  std::printf("  load                 %7.2f ms\n", load);
  std::printf("  check every cell     %7.2f ms  (%d cells)\n", check, kTrips * 60);
  std::printf("  travel-time scan     %7.2f ms\n", scan);
  std::printf("  save (.ttd, distances.csv) %7.2f ms\n", save);

  std::printf("travel-time scan by rows:\n");
  for (const int rows : {60, 120, 240}) {
    WriteProject(dir, rows);
    Editor scaled(dir);
    scaled.editor.btTimeTableEditClick();
    const double ms = Best([] {}, [&] { scaled.editor.ScanTravelTimes(errors); });
    std::printf("  %3d rows: %7.2f ms, %6.1f ns per cell\n", rows, ms,
                ms * 1e6 / (static_cast<double>(rows) * kTrips));
  }
  BenchUndoRedo(dir);
  std::filesystem::remove_all(dir);
  return 0;
}
