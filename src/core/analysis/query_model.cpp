#include "analysis/query_model.h"

namespace trivo {

void TimeCheckBoxes::SetStartChecked(bool checked) {
  if (cbStartTime == checked) return;
  cbStartTime = checked;
  cbStartTimeClick();
}

void TimeCheckBoxes::SetEndChecked(bool checked) {
  if (cbEndTime == checked) return;
  cbEndTime = checked;
  cbEndTimeClick();
}

void TimeCheckBoxes::cbStartTimeClick() {
  if (!cbStartTime) SetEndChecked(true);
  StartPickersVisible = cbStartTime;
}

void TimeCheckBoxes::cbEndTimeClick() {
  if (!cbEndTime) SetStartChecked(true);
  EndPickersVisible = cbEndTime;
}

QueryModel::QueryModel() = default;

void QueryModel::FormShow(const Context& ctx) {
  loaded_ = false;
  LoadNetworkFiles(ctx, network_);
  if (!BuildDistanceMatrix(ctx, network_, grid_)) ctx.ui.ShowMessage("Distance-Fehler");
  BuildTransferMaps(ctx, network_);
  SelectStation(cbStartStation, kStartStationEntry);
  SelectStation(cbZielStation, kZielStationEntry);
  loaded_ = true;
}

void QueryModel::SelectStation(StationChooser& chooser, int entry) const {
  const auto& names = network_.StationList.Names();
  const bool present = entry < static_cast<int>(names.size());
  chooser.ItemIndex = present ? entry : -1;
  chooser.Text = present ? names[static_cast<std::size_t>(entry)] : std::string();
}

bool QueryModel::btStartQueryClick(const Context& ctx) {
  // A network that failed to load has lists and a matrix that do not fit together.
  if (!loaded_) {
    ctx.ui.ShowMessage("Keine Abfrage möglich: das Netz wurde nicht vollständig geladen");
    return false;
  }
  const std::string S = cbStartStation.Text;
  const std::string Z = cbZielStation.Text;
  bool known = true;
  for (const std::string* name : {&S, &Z}) {
    if (network_.StationList.IndexOf(*name) >= 0) continue;
    ctx.ui.ShowMessage("Station nicht gefunden: " + *name);
    known = false;
  }
  if (!known) return false;

  ConnectionEvaluator evaluator(
      ctx, network_, {Minutes(dtpStartTime), MaxTopConnections, Minutes(MinTransferMinutes)},
      zeiten_, top_);
  ConnectionSearch search(network_, tvStart_, tvZiel_, searchDistances_,
                          [&](const ConnectionCandidate& connection) {
                            evaluator.EvaluateConnection(connection);
                            found_.push_back(connection);
                          });
  zeiten_.clear();
  searchDistances_.clear();
  top_.clear();
  search.Start(S, Z);
  search.Run();
  ShowFoundConnections();
  return true;
}

void QueryModel::ShowFoundConnections() {
  memo1_.clear();
  for (std::size_t k = 0; k < found_.size(); ++k) {
    memo1_.push_back(std::to_string(k) + ": " + RouteText(found_[k]) + "[" +
                     std::to_string(found_[k].estimate) + "]");
  }
}

}  // namespace trivo
