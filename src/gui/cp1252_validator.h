#pragma once

#include <QValidator>
#include <functional>

namespace trivo::gui {

// Accepts only texts that Windows-1252 can hold, so that what the user types reaches the
// project files unchanged. A refused input is not inserted and calls onRefused (the
// beep).
class Cp1252Validator : public QValidator {
 public:
  explicit Cp1252Validator(std::function<void()> onRefused, QObject* parent = nullptr)
      : QValidator(parent), onRefused_(std::move(onRefused)) {}

  State validate(QString& input, int& pos) const override;

 private:
  std::function<void()> onRefused_;
};

}  // namespace trivo::gui
