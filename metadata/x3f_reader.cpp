// The X3F reader: the header's image size and rotation and, for files of header version 2.1 and
// later, the property list of the property section mapped onto EXIF tags (with the whole list
// kept as the IPTC caption). A JPEG image section becomes the thumbnail stream of IFD0, unchanged.
// Every count and offset read from the file is checked against the bytes that exist, and the
// work of the section walk is bounded by a budget in proportion to the file's size.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "metadata/tag_numbers.h"
#include "metadata/tif_reader.h"
#include "platform/byte_view.h"
#include "platform/date_time.h"
#include "platform/errors.h"
#include "platform/regional.h"
#include "platform/text.h"
#include "metadata/exif_date_time.h"

namespace morvane {

namespace {

constexpr std::string_view kFileSignature = "FOVb";
constexpr std::string_view kDirectorySignature = "SECd";
constexpr std::string_view kPropertySignature = "SECp";
constexpr int64_t kHeaderVersionOffset = 4;
constexpr int64_t kHeaderWidthOffset = 28;
constexpr int64_t kImageSectionHeaderSize = 12;
constexpr int64_t kJpegImageHeaderSize = 28;
constexpr uint32_t kImageFormatJpeg = 18;
constexpr uint32_t kImageFormatRaw = 3;
constexpr int kMinVersionTimesTen = 21;  // property sections are read from version 2.1 on


// An ordered list of "name=value" lines with case-insensitive name lookup: setting a present
// name replaces its line in place, setting an empty value removes the line. A line's name is
// its text before the first "=", so a name holding "=" is looked up by its first part.
class TPropertyList {
 public:
  void Set(const std::string& name, const std::string& value) {
    auto found = first_line_.find(UpperCase(name));
    const bool present = found != first_line_.end() && !found->second.empty();
    if (value.empty()) {
      if (present) {
        lines_[found->second.front()].reset();
        found->second.pop_front();
      }
      return;
    }
    const std::string line = name + "=" + value;
    if (present) {
      lines_[found->second.front()] = line;
      return;
    }
    first_line_[UpperCase(NameOf(line))].push_back(lines_.size());
    lines_.emplace_back(line);
  }

  template <class Visit>
  void ForEach(Visit visit) const {
    for (const auto& line : lines_)
      if (line) visit(NameOf(*line), ValueOf(*line));
  }

  // All lines in order, each followed by CR LF.
  std::string Text() const {
    std::string text;
    for (const auto& line : lines_)
      if (line) text += *line + "\r\n";
    return text;
  }

 private:
  static std::string NameOf(const std::string& line) { return line.substr(0, line.find('=')); }
  static std::string ValueOf(const std::string& line) {
    const size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(equals + 1);
  }

  std::vector<std::optional<std::string>> lines_;
  // The lines of each upper-case name, in order; lookups use the first.
  std::map<std::string, std::deque<size_t>> first_line_;
};

// A decimal number as the file writes it ("24.2", "50"; "." or the regional separator) read
// exactly, as numerator / 10^k; none when the text is no such number or its numerator does not
// fit 32 bits.
struct TDecimal {
  int64_t Numerator = 0;
  int64_t Denominator = 1;
};

std::optional<TDecimal> ReadDecimal(std::string_view text) {
  const std::string trimmed = Trim(text);
  const char regional = RegionalSettings().DecimalSeparator;
  const auto is_digit = [&](size_t at) { return trimmed[at] >= '0' && trimmed[at] <= '9'; };
  size_t i = 0;
  const bool negative = i < trimmed.size() && trimmed[i] == '-';
  if (negative) ++i;
  std::string digits;
  while (i < trimmed.size() && is_digit(i)) digits += trimmed[i++];
  if (digits.empty()) return std::nullopt;
  std::string fraction;
  if (i < trimmed.size() && (trimmed[i] == '.' || trimmed[i] == regional)) {
    ++i;
    while (i < trimmed.size() && is_digit(i)) fraction += trimmed[i++];
    if (fraction.empty()) return std::nullopt;
  }
  if (i != trimmed.size()) return std::nullopt;
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (fraction.size() > 9) return std::nullopt;
  TDecimal decimal;
  if (!TryStrToInt64(digits + fraction, decimal.Numerator) ||
      decimal.Numerator > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  if (negative) decimal.Numerator = -decimal.Numerator;
  for (size_t k = 0; k < fraction.size(); ++k) decimal.Denominator *= 10;
  return decimal;
}

// The value a rational tag is given for a decimal: the whole number, or the text "n/d".
TValue RationalValue(const TDecimal& decimal) {
  if (decimal.Denominator == 1) return TValue(decimal.Numerator);
  return TValue(std::to_string(decimal.Numerator) + "/" + std::to_string(decimal.Denominator));
}

class TX3FReader {
 public:
  TX3FReader(TTif& tif, TStream& stream)
      : tif_(tif), stream_(stream), budget_(4 * stream.Size() + (int64_t{1} << 20)) {}

  void Read() {
    tif_.ByteOrder = tboIntel;
    tif_.EnsureExifPointer();
    stream_.Seek(0);
    if (stream_.ReadString(kFileSignature.size()) != kFileSignature) return;
    stream_.Seek(kHeaderVersionOffset);
    // The version is V0 + V1 / 10, compared in tenths to stay exact.
    const uint32_t v0 = ReadWord(stream_, tboIntel);
    const uint32_t v1 = ReadWord(stream_, tboIntel);
    ReadHeaderSize();
    ReadRotation();
    if (int64_t{v0} * 10 + v1 >= kMinVersionTimesTen) ReadSectionDirectory();
  }

 private:
  TTifTag* FindOrAdd(int number, TTifIFD& directory, TTifTagDataFormat format) {
    if (TTifTag* tag = tif_.FindTag(number, ikAll)) return tag;
    TTifTag* tag = directory.Tags.Add();
    tag->TagNumber = number;
    tag->DataFormat = format;
    return tag;
  }
  TTifIFD& Ifd0() { return *tif_.IFDs[0]; }

  void ReadHeaderSize() {
    stream_.Seek(kHeaderWidthOffset);
    const uint32_t width = ReadDWord(stream_, tboIntel);
    FindOrAdd(kTagImageWidth, Ifd0(), tdfUnsignedShort)->SetValue(TValue(width));
    const uint32_t height = ReadDWord(stream_, tboIntel);
    FindOrAdd(kTagImageLength, Ifd0(), tdfUnsignedShort)->SetValue(TValue(height));
  }

  void ReadRotation() {
    const uint32_t rotation = ReadDWord(stream_, tboIntel);
    TTifTag* orientation = tif_.FindTag(kTagOrientation, ikAll);
    if (orientation == nullptr) {
      orientation = FindOrAdd(kTagOrientation, Ifd0(), tdfUnsignedShort);
      orientation->SetValue(TValue(1));
    }
    switch (rotation) {
      case 0: orientation->SetValue(TValue(1)); break;
      case 90: orientation->SetValue(TValue(6)); break;
      case 180: orientation->SetValue(TValue(3)); break;
      case 270: orientation->SetValue(TValue(8)); break;
      default: break;
    }
  }

  // Takes `bytes` of work from the budget; false when the walk has done enough for this file.
  // The work granted is counted in the reader's work figures.
  bool Spend(int64_t bytes) {
    budget_ -= bytes;
    if (budget_ < 0) return false;
    tif_.Work.SectionWork += bytes;
    return true;
  }

  void ReadSectionDirectory() {
    if (stream_.Size() < 4) throw EReadError();
    stream_.Seek(stream_.Size() - 4);
    stream_.Seek(ReadDWord(stream_, tboIntel));
    char signature[4];
    stream_.ReadBuffer(signature, 4);
    if (std::string_view(signature, 4) != kDirectorySignature) return;
    ReadDWord(stream_, tboIntel);
    const uint32_t count = ReadDWord(stream_, tboIntel);
    // Entries are read one by one, so a count larger than the file ends in a read failure at
    // the first entry that does not exist, after the real ones were read.
    for (uint32_t i = 0; i < count && !exhausted_; ++i) {
      const uint32_t offset = ReadDWord(stream_, tboIntel);
      const uint32_t length = ReadDWord(stream_, tboIntel);
      char type[4];
      stream_.ReadBuffer(type, 4);
      const int64_t next_entry = stream_.Position();
      if (!Spend(12)) break;
      try {
        ReadSection(std::string_view(type, 4), offset, length);
      } catch (...) {
        stream_.Seek(next_entry);
        throw;
      }
      stream_.Seek(next_entry);
    }
  }

  void ReadSection(std::string_view type, uint32_t offset, uint32_t length) {
    stream_.Seek(offset);
    if (type == "PROP") {
      ReadPropertySection();
    } else if (type == "IMAG" || type == "IMA2") {
      ReadImageSection(offset, length);
    }
  }

  void ReadPropertySection() {
    char signature[4];
    stream_.ReadBuffer(signature, 4);
    if (std::string_view(signature, 4) != kPropertySignature) return;
    ReadDWord(stream_, tboIntel);  // version
    const uint32_t count = ReadDWord(stream_, tboIntel);
    ReadDWord(stream_, tboIntel);  // character format: always UTF-16
    ReadDWord(stream_, tboIntel);  // reserved
    const uint32_t total_chars = ReadDWord(stream_, tboIntel);
    if (total_chars == 0) return;

    const int64_t pair_bytes = int64_t{count} * 8;
    if (pair_bytes > stream_.Remaining()) throw EReadError();
    const int64_t char_bytes = std::min<int64_t>(int64_t{total_chars} * 2,
                                                 stream_.Remaining() - pair_bytes);
    if (!Spend(pair_bytes + char_bytes)) {
      exhausted_ = true;
      return;
    }
    std::vector<uint32_t> offsets(static_cast<size_t>(count) * 2);
    for (auto& offset : offsets) offset = ReadDWord(stream_, tboIntel);
    const std::string chars = LowBytesOfUtf16(stream_.ReadString(static_cast<size_t>(char_bytes)));

    TPropertyList properties;
    for (uint32_t i = 0; i < count; ++i) {
      const int64_t name_at = offsets[2 * i];
      const int64_t value_at = offsets[2 * i + 1];
      const int64_t value_end = i + 1 < count ? int64_t{offsets[2 * i + 2]} : int64_t{total_chars};
      properties.Set(CharsBetween(chars, name_at, value_at - 1),
                     CharsBetween(chars, value_at, value_end - 1));
    }
    MapProperties(properties);
    SetTag(kTagIptcCaption, tif_.IPTCIFD, tdfAsciiString, TValue(properties.Text()));
  }

  // Each UTF-16 unit reduced to its low byte.
  static std::string LowBytesOfUtf16(const std::string& bytes) {
    const TByteView units(bytes);
    std::string text(bytes.size() / 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(units.U8(2 * i).value_or(0));
    return text;
  }

  // The characters from `begin` up to `end`, cut to the character data that exists and at a
  // zero character (each text is zero-terminated; the offsets of a damaged file may not say so).
  static std::string CharsBetween(const std::string& chars, int64_t begin, int64_t end) {
    const auto size = static_cast<int64_t>(chars.size());
    begin = std::clamp<int64_t>(begin, 0, size);
    end = std::clamp<int64_t>(end, 0, size);
    if (end <= begin) return {};
    return TextUpToZero(std::string_view(chars).substr(static_cast<size_t>(begin),
                                                       static_cast<size_t>(end - begin)));
  }

  void SetTag(int number, TTifIFD& directory, TTifTagDataFormat format, const TValue& value) {
    FindOrAdd(number, directory, format)->SetValue(value);
  }

  // Maps the properties onto EXIF tags. A value that cannot be read as the row wants is left
  // out; the other properties are still mapped.
  void MapProperties(const TPropertyList& properties) {
    properties.ForEach([&](const std::string& name, const std::string& value) {
      try {
        MapProperty(UpperCase(name), value);
      } catch (const EConvertError&) {
      }
    });
  }

  void MapProperty(const std::string& name, const std::string& value) {
    TTifIFD& exif = tif_.ExifIFD;
    if (name == "CAMMANUF") {
      SetTag(kTagMake, Ifd0(), tdfAsciiString, TValue(value));
    } else if (name == "CAMMODEL") {
      SetTag(kTagModel, Ifd0(), tdfAsciiString, TValue(value));
    } else if (name == "FLENGTH" || name == "FLEQ35MM") {
      const std::optional<TDecimal> length = ReadDecimal(value);
      if (!length) return;
      SetTag(name == "FLENGTH" ? kTagFocalLength : kTagFocalLengthIn35mmFilm, exif, tdfUnsignedRational, RationalValue(*length));
    } else if (name == "APERTURE") {
      std::string text = value;
      for (char& c : text)
        if (c == '.') c = RegionalSettings().DecimalSeparator;
      SetTag(kTagFNumber, exif, tdfUnsignedRational, TValue(StrToFloat(text)));
    } else if (name == "AEMODE") {
      const int metering = value == "8" ? 5 : value == "C" ? 2 : value == "A" ? 1 : 0;
      SetTag(kTagMeteringMode, exif, tdfUnsignedShort, TValue(metering));
    } else if (name == "TIME") {
      const std::string text = FormatExifDateTime(DateTimeFromUnixSeconds(StrToInt64(value)));
      SetTag(kTagDateTime, Ifd0(), tdfAsciiString, TValue(text));
      SetTag(kTagDateTimeOriginal, exif, tdfAsciiString, TValue(text));
      SetTag(kTagDateTimeDigitized, exif, tdfAsciiString, TValue(text));
    } else if (name == "FLASH") {
      const int flash = value == "REDEYE" ? 69 : value == "ON" ? 1 : 0;
      SetTag(kTagFlash, exif, tdfUnsignedShort, TValue(flash));
    } else if (name == "ISO") {
      const std::optional<TDecimal> iso = ReadDecimal(value);
      if (!iso) return;
      const double rounded = std::round(static_cast<double>(iso->Numerator) /
                                        static_cast<double>(iso->Denominator));
      SetTag(kTagISOSpeedRatings, exif, tdfUnsignedShort, TValue(static_cast<int64_t>(rounded)));
    }
  }

  // An image section: for a JPEG image, the JPEG that follows the section's header is kept as
  // the thumbnail of IFD0 (the largest one when the file has several).
  void ReadImageSection(uint32_t offset, uint32_t length) {
    stream_.Skip(kImageSectionHeaderSize);
    const uint32_t format = ReadDWord(stream_, tboIntel);
    if (format != kImageFormatRaw && format != kImageFormatJpeg) return;
    for (int i = 0; i < 3; ++i) ReadDWord(stream_, tboIntel);
    if (format != kImageFormatJpeg) return;
    const int64_t jpeg_start = int64_t{offset} + kJpegImageHeaderSize;
    const int64_t jpeg_size =
        std::min<int64_t>(int64_t{length} - kJpegImageHeaderSize, stream_.Size() - jpeg_start);
    TMemoryStream& thumbnail = Ifd0().ThumbDataStream;
    if (jpeg_size < 2 || jpeg_size <= thumbnail.Size()) return;
    uint8_t start[2];
    stream_.Seek(jpeg_start);
    if (stream_.Read(start, 2) != 2 || start[0] != 0xFF || start[1] != 0xD8) return;
    if (!Spend(jpeg_size)) {
      exhausted_ = true;
      return;
    }
    stream_.Seek(jpeg_start);
    thumbnail.Clear();
    thumbnail.CopyFrom(stream_, jpeg_size);
    thumbnail.Seek(0);
  }

  TTif& tif_;
  TStream& stream_;
  int64_t budget_;
  bool exhausted_ = false;
};

}  // namespace

void TTif::ReadX3F(TStream& stream) { TX3FReader(*this, stream).Read(); }

}  // namespace morvane
