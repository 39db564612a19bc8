// Inputs far beyond any real network, at 1x, 4x and 16x of their size: how time and peak
// memory grow, or that the input is refused with a German message. Each job runs in a
// child process of its own, so that its peak memory (maximum resident set) is its own.
//
//   growth_bench [--quick]
//
// The cases, at 1x:
//   line       stations.csv of one 100 MB line (button 2)
//   list       line_stations.csv of one 100 MB line of station names (button 4)
//   rows       lines.csv of a million rows (button 3)
//   section    a timetable section of 100,000 rows, a line of 50,000 stations (button 5)
//   parallels  100 lines sharing their 8 stations ("Start" of the data-preparation
//              window, the tree and the memo walked as the command line prints them)
//   runs       the same, each line ending at a station of its own: every pair of lines
//              runs in parallel
// --quick runs every case at a sixteenth of its size.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/make_model.h"
#include "common/messages.h"
#include "common/text_file.h"
#include "common/user_interface.h"
#include "convert/conversion_buttons.h"
#include "project/context.h"
#include "project/project_commands.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kProjectFile =
    "[daygroups]\r\ndaygroupnames=Mo-Fr\r\nMo-Fr_days=monday,tuesday,wednesday,thursday,friday\r\n";

// Counts what the job reports.
class CountingUserInterface : public trivo::UserInterface {
 public:
  void ShowMessage(const std::string& text) override {
    if (messages++ == 0) firstMessage = text;
  }
  trivo::Answer Confirm(const std::string&, bool) override { return trivo::Answer::Yes; }
  void Log(const std::string&) override { ++logLines; }
  void Beep() override {}

  long logLines = 0;
  long messages = 0;
  std::string firstMessage;
};

// Writes a file from pieces produced by `piece(i)` for i = 0, 1, ... until it returns
// false, buffered.
void WriteFile(const fs::path& path, const std::function<bool(std::string&, long)>& piece) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string chunk;
  for (long i = 0;; ++i) {
    chunk.clear();
    if (!piece(chunk, i)) break;
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
  }
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteText(const fs::path& path, const std::string& text) {
  WriteFile(path, [&text](std::string& chunk, long i) {
    if (i > 0) return false;
    chunk = text;
    return true;
  });
}

// A file of one line of about `bytes` bytes: head, then `item` repeated, separated by
// `separator`.
void WriteLongLine(const fs::path& path, const std::string& head, const std::string& item,
                   const std::string& separator, std::uint64_t bytes) {
  const std::string unit = item + separator;
  std::string chunk;
  for (int i = 0; i < 4096; ++i) chunk += unit;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << head;
  for (std::uint64_t written = 0; written < bytes; written += chunk.size()) out << chunk;
  out << "\r\n";
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string StationName(long n) {
  return "Station " + std::to_string(n);
}

// 100 lines at 1x that all stop at the same 8 stations; with ownEnd, each line ends at a
// station of its own after them, so that every pair of lines runs in parallel.
void WriteSharedStations(const fs::path& dir, double scale, bool ownEnd) {
  WriteText(dir / "p.tvp", kProjectFile);
  const long lines = static_cast<long>(100 * scale);
  std::string stops;
  for (int s = 0; s < 8; ++s) stops += (s ? ",\"" : "\"") + StationName(s) + "\"";
  std::string all;
  for (long l = 0; l < lines; ++l) all += (l ? ",L" : "L") + std::to_string(l);
  WriteFile(dir / "line_stations.csv", [&](std::string& chunk, long i) {
    if (i >= lines) return false;
    chunk = "L" + std::to_string(i) + "=" + stops;
    if (ownEnd) chunk += ",End" + std::to_string(i);
    chunk += "\r\n";
    return true;
  });
  WriteFile(dir / "station_lines.csv", [&](std::string& chunk, long i) {
    if (i >= 8) return false;
    chunk = StationName(i) + "=" + all + "\r\n";
    return true;
  });
}

// ---------------------------------------------------------------------------------------
// The cases: each lays out a project for a scale and names the job that reads it.

struct Case {
  const char* name;
  const char* input;  // the hostile file
  // Writes the project into the folder at this multiple of the base size.
  std::function<void(const fs::path& dir, double scale)> generate;
  std::vector<int> buttons;  // conversion buttons to press; empty: the parallels analysis
};

std::vector<Case> Cases() {
  constexpr std::uint64_t kMegabyte = 1'000'000;
  return {
      {"line",
       "stations.csv",
       [](const fs::path& dir, double scale) {
         WriteText(dir / "p.tvp", kProjectFile);
         WriteLongLine(dir / "stations.csv", "", "Hauptbahnhof", " ",
                       static_cast<std::uint64_t>(100 * kMegabyte * scale));
       },
       {2}},
      {"list",
       "line_stations.csv",
       [](const fs::path& dir, double scale) {
         WriteText(dir / "p.tvp", kProjectFile);
         WriteText(dir / "stations.csv", "Markt\r\nZoo\r\n");
         WriteText(dir / "lines.csv", "L1\r\n");
         WriteLongLine(dir / "line_stations.csv", "L1=", "Markt,Zoo", ",",
                       static_cast<std::uint64_t>(100 * kMegabyte * scale));
       },
       {2, 3, 4}},
      {"rows",
       "lines.csv",
       [](const fs::path& dir, double scale) {
         WriteText(dir / "p.tvp", kProjectFile);
         const long rows = static_cast<long>(1'000'000 * scale);
         std::mt19937 random(7);
         WriteFile(dir / "lines.csv", [&](std::string& chunk, long i) {
           if (i * 1000 >= rows) return false;
           for (long r = i * 1000; r < std::min(rows, (i + 1) * 1000); ++r) {
             chunk += "Linie " + std::to_string(random() % 100000000) + "\r\n";
           }
           return true;
         });
       },
       {3}},
      {"section",
       "line_L1.ttd",
       [](const fs::path& dir, double scale) {
         WriteText(dir / "p.tvp", kProjectFile);
         const long rows = static_cast<long>(100'000 * scale);
         const long stations = rows / 2;
         WriteFile(dir / "stations.csv", [&](std::string& chunk, long i) {
           if (i > 0) return false;
           for (long s = 0; s < stations; ++s) chunk += StationName(s) + "\r\n";
           return true;
         });
         WriteText(dir / "lines.csv", "L1\r\n");
         WriteFile(dir / "line_stations.csv", [&](std::string& chunk, long i) {
           if (i > 0) return false;
           chunk = "L1=";
           for (long s = 0; s < stations; ++s) chunk += (s ? ",\"" : "\"") + StationName(s) + "\"";
           chunk += "\r\n";
           return true;
         });
         WriteText(dir / "station_lines.csv", "");
         // Every station has an arrival and a departure row; ten trips.
         WriteFile(dir / "line_L1.ttd", [&](std::string& chunk, long i) {
           if (i * 1000 >= rows) return false;
           if (i == 0) chunk = "[1_Mo-Fr]\r\n";
           for (long r = i * 1000; r < std::min(rows, (i + 1) * 1000); ++r) {
             chunk += std::to_string(r + 1) + "=" + StationName(r / 2);
             for (int trip = 0; trip < 10; ++trip) chunk += trip == 5 ? ",10 Min" : ",6:00";
             chunk += "\r\n";
           }
           return true;
         });
       },
       {1, 2, 3, 4, 5}},
      {"parallels",
       "station_lines.csv",
       [](const fs::path& dir, double scale) { WriteSharedStations(dir, scale, false); },
       {}},
      {"runs",
       "station_lines.csv",
       [](const fs::path& dir, double scale) { WriteSharedStations(dir, scale, true); },
       {}},
  };
}

// ---------------------------------------------------------------------------------------
// Running a job in a child process

// The job: the project loaded and the buttons pressed, as `trivo convert --steps` does, or
// the data-preparation window's "Start" with its tree and memo walked as `trivo
// parallels` prints them. Returns a one-line summary.
std::string RunJob(const fs::path& dir, const Case& job) {
  CountingUserInterface ui;
  trivo::Context ctx(ui);
  std::string errors;
  const auto run = [&](const std::function<void()>& action) {
    try {
      action();
    } catch (const std::exception& error) {
      errors += " [Fehler] " + trivo::msg::ErrorText(error);
    }
  };
  run([&] { trivo::LoadProject(ctx, (dir / "p.tvp").string()); });
  std::uint64_t outputBytes = 0;
  if (job.buttons.empty()) {
    trivo::MakeModel model;
    run([&] { model.btStartClick(ctx); });
    model.TreeView1().ForEachNode(
        [&](std::string_view text, int depth) { outputBytes += text.size() + 2 * depth + 1; });
    model.ForEachMemoLine(0, [&](const std::string& line) { outputBytes += line.size() + 1; });
  } else {
    for (const int button : job.buttons) {
      run([&] { trivo::PressConversionButton(ctx, button); });
    }
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.path().extension() == ".ptf") outputBytes += entry.file_size();
    }
  }
  std::string summary = std::to_string(outputBytes / 1'000'000) + " MB out, " +
                        std::to_string(ui.logLines) + " log lines";
  if (ui.messages > 0) {
    summary += ", " + std::to_string(ui.messages) + " messages (" + ui.firstMessage + ")";
  }
  return summary + errors;
}

struct Measured {
  double seconds = 0;
  double peakMegabytes = 0;
  std::string summary;
};

// Runs the job in a child process; its summary comes back through a pipe, its peak
// memory from the system's accounting of the child.
Measured MeasureInChild(const fs::path& dir, const Case& job) {
  int channel[2];
  if (::pipe(channel) != 0) throw std::runtime_error("pipe");
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork");
  if (child == 0) {
    ::close(channel[0]);
    std::string summary;
    try {
      summary = RunJob(dir, job);
    } catch (const std::exception& error) {
      summary = std::string("failed: ") + error.what();
    }
    const ssize_t ignored = ::write(channel[1], summary.data(), summary.size());
    (void)ignored;
    ::_exit(0);
  }
  ::close(channel[1]);
  Measured measured;
  char buffer[4096];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
    measured.summary.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(channel[0]);
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  measured.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  measured.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;  // KB on Linux
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) measured.summary += " (child died)";
  return measured;
}

// The bytes of the folder's files.
double FolderMegabytes(const fs::path& dir) {
  std::uintmax_t bytes = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.is_regular_file() && entry.path().extension() != ".ptf") bytes += entry.file_size();
  }
  return static_cast<double>(bytes) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  if (argc > 2 || (argc == 2 && !quick)) {
    std::cerr << "Usage: growth_bench [--quick]\n";
    return 2;
  }
  const double base = quick ? 1.0 / 16 : 1.0;
  const fs::path root = fs::temp_directory_path() /
                        ("trivo-growth-bench-" + std::to_string(std::random_device{}() % 1000000));
  std::printf("%-10s %-18s %5s %10s %9s %9s %7s  %s\n", "case", "input", "scale", "input MB",
              "time s", "peak MB", "peak/in", "result");
  std::printf("%-10s %-18s %5s %10s %9s %9s %7s  (input size limit %llu MB)\n", "", "", "", "", "",
              "", "", static_cast<unsigned long long>(trivo::kInputSizeLimit / (1024 * 1024)));
  for (const Case& job : Cases()) {
    for (const int multiple : {1, 4, 16}) {
      const fs::path dir = root / (std::string(job.name) + "-" + std::to_string(multiple));
      fs::create_directories(dir);
      job.generate(dir, base * multiple);
      const double inputMegabytes = FolderMegabytes(dir);
      const Measured measured = MeasureInChild(dir, job);
      std::printf("%-10s %-18s %4dx %10.1f %9.2f %9.1f %7.1f  %s\n", job.name, job.input, multiple,
                  inputMegabytes, measured.seconds, measured.peakMegabytes,
                  measured.peakMegabytes / std::max(inputMegabytes, 1.0), measured.summary.c_str());
      std::fflush(stdout);
      fs::remove_all(dir);
    }
  }
  fs::remove_all(root);
  return 0;
}
