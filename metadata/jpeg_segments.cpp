// Walking the JPEG segments. Each segment's length is checked against the bytes that remain
// before anything is copied, so the walk copies at most the bytes of the stream and every step
// advances by at least the 4 bytes of marker and length.
#include "metadata/jpeg_segments.h"

#include <cstdint>

#include "platform/byte_order.h"
#include "platform/byte_view.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace morvane {

namespace {

struct TMarkerKindRow {
  int Kind;
  int Code;
  std::string_view Identifier;
};

constexpr TMarkerKindRow kMarkerKinds[] = {
    {jmkJfif,       kJpgCodeApp0,    {"JFIF\0", 5}},
    {jmkJfxx,       kJpgCodeApp0,    {"JFXX\0", 5}},
    {jmkExif,       kJpgCodeApp1,    {"Exif\0\0", 6}},
    {jmkXmp,        kJpgCodeApp1,    kXmpIdentifier},
    {jmkIccProfile, kJpgCodeApp2,    {"ICC_PROFILE\0", 12}},
    {jmkMeta,       kJpgCodeApp3,    {"META\0\0", 6}},
    {jmkDucky,      kJpgCodeApp12,   {"Ducky\0", 6}},
    {jmkPhotoshop,  kJpgCodeApp13,   {"Photoshop 3.0\0", 14}},
    {jmkComment,    kJpgCodeComment, {}},
};

const TMarkerKindRow* KindRow(int kind) {
  for (const auto& row : kMarkerKinds)
    if (row.Kind == kind) return &row;
  return nullptr;
}

// True when the data starts with the identifier; data shorter than the identifier matches when
// it is a non-empty start of it.
bool StartsWithIdentifier(TMemoryStream& data, std::string_view identifier) {
  const int64_t saved = data.Position();
  data.Seek(0);
  const std::string head = data.ReadString(identifier.size());
  data.Seek(saved);
  return !head.empty() && identifier.substr(0, head.size()) == head;
}

}  // namespace

int TJpgMarker::MarkerAppOrder() const {
  const auto* markers = dynamic_cast<const TJpgMarkers*>(Collection());
  const auto is_found_for = [&](int kind) {
    return markers != nullptr && markers->FindMarker(kind) == this;
  };
  switch (AppCode) {
    case kJpgCodeApp0: return is_found_for(jmkJfif) ? 0 : 1;
    case kJpgCodeApp1: return is_found_for(jmkExif) ? 10 : 15;
    case kJpgCodeApp2: return 20;
    case kJpgCodeApp3: return 30;
    case kJpgCodeApp12: return 121;
    case kJpgCodeApp13: return 12;
    case kJpgCodeApp14: return 140;
    case kJpgCodeComment: return -1;
    default: return 10000 + Index();
  }
}

int TJpgMarkers::ReadFromStream(TStream& stream) {
  int count = 0;
  while (Count() < kMaxJpgMarkers) {
    const int64_t at = stream.Position();
    uint8_t code[2];
    if (stream.Read(code, 2) != 2 || code[0] != 0xFF || code[1] == 0xD9) {
      stream.Seek(at);
      return count;
    }
    const uint32_t length = ReadWord(stream, tboMotorola);
    const int64_t data_size = static_cast<int64_t>(length) - 2;
    if (data_size < 0 || data_size > stream.Remaining()) throw EReadError();
    TJpgMarker* marker = Add();
    marker->AppCode = TByteView(code, 2).BE16(0).value_or(0);
    marker->DataStream.CopyFrom(stream, data_size);
    marker->DataStream.Seek(0);
    ++count;
    stream.Seek(at + 2 + static_cast<int64_t>(length));
  }
  return count;
}

TJpgMarker* TJpgMarkers::FindMarker(int kind) const {
  const TMarkerKindRow* row = KindRow(kind);
  if (row == nullptr) return nullptr;
  for (const auto& marker : *this) {
    if (marker->AppCode != row->Code) continue;
    if (kind == jmkComment || StartsWithIdentifier(marker->DataStream, row->Identifier))
      return marker.get();
  }
  return nullptr;
}

std::string TJpgMarkers::GetDimensions() const {
  for (const auto& marker : *this) {
    if (marker->AppCode != kJpgCodeBaselineFrame) continue;
    // The frame header: sample precision, then the height and the width, big-endian.
    const TByteView frame(marker->DataStream.Bytes());
    const auto height = frame.BE16(1);
    const auto width = frame.BE16(3);
    if (!height || !width || int{*width} + int{*height} < 1) return {};
    return Format("%dx%d", int{*width}, int{*height});
  }
  return {};
}

}  // namespace morvane
