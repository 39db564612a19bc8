#include "tfm_route.h"

#include <QCompleter>
#include <QDateEdit>
#include <QDateTime>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStringListModel>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <chrono>
#include <string>

#include "command_guard.h"
#include "common/ini_file.h"
#include "named_widget.h"
#include "routing/journey_format.h"
#include "routing/station_match.h"
#include "routing/travel_day.h"
#include "text_codec.h"

namespace trivo::gui {

namespace {

QLineEdit* NewStationField(QWidget* parent, const char* name) {
  auto* field = Named(new QLineEdit(parent), name);
  field->setMinimumWidth(180);
  field->setClearButtonEnabled(true);
  return field;
}

// "07:05"; a time of another day than the day of travel carries the days after it,
// "05:10 (+1)".
QString TimeText(trivo::Minutes time) {
  const QString text = FromCp1252(trivo::HourMinuteText(time.OfDay()));
  const int day = time.Day();
  if (day == 0) return text;
  return text + QStringLiteral(" (%1%2)").arg(day > 0 ? QStringLiteral("+") : QString()).arg(day);
}

QString DurationText(trivo::Minutes duration) {
  return QString::number(duration.Count()) + QStringLiteral(" Min");
}

enum Column { kDeparture, kArrival, kDuration, kTransfers, kTrip, kColumns };

QTreeWidgetItem* JourneyItem(const trivo::DayTimetable& timetable, const trivo::Journey& journey) {
  QStringList lines;
  auto* item = new QTreeWidgetItem;
  for (std::size_t i = 0; i < journey.legs.size(); ++i) {
    const trivo::LegDescription leg = trivo::DescribeLeg(timetable, journey.legs[i]);
    if (i > 0) {
      auto* transfer = new QTreeWidgetItem(item);
      transfer->setText(kDuration, DurationText(leg.departure - journey.legs[i - 1].arrival));
      transfer->setText(kTrip, QStringLiteral("Umstieg in ") + FromCp1252(leg.from));
    }
    auto* legItem = new QTreeWidgetItem(item);
    legItem->setText(kDeparture, TimeText(leg.departure) + QLatin1Char(' ') + FromCp1252(leg.from));
    legItem->setText(kArrival, TimeText(leg.arrival) + QLatin1Char(' ') + FromCp1252(leg.to));
    legItem->setText(kDuration, DurationText(leg.arrival - leg.departure));
    legItem->setText(
        kTrip, FromCp1252(leg.line) + QStringLiteral(" Richtung ") + FromCp1252(leg.headsign));
    lines << FromCp1252(leg.line);
  }
  item->setText(kDeparture, TimeText(journey.departure));
  item->setText(kArrival, TimeText(journey.arrival));
  item->setText(kDuration, DurationText(journey.arrival - journey.departure));
  item->setText(kTransfers, QString::number(journey.Transfers()));
  item->setText(kTrip, lines.join(QStringLiteral(", ")));
  QFont bold = item->font(kDeparture);
  bold.setBold(true);
  for (int column = 0; column < kColumns; ++column) item->setFont(column, bold);
  return item;
}

std::chrono::year_month_day DateOf(const QDate& date) {
  return std::chrono::year_month_day{std::chrono::year(date.year()),
                                     std::chrono::month(static_cast<unsigned>(date.month())),
                                     std::chrono::day(static_cast<unsigned>(date.day()))};
}

}  // namespace

TfmRoute::TfmRoute(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui_(ui) {
  setObjectName(QStringLiteral("fmRoute"));
  setWindowTitle(QStringLiteral("Fahrplanauskunft"));
  resize(860, 560);
  const QLocale german(QLocale::German, QLocale::Germany);

  lbStart = Named(new QLabel(QStringLiteral("Start:"), this), "lbStart");
  edStart = NewStationField(this, "edStart");
  lbZiel = Named(new QLabel(QStringLiteral("Ziel:"), this), "lbZiel");
  edZiel = NewStationField(this, "edZiel");
  lbDate = Named(new QLabel(QStringLiteral("Datum:"), this), "lbDate");
  dtpDate = Named(new QDateEdit(QDate::currentDate(), this), "dtpDate");
  dtpDate->setLocale(german);
  dtpDate->setDisplayFormat(QStringLiteral("ddd dd.MM.yyyy"));
  dtpDate->setCalendarPopup(true);
  lbTime = Named(new QLabel(QStringLiteral("Zeit:"), this), "lbTime");
  const QTime now = QTime::currentTime();
  dtpTime = Named(new QTimeEdit(QTime(now.hour(), now.minute()), this), "dtpTime");
  dtpTime->setLocale(german);
  dtpTime->setDisplayFormat(QStringLiteral("HH:mm"));
  btSearch = Named(new QPushButton(QStringLiteral("Suchen"), this), "btSearch");
  btSearch->setDefault(true);
  btEarlier = Named(new QPushButton(QStringLiteral("Frühere"), this), "btEarlier");
  btLater = Named(new QPushButton(QStringLiteral("Spätere"), this), "btLater");
  for (QPushButton* button : {btEarlier, btLater}) button->setAutoDefault(false);
  lbStart->setBuddy(edStart);
  lbZiel->setBuddy(edZiel);
  AttachCompletion(edStart);
  AttachCompletion(edZiel);

  tvJourneys = Named(new QTreeWidget(this), "tvJourneys");
  tvJourneys->setColumnCount(kColumns);
  tvJourneys->setHeaderLabels({QStringLiteral("Ab"), QStringLiteral("An"), QStringLiteral("Dauer"),
                               QStringLiteral("Umstiege"), QStringLiteral("Fahrt")});
  tvJourneys->setRootIsDecorated(true);
  tvJourneys->setUniformRowHeights(true);
  tvJourneys->header()->setStretchLastSection(true);
  lbStatus = Named(new QLabel(this), "lbStatus");
  lbStatus->setWordWrap(true);

  auto* stations = new QHBoxLayout;
  for (QWidget* widget : {static_cast<QWidget*>(lbStart), static_cast<QWidget*>(edStart),
                          static_cast<QWidget*>(lbZiel), static_cast<QWidget*>(edZiel)}) {
    stations->addWidget(widget);
  }
  auto* when = new QHBoxLayout;
  for (QWidget* widget : {static_cast<QWidget*>(lbDate), static_cast<QWidget*>(dtpDate),
                          static_cast<QWidget*>(lbTime), static_cast<QWidget*>(dtpTime),
                          static_cast<QWidget*>(btSearch)}) {
    when->addWidget(widget);
  }
  when->addStretch(1);
  when->addWidget(btEarlier);
  when->addWidget(btLater);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(stations);
  layout->addLayout(when);
  layout->addWidget(tvJourneys, 1);
  layout->addWidget(lbStatus);

  connect(btSearch, &QPushButton::clicked, this, &TfmRoute::btSearchClick);
  connect(btEarlier, &QPushButton::clicked, this, &TfmRoute::btEarlierClick);
  connect(btLater, &QPushButton::clicked, this, &TfmRoute::btLaterClick);
}

void TfmRoute::AttachCompletion(QLineEdit* field) {
  // The core chooses the names (ICU collation, case and accents ignored); the completer
  // shows them as they are.
  auto* names = new QStringListModel(field);
  auto* completer = new QCompleter(names, field);
  completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer->setMaxVisibleItems(12);
  field->setCompleter(completer);
  connect(field, &QLineEdit::textEdited, this, [this, names, completer](const QString& text) {
    names->setStringList(CompletionsFor(text));
    if (!text.trimmed().isEmpty() && names->rowCount() > 0) completer->complete();
  });
}

QStringList TfmRoute::CompletionsFor(const QString& typed) {
  QStringList names;
  const QString prefix = typed.trimmed();
  if (prefix.isEmpty() || ctx_.ProjectFileName.empty()) return names;
  try {
    for (const std::string& name :
         trivo::StationsStartingWith(cache_.Trips(ctx_), ToCp1252Lossy(prefix))) {
      names << FromCp1252(name);
    }
  } catch (const std::exception&) {
    // A project that cannot be read offers no names; "Suchen" says why.
  }
  return names;
}

void TfmRoute::btSearchClick() {
  Search();
}

void TfmRoute::btEarlierClick() {
  MoveWindow(-kWindowMinutes);
}

void TfmRoute::btLaterClick() {
  MoveWindow(kWindowMinutes);
}

void TfmRoute::MoveWindow(int minutes) {
  const QDateTime moved =
      QDateTime(dtpDate->date(), dtpTime->time()).addSecs(static_cast<qint64>(minutes) * 60);
  dtpDate->setDate(moved.date());
  dtpTime->setTime(moved.time());
  Search();
}

void TfmRoute::Search() {
  answer_.reset();
  trivo::RouteRequest request;
  // A text Windows-1252 cannot hold names no station; "?" keeps it unfound.
  request.from = ToCp1252Lossy(edStart->text().trimmed());
  request.to = ToCp1252Lossy(edZiel->text().trimmed());
  const QTime time = dtpTime->time();
  request.at = trivo::Minutes(time.hour() * 60 + time.minute());
  request.date = DateOf(dtpDate->date());
  request.window = trivo::Minutes(kWindowMinutes);
  RunCommand(ui_, [&] {
    const trivo::RoutingSettings settings =
        trivo::ReadRoutingSettings(trivo::IniFile(ctx_.ProjectFileName));
    answer_ = trivo::AnswerRoute(ctx_, cache_, settings, request);
    leftOutTrips_ = cache_.Trips(ctx_).leftOutTrips;
  });
  ShowAnswer();
}

void TfmRoute::ShowAnswer() {
  tvJourneys->setUpdatesEnabled(false);
  tvJourneys->clear();
  if (!answer_) {
    lbStatus->clear();
    tvJourneys->setUpdatesEnabled(true);
    return;
  }
  QList<QTreeWidgetItem*> items;
  for (const trivo::Journey& journey : answer_->journeys) {
    items << JourneyItem(*answer_->timetable, journey);
  }
  tvJourneys->addTopLevelItems(items);
  tvJourneys->expandAll();
  for (int column = 0; column < kTrip; ++column) tvJourneys->resizeColumnToContents(column);
  tvJourneys->setUpdatesEnabled(true);

  const trivo::Minutes begin = trivo::Minutes(dtpTime->time().msecsSinceStartOfDay() / 60000);
  const QString window =
      QStringLiteral("Abfahrt %1 bis %2, %3")
          .arg(TimeText(begin), TimeText(begin + trivo::Minutes(kWindowMinutes)),
               dtpDate->locale().toString(dtpDate->date(), QStringLiteral("dddd, d. MMMM yyyy")));
  const auto found = answer_->journeys.size();
  QString status =
      found == 0
          ? QStringLiteral("Keine Verbindung gefunden (%1).").arg(window)
          : QStringLiteral("%1 %2 von %3 nach %4, %5.")
                .arg(QString::number(found),
                     found == 1 ? QStringLiteral("Verbindung") : QStringLiteral("Verbindungen"),
                     FromCp1252(answer_->from), FromCp1252(answer_->to), window);
  if (leftOutTrips_ > 0) {
    status += leftOutTrips_ == 1
                  ? QStringLiteral(" 1 Fahrt mit fehlerhaften Zellen ist ausgelassen.")
                  : QStringLiteral(" %1 Fahrten mit fehlerhaften Zellen sind ausgelassen.")
                        .arg(leftOutTrips_);
  }
  lbStatus->setText(status);
}

}  // namespace trivo::gui
