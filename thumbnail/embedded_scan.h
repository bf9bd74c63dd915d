// The embedded JPEG scanner: the last preview source. It searches a file byte by byte for JPEG
// start patterns and takes the first candidate that is not too short or too long, decodes, and
// has enough pixels. It needs no metadata and works on any file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/stream.h"
#include "thumbnail/jpeg_graphic.h"

namespace morvane {

inline constexpr int64_t kScanMinCandidate = 1024;     // a candidate must be longer than this
inline constexpr int64_t kScanMaxCandidate = 8388608;  // and not longer than this
inline constexpr int64_t kScanInMemoryBelow = 364544;  // shorter candidates decode as one block
inline constexpr int64_t kNefScanMinPixels = 716800;
inline constexpr int64_t kScanMinPixels = 12800;

// What the scans of one file may still spend, and what they have done. A hostile file can hold
// a start pattern every few bytes, each a candidate; real files hold a handful of JPEGs.
struct TScanBudget {
  int DecodeAttempts = 1000;
  int64_t DecodedPixels = 2 * kMaxImagePixels;
  int64_t Candidates = 0;     // start patterns looked at
  int64_t BytesSearched = 0;  // bytes read by the searches for start and end patterns
};

// Scans FileName for a preview: for ".NEF" first for one of 716800 pixels or more; then, except
// for ".CRW" and ".ERF", which are never scanned, for one of 12800 pixels or more, or of
// `min_pixels` when that is more (a caller that holds a preview asks for a larger one). Image
// keeps whatever the last decoding left, also an undersized picture. Throws when the file cannot
// be opened. The scans share `budget` (a fresh one when none is given), left with what they did.
void ScanForPreview(const std::string& file_name, TJpegGraphic& image, int64_t min_pixels = kScanMinPixels,
                    TScanBudget* budget = nullptr);
// The same over the bytes of a stream, the type named by `type_name`'s extension.
void ScanForPreview(TStream& stream, const std::string& type_name, TJpegGraphic& image,
                    int64_t min_pixels = kScanMinPixels, TScanBudget* budget = nullptr);

// Walks the candidates of the stream from its start; true when one decoded into Image with at
// least MinPixels pixels.
bool FindEmbeddedJpeg(TStream& stream, int64_t min_pixels, TJpegGraphic& image,
                      TScanBudget& budget);
bool FindEmbeddedJpeg(TStream& stream, int64_t min_pixels, TJpegGraphic& image);

}  // namespace morvane
