// The bounded box walk. A box header is a 32-bit big-endian size and a four-character type;
// size 1 means a 64-bit size follows, size 0 means "to the end of the parent"; a "uuid" box
// carries 16 bytes of extended type after the header.
#include "metadata/bmff_reader.h"

#include <algorithm>

namespace morvane {

namespace {

constexpr int64_t kHeaderSize = 8;
constexpr int64_t kLargeSizeBytes = 8;
constexpr int64_t kUuidBytes = 16;

}  // namespace

std::optional<uint64_t> ReadBigEndian(TStream& stream, int64_t at, int bytes) {
  if (at < 0 || bytes < 1 || bytes > 8) return std::nullopt;
  uint8_t buffer[8] = {};
  stream.Seek(at);
  if (stream.Read(buffer, static_cast<size_t>(bytes)) != static_cast<size_t>(bytes)) return std::nullopt;
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | buffer[i];
  return value;
}

std::optional<TBmffBox> TBmffWalk::ReadBox(int64_t at, int64_t end, int depth) {
  if (end - at < kHeaderSize) return std::nullopt;
  const auto size32 = ReadBigEndian(stream_, at, 4);
  if (!size32) return std::nullopt;
  TBmffBox box;
  box.Start = at;
  box.Depth = depth;
  stream_.Seek(at + 4);
  box.Type = stream_.ReadString(4);
  if (box.Type.size() != 4) return std::nullopt;
  box.Body = at + kHeaderSize;
  uint64_t size = *size32;
  if (size == 1) {
    const auto large = ReadBigEndian(stream_, box.Body, static_cast<int>(kLargeSizeBytes));
    if (!large) return std::nullopt;
    size = *large;
    box.Body += kLargeSizeBytes;
  } else if (size == 0) {
    size = static_cast<uint64_t>(end - at);
  }
  if (size < static_cast<uint64_t>(box.Body - at) || size > static_cast<uint64_t>(end - at)) return std::nullopt;
  box.End = at + static_cast<int64_t>(size);
  if (box.Type == "uuid") {
    if (box.End - box.Body < kUuidBytes) return std::nullopt;
    stream_.Seek(box.Body);
    box.Uuid = stream_.ReadString(static_cast<size_t>(kUuidBytes));
    box.Body += kUuidBytes;
  }
  return box;
}

std::vector<TBmffBox> TBmffWalk::BoxesIn(int64_t begin, int64_t end, int depth) {
  std::vector<TBmffBox> boxes;
  if (depth > kMaxBmffDepth) return boxes;
  end = std::min(end, stream_.Size());
  int64_t at = begin;
  while (at < end && boxes_left_ > 0) {
    --boxes_left_;
    auto box = ReadBox(at, end, depth);
    if (!box) break;
    at = box->End;
    boxes.push_back(std::move(*box));
  }
  return boxes;
}

std::vector<TBmffBox> TBmffWalk::TopLevel() { return BoxesIn(0, stream_.Size(), 0); }

std::vector<TBmffBox> TBmffWalk::Children(const TBmffBox& parent, int64_t skip) {
  if (skip < 0 || skip > parent.BodySize()) return {};
  return BoxesIn(parent.Body + skip, parent.End, parent.Depth + 1);
}

std::optional<TBmffBox> TBmffWalk::FirstOf(std::string_view type) {
  for (TBmffBox& box : TopLevel())
    if (box.Type == type) return std::move(box);
  return std::nullopt;
}

std::optional<TBmffBox> TBmffWalk::FirstOf(const TBmffBox& parent, std::string_view type, int64_t skip) {
  for (TBmffBox& box : Children(parent, skip))
    if (box.Type == type) return std::move(box);
  return std::nullopt;
}

std::optional<TBmffBox> TBmffWalk::Descend(const TBmffBox& parent, std::initializer_list<std::string_view> path) {
  std::optional<TBmffBox> at = parent;
  for (const std::string_view type : path) {
    at = FirstOf(*at, type);
    if (!at) return std::nullopt;
  }
  return at;
}

}  // namespace morvane
