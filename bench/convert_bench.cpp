// Times the whole conversion (buttons 1 to 5, as `trivo convert` runs them) on a large
// project and compares it with the file I/O the same job cannot do without:
//
//   first conversion  every output made anew (none there before)
//   I/O floor         reading every input once, writing every output to a temporary file
//                     in the same folder and renaming it over its name
//   second conversion nothing changed since the first, every output already in place
//   reading floor     reading every input and every output once
//
//   convert_bench [--keep DIR] [--runs N] [--lines N] [--project FILE.tvp] [--cold]
//
// With --cold the project's files are dropped from the page cache before every phase.
// Without --project the project is generated; with it, the files of that project's
// folder (its PTF files left out) are copied and converted, so a project of any origin
// can be measured and the original stays untouched. Without --keep everything lies in a
// fresh folder under the system's temporary directory and is removed at the end; with
// --keep it goes into DIR (which must not exist or be empty) and stays there together
// with the PTF files. With --runs 0 and --keep the project is only laid out (the kill test
// of the command line uses it).

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "check/project_check.h"
#include "common/error.h"
#include "common/text_file.h"
#include "common/user_interface.h"
#include "convert/conversion_buttons.h"
#include "convert/conversion_record.h"
#include "project/context.h"
#include "project/project_commands.h"

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------------------
// The generated project

struct ProjectShape {
  int lines = 150;
  int stationsPerLine = 30;
  int trips = 100;  // trip columns per section, interval columns included
  int stationPool = 1200;
  // Consecutive lines start this many stations apart in the pool, so neighbouring lines
  // share most of their stations, as lines through a town centre do.
  int lineOffset = 11;
};

struct DayGroup {
  const char* name;
  const char* text;
  const char* days;
};

constexpr DayGroup kDayGroups[] = {
    {"Mo-Fr", "Montag bis Freitag", "monday,tuesday,wednesday,thursday,friday"},
    {"Sa", "Samstag", "saturday"},
    {"So", "Sonn- und Feiertag", "sunday"},
};

constexpr const char* kCrLf = "\r\n";

// Station names with blanks and umlauts (Windows-1252 bytes), all distinct.
std::string StationName(int number) {
  static const char* const kStreets[] = {"Mühlenweg",  "Lindenstraße",    "Am Brückentor",
                                         "Kirchgasse", "Schöne Aussicht", "Gärtnerei"};
  return std::string(kStreets[number % 6]) + " " + std::to_string(number + 1);
}

std::string LineName(int index) {
  std::string name = "L";
  name += std::to_string(index + 1);
  return name;
}

int StationOfLine(const ProjectShape& shape, int line, int position) {
  return (line * shape.lineOffset + position) % shape.stationPool;
}

std::string Clock(int minutes) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", (minutes / 60) % 24, minutes % 60);
  return text;
}

// The trip cells of one section row, in the notation the timetable editor writes: most
// trips are times, every tenth column is a "10 Min" interval between two trips 20
// minutes apart, and some trips start a few stations into the line (empty cells before).
std::string SectionRow(const ProjectShape& shape, int dayGroup, int direction, int row,
                       const std::string& station) {
  std::string text = station;
  const int firstDeparture = 5 * 60 + 3 * dayGroup + 7 * (direction - 1);
  int departure = firstDeparture;
  std::string previousCell;
  for (int trip = 0; trip < shape.trips; ++trip) {
    std::string cell;
    const bool interval = trip % 10 == 5;
    if (interval) {
      // The editor fills an interval column only where the trip on its left has a time.
      if (!previousCell.empty()) cell = "10 Min";
    } else {
      const bool startsLater = trip % 7 == 3;
      if (!startsLater || row >= 4) cell = Clock(departure + 2 * row);
      departure += (trip % 10 == 4) ? 20 : 10;
    }
    text += ',';
    text += cell;
    previousCell = cell;
  }
  while (text.back() == ',') text.pop_back();
  return text;
}

void WriteLines(const fs::path& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << kCrLf;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string Quoted(const std::string& name) {
  return '"' + name + '"';
}

void GenerateProject(const ProjectShape& shape, const fs::path& dir) {
  std::vector<std::string> stations;
  for (int i = 0; i < shape.stationPool; ++i) stations.push_back(StationName(i));
  WriteLines(dir / "stations.csv", stations);

  std::vector<std::string> lines;
  std::vector<std::string> lineStations;
  std::vector<std::vector<std::string>> linesAtStation(shape.stationPool);
  for (int line = 0; line < shape.lines; ++line) {
    const std::string name = LineName(line);
    lines.push_back(name);
    std::string course = name + "=";
    for (int position = 0; position < shape.stationsPerLine; ++position) {
      const int station = StationOfLine(shape, line, position);
      if (position > 0) course += ',';
      course += Quoted(stations[station]);
      linesAtStation[station].push_back(name);
    }
    lineStations.push_back(course);
  }
  WriteLines(dir / "lines.csv", lines);
  WriteLines(dir / "line_stations.csv", lineStations);

  std::vector<std::string> stationLines;
  for (int station = 0; station < shape.stationPool; ++station) {
    std::string entry = stations[station] + "=";
    for (std::size_t i = 0; i < linesAtStation[station].size(); ++i) {
      if (i > 0) entry += ',';
      entry += linesAtStation[station][i];
    }
    stationLines.push_back(entry);
  }
  WriteLines(dir / "station_lines.csv", stationLines);

  std::vector<std::string> project = {"[application]",
                                      "name=Trivo Editor",
                                      "edition=Standard",
                                      "version=1.0.1",
                                      "type=",
                                      "[general]",
                                      "lastsave=01.02.2024 08:00:00",
                                      "[daygroups]"};
  std::string names = "daygroupnames=";
  for (const DayGroup& group : kDayGroups) {
    if (&group != kDayGroups) names += ',';
    names += group.name;
  }
  project.push_back(names);
  for (const DayGroup& group : kDayGroups) {
    project.push_back(std::string(group.name) + "_text=" + group.text);
    project.push_back(std::string(group.name) + "_days=" + group.days);
  }
  project.push_back("[timetable]");
  project.push_back("max_drive_minutes=720");
  WriteLines(dir / "bench.tvp", project);

  for (int line = 0; line < shape.lines; ++line) {
    std::vector<std::string> ttd;
    for (int dayGroup = 0; dayGroup < 3; ++dayGroup) {
      for (int direction = 1; direction <= 2; ++direction) {
        if (!ttd.empty()) ttd.emplace_back();
        ttd.push_back("[" + std::to_string(direction) + "_" + kDayGroups[dayGroup].name + "]");
        for (int row = 0; row < shape.stationsPerLine; ++row) {
          const int position = direction == 1 ? row : shape.stationsPerLine - 1 - row;
          const std::string& station = stations[StationOfLine(shape, line, position)];
          ttd.push_back(std::to_string(row + 1) + "=" +
                        SectionRow(shape, dayGroup, direction, row, station));
        }
      }
    }
    WriteLines(dir / ("line_" + LineName(line) + ".ttd"), ttd);
  }
}

// ---------------------------------------------------------------------------------------
// Running the conversion

// Counts what the conversion reports; the benchmark prints nothing per line.
class SilentUserInterface : public trivo::UserInterface {
 public:
  void ShowMessage(const std::string& text) override { Remember(text); }
  trivo::Answer Confirm(const std::string& text, bool) override {
    Remember(text);
    return trivo::Answer::Yes;
  }
  void Log(const std::string&) override { ++logLines; }
  void Beep() override {}

  void ReportError(const std::string& text) { Remember("[Fehler] " + text); }

  int logLines = 0;
  int messages = 0;
  std::string firstMessage;

 private:
  void Remember(const std::string& text) {
    if (messages++ == 0) firstMessage = text;
  }
};

template <typename Action>
void RunReportingErrors(SilentUserInterface& ui, Action&& action) {
  try {
    action();
  } catch (const std::exception& error) {
    ui.ReportError(error.what());
  }
}

using SteadyClock = std::chrono::steady_clock;

// Writes back what earlier runs left in the page cache, so that one timed run does not
// pay for the write-back of the previous one. Not timed.
void SettleDisk() {
  ::sync();
}

double SecondsSince(SteadyClock::time_point start) {
  return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// Processor time of the process so far: in the program and in the kernel for it.
struct ProcessorTime {
  double user = 0;
  double system = 0;
};

ProcessorTime ProcessorSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

// The wall time and processor time of one timed phase.
struct Timing {
  double seconds = 0;
  double user = 0;
  double system = 0;
};

// Drops the files from the page cache (after SettleDisk they are clean), so that the
// next phase reads them from the disk. Missing files are skipped.
void Evict(const std::vector<fs::path>& files) {
  for (const fs::path& file : files) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
  }
}

// Times the action after settling the disk and, with evict not empty, dropping those
// files from the page cache.
template <typename Action>
Timing Timed(const std::vector<fs::path>& evict, Action&& action) {
  SettleDisk();
  Evict(evict);
  const ProcessorTime processorStart = ProcessorSeconds();
  const SteadyClock::time_point start = SteadyClock::now();
  action();
  const double seconds = SecondsSince(start);
  const ProcessorTime processorEnd = ProcessorSeconds();
  return {seconds, processorEnd.user - processorStart.user,
          processorEnd.system - processorStart.system};
}

struct ConversionReport {
  int logLines = 0;
  int messages = 0;
  std::string firstMessage;
};

// One `trivo convert` job in-process: a fresh program state, the project loaded, the
// five buttons pressed in order.
ConversionReport RunConversion(const fs::path& projectFile) {
  SilentUserInterface ui;
  {
    trivo::Context ctx(ui);
    ctx.WorkingDir = projectFile.parent_path().string();
    RunReportingErrors(ui, [&] { trivo::LoadProject(ctx, projectFile.string()); });
    for (int button = 1; button <= 5; ++button) {
      RunReportingErrors(ui, [&] { trivo::PressConversionButton(ctx, button); });
    }
  }
  return {ui.logLines, ui.messages, ui.firstMessage};
}

// `trivo convert` as the command runs it: answered from the folder's conversion record
// when nothing in the folder changed since the last conversion, else converted and
// recorded.
ConversionReport RunConvertCommand(const fs::path& projectFile) {
  constexpr std::string_view kWhat = "convert_bench convert 1 2 3 4 5";
  const fs::path folder = projectFile.parent_path();
  if (const std::optional<std::string> recorded = trivo::RecordedReport(folder, kWhat)) {
    ConversionReport report;
    std::sscanf(recorded->c_str(), "%d %d", &report.logLines, &report.messages);
    return report;
  }
  ConversionReport report = RunConversion(projectFile);
  trivo::RecordConversion(folder, kWhat,
                          std::to_string(report.logLines) + " " + std::to_string(report.messages));
  return report;
}

// One `trivo check` job in-process: a fresh program state, the project loaded, every rule
// over it; the number of problems found.
std::size_t RunProjectCheck(const fs::path& projectFile) {
  SilentUserInterface ui;
  trivo::Context ctx(ui);
  ctx.WorkingDir = projectFile.parent_path().string();
  std::size_t problems = 0;
  RunReportingErrors(ui, [&] {
    trivo::LoadProject(ctx, projectFile.string());
    problems = trivo::CheckProject(ctx).Problems().size();
  });
  return problems;
}

// ---------------------------------------------------------------------------------------
// The floors: the plain system calls the job cannot do without

bool IsPtfFile(const fs::path& file) {
  return file.extension() == ".ptf";
}

std::vector<fs::path> FilesIn(const fs::path& dir, bool ptf) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    if (IsPtfFile(entry.path()) == ptf) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::uintmax_t TotalSize(const std::vector<fs::path>& files) {
  std::uintmax_t total = 0;
  for (const fs::path& file : files) total += fs::file_size(file);
  return total;
}

[[noreturn]] void Fail(const std::string& what, const fs::path& file) {
  throw std::runtime_error("cannot " + what + " " + file.string() + ": " + std::strerror(errno));
}

// Reads the whole file into memory, as a job that works on its bytes must; returns how
// many bytes it read.
std::size_t ReadWhole(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("read", file);
  struct stat info {};
  if (::fstat(fd, &info) != 0) Fail("read", file);
  std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
  return done;
}

std::uintmax_t ReadAll(const std::vector<fs::path>& files) {
  std::uintmax_t bytes = 0;
  for (const fs::path& file : files) bytes += ReadWhole(file);
  return bytes;
}

// Writes the bytes to a new temporary file beside target and renames it over target.
void WriteThroughTemporary(const fs::path& target, std::string_view bytes) {
  const fs::path temp = target.parent_path() / ("." + target.filename().string() + ".floor");
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) Fail("create", temp);
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) Fail("write", temp);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  if (::close(fd) != 0) Fail("write", temp);
  if (::rename(temp.c_str(), target.c_str()) != 0) Fail("rename", temp);
}

void RemoveFiles(const std::vector<fs::path>& files) {
  for (const fs::path& file : files) fs::remove(file);
}

// ---------------------------------------------------------------------------------------
// Which outputs a run wrote

struct FileIdentity {
  ino_t inode = 0;
  timespec modified{};
};

std::vector<FileIdentity> Identities(const std::vector<fs::path>& files) {
  std::vector<FileIdentity> identities;
  for (const fs::path& file : files) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) Fail("stat", file);
    identities.push_back({info.st_ino, info.st_mtim});
  }
  return identities;
}

int CountChanged(const std::vector<FileIdentity>& before, const std::vector<FileIdentity>& after) {
  int changed = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    const bool same = before[i].inode == after[i].inode &&
                      before[i].modified.tv_sec == after[i].modified.tv_sec &&
                      before[i].modified.tv_nsec == after[i].modified.tv_nsec;
    if (!same) ++changed;
  }
  return changed;
}

// The bytes with their last byte changed: the same size, so that a comparison must read
// everything to find the difference.
std::string LastByteChanged(std::string bytes) {
  if (!bytes.empty()) bytes.back() = bytes.back() == ' ' ? '\n' : ' ';
  return bytes;
}

// Writes every output again through the atomic write, its bytes already in memory, with
// or without flushing each file and its folder to the disk; times only the writes. The
// bytes alternate with a variant differing in the last byte, so every file is written.
double MeasureRewrite(const std::vector<fs::path>& outputs,
                      const std::vector<std::string>& contents,
                      const std::vector<std::string>& variants, bool variant, bool durable) {
  trivo::WriteOptions options;
  options.durable = durable;
  const SteadyClock::time_point start = SteadyClock::now();
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const std::string& bytes = variant ? variants[i] : contents[i];
    const trivo::WriteResult result = trivo::TryWriteFileAtomically(outputs[i], bytes, options);
    if (!result || result.unchanged) Fail("rewrite", outputs[i]);
  }
  return SecondsSince(start);
}

// ---------------------------------------------------------------------------------------
// Command line

struct Options {
  std::optional<fs::path> keep;
  std::optional<fs::path> project;
  int runs = 5;
  int lines = ProjectShape{}.lines;
  bool cold = false;
  bool help = false;
};

constexpr std::string_view kUsage =
    "Usage: convert_bench [--keep DIR] [--runs N] [--lines N] [--project FILE.tvp] [--cold]\n"
    "  --keep DIR          lay the project out in DIR (new or empty) and keep it\n"
    "  --runs N            number of timed rounds (default 5); 0 with --keep: only lay\n"
    "                      the project out\n"
    "  --lines N           number of lines of the generated project (default 150)\n"
    "  --project FILE.tvp  measure a copy of this project instead of a generated one\n"
    "  --cold              read the project's files from the disk in every phase (they\n"
    "                      are dropped from the page cache before it)\n";

// A whole number from min to max, or nothing.
std::optional<int> NumberArgument(const char* text, long min, long max) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*end != '\0' || value < min || value > max) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--keep" && i + 1 < argc) {
      options.keep = fs::path(argv[++i]);
    } else if (arg == "--cold") {
      options.cold = true;
    } else if (arg == "--project" && i + 1 < argc) {
      options.project = fs::path(argv[++i]);
    } else if (arg == "--runs" && i + 1 < argc) {
      const std::optional<int> runs = NumberArgument(argv[++i], 0, 1000);
      if (!runs) return std::nullopt;
      options.runs = *runs;
    } else if (arg == "--lines" && i + 1 < argc) {
      const std::optional<int> lines = NumberArgument(argv[++i], 1, 100000);
      if (!lines) return std::nullopt;
      options.lines = *lines;
    } else {
      return std::nullopt;
    }
  }
  if (options.runs == 0 && !options.keep) return std::nullopt;
  return options;
}

// A new folder under the system's temporary directory.
fs::path MakeTemporaryFolder() {
  std::random_device random;
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path dir = base / ("trivo-bench-" + std::to_string(random()));
    if (fs::create_directory(dir)) return dir;
  }
  throw std::runtime_error("cannot create a folder under " + base.string());
}

// The folder given to --keep: created when missing; an existing folder must be empty, so
// that nothing of the user's is overwritten.
fs::path PrepareKeepFolder(const fs::path& dir) {
  std::error_code error;
  if (fs::exists(dir, error)) {
    if (!fs::is_directory(dir) || !fs::is_empty(dir)) {
      throw std::runtime_error(dir.string() + " exists and is not an empty folder");
    }
  } else {
    fs::create_directories(dir);
  }
  return fs::absolute(dir);
}

// Copies the regular files of the project file's folder, its PTF files left out, into
// dir; returns the copied project file.
fs::path CopyProject(const fs::path& projectFile, const fs::path& dir) {
  if (!fs::is_regular_file(projectFile)) {
    throw std::runtime_error(projectFile.string() + " is no project file");
  }
  const fs::path source = fs::absolute(projectFile).parent_path();
  for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
    if (!entry.is_regular_file() || IsPtfFile(entry.path())) continue;
    fs::copy_file(entry.path(), dir / entry.path().filename());
  }
  return dir / projectFile.filename();
}

double Best(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const std::size_t middle = times.size() / 2;
  return times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

double Megabytes(std::uintmax_t bytes) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// The timings of one phase over all rounds.
struct Phase {
  explicit Phase(const char* phaseName) : name(phaseName) {}
  const char* name;
  std::vector<double> seconds;
  std::vector<double> user;
  std::vector<double> system;
  std::vector<double> processor;
  void Add(const Timing& timing) {
    seconds.push_back(timing.seconds);
    user.push_back(timing.user);
    system.push_back(timing.system);
    processor.push_back(timing.user + timing.system);
  }
};

void PrintPhase(const Phase& phase) {
  std::printf("  %-36s %7.3f s %7.3f s %7.3f s (%.3f s + %.3f s)\n", phase.name,
              Best(phase.seconds), Median(phase.seconds), Median(phase.processor),
              Median(phase.user), Median(phase.system));
}

// How a phase compares with its floor: the ratio of the best times, of the medians and of
// the median processor times; the target is judged on the medians of rounds taken in turn.
bool PrintRatio(const char* name, const Phase& phase, const Phase& floor, double target) {
  const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0; };
  const double medians = ratio(Median(phase.seconds), Median(floor.seconds));
  const bool met = medians <= target;
  std::printf("  %-36s %6.2fx   %6.2fx   %6.2fx    target <= %.1fx: %s\n", name,
              ratio(Best(phase.seconds), Best(floor.seconds)), medians,
              ratio(Median(phase.processor), Median(floor.processor)), target,
              met ? "met" : "NOT met");
  return met;
}

int Run(const Options& options) {
  const fs::path root = options.keep ? PrepareKeepFolder(*options.keep) : MakeTemporaryFolder();
  // The temporary folder goes when the benchmark ends, also after an error.
  struct RemoveOnExit {
    fs::path dir;
    ~RemoveOnExit() {
      std::error_code ignored;
      if (!dir.empty()) fs::remove_all(dir, ignored);
    }
  } cleanup{options.keep ? fs::path() : root};
  const fs::path projectDir = root / "project";
  const fs::path floorDir = root / "io-floor";
  fs::create_directories(projectDir);

  std::cout << "Trivo conversion benchmark\n";
  fs::path projectFile;
  SteadyClock::time_point start = SteadyClock::now();
  if (options.project) {
    std::cout << "project: a copy of " << options.project->string() << "\n";
    projectFile = CopyProject(*options.project, projectDir);
  } else {
    ProjectShape shape;
    shape.lines = options.lines;
    std::cout << "project: " << shape.lines << " lines x " << shape.stationsPerLine
              << " stations x 3 day groups x 2 directions x " << shape.trips << " trips\n";
    GenerateProject(shape, projectDir);
    projectFile = projectDir / "bench.tvp";
  }
  std::cout << "folder:  " << root.string() << "\n"
            << "files:   "
            << (options.cold ? "read from the disk (dropped from the page cache)"
                             : "in the page cache, as right after an edit")
            << "\n";
  std::printf("laid out in %.2f s\n", SecondsSince(start));
  if (options.runs == 0) return 0;
  const std::vector<fs::path> inputs = FilesIn(projectDir, false);

  // The outputs, as a first conversion makes them.
  const ConversionReport expected = RunConversion(projectFile);
  const std::vector<fs::path> outputs = FilesIn(projectDir, true);
  std::vector<std::string> contents;
  std::vector<std::string> variants;
  std::vector<fs::path> floorOutputs;
  for (const fs::path& output : outputs) {
    contents.push_back(trivo::ReadFileBytes(output));
    variants.push_back(LastByteChanged(contents.back()));
    floorOutputs.push_back(floorDir / output.filename());
  }
  std::vector<fs::path> everything = inputs;
  everything.insert(everything.end(), outputs.begin(), outputs.end());

  // The phases take turns, so that a change in the machine's load touches all alike.
  Phase first{"first conversion"};
  Phase floor{"I/O floor (read, write, rename)"};
  Phase again{"second conversion, nothing changed"};
  Phase reading{"reading inputs and outputs"};
  Phase changed{"every output's last byte differs"};
  Phase checked{"project check (trivo check)"};
  std::size_t checkProblems = 0;
  int problems = 0;
  const auto check = [&](const ConversionReport& report, const char* phase) {
    if (report.logLines == expected.logLines && report.messages == expected.messages) return;
    ++problems;
    std::printf("  warning: the %s reported %d log lines and %d messages, the first %d and %d\n",
                phase, report.logLines, report.messages, expected.logLines, expected.messages);
  };
  int rewritten = 0;
  std::uintmax_t inputBytes = 0;
  const std::vector<fs::path> evict = options.cold ? everything : std::vector<fs::path>();
  for (int round = 0; round < options.runs; ++round) {
    RemoveFiles(outputs);
    ConversionReport report;
    first.Add(Timed(evict, [&] { report = RunConvertCommand(projectFile); }));
    check(report, "first conversion");

    fs::remove_all(floorDir);
    fs::create_directories(floorDir);
    floor.Add(Timed(evict, [&] {
      inputBytes = ReadAll(inputs);
      for (std::size_t i = 0; i < outputs.size(); ++i) {
        WriteThroughTemporary(floorOutputs[i], contents[i]);
      }
    }));

    const std::vector<FileIdentity> before = Identities(outputs);
    again.Add(Timed(evict, [&] { report = RunConvertCommand(projectFile); }));
    check(report, "second conversion");
    rewritten += CountChanged(before, Identities(outputs));

    reading.Add(Timed(evict, [&] { ReadAll(everything); }));

    for (std::size_t i = 0; i < outputs.size(); ++i) {
      trivo::WriteFileAtomically(outputs[i], variants[i]);
    }
    changed.Add(Timed(evict, [&] { report = RunConvertCommand(projectFile); }));
    check(report, "conversion over changed outputs");
    checked.Add(Timed(evict, [&] { checkProblems = RunProjectCheck(projectFile); }));
    std::printf(
        "  round %d: first %.3f s, floor %.3f s, again %.3f s, reading %.3f s, "
        "last bytes %.3f s, check %.3f s\n",
        round + 1, first.seconds.back(), floor.seconds.back(), again.seconds.back(),
        reading.seconds.back(), changed.seconds.back(), checked.seconds.back());
  }
  fs::remove_all(floorDir);
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (trivo::ReadFileBytes(outputs[i]) != contents[i]) {
      ++problems;
      std::cout << "  warning: " << outputs[i].filename().string() << " differs at the end\n";
    }
  }

  // What flushing every PTF output to the disk would add to the conversion.
  std::vector<double> plainWrites;
  std::vector<double> flushedWrites;
  for (int round = 0; round < options.runs; ++round) {
    SettleDisk();
    plainWrites.push_back(MeasureRewrite(outputs, contents, variants, true, false));
    SettleDisk();
    flushedWrites.push_back(MeasureRewrite(outputs, contents, variants, false, true));
  }

  std::printf(
      "input:      %zu files, %.1f MB\n"
      "output:     %zu PTF files, %.1f MB (%d log lines, %d messages)\n",
      inputs.size(), Megabytes(inputBytes), outputs.size(), Megabytes(TotalSize(outputs)),
      expected.logLines, expected.messages);
  std::printf("%d rounds:%31s    best    median  processor (median: program + kernel)\n",
              options.runs, "");
  for (const Phase* phase : {&first, &floor, &again, &reading, &changed, &checked}) {
    PrintPhase(*phase);
  }
  std::printf("ratios:%36s    best   medians  processor\n", "");
  const bool firstMet = PrintRatio("first conversion / I/O floor", first, floor, 1.5);
  const bool againMet = PrintRatio("second conversion / reading", again, reading, 1.2);
  std::printf("left alone:  %d of %d outputs rewritten by the second conversions (0 expected)\n",
              rewritten, static_cast<int>(outputs.size()) * options.runs);
  std::printf(
      "flushing:    writing the %zu outputs atomically takes %.3f s (median %.3f s); flushed "
      "to the disk (fsync of file and folder) %.3f s (median %.3f s)\n",
      outputs.size(), Best(plainWrites), Median(plainWrites), Best(flushedWrites),
      Median(flushedWrites));
  std::printf("check:       %zu problems; %s the 1 s target\n", checkProblems,
              Median(checked.seconds) < 1.0 ? "within" : "NOT within");
  std::printf("targets:     %s\n", firstMet && againMet ? "met" : "NOT met");
  if (expected.messages > 0) {
    std::cout << "note: the conversion reported " << expected.messages
              << " messages, the first: " << expected.firstMessage << "\n";
  }
  if (rewritten > 0) ++problems;
  return problems == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) {
    std::cerr << kUsage;
    return 2;
  }
  if (options->help) {
    std::cout << kUsage;
    return 0;
  }
  try {
    return Run(*options);
  } catch (const std::exception& error) {
    std::cerr << "convert_bench: " << error.what() << "\n";
    return 1;
  }
}
