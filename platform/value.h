// The typed value of a tag: empty, a whole number, a floating number or a text. Its "value text"
// is what every display path starts from: texts as they are, whole numbers in decimal, floating
// numbers in the general form with up to 15 significant digits and the regional decimal separator.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace morvane {

class TValue {
 public:
  TValue() = default;
  TValue(int64_t number) : value_(number) {}           // NOLINT(google-explicit-constructor)
  TValue(int number) : value_(int64_t{number}) {}      // NOLINT(google-explicit-constructor)
  TValue(uint32_t number) : value_(int64_t{number}) {} // NOLINT(google-explicit-constructor)
  TValue(double number) : value_(number) {}            // NOLINT(google-explicit-constructor)
  TValue(std::string text) : value_(std::move(text)) {}  // NOLINT(google-explicit-constructor)
  TValue(const char* text) : value_(std::string(text)) {}  // NOLINT(google-explicit-constructor)

  bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsInteger() const { return std::holds_alternative<int64_t>(value_); }
  bool IsFloat() const { return std::holds_alternative<double>(value_); }
  bool IsNumber() const { return IsInteger() || IsFloat(); }
  bool IsText() const { return std::holds_alternative<std::string>(value_); }

  // The value text; empty for an empty value.
  std::string AsText() const;
  // A whole number: numbers as they are (floats rounded half to even), texts by StrToInt64.
  // Throws EConvertError for a text that is not a whole number.
  int64_t AsInteger() const;
  // A floating number; texts are read with the regional decimal separator.
  // Throws EConvertError for a text that is not a number.
  double AsFloat() const;

  const std::string& Text() const { return std::get<std::string>(value_); }
  int64_t Integer() const { return std::get<int64_t>(value_); }
  double Float() const { return std::get<double>(value_); }

 private:
  std::variant<std::monostate, int64_t, double, std::string> value_;
};

// The general text form of a floating number: up to 15 significant digits, no trailing zeros,
// the regional decimal separator, an exponent ("1E20", "1E-7") only where plain digits will not do.
std::string FloatToText(double number);

}  // namespace morvane
