#include "cp1252_validator.h"

#include "text_codec.h"

namespace trivo::gui {

QValidator::State Cp1252Validator::validate(QString& input, int& /*pos*/) const {
  if (TryToCp1252(input)) return Acceptable;
  if (onRefused_) onRefused_();
  return Invalid;
}

}  // namespace trivo::gui
