#include "shellext/photo_properties.h"

#include <cmath>
#include <limits>

#include "metadata/tag_numbers.h"
#include "metadata/tif_reader.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "presentation/image_dimensions.h"
#include "presentation/info_tip.h"
#include "presentation/tag_queries.h"
#include "shellext/request_lock.h"

namespace morvane {

namespace {


std::optional<int64_t> IntegerText(std::string_view text) {
  int64_t number = 0;
  if (text.empty() || !TryStrToInt64(Trim(text), number)) return std::nullopt;
  return number;
}

// A tag's single value as a number: numbers as they are, texts of a whole number or of a
// fraction "n/d" (short values and special rationals arrive as text).
std::optional<double> NumberOf(const TTif& tif, int tag_number) {
  const TTifTag* tag = tif.FindTag(tag_number, ikAll);
  if (tag == nullptr) return std::nullopt;
  const TValue value = tag->GetValue();
  if (value.IsNumber()) return value.AsFloat();
  if (!value.IsText()) return std::nullopt;
  const std::string& text = value.Text();
  const size_t slash = text.find('/');
  if (slash == std::string::npos) {
    const auto whole = IntegerText(text);
    return whole ? std::optional<double>(static_cast<double>(*whole)) : std::nullopt;
  }
  const auto numerator = IntegerText(std::string_view(text).substr(0, slash));
  const auto denominator = IntegerText(std::string_view(text).substr(slash + 1));
  if (!numerator || !denominator || *denominator == 0) return std::nullopt;
  return static_cast<double>(*numerator) / static_cast<double>(*denominator);
}

std::optional<double> PositiveFloat(const TTif& tif, int tag_number) {
  const auto number = NumberOf(tif, tag_number);
  if (!number || !std::isfinite(*number) || *number <= 0) return std::nullopt;
  return number;
}

template <class T>
std::optional<T> WholeNumber(std::optional<int64_t> number, int64_t low) {
  if (!number || *number < low || *number > std::numeric_limits<T>::max()) return std::nullopt;
  return static_cast<T>(*number);
}

std::optional<int64_t> IntegerOf(const TTif& tif, int tag_number) {
  const auto number = NumberOf(tif, tag_number);
  if (!number || *number != std::floor(*number) || std::fabs(*number) > 1e15) return std::nullopt;
  return static_cast<int64_t>(*number);
}

std::string TextOf(const TTif& tif, int tag_number) {
  const TTifTag* tag = tif.FindTag(tag_number, ikAll);
  if (tag == nullptr) return {};
  const TValue value = tag->GetValue();
  return value.IsText() ? Trim(value.Text()) : std::string();
}

// "yyyy:mm:dd hh:nn:ss", as the camera wrote it; nothing for any other text or an impossible date.
std::optional<TDateTime> ExifDateTime(std::string_view text) {
  if (text.size() < 19) return std::nullopt;
  const auto field = [&](size_t at, size_t length) { return IntegerText(text.substr(at, length)); };
  if (text[4] != ':' || text[7] != ':' || text[10] != ' ' || text[13] != ':' || text[16] != ':') return std::nullopt;
  const auto year = field(0, 4), month = field(5, 2), day = field(8, 2);
  const auto hour = field(11, 2), minute = field(14, 2), second = field(17, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  if (*year < 1601 || *month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour < 0 || *hour > 23 ||
      *minute < 0 || *minute > 59 || *second < 0 || *second > 59)
    return std::nullopt;
  return TDateTime{*year, static_cast<int>(*month), static_cast<int>(*day),
                   static_cast<int>(*hour), static_cast<int>(*minute), static_cast<int>(*second)};
}

}  // namespace

TPhotoProperties ReadPhotoProperties(TStream& stream, const std::string& type_name) {
  TLockGuard guard(RequestLock());
  TTifTags filter;
  for (int tag : InfoTipTags()) filter.Add()->TagNumber = tag;
  for (int tag : {kTagOrientation, kTagDateTime, kTagDateTimeOriginal, kTagFlash}) filter.Add()->TagNumber = tag;
  TTif tif;
  tif.TagFilter = &filter;
  tif.FileName = type_name;
  tif.FullDng = false;
  if (!tif.Open(stream, true, false)) throw EMorvaneError("The stream holds no readable image");

  TPhotoProperties properties;
  properties.CameraMaker = TextOf(tif, kTagMake);
  properties.CameraModel = TextOf(tif, kTagModel);
  properties.LensModel = Trim(GetLensInfo(tif));
  properties.DateTaken = ExifDateTime(TextOf(tif, kTagDateTimeOriginal));
  if (!properties.DateTaken) properties.DateTaken = ExifDateTime(TextOf(tif, kTagDateTime));
  properties.FNumber = PositiveFloat(tif, kTagFNumber);
  properties.ExposureTime = PositiveFloat(tif, kTagExposureTime);
  properties.FocalLength = PositiveFloat(tif, kTagFocalLength);
  properties.ISOSpeed = WholeNumber<uint16_t>(IntegerText(GetISO(tif)), 1);
  properties.Flash = WholeNumber<uint8_t>(IntegerOf(tif, kTagFlash), 0);
  properties.Orientation = WholeNumber<uint16_t>(IntegerOf(tif, kTagOrientation), 1);
  if (properties.Orientation && *properties.Orientation > 8) properties.Orientation.reset();
  const std::string dimensions = ComputeImgDimensions(tif);
  if (const size_t x = dimensions.find('x'); x != std::string::npos) {
    properties.Width = WholeNumber<uint32_t>(IntegerText(std::string_view(dimensions).substr(0, x)), 1);
    properties.Height = WholeNumber<uint32_t>(IntegerText(std::string_view(dimensions).substr(x + 1)), 1);
    if (!properties.Width || !properties.Height) {
      properties.Width.reset();
      properties.Height.reset();
    }
  }
  return properties;
}

}  // namespace morvane
