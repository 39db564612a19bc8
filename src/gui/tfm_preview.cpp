#include "tfm_preview.h"
#include "bring_to_front.h"

#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace trivo::gui {

TfmPreview::TfmPreview(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmPreview"));
  setWindowTitle(QStringLiteral("Fahrplan-Vorschau"));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  resize(1000, 720);

  wbPreview = new QWebEngineView(this);
  wbPreview->setObjectName(QStringLiteral("wbPreview"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(wbPreview);
}

void TfmPreview::ShowPage(const QString& pageFile) {
  const QUrl url = QUrl::fromLocalFile(pageFile);
  setWindowTitle(QStringLiteral("Fahrplan-Vorschau: ") + pageFile);
  if (wbPreview->url().adjusted(QUrl::RemoveFragment) == url) {
    wbPreview->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
  } else {
    wbPreview->load(url);
  }
  BringToFront(*this);
}

}  // namespace trivo::gui
