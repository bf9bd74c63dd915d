// The container table and the small readers of the wrappers around a TIFF or a JPEG (RAF, MRW,
// RW2's embedded JPEG).
// The order of the rows is the order of precedence: a name's extension outranks the bytes, and
// the TIFF reader, last, reads everything else.
#include "metadata/containers.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "metadata/cr3_reader.h"
#include "metadata/crw_reader.h"
#include "metadata/tag_numbers.h"
#include "metadata/tif_reader.h"
#include "platform/byte_order.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace morvane {

namespace {

// An MRW file's TIFF starts at the first "MM" of its block list.
constexpr int64_t kMrwSearchSize = 1024;

bool ReadCrwFile(TTif& tif, TStream& stream, bool /*quick_scan*/) {
  ReadCrw(tif, stream);
  return true;
}

bool ReadX3fFile(TTif& tif, TStream& stream, bool /*quick_scan*/) {
  tif.ReadX3F(stream);
  return true;
}

bool ReadPsdFile(TTif& tif, TStream& stream, bool /*quick_scan*/) {
  tif.ReadPsd(stream);
  return true;
}

// A PSP file is always read whole: its EXIF block is small and found by a bounded search.
bool ReadPspFile(TTif& tif, TStream& stream, bool /*quick_scan*/) {
  tif.ReadPsp(stream, false);
  return true;
}

bool ReadJpegFile(TTif& tif, TStream& stream, bool quick_scan) {
  tif.ReadJpeg(stream, quick_scan);
  return true;
}

// A RAF file's metadata is that of the first JPEG it holds.
bool ReadRafFile(TTif& tif, TStream& stream, bool quick_scan) {
  int64_t jpeg_start = 0;
  if (!FindPattern(stream, "\xFF\xD8", 2, 0, jpeg_start)) return false;
  stream.Seek(jpeg_start);
  tif.ReadJpeg(stream, quick_scan);
  return true;
}

bool ReadMrwFile(TTif& tif, TStream& stream, bool quick_scan) {
  TMemoryStream head;
  head.CopyFrom(stream, kMrwSearchSize);
  int64_t tiff_start = 0;
  if (!FindPattern(head, "MM", 0, 0, tiff_start)) return false;
  stream.Seek(tiff_start);
  tif.ReadTiff(stream, tiff_start, nullptr, true, quick_scan);
  return true;
}

bool ReadCr3File(TTif& tif, TStream& stream, bool quick_scan) {
  tif.ReadCr3(stream, quick_scan);
  return true;
}

// RW2 keeps its camera's EXIF in the JPEG of IFD0's JpgFromRaw tag, not in the raw's own
// directories. The tag is looked up in the file itself, since a filtered read does not keep it;
// only the JPEG's first bytes are read, where its EXIF segment lies.
constexpr int64_t kEmbeddedExifSpan = int64_t{1} << 17;

std::optional<TByteRange> JpgFromRaw(TStream& stream) {
  try {
    stream.Seek(4);
    const int64_t directory = ReadDWord(stream, tboIntel);
    stream.Seek(directory);
    const uint32_t count = ReadWord(stream, tboIntel);
    if (count > kMaxEntriesPerDirectory) return std::nullopt;
    for (uint32_t i = 0; i < count; ++i) {
      stream.Seek(directory + 2 + 12 * int64_t{i});
      const uint32_t tag = ReadWord(stream, tboIntel);
      if (tag != kTagJpgFromRaw) continue;
      stream.Skip(2);
      const int64_t size = ReadDWord(stream, tboIntel);
      const int64_t offset = ReadDWord(stream, tboIntel);
      if (size <= 4 || offset >= stream.Size()) return std::nullopt;
      return TByteRange{offset, std::min(size, stream.Size() - offset)};
    }
  } catch (const EReadError&) {
  }
  return std::nullopt;
}

bool ReadRw2File(TTif& tif, TStream& stream, bool quick_scan) {
  tif.ReadTiff(stream, 0, nullptr, true, quick_scan);
  if (const auto jpeg = JpgFromRaw(stream)) {
    TMemoryStream head;
    stream.Seek(jpeg->Offset);
    tif.Work.ValueBytes += head.CopyFrom(stream, std::min(jpeg->Size, kEmbeddedExifSpan));
    tif.ReadEmbeddedJpegExif(head);
  }
  return true;
}

bool ReadTiffFile(TTif& tif, TStream& stream, bool quick_scan) {
  tif.ReadTiff(stream, 0, nullptr, true, quick_scan);
  return true;
}

using namespace std::string_view_literals;

// name, extension, signature, where the signature lies, minimum size, reader
constexpr std::array kContainers = {
    TContainer{"CRW", ".CRW", "", 0, 0, ReadCrwFile},
    TContainer{"X3F", ".X3F", "", 0, kContainerHeaderSize, ReadX3fFile},
    TContainer{"PSD", "", "8B", 0, kContainerHeaderSize, ReadPsdFile},
    TContainer{"PSP", "", "Pa", 0, kContainerHeaderSize, ReadPspFile},
    TContainer{"JPEG", "", "\xFF\xD8", 0, kContainerHeaderSize, ReadJpegFile},
    TContainer{"RAF", "", "FU", 0, kContainerHeaderSize, ReadRafFile},
    TContainer{"MRW", "", "\0M"sv, 0, kContainerHeaderSize, ReadMrwFile},
    TContainer{"CR3", "", kCr3Signature, kCr3SignatureAt, kContainerHeaderSize, ReadCr3File},
    TContainer{"RW2", "", "IIU\0"sv, 0, kContainerHeaderSize, ReadRw2File},
    TContainer{"TIFF", "", "", 0, kContainerHeaderSize, ReadTiffFile},
};

bool Matches(const TContainer& container, std::string_view extension, std::string_view head) {
  if (!container.Extension.empty() && !SameText(extension, container.Extension)) return false;
  if (container.Signature.empty()) return true;
  const auto at = static_cast<size_t>(container.SignatureAt);
  return head.size() >= at && head.substr(at, container.Signature.size()) == container.Signature;
}

}  // namespace

const TContainer& ContainerFor(std::string_view file_name, std::string_view head) {
  const std::string extension = ExtractFileExt(file_name);
  const auto found = std::find_if(kContainers.begin(), kContainers.end(),
                                  [&](const TContainer& c) { return Matches(c, extension, head); });
  return found != kContainers.end() ? *found : kContainers.back();
}

bool ReadContainer(TTif& tif, TStream& stream, bool quick_scan) {
  stream.Seek(0);
  const std::string head = stream.ReadString(static_cast<size_t>(kContainerHeadLength));
  stream.Seek(0);
  const TContainer& container = ContainerFor(tif.FileName, head);
  if (stream.Size() < container.MinSize) throw EMorvaneError(kInvalidTif);
  return container.Read(tif, stream, quick_scan);
}

}  // namespace morvane
