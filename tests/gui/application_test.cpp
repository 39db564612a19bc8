#include <QTest>
#include <stdexcept>

#include "common/error.h"
#include "common/strings.h"
#include "trivo_application.h"

using trivo::gui::TrivoApplication;

namespace {

// An object whose event handler fails as a core routine does.
class FailingObject : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User)
      throw trivo::Error(
          "Datei x kann nicht ge\xF6"
          "ffnet werden. ");
    return QObject::event(event);
  }
};

}  // namespace

class ApplicationTest : public QObject {
  Q_OBJECT

 private slots:
  void showsAnEscapedErrorAndGoesOn() {
    auto* app = static_cast<TrivoApplication*>(QCoreApplication::instance());
    QStringList shown;
    app->SetErrorDisplay([&shown](const QString& text) { shown << text; });
    FailingObject failing;

    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::processEvents();

    QCOMPARE(shown, QStringList({QStringLiteral("Datei x kann nicht geöffnet werden. "),
                                 QStringLiteral("Datei x kann nicht geöffnet werden. ")}));
    app->SetErrorDisplay({});
  }

  // The application object takes the C library's locale from the environment, here a
  // German one; numbers in PTF files are still written and read with a decimal point.
  void keepsThePointInNumbers() {
    QCOMPARE(trivo::FloatToStr(1.5), std::string("1.5"));
    QCOMPARE(trivo::StrToFloat("2.25"), 2.25);
  }
};

int main(int argc, char** argv) {
  // A German user's environment (takes effect where the de_DE locale is installed).
  qputenv("LC_ALL", "de_DE.UTF-8");
  TrivoApplication app(argc, argv);
  ApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
