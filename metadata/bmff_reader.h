// The boxes of an ISO base media file (the container of CR3 raws), walked under bounds: every
// box lies inside its parent and the stream, a box whose size is below its header or runs past
// its parent ends the walk of that level, the depth is limited and one walk reads a fixed number
// of boxes at most. A walk never follows an offset: boxes only nest, so it cannot loop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stream.h"

namespace morvane {

inline constexpr int kMaxBmffDepth = 16;
inline constexpr int kMaxBmffBoxes = 4096;

struct TBmffBox {
  std::string Type;   // the four characters of its type
  std::string Uuid;   // the 16 bytes of a "uuid" box's extended type, else empty
  int64_t Start = 0;  // its first byte (the size field)
  int64_t Body = 0;   // its first byte after the header
  int64_t End = 0;    // one past its last byte
  int Depth = 0;      // 0 for a top-level box

  int64_t BodySize() const { return End - Body; }
};

class TBmffWalk {
 public:
  explicit TBmffWalk(TStream& stream) : stream_(stream) {}

  // The top-level boxes of the stream, in file order.
  std::vector<TBmffBox> TopLevel();
  // The boxes inside `parent` from `skip` bytes into its body, in file order.
  std::vector<TBmffBox> Children(const TBmffBox& parent, int64_t skip = 0);
  // The first box of that type among the top-level boxes or inside `parent`.
  std::optional<TBmffBox> FirstOf(std::string_view type);
  std::optional<TBmffBox> FirstOf(const TBmffBox& parent, std::string_view type, int64_t skip = 0);
  // Follows a path of types down from `parent`, the first of each type at each level.
  std::optional<TBmffBox> Descend(const TBmffBox& parent, std::initializer_list<std::string_view> path);

  // Boxes this walk may still read.
  int BoxesLeft() const { return boxes_left_; }

 private:
  std::vector<TBmffBox> BoxesIn(int64_t begin, int64_t end, int depth);
  std::optional<TBmffBox> ReadBox(int64_t at, int64_t end, int depth);

  TStream& stream_;
  int boxes_left_ = kMaxBmffBoxes;
};

// The big-endian unsigned number of `bytes` bytes (at most 8) at `at`; none when the stream
// ends before them.
std::optional<uint64_t> ReadBigEndian(TStream& stream, int64_t at, int bytes);

}  // namespace morvane
