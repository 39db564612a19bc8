#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/connection_evaluation.h"
#include "analysis/connection_search.h"
#include "analysis/distance_grid.h"
#include "analysis/network.h"
#include "analysis/tree_model.h"
#include "project/context.h"

namespace trivo {

// An editable station combo box: the entry selected (-1 for none) and the text used.
struct StationChooser {
  int ItemIndex = -1;
  std::string Text;
};

// The two "Zeit" check boxes and the pickers they show. At most one box can be
// unchecked: unchecking one checks the other. cbEndTime starts checked with its pickers
// hidden.
struct TimeCheckBoxes {
  bool cbStartTime = true;
  bool cbEndTime = true;
  bool StartPickersVisible = true;  // dtpStartTime, dtpStartDate
  bool EndPickersVisible = false;   // dtpEndTime, dtpEndDate

  // The box set to a state as a click or code does: its handler runs when the state
  // changes.
  void SetStartChecked(bool checked);
  void SetEndChecked(bool checked);
  void cbStartTimeClick();
  void cbEndTimeClick();
};

// The connection-query window "Verbindugns-Abfrage": the network loaded on showing, the
// station choosers and start time, the two search trees, the connections found and the
// memos that trace the search and the evaluation. Trees and found connections grow over
// all queries; nothing is reset by showing the window again.
class QueryModel {
 public:
  static constexpr std::int32_t kInitialStartMinutes = 14 * 60 + 58;
  static constexpr int kStartStationEntry = 37;
  static constexpr int kZielStationEntry = 31;

  QueryModel();  // FormCreate
  QueryModel(const QueryModel&) = delete;
  QueryModel& operator=(const QueryModel&) = delete;

  // Showing the window: LoadNetworkFiles, BuildDistanceMatrix ("Distance-Fehler" when it
  // reports failure), BuildTransferMaps, then the station choosers list the stations and
  // select entries 37 and 31 where the list is long enough. A file or integer error ends
  // the showing (trivo::Error) and skips the remaining steps.
  void FormShow(const Context& ctx);
  // Whether the last showing loaded the whole network.
  bool NetworkLoaded() const { return loaded_; }
  // "Abfrage starten": searches from cbStartStation's text to cbZielStation's text and
  // evaluates every connection found at dtpStartTime. A text that names no station
  // (letter case ignored) is reported as "Station nicht gefunden: <text>" and nothing is
  // searched; so is a network whose loading failed, with a message saying so. Returns
  // whether the query ran.
  bool btStartQueryClick(const Context& ctx);

  // The station choosers' entries.
  const std::vector<std::string>& StationItems() const { return network_.StationList.Names(); }
  const Network& network() const { return network_; }
  const DistanceGrid& StringGrid1() const { return grid_; }
  const TreeModel& tvStart() const { return tvStart_; }
  const TreeModel& tvZiel() const { return tvZiel_; }
  const std::vector<ConnectionCandidate>& FoundConnections() const { return found_; }
  const std::vector<DetailConnectionItem>& TopConnections() const { return top_; }
  const std::vector<std::string>& Memo1() const { return memo1_; }
  const std::vector<std::string>& mSearchDistances() const { return searchDistances_; }
  const std::vector<std::string>& mZeiten() const { return zeiten_; }

  StationChooser cbStartStation;
  StationChooser cbZielStation;
  std::int32_t dtpStartTime = kInitialStartMinutes;  // minutes after midnight
  TimeCheckBoxes timeBoxes;
  std::size_t MaxTopConnections = 30;
  std::int32_t MinTransferMinutes = 1;

 private:
  void SelectStation(StationChooser& chooser, int entry) const;
  void ShowFoundConnections();

  Network network_;
  bool loaded_ = false;
  DistanceGrid grid_;
  TreeModel tvStart_;
  TreeModel tvZiel_;
  std::vector<ConnectionCandidate> found_;
  std::vector<DetailConnectionItem> top_;
  std::vector<std::string> memo1_;
  std::vector<std::string> searchDistances_;
  std::vector<std::string> zeiten_{"mZeiten"};
};

}  // namespace trivo
