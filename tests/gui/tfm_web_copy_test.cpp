#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>
#include <QTableView>
#include <QTest>

#include "gui_test_support.h"
#include "string_grid_model.h"
#include "tfm_edit_time_table.h"
#include "web_copy_test_support.h"
#include "web_engine_setup.h"

using namespace trivo::gui;
using namespace trivo::gui::test;

namespace {

QString CellText(const TfmWebCopy& window, int col, int row) {
  const QAbstractItemModel* grid = window.sgWorkGrid->model();
  return grid->data(grid->index(row, col)).toString();
}

void SelectInView(TfmWebCopy& window, int left, int top, int right, int bottom) {
  const QAbstractItemModel* grid = window.sgWorkGrid->model();
  QItemSelectionModel* selection = window.sgWorkGrid->selectionModel();
  selection->setCurrentIndex(grid->index(top, left), QItemSelectionModel::ClearAndSelect);
  selection->select(QItemSelection(grid->index(top, left), grid->index(bottom, right)),
                    QItemSelectionModel::ClearAndSelect);
}

const char* const kPage =
    "<table><tr><td>Start</td><td>Rathaus</td></tr></table>"
    "<table><tr><th>Haltestelle</th><th>Fahrt 1</th></tr>"
    "<tr><td>Rathaus</td><td>08:15</td></tr><tr><td>M\xC3\xBChle</td><td>08:20</td></tr></table>";

}  // namespace

class TfmWebCopyTest : public QObject {
  Q_OBJECT

 private:
  GuiUserInterface ui;
  QStringList boxes;

 private slots:
  void init() {
    boxes.clear();
    ui.SetBoxHook([this](BoxKind kind, const QString& text) {
      boxes << DescribeBox(kind, text);
      return trivo::Answer::Yes;
    });
    QGuiApplication::clipboard()->clear();
  }

  void windowShowsItsElements() {
    TfmWebCopy window(ui);
    QCOMPARE(window.windowTitle(), QStringLiteral("Fahrplan Kopier-Bereich"));
    QCOMPARE(window.size(), QSize(821, 721));
    QCOMPARE(window.PageControl1->currentWidget(), window.tsTableGrid);
    QCOMPARE(window.PageControl1->tabText(0), QStringLiteral("Website"));
    QCOMPARE(window.PageControl1->tabText(1), QStringLiteral("Tabellen-Kopie"));
    QCOMPARE(window.leURLLabel->text(), QStringLiteral("URL: "));
    QCOMPARE(window.btShowURL->text(), QStringLiteral("Website anzeigen"));
    QCOMPARE(window.btCopy->text(), QStringLiteral("HTML kopieren"));
    QCOMPARE(window.Panel6->width(), 24);
    QCOMPARE(window.Panel7->width(), 32);
    QCOMPARE(window.Button1->text(), QStringLiteral("HTML einfügen"));
    QCOMPARE(window.Button2->text(),
             QStringLiteral("Selektieren Bereich in Zwischenablage kopieren"));
    QCOMPARE(window.btAction->text(), QStringLiteral("Aktion ausführen"));
    QCOMPARE(window.cbActionArea->currentText(), QStringLiteral("Zeile"));
    QCOMPARE(window.cbActionArea->count(), 2);
    QCOMPARE(window.cbAction->currentText(), QStringLiteral("einfügen"));
    QCOMPARE(window.cbAction->itemText(2), QStringLiteral("löschen"));
    QVERIFY(window.wbWebCopy == nullptr);  // the browser comes with its tab

    QTableView& grid = *window.sgWorkGrid;
    QCOMPARE(grid.model()->columnCount(), 5);
    QCOMPARE(grid.model()->rowCount(), 5);
    QVERIFY(grid.horizontalHeader()->isHidden());
    QVERIFY(grid.verticalHeader()->isHidden());
    QCOMPARE(grid.columnWidth(0), 32);
    QCOMPARE(grid.rowHeight(0), 18);
    QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(grid.selectionMode(), QAbstractItemView::ContiguousSelection);
  }

  void pasteTakesTheBestTableFromTheClipboard() {
    TfmWebCopy window(ui);
    trivo::StringGrid editor(3, 4, 2, 2);
    editor.SetCell(1, 1, "Stationen");
    editor.SetCell(1, 2, "Rathaus");
    editor.SetCell(1, 3, "M\xFChle");  // Windows-1252
    window.SetEditorGrid([&editor]() -> const trivo::StringGrid& { return editor; });
    QGuiApplication::clipboard()->setText(QString::fromUtf8(kPage));
    window.Button1->click();
    QCOMPARE(window.sgWorkGrid->model()->rowCount(), 3);
    QCOMPARE(window.sgWorkGrid->model()->columnCount(), 2);
    QCOMPARE(CellText(window, 0, 2), QStringLiteral("Mühle"));
    QCOMPARE(CellText(window, 1, 1), QStringLiteral("08:15"));
    // Columns are widened to their texts.
    const QFontMetrics metrics = window.sgWorkGrid->fontMetrics();
    QVERIFY(window.sgWorkGrid->columnWidth(0) >
            metrics.horizontalAdvance(QStringLiteral("Haltestelle")));
    QCOMPARE(window.sgWorkGrid->columnWidth(1), window.model().ColWidths()[1]);
    QVERIFY(boxes.isEmpty());
  }

  void withoutAWinnerOrWithoutTextNothingChanges() {
    TfmWebCopy window(ui);
    QGuiApplication::clipboard()->setText(QString::fromUtf8(kPage));
    window.Button1->click();  // scored against the heading alone: no table mentions it
    QCOMPARE(window.sgWorkGrid->model()->rowCount(), 5);
    auto* image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(image);
    window.Button1->click();
    QCOMPARE(window.sgWorkGrid->model()->rowCount(), 5);
    QVERIFY(boxes.isEmpty());
  }

  void tooLargeTableIsReported() {
    TfmWebCopy window(ui);
    QString page = QStringLiteral("<table><tr><td>Stationen</td>");
    page += QStringLiteral("<td></td>").repeated(1001) + QStringLiteral("<tr>").repeated(1000);
    QGuiApplication::clipboard()->setText(page + QStringLiteral("</table>"));
    window.Button1->click();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes.first().startsWith(QStringLiteral("[Fehler] Die Tabelle ist zu groß")));
    QCOMPARE(window.sgWorkGrid->model()->columnCount(), 5);
  }

  void actionsShapeTheWorkGridAtTheCurrentCell() {
    TfmWebCopy window(ui);
    window.SetEditorGrid([]() -> const trivo::StringGrid& {
      static const trivo::StringGrid grid = StationsOfThePage();
      return grid;
    });
    QGuiApplication::clipboard()->setText(
        QStringLiteral("<table><tr><td>Rathaus</td><td>B</td><td>C</td></tr></table>"));
    window.Button1->click();
    SelectInView(window, 1, 0, 1, 0);
    window.cbActionArea->setCurrentText(QStringLiteral("Spalte"));
    window.cbAction->setCurrentText(QStringLiteral("duplizieren"));
    window.btAction->click();
    QCOMPARE(window.sgWorkGrid->model()->columnCount(), 4);
    QCOMPARE(CellText(window, 2, 0), QStringLiteral("B"));
    window.cbAction->setCurrentText(QStringLiteral("löschen"));
    window.cbActionArea->setCurrentText(QStringLiteral("Zeile"));
    window.btAction->click();
    QCOMPARE(window.sgWorkGrid->model()->rowCount(), 0);
    window.cbAction->setCurrentText(QStringLiteral("einfügen"));
    window.btAction->click();
    QCOMPARE(window.sgWorkGrid->model()->rowCount(), 1);
    QCOMPARE(CellText(window, 0, 0), QString());
  }

  void selectedBlockGoesToTheEditorsModelAndToTheClipboard() {
    TfmWebCopy window(ui);
    QString page = QStringLiteral("<table>");
    for (int row = 0; row < 5; ++row) {
      page += QStringLiteral("<tr>");
      for (int col = 0; col < 5; ++col) page += QStringLiteral("<td>%1%2</td>").arg(col).arg(row);
    }
    QGuiApplication::clipboard()->setText(page + QStringLiteral("Stationen</table>"));
    window.Button1->click();
    SelectInView(window, 1, 2, 2, 3);
    const trivo::WebCopy& model = window.model();
    QCOMPARE(model.Selection(), (trivo::GridRect{1, 2, 2, 3}));
    QCOMPARE(model.Col(), 1);
    QCOMPARE(model.Row(), 2);
    window.Button2->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("12\t22\n13\t23\n"));
  }

  void browserCopiesThePageWhoseTableIsPastedAndSelected() {
    TfmWebCopy window(ui);
    const trivo::StringGrid editor = StationsOfThePage();
    window.SetEditorGrid([&editor]() -> const trivo::StringGrid& { return editor; });
    window.ShowWithoutWaiting();
    if (!ShowWebsite(window, TimetablePageUrl())) {
      QSKIP("the embedded browser (Qt WebEngine) could not load a local page on this machine");
    }
    QVERIFY(CopyHtml(window));
    const QString html = QGuiApplication::clipboard()->text();
    QVERIFY2(html.startsWith(QStringLiteral("<body")), qPrintable(html.left(80)));
    QVERIFY(html.endsWith(QStringLiteral("</body>")));
    QVERIFY(html.contains(QStringLiteral("Müllerstraße")));

    window.PageControl1->setCurrentWidget(window.tsTableGrid);
    window.Button1->click();
    QVERIFY(boxes.isEmpty());
    QCOMPARE(window.sgWorkGrid->model()->rowCount(), 6);
    QCOMPARE(window.sgWorkGrid->model()->columnCount(), 4);
    QCOMPARE(CellText(window, 0, 0), QStringLiteral("Haltestelle"));
    QCOMPARE(CellText(window, 3, 5), QStringLiteral("06:24"));
    // The line break inside the cell is kept in the work grid and shown as a blank.
    QCOMPARE(window.model().sgWorkGrid.Cell(0, 4), std::string("M\xFCllerstra\xDF"
                                                               "e\n(Ersatzhalt)"));
    QCOMPARE(CellText(window, 0, 4), QStringLiteral("Müllerstraße (Ersatzhalt)"));

    // The trips of all stations, as the editor's paste takes them.
    SelectInView(window, 1, 1, 3, 5);
    QCOMPARE(window.model().Selection(), (trivo::GridRect{1, 1, 3, 5}));

    // The editor, on a new timetable of line 5, pastes the block at its first trip cell.
    QTemporaryDir dir;
    const auto write = [&dir](const char* name, const std::string& bytes) {
      QFile file(dir.filePath(QString::fromLatin1(name)));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    };
    write("line_stations.csv",
          "5=Hauptbahnhof,Rathaus,Marktplatz,M\xFCllerstra\xDF"
          "e,Zoo\r\n");
    write("station_lines.csv", "");
    trivo::Context ctx(ui);
    ctx.ProjectDir = dir.path().toStdString();
    TfmEditTimeTable timetableEditor(ctx, ui);
    timetableEditor.model().cbLines.Assign({"5"});
    timetableEditor.model().cbDays.Assign({"Mo-Fr"});
    timetableEditor.workGridSelection = [&window] {
      return TfmEditTimeTable::WorkGridSelection{&window.model().sgWorkGrid,
                                                 *window.model().Selection()};
    };
    timetableEditor.btTimeTableEdit->click();
    timetableEditor.sbPaste->click();
    const trivo::StringGrid& timetable = timetableEditor.model().sgTimeTable();
    QCOMPARE(timetable.Cell(1, 5), std::string("M\xFCllerstra\xDF"
                                               "e"));
    QCOMPARE(timetable.Cell(2, 2), std::string("05:12"));
    QCOMPARE(timetable.Cell(4, 6), std::string("06:24"));
    QCOMPARE((timetableEditor.model().Current()), (trivo::CellPos{5, 2}));
    QVERIFY(timetableEditor.btSave->isVisibleTo(&timetableEditor));
  }

  void documentWithoutBodyCopiesNothing() {
    TfmWebCopy window(ui);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QVERIFY(!CopyHtml(window));  // no document yet
    if (!ShowWebsite(window, QStringLiteral("data:image/svg+xml,<svg "
                                            "xmlns='http://www.w3.org/2000/svg'/>"))) {
      QSKIP("the embedded browser (Qt WebEngine) could not load a page on this machine");
    }
    QVERIFY(!CopyHtml(window));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
  }
};

// Qt WebEngine needs its switches before the application object exists.
int main(int argc, char** argv) {
  PrepareWebEngine();
  QApplication app(argc, argv);
  TfmWebCopyTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "tfm_web_copy_test.moc"
