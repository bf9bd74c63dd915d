#include "presentation/value_formatters.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <exception>
#include <variant>
#include <vector>

#include "metadata/tif_tag.h"
#include "platform/byte_view.h"
#include "platform/errors.h"
#include "presentation/dictionary_lock.h"
#include "platform/regional.h"
#include "platform/text.h"
#include "metadata/comma_text.h"
#include "presentation/tag_tables.h"

namespace morvane {

namespace {

// ---- Numbers as the user reads them ----

// A fixed-point text with the regional decimal separator, independent of the C locale.
std::string FixedText(double value, int precision) {
  if (!std::isfinite(value)) throw EConvertError("Invalid floating point value");
  char buffer[400];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  if (ec != std::errc()) throw EConvertError("Invalid floating point value");
  std::string text(buffer, end);
  const char separator = RegionalSettings().DecimalSeparator;
  for (char& c : text)
    if (c == '.') c = separator;
  return text;
}

// Rounds to the nearest whole number, halves to even; fails outside the 64-bit range.
int64_t RoundHalfEven(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= -9.2e18 && rounded <= 9.2e18)) throw EConvertError("Invalid floating point value");
  return static_cast<int64_t>(rounded);
}

using TPatternArgument = std::variant<std::string, int64_t, double>;

// Fills a printf-style pattern with its one argument: "%s" takes a text, "%d" a whole number,
// "%f" a floating number; "-", a width and a precision may come between. A conversion that does
// not fit the argument, or a second one, fails: the dictionary's patterns are fixed, but a value
// of an unexpected type must not reach a conversion that cannot print it.
std::string FillPattern(std::string_view pattern, const TPatternArgument& argument) {
  std::string out;
  bool used = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      out += pattern[i];
      continue;
    }
    if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    size_t j = i + 1;
    const bool left = j < pattern.size() && pattern[j] == '-';
    if (left) ++j;
    int width = 0;
    while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && width < 100)
      width = width * 10 + (pattern[j++] - '0');
    int precision = -1;
    if (j < pattern.size() && pattern[j] == '.') {
      precision = 0;
      ++j;
      while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && precision < 100)
        precision = precision * 10 + (pattern[j++] - '0');
    }
    if (j >= pattern.size() || used) throw EConvertError("Format '" + std::string(pattern) + "' invalid");
    std::string piece;
    switch (pattern[j]) {
      case 's':
        if (!std::holds_alternative<std::string>(argument)) throw EConvertError("Format mismatch");
        piece = std::get<std::string>(argument);
        if (precision >= 0 && piece.size() > static_cast<size_t>(precision)) piece.resize(precision);
        break;
      case 'd':
        if (!std::holds_alternative<int64_t>(argument)) throw EConvertError("Format mismatch");
        piece = std::to_string(std::get<int64_t>(argument));
        break;
      case 'f':
        if (!std::holds_alternative<double>(argument)) throw EConvertError("Format mismatch");
        piece = FixedText(std::get<double>(argument), precision < 0 ? 2 : precision);
        break;
      default:
        throw EConvertError("Format '" + std::string(pattern) + "' invalid");
    }
    used = true;
    if (piece.size() < static_cast<size_t>(width)) {
      const std::string padding(static_cast<size_t>(width) - piece.size(), ' ');
      piece = left ? piece + padding : padding + piece;
    }
    out += piece;
    i = j;
  }
  return out;
}

// ---- Lists of numbers ----

// The parts of a value list as the multi-number formatters take them: the text before the first
// comma, then the rest cut to 64 characters. A missing comma gives an empty part and leaves the
// text for the next one.
class TListParts {
 public:
  explicit TListParts(std::string_view text) : rest_(text) {}
  std::string Next() {
    const size_t comma = rest_.find(',');
    if (comma == std::string::npos) return {};
    std::string part = rest_.substr(0, comma);
    rest_ = rest_.substr(comma + 1, 64);
    return part;
  }
  const std::string& Last() const { return rest_; }

 private:
  std::string rest_;
};

bool ReadWhole(std::string_view text, int64_t& value) {
  return !text.empty() && TryStrToInt64(text, value);
}

// The largest position a sub-table names; the items after it are never needed.
size_t ItemsNeeded(TTagDictionary sub_table) {
  size_t needed = 0;
  for (const TTagEntry& row : sub_table) needed = std::max<size_t>(needed, size_t{row.Tag} + 1);
  return needed;
}

}  // namespace

double ReadRational(std::string_view text) {
  std::string t = Trim(text);
  int64_t whole = 0;
  const size_t space = t.find(' ');
  if (space != std::string::npos) {
    if (!ReadWhole(std::string_view(t).substr(0, space), whole)) return 0;
    t = t.substr(space + 1);
  }
  std::string numerator_text;
  std::string denominator_text = t;
  const size_t slash = t.find('/');
  if (slash != std::string::npos) {
    numerator_text = t.substr(0, slash);
    denominator_text = t.substr(slash + 1);
  }
  int64_t numerator = 0;
  int64_t denominator = 1;
  if (!numerator_text.empty() && !ReadWhole(numerator_text, numerator)) return 0;
  if (!denominator_text.empty() && !ReadWhole(denominator_text, denominator)) return 0;
  if (denominator == 0) denominator = 1;
  const double d = static_cast<double>(denominator);
  return (static_cast<double>(whole) * d + static_cast<double>(numerator)) / d;
}

std::string FormatTagValue(const TTifTag& tag, const TTagEntry& entry) {
  TLockGuard guard(DictionaryLock());
  std::string result;
  try {
    const TValue value = tag.GetValue();
    result = value.AsText();
    if (entry.Formatter != nullptr) result = entry.Formatter(result);
    if (!entry.Enumeration.empty() || entry.FormatString.empty()) {
      result = EnumerationText(result, entry.Enumeration);
      return result;
    }
    const std::string_view pattern = entry.FormatString;
    if (pattern.find("%s") != std::string_view::npos) {
      result = FillPattern(pattern, value.AsText());
    } else if (pattern.find("%d") != std::string_view::npos && value.IsNumber()) {
      result = FillPattern(pattern, value.IsInteger() ? value.Integer() : RoundHalfEven(value.Float()));
    } else if (value.IsNumber()) {
      result = FillPattern(pattern, value.AsFloat());
    } else if (value.IsText()) {
      result = value.Text();
    }
  } catch (const std::exception&) {
    // A value that cannot be shown the row's way shows what was made of it so far.
  }
  return result;
}

std::string FormatLensRange(const std::string& value_text) {
  TListParts parts(value_text);
  const double shortest = ReadRational(parts.Next());
  const double longest = ReadRational(parts.Next());
  const double short_aperture = ReadRational(parts.Next());
  const double long_aperture = ReadRational(parts.Last());
  return FixedText(shortest, 0) + "-" + FixedText(longest, 0) + " mm  F" +
         FixedText(short_aperture, 1) + "-F" + FixedText(long_aperture, 1);
}

std::string FormatColorMode(const std::string& value_text) {
  const std::string mode = Trim(value_text);
  if (mode == "MODE1") return "Mode1 (sRGB)";
  if (mode == "MODE2") return "Mode 2 (Adobe RGB)";
  if (mode == "MODE3") return "Mode 3 (sRGB): higher saturation";
  return mode;
}

std::string FormatNothing(const std::string&) { return {}; }

std::string FormatGpsVersion(const std::string& value_text) {
  std::string version = value_text;
  std::replace(version.begin(), version.end(), ',', '.');
  return version;
}

std::string FormatGpsCoordinate(const std::string& value_text) {
  TListParts parts(value_text);
  const double degrees = ReadRational(parts.Next());
  double minutes = ReadRational(parts.Next());
  double seconds = ReadRational(parts.Last());
  if (seconds == 0) {
    // Minutes with a fraction (22.34): the fraction becomes the seconds.
    const double whole_minutes = std::trunc(minutes);
    seconds = (minutes - whole_minutes) * 100 * 0.6;
    minutes = whole_minutes;
  }
  const double decimal = degrees + (minutes + seconds / 60) / 60;
  return FixedText(degrees, 0) + " degrees " + FixedText(minutes, 0) + " mins " +
         FixedText(seconds, 0) + " secs (" + FixedText(decimal, 4) + ")";
}

std::string FormatGpsTime(const std::string& value_text) {
  TListParts parts(value_text);
  const double hours = ReadRational(parts.Next());
  const double minutes = ReadRational(parts.Next());
  const double seconds = ReadRational(parts.Last());
  auto two_digits = [](double part) {
    std::string text = FixedText(std::trunc(part), 0);
    if (text == "-0") text = "0";
    if (text.size() < 2) text.insert(0, 2 - text.size(), '0');
    return text;
  };
  return two_digits(hours) + ":" + two_digits(minutes) + ":" + two_digits(seconds);
}

std::string FormatComponents(const std::string& value_text) {
  static constexpr const char* kLetters[] = {"", "Y", "Cb", "Cr", "R", "G", "B"};
  std::string out;
  for (size_t i = 0; i < value_text.size() && i < 4; ++i) {
    const auto code = static_cast<unsigned char>(value_text[i]);
    if (code >= 1 && code <= 6) out += kLetters[code];
  }
  return out;
}

std::string FormatUserComment(const std::string& value_text) {
  return value_text.size() > 8 ? value_text.substr(8) : std::string();
}

std::string FormatShutterSpeed(const std::string& value_text) {
  const double apex = ReadRational(value_text);
  const double seconds = 1 / std::pow(2.0, apex);
  std::string out = FixedText(seconds, 4) + " sec";
  if (seconds <= 0.5) out += " (1/" + std::to_string(RoundHalfEven(1 / seconds)) + ")";
  return out;
}

std::string FormatPresence(const std::string& value_text) {
  return value_text.empty() ? "No" : "Yes";
}

std::string FormatPrivateData(const std::string& value_text) {
  if (value_text.empty()) return "No";
  // The data opens with the zero-terminated name of the software that wrote it.
  std::string name;
  bool terminated = false;
  size_t start = 0;
  while (start <= value_text.size()) {
    size_t comma = value_text.find(',', start);
    if (comma == std::string::npos) comma = value_text.size();
    const int32_t code = StrToInt(std::string_view(value_text).substr(start, comma - start));
    if ((code & 0xFF) == 0) {
      terminated = true;
      break;
    }
    name += static_cast<char>(code & 0xFF);
    start = comma + 1;
  }
  if (!terminated || name.empty()) return "Yes";
  return "Yes (" + name + ")";
}

std::string ExpandSubTable(const std::string& value_text, TTagDictionary sub_table,
                           TCommaTextWork* work) {
  TLockGuard guard(DictionaryLock());
  const std::vector<std::string> items = ReadCommaText(value_text, ItemsNeeded(sub_table), work);
  std::string result;
  for (const TTagEntry& row : sub_table) {
    if (row.Tag >= items.size()) continue;
    try {
      TTifTag setting;
      setting.TagNumber = row.Tag;
      setting.DataFormat = tdfAsciiString;
      setting.SetValue(items[row.Tag]);
      const std::string text = FormatTagValue(setting, row);
      if (!result.empty()) result += ',';
      result += '"';
      result += row.Label();
      result += " = ";
      result += text;
      result += '"';
    } catch (const std::exception&) {
      // A setting that cannot be shown is left out.
    }
  }
  return std::string(kInlineMarker) + result;
}

std::string ExpandMinoltaSettings(const std::string& value_text) {
  // The block holds big-endian 32-bit settings, position n in bytes 4n to 4n+3. Only whole
  // groups are settings: a short group at the end is left out.
  const size_t needed = ItemsNeeded(MinoltaCameraSettings);
  std::string list;
  const TByteView block(value_text);
  for (size_t count = 0; count < needed; ++count) {
    const auto setting = block.BE32(4 * count);
    if (!setting) break;
    list += std::to_string(*setting);
    list += ',';
  }
  return ExpandSubTable(list, MinoltaCameraSettings);
}

}  // namespace morvane
