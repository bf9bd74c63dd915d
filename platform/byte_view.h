// A bounds-checked view over bytes already in memory, with little- and big-endian loaders.
// Parsers of buffers read from a file (maker-note blocks, segments, settings blocks) load every
// number through it: a load whose bytes do not all lie inside the view gives no value, so no
// offset taken from a file can reach past the buffer. The view does not own its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace morvane {

class TByteView {
 public:
  TByteView() = default;
  TByteView(const uint8_t* data, size_t size) : data_(data), size_(data == nullptr ? 0 : size) {}
  explicit TByteView(const std::vector<uint8_t>& bytes) : TByteView(bytes.data(), bytes.size()) {}
  explicit TByteView(std::string_view bytes)
      : TByteView(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) {}

  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }

  // Whether the `count` bytes from `offset` all lie inside the view (no overflow for any pair).
  bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }

  std::optional<uint8_t> U8(size_t offset) const {
    if (!Has(offset, 1)) return std::nullopt;
    return data_[offset];
  }
  std::optional<uint16_t> LE16(size_t offset) const { return Load<uint16_t>(offset, false); }
  std::optional<uint32_t> LE32(size_t offset) const { return Load<uint32_t>(offset, false); }
  std::optional<uint16_t> BE16(size_t offset) const { return Load<uint16_t>(offset, true); }
  std::optional<uint32_t> BE32(size_t offset) const { return Load<uint32_t>(offset, true); }

  // The little-endian number of `width` bytes (at most 8) from `offset`, the bytes past the end
  // of the view read as zero: for values whose stored bytes may fall short of their type.
  uint64_t LEZeroFilled(size_t offset, size_t width) const {
    uint64_t value = 0;
    for (size_t k = width < 8 ? width : 8; k-- > 0;) value = (value << 8) | U8Or(offset, k);
    return value;
  }

  // Whether the view opens with `prefix`.
  bool StartsWith(std::string_view prefix) const {
    if (prefix.size() > size_) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
      if (data_[i] != static_cast<uint8_t>(prefix[i])) return false;
    return true;
  }

 private:
  uint8_t U8Or(size_t offset, size_t k) const {
    return k < size_ && offset < size_ - k ? data_[offset + k] : 0;
  }

  template <typename T>
  std::optional<T> Load(size_t offset, bool big_endian) const {
    if (!Has(offset, sizeof(T))) return std::nullopt;
    T value = 0;
    for (size_t k = 0; k < sizeof(T); ++k) {
      const size_t at = big_endian ? k : sizeof(T) - 1 - k;
      value = static_cast<T>((value << 8) | data_[offset + at]);
    }
    return value;
  }

  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace morvane
