#include "poster_painter.h"

#include <array>

#include <QColor>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <string>
#include <system_error>

#include "common/cp1252.h"
#include "common/error.h"
#include "common/messages.h"

namespace trivo::pdf {

namespace {

using G = PosterGeometry;

const QColor kBlue(0x0b, 0x53, 0x94);
const QColor kInk(0x1d, 0x27, 0x33);
const QColor kGrey(0x5b, 0x68, 0x75);
const QColor kRule(0xc9, 0xd3, 0xdd);
const QColor kHeadFill(0xe8, 0xee, 0xf5);
const QColor kStripe(0xf5, 0xf7, 0xfa);
const QColor kNote(0x7f, 0x4f, 0x00);

QFont Font(int pixels, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// The fonts of a poster, made once per process.
struct Fonts {
  QFont station = Font(24, true);
  QFont badge = Font(16, true);
  QFont direction = Font(16);
  QFont small = Font(10);
  QFont head = Font(11, true);
  QFont hour = Font(12, true);
  QFont minute = Font(12);
  QFont letter = Font(8);
  QFont tailTitle = Font(12, true);
  QFont tail = Font(11);
};

// "00 " to "59 ": a run of minutes is one text; a blank and a digit pair take about a
// slot of the layout.
const std::array<QString, 60> kMinuteTexts = [] {
  std::array<QString, 60> texts;
  for (int minute = 0; minute < 60; ++minute) {
    texts[static_cast<std::size_t>(minute)] =
        QStringLiteral("%1\u2002").arg(minute, 2, 10, QLatin1Char('0'));
  }
  return texts;
}();

const Fonts& PosterFonts() {
  static const Fonts fonts;
  return fonts;
}

void PaintHeader(QPainter& painter, const StopPoster& poster, std::size_t pageIndex,
                 std::size_t pageCount) {
  const Fonts& fonts = PosterFonts();
  const double left = G::kMargin;
  const double width = G::ContentWidth();
  double y = G::kMargin;
  painter.setPen(kBlue);
  painter.setFont(fonts.station);
  painter.drawText(
      QRectF(left, y, width, 32), Qt::AlignLeft | Qt::AlignVCenter,
      QFontMetricsF(fonts.station).elidedText(FromCp1252(poster.station), Qt::ElideRight, width));
  y += 38;
  const QString line = FromCp1252(poster.line);
  const double badgeWidth = QFontMetricsF(fonts.badge).horizontalAdvance(line) + 16;
  painter.setPen(Qt::NoPen);
  painter.setBrush(kBlue);
  painter.drawRoundedRect(QRectF(left, y, badgeWidth, 24), 4, 4);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(Qt::white);
  painter.setFont(fonts.badge);
  painter.drawText(QRectF(left, y, badgeWidth, 24), Qt::AlignCenter, line);
  painter.setPen(kInk);
  painter.setFont(fonts.direction);
  const double textLeft = left + badgeWidth + 10;
  painter.drawText(QRectF(textLeft, y, width - badgeWidth - 10, 24),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Richtung ") + FromCp1252(poster.towards));
  y += 30;
  painter.setPen(kGrey);
  painter.setFont(fonts.small);
  if (!poster.validity.empty()) {
    painter.drawText(QRectF(left, y, width, 14), Qt::AlignLeft | Qt::AlignVCenter,
                     FromCp1252(poster.validity));
  }
  if (pageCount > 1) {
    painter.drawText(QRectF(left, y, width, 14), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Seite %1 von %2").arg(pageIndex + 1).arg(pageCount));
  }
  painter.fillRect(QRectF(left, G::BodyTop() - 10, width, 2.5), kBlue);
}

void PaintFooter(QPainter& painter, const StopPoster& poster) {
  const Fonts& fonts = PosterFonts();
  const double top = G::kPageHeight - G::kMargin - G::kFooterHeight + 8;
  painter.fillRect(QRectF(G::kMargin, top, G::ContentWidth(), 0.8), kRule);
  painter.setPen(kGrey);
  painter.setFont(fonts.small);
  const QRectF box(G::kMargin, top + 4, G::ContentWidth(), 14);
  painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, FromCp1252(poster.projectName));
  painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Stand: ") + FromCp1252(poster.madeOn));
}

double PaintTableHead(QPainter& painter, const StopPoster& poster, const PosterLayout& layout,
                      double y) {
  const Fonts& fonts = PosterFonts();
  painter.fillRect(QRectF(G::kMargin, y, G::ContentWidth(), G::kTableHeadHeight), kHeadFill);
  painter.setPen(kInk);
  painter.setFont(fonts.head);
  painter.drawText(QRectF(G::kMargin + 4, y, G::kHourWidth - 4, G::kTableHeadHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Uhr"));
  for (std::size_t c = 0; c < poster.columns.size(); ++c) {
    const double x = G::kMargin + G::kHourWidth + static_cast<double>(c) * layout.columnWidth;
    const QString heading = QFontMetricsF(fonts.head)
                                .elidedText(FromCp1252(poster.columns[c].heading), Qt::ElideRight,
                                            layout.columnWidth - 8);
    painter.drawText(QRectF(x + 4, y, layout.columnWidth - 8, G::kTableHeadHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, heading);
  }
  return y + G::kTableHeadHeight;
}

double PaintRow(QPainter& painter, const StopPoster& poster, const PosterLayout& layout,
                const PosterRow& row, double y, bool striped) {
  const Fonts& fonts = PosterFonts();
  const double height = row.Height();
  if (striped) painter.fillRect(QRectF(G::kMargin, y, G::ContentWidth(), height), kStripe);
  painter.fillRect(QRectF(G::kMargin, y + height - 0.6, G::ContentWidth(), 0.6), kRule);
  painter.setPen(kInk);
  painter.setFont(fonts.hour);
  painter.drawText(
      QRectF(G::kMargin + 4, y + G::kRowPadding / 2, G::kHourWidth - 8, G::kLineHeight),
      Qt::AlignLeft | Qt::AlignVCenter, QString::number(PrintedHour(row.hour)));
  painter.setFont(fonts.minute);
  const double baselineShift = G::kRowPadding / 2 + 12.5;
  const std::size_t slotCount = static_cast<std::size_t>(layout.slotsPerLine);
  for (std::size_t c = 0; c < row.cells.size(); ++c) {
    const double x = G::kMargin + G::kHourWidth + static_cast<double>(c) * layout.columnWidth + 4;
    const std::vector<PosterDeparture>& cell = row.cells[c];
    // One text per line of a cell, so the PDF stays small and quick to write; the digits
    // of the font have equal widths, so the minutes of the rows stand in columns. A
    // minute with a footnote letter is drawn on its own, the letter in small type.
    for (std::size_t first = 0; first < cell.size(); first += slotCount) {
      const std::size_t end = std::min(cell.size(), first + slotCount);
      const double baseline =
          y + baselineShift + static_cast<double>(first / slotCount) * G::kLineHeight;
      QString run;
      double runX = x;
      const auto flush = [&] {
        if (!run.isEmpty()) painter.drawText(QPointF(runX, baseline), run);
        run.clear();
      };
      for (std::size_t i = first; i < end; ++i) {
        const double slotX = x + static_cast<double>(i - first) * G::kSlotWidth;
        const PosterDeparture& departure = cell[i];
        const int minute = departure.time.Count() % 60;
        if (departure.footnote < 0) {
          if (run.isEmpty()) runX = slotX;
          run += kMinuteTexts[static_cast<std::size_t>(minute)];
          continue;
        }
        flush();
        painter.drawText(QPointF(slotX, baseline),
                         kMinuteTexts[static_cast<std::size_t>(minute)].trimmed());
        const std::string text = DepartureText(poster, departure);
        painter.setPen(kNote);
        painter.setFont(fonts.letter);
        painter.drawText(QPointF(slotX + 14.5, baseline - 4),
                         FromCp1252(std::string_view(text).substr(2)));
        painter.setFont(fonts.minute);
        painter.setPen(kInk);
      }
      flush();
    }
  }
  return y + height;
}

double PaintTailLine(QPainter& painter, const StopPoster& poster, const PosterTailLine& line,
                     double y) {
  const Fonts& fonts = PosterFonts();
  using Kind = PosterTailLine::Kind;
  const double height = line.Height();
  const double textTop = y + height - G::kTailLineHeight;
  switch (line.kind) {
    case Kind::FollowingTitle:
    case Kind::FootnoteTitle:
      painter.setPen(kBlue);
      painter.setFont(fonts.tailTitle);
      painter.drawText(QRectF(G::kMargin, textTop, G::ContentWidth(), G::kTailLineHeight),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       line.kind == Kind::FollowingTitle
                           ? QStringLiteral("Folgende Haltestellen (Minuten ab hier)")
                           : QStringLiteral("Anmerkungen"));
      break;
    case Kind::Following: {
      painter.setFont(fonts.tail);
      const double width = G::ContentWidth() / G::kStopsPerTailLine;
      const QFontMetricsF metrics(fonts.tail);
      for (std::size_t i = 0; i < line.count; ++i) {
        const PosterNextStop& stop = poster.following[line.first + i];
        const double x = G::kMargin + static_cast<double>(i) * width;
        painter.setPen(kBlue);
        painter.drawText(QRectF(x, textTop, 22, G::kTailLineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(stop.minutes));
        painter.setPen(kInk);
        painter.drawText(QRectF(x + 28, textTop, width - 32, G::kTailLineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(FromCp1252(stop.station), Qt::ElideRight, width - 32));
      }
      break;
    }
    case Kind::Footnote: {
      const PosterFootnote& note = poster.footnotes[line.first];
      painter.setPen(kInk);
      painter.setFont(fonts.tail);
      painter.drawText(QRectF(G::kMargin, textTop, G::ContentWidth(), G::kTailLineHeight),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       FromCp1252(note.letter) + QStringLiteral(" = ") + FromCp1252(note.text));
      break;
    }
  }
  return y + height;
}

}  // namespace

void PaintPosterPage(QPainter& painter, const StopPoster& poster, const PosterLayout& layout,
                     std::size_t pageIndex) {
  if (pageIndex >= layout.pages.size()) return;
  const PosterPage& page = layout.pages[pageIndex];
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  PaintHeader(painter, poster, pageIndex, layout.pages.size());
  double y = G::BodyTop();
  if (page.HasRows()) {
    y = PaintTableHead(painter, poster, layout, y);
    for (std::size_t r = page.rowBegin; r < page.rowEnd; ++r) {
      y = PaintRow(painter, poster, layout, layout.rows[r], y, r % 2 == 1);
    }
  }
  for (std::size_t t = page.tailBegin; t < page.tailEnd; ++t) {
    y = PaintTailLine(painter, poster, layout.tail[t], y);
  }
  PaintFooter(painter, poster);
  painter.restore();
}

std::size_t PaintPoster(QPainter& painter, QPagedPaintDevice& device, const StopPoster& poster,
                        bool& firstPageOfDevice) {
  const PosterLayout layout = LayOutPoster(poster);
  for (std::size_t page = 0; page < layout.pages.size(); ++page) {
    if (!firstPageOfDevice) device.newPage();
    firstPageOfDevice = false;
    PaintPosterPage(painter, poster, layout, page);
  }
  return layout.pages.size();
}

struct PosterPdf::Impl {
  std::filesystem::path target;
  std::filesystem::path temporary;
  QFile file;
  std::unique_ptr<QPdfWriter> writer;
  QPainter painter;
  bool firstPage = true;
  bool committed = false;
  std::size_t pages = 0;

  [[noreturn]] void Fail() {
    if (painter.isActive()) painter.end();
    file.close();
    std::error_code error;
    std::filesystem::remove(temporary, error);
    throw Error(msg::CannotWrite(target.string()));
  }
};

PosterPdf::PosterPdf(const std::filesystem::path& target) : impl_(std::make_unique<Impl>()) {
  Impl& impl = *impl_;
  impl.target = target;
  // A temporary name of the pattern the atomic writer uses, so that the clean-up of a
  // killed job recognises it.
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 16 && !impl.file.isOpen(); ++attempt) {
    std::string name = "." + target.filename().string() + ".";
    for (int i = 0; i < 6; ++i) name += kLetters[QRandomGenerator::global()->bounded(36)];
    impl.temporary = target.parent_path() / name;
    impl.file.setFileName(QString::fromStdString(impl.temporary.string()));
    impl.file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
  }
  if (!impl.file.isOpen()) throw Error(msg::CannotWrite(target.string()));
  impl.writer = std::make_unique<QPdfWriter>(&impl.file);
  impl.writer->setResolution(72);
  impl.writer->setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  impl.writer->setCreator(QStringLiteral("Trivo"));
  impl.writer->setTitle(QStringLiteral("Aushangfahrpläne"));
}

PosterPdf::~PosterPdf() {
  if (impl_->committed) return;
  if (impl_->painter.isActive()) impl_->painter.end();
  impl_->file.close();
  std::error_code error;
  std::filesystem::remove(impl_->temporary, error);
}

std::size_t PosterPdf::Add(const StopPoster& poster) {
  Impl& impl = *impl_;
  if (!impl.painter.isActive() && !impl.painter.begin(impl.writer.get())) impl.Fail();
  const std::size_t pages = PaintPoster(impl.painter, *impl.writer, poster, impl.firstPage);
  impl.pages += pages;
  if (impl.file.error() != QFileDevice::NoError) impl.Fail();
  return pages;
}

std::size_t PosterPdf::Pages() const {
  return impl_->pages;
}

void PosterPdf::Commit() {
  Impl& impl = *impl_;
  if (impl.pages == 0) {
    impl.Fail();
  }
  if (!impl.painter.end()) impl.Fail();
  if (!impl.file.flush() || impl.file.error() != QFileDevice::NoError) impl.Fail();
  impl.file.close();
  std::error_code error;
  std::filesystem::rename(impl.temporary, impl.target, error);
  if (error) impl.Fail();
  impl.committed = true;
}

}  // namespace trivo::pdf
