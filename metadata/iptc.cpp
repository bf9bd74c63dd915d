// Reading image-resource blocks and IPTC records. Every size and length is checked against the
// bytes that remain before it is used; a block or dataset consumes at least its header, so the
// loops end, and the tags made are never more than the bytes read.
#include "metadata/iptc.h"

#include <algorithm>
#include <array>
#include <vector>

#include "metadata/comma_text.h"
#include "metadata/tag_numbers.h"
#include "metadata/tif_ifd.h"
#include "metadata/tif_tag.h"
#include "platform/errors.h"

namespace morvane {

namespace {

constexpr std::string_view kResourceSignature = "8BIM";
constexpr std::string_view kApplicationRecord = "\x1C\x02";

// Reads the resource name: a length byte and the name, padded with a zero byte to even length.
// Returns false when the stream ends inside it.
bool ReadPascalName(TStream& stream, std::string& name) {
  uint8_t length = 0;
  if (stream.Read(&length, 1) != 1) return false;
  name = stream.ReadString(length);
  if (name.size() != length) return false;
  if ((1 + length) % 2 != 0) stream.Skip(1);
  return true;
}

// The value text that a pseudo-tag holding the bytes gives. One scratch tag serves every
// dataset of a read.
class TDatasetText {
 public:
  TDatasetText() { scratch_.DataFormat = tdfAsciiString; }
  std::string Of(std::string_view bytes) {
    scratch_.DataStream.SetSize(0);
    scratch_.DataStream.Seek(0);
    scratch_.DataStream.Write(bytes.data(), bytes.size());
    scratch_.Components = static_cast<int32_t>(bytes.size());
    return scratch_.GetValue().AsText();
  }

 private:
  TTifTag scratch_;
};

// Items gathered for one repeatable dataset in one read, written back once at the end, so that
// many occurrences cost time in proportion to their bytes.
struct TGatheredDataset {
  TTifTag* Tag = nullptr;
  std::vector<std::string> Items;
};

}  // namespace

bool IsRepeatableIptcDataset(int dataset) {
  return dataset == kTagIptcSubjectReference || dataset == kTagIptcSupplementalCategory ||
         dataset == kTagIptcKeywords || dataset == kTagIptcByLine || dataset == kTagIptcContacts;
}

void TIPTCResources::ReadFromStream(TStream* stream, TTifByteOrder byte_order) {
  if (stream == nullptr) return;
  for (int blocks = 0; blocks < kMaxImageResources; ++blocks) {
    const int64_t block_start = stream->Position();
    if (stream->ReadString(kResourceSignature.size()) != kResourceSignature) {
      stream->Seek(block_start);
      return;
    }
    int code = 0;
    int32_t size = 0;
    std::string name;
    try {
      code = static_cast<int>(ReadWord(*stream, byte_order));
      if (!ReadPascalName(*stream, name)) throw EReadError();
      size = static_cast<int32_t>(ReadDWord(*stream, byte_order));
    } catch (const EReadError&) {
      stream->Seek(block_start);
      return;
    }
    if (size <= 0) continue;
    TIPTCResource* resource = Add();
    resource->Code = code;
    resource->ResourceName = name;
    const int64_t copied = resource->DataStream.CopyFrom(*stream, size);
    if (copied < size) {
      resource->DataStream.Seek(0);
      return;
    }
    if (size % 2 != 0) {
      stream->Skip(1);
      resource->DataStream.WriteByte(0);
    }
    resource->DataStream.Seek(0);
  }
}

TIPTCResource* TIPTCResources::FindResource(int code) const {
  for (const auto& resource : *this)
    if (resource->Code == code) return resource.get();
  return nullptr;
}

void TIPTCResource::ReadIPTC(TTifIFD* directory, TTifByteOrder byte_order) {
  if (directory == nullptr) return;
  const std::string_view data = DataStream.View();
  std::array<TGatheredDataset, 256> gathered;  // by dataset number
  TDatasetText text;
  size_t search_from = 0;
  while (search_from < data.size()) {
    const size_t found = data.find(kApplicationRecord, search_from);
    if (found == std::string_view::npos || data.size() - found < 5) break;
    DataStream.Seek(static_cast<int64_t>(found + 2));
    const auto dataset = static_cast<uint8_t>(ReadByte(DataStream, byte_order));
    const int64_t declared = ReadWord(DataStream, byte_order);
    const int64_t length = std::min(declared, DataStream.Remaining());
    const size_t start = static_cast<size_t>(DataStream.Position());
    DataStream.Skip(length);
    search_from = static_cast<size_t>(DataStream.Position());
    if (dataset < 1 || length < 1) continue;

    const std::string_view bytes = data.substr(start, static_cast<size_t>(length));
    const bool repeatable = IsRepeatableIptcDataset(dataset);
    TGatheredDataset& entry = gathered[dataset];
    if (repeatable && entry.Tag == nullptr) {
      if (TTifTag* existing = directory->FindTag(dataset)) {
        entry.Tag = existing;
        entry.Items = ReadCommaText(existing->GetValue().AsText());
      }
    }
    if (repeatable && entry.Tag != nullptr) {
      entry.Items.push_back(text.Of(bytes));
      continue;
    }
    TTifTag* tag = directory->Tags.Add();
    tag->TagNumber = dataset;
    tag->DataFormat = tdfAsciiString;
    tag->Components = static_cast<int32_t>(length);
    tag->DataStream.Write(bytes.data(), bytes.size());
    tag->DataStream.Seek(0);
    if (repeatable) {
      entry.Tag = tag;
      entry.Items.push_back(text.Of(bytes));
    }
  }
  for (TGatheredDataset& entry : gathered)
    if (entry.Tag != nullptr) entry.Tag->SetValue(CommaText(entry.Items));
  DataStream.Seek(0);
}

}  // namespace morvane
