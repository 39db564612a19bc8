// The timetable editor. Input: the course of the line U1 (a comma list of stations, as in
// line_stations.csv), the texts of line_U1.ttd and distances.csv, and a script of user
// actions, one a line:
//   r N       choose direction N and press "Fahrplan editieren" (choice mode only)
//   c C R     click the trip cell (C, R): the cell being left is checked
//   t TEXT    type TEXT into the current cell, key by key
//   e / b     press Enter / Backspace
//   m R       click the pair marker of row R
//   k         press or release "Kopiermodus"
//   p TEXT    paste a block of the web copy window's work grid at the current cell: its
//             rows separated by ";", the cells of a row by "|", "~" a line break in a cell
//   d F T     drag trip column F to position T
//   i         the pop-up item "Spalte einfuegen"
//   y / n     answer the next question Yes / No
//   s / x     press "Aenderungen speichern" / "Aenderungen verwerfen"
// At the end a shown timetable is saved.
//
// Properties: only German errors (trivo::Error) end an action; a cell that the check lets
// go holds a time, an interval or nothing; a save keeps every other section of the
// timetable file and of distances.csv as it was, and loading the saved timetable again
// shows the grid as it was saved (cells trimmed, characters a field cannot hold as
// blanks) unless a row is longer than the 4095 characters a row is read up to.

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "common/comma_list.h"
#include "common/error.h"
#include "common/strings.h"
#include "common/sy_standard.h"
#include "common/text_file.h"
#include "convert/ttd_file.h"
#include "editor/edit_timetable.h"
#include "editor/travel_times.h"
#include "fuzz_support.h"
#include "project/context.h"
#include "test_support.h"

namespace trivo {
namespace {

constexpr std::string_view kLine = "U1";
constexpr std::string_view kDayGroup = "Mo-Fr";

// The numbers of a command's argument text, separated by blanks.
std::vector<int> Numbers(std::string_view text) {
  std::vector<int> numbers;
  while (!text.empty()) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) break;
    numbers.push_back(value);
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  }
  return numbers;
}

class EditorRun {
 public:
  EditorRun(test::TempDir& dir, Context& ctx, test::RecordingUserInterface& ui)
      : dir_(dir), ctx_(ctx), ui_(ui), ed_(ctx) {
    ed_.cbLines.Assign({std::string(kLine)});
    ed_.cbDays.Assign({std::string(kDayGroup)});
  }

  void Run(std::string_view script) {
    for (const std::string& line : SplitTextLines(script)) {
      if (line.empty()) continue;
      try {
        Do(line[0], line.size() > 2 ? std::string_view(line).substr(2) : std::string_view());
      } catch (const Error&) {
        // Shown to the user; the next action runs.
      }
    }
    if (ed_.EditMode()) Save();
  }

 private:
  void Do(char command, std::string_view argument) {
    const std::vector<int> n = Numbers(argument);
    if (command == 'y' || command == 'n') {
      ui_.answers.push_back(command == 'y' ? Answer::Yes : Answer::No);
    } else if (!ed_.EditMode()) {
      if (command == 'r' && !n.empty()) {
        ed_.cbDirection.Select(std::to_string(n[0]));
        ed_.btTimeTableEditClick();
      }
    } else if (command == 'c' && n.size() == 2) {
      // The fixed cells cannot be clicked.
      if (n[0] >= EditTimeTable::kFirstTripCol && n[1] >= EditTimeTable::kFirstDataRow) {
        Leave({n[0], n[1]});
      }
    } else if (command == 't') {
      std::string typed;
      for (const char c : argument) {
        if (ed_.sgTimeTableKeyPress(c)) ed_.SetCellEditorText(typed += c);
      }
    } else if (command == 'e') {
      ed_.sgTimeTableKeyPress('\r');
    } else if (command == 'b') {
      if (ed_.sgTimeTableKeyPress('\b')) ed_.SetCellEditorText("");
    } else if (command == 'm' && n.size() == 1) {
      ed_.sgTimeTableMouseDown({0, n[0]});
    } else if (command == 'k') {
      ed_.sbCopyModeClick(!ed_.CopyMode());
    } else if (command == 'p') {
      Paste(argument);
    } else if (command == 'd' && n.size() == 2) {
      ed_.sgTimeTableColumnMoved(n[0], n[1]);
    } else if (command == 'i') {
      ed_.Spalteeinfgen1Click();
    } else if (command == 's') {
      Save();
    } else if (command == 'x') {
      ed_.btCancelClick();
    }
  }

  void Paste(std::string_view block) {
    std::vector<std::string> rows;
    SplitString(block, rows, ';');
    StringGrid work(1, 1, 0, 0);
    int width = 1;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      std::vector<std::string> cells;
      SplitString(rows[r], cells, '|');
      width = std::max(width, static_cast<int>(cells.size()));
      for (std::size_t c = 0; c < cells.size(); ++c) {
        std::replace(cells[c].begin(), cells[c].end(), '~', '\n');
        work.SetCell(static_cast<int>(c), static_cast<int>(r), cells[c]);
      }
    }
    const int height = std::max(1, static_cast<int>(rows.size()));
    work.SetColCount(width);
    work.SetRowCount(height);
    ed_.sbPasteClick(work, GridRect{0, 0, width - 1, height - 1});
  }

  // A move through the check of the cell being left; a move to the current cell is no
  // move and checks nothing.
  void Leave(CellPos target) {
    const CellPos left = ed_.Current();
    const bool checked = !ed_.CopyMode() && !ed_.SkipNextCheck() && !(target == left);
    if (ed_.sgTimeTableSelectCell(target) && checked) {
      const TCellState state = ed_.GetCellState(left.col, left.row);
      FUZZ_CHECK(state == TCellState::csTime || state == TCellState::csInterval ||
                 state == TCellState::csEmpty);
    }
  }

  void Save() {
    const int direction = ctx_.editor.CurrentDirection;
    const std::string section = TimetableSectionName(direction, kDayGroup);
    const std::string distanceSection =
        DistanceSectionName(std::string(kLine), direction, std::string(kDayGroup));
    const auto ttdBefore = fuzz::IniSnapshot(IniFile(TtdFile()));
    const auto distancesBefore = fuzz::IniSnapshot(IniFile(DistanceFile()));
    ui_.answers.clear();  // every question is answered Yes
    ed_.btSaveClick();
    if (ed_.EditMode()) return;  // nothing written

    FUZZ_CHECK(fuzz::WithoutSection(fuzz::IniSnapshot(IniFile(TtdFile())), section) ==
               fuzz::WithoutSection(ttdBefore, section));
    FUZZ_CHECK(fuzz::WithoutSection(fuzz::IniSnapshot(IniFile(DistanceFile())), distanceSection) ==
               fuzz::WithoutSection(distancesBefore, distanceSection));
    CheckReload(section);
  }

  // Loads the saved timetable into a second editor and compares the grids: every cell
  // as saved, trimmed, with a comma, line break or NUL (which a field cannot hold) read
  // as a blank.
  void CheckReload(const std::string& section) {
    if (!WithinRowLimit(section)) return;
    const StringGrid& saved = ed_.sgTimeTable();
    EditTimeTable again(ctx_);
    again.cbLines.Assign({std::string(kLine)});
    again.cbDays.Assign({std::string(kDayGroup)});
    again.cbDirection.Select(std::to_string(ctx_.editor.CurrentDirection));
    again.btTimeTableEditClick();
    FUZZ_CHECK(again.EditMode());
    const StringGrid& loaded = again.sgTimeTable();
    FUZZ_CHECK(loaded.RowCount() == saved.RowCount());
    const int cols = std::max(loaded.ColCount(), saved.ColCount());
    for (int r = EditTimeTable::kFirstDataRow; r < saved.RowCount(); ++r) {
      for (int c = 1; c < cols; ++c) {
        std::string expected = c < saved.ColCount() ? saved.Cell(c, r) : "";
        std::replace_if(
            expected.begin(), expected.end(),
            [](char ch) { return ch == ',' || ch == '\r' || ch == '\n' || ch == '\0'; }, ' ');
        const std::string shown = c < loaded.ColCount() ? loaded.Cell(c, r) : "";
        FUZZ_CHECK(shown == Trim(expected));
      }
    }
  }

  // Whether every row as written is read whole: a row is read up to 4095 characters.
  bool WithinRowLimit(const std::string& section) const {
    const IniFile file(TtdFile());
    for (int r = EditTimeTable::kFirstDataRow; r < ed_.sgTimeTable().RowCount(); ++r) {
      const std::string row =
          file.ReadString(section, std::to_string(r - 1), "", std::string::npos);
      if (row.size() > IniFile::kTimetableRowLimit) return false;
    }
    return true;
  }

  std::filesystem::path TtdFile() const { return dir_ / ("line_" + std::string(kLine) + ".ttd"); }
  std::filesystem::path DistanceFile() const { return dir_ / "distances.csv"; }

  test::TempDir& dir_;
  Context& ctx_;
  test::RecordingUserInterface& ui_;
  EditTimeTable ed_;
};

}  // namespace
}  // namespace trivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  const auto parts = fuzz::SplitParts(fuzz::AsText(data, size), 4);
  test::TempDir dir;
  dir.Write("stations.csv", "");
  dir.Write("lines.csv", std::string(kLine) + "\r\n");
  dir.Write("line_stations.csv", std::string(kLine) + "=" + fuzz::FirstLine(parts[0]) + "\r\n");
  dir.Write("station_lines.csv", "");
  dir.Write("line_U1.ttd", parts[1]);
  dir.Write("distances.csv", parts[2]);
  test::RecordingUserInterface ui;
  Context ctx(ui);
  fuzz::UseFolder(ctx, dir.path());
  fuzz::AddDayGroup(ctx, kDayGroup);
  EditorRun(dir, ctx, ui).Run(parts[3]);
  return 0;
}
