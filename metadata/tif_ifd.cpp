// Reading one directory with its sub-directory chains and embedded thumbnail, and building
// the strip table. Every walk is bounded: entry counts, chain lengths, nesting and the
// bytes copied are all limited (see TWalkBudget).
#include "metadata/tif_ifd.h"

#include "metadata/tag_numbers.h"
#include "platform/byte_view.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace morvane {

namespace {


TTifByteOrder Switched(TTifByteOrder order) {
  if (order == tboIntel) return tboMotorola;
  if (order == tboMotorola) return tboIntel;
  return order;
}

// A tag's value as a whole number when it reads as one.
bool IntegerValue(const TTifTag& tag, int64_t& result) {
  const TValue value = tag.GetValue();
  if (value.IsInteger()) {
    result = value.Integer();
    return true;
  }
  return value.IsText() && TryStrToInt64(value.Text(), result);
}

}  // namespace

TTifTag* TTifIFDs::FindTag(int tag_number) const {
  for (const auto& directory : *this)
    if (TTifTag* tag = directory->FindTag(tag_number)) return tag;
  return nullptr;
}

void TTifIFDs::Assign(const TTifIFDs& source) {
  if (&source == this) return;
  Clear();
  for (const auto& directory : source) Add()->Assign(*directory);
}

TTifIFD::TTifIFD() = default;
TTifIFD::~TTifIFD() = default;

uint32_t TTifIFD::ReadIFD(const std::string& file_name, TStream& stream, const TTifTags* tag_filter,
                          int32_t max_value_size, bool full_dng, TStream* value_stream,
                          bool skip_thumbnail, int64_t base_offset, TTifByteOrder byte_order,
                          TWalkBudget* budget) {
  TStream& values = value_stream != nullptr ? *value_stream : stream;
  TWalkBudget own_budget(stream.Size() + (value_stream != nullptr ? value_stream->Size() : 0));
  TWalkBudget& walk = budget != nullptr ? *budget : own_budget;
  if (walk.directories <= 0) return 0;
  --walk.directories;
  if (!walk.FirstVisit(stream, stream.Position())) return 0;

  uint32_t next = 0;
  TTifByteOrder order = byte_order;
  try {
    uint32_t count = ReadWord(stream, order);
    if (count > kMaxEntriesPerDirectory) {
      order = Switched(order);
      stream.Skip(-2);
      count = ReadWord(stream, order);
      if (count > kMaxEntriesPerDirectory) return 0;
    }
    for (uint32_t i = 0; i < count; ++i) {
      TTifTag* tag = Tags.Add();
      tag->ReadEntry(file_name, stream, tag_filter, max_value_size, full_dng, value_stream,
                     base_offset, order, &walk);
      if (tag->Components > kMaxComponents && tag->TagNumber != kTagImageSourceData) Tags.Remove(tag);
    }
    next = ReadDWord(stream, order);
    ThumbDataStream.Clear();
    if (!skip_thumbnail && FindTag(kTagThumbnailOffset) != nullptr &&
        FindTag(kTagThumbnailLength) != nullptr)
      ReadThumbnail(&stream, &ThumbDataStream, base_offset, &walk);
  } catch (const EMorvaneError&) {
    // A damaged directory keeps the tags read so far.
  }

  const TTifTag* sub_ifds = FindTag(kTagSubIFDs);
  const int bytes_per_value = sub_ifds != nullptr ? BytesPerComponent(sub_ifds->DataFormat) : 0;
  if (sub_ifds == nullptr || sub_ifds->DataStream.Empty() || bytes_per_value == 0 ||
      max_value_size != -1 || tag_filter != nullptr || walk.nesting >= kMaxSubIFDNesting)
    return next;

  const int64_t saved = values.Position();
  const auto& offsets = sub_ifds->Bytes();
  const size_t n = offsets.size() / static_cast<size_t>(bytes_per_value);
  ++walk.nesting;
  for (size_t i = 0; i < n && walk.directories > 0; ++i) {
    uint32_t off = TByteView(offsets).LE32(4 * i).value_or(0);
    int chain = 0;
    while (off != 0 && walk.directories > 0) {
      ++chain;
      // Sub-directory offsets are absolute positions in the stream the values come from.
      values.Seek(off);
      TTifIFD* sub = SubIFDs.Add();
      off = sub->ReadIFD(file_name, values, tag_filter, max_value_size, full_dng, &values, false, 0,
                         order, &walk);
      if (chain > kMaxSubIFDChain || off >= values.Size() || off < base_offset + 8) off = 0;
    }
  }
  --walk.nesting;
  values.Seek(saved);
  return next;
}

bool TTifIFD::ReadThumbnail(TStream* stream, TMemoryStream* target, int64_t base_offset,
                            TWalkBudget* budget) {
  if (stream == nullptr || target == nullptr) return false;
  const TTifTag* offset_tag = FindTag(kTagThumbnailOffset);
  int64_t offset = 0;
  if (offset_tag == nullptr || offset_tag->Components >= 64 || !IntegerValue(*offset_tag, offset) ||
      offset <= 0)
    return false;
  const TTifTag* length_tag = FindTag(kTagThumbnailLength);
  int64_t length = 0;
  if (length_tag == nullptr || !IntegerValue(*length_tag, length)) return false;
  const int64_t position = base_offset + offset;
  if (length <= 0 || position < 0 || position + length > stream->Size()) return false;
  if (budget != nullptr && !budget->Charge(length)) return false;
  stream->Seek(position);
  target->Clear();
  if (target->CopyFrom(*stream, length) == 0) return false;
  const TByteView head(target->Bytes());
  const bool known = head.StartsWith("\xFF\xD8") || head.StartsWith("II") || head.StartsWith("MM");
  if (!known) {
    target->Clear();
    return false;
  }
  target->Seek(0);
  return true;
}

void TTifIFD::BuildStrips(const std::string& file_name) {
  Strips.reset();
  const TTifTag* planar = FindTag(kTagPlanarConfiguration);
  int64_t configuration = 1;
  if (planar != nullptr && !IntegerValue(*planar, configuration)) return;
  if (configuration != 1 && configuration != 2) return;
  const TTifTag* offsets = FindTag(kTagStripOffsets);
  const TTifTag* counts = nullptr;
  if (offsets != nullptr) {
    counts = FindTag(kTagStripByteCounts);
  } else {
    offsets = FindTag(kTagTileOffsets);
    if (offsets != nullptr) ImageDataType = tidtTiled;
    counts = FindTag(kTagTileByteCounts);
  }
  if (offsets == nullptr || counts == nullptr || offsets->Bytes().size() != counts->Bytes().size())
    return;
  const size_t size = offsets->Bytes().size();
  const size_t k = size % 4 == 0 ? size / 4 : 1;
  Strips = std::make_unique<TTifTags>();
  Strips->FileName = file_name;
  const TByteView offset_bytes(offsets->Bytes());
  const TByteView count_bytes(counts->Bytes());
  for (size_t i = 0; i < k; ++i) {
    TTifTag* strip = Strips->Add();
    strip->TagNumber = offsets->TagNumber;
    strip->ValueOffset = static_cast<int32_t>(offset_bytes.LE32(4 * i).value_or(0));
    strip->Components = static_cast<int32_t>(count_bytes.LE32(4 * i).value_or(0));
  }
}

void TTifIFD::Clear() {
  Tags.Clear();
  ThumbDataStream.Clear();
  CameraMake.clear();
  IFDType.clear();
}

void TTifIFD::Assign(const TTifIFD& source) {
  if (&source == this) return;
  Name = source.Name;
  Tags.Assign(source.Tags);
  IFDType = source.IFDType;
  CameraMake = source.CameraMake;
  SubIFDs.Assign(source.SubIFDs);
  ImageDataType = source.ImageDataType;
  ThumbDataStream.Assign(source.ThumbDataStream);
}

}  // namespace morvane
