// Times the whole conversion (buttons 1 to 5, as `trivo convert` runs them) on a large
// generated project and compares it with the plain file I/O the same job needs: reading
// every input file once and writing the same number of output files with the same sizes.
// Beside every conversion run it times the project check (`trivo check`) on the same
// project.
//
//   convert_bench [--keep DIR] [--runs N] [--lines N]
//
// Without --keep the project is generated into a fresh folder under the system's
// temporary directory and removed at the end; with --keep it is generated into DIR (which
// must not exist or be empty) and left there together with the PTF files. With --runs 0
// and --keep the project is only generated (the kill test of the command line uses it).

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

#include "check/project_check.h"
#include "common/error.h"
#include "common/text_file.h"
#include "common/user_interface.h"
#include "convert/conversion_buttons.h"
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
#if defined(__unix__) || defined(__APPLE__)
  ::sync();
#endif
}

double SecondsSince(SteadyClock::time_point start) {
  return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

struct ConversionRun {
  double seconds = 0;
  double cpuSeconds = 0;  // processor time of the process, user and system
  int logLines = 0;
  int messages = 0;
  std::string firstMessage;
};

// One `trivo convert` job in-process: a fresh program state, the project loaded, the
// five buttons pressed in order.
ConversionRun RunConversion(const fs::path& projectFile) {
  SilentUserInterface ui;
  const std::clock_t cpuStart = std::clock();
  const SteadyClock::time_point start = SteadyClock::now();
  {
    trivo::Context ctx(ui);
    ctx.WorkingDir = projectFile.parent_path().string();
    RunReportingErrors(ui, [&] { trivo::LoadProject(ctx, projectFile.string()); });
    for (int button = 1; button <= 5; ++button) {
      RunReportingErrors(ui, [&] { trivo::PressConversionButton(ctx, button); });
    }
  }
  ConversionRun run;
  run.seconds = SecondsSince(start);
  run.cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  run.logLines = ui.logLines;
  run.messages = ui.messages;
  run.firstMessage = ui.firstMessage;
  return run;
}

struct CheckRun {
  double seconds = 0;
  std::size_t errors = 0;
  std::size_t warnings = 0;
};

// One `trivo check` job in-process: a fresh program state, the project loaded, every
// rule over it.
CheckRun RunProjectCheck(const fs::path& projectFile) {
  SilentUserInterface ui;
  const SteadyClock::time_point start = SteadyClock::now();
  CheckRun run;
  {
    trivo::Context ctx(ui);
    ctx.WorkingDir = projectFile.parent_path().string();
    RunReportingErrors(ui, [&] {
      trivo::LoadProject(ctx, projectFile.string());
      const trivo::CheckReport report = trivo::CheckProject(ctx);
      run.errors = report.Errors();
      run.warnings = report.Warnings();
    });
  }
  run.seconds = SecondsSince(start);
  return run;
}

// ---------------------------------------------------------------------------------------
// The I/O floor

std::vector<fs::path> FilesIn(const fs::path& dir, bool ptf) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    if ((entry.path().extension() == ".ptf") == ptf) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::uintmax_t TotalSize(const std::vector<fs::path>& files) {
  std::uintmax_t total = 0;
  for (const fs::path& file : files) total += fs::file_size(file);
  return total;
}

// Reads every input file fully into memory and writes files of the given sizes (each
// opened, written, closed), timing only that.
double MeasureIoFloor(const std::vector<fs::path>& inputs,
                      const std::vector<std::uintmax_t>& outputSizes, const fs::path& outDir,
                      std::uintmax_t& bytesSeen) {
  std::uintmax_t largest = 0;
  for (const std::uintmax_t size : outputSizes) largest = std::max(largest, size);
  const std::string payload(static_cast<std::size_t>(largest), 'x');

  const SteadyClock::time_point start = SteadyClock::now();
  bytesSeen = 0;
  for (const fs::path& input : inputs) {
    std::FILE* in = std::fopen(input.c_str(), "rb");
    if (in == nullptr) throw std::runtime_error("cannot read " + input.string());
    std::string bytes(static_cast<std::size_t>(fs::file_size(input)), '\0');
    const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), in);
    std::fclose(in);
    bytesSeen += read;
  }
  for (std::size_t i = 0; i < outputSizes.size(); ++i) {
    std::FILE* out = std::fopen((outDir / ("out_" + std::to_string(i) + ".ptf")).c_str(), "wb");
    if (out == nullptr) throw std::runtime_error("cannot write into " + outDir.string());
    const std::size_t size = static_cast<std::size_t>(outputSizes[i]);
    const bool written = std::fwrite(payload.data(), 1, size, out) == size;
    if (std::fclose(out) != 0 || !written) {
      throw std::runtime_error("cannot write into " + outDir.string());
    }
  }
  return SecondsSince(start);
}

// ---------------------------------------------------------------------------------------
// The cost of flushing the outputs to the disk

// Writes every output again through the atomic write, its bytes already in memory, with
// or without flushing each file and its folder to the disk; times only the writes.
double MeasureRewrite(const std::vector<fs::path>& outputs,
                      const std::vector<std::string>& contents, bool durable) {
  trivo::WriteOptions options;
  options.durable = durable;
  const SteadyClock::time_point start = SteadyClock::now();
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (!trivo::TryWriteFileAtomically(outputs[i], contents[i], options)) {
      throw std::runtime_error("cannot write " + outputs[i].string());
    }
  }
  return SecondsSince(start);
}

// ---------------------------------------------------------------------------------------
// Command line

struct Options {
  std::optional<fs::path> keep;
  int runs = 5;
  int lines = ProjectShape{}.lines;
  bool help = false;
};

constexpr std::string_view kUsage =
    "Usage: convert_bench [--keep DIR] [--runs N] [--lines N]\n"
    "  --keep DIR  generate the project into DIR (new or empty) and keep it\n"
    "  --runs N    number of timed runs, the best counts (default 5); 0 with --keep:\n"
    "              only generate the project\n"
    "  --lines N   number of lines of the generated project (default 150)\n";

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

int Run(const Options& options) {
  ProjectShape shape;
  shape.lines = options.lines;
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
  fs::create_directories(floorDir);

  std::cout << "Trivo conversion benchmark\n"
            << "project: " << shape.lines << " lines x " << shape.stationsPerLine
            << " stations x 3 day groups x 2 directions x " << shape.trips << " trips\n"
            << "folder:  " << root.string() << "\n";
  SteadyClock::time_point start = SteadyClock::now();
  GenerateProject(shape, projectDir);
  std::printf("generated in %.2f s\n", SecondsSince(start));
  if (options.runs == 0) return 0;
  const std::vector<fs::path> inputs = FilesIn(projectDir, false);
  const fs::path projectFile = projectDir / "bench.tvp";

  // Conversion and I/O floor take turns, so that a change in the machine's load during
  // the benchmark touches both figures alike.
  std::vector<double> conversionTimes;
  std::vector<double> floorTimes;
  std::vector<double> checkTimes;
  CheckRun check;
  std::vector<fs::path> outputs;
  std::vector<std::uintmax_t> outputSizes;
  std::uintmax_t inputBytes = 0;
  int messages = 0;
  for (int run = 0; run < options.runs; ++run) {
    SettleDisk();
    const ConversionRun result = RunConversion(projectFile);
    conversionTimes.push_back(result.seconds);
    messages += result.messages;
    if (run == 0) {
      outputs = FilesIn(projectDir, true);
      for (const fs::path& output : outputs) outputSizes.push_back(fs::file_size(output));
    }
    SettleDisk();
    floorTimes.push_back(MeasureIoFloor(inputs, outputSizes, floorDir, inputBytes));
    check = RunProjectCheck(projectFile);
    checkTimes.push_back(check.seconds);
    std::printf(
        "  run %d: conversion %.3f s (processor %.3f s; %d log lines, %d messages), "
        "I/O floor %.3f s, check %.3f s (%zu errors, %zu warnings)\n",
        run + 1, result.seconds, result.cpuSeconds, result.logLines, result.messages,
        floorTimes.back(), check.seconds, check.errors, check.warnings);
    if (result.messages > 0) {
      std::cout << "  first message: " << result.firstMessage << "\n";
    }
  }
  const std::uintmax_t outputBytes = TotalSize(outputs);
  fs::remove_all(floorDir);

  // What flushing every PTF output to the disk would add to the conversion.
  std::vector<std::string> contents;
  for (const fs::path& output : outputs) contents.push_back(trivo::ReadFileBytes(output));
  std::vector<double> plainWrites;
  std::vector<double> flushedWrites;
  for (int run = 0; run < options.runs; ++run) {
    SettleDisk();
    plainWrites.push_back(MeasureRewrite(outputs, contents, false));
    SettleDisk();
    flushedWrites.push_back(MeasureRewrite(outputs, contents, true));
  }

  const double conversion = Best(conversionTimes);
  const double floor = Best(floorTimes);
  const double ratio = floor > 0 ? conversion / floor : 0;
  const bool met = conversion < 1.0 && ratio <= 3.0;
  std::printf(
      "input:      %zu files, %.1f MB\n"
      "output:     %zu PTF files, %.1f MB\n"
      "conversion: %.3f s best of %d runs (median %.3f s)\n"
      "I/O floor:  %.3f s best of %d runs (median %.3f s): read all inputs, write the same "
      "output sizes\n"
      "ratio:      %.2fx (medians %.2fx)\n"
      "target:     conversion < 1 s and <= 3x the I/O floor: %s\n",
      inputs.size(), Megabytes(inputBytes), outputs.size(), Megabytes(outputBytes), conversion,
      options.runs, Median(conversionTimes), floor, options.runs, Median(floorTimes), ratio,
      Median(floorTimes) > 0 ? Median(conversionTimes) / Median(floorTimes) : 0,
      met ? "met" : "NOT met");
  std::printf("check:      %.3f s best of %d runs (median %.3f s); target < 1 s: %s\n",
              Best(checkTimes), options.runs, Median(checkTimes),
              Best(checkTimes) < 1.0 ? "met" : "NOT met");
  std::printf(
      "flushing:   writing the %zu outputs atomically takes %.3f s (median %.3f s); flushed "
      "to the disk (fsync of file and folder) %.3f s (median %.3f s)\n",
      outputs.size(), Best(plainWrites), Median(plainWrites), Best(flushedWrites),
      Median(flushedWrites));
  if (messages > 0) {
    std::cout << "warning: the conversion reported " << messages
              << " messages; the generated project should convert without any\n";
  }

  return 0;
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
