#include "presentation/info_tip.h"

#include <cmath>

#include "metadata/tif_reader.h"
#include "platform/code_page.h"
#include "platform/file_path.h"
#include "platform/files.h"
#include "platform/locks.h"
#include "platform/regional.h"
#include "platform/text.h"
#include "presentation/tag_dictionary.h"
#include "presentation/value_formatters.h"

namespace morvane {

namespace {

// The tags the info tip reads: only their values are loaded. DNGLensInfo (50736) is among them
// so that a DNG shows its real lens range rather than a range of zeros.
constexpr int kInfoTipTags[] = {34665, 271,   272,   306,   36867, 36868, 37378, 37383,
                                33437, 33434, 37386, 37500, 34855, 37385, 50736};

struct TSummaryItem {
  int Tag;
  const char* Label;
  const char* ShortPrefix;
};

constexpr TSummaryItem kFormattedItems[] = {
    {37386, "Focal Length: ", ""},
    {33437, "F-Number: ", ""},
    {33434, "Exposure Time: ", ""},
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

  if (const TTifTag* date = tif.FindTag(306, ikAll))
    Append(text, separator, std::string(with_labels ? "Date: " : "") + date->GetValue().AsText().substr(0, 10));
  for (const TSummaryItem& item : kFormattedItems) {
    bool present = false;
    const std::string value = FormattedTag(tif, item.Tag, present);
    if (present) Append(text, separator, (with_labels ? item.Label : item.ShortPrefix) + value);
  }
  const std::string iso = tif.GetISO();
  if (!iso.empty()) Append(text, separator, (with_labels ? "ISO: " : "ISO-") + iso);
  bool flash_present = false;
  const std::string flash = FormattedTag(tif, 37385, flash_present);
  if (flash_present) Append(text, separator, (with_labels ? "Flash: " : "Flash-") + flash);
  return text;
}

void AppendInfoTipMetadata(TTif& tif, TStream* stream, std::string& text) {
  TTifTags filter;
  for (int tag : kInfoTipTags) filter.Add()->TagNumber = tag;
  tif.TagFilter = &filter;
  tif.FullDng = false;
  try {
    if (stream != nullptr)
      tif.Open(*stream, true, false);
    else
      tif.Open(true, false);
    if (tif.HasIFDs()) {
      text += GetSummary(tif, "\r\n", true);
      const std::string lens = tif.GetLensInfo();
      if (!lens.empty()) text += "\r\nLens information: " + lens;
    } else {
      text += "no exif available";
    }
  } catch (...) {
    tif.TagFilter = nullptr;
    throw;
  }
  tif.TagFilter = nullptr;
}

std::string ComposeInfoTip(const std::string& path) {
  TLockGuard guard(RequestLock());
  std::string text;
  try {
    TTif tif;
    tif.FileName = SidecarFileName(path);
    AppendInfoTipMetadata(tif, nullptr, text);
    text += "\r\n\r\n";
    std::string type = UpperCase(Utf16ToAnsi(PathToUtf16(ExtractFileExt(path))));
    std::erase(type, '.');
    text += "Type: " + type + " file\r\n";
    text += "Size: " + FormatFileSize(0, true, static_cast<int64_t>(FileSizeOf(path)));
  } catch (const std::exception&) {
    // The text composed so far is the tip.
  }
  return text;
}

uint64_t FileSizeOf(const std::string& file_name) { return GetFileSize(file_name).value_or(0); }

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
