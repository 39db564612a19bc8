#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace trivo {
class Context;
}

namespace trivo::gui {

class GuiUserInterface;

// The window "GTFS importieren" (Extras -> "GTFS importieren..."): a GTFS feed and an
// empty folder are chosen, "Importieren" makes a new project there from the feed, the
// window shows the import's report, and the new project is opened in the main window.
class TfmGtfsImport : public QDialog {
  Q_OBJECT

 public:
  // openProject opens a project file in the main window.
  TfmGtfsImport(trivo::Context& ctx, GuiUserInterface& ui,
                std::function<void(const QString& projectFile)> openProject,
                QWidget* parent = nullptr);

  QLineEdit* leFeed;
  QPushButton* btFeed;
  QLineEdit* leFolder;
  QPushButton* btFolder;
  QLineEdit* leWeek;  // the reference week's Monday, YYYY-MM-DD; empty for the default
  QPushButton* btImport;
  QPlainTextEdit* mReport;

  // "Importieren": returns whether a project was made.
  bool btImportClick();

 private:
  void btFeedClick();
  void btFolderClick();

  trivo::Context& ctx_;
  GuiUserInterface& ui_;
  std::function<void(const QString&)> openProject_;
};

}  // namespace trivo::gui
