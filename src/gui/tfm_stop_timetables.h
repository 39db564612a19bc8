#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "project/context.h"
#include "publish/stop_timetable.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace trivo::gui {

class GuiUserInterface;

// "Aushangfahrpläne": the departure posters of the chosen stations and lines (none
// chosen: all), a preview of the first page of the first of them, saving them as one PDF
// and printing them through the Qt print dialog.
class TfmStopTimetables : public QDialog {
  Q_OBJECT

 public:
  TfmStopTimetables(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent = nullptr);
  ~TfmStopTimetables() override;

  // Reads the project's timetables again and fills the lists; false (after a message)
  // when they cannot be read.
  bool Reload();
  // Writes the chosen posters as a PDF; the number of pages, or nothing after a message.
  std::optional<std::size_t> SaveTo(const QString& path);

  QListWidget* lbStations;
  QListWidget* lbLines;
  QLabel* lPreview;
  QPushButton* btSavePdf;
  QPushButton* btPrint;

 private:
  std::vector<std::string> Chosen(QListWidget* list) const;
  void UpdatePreview();
  void SavePdfClick();
  void PrintClick();

  trivo::Context& ctx_;
  GuiUserInterface& ui_;
  std::unique_ptr<trivo::StopTimetableBook> book_;
};

}  // namespace trivo::gui
