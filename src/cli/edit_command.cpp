#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "commands.h"
#include "common/error.h"
#include "common/ini_file.h"
#include "common/messages.h"
#include "common/text_file.h"
#include "convert/conversion_buttons.h"
#include "editor/edit_timetable.h"
#include "exit_status.h"
#include "grid_print.h"
#include "html/web_copy.h"
#include "positional_command.h"
#include "project_command.h"
#include "step_list.h"

namespace trivo::cli {
namespace {

constexpr std::string_view kEditHelp =
    R"(Usage: trivo edit PROJECT.tvp SCRIPT [--steps LIST]

The timetable editor "Fahrplan bearbeiten" driven by a script. Loads the project
file PROJECT.tvp, runs the conversion steps of LIST first when given (printing what
'trivo convert' prints), shows the editor (which converts the timetables as the
window does and loads the last one it converts), then runs SCRIPT: a file, a pipe,
or '-' for standard input. One command a line; blank lines and lines starting with
'#' are skipped; arguments are separated by one blank; a line longer than 65536
bytes is an error in the script (a "type" line: its text is refused).

Showing the editor converts the timetables, which needs the tables that conversion
steps 1 to 4 make: give --steps 1,2,3,4.

Grid indexes are those of the window: column 0 the pair markers, column 1 the
stations, trip columns from 2; data rows from 2.

Commands:
  choose line NAME      select the entry NAME in the list of lines
  choose days NAME      select the day group NAME
  choose direction N    select the direction 1 or 2
                        (NAME and N are the rest of the line, blanks included)
  edit                  press "Fahrplan editieren"
  cell C R              click trip cell (C, R): the current cell moves there,
                        through the check of the cell being left
  type TEXT             type TEXT into the current cell, one key press per
                        character; the cell's text becomes TEXT (outside copy mode);
                        a TEXT longer than a timetable row holds (4095 characters)
                        is refused
  type                  press Backspace once: the cell becomes empty (so does
                        "type " with an empty TEXT)
  enter                 press Enter
  marker R              click the pair marker of row R (split or merge)
  copymode on|off       press or release "Kopiermodus"
  dragcol FROM TO       drag trip column FROM to position TO
  insertcol             the pop-up item "Spalte einfügen"
  undo                  "Bearbeiten" -> "Rückgängig": takes the last change back
  redo                  "Bearbeiten" -> "Wiederholen": makes it again
  menu                  print the menu "Bearbeiten" (see below)
  gselect L T R B       select the rectangle of the editor's grid from column L,
                        row T to column R, row B (the current cell stays; cell
                        drops the selection)
  inserttrip            "Fahrt einfügen": an empty trip column before the current
                        one
  deletetrip            "Fahrt löschen": deletes the selected trip columns, or the
                        current one
  repeat N HH:MM        "Fahrt wiederholen...": copies the selected trip columns
  repeat N xCOUNT       (or the current one) as one pattern every N minutes, until
                        the last departure HH:MM or COUNT times
  save                  press "Änderungen speichern" (only while it is shown)
  cancel                press "Änderungen verwerfen"
  answer A...           answers (yes, no, cancel) for the next questions, in order;
                        without a queued answer a question is answered yes
  print                 print the grid (see below)
The web copy window "Fahrplan Kopier-Bereich":
  html FILE             the text of FILE is on the clipboard: press "HTML einfügen",
                        which scores the page's tables against the editor's stations
  wcell C R             click cell (C, R) of the work grid (columns and rows from 0)
  action AREA ACTION    select Zeile or Spalte and einfügen, duplizieren or löschen,
                        press "Aktion ausführen" (at the work grid's current cell)
  select L T R B        select the rectangle of the work grid from column L, row T
                        to column R, row B
  paste                 press "Zwischenablage einfügen" of the editor: the selected
                        block of the work grid goes to the editor's current cell
  wprint                print the work grid (see below)
While the grid is hidden (choice mode) cell, type, enter, marker, copymode,
dragcol, insertcol, paste and save do nothing; while it is shown choose and edit do
nothing, as the user cannot reach those controls. The script may be written in
UTF-8 or in Windows-1252.

Output (standard output, in the order it happens, texts in Windows-1252):
  [Meldung] <text>   a message box
  [Frage] <text>     a question
  [Signal]           the system beep
  [Fehler] <text>    an error that ended a command; the script goes on
  print writes
    [sgTimeTable] mode=<choice|edit> save=<0|1> copy=<0|1> current=<C>,<R> size=<COLS>x<ROWS>
  then every grid row, its cells from column 0 to the last column that holds text
  in some row from 1 on, joined by TAB; a backslash in a cell is written \\, a tab
  \t, a line feed \n, a carriage return \r.
  wprint writes [sgWorkGrid], then every row of the work grid, all its cells joined
  by TAB, written as above.
  menu writes [Bearbeiten] <undo item> | <redo item>, for example
    [Bearbeiten] Rückgängig: Eingabe | Wiederholen
  where an item without a colon is disabled.

Options:
  --steps LIST  comma-separated conversion steps 1 to 5 to run first
  -h, --help    show this text

Exit status: 0 success, 1 when an error ended a command or a file that should have
been written (a PTF file of the conversion, the timetable, distances.csv) was not,
2 for a usage error or an error in the script (explained on standard error; the
script stops there).
)";

constexpr ProjectCommandSpec kEdit{"edit", "--steps",
                                   "--steps needs a list of steps, for example --steps 1,2,3",
                                   kEditHelp, "SCRIPT"};

// A line of the script that cannot be run.
struct ScriptError {
  std::string text;
};

// The next blank-separated word of a line, and the rest after its blank.
struct Split {
  std::string_view word;
  std::string_view rest;
  bool hasRest = false;
};

Split SplitWord(std::string_view text) {
  const std::size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return {text, {}, false};
  return {text.substr(0, blank), text.substr(blank + 1), true};
}

int Number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < 0) {
    throw ScriptError{"'" + std::string(text) + "' is not a number"};
  }
  return value;
}

// The arguments of a command that takes exactly count numbers.
std::vector<int> Numbers(const Split& command, std::size_t count) {
  std::vector<int> numbers;
  Split next{{}, command.rest, command.hasRest};
  while (next.hasRest) {
    next = SplitWord(next.rest);
    numbers.push_back(Number(next.word));
  }
  if (numbers.size() != count) {
    throw ScriptError{std::string(command.word) + " needs " + std::to_string(count) +
                      (count == 1 ? " number" : " numbers")};
  }
  return numbers;
}

// Opens the script: standard input for "-", else a regular file or a pipe (which waits
// for its writer, as reading a pipe does). Anything else, a folder or a device such as
// /dev/zero behind a link, is refused with the text the project's inputs get. Returns the
// descriptor, or -1 with the message in failure.
int OpenScript(const std::string& name, std::string& failure) {
  if (name == "-") return STDIN_FILENO;
  const auto refuse = [&](const std::string& reason) {
    failure = msg::CannotOpenFile(name, reason);
    return -1;
  };
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) return refuse(msg::SystemReason(errno));
  if (S_ISDIR(info.st_mode)) return refuse(msg::SystemReason(EISDIR));
  if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) {
    return refuse(msg::NotARegularFile(info.st_mode));
  }
  const int fd = ::open(name.c_str(),
                        O_RDONLY | O_NOCTTY | O_CLOEXEC | (S_ISREG(info.st_mode) ? O_NONBLOCK : 0));
  if (fd < 0) return refuse(msg::SystemReason(errno));
  // What was opened may have been put in place of what was looked at.
  if (::fstat(fd, &info) != 0 || (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode))) {
    ::close(fd);
    return refuse(msg::NotARegularFile(info.st_mode));
  }
  return fd;
}

// The lines of the script, each without its line feed and a carriage return before it.
// A line is held up to kHeldLength bytes, far more than any command can use; a longer one
// is not held: it is reported as too long, and a "type" line, whose text only has to be
// refused, is read on to its end (up to kInputSizeLimit bytes) so that the script goes on
// after it. Memory stays small and time linear whatever the script holds.
class ScriptLines {
 public:
  static constexpr std::size_t kHeldLength = 65536;
  enum class Kind { Line, TooLong, TooLongType, End };

  ScriptLines(int fd, bool owned) : fd_(fd), owned_(owned) {}
  ~ScriptLines() {
    if (owned_) ::close(fd_);
  }
  ScriptLines(const ScriptLines&) = delete;
  ScriptLines& operator=(const ScriptLines&) = delete;

  // The next line into line; for TooLong and TooLongType line holds its beginning.
  Kind Next(std::string& line) {
    line.clear();
    std::uint64_t length = 0;
    bool held = true;
    for (;;) {
      if (at_ == got_ && !Fill()) {
        if (length == 0) return Kind::End;
        break;
      }
      const char* begin = buffer_ + at_;
      const char* end = buffer_ + got_;
      const char* feed = std::find(begin, end, '\n');
      const auto piece = static_cast<std::size_t>(feed - begin);
      at_ += piece + (feed != end ? 1 : 0);
      length += piece;
      if (held) {
        line.append(begin, std::min(piece, kHeldLength + 1 - line.size()));
        if (line.size() > kHeldLength) {
          held = false;
          if (!line.starts_with("type ")) return Kind::TooLong;
        }
      }
      if (!held && length > kInputSizeLimit) return Kind::TooLong;
      if (feed != end) break;
    }
    if (!held) return Kind::TooLongType;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return Kind::Line;
  }

 private:
  bool Fill() {
    for (;;) {
      const ssize_t got = ::read(fd_, buffer_, sizeof buffer_);
      if (got < 0 && errno == EINTR) continue;
      at_ = 0;
      got_ = got > 0 ? static_cast<std::size_t>(got) : 0;
      return got_ > 0;
    }
  }

  int fd_;
  bool owned_;
  char buffer_[65536];
  std::size_t at_ = 0;
  std::size_t got_ = 0;
};

class EditScript {
 public:
  explicit EditScript(ProjectSession& session) : session_(session), editor_(session.ctx) {}

  EditTimeTable& editor() { return editor_; }

  // Runs a command, reporting an error that ends it (the session records the failure).
  void Run(const std::function<void()>& action) { session_.RunReportingErrors(action); }

  // A "type" line too long to be held: its text is refused as any text too long.
  void RefuseLongText() {
    if (editor_.EditMode()) Run([] { throw Error(TextTooLong()); });
  }

  void Execute(std::string_view line) {
    const Split command = SplitWord(line);
    const std::string_view name = command.word;
    if (name == "choose") return Choose(command);
    if (name == "answer") return QueueAnswers(command);
    if (name == "print") return Print();
    const bool shown = editor_.EditMode();
    if (name == "edit") {
      NoArguments(command);
      if (!shown) Run([&] { editor_.btTimeTableEditClick(); });
    } else if (name == "cancel") {
      NoArguments(command);
      if (shown) Run([&] { editor_.btCancelClick(); });
    } else if (name == "save") {
      NoArguments(command);
      if (shown && editor_.btSaveVisible()) Run([&] { editor_.btSaveClick(); });
    } else if (name == "cell") {
      const std::vector<int> at = Numbers(command, 2);
      if (shown) {
        const CellPos target = TripCell(at[0], at[1]);
        selection_.reset();
        Run([&] { editor_.sgTimeTableSelectCell(target); });
      }
    } else if (name == "type") {
      if (shown) Run([&] { Type(command); });
    } else if (name == "enter") {
      NoArguments(command);
      if (shown) Run([&] { editor_.sgTimeTableKeyPress('\r'); });
    } else if (name == "marker") {
      const int row = Numbers(command, 1)[0];
      if (shown) {
        if (row >= editor_.sgTimeTable().RowCount()) throw ScriptError{"no such row"};
        Run([&] { editor_.sgTimeTableMouseDown({0, row}); });
      }
    } else if (name == "copymode") {
      if (command.rest != "on" && command.rest != "off") {
        throw ScriptError{"copymode needs on or off"};
      }
      const bool down = command.rest == "on";
      if (shown && editor_.CopyMode() != down) Run([&] { editor_.sbCopyModeClick(down); });
    } else if (name == "dragcol") {
      const std::vector<int> cols = Numbers(command, 2);
      if (shown) {
        for (const int col : cols) TripColumn(col);
        Run([&] { editor_.sgTimeTableColumnMoved(cols[0], cols[1]); });
      }
    } else if (name == "insertcol") {
      NoArguments(command);
      if (shown) Run([&] { editor_.Spalteeinfgen1Click(); });
    } else if (name == "undo" || name == "redo") {
      NoArguments(command);
      if (shown) Run([&] { name == "undo" ? editor_.Undo() : editor_.Redo(); });
    } else if (name == "menu") {
      NoArguments(command);
      std::cout << "[Bearbeiten] " << editor_.UndoText() << " | " << editor_.RedoText() << '\n';
    } else if (name == "gselect") {
      const std::vector<int> corners = Numbers(command, 4);
      if (shown) {
        TripCell(corners[0], corners[1]);
        TripCell(corners[2], corners[3]);
        selection_ = GridRect{corners[0], corners[1], corners[2], corners[3]};
      }
    } else if (name == "inserttrip") {
      NoArguments(command);
      if (shown) Run([&] { editor_.InsertTripColumn(); });
    } else if (name == "deletetrip") {
      NoArguments(command);
      if (shown) {
        const auto [first, last] = SelectedColumns();
        Run([&] { editor_.DeleteTripColumns(first, last); });
      }
    } else if (name == "repeat") {
      const TripRepeat repeat = RepeatArguments(command);
      if (shown) {
        const auto [first, last] = SelectedColumns();
        Run([&] { editor_.RepeatTrips(first, last, repeat); });
      }
    } else if (name == "html") {
      const FileRead html = TryReadFileBytes(std::string(command.rest));
      if (!command.hasRest || !html.read) {
        throw ScriptError{"cannot read the HTML file '" + std::string(command.rest) + "'"};
      }
      Run([&] { web_.btPasteClick(html.bytes, editor_.sgTimeTable()); });
    } else if (name == "wcell") {
      const std::vector<int> at = Numbers(command, 2);
      CheckWorkCell(at[0], at[1]);
      web_.SetCurrentCell(at[0], at[1]);
    } else if (name == "action") {
      Action(command);
    } else if (name == "select") {
      const std::vector<int> corners = Numbers(command, 4);
      CheckWorkCell(corners[0], corners[1]);
      CheckWorkCell(corners[2], corners[3]);
      web_.Select({corners[0], corners[1], corners[2], corners[3]});
    } else if (name == "paste") {
      NoArguments(command);
      const std::optional<GridRect> selection = web_.Selection();
      if (shown && selection) Run([&] { editor_.sbPasteClick(web_.sgWorkGrid, *selection); });
    } else if (name == "wprint") {
      NoArguments(command);
      std::cout << "[sgWorkGrid]\n";
      PrintGridRows(std::cout, web_.sgWorkGrid, web_.sgWorkGrid.ColCount() - 1);
    } else {
      throw ScriptError{"unknown command '" + std::string(name) + "'"};
    }
  }

 private:
  static void NoArguments(const Split& command) {
    if (command.hasRest) throw ScriptError{std::string(command.word) + " takes no arguments"};
  }

  int TripColumn(int col) const {
    if (col < EditTimeTable::kFirstTripCol || col >= editor_.sgTimeTable().ColCount()) {
      throw ScriptError{"no trip column " + std::to_string(col)};
    }
    return col;
  }

  CellPos TripCell(int col, int row) const {
    if (row < EditTimeTable::kFirstDataRow || row >= editor_.sgTimeTable().RowCount()) {
      throw ScriptError{"no data row " + std::to_string(row)};
    }
    return {TripColumn(col), row};
  }

  // The trip columns of the selection made with gselect, or the current column.
  std::pair<int, int> SelectedColumns() const {
    const int last = editor_.sgTimeTable().ColCount() - 1;
    if (selection_ && std::max(selection_->Left, selection_->Right) <= last) {
      return std::minmax(selection_->Left, selection_->Right);
    }
    return {editor_.Current().col, editor_.Current().col};
  }

  static TripRepeat RepeatArguments(const Split& command) {
    const Split every = SplitWord(command.rest);
    const Split until = SplitWord(every.rest);
    if (!command.hasRest || !every.hasRest || until.hasRest) {
      throw ScriptError{"repeat needs minutes and HH:MM or xCOUNT"};
    }
    TripRepeat repeat;
    repeat.everyMinutes = Number(every.word);
    if (!until.word.empty() && until.word.front() == 'x') {
      repeat.copies = Number(until.word.substr(1));
    } else {
      const std::int32_t minutes = TimeStringToMinutes(until.word);
      if (minutes < 0) throw ScriptError{"'" + std::string(until.word) + "' is no time HH:MM"};
      repeat.untilMinutes = minutes;
    }
    return repeat;
  }

  void CheckWorkCell(int col, int row) const {
    if (col >= web_.sgWorkGrid.ColCount() || row >= web_.sgWorkGrid.RowCount()) {
      throw ScriptError{"no cell " + std::to_string(col) + "," + std::to_string(row) +
                        " in the work grid"};
    }
  }

  void Action(const Split& command) {
    const Split what = SplitWord(command.rest);
    const auto index = [](const std::vector<std::string>& items, std::string_view item) {
      const auto found = std::find(items.begin(), items.end(), item);
      return found == items.end() ? -1 : static_cast<int>(found - items.begin());
    };
    const int area = index(WebCopy::ActionAreaItems(), what.word);
    const int action = index(WebCopy::ActionItems(), what.rest);
    if (!what.hasRest || area < 0 || action < 0) {
      throw ScriptError{"action needs Zeile or Spalte and einfügen, duplizieren or löschen"};
    }
    web_.ActionAreaIndex = area;
    web_.ActionIndex = action;
    Run([&] { web_.btActionClick(); });
  }

  void Choose(const Split& command) {
    const Split what = SplitWord(command.rest);
    ChoiceList* list = what.word == "line"        ? &editor_.cbLines
                       : what.word == "days"      ? &editor_.cbDays
                       : what.word == "direction" ? &editor_.cbDirection
                                                  : nullptr;
    if (list == nullptr || !what.hasRest) {
      throw ScriptError{"choose needs line, days or direction and an entry"};
    }
    ChoiceList chosen = *list;
    if (!chosen.Select(what.rest)) {
      throw ScriptError{"no entry '" + std::string(what.rest) + "' to choose"};
    }
    if (!editor_.EditMode()) *list = std::move(chosen);
  }

  void QueueAnswers(const Split& command) {
    std::vector<Answer> answers;
    Split next{{}, command.rest, command.hasRest};
    while (next.hasRest) {
      next = SplitWord(next.rest);
      if (next.word == "yes") {
        answers.push_back(Answer::Yes);
      } else if (next.word == "no") {
        answers.push_back(Answer::No);
      } else if (next.word == "cancel") {
        answers.push_back(Answer::Cancel);
      } else {
        throw ScriptError{"answer takes yes, no or cancel"};
      }
    }
    if (answers.empty()) throw ScriptError{"answer needs at least one answer"};
    session_.ui.answers.insert(session_.ui.answers.end(), answers.begin(), answers.end());
  }

  // One key press per character; outside copy mode the cell editor, whose text was
  // selected, ends up holding exactly the typed text. "type" alone, or with an empty
  // text, is Backspace: the cell becomes empty. A text longer than a timetable row can
  // hold is refused before any key is pressed.
  void Type(const Split& command) {
    if (command.rest.empty()) {
      if (editor_.sgTimeTableKeyPress('\b')) editor_.SetCellEditorText({});
      return;
    }
    if (command.rest.size() > IniFile::kTimetableRowLimit) throw Error(TextTooLong());
    // The cell editor's text goes to the cell before a key that may leave the cell
    // (Enter) and at the end: the check reads it only then.
    std::string typed;
    bool unwritten = false;
    const auto writeTyped = [&] {
      if (unwritten) editor_.SetCellEditorText(typed);
      unwritten = false;
    };
    for (const char c : command.rest) {
      if (c == '\r') writeTyped();
      if (editor_.sgTimeTableKeyPress(c)) {
        typed += c;
        unwritten = true;
      }
    }
    writeTyped();
  }

  static std::string TextTooLong() {
    return "Der Text ist zu lang: eine Fahrplanzeile fasst höchstens " +
           std::to_string(IniFile::kTimetableRowLimit) + " Zeichen";
  }

  void Print() {
    const StringGrid& grid = editor_.sgTimeTable();
    int lastCol = 1;
    for (int col = grid.ColCount() - 1; col > 1 && lastCol == 1; --col) {
      for (int row = 1; row < grid.RowCount(); ++row) {
        if (!grid.Cell(col, row).empty()) {
          lastCol = col;
          break;
        }
      }
    }
    const CellPos current = editor_.Current();
    std::cout << "[sgTimeTable] mode=" << (editor_.EditMode() ? "edit" : "choice")
              << " save=" << editor_.btSaveVisible() << " copy=" << editor_.CopyMode()
              << " current=" << current.col << ',' << current.row << " size=" << grid.ColCount()
              << 'x' << grid.RowCount() << '\n';
    PrintGridRows(std::cout, grid, lastCol);
  }

  ProjectSession& session_;
  EditTimeTable editor_;
  WebCopy web_;
  std::optional<GridRect> selection_;  // of the editor's grid
};

}  // namespace
}  // namespace trivo::cli

int RunEdit(int argc, char** argv) {
  using namespace trivo::cli;
  const ParsedProjectCommand parsed = ParseProjectCommand(kEdit, argc, argv);
  if (!parsed.arguments) return parsed.exitStatus;
  const ProjectCommandArguments& arguments = *parsed.arguments;
  std::vector<int> steps;
  if (arguments.optionValue) {
    std::optional<std::vector<int>> chosen = StepsOption(kEdit, *arguments.optionValue);
    if (!chosen) return kExitUsage;
    steps = std::move(*chosen);
  }
  if (!ProjectFileExists(kEdit, arguments.projectFile)) return kExitUsage;
  std::string failure;
  const int scriptFd = OpenScript(arguments.extra, failure);
  if (scriptFd < 0) return UsageError(kEdit, failure);
  ScriptLines script(scriptFd, scriptFd != STDIN_FILENO);

  ProjectSession session;
  session.ui.printBeeps = true;
  if (!session.Load(arguments.projectFile)) return kExitFailed;
  EditScript editor(session);
  for (const int step : steps) {
    editor.Run([&] { trivo::PressConversionButton(session.ctx, step); });
  }
  editor.Run([&] { editor.editor().FormShow(); });

  std::string line;
  for (int number = 1;; ++number) {
    const ScriptLines::Kind kind = script.Next(line);
    if (kind == ScriptLines::Kind::End) break;
    if (kind == ScriptLines::Kind::TooLongType) {
      editor.RefuseLongText();
      continue;
    }
    if (kind == ScriptLines::Kind::Line && (line.empty() || line.front() == '#')) continue;
    try {
      if (kind == ScriptLines::Kind::TooLong) {
        throw ScriptError{"longer than " + std::to_string(ScriptLines::kHeldLength) +
                          " characters"};
      }
      editor.Execute(ArgumentText(line));
    } catch (const ScriptError& error) {
      std::cout.flush();
      std::cerr << "trivo edit: " << OneLine(arguments.extra) << " line " << number << ": "
                << OneLine(error.text) << '\n';
      return kExitUsage;
    }
  }
  return session.ExitStatus();
}
