// The container table and the small readers of the wrappers around a TIFF or a JPEG (RAF, MRW).
// The order of the rows is the order of precedence: a name's extension outranks the bytes, and
// the TIFF reader, last, reads everything else.
#include "metadata/containers.h"

#include <algorithm>
#include <array>
#include <string>

#include "metadata/crw_reader.h"
#include "metadata/tif_reader.h"
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

bool ReadTiffFile(TTif& tif, TStream& stream, bool quick_scan) {
  tif.ReadTiff(stream, 0, nullptr, true, quick_scan);
  return true;
}

using namespace std::string_view_literals;

// name, extension, signature, minimum size, reader
constexpr std::array kContainers = {
    TContainer{"CRW", ".CRW", "", 0, ReadCrwFile},
    TContainer{"X3F", ".X3F", "", kContainerHeaderSize, ReadX3fFile},
    TContainer{"PSD", "", "8B", kContainerHeaderSize, ReadPsdFile},
    TContainer{"PSP", "", "Pa", kContainerHeaderSize, ReadPspFile},
    TContainer{"JPEG", "", "\xFF\xD8", kContainerHeaderSize, ReadJpegFile},
    TContainer{"RAF", "", "FU", kContainerHeaderSize, ReadRafFile},
    TContainer{"MRW", "", "\0M"sv, kContainerHeaderSize, ReadMrwFile},
    TContainer{"TIFF", "", "", kContainerHeaderSize, ReadTiffFile},
};

bool Matches(const TContainer& container, std::string_view extension, std::string_view head) {
  if (!container.Extension.empty() && !SameText(extension, container.Extension)) return false;
  return head.substr(0, container.Signature.size()) == container.Signature;
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
  const std::string head = stream.ReadString(static_cast<size_t>(kContainerHeaderSize));
  stream.Seek(0);
  const TContainer& container = ContainerFor(tif.FileName, head);
  if (stream.Size() < container.MinSize) throw EMorvaneError(kInvalidTif);
  return container.Read(tif, stream, quick_scan);
}

}  // namespace morvane
