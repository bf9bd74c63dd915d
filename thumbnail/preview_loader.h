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

 private:
  void LoadFirstStrip(const std::string& file_name, TJpegGraphic& image) const;
  void LoadDngPreview(const std::string& file_name, TJpegGraphic& image) const;
  void LoadSidecarJpeg(const std::string& file_name, TJpegGraphic& image) const;
  void LoadLargestThumbnail(const std::string& file_name, TJpegGraphic& image) const;
  void LoadMakerNoteThumbnail(const std::string& file_name, TJpegGraphic& image) const;
  void LoadNefPreview(const std::string& file_name, TJpegGraphic& image) const;
};

}  // namespace morvane
