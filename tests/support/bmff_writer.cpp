#include "support/bmff_writer.h"

namespace morvane::testing {

std::string BigEndian32(uint32_t value) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[static_cast<size_t>(i)] = static_cast<char>(value >> (24 - 8 * i));
  return out;
}

std::string BigEndian64(uint64_t value) {
  return BigEndian32(static_cast<uint32_t>(value >> 32)) + BigEndian32(static_cast<uint32_t>(value));
}

std::string Box(std::string_view type, std::string_view body, int64_t size) {
  const auto real = static_cast<uint32_t>(8 + body.size());
  return BigEndian32(size >= 0 ? static_cast<uint32_t>(size) : real) + std::string(type) + std::string(body);
}

std::string LargeBox(std::string_view type, std::string_view body) {
  return BigEndian32(1) + std::string(type) + BigEndian64(16 + body.size()) + std::string(body);
}

std::string UuidBox(std::string_view uuid, std::string_view body) {
  return Box("uuid", std::string(uuid) + std::string(body));
}

namespace {

const std::string kVersionFlags(4, '\0');

// THMB: version and flags, width, height, the JPEG's length, two 16-bit numbers, the JPEG.
std::string ThumbnailBox(const std::string& jpeg) {
  return Box("THMB", kVersionFlags + std::string("\x00\xa0\x00\x78", 4) + BigEndian32(static_cast<uint32_t>(jpeg.size())) +
                         std::string("\x00\x01\x00\x00", 4) + jpeg);
}

// PRVW: version and flags, a 16-bit number, width, height, a 16-bit number, the length, the JPEG.
std::string PreviewBox(const std::string& jpeg) {
  return Box("PRVW", kVersionFlags + std::string("\x00\x01\x06\x54\x04\x38\x00\x01", 8) +
                         BigEndian32(static_cast<uint32_t>(jpeg.size())) + jpeg);
}

std::string Track(const Cr3Parts& parts, uint64_t media_offset) {
  const std::string sizes = Box("stsz", kVersionFlags + BigEndian32(0) + BigEndian32(1) +
                                            BigEndian32(static_cast<uint32_t>(parts.FullSize.size())));
  const uint64_t offset = media_offset + static_cast<uint64_t>(parts.TrackOffsetShift);
  const std::string chunks = parts.ShortOffsets
                                 ? Box("stco", kVersionFlags + BigEndian32(1) + BigEndian32(static_cast<uint32_t>(offset)))
                                 : Box("co64", kVersionFlags + BigEndian32(1) + BigEndian64(offset));
  const std::string table = Box("stbl", Box("stsd", kVersionFlags + BigEndian32(0)) + sizes + chunks);
  return Box("trak", Box("tkhd", std::string(84, '\0')) + Box("mdia", Box("minf", table)));
}

}  // namespace

std::string BuildCr3(const Cr3Parts& parts) {
  const std::string file_type = Box("ftyp", std::string("crx \0\0\0\1crx isom", 16));
  std::string metadata = Box("CNCV", "CanonCR3_001/00.09.00/00.00.00");
  const std::pair<const char*, const std::string*> blocks[] = {
      {"CMT1", &parts.Cmt1}, {"CMT2", &parts.Cmt2}, {"CMT3", &parts.Cmt3}, {"CMT4", &parts.Cmt4}};
  for (const auto& [type, block] : blocks)
    if (!block->empty()) metadata += Box(type, *block);
  if (!parts.Thumbnail.empty()) metadata += ThumbnailBox(parts.Thumbnail);
  const std::string preview =
      parts.Preview.empty() ? std::string() : UuidBox(kCanonPreviewUuid, std::string(8, '\0') + PreviewBox(parts.Preview));

  // The track's size does not depend on the offset it holds: lay out once, then place.
  const auto movie = [&](uint64_t media_offset) {
    std::string body = UuidBox(kCanonMetadataUuid, metadata) + Box("mvhd", std::string(100, '\0'));
    if (!parts.FullSize.empty()) body += Track(parts, media_offset);
    return Box("moov", body);
  };
  const size_t media_header = parts.LargeMedia ? 16 : 8;
  const uint64_t media_offset = file_type.size() + movie(0).size() + preview.size() + media_header;
  const std::string media = parts.LargeMedia ? LargeBox("mdat", parts.FullSize) : Box("mdat", parts.FullSize);
  return file_type + movie(media_offset) + preview + media;
}

}  // namespace morvane::testing
