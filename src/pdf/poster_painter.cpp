#include "poster_painter.h"

#include <array>

#include <QColor>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <string>
#include <system_error>
#include <vector>

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

// The fonts of a poster, by their place in PosterFonts().
enum FontId : std::size_t {
  kStation,
  kBadge,
  kDirection,
  kSmall,
  kHead,
  kHour,
  kMinute,
  kLetter,
  kTailTitle,
  kTail,
};

std::vector<QFont> PosterFonts() {
  return {Font(24, true), Font(16, true), Font(16), Font(10),       Font(11, true),
          Font(12, true), Font(12),       Font(8),  Font(12, true), Font(11)};
}

// "00" to "59"; the digits of the font have equal widths, so the minutes of the rows
// stand in columns.
const std::array<QString, 60> kMinuteTexts = [] {
  std::array<QString, 60> texts;
  for (int minute = 0; minute < 60; ++minute) {
    texts[static_cast<std::size_t>(minute)] =
        QStringLiteral("%1").arg(minute, 2, 10, QLatin1Char('0'));
  }
  return texts;
}();

void PaintHeader(QPainter& painter, PageText& text, const StopPoster& poster, std::size_t pageIndex,
                 std::size_t pageCount) {
  const double left = G::kMargin;
  const double width = G::ContentWidth();
  double y = G::kMargin;
  text.Add(kStation, kBlue, QRectF(left, y, width, 32), Qt::AlignLeft, FromCp1252(poster.station));
  y += 38;
  const QString line = FromCp1252(poster.line);
  const double badgeWidth = text.Width(kBadge, line) + 16;
  painter.setPen(Qt::NoPen);
  painter.setBrush(kBlue);
  painter.drawRoundedRect(QRectF(left, y, badgeWidth, 24), 4, 4);
  painter.setBrush(Qt::NoBrush);
  text.Add(kBadge, Qt::white, QRectF(left, y, badgeWidth, 24), Qt::AlignHCenter, line);
  const double textLeft = left + badgeWidth + 10;
  text.Add(kDirection, kInk, QRectF(textLeft, y, width - badgeWidth - 10, 24), Qt::AlignLeft,
           QStringLiteral("Richtung ") + FromCp1252(poster.towards));
  y += 30;
  if (!poster.validity.empty()) {
    text.Add(kSmall, kGrey, QRectF(left, y, width, 14), Qt::AlignLeft, FromCp1252(poster.validity));
  }
  if (pageCount > 1) {
    text.Add(kSmall, kGrey, QRectF(left, y, width, 14), Qt::AlignRight,
             QStringLiteral("Seite %1 von %2").arg(pageIndex + 1).arg(pageCount));
  }
  painter.fillRect(QRectF(left, G::BodyTop() - 10, width, 2.5), kBlue);
}

void PaintFooter(QPainter& painter, PageText& text, const StopPoster& poster) {
  const double top = G::kPageHeight - G::kMargin - G::kFooterHeight + 8;
  painter.fillRect(QRectF(G::kMargin, top, G::ContentWidth(), 0.8), kRule);
  const QRectF box(G::kMargin, top + 4, G::ContentWidth(), 14);
  text.Add(kSmall, kGrey, box, Qt::AlignLeft, FromCp1252(poster.projectName));
  text.Add(kSmall, kGrey, box, Qt::AlignRight,
           QStringLiteral("Stand: ") + FromCp1252(poster.madeOn));
}

double PaintTableHead(QPainter& painter, PageText& text, const StopPoster& poster,
                      const PosterLayout& layout, double y) {
  painter.fillRect(QRectF(G::kMargin, y, G::ContentWidth(), G::kTableHeadHeight), kHeadFill);
  text.Add(kHead, kInk, QRectF(G::kMargin + 4, y, G::kHourWidth - 4, G::kTableHeadHeight),
           Qt::AlignLeft, QStringLiteral("Uhr"));
  for (std::size_t c = 0; c < poster.columns.size(); ++c) {
    const double x = G::kMargin + G::kHourWidth + static_cast<double>(c) * layout.columnWidth;
    text.Add(kHead, kInk, QRectF(x + 4, y, layout.columnWidth - 8, G::kTableHeadHeight),
             Qt::AlignLeft, FromCp1252(poster.columns[c].heading));
  }
  return y + G::kTableHeadHeight;
}

double PaintRow(QPainter& painter, PageText& text, const StopPoster& poster,
                const PosterLayout& layout, const PosterRow& row, double y, bool striped) {
  const double height = row.Height();
  if (striped) painter.fillRect(QRectF(G::kMargin, y, G::ContentWidth(), height), kStripe);
  painter.fillRect(QRectF(G::kMargin, y + height - 0.6, G::ContentWidth(), 0.6), kRule);
  // The hour on the baseline of the cells' first line of minutes.
  const double baseline = y + G::kRowPadding / 2 + 12.5;
  text.Add(kHour, kInk, QPointF(G::kMargin + 4, baseline), QString::number(PrintedHour(row.hour)));
  const std::size_t slotCount = static_cast<std::size_t>(layout.slotsPerLine);
  for (std::size_t c = 0; c < row.cells.size(); ++c) {
    const double x = G::kMargin + G::kHourWidth + static_cast<double>(c) * layout.columnWidth + 4;
    const std::vector<PosterDeparture>& cell = row.cells[c];
    for (std::size_t i = 0; i < cell.size(); ++i) {
      const QPointF origin(x + static_cast<double>(i % slotCount) * G::kSlotWidth,
                           baseline + static_cast<double>(i / slotCount) * G::kLineHeight);
      const PosterDeparture& departure = cell[i];
      text.Add(kMinute, kInk, origin,
               kMinuteTexts[static_cast<std::size_t>(departure.time.Count() % 60)]);
      if (departure.footnote >= 0) {
        // The footnote letter raised in small type after the minutes.
        const std::string minuteAndLetter = DepartureText(poster, departure);
        text.Add(kLetter, kNote, origin + QPointF(14.5, -4),
                 FromCp1252(std::string_view(minuteAndLetter).substr(2)));
      }
    }
  }
  return y + height;
}

double PaintTailLine(PageText& text, const StopPoster& poster, const PosterTailLine& line,
                     double y) {
  using Kind = PosterTailLine::Kind;
  const double height = line.Height();
  const double textTop = y + height - G::kTailLineHeight;
  switch (line.kind) {
    case Kind::FollowingTitle:
    case Kind::FootnoteTitle:
      text.Add(kTailTitle, kBlue,
               QRectF(G::kMargin, textTop, G::ContentWidth(), G::kTailLineHeight), Qt::AlignLeft,
               line.kind == Kind::FollowingTitle
                   ? QStringLiteral("Folgende Haltestellen (Minuten ab hier)")
                   : QStringLiteral("Anmerkungen"));
      break;
    case Kind::Following: {
      const double width = G::ContentWidth() / G::kStopsPerTailLine;
      for (std::size_t i = 0; i < line.count; ++i) {
        const PosterNextStop& stop = poster.following[line.first + i];
        const double x = G::kMargin + static_cast<double>(i) * width;
        text.Add(kTail, kBlue, QRectF(x, textTop, 22, G::kTailLineHeight), Qt::AlignRight,
                 QString::number(stop.minutes));
        text.Add(kTail, kInk, QRectF(x + 28, textTop, width - 32, G::kTailLineHeight),
                 Qt::AlignLeft, FromCp1252(stop.station));
      }
      break;
    }
    case Kind::Footnote: {
      const PosterFootnote& note = poster.footnotes[line.first];
      text.Add(kTail, kInk, QRectF(G::kMargin, textTop, G::ContentWidth(), G::kTailLineHeight),
               Qt::AlignLeft,
               FromCp1252(note.letter) + QStringLiteral(" = ") + FromCp1252(note.text));
      break;
    }
  }
  return y + height;
}

}  // namespace

PosterPainter::PosterPainter() : text_(PosterFonts()) {
  text_.SnapToWholePoints(kMinute);
}

void PosterPainter::PaintPage(QPainter& painter, const StopPoster& poster,
                              const PosterLayout& layout, std::size_t pageIndex) {
  if (pageIndex >= layout.pages.size()) return;
  const PosterPage& page = layout.pages[pageIndex];
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  PaintHeader(painter, text_, poster, pageIndex, layout.pages.size());
  double y = G::BodyTop();
  if (page.HasRows()) {
    y = PaintTableHead(painter, text_, poster, layout, y);
    for (std::size_t r = page.rowBegin; r < page.rowEnd; ++r) {
      y = PaintRow(painter, text_, poster, layout, layout.rows[r], y, r % 2 == 1);
    }
  }
  for (std::size_t t = page.tailBegin; t < page.tailEnd; ++t) {
    y = PaintTailLine(text_, poster, layout.tail[t], y);
  }
  PaintFooter(painter, text_, poster);
  text_.Paint(painter);
  painter.restore();
}

std::size_t PosterPainter::PaintPoster(QPainter& painter, QPagedPaintDevice& device,
                                       const StopPoster& poster, bool& firstPageOfDevice) {
  const PosterLayout layout = LayOutPoster(poster);
  for (std::size_t page = 0; page < layout.pages.size(); ++page) {
    if (!firstPageOfDevice) device.newPage();
    firstPageOfDevice = false;
    PaintPage(painter, poster, layout, page);
  }
  return layout.pages.size();
}

struct PosterPdf::Impl {
  std::filesystem::path target;
  std::filesystem::path temporary;
  QFile file;
  std::unique_ptr<QPdfWriter> writer;
  QPainter painter;
  PosterPainter posterPainter;
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
  const std::size_t pages =
      impl.posterPainter.PaintPoster(impl.painter, *impl.writer, poster, impl.firstPage);
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
