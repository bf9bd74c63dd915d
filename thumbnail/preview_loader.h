// TQuickLoader: the ready-made JPEG previews of camera raw files, found through their metadata.
// Each raw format keeps its previews elsewhere; the loader knows per extension where to look and
// which preview serves the requested size, and decodes it. No raw sensor data is decoded.
#pragma once

#include <cstdint>
#include <string>

#include "thumbnail/jpeg_graphic.h"

namespace morvane {

class TTif;

class TQuickLoader {
 public:
  // The larger side of the thumbnail being made; the DNG, MRW and ORF strategies choose by it.
  int32_t MinSize = 999999999;

  // Leaves a decoded preview in Image, or Image empty (or as a failed decoding left it) when no
  // strategy found one. Decoding failures are caught; a raw file that cannot be opened for its
  // strip, its DNG preview or its TIFF fallback throws.
  void LoadPreview(const std::string& file_name, TJpegGraphic& image) const;
  // The same for the file the caller holds in `stream`, whose format `file_name` names by its
  // extension. A stream has no sidecars (MRW offers nothing) and nothing is opened by name.
  void LoadPreview(TStream& stream, const std::string& file_name, TJpegGraphic& image) const;

 private:
  struct TSource;
  void LoadPreview(const TSource& source, TJpegGraphic& image) const;
  void LoadFirstStrip(const TSource& source, TJpegGraphic& image) const;
  void LoadDngPreview(const TSource& source, TJpegGraphic& image) const;
  void LoadSidecarJpeg(const TSource& source, TJpegGraphic& image) const;
  void LoadLargestThumbnail(const TSource& source, TJpegGraphic& image) const;
  void LoadMakerNoteThumbnail(const TSource& source, TJpegGraphic& image) const;
  void LoadNefPreview(const TSource& source, TJpegGraphic& image) const;
};

}  // namespace morvane
