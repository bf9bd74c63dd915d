// Builds TIFF structures for tests, in either byte order: directories with typed entries,
// pointers between directories (EXIF, GPS, SubIFDs), blobs (thumbnails, strips, maker notes)
// and deliberate damage (raw next offsets, raw counts) for hostile-input cases.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace morvane::testing {

enum class Order { kIntel, kMotorola };

class TiffWriter {
 public:
  // Field types.
  static constexpr uint16_t kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5,
                            kSByte = 6, kUndefined = 7, kSShort = 8, kSLong = 9, kSRational = 10,
                            kFloat = 11, kDouble = 12, kIfd = 13;

  explicit TiffWriter(Order order = Order::kIntel) : order_(order) {}

  // A new directory; the first one made is IFD0 unless SetFirst says otherwise.
  int NewIfd();
  void SetFirst(int ifd) { first_ = ifd; }
  // The main chain: `ifd`'s next-directory offset points at `next`.
  void SetNext(int ifd, int next) { ifds_[ifd].next = next; }
  // A raw next-directory offset (for loops and damage).
  void SetNextRaw(int ifd, uint32_t offset) { ifds_[ifd].next_raw = offset; }
  // A raw entry count, written instead of the real number of entries.
  void SetCountRaw(int ifd, uint16_t count) { ifds_[ifd].count_raw = count; }

  // Numeric entries: each number becomes one component (rationals take pairs n, d).
  void Add(int ifd, uint16_t tag, uint16_t type, std::vector<uint64_t> numbers);
  void AddAscii(int ifd, uint16_t tag, const std::string& text);  // a zero byte is appended
  void AddBytes(int ifd, uint16_t tag, uint16_t type, std::string bytes);
  // An entry with a raw count and raw value/offset field (for damage).
  void AddRaw(int ifd, uint16_t tag, uint16_t type, uint32_t count, uint32_t value_field);
  // A LONG pointer to another directory (34665 EXIF, 34853 GPS, 40965 interoperability).
  void AddPointer(int ifd, uint16_t tag, int target);
  // Tag 330 with LONG offsets of the targets.
  void AddSubIfds(int ifd, std::vector<int> targets);
  // A blob placed after the directories, with an offset tag and a length tag (513/514, 273/279).
  void AddBlob(int ifd, uint16_t offset_tag, uint16_t length_tag, std::string blob);
  // An UNDEFINED entry whose bytes depend on where they are placed (maker notes holding
  // directories with absolute offsets): `make` is called with the bytes' position.
  void AddPositioned(int ifd, uint16_t tag, std::function<std::string(uint32_t)> make);

  // The whole file: header, directories with their values, then blobs.
  std::string Build() const;
  bool BigEndian() const { return order_ == Order::kMotorola; }

  // One directory encoded on its own, placed at `position`, with out-of-line values after it
  // (offsets relative to `relative_to`): the body of a maker note.
  static std::string EncodeIfd(Order order, uint32_t position, uint32_t relative_to,
                               const std::vector<std::pair<uint16_t, std::pair<uint16_t, std::vector<uint64_t>>>>& numeric,
                               uint32_t next = 0);

 private:
  struct Entry {
    uint16_t tag = 0;
    uint16_t type = 0;
    enum Kind { kNumbers, kRawBytes, kRawField, kPointer, kSubIfds, kBlobOffset, kBlobLength, kPositioned } kind = kNumbers;
    std::vector<uint64_t> numbers;
    std::string bytes;
    uint32_t raw_count = 0;
    uint32_t raw_field = 0;
    std::vector<int> targets;
    int blob = -1;
    std::function<std::string(uint32_t)> make;
  };
  struct Ifd {
    std::vector<Entry> entries;
    int next = -1;
    int64_t next_raw = -1;
    int count_raw = -1;
  };

  Order order_;
  std::vector<Ifd> ifds_;
  std::vector<std::string> blobs_;
  int first_ = 0;
};

// Encodes a number in `order`, `size` bytes.
std::string EncodeNumber(Order order, uint64_t value, int size);

}  // namespace morvane::testing
