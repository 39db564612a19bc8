#pragma once

#include <QApplication>
#include <QString>
#include <functional>

namespace trivo::gui {

// The desktop program's application object. An error that escapes an event handler of
// any window ends only that handler: it is shown through the error display and the
// event loop goes on, as the platform's default error display does.
class TrivoApplication : public QApplication {
 public:
  using ErrorDisplay = std::function<void(const QString& text)>;

  // Qt takes the C library's locale from the environment; the number format stays the
  // C one, since the core writes and reads the numbers of its files with the C library
  // and a German locale would turn their decimal points into commas.
  TrivoApplication(int& argc, char** argv);

  void SetErrorDisplay(ErrorDisplay display) { errorDisplay_ = std::move(display); }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  ErrorDisplay errorDisplay_;
};

}  // namespace trivo::gui
