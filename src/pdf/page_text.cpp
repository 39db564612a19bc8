#include "page_text.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace trivo::pdf {

namespace {
constexpr qsizetype kMostTextsKept = 2000;
}  // namespace

PageText::PageText(std::vector<QFont> fonts) {
  fonts_.reserve(fonts.size());
  for (QFont& font : fonts) {
    const QFontMetricsF metrics(font);
    Font& entry = fonts_.emplace_back();
    entry.ascent = metrics.ascent();
    entry.height = metrics.height();
    entry.font = std::move(font);
  }
}

const PageText::LaidOut& PageText::LayOut(std::size_t font, const QString& text) {
  Font& entry = fonts_.at(font);
  const auto known = entry.texts.constFind(text);
  if (known != entry.texts.constEnd()) return *known;
  // A bounded store: a book of thousands of station names holds a few megabytes of
  // them, however many pages it has.
  if (entry.texts.size() >= kMostTextsKept) entry.texts.clear();
  QTextLayout layout(text, entry.font);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  LaidOut laidOut;
  if (line.isValid()) {
    line.setLineWidth(1e6);
    laidOut.width = line.naturalTextWidth();
    const double ascent = line.ascent();
    for (const QGlyphRun& run : line.glyphRuns()) {
      GlyphPiece piece{run.rawFont(), run.glyphIndexes(), run.positions()};
      for (QPointF& position : piece.positions) position.ry() -= ascent;
      laidOut.pieces.push_back(std::move(piece));
    }
  }
  layout.endLayout();
  return *entry.texts.insert(text, std::move(laidOut));
}

void PageText::SnapToWholePoints(std::size_t font) {
  fonts_.at(font).snapped = true;
}

double PageText::Width(std::size_t font, const QString& text) {
  return LayOut(font, text).width;
}

void PageText::Add(std::size_t font, const QColor& color, QPointF origin, const QString& text) {
  const bool snapped = fonts_.at(font).snapped;
  // Rounded apart, so that the same text has the same spacing wherever it stands.
  const auto snap = [](QPointF point) {
    return QPointF(std::round(point.x()), std::round(point.y()));
  };
  if (snapped) origin = snap(origin);
  for (const GlyphPiece& piece : LayOut(font, text).pieces) {
    auto batch = std::find_if(batches_.begin(), batches_.end(), [&](const Batch& candidate) {
      return candidate.color == color && candidate.font == piece.font;
    });
    if (batch == batches_.end())
      batch = batches_.insert(batches_.end(), {piece.font, color, {}, {}});
    batch->glyphs.append(piece.glyphs);
    for (const QPointF& position : piece.positions) {
      batch->positions.append(origin + (snapped ? snap(position) : position));
    }
  }
}

void PageText::Add(std::size_t font, const QColor& color, const QRectF& box,
                   Qt::Alignment alignment, const QString& text) {
  const Font& entry = fonts_.at(font);
  double width = Width(font, text);
  QString shown = text;
  if (width > box.width()) {
    shown = QFontMetricsF(entry.font).elidedText(text, Qt::ElideRight, box.width());
    width = Width(font, shown);
  }
  double x = box.left();
  if (alignment & Qt::AlignRight) x = box.right() - width;
  if (alignment & Qt::AlignHCenter) x = box.left() + (box.width() - width) / 2;
  const double baseline = box.top() + (box.height() - entry.height) / 2 + entry.ascent;
  Add(font, color, QPointF(x, baseline), shown);
}

void PageText::Paint(QPainter& painter) {
  for (const Batch& batch : batches_) {
    QGlyphRun run;
    run.setRawFont(batch.font);
    run.setGlyphIndexes(batch.glyphs);
    run.setPositions(batch.positions);
    painter.setPen(batch.color);
    painter.drawGlyphRun(QPointF(0, 0), run);
  }
  batches_.clear();
}

}  // namespace trivo::pdf
