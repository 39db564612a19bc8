#pragma once

#include <QDialog>
#include <QString>

class QWebEngineView;

namespace trivo::gui {

// The preview window "Fahrplan-Vorschau": the preview page written beside a project's
// PTF files, shown in the embedded browser as a passenger's browser shows the published
// site. Not modal; showing it again reloads the page, so a new conversion is seen.
class TfmPreview : public QDialog {
  Q_OBJECT

 public:
  explicit TfmPreview(QWidget* parent = nullptr);

  // Opens the page file (a local path) and brings the window to the front.
  void ShowPage(const QString& pageFile);

  QWebEngineView* wbPreview;
};

}  // namespace trivo::gui
