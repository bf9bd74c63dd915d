// TQuickLoader: the ready-made JPEG previews of camera raw files, found through their metadata
// and their sidecars. Each raw format keeps its previews elsewhere; the loader knows per
// extension where to look, lists every preview with its real size, and decodes the one that
// serves the requested size by the one rule of ChoosePreviews. No raw sensor data is decoded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "thumbnail/jpeg_graphic.h"

namespace morvane {

// A preview a file holds: its size as its own header gives it, and how to decode it. Decode
// leaves the image empty (or as a failed decoding left it) when the data does not decode; it
// throws only when the raw file cannot be opened.
struct TPreview {
  TImageSize Size;
  std::function<void(TJpegGraphic&)> Decode;
};

// The previews in the order they serve a request of `min_size` pixels on its larger side, by
// the rule for every file type: first those that cover the request without enlarging, the
// smallest first; then the others, the largest first. Ties keep the listed order.
std::vector<size_t> ChoosePreviews(const std::vector<TImageSize>& sizes, int32_t min_size);

class TQuickLoader {
 public:
  // The larger side of the thumbnail being made; the choice among the previews is made by it.
  int32_t MinSize = 999999999;

  // Leaves the chosen preview decoded in Image (the next in the order when one does not
  // decode), or Image empty when the file has none; the preview's size, which is the image's
  // unless Image.FitFor had it decoded at a reduced scale (zero when none decoded). Decoding
  // failures are caught; a raw file that cannot be opened throws.
  TImageSize LoadPreview(const std::string& file_name, TJpegGraphic& image) const;
  // The same for the bytes of a stream, whose type `type_name` names by its extension. A stream
  // has no sidecars: only what it holds itself is offered.
  TImageSize LoadPreview(TStream& stream, const std::string& type_name, TJpegGraphic& image) const;

  // Every preview the file holds, as far as its type's metadata and its sidecars tell: a .THM
  // sidecar for every type; per extension the IFD0 strip (.CR2, .RAW), the JPEG sub-directories
  // and the TIFF image (.DNG, .NEF, .NRW, .3FR), the embedded thumbnails of every directory
  // (TIFF-based types, .RAF, .MRW), the maker note's thumbnail (.ORF) or preview (.MRW), the
  // .JPG sidecar (.MRW), the header's JPEG (.RAF), the heap's JPEG records (.CRW), THMB, PRVW
  // and the first track's JPEG (.CR3), IFD0's JpgFromRaw (.RW2, .RWL).
  std::vector<TPreview> ListPreviews(const std::string& file_name) const;
  // The previews a stream holds; they read the stream, which must outlive them.
  std::vector<TPreview> ListPreviews(TStream& stream, const std::string& type_name) const;
};

}  // namespace morvane
