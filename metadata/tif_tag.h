// One TIFF directory entry: number, field type, component count and the value as raw bytes:
// components in file order, each number little-endian whatever the file's byte order. Values
// are interpreted only on demand.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "metadata/xom.h"
#include "platform/byte_order.h"
#include "platform/stream.h"
#include "platform/value.h"

namespace morvane {

enum TTifImageDataType : int { tidtStriped = 0, tidtTiled = 1 };

// Equal to the TIFF field-type codes, so a format read from a file is stored as it is.
enum TTifTagDataFormat : int {
  tdfUnknown = 0,
  tdfUnsignedByte = 1,
  tdfAsciiString = 2,
  tdfUnsignedShort = 3,
  tdfUnsignedLong = 4,
  tdfUnsignedRational = 5,
  tdfSignedByte = 6,
  tdfUndefined = 7,
  tdfSignedShort = 8,
  tdfSignedLong = 9,
  tdfSignedRational = 10,
  tdfSingleFloat = 11,
  tdfDoubleFloat = 12,
  tdfIFD = 13,
};

// Bytes per component of a format; 0 for tdfUnknown and for codes above 13.
int BytesPerComponent(int format);

// The IFD kinds: a directory's Name says which dictionaries apply to its tags.
enum TIFDKind : int {
  ikBase = 1,
  ikExif = 2,
  ikIPTC = 4,
  ikInterExif = 8,
  ikGps = 16,
  ikMakerNotes = 32,
  ikAll = 63,
};
// The kind bit of a directory name, 0 for a name that is none of the six.
int IFDKindOfName(const std::string& name);

class TTifIFD;
class TTifTags;

// Bounds of the directory walks.
inline constexpr int32_t kMaxComponents = 31457280;
inline constexpr uint32_t kMaxEntriesPerDirectory = 100;
inline constexpr int kMaxSubIFDChain = 128;   // a sub-directory chain ends after 129 directories
inline constexpr int kMaxSubIFDNesting = 4;   // sub-directories of sub-directories
inline constexpr int kMaxDirectoriesPerWalk = 4096;

// What one walk over a file may still do. Hostile files can point many entries and directories
// at the same bytes; the budget keeps the copies in proportion to the bytes that exist. Every
// copy of file bytes a walk makes (values, embedded thumbnails) is charged to value_bytes, and a
// directory is read once per walk: met again, it stays empty.
struct TWalkBudget {
  explicit TWalkBudget(int64_t stream_size)
      : value_bytes(2 * (stream_size > 0 ? stream_size : 0) + (int64_t{1} << 20)) {}
  int64_t value_bytes;                       // value bytes that may still be copied
  int directories = kMaxDirectoriesPerWalk;  // directories that may still be read
  int nesting = 0;                           // sub-directory levels above the current one
  // The directories read so far, by the stream they were read from and their position there.
  std::set<std::pair<const TStream*, int64_t>> directories_read;

  // Takes `size` bytes from value_bytes; false, taking nothing, when fewer remain.
  bool Charge(int64_t size) {
    if (size < 0 || size > value_bytes) return false;
    value_bytes -= size;
    return true;
  }
  // True the first time the directory at `position` of `stream` is met in this walk.
  bool FirstVisit(const TStream& stream, int64_t position) {
    return directories_read.emplace(&stream, position).second;
  }
};

class TTifTag : public TXOMObject {
 public:
  int TagNumber = 0;
  TTifTagDataFormat DataFormat = tdfUnknown;
  int32_t Components = 0;
  TMemoryStream DataStream;
  int32_t ValueOffset = -1;
  std::string DeferredFile;

  // Reads the 12-byte entry at the stream's position; leaves the stream just after it.
  // No value stream means the entry's own stream.
  void ReadEntry(const std::string& file_name, TStream& stream, const TTifTags* tag_filter,
                 int32_t max_value_size, bool full_dng, TStream* value_stream, int64_t base_offset,
                 TTifByteOrder byte_order, TWalkBudget* budget = nullptr);

  TValue GetValue() const;
  std::string RawTagValue() const;
  // Replaces the value by the encoding of `value` for DataFormat. Throws EConvertError for a
  // non-numeric text given to a numeric format.
  void SetValue(const TValue& value);

  // The kinds of the directory that owns this tag's collection; ikAll when there is none.
  int DictionaryKinds() const;
  // The collection holding this tag, if any.
  const TTifTags* Owner() const;

  void Assign(const TTifTag& source);

  const std::vector<uint8_t>& Bytes() const { return DataStream.Bytes(); }
  // The value bytes as a file of `byte_order` stores them: for a big-endian file each number
  // turned back to big-endian. Blobs declared as numbers (IPTC as LONG) are read this way.
  std::vector<uint8_t> FileBytes(TTifByteOrder byte_order) const;
  // Size in bytes that Components of DataFormat take, in 64-bit arithmetic (0 when negative).
  int64_t ValueSize() const;
};

class TTifTags : public TXOMClass<TTifTag> {
 public:
  TTifTags() = default;
  explicit TTifTags(TTifIFD* directory) : Directory(directory) {}

  TTifTag* FindTag(int tag_number) const;
  // Appends a copy of every tag of `source`.
  void Assign(const TTifTags& source);

  TTifIFD* Directory = nullptr;  // the owning directory; none for free-standing collections
  std::string FileName;          // used by the strip table
};

}  // namespace morvane
