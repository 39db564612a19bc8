#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace trivo {

enum class FieldType { AutoInc, Integer, Smallint, String, Float, Boolean };

// One field value of a working table: null, an integer (AutoInc, Integer, Smallint),
// a float, a boolean or a text.
class Value {
 public:
  Value() = default;
  Value(std::int32_t v) : data_(v) {}
  Value(double v) : data_(v) {}
  Value(bool v) : data_(v) {}
  Value(std::string v) : data_(std::move(v)) {}
  Value(std::string_view v) : data_(std::string(v)) {}
  Value(const char* v) : data_(std::string(v)) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(data_); }
  bool IsInteger() const { return std::holds_alternative<std::int32_t>(data_); }
  bool IsFloat() const { return std::holds_alternative<double>(data_); }
  bool IsBoolean() const { return std::holds_alternative<bool>(data_); }
  bool IsText() const { return std::holds_alternative<std::string>(data_); }

  std::int32_t Integer() const { return std::get<std::int32_t>(data_); }
  double Float() const { return std::get<double>(data_); }
  bool Boolean() const { return std::get<bool>(data_); }
  const std::string& Text() const { return std::get<std::string>(data_); }

  friend bool operator==(const Value&, const Value&) = default;

 private:
  std::variant<std::monostate, std::int32_t, double, bool, std::string> data_;
};

}  // namespace trivo
