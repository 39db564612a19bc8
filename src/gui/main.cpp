#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Tavrin   PTF-Converter 1.0.1"));
  window.show();
  return app.exec();
}
