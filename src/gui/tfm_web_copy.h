#pragma once

#include <QDialog>
#include <functional>

#include "common/string_grid.h"
#include "gui_user_interface.h"
#include "html/web_copy.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QWebEngineView;

namespace trivo::gui {

class StringGridModel;

// The web copy window "Fahrplan Kopier-Bereich": on the tab "Website" an embedded
// browser opens a page and copies its HTML to the clipboard; on the tab "Tabellen-Kopie"
// the HTML is taken from the clipboard, the table that best matches the stations of the
// timetable being edited lands in the work grid, and the work grid is shaped for the
// editor's paste. The window keeps its work grid and its page while it is hidden.
//
// The browser (Qt WebEngine) is created when the tab "Website" is first shown, so that
// the program starts without it; the process must have called PrepareWebEngine() before
// the application object was created.
class TfmWebCopy : public QDialog {
  Q_OBJECT

 public:
  explicit TfmWebCopy(GuiUserInterface& ui, QWidget* parent = nullptr);
  ~TfmWebCopy() override;

  // The timetable editor's grid sgTimeTable, whose station column the tables are scored
  // against. Until it is set, a grid holding only the heading "Stationen" is used.
  void SetEditorGrid(std::function<const trivo::StringGrid&()> editorGrid);

  // The work grid, its current cell and its selected rectangle, which the editor pastes.
  trivo::WebCopy& model() { return model_; }
  const trivo::WebCopy& model() const { return model_; }

  // Shows the window without waiting for it, in front and active.
  void ShowWithoutWaiting();

  // The browser, created on first use.
  QWebEngineView* Browser();

  QTabWidget* PageControl1;
  QWidget* tsWebsite;
  QLabel* leURLLabel;
  QLineEdit* leURL;
  QPushButton* btShowURL;
  QWebEngineView* wbWebCopy = nullptr;  // created by Browser()
  QPushButton* btCopy;
  QWidget* Panel6;
  QWidget* Panel7;
  QWidget* tsTableGrid;
  QPushButton* Button1;
  QPushButton* Button2;
  QTableView* sgWorkGrid;
  QComboBox* cbActionArea;
  QComboBox* cbAction;
  QPushButton* btAction;

 public slots:
  // "Website anzeigen": opens the address in leURL as typed.
  void btShowURLClick();
  // "HTML kopieren": puts the outer HTML of the current document's body on the
  // clipboard; without a document or without a body nothing is copied. The browser
  // answers later: htmlCopied tells when and whether.
  void btCopyClick();
  // "HTML einfügen": fills the work grid from the clipboard's plain text.
  void btPasteClick();
  // "Selektieren Bereich in Zwischenablage kopieren": the selected block of the work
  // grid goes to the clipboard as tab-separated lines.
  void Button2Click();
  // "Aktion ausführen".
  void btActionClick();

 signals:
  void htmlCopied(bool copied);

 private:
  void BuildWebsiteTab();
  void BuildTableGridTab();
  // Shows the work grid, its column widths, current cell and selection from the model.
  void ShowWorkGrid();
  // Hands the view's current cell and selection to the model.
  void ReadSelection();

  GuiUserInterface& ui_;
  trivo::WebCopy model_;
  trivo::StringGrid headingOnlyGrid_;
  std::function<const trivo::StringGrid&()> editorGrid_;
  StringGridModel* workGridModel_;
  QHBoxLayout* browserRow_ = nullptr;
  bool showingSelection_ = false;
};

}  // namespace trivo::gui
