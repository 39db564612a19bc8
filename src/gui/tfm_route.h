#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>

#include "gui_user_interface.h"
#include "project/context.h"
#include "routing/route_query.h"
#include "routing/routing_cache.h"

class QCompleter;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStringListModel;
class QTimeEdit;
class QTreeWidget;

namespace trivo::gui {

// "Fahrplanauskunft": the passenger search. Start and destination complete over the
// project's station names (letter case and accents ignored), "Suchen" lists the
// connections leaving within the search window after the date and time given, each with
// its trips below it; "Frühere" and "Spätere" move the search window by its length. The
// window keeps the project's routing timetable between searches; the timetable is read
// again when one of the project's files changed.
class TfmRoute : public QDialog {
  Q_OBJECT

 public:
  TfmRoute(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent = nullptr);

  // The length of the search window.
  static constexpr int kWindowMinutes = 120;

  void btSearchClick();
  void btEarlierClick();
  void btLaterClick();

  // The last search's answer; empty before the first search and after a failed one.
  const std::optional<trivo::RouteAnswer>& answer() const { return answer_; }
  // The station names offered for a typed text, as the completion shows them.
  QStringList CompletionsFor(const QString& typed);

  QLabel* lbStart;
  QLineEdit* edStart;
  QLabel* lbZiel;
  QLineEdit* edZiel;
  QLabel* lbDate;
  QDateEdit* dtpDate;
  QLabel* lbTime;
  QTimeEdit* dtpTime;
  QPushButton* btSearch;
  QPushButton* btEarlier;
  QPushButton* btLater;
  QTreeWidget* tvJourneys;
  QLabel* lbStatus;

 private:
  void AttachCompletion(QLineEdit* field);
  // Moves the date and time fields by the minutes given and searches again.
  void MoveWindow(int minutes);
  void Search();
  void ShowAnswer();

  trivo::Context& ctx_;
  GuiUserInterface& ui_;
  trivo::RoutingCache cache_;
  std::optional<trivo::RouteAnswer> answer_;
  std::size_t leftOutTrips_ = 0;
};

}  // namespace trivo::gui
