// Reading a CR3 file's metadata into the usual directories and finding its JPEGs. The boxes are
// walked by the bounded box walk; each metadata block is copied (it is small and its offsets
// count from its own start) and read by the TIFF directory reader, so a block can point nowhere
// but into itself.
#include "metadata/cr3_reader.h"

#include <string>

#include "metadata/bmff_reader.h"
#include "metadata/tag_numbers.h"
#include "metadata/tif_reader.h"
#include "platform/byte_order.h"
#include "platform/errors.h"

namespace morvane {

namespace {

using namespace std::string_view_literals;

// The extended types of Canon's boxes.
constexpr std::string_view kCanonMetadataUuid = "\x85\xc0\xb6\x87\x82\x0f\x11\xe0\x81\x11\xf4\xce\x46\x2b\x6a\x48"sv;
constexpr std::string_view kCanonPreviewUuid = "\xea\xf4\x2b\x5e\x1c\x98\x4b\x88\xb9\xfb\xb7\xdc\x40\x6e\x4d\x16"sv;
constexpr std::string_view kXmpUuid = "\xbe\x7a\xcf\xcb\x97\xa9\x42\xe8\x9c\x71\x99\x94\x91\xe3\xaf\xac"sv;

// The preview's box follows 8 bytes of its "uuid" box's own.
constexpr int64_t kPreviewBoxSkip = 8;
// THMB and PRVW: 4 bytes of version and flags, then (THMB) width, height and the JPEG's length,
// or (PRVW) a 16-bit number, width, height, a 16-bit number and the JPEG's length; the JPEG
// follows 16 bytes into the body in both.
constexpr int64_t kThumbnailLengthAt = 8;
constexpr int64_t kPreviewLengthAt = 12;
constexpr int64_t kPictureAt = 16;
// Metadata blocks are a few kilobytes; a larger one is not read.
constexpr int64_t kMaxMetadataBlock = int64_t{16} << 20;


std::optional<TBmffBox> CanonMetadataBox(TBmffWalk& walk) {
  const auto movie = walk.FirstOf("moov");
  if (!movie) return std::nullopt;
  for (TBmffBox& box : walk.Children(*movie))
    if (box.Type == "uuid" && box.Uuid == kCanonMetadataUuid) return std::move(box);
  return std::nullopt;
}

std::optional<TBmffBox> TopLevelUuid(TBmffWalk& walk, std::string_view uuid) {
  for (TBmffBox& box : walk.TopLevel())
    if (box.Type == "uuid" && box.Uuid == uuid) return std::move(box);
  return std::nullopt;
}

// The JPEG of a THMB or PRVW box: from 16 bytes into its body, as long as its length field says
// but never past the box.
std::optional<TByteRange> PictureIn(TStream& stream, const TBmffBox& box, int64_t length_at) {
  const int64_t start = box.Body + kPictureAt;
  if (start >= box.End) return std::nullopt;
  const auto length = ReadBigEndian(stream, box.Body + length_at, 4);
  if (!length) return std::nullopt;
  return TByteRange{start, std::min<int64_t>(static_cast<int64_t>(*length), box.End - start)};
}

// The first sample of the first track: the first entry of its chunk offsets (co64 or stco) and
// its sample size (stsz's common size, else its first entry). None when either lies outside
// the file.
std::optional<TByteRange> FirstTrackSample(TStream& stream, TBmffWalk& walk) {
  const auto movie = walk.FirstOf("moov");
  if (!movie) return std::nullopt;
  const auto table = walk.Descend(*movie, {"trak", "mdia", "minf", "stbl"});
  if (!table) return std::nullopt;
  std::optional<uint64_t> offset;
  if (const auto co64 = walk.FirstOf(*table, "co64")) {
    const auto count = ReadBigEndian(stream, co64->Body + 4, 4);
    if (count && *count > 0 && co64->Body + 16 <= co64->End) offset = ReadBigEndian(stream, co64->Body + 8, 8);
  } else if (const auto stco = walk.FirstOf(*table, "stco")) {
    const auto count = ReadBigEndian(stream, stco->Body + 4, 4);
    if (count && *count > 0 && stco->Body + 12 <= stco->End) offset = ReadBigEndian(stream, stco->Body + 8, 4);
  }
  const auto sizes = walk.FirstOf(*table, "stsz");
  if (!offset || !sizes || sizes->Body + 12 > sizes->End) return std::nullopt;
  std::optional<uint64_t> size = ReadBigEndian(stream, sizes->Body + 4, 4);
  const auto count = ReadBigEndian(stream, sizes->Body + 8, 4);
  if (size && *size == 0 && count && *count > 0 && sizes->Body + 16 <= sizes->End)
    size = ReadBigEndian(stream, sizes->Body + 12, 4);
  const auto file_size = static_cast<uint64_t>(stream.Size());
  if (!size || *size == 0 || *offset >= file_size || *size > file_size - *offset) return std::nullopt;
  return TByteRange{static_cast<int64_t>(*offset), static_cast<int64_t>(*size)};
}

// A TIFF block's byte order and first directory's position after its 8-byte header.
struct TBlockHeader {
  TTifByteOrder ByteOrder = tboUnknown;
  uint32_t First = 0;
};

std::optional<TBlockHeader> ReadBlockHeader(TMemoryStream& block) {
  const std::string_view bytes = block.View();
  if (bytes.size() < 8) return std::nullopt;
  TBlockHeader header;
  if (bytes.substr(0, 2) == "II")
    header.ByteOrder = tboIntel;
  else if (bytes.substr(0, 2) == "MM")
    header.ByteOrder = tboMotorola;
  else
    return std::nullopt;
  block.Seek(4);
  header.First = ReadDWord(block, header.ByteOrder);
  if (header.First < 8 || header.First >= bytes.size()) return std::nullopt;
  return header;
}

}  // namespace

TCr3Pictures FindCr3Pictures(TStream& stream) {
  TBmffWalk walk(stream);
  TCr3Pictures pictures;
  if (const auto metadata = CanonMetadataBox(walk))
    if (const auto thumbnail = walk.FirstOf(*metadata, "THMB"))
      pictures.Thumbnail = PictureIn(stream, *thumbnail, kThumbnailLengthAt);
  if (const auto holder = TopLevelUuid(walk, kCanonPreviewUuid))
    if (const auto preview = walk.FirstOf(*holder, "PRVW", kPreviewBoxSkip))
      pictures.Preview = PictureIn(stream, *preview, kPreviewLengthAt);
  pictures.FullSize = FirstTrackSample(stream, walk);
  return pictures;
}

void TTif::ReadCr3(TStream& stream, bool quick_scan) {
  TBmffWalk walk(stream);
  const auto metadata = CanonMetadataBox(walk);
  if (!metadata) return;
  TMemoryStream blocks[4];
  for (const TBmffBox& box : walk.Children(*metadata)) {
    if (box.Type.size() != 4 || box.Type.compare(0, 3, "CMT") != 0) continue;
    const int index = box.Type[3] - '1';
    if (index < 0 || index > 3 || !blocks[index].Empty() || box.BodySize() > kMaxMetadataBlock) continue;
    stream.Seek(box.Body);
    Work.ValueBytes += blocks[index].CopyFrom(stream, box.BodySize());
  }
  TMemoryStream& main = blocks[0];
  TMemoryStream& exif = blocks[1];
  TMemoryStream& notes = blocks[2];
  TMemoryStream& gps = blocks[3];

  if (ReadBlockHeader(main)) {
    main.Seek(0);
    ReadTiff(main, 0, nullptr, false, quick_scan);
  }
  const auto read_block = [&](TMemoryStream& block, TTifIFD& directory, bool skip_thumbnail) {
    const auto header = ReadBlockHeader(block);
    if (!header) return tboUnknown;
    directory.Clear();
    directory.SubIFDs.Clear();
    const TWalkBudget granted(block.Size());
    TWalkBudget budget = granted;
    block.Seek(header->First);
    directory.ReadIFD(FileName, block, TagFilter, MaxValueSize, FullDng, &block, skip_thumbnail, 0,
                      header->ByteOrder, &budget);
    Work.Directories += granted.directories - budget.directories;
    Work.ValueBytes += granted.value_bytes - budget.value_bytes;
    return header->ByteOrder;
  };
  if (ByteOrder == tboUnknown) ByteOrder = tboIntel;
  const TTifByteOrder exif_order = read_block(exif, ExifIFD, quick_scan);
  if (quick_scan) return;
  if (const TTifTag* interop = ExifIFD.FindTag(kTagInteropPointer); interop != nullptr && exif_order != tboUnknown) {
    ExifInterIFD.Clear();
    TWalkBudget budget(exif.Size());
    exif.Seek(interop->GetValue().AsInteger());
    ExifInterIFD.ReadIFD(FileName, exif, TagFilter, MaxValueSize, FullDng, &exif, false, 0, exif_order, &budget);
  }
  read_block(gps, GPSIFD, false);
  read_block(notes, ExifMarkerNotesIFD, false);
  ExifMarkerNotesIFD.CameraMake = GetMake();

  if (const auto xmp = TopLevelUuid(walk, kXmpUuid); xmp && xmp->BodySize() <= kMaxMetadataBlock) {
    stream.Seek(xmp->Body);
    const std::string packet = stream.ReadString(static_cast<size_t>(xmp->BodySize()));
    Work.ValueBytes += static_cast<int64_t>(packet.size());
    XMPData = SplitLines(packet);
  }
}

}  // namespace morvane
