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

  TrivoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

  void SetErrorDisplay(ErrorDisplay display) { errorDisplay_ = std::move(display); }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  ErrorDisplay errorDisplay_;
};

}  // namespace trivo::gui
