// TMRV: the thumbnail service. It turns a file and a requested size into a thumbnail drawn on
// the caller's bitmap (and, when asked, a JPEG of it for the cache), redraws a cached JPEG, and
// draws the texts that stand in for a thumbnail ("no thumb", "error"). It holds no state.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "metadata/tif_reader.h"
#include "thumbnail/imaging/canvas.h"
#include "platform/stream.h"
#include "thumbnail/embedded_scan.h"
#include "thumbnail/jpeg_graphic.h"

namespace morvane {

// The work figures of one thumbnail, as the budgets of its steps counted them.
struct TThumbnailWork {
  TReadWork Metadata;      // the quick metadata read
  TJpegDecodeWork Decode;  // the last decoding of the picture shown (or tried)
  TScanBudget Scan;        // the embedded scan, when it ran
};

// What MakeThumbnail drew, for callers that report it.
struct TThumbnailOutcome {
  enum TKind { tkThumbnail, tkNoThumb, tkError, tkNothing } Kind = tkNothing;
  int Width = 0;  // the image drawn, after fitting and turning
  int Height = 0;
  TThumbnailWork Work;
};

class TMRV {
 public:
  // Draws the best preview of the file, fitted to Width x Height, upright and centred on the
  // window colour; encodes it into Stream (quality 90) when one is given. False, with "no thumb"
  // or "error" drawn instead, when there was nothing to show or showing it failed.
  bool MakeThumbnail(const std::string& file_name, int32_t width, int32_t height, TBitmap& bitmap,
                     TMemoryStream* stream, TThumbnailOutcome* outcome = nullptr) const;
  // The picture itself, for front ends whose host frames it: the best preview of the file fitted
  // to `size` pixels on its longer side and turned upright, with no padding and no text. False,
  // with `picture` empty, when the file has nothing to show or reading it failed.
  // `enlarge` false leaves a preview smaller than `size` at its own size (the desktop's
  // thumbnail cache wants no enlarged pictures; its viewers scale them themselves).
  bool MakePicture(const std::string& file_name, int32_t size, TJpegGraphic& picture,
                   TThumbnailOutcome* outcome = nullptr, bool enlarge = true) const;
  // The same from the bytes of a stream, whose type `type_name` names by its extension; a
  // stream has no sidecars.
  bool MakePicture(TStream& stream, const std::string& type_name, int32_t size, TJpegGraphic& picture,
                   TThumbnailOutcome* outcome = nullptr) const;
  // Draws a cached JPEG centred: fitted down to the request when it is larger, else at its
  // stored size. Decoding failures reach the caller.
  void DrawCachedThumbnail(TStream& stream, int32_t width, int32_t height, TBitmap& bitmap) const;

  static void DrawCentredText(TCanvas& canvas, const std::string& text, int y, const TRect& rect);
  // Turns the image by a right angle; positive angles turn clockwise.
  static void RotateImage(TJpegGraphic& image, int32_t angle);
  // Resizes the image for a request: a landscape image takes the requested width and the height
  // scaled from the requested height, any other image the other way round.
  static void FitImage(TJpegGraphic& image, int32_t width, int32_t height);
  // The size FitImage gives an image of `image`'s size for the request.
  static TImageSize FittedSize(TImageSize image, int32_t width, int32_t height);
  // Whether an image of that size serves the request without being enlarged: its fitted size
  // is no larger than itself in either direction.
  static bool Covers(TImageSize image, int32_t width, int32_t height);

 private:
};

}  // namespace morvane
