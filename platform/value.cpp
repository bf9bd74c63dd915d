#include "platform/value.h"

#include <cmath>
#include <cstdio>

#include "platform/errors.h"
#include "platform/regional.h"
#include "platform/text.h"

namespace morvane {

std::string FloatToText(double number) {
  if (std::isnan(number)) return "NAN";
  if (std::isinf(number)) return number > 0 ? "INF" : "-INF";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", number);
  std::string text = buffer;
  // "1.5E+20" -> "1.5E20", "1E-05" -> "1E-5".
  const auto e = text.find('E');
  if (e != std::string::npos) {
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1);
    bool negative = false;
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
      negative = exponent[0] == '-';
      exponent.erase(0, 1);
    }
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    text = mantissa + "E" + (negative ? "-" : "") + exponent;
  }
  const char separator = RegionalSettings().DecimalSeparator;
  for (char& c : text)
    if (c == '.') c = separator;
  return text;
}

std::string TValue::AsText() const {
  if (IsInteger()) return std::to_string(Integer());
  if (IsFloat()) return FloatToText(Float());
  if (IsText()) return Text();
  return {};
}

int64_t TValue::AsInteger() const {
  if (IsInteger()) return Integer();
  if (IsFloat()) {
    const double rounded = std::nearbyint(Float());  // the default rounding mode: halves to even
    if (!(rounded >= -9.2e18 && rounded <= 9.2e18)) throw EConvertError("Invalid floating point value");
    return static_cast<int64_t>(rounded);
  }
  if (IsText()) return StrToInt64(Text());
  return 0;
}

double TValue::AsFloat() const {
  if (IsInteger()) return static_cast<double>(Integer());
  if (IsFloat()) return Float();
  if (IsText()) return StrToFloat(Text());
  return 0.0;
}

}  // namespace morvane
