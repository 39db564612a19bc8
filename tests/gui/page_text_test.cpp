#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <functional>

#include "page_text.h"

using trivo::pdf::PageText;

namespace {

QFont TestFont(int pixels) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixels);
  return font;
}

QImage Painted(const std::function<void(QPainter&)>& paint) {
  QImage image(600, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  paint(painter);
  return image;
}

// Pixels that differ by more than antialiasing noise.
int DifferentPixels(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 64) ++count;
    }
  }
  return count;
}

bool HasInk(const QImage& image, int fromX) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = fromX; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) return true;
    }
  }
  return false;
}

}  // namespace

class PageTextTest : public QObject {
  Q_OBJECT

 private slots:
  void drawsWhatThePainterWouldDraw_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("afterManyOtherTexts");
    QTest::newRow("left") << QStringLiteral("Am Schwanenteich") << int(Qt::AlignLeft) << false;
    QTest::newRow("right") << QStringLiteral("Stand: 10.12.2026") << int(Qt::AlignRight) << false;
    QTest::newRow("centred") << QStringLiteral("T1") << int(Qt::AlignHCenter) << false;
    QTest::newRow("umlauts and kerning")
        << QStringLiteral("Gärtnerei, Schöne Aussicht, Südfriedhof AV Ty") << int(Qt::AlignLeft)
        << false;
    // More texts than are kept: the store is emptied in between, the text comes out the
    // same.
    QTest::newRow("after many others")
        << QStringLiteral("Lindenstraße") << int(Qt::AlignRight) << true;
  }

  void drawsWhatThePainterWouldDraw() {
    QFETCH(QString, text);
    QFETCH(int, alignment);
    QFETCH(bool, afterManyOtherTexts);
    const QFont font = TestFont(16);
    const QRectF box(20, 10, 560, 30);
    PageText pageText({font});
    if (afterManyOtherTexts) {
      for (int i = 0; i < 2500; ++i) pageText.Width(0, QStringLiteral("Halt %1").arg(i));
    }
    const QImage ours = Painted([&](QPainter& painter) {
      pageText.Add(0, Qt::black, box, Qt::Alignment(alignment), text);
      pageText.Add(0, Qt::black, box, Qt::Alignment(alignment), text);  // again, from the store
      pageText.Paint(painter);
    });
    const QImage qts = Painted([&](QPainter& painter) {
      painter.setFont(font);
      painter.setPen(Qt::black);
      painter.drawText(box, alignment | Qt::AlignVCenter, text);
    });
    QVERIFY2(DifferentPixels(ours, qts) < 20,
             qPrintable(QString::number(DifferentPixels(ours, qts))));
    QVERIFY(HasInk(ours, 0));
  }

  void aTextTooWideForItsBoxIsCutShort() {
    const QFont font = TestFont(16);
    const QString text = QStringLiteral("Sehr lange Haltestellenbezeichnung am Ende der Linie");
    const QRectF box(20, 10, 200, 30);
    PageText pageText({font});
    QVERIFY(pageText.Width(0, text) > box.width());
    const QImage ours = Painted([&](QPainter& painter) {
      pageText.Add(0, Qt::black, box, Qt::AlignLeft, text);
      pageText.Paint(painter);
    });
    QVERIFY(HasInk(ours, 0));
    QVERIFY(!HasInk(ours, static_cast<int>(box.right()) + 1));
    const QImage qts = Painted([&](QPainter& painter) {
      painter.setFont(font);
      painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                       QFontMetricsF(font).elidedText(text, Qt::ElideRight, box.width()));
    });
    QVERIFY(DifferentPixels(ours, qts) < 20);
  }

  void snappedTextsHaveTheSameSpacingWhereverTheyStand() {
    PageText pageText({TestFont(12)});
    pageText.SnapToWholePoints(0);
    // The same minutes at two fractional places: the pictures are the same, moved by
    // whole pixels.
    const QImage first = Painted([&](QPainter& painter) {
      pageText.Add(0, Qt::black, QPointF(10.3, 30.2), QStringLiteral("05"));
      pageText.Paint(painter);
    });
    const QImage second = Painted([&](QPainter& painter) {
      pageText.Add(0, Qt::black, QPointF(110.6, 30.4), QStringLiteral("05"));
      pageText.Paint(painter);
    });
    QCOMPARE(first.copy(0, 0, 100, 60), second.copy(101, 0, 100, 60));
  }
};

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  PageTextTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "page_text_test.moc"
