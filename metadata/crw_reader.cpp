// Reading make and model from a CRW file. Offsets come from the file's last 8 bytes and from its
// heap directories; each is checked against the file's size before it is used, only the bytes
// the texts need are copied, and the heap lookup is bounded in depth and in entries.
#include "metadata/crw_reader.h"

#include <algorithm>
#include <optional>

#include "metadata/tag_numbers.h"
#include "metadata/tif_reader.h"
#include "platform/byte_order.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace morvane {

namespace {

constexpr int64_t kHeaderSize = 26;
constexpr int64_t kTextBufferSize = 1024;

constexpr uint32_t kRecordMakeModel = 0x080A;
constexpr uint32_t kRecordTypeMask = 0x3FFF;
constexpr uint32_t kRecordLocationMask = 0xC000;
constexpr uint32_t kRecordInHeap = 0x0000;
constexpr uint32_t kStorageMask = 0x3800;
constexpr uint32_t kStorageHeap = 0x2800;
constexpr uint32_t kStorageHeap2 = 0x3000;
constexpr int kMaxHeapDepth = 4;
constexpr int kMaxHeapEntries = 4096;
constexpr int64_t kMakeModelMaxBytes = 256;


// Looks for a record of one type in the heap [start, end) of the file and its sub-heaps. A heap
// ends with the offset of its directory; the directory holds a 16-bit count and 10-byte entries
// (type, size, offset relative to the heap's start).
class THeapSearch {
 public:
  explicit THeapSearch(TStream& file) : file_(file) {}

  std::optional<TCrwRecord> Find(uint32_t wanted, int64_t start, int64_t end, int depth) {
    if (depth > kMaxHeapDepth || end - start < 6 || end > file_.Size()) return std::nullopt;
    file_.Seek(end - 4);
    const int64_t directory = start + ReadDWord(file_, tboIntel);
    if (directory < start || directory + 2 > end) return std::nullopt;
    file_.Seek(directory);
    const uint32_t count = ReadWord(file_, tboIntel);
    if (directory + 2 + int64_t{count} * 10 > end) return std::nullopt;
    for (uint32_t i = 0; i < count; ++i) {
      if (--entries_left_ < 0) return std::nullopt;
      file_.Seek(directory + 2 + int64_t{i} * 10);
      const uint32_t type = ReadWord(file_, tboIntel);
      const int64_t size = ReadDWord(file_, tboIntel);
      const int64_t record = start + ReadDWord(file_, tboIntel);
      if ((type & kRecordLocationMask) != kRecordInHeap) continue;
      if (record < start || record + size > end) continue;
      if ((type & kRecordTypeMask) == wanted) return TCrwRecord{record, size};
      const uint32_t storage = type & kStorageMask;
      if (storage == kStorageHeap || storage == kStorageHeap2) {
        if (auto found = Find(wanted, record, record + size, depth + 1)) return found;
      }
    }
    return std::nullopt;
  }

 private:
  TStream& file_;
  int entries_left_ = kMaxHeapEntries;
};

}  // namespace

bool TCRWExif::LoadFromStream(TStream& file) {
  block_.Clear();
  make_.Text.clear();
  model_.Text.clear();
  try {
    const bool loaded = LoadBlock(file);
    if (make_.Text.empty() || model_.Text.empty()) FindMakeModelRecord(file);
    return loaded;
  } catch (const std::exception&) {
    return false;
  }
}

bool TCRWExif::LoadBlock(TStream& file) {
  if (file.Size() < 8) return false;
  file.Seek(file.Size() - 8);
  const int64_t start = static_cast<int32_t>(ReadDWord(file, tboIntel)) + kHeaderSize;
  const int64_t end = static_cast<int32_t>(ReadDWord(file, tboIntel)) + kHeaderSize;
  if (start < 0 || end < 0 || end - start < 0) return true;
  if (end > file.Size()) return false;
  // Only the part of the block that the fields reach is copied.
  const int64_t needed =
      std::max<int64_t>(make_.Position + make_.Size, model_.Position + model_.Size);
  file.Seek(start);
  block_.CopyFrom(file, std::min(end - start, needed));
  DecodeFields();
  return true;
}

void TCRWExif::FindMakeModelRecord(TStream& file) {
  const auto location = FindCrwRecord(file, kRecordMakeModel);
  if (!location) return;
  file.Seek(location->Offset);
  const std::string record = file.ReadString(static_cast<size_t>(std::min(location->Size, kMakeModelMaxBytes)));
  make_.Text = TextUpToZero(record);
  const size_t model_at = std::min(record.size(), make_.Text.size() + 1);
  model_.Text = TextUpToZero(std::string_view(record).substr(model_at));
}

void TCRWExif::DecodeFields() {
  DecodeText(make_);
  DecodeText(model_);
}

// A fixed-position field holds a name only when its text is printable and ends with a zero
// inside the field; a re-written file can hold anything there (a JPEG, another record).
void TCRWExif::DecodeText(TTextField& field) {
  block_.Seek(field.Position);
  const std::string bytes =
      block_.ReadString(static_cast<size_t>(std::min<int64_t>(field.Size, kTextBufferSize)));
  const std::string text = TextUpToZero(bytes);
  const bool printable = std::all_of(text.begin(), text.end(), [](char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 0x20 && code != 0x7F;
  });
  field.Text = text.size() < bytes.size() && printable ? text : std::string();
}

void TCRWExif::CopyTo(TTif& tif) const {
  tif.EnsureExifPointer();
  TTifIFD& ifd0 = *tif.IFDs[0];
  const auto set_text = [&](int number, const std::string& text) {
    TTifTag* tag = ifd0.FindTag(number);
    if (tag == nullptr) {
      tag = ifd0.Tags.Add();
      tag->TagNumber = number;
      tag->DataFormat = tdfAsciiString;
    }
    tag->SetValue(TValue(text));
  };
  set_text(kTagMake, Make());
  set_text(kTagModel, Model());
}

std::optional<TCrwRecord> FindCrwRecord(TStream& file, uint32_t type) {
  return THeapSearch(file).Find(type, kHeaderSize, file.Size(), 0);
}

void ReadCrw(TTif& tif, TStream& file) {
  TCRWExif reader;
  reader.LoadFromStream(file);
  reader.CopyTo(tif);
}

}  // namespace morvane
