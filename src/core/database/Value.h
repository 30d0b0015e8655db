#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace lanereport {

// One field value of the score database: null, an integer, a double or a text. Booleans are
// stored as the integers 1 and 0.
class Value {
 public:
  Value() = default;
  Value(std::nullptr_t) {}
  Value(int v) : data_(static_cast<std::int64_t>(v)) {}
  Value(long v) : data_(static_cast<std::int64_t>(v)) {}
  Value(long long v) : data_(static_cast<std::int64_t>(v)) {}
  Value(bool v) : data_(static_cast<std::int64_t>(v ? 1 : 0)) {}
  Value(double v) : data_(v) {}
  Value(const char* v) : data_(std::string(v)) {}
  Value(std::string v) : data_(std::move(v)) {}
  Value(std::string_view v) : data_(std::string(v)) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(data_); }
  bool IsInteger() const { return std::holds_alternative<std::int64_t>(data_); }
  bool IsDouble() const { return std::holds_alternative<double>(data_); }
  bool IsText() const { return std::holds_alternative<std::string>(data_); }

  // The value as a number when it is one or is a text that reads as one.
  std::optional<double> Number() const;
  // The value as text: "" for null, decimal digits for numbers.
  std::string Text() const;
  // A whole number: integers as they are, doubles rounded half to even as the engine does,
  // texts that read as numbers likewise; 0 for anything else.
  std::int64_t ToInt() const;

  const std::int64_t* IntegerIf() const { return std::get_if<std::int64_t>(&data_); }
  const double* DoubleIf() const { return std::get_if<double>(&data_); }
  const std::string* TextIf() const { return std::get_if<std::string>(&data_); }

  bool operator==(const Value& other) const = default;

 private:
  std::variant<std::monostate, std::int64_t, double, std::string> data_;
};

}  // namespace lanereport
