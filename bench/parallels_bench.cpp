// Times one press of "Start" in the data-preparation window on a generated network of
// 300 lines with 40 stops each over 2,000 stations. Budget: under one second.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "analysis/make_model.h"
#include "project/context.h"
#include "quiet_user_interface.h"

namespace {

constexpr int kLines = 300;
constexpr int kStopsPerLine = 40;
constexpr int kStations = 2000;

std::string Numbered(std::string prefix, int number) {
  prefix += std::to_string(number);
  return prefix;
}

std::string StationName(int index) {
  return Numbered("Station ", index);
}

// Lines run along stretches of a ring of stations, some against its direction, and take
// short detours, so that many line pairs share runs of several stations.
void WriteNetwork(const std::filesystem::path& dir) {
  std::mt19937 random(20240611);
  std::vector<std::vector<std::string>> linesAt(kStations);
  std::ofstream lineStations(dir / "line_stations.csv", std::ios::binary);
  for (int line = 0; line < kLines; ++line) {
    const std::string lineName = Numbered("L", line + 1);
    const int start = static_cast<int>(random() % kStations);
    const int step = random() % 2 == 0 ? 1 : kStations - 1;
    lineStations << lineName << '=';
    int station = start;
    for (int stop = 0; stop < kStopsPerLine; ++stop) {
      if (stop > 0) lineStations << ',';
      lineStations << '"' << StationName(station) << '"';
      linesAt[station].push_back(lineName);
      station = (station + step + (random() % 8 == 0 ? 3 : 0)) % kStations;
    }
    lineStations << "\r\n";
  }
  std::ofstream stationLines(dir / "station_lines.csv", std::ios::binary);
  for (int station = 0; station < kStations; ++station) {
    std::shuffle(linesAt[station].begin(), linesAt[station].end(), random);
    // Names in the other letter case are found all the same.
    std::string name = StationName(station);
    if (station % 2 == 1) std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    stationLines << name << '=';
    for (std::size_t i = 0; i < linesAt[station].size(); ++i) {
      stationLines << (i > 0 ? "," : "") << linesAt[station][i];
    }
    stationLines << "\r\n";
  }
}

}  // namespace

int main() {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() /
      Numbered("trivo-parallels-bench-", static_cast<int>(std::random_device{}() % 1000000));
  std::filesystem::create_directories(dir);
  WriteNetwork(dir);

  QuietUserInterface ui;
  trivo::Context ctx(ui);
  ctx.ProjectDir = dir.string();
  trivo::MakeModel model;

  const auto begin = std::chrono::steady_clock::now();
  model.btStartClick(ctx);
  const auto end = std::chrono::steady_clock::now();
  std::filesystem::remove_all(dir);

  const double ms = std::chrono::duration<double, std::milli>(end - begin).count();
  std::printf("parallels: %d lines x %d stops, %d stations: one press %.1f ms\n", kLines,
              kStopsPerLine, kStations, ms);
  std::printf("  tree nodes %zu, parallel runs %zu\n", model.TreeView1().NodeCount(),
              model.ParallelCount());
  const bool withinBudget = ms < 1000.0;
  std::printf("  %s (budget 1000 ms)\n", withinBudget ? "within budget" : "OVER BUDGET");
  return withinBudget ? 0 : 1;
}
