// Times the connection query on generated networks:
// - the distance matrix of a 300-station network, closed by the repeated passes over all
//   cells and by the scalable closure, in the same run (both must agree);
// - the whole matrix build of a 2,000-station, 300-line network (budget: under 1 s);
// - one query on that network: 10 line nodes, every connection found evaluated against
//   the timetables (budget: under 1 s).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "analysis/distance_file.h"
#include "analysis/query_model.h"
#include "common/ini_file.h"
#include "common/text_file.h"
#include "common/user_interface.h"
#include "project/context.h"

namespace {

constexpr double kBudgetMs = 1000.0;

class QuietUserInterface : public trivo::UserInterface {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  trivo::Answer Confirm(const std::string&, bool) override { return trivo::Answer::Yes; }
  void Log(const std::string&) override {}
  void Beep() override {}
  std::vector<std::string> messages;
};

std::string StationName(int index) {
  return "Haltestelle " + std::to_string(index);
}

std::string Clock(int minutes) {
  minutes %= 1440;
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
  return text;
}

struct GeneratedLine {
  std::string name;
  std::vector<int> stations;
  std::vector<int> minutes;  // between neighbouring stops
};

// Lines run along stretches of a ring of stations, some against its direction, with
// short detours; every line has both directions on Monday to Friday: trips every 20
// minutes early and late, every 10 minutes ("10 Min") in between.
void WriteNetwork(const std::filesystem::path& dir, int stationCount, int lineCount,
                  int stopsPerLine, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<GeneratedLine> lines;
  std::vector<std::vector<std::string>> linesAt(static_cast<std::size_t>(stationCount));
  for (int l = 0; l < lineCount; ++l) {
    GeneratedLine line{"L" + std::to_string(l + 1), {}, {}};
    int station = static_cast<int>(random() % static_cast<unsigned>(stationCount));
    const int step = random() % 2 == 0 ? 1 : stationCount - 1;
    for (int stop = 0; stop < stopsPerLine; ++stop) {
      line.stations.push_back(station);
      linesAt[static_cast<std::size_t>(station)].push_back(line.name);
      if (stop > 0) line.minutes.push_back(1 + static_cast<int>(random() % 4));
      station = (station + step + (random() % 8 == 0 ? 3 : 0)) % stationCount;
    }
    lines.push_back(std::move(line));
  }

  std::vector<std::string> stations;
  std::vector<std::string> stationLines;
  for (int s = 0; s < stationCount; ++s) {
    stations.push_back(StationName(s));
    std::string entry = StationName(s) + "=";
    for (std::size_t i = 0; i < linesAt[static_cast<std::size_t>(s)].size(); ++i) {
      entry += (i > 0 ? "," : "") + linesAt[static_cast<std::size_t>(s)][i];
    }
    stationLines.push_back(entry);
  }
  std::vector<std::string> lineStations;
  std::string distances;
  for (const GeneratedLine& line : lines) {
    std::string course = line.name + "=";
    for (std::size_t i = 0; i < line.stations.size(); ++i) {
      course += (i > 0 ? ",\"" : "\"") + StationName(line.stations[i]) + "\"";
    }
    lineStations.push_back(course);

    std::string timetable;
    for (int direction = 1; direction <= 2; ++direction) {
      std::vector<std::size_t> order(line.stations.size());
      for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = direction == 1 ? i : order.size() - 1 - i;
      }
      std::string chain;
      timetable += "[" + std::to_string(direction) + "_Mo-Fr]\r\n";
      int offset = 0;
      for (std::size_t k = 0; k < order.size(); ++k) {
        const std::size_t stop = order[k];
        if (k > 0) {
          const int stretch = line.minutes[direction == 1 ? stop - 1 : stop];
          offset += stretch;
          chain += "," + std::to_string(stretch) + ",";
        }
        chain += "\"" + StationName(line.stations[stop]) + "\"";
        std::string row = std::to_string(k + 1) + "=" + StationName(line.stations[stop]);
        for (int t = 5 * 60; t <= 7 * 60; t += 20) row += "," + Clock(t + offset);
        row += ",10 Min";
        for (int t = 19 * 60; t <= 23 * 60; t += 20) row += "," + Clock(t + offset);
        timetable += row + "\r\n";
      }
      distances += "[" + line.name + "_" + std::to_string(direction) +
                   "_Mo-Fr]\r\ndistance1=" + chain + "\r\nnewcross=\"" +
                   StationName(line.stations[order.front()]) + "\"\r\n";
    }
    trivo::WriteFileAtomically(dir / ("line_" + line.name + ".ttd"), timetable);
  }
  trivo::WriteFileAtomically(dir / "stations.csv", trivo::JoinLinesCrLf(stations));
  trivo::WriteFileAtomically(dir / "station_lines.csv", trivo::JoinLinesCrLf(stationLines));
  trivo::WriteFileAtomically(dir / "line_stations.csv", trivo::JoinLinesCrLf(lineStations));
  trivo::WriteFileAtomically(dir / "distances.csv", distances);
}

template <typename Action>
double TimeMs(Action&& action) {
  const auto begin = std::chrono::steady_clock::now();
  action();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
      .count();
}

std::filesystem::path FreshFolder(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() /
                   (name + std::to_string(std::random_device{}() % 1000000));
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace

int main(int argc, char** argv) {
  // --keep DIR: the 2,000-station project stays in DIR (bench.tvp) for 'trivo query'.
  const std::string keep = argc == 3 && std::string(argv[1]) == "--keep" ? argv[2] : "";
  // The literal closure against the scalable one on 300 stations.
  const auto smallDir = FreshFolder("trivo-query-bench-300-");
  WriteNetwork(smallDir, 300, 45, 20, 20240612);
  const trivo::StationNames smallStations(trivo::ReadTextLines(smallDir / "stations.csv"));
  const trivo::IniFile smallDistances(smallDir / "distances.csv");
  trivo::MinuteMatrix entered(smallStations.Count());
  std::vector<trivo::DistanceEdge> edges;
  trivo::EnterDistanceFile(smallDistances, smallStations, entered, edges);
  for (std::size_t i = 0; i < entered.Size(); ++i) {
    if (entered.At(i, i) == trivo::NoDistance) entered.Set(i, i, 0);
  }
  trivo::MinuteMatrix byPasses = entered;
  trivo::MinuteMatrix scalable = entered;
  const double passesMs = TimeMs([&] { trivo::CloseDistancesByPasses(byPasses); });
  const double scalableMs = TimeMs([&] { trivo::CloseDistances(scalable, edges); });
  std::filesystem::remove_all(smallDir);
  const bool same = byPasses == scalable;
  std::printf(
      "closure, 300 stations / 45 lines: repeated passes %.1f ms, scalable %.2f ms "
      "(%.0fx faster), results %s\n",
      passesMs, scalableMs, passesMs / scalableMs, same ? "equal" : "DIFFERENT");

  // The matrix and a query on 2,000 stations and 300 lines.
  const auto dir =
      keep.empty() ? FreshFolder("trivo-query-bench-2000-") : std::filesystem::path(keep);
  std::filesystem::create_directories(dir);
  WriteNetwork(dir, 2000, 300, 40, 20240611);
  trivo::WriteFileAtomically(dir / "bench.tvp", "[daygroups]\r\ndaygroupnames=Mo-Fr\r\n");
  QuietUserInterface ui;
  trivo::Context ctx(ui);
  ctx.ProjectDir = dir.string();
  trivo::Network network;
  trivo::DistanceGrid grid;
  trivo::LoadNetworkFiles(ctx, network);
  const double matrixMs = TimeMs([&] { trivo::BuildDistanceMatrix(ctx, network, grid); });

  trivo::QueryModel model;
  const double showMs = TimeMs([&] { model.FormShow(ctx); });
  model.cbStartStation.Text = StationName(3);
  model.cbZielStation.Text = StationName(20);
  model.dtpStartTime = 7 * 60 + 30;
  bool ran = false;
  const double queryMs = TimeMs([&] { ran = model.btStartQueryClick(ctx); });
  if (keep.empty()) std::filesystem::remove_all(dir);

  std::size_t trips = 0;
  for (const std::string& line : model.mZeiten()) trips += line.starts_with("Min: ") ? 1 : 0;
  std::printf(
      "matrix, 2000 stations / 300 lines: BuildDistanceMatrix %.1f ms "
      "(showing the window in all %.1f ms)\n",
      matrixMs, showMs);
  std::printf(
      "query, 2000 stations: %.1f ms for %zu connections evaluated, %zu search "
      "nodes, %zu trace lines, %zu top-list lines printed\n",
      queryMs, model.FoundConnections().size(),
      model.tvStart().NodeCount() + model.tvZiel().NodeCount(), model.mZeiten().size(), trips);
  const bool withinBudget =
      same && ran && ui.messages.empty() && matrixMs < kBudgetMs && queryMs < kBudgetMs;
  std::printf("  %s (budget %.0f ms each)\n", withinBudget ? "within budget" : "OVER BUDGET",
              kBudgetMs);
  return withinBudget ? 0 : 1;
}
