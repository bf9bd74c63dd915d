// Reading one directory entry, normalising its value to little-endian, and interpreting the
// value bytes on demand (typed value, raw text) or encoding a new value into them.
#include "metadata/tif_tag.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "metadata/tag_numbers.h"
#include "metadata/tif_ifd.h"
#include "platform/byte_view.h"
#include "platform/errors.h"
#include "platform/sound.h"
#include "platform/text.h"

namespace morvane {

namespace {

constexpr int kBytesPerComponent[14] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
constexpr char kAsciiPrefix[] = {'A', 'S', 'C', 'I', 'I', '\0', '\0', '\0'};
constexpr std::string_view kAsciiPrefixText(kAsciiPrefix, 8);


bool IsSpecialRationalForValue(int tag) {
  return tag == kTagExposureTime || tag == kTagShutterSpeedValue || tag == kTagExposureBiasValue;
}
bool IsSpecialRationalForRaw(int tag) {
  return tag == kTagExposureTime || tag == kTagShutterSpeedValue || tag == kTagApertureValue ||
         tag == kTagExposureBiasValue || tag == kTagFocalLength;
}

// Turns each `width`-byte number of a big-endian value little-endian in place; the numbers
// keep their order. A trailing piece shorter than `width` is left as it is.
void SwapEachNumber(std::vector<uint8_t>& bytes, size_t width) {
  if (width < 2) return;
  for (size_t i = 0; i + width <= bytes.size(); i += width)
    std::reverse(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                 bytes.begin() + static_cast<std::ptrdiff_t>(i + width));
}

// The size of the numbers a value of `format` is made of: a rational is two 32-bit halves;
// text, undefined bytes and single bytes have none to turn.
size_t NumberWidth(TTifTagDataFormat format) {
  switch (format) {
    case tdfAsciiString:
    case tdfUndefined:
      return 1;
    case tdfUnsignedRational:
    case tdfSignedRational:
      return 4;
    default:
      return static_cast<size_t>(BytesPerComponent(format));
  }
}

// Reduces a fraction: whole divisions first, then common factors from 19 down.
void ReduceFraction(uint32_t& n, uint32_t& d) {
  if (n < 2 || d < 2) return;
  if (n % d == 0) {
    n /= d;
    d = 1;
  } else if (d % n == 0) {
    d /= n;
    n = 1;
  }
  if (n < 2 || d < 2 || n == 0xFFFFFFFFu || d == 0xFFFFFFFFu) return;
  uint32_t limit = 19;
  for (;;) {
    uint32_t g = limit;
    while (g > 1 && (n % g != 0 || d % g != 0)) --g;
    if (g <= 1) break;
    n /= g;
    d /= g;
    limit = g;
  }
}

std::string ReducedText(uint32_t n, uint32_t d) {
  ReduceFraction(n, d);
  return d >= 2 ? Format("%u/%u", n, d) : Format("%u", n);
}

// A text ends at its first zero byte. A user comment opens with an 8-byte character code: an
// ASCII comment ends at its first zero after the code; under another code (or none) zero bytes
// are not terminators, and only the non-zero bytes are kept.
std::string TextOfBytes(const std::vector<uint8_t>& bytes, int tag) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (tag != kTagUserComment) return TextUpToZero(text);
  if (text.size() >= 8 && SameText(text.substr(0, 8), kAsciiPrefixText))
    return std::string(text.substr(0, 8)) + TextUpToZero(text.substr(8));
  std::string out(kAsciiPrefixText);
  for (const char c : text)
    if (c != '\0') out += c;
  return out;
}

// The components of a value that its bytes really hold.
size_t StoredComponents(const TTifTag& tag, int size) {
  if (size <= 0 || tag.Components <= 0) return 0;
  return std::min<size_t>(static_cast<size_t>(tag.Components), tag.Bytes().size() / static_cast<size_t>(size));
}

// Component i of the value as an unsigned or signed integer; missing bytes read as zero.
uint64_t UnsignedAt(const std::vector<uint8_t>& b, size_t i, int size) {
  const auto width = static_cast<size_t>(size);
  return TByteView(b).LEZeroFilled(i * width, width);
}

int64_t SignedAt(const std::vector<uint8_t>& b, size_t i, int size) {
  const uint64_t v = UnsignedAt(b, i, size);
  switch (size) {
    case 1: return static_cast<int8_t>(v);
    case 2: return static_cast<int16_t>(v);
    default: return static_cast<int32_t>(v);
  }
}

double FloatAt(const std::vector<uint8_t>& b, size_t i, int size) {
  const uint64_t v = UnsignedAt(b, i, size);
  if (size == 4) {
    const auto bits = static_cast<uint32_t>(v);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  double d;
  std::memcpy(&d, &v, 8);
  return d;
}

// One-component values read zeros from missing bytes; lists hold only what was stored.
size_t ComponentsToShow(const TTifTag& tag, int size) {
  return tag.Components == 1 ? 1 : StoredComponents(tag, size);
}

template <class F>
std::string JoinComponents(size_t count, F text_of) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out += ',';
    out += text_of(i);
  }
  return out;
}

// Numerator and denominator of rational i, signed or unsigned as the format says.
struct Rational {
  int64_t n;
  int64_t d;
};
Rational RationalAt(const TTifTag& tag, size_t i) {
  const auto& b = tag.Bytes();
  if (tag.DataFormat == tdfSignedRational) return {SignedAt(b, 2 * i, 4), SignedAt(b, 2 * i + 1, 4)};
  return {static_cast<int64_t>(UnsignedAt(b, 2 * i, 4)), static_cast<int64_t>(UnsignedAt(b, 2 * i + 1, 4))};
}

std::string RationalListText(const TTifTag& tag, bool simplify_whole) {
  return JoinComponents(StoredComponents(tag, 8), [&](size_t i) {
    Rational r = RationalAt(tag, i);
    if (r.d == 0) return std::string("0");
    if (simplify_whole && r.n % r.d == 0) {
      r.n /= r.d;
      r.d = 1;
    }
    return Format("%lld/%lld", static_cast<long long>(r.n), static_cast<long long>(r.d));
  });
}

// A numerator and denominator whose quotient reads back as exactly `x`, when one exists with
// a power-of-ten denominator; otherwise the closest such fraction.
void RationalOfNumber(double x, int64_t& n, int64_t& d) {
  int64_t best_n = static_cast<int64_t>(std::llround(x));
  int64_t best_d = 1;
  for (int64_t den = 1; den <= 1000000000; den *= 10) {
    const double scaled = std::round(x * static_cast<double>(den));
    if (std::fabs(scaled) > 2147483647.0) break;
    best_n = static_cast<int64_t>(scaled);
    best_d = den;
    if (static_cast<double>(best_n) / static_cast<double>(best_d) == x) break;
  }
  n = best_n;
  d = best_d;
}

}  // namespace

int BytesPerComponent(int format) {
  return format >= 0 && format <= 13 ? kBytesPerComponent[format] : 0;
}

int IFDKindOfName(const std::string& name) {
  if (name == "Base") return ikBase;
  if (name == "Exif") return ikExif;
  if (name == "IPTC") return ikIPTC;
  if (name == "InterExif") return ikInterExif;
  if (name == "Gps") return ikGps;
  if (name == "MakerNotes") return ikMakerNotes;
  return 0;
}

int64_t TTifTag::ValueSize() const {
  const int64_t size = int64_t{Components} * BytesPerComponent(DataFormat);
  return size > 0 ? size : 0;
}

void TTifTag::ReadEntry(const std::string& file_name, TStream& stream, const TTifTags* tag_filter,
                        int32_t max_value_size, bool full_dng, TStream* value_stream,
                        int64_t base_offset, TTifByteOrder byte_order, TWalkBudget* budget) {
  const int64_t entry_start = stream.Position();
  TStream& values = value_stream != nullptr ? *value_stream : stream;
  try {
    TagNumber = static_cast<int>(ReadWord(stream, byte_order));
    const uint32_t field_type = ReadWord(stream, byte_order) & 0xFF;
    Components = static_cast<int32_t>(ReadDWord(stream, byte_order));
    DataFormat = static_cast<TTifTagDataFormat>(field_type);
    if (TagNumber == kTagSoftware || TagNumber == kTagUserComment) DataFormat = tdfAsciiString;

    const bool filtered_out = tag_filter != nullptr && tag_filter->FindTag(TagNumber) == nullptr;
    // A field type above 13 has no component size: its value is not loaded.
    const int64_t size = ValueSize();
    // A tag with more components than any real value has is dropped by the directory; its
    // bytes are not worth copying first.
    const bool dropped = Components > kMaxComponents && TagNumber != kTagImageSourceData;
    if (!filtered_out && size > 0 && !dropped) {
      if (size <= 4) {
        DataStream.CopyFrom(stream, size);
      } else {
        ValueOffset = static_cast<int32_t>(ReadDWord(stream, byte_order));
        const int64_t position = base_offset + static_cast<uint32_t>(ValueOffset);
        if (max_value_size >= 0 && size > max_value_size) {
          DeferredFile = file_name;
        } else if (TagNumber == kTagImageSourceData && !full_dng) {
          DeferredFile = file_name;
        } else if (TagNumber == kTagOriginalRawFileData && !full_dng) {
          const auto low = static_cast<uint16_t>(ValueOffset);
          DataStream.WriteByte(static_cast<uint8_t>(low & 0xFF));
          DataStream.WriteByte(static_cast<uint8_t>(low >> 8));
        } else if (position >= 0 && position + size <= values.Size() &&
                   (budget == nullptr || size <= budget->value_bytes)) {
          if (budget != nullptr) budget->value_bytes -= size;
          const int64_t saved = values.Position();
          values.Seek(position);
          DataStream.CopyFrom(values, size);
          values.Seek(saved);
        }
      }
      // Components stay in file order; only the bytes within each number are turned.
      if (byte_order == tboMotorola && DeferredFile.empty() && TagNumber != kTagMakerNote)
        SwapEachNumber(DataStream.MutableBytes(), NumberWidth(DataFormat));
      DataStream.Seek(0);
    }
  } catch (const EMorvaneError&) {
    // A damaged entry keeps what it has.
  }
  stream.Seek(entry_start + 12);
}

std::vector<uint8_t> TTifTag::FileBytes(TTifByteOrder byte_order) const {
  std::vector<uint8_t> bytes = Bytes();
  if (byte_order == tboMotorola && TagNumber != kTagMakerNote) SwapEachNumber(bytes, NumberWidth(DataFormat));
  return bytes;
}

TValue TTifTag::GetValue() const {
  if (Components <= 0) return {};
  if (TagNumber == kTagStripOffsets) return "Strip offsets";
  if (TagNumber == kTagStripByteCounts) return "Strip Byte Counts";
  const auto& b = Bytes();
  const int size = BytesPerComponent(DataFormat);
  switch (DataFormat) {
    case tdfUnknown:
      return std::string();
    case tdfUnsignedByte:
    case tdfUnsignedShort:
      return JoinComponents(ComponentsToShow(*this, size),
                            [&](size_t i) { return std::to_string(UnsignedAt(b, i, size)); });
    case tdfAsciiString:
      return TextOfBytes(b, TagNumber);
    case tdfUndefined:
      return std::string(b.begin(), b.end());
    case tdfUnsignedLong:
    case tdfIFD:
      if (Components == 1) return static_cast<int64_t>(UnsignedAt(b, 0, 4));
      return JoinComponents(ComponentsToShow(*this, 4),
                            [&](size_t i) { return std::to_string(UnsignedAt(b, i, 4)); });
    case tdfSignedByte:
    case tdfSignedShort:
    case tdfSignedLong:
      if (Components == 1) return SignedAt(b, 0, size);
      return JoinComponents(ComponentsToShow(*this, size),
                            [&](size_t i) { return std::to_string(SignedAt(b, i, size)); });
    case tdfSingleFloat:
    case tdfDoubleFloat:
      if (Components == 1) return FloatAt(b, 0, size);
      return JoinComponents(ComponentsToShow(*this, size),
                            [&](size_t i) { return FloatToText(FloatAt(b, i, size)); });
    case tdfUnsignedRational:
    case tdfSignedRational: {
      if (Components != 1) return RationalListText(*this, true);
      const Rational r = RationalAt(*this, 0);
      if (r.d != 0 && !IsSpecialRationalForValue(TagNumber))
        return static_cast<double>(r.n) / static_cast<double>(r.d);
      if (DataFormat == tdfSignedRational)
        return Format("%lld/%lld", static_cast<long long>(r.n), static_cast<long long>(r.d));
      return ReducedText(static_cast<uint32_t>(r.n), static_cast<uint32_t>(r.d));
    }
    default:
      return {};
  }
}

std::string TTifTag::RawTagValue() const {
  if (Components > 0 && TagNumber == kTagStripOffsets) return "Strip offsets";
  if (Components > 0 && TagNumber == kTagStripByteCounts) return "Strip Byte Counts";
  if (DataFormat == tdfIFD || DataFormat > tdfDoubleFloat || Components <= 0) return {};
  if (DataFormat != tdfUnsignedRational && DataFormat != tdfSignedRational) return GetValue().AsText();
  if (Components != 1) return RationalListText(*this, false);
  const Rational r = RationalAt(*this, 0);
  if (DataFormat == tdfSignedRational || (r.d != 0 && !IsSpecialRationalForRaw(TagNumber)))
    return Format("%lld/%lld", static_cast<long long>(r.n), static_cast<long long>(r.d));
  return ReducedText(static_cast<uint32_t>(r.n), static_cast<uint32_t>(r.d));
}

void TTifTag::SetValue(const TValue& value) {
  DataStream.Clear();
  auto write_le = [this](uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) DataStream.WriteByte(static_cast<uint8_t>(v >> (8 * i)));
  };
  switch (DataFormat) {
    case tdfUnsignedByte:
    case tdfSignedByte:
      write_le(static_cast<uint64_t>(value.AsInteger()), 1);
      Components = 1;
      break;
    case tdfUnsignedShort:
    case tdfSignedShort:
      write_le(static_cast<uint64_t>(value.AsInteger()), 2);
      Components = 1;
      break;
    case tdfUnsignedLong:
    case tdfSignedLong:
    case tdfIFD:
      write_le(static_cast<uint64_t>(value.AsInteger()), 4);
      Components = 1;
      break;
    case tdfAsciiString:
    case tdfUndefined: {
      std::string text = value.AsText();
      if (TagNumber == kTagUserComment && text.compare(0, 8, kAsciiPrefixText) != 0)
        text = std::string(kAsciiPrefixText) + text;
      if (text.empty() || text.back() != '\0') text += '\0';
      DataStream.Write(text.data(), text.size());
      Components = static_cast<int32_t>(text.size());
      break;
    }
    case tdfUnsignedRational:
    case tdfSignedRational: {
      int64_t n = 0;
      int64_t d = 1;
      if (value.IsNumber()) {
        const double x = value.AsFloat();
        if (value.IsInteger() || x == std::floor(x))
          n = value.AsInteger();
        else
          RationalOfNumber(x, n, d);
      } else {
        const std::string text = value.AsText();
        const size_t slash = text.find('/');
        if (slash == std::string::npos || slash == 0) {
          PlayDefaultWarningSound();
          break;
        }
        n = StrToInt(text.substr(0, slash));
        d = StrToInt(text.substr(slash + 1));
      }
      write_le(static_cast<uint64_t>(n), 4);
      write_le(static_cast<uint64_t>(d), 4);
      Components = 1;
      break;
    }
    default:
      PlayDefaultWarningSound();
      break;
  }
  DataStream.Seek(0);
}

const TTifTags* TTifTag::Owner() const { return dynamic_cast<const TTifTags*>(Collection()); }

int TTifTag::DictionaryKinds() const {
  const TTifTags* owner = Owner();
  if (owner == nullptr || owner->Directory == nullptr) return ikAll;
  const int kind = IFDKindOfName(owner->Directory->Name);
  return kind != 0 ? kind : ikAll;
}

void TTifTag::Assign(const TTifTag& source) {
  Name = source.Name;
  TagNumber = source.TagNumber;
  DataFormat = source.DataFormat;
  Components = source.Components;
  ValueOffset = source.ValueOffset;
  DeferredFile = source.DeferredFile;
  DataStream.Assign(source.DataStream);
}

TTifTag* TTifTags::FindTag(int tag_number) const {
  for (const auto& tag : *this)
    if (tag->TagNumber == tag_number) return tag.get();
  return nullptr;
}

void TTifTags::Assign(const TTifTags& source) {
  if (&source == this) return;
  Clear();
  for (const auto& tag : source) Add()->Assign(*tag);
}

}  // namespace morvane
