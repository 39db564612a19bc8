#include "tfm_stop_timetables.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>

#include "common/messages.h"
#include "gui_user_interface.h"
#include "poster_painter.h"
#include "publish/poster_layout.h"
#include "text_codec.h"

namespace trivo::gui {

namespace {

QListWidget* NewList(QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  return list;
}

}  // namespace

TfmStopTimetables::TfmStopTimetables(trivo::Context& ctx, GuiUserInterface& ui, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui_(ui) {
  setObjectName(QStringLiteral("fmStopTimetables"));
  setWindowTitle(QStringLiteral("Aushangfahrpläne"));
  lbStations = NewList(this, "lbStations");
  lbLines = NewList(this, "lbLines");
  lPreview = new QLabel(this);
  lPreview->setObjectName(QStringLiteral("lPreview"));
  lPreview->setMinimumSize(420, 594);
  lPreview->setAlignment(Qt::AlignCenter);
  btSavePdf = new QPushButton(QStringLiteral("Als PDF speichern..."), this);
  btSavePdf->setObjectName(QStringLiteral("btSavePdf"));
  btPrint = new QPushButton(QStringLiteral("Drucken..."), this);
  btPrint->setObjectName(QStringLiteral("btPrint"));

  auto* lists = new QVBoxLayout;
  lists->addWidget(new QLabel(QStringLiteral("Stationen (keine gewählt: alle)"), this));
  lists->addWidget(lbStations, 2);
  lists->addWidget(new QLabel(QStringLiteral("Linien (keine gewählt: alle)"), this));
  lists->addWidget(lbLines, 1);
  lists->addWidget(btSavePdf);
  lists->addWidget(btPrint);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(lists, 1);
  layout->addWidget(lPreview, 2);

  connect(lbStations, &QListWidget::itemSelectionChanged, this, [this] { UpdatePreview(); });
  connect(lbLines, &QListWidget::itemSelectionChanged, this, [this] { UpdatePreview(); });
  connect(btSavePdf, &QPushButton::clicked, this, [this] { SavePdfClick(); });
  connect(btPrint, &QPushButton::clicked, this, [this] { PrintClick(); });
}

TfmStopTimetables::~TfmStopTimetables() = default;

bool TfmStopTimetables::Reload() {
  lbStations->clear();
  lbLines->clear();
  book_.reset();
  try {
    book_ = std::make_unique<trivo::StopTimetableBook>(ctx_, trivo::StopTimetableOptions{});
  } catch (const std::exception& error) {
    ui_.ShowError(FromCp1252(trivo::msg::ErrorText(error)));
    return false;
  }
  for (const std::string& name : book_->StationNames()) lbStations->addItem(FromCp1252(name));
  for (const std::string& name : book_->LineNames()) lbLines->addItem(FromCp1252(name));
  UpdatePreview();
  return true;
}

std::vector<std::string> TfmStopTimetables::Chosen(QListWidget* list) const {
  std::vector<std::string> names;
  for (int row = 0; row < list->count(); ++row) {
    if (list->item(row)->isSelected()) names.push_back(ToCp1252Lossy(list->item(row)->text()));
  }
  return names;
}

void TfmStopTimetables::UpdatePreview() {
  lPreview->clear();
  if (!book_) return;
  const std::optional<trivo::StopPoster> first =
      book_->FirstPoster(Chosen(lbStations), Chosen(lbLines));
  if (!first) {
    lPreview->setText(QStringLiteral("Keine Abfahrten"));
    return;
  }
  const double scale = 1.2;
  QImage image(static_cast<int>(trivo::PosterGeometry::kPageWidth * scale),
               static_cast<int>(trivo::PosterGeometry::kPageHeight * scale), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.scale(scale, scale);
  trivo::pdf::PosterPainter().PaintPage(painter, *first, trivo::LayOutPoster(*first), 0);
  painter.end();
  lPreview->setPixmap(QPixmap::fromImage(image).scaled(lPreview->size(), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
}

std::optional<std::size_t> TfmStopTimetables::SaveTo(const QString& path) {
  if (!book_) return std::nullopt;
  try {
    trivo::pdf::PosterPdf pdf(std::filesystem::path(path.toStdString()));
    book_->ForEachPoster(Chosen(lbStations), Chosen(lbLines),
                         [&pdf](const trivo::StopPoster& poster) { pdf.Add(poster); });
    if (pdf.Pages() == 0) {
      ui_.ShowMessageText(QStringLiteral("Keine Abfahrten für einen Aushangfahrplan gefunden"));
      return std::nullopt;
    }
    pdf.Commit();
    return pdf.Pages();
  } catch (const std::exception& error) {
    ui_.ShowError(FromCp1252(trivo::msg::ErrorText(error)));
    return std::nullopt;
  }
}

void TfmStopTimetables::SavePdfClick() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Als PDF speichern"),
                                                    QStringLiteral("aushang.pdf"),
                                                    QStringLiteral("PDF-Dateien (*.pdf)"));
  if (!path.isEmpty()) SaveTo(path);
}

void TfmStopTimetables::PrintClick() {
  if (!book_) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setFullPage(true);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("Aushangfahrpläne drucken"));
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter painter;
  if (!painter.begin(&printer)) {
    ui_.ShowMessageText(QStringLiteral("Der Drucker kann nicht verwendet werden."));
    return;
  }
  const double scale = printer.resolution() / 72.0;
  painter.scale(scale, scale);
  trivo::pdf::PosterPainter posterPainter;
  bool firstPage = true;
  book_->ForEachPoster(Chosen(lbStations), Chosen(lbLines), [&](const trivo::StopPoster& poster) {
    posterPainter.PaintPoster(painter, printer, poster, firstPage);
  });
  painter.end();
}

}  // namespace trivo::gui
