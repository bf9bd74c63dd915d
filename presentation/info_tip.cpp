#include "presentation/info_tip.h"

#include <cmath>
#include <exception>

#include "metadata/tag_numbers.h"
#include "metadata/tif_reader.h"
#include "platform/regional.h"
#include "platform/text.h"
#include "presentation/tag_dictionary.h"
#include "presentation/tag_queries.h"
#include "presentation/value_formatters.h"

namespace morvane {

namespace {

// The tags the info tip reads: only their values are loaded. The DNG lens range is among them
// so that a DNG shows its real lens range rather than a range of zeros.
constexpr int kInfoTipTags[] = {
    kTagExifPointer,     kTagMake,          kTagModel,       kTagDateTime,
    kTagDateTimeOriginal, kTagDateTimeDigitized, kTagApertureValue, kTagMeteringMode,
    kTagFNumber,         kTagExposureTime,  kTagFocalLength, kTagMakerNote,
    kTagISOSpeedRatings, kTagFlash,         kTagDngLensInfo,
};

struct TSummaryItem {
  int Tag;
  const char* Label;
  const char* ShortPrefix;
};

constexpr TSummaryItem kFormattedItems[] = {
    {kTagFocalLength, "Focal Length: ", ""},
    {kTagFNumber, "F-Number: ", ""},
    {kTagExposureTime, "Exposure Time: ", ""},
};

void Append(std::string& text, const std::string& separator, const std::string& item) {
  if (!text.empty()) text += separator;
  text += item;
}

std::string FormattedTag(const TTif& tif, int tag_number, bool& present) {
  const TTifTag* tag = tif.FindTag(tag_number, ikAll);
  const auto entry = tag != nullptr ? FindMainTagEntry(tag_number) : std::nullopt;
  present = entry.has_value();
  return present ? FormatTagValue(*tag, *entry) : std::string();
}

}  // namespace

std::string GetSummary(TTif& tif, const std::string& separator, bool with_labels) {
  std::string text = Trim(tif.GetMake());
  if (!text.empty()) text += "-";
  text += Trim(tif.GetModel());

  if (const TTifTag* date = tif.FindTag(kTagDateTime, ikAll))
    Append(text, separator, std::string(with_labels ? "Date: " : "") + date->GetValue().AsText().substr(0, 10));
  for (const TSummaryItem& item : kFormattedItems) {
    bool present = false;
    const std::string value = FormattedTag(tif, item.Tag, present);
    if (present) Append(text, separator, (with_labels ? item.Label : item.ShortPrefix) + value);
  }
  const std::string iso = GetISO(tif);
  if (!iso.empty()) Append(text, separator, (with_labels ? "ISO: " : "ISO-") + iso);
  bool flash_present = false;
  const std::string flash = FormattedTag(tif, kTagFlash, flash_present);
  if (flash_present) Append(text, separator, (with_labels ? "Flash: " : "Flash-") + flash);
  return text;
}

std::span<const int> InfoTipTags() { return kInfoTipTags; }

std::string InfoTipText(TTif& tif, const std::string& type, uint64_t file_size) {
  std::string text;
  try {
    if (tif.HasIFDs()) {
      text = GetSummary(tif, "\r\n", true);
      const std::string lens = GetLensInfo(tif);
      if (!lens.empty()) text += "\r\nLens information: " + lens;
    } else {
      text = "no exif available";
    }
    text += "\r\n\r\n";
    text += "Type: " + type + " file\r\n";
    text += "Size: " + FormatFileSize(0, true, static_cast<int64_t>(file_size));
  } catch (const std::exception&) {
    // The text composed so far is the tip.
  }
  return text;
}

std::string FormatFileSize(int unit_index, bool show_unit, int64_t size) {
  static const char* const kUnitNames[] = {"", "", "KB", "MB", "GB"};
  if (unit_index < 1 || unit_index > 4) {
    if (size > 1073741824)
      unit_index = 4;
    else if (size > 1048576)
      unit_index = 3;
    else if (size > 1024)
      unit_index = 2;
    else
      unit_index = 1;
  }
  const double value = static_cast<double>(size) / std::pow(1024.0, unit_index - 1);
  // One decimal at most, ties away from zero, no trailing zero.
  const double tenths = std::round(std::fabs(value) * 10.0);
  const auto whole = static_cast<uint64_t>(tenths / 10.0);
  const int decimal = static_cast<int>(std::fmod(tenths, 10.0));
  const TRegionalSettings& regional = RegionalSettings();
  std::string digits = std::to_string(whole);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += regional.ThousandSeparator;
    grouped += digits[i];
  }
  std::string text = (value < 0 && tenths > 0 ? "-" : "") + grouped;
  if (decimal != 0) text += std::string(1, regional.DecimalSeparator) + std::to_string(decimal);
  if (show_unit && kUnitNames[unit_index][0] != '\0') text += std::string(" ") + kUnitNames[unit_index];
  return text;
}

}  // namespace morvane
