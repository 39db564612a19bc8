#pragma once

#include <cstddef>
#include <vector>

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QString>

class QPainter;

namespace trivo::pdf {

// The texts of one page, collected as placed glyphs and drawn together as one glyph run
// per font and colour. Qt's PDF writer repeats the colour and graphics state for every
// text it draws, so a page of a few hundred short texts becomes a handful of text
// objects instead; and a text is laid out once for all the pages painted through the
// same object (up to 2,000 texts per font are kept), not once per drawing.
class PageText {
 public:
  // The fonts the texts are added in, referred to by their position in the list.
  explicit PageText(std::vector<QFont> fonts);

  // Places the glyphs of texts in `font` on whole points. Qt's PDF writer spells out
  // every glyph's position, a whole number in two or three characters and any other in
  // ten, so for the many digits of a timetable this makes the page a third smaller and
  // quicker to write and compress. Suits fonts whose glyphs stand in columns anyway
  // (digits of equal widths), not running text.
  void SnapToWholePoints(std::size_t font);

  // The advance of `text` in font `font`.
  double Width(std::size_t font, const QString& text);

  // `text` with the start of its baseline at `origin`.
  void Add(std::size_t font, const QColor& color, QPointF origin, const QString& text);

  // `text` on one line in `box`: at its left or right edge or centred as `alignment`
  // says, centred vertically; a text wider than the box is cut short with "...".
  void Add(std::size_t font, const QColor& color, const QRectF& box, Qt::Alignment alignment,
           const QString& text);

  // Draws what was added, in the painter's coordinates, and forgets it.
  void Paint(QPainter& painter);

 private:
  // Glyphs of one font, positioned from the start of the baseline.
  struct GlyphPiece {
    QRawFont font;
    QList<quint32> glyphs;
    QList<QPointF> positions;
  };
  struct LaidOut {
    std::vector<GlyphPiece> pieces;
    double width = 0;
  };
  struct Font {
    QFont font;
    double ascent = 0;
    double height = 0;
    bool snapped = false;
    QHash<QString, LaidOut> texts;
  };
  struct Batch {
    QRawFont font;
    QColor color;
    QList<quint32> glyphs;
    QList<QPointF> positions;
  };

  const LaidOut& LayOut(std::size_t font, const QString& text);

  std::vector<Font> fonts_;
  std::vector<Batch> batches_;
};

}  // namespace trivo::pdf
