#pragma once

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QString>
#include <QTabWidget>
#include <QUrl>
#include <QWebEngineView>

#include "common/string_grid.h"
#include "tfm_web_copy.h"

namespace trivo::gui::test {

// The timetable page shipped with the tests: a navigation table and the timetable of
// line 5 with the stations of StationsOfThePage().
inline QString TimetablePageUrl() {
  return QUrl::fromLocalFile(QString::fromLocal8Bit(qgetenv("TRIVO_SOURCE_DIR")) +
                             QStringLiteral("/tests/data/fahrplan_linie5.html"))
      .toString();
}

// The editor grid of line 5 as the timetable editor holds it (Windows-1252): the heading
// "Stationen" in column 1, row 1, the stations below.
inline trivo::StringGrid StationsOfThePage() {
  const std::vector<std::string> stations = {"Hauptbahnhof", "Rathaus", "Marktplatz",
                                             "M\xFCllerstra\xDF"
                                             "e",
                                             "Zoo"};
  trivo::StringGrid grid(4, 2 + static_cast<int>(stations.size()), 2, 2);
  grid.SetCell(1, 1, "Stationen");
  for (std::size_t i = 0; i < stations.size(); ++i) {
    grid.SetCell(1, 2 + static_cast<int>(i), stations[i]);
  }
  return grid;
}

// Opens the address on the tab "Website" as the user does; false when the browser did
// not finish loading it in time or could not load it.
inline bool ShowWebsite(TfmWebCopy& window, const QString& url) {
  window.PageControl1->setCurrentWidget(window.tsWebsite);
  window.leURL->setText(url);
  QSignalSpy loaded(window.Browser(), &QWebEngineView::loadFinished);
  window.btShowURL->click();
  return loaded.wait(60000) && loaded.first().first().toBool();
}

// Presses "HTML kopieren" and waits for the browser's answer: whether it copied.
inline bool CopyHtml(TfmWebCopy& window) {
  QSignalSpy copied(&window, &TfmWebCopy::htmlCopied);
  window.btCopy->click();
  return (!copied.isEmpty() || copied.wait(30000)) && copied.first().first().toBool();
}

}  // namespace trivo::gui::test
