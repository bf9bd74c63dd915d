// TJpegGraphic: a TDibGraphic that decodes and encodes JPEG through libjpeg. Decoding starts at
// the stream's position and reads only as far as the JPEG data needs; a failure raises EJpegError
// and never ends the process or prints anything.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/errors.h"
#include "platform/stream.h"
#include "thumbnail/dib_graphic.h"

namespace morvane {

class EJpegError : public EMorvaneError {
 public:
  using EMorvaneError::EMorvaneError;
};

struct TImageSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TImageSize&) const = default;
};

// The work of one decoding, which bounds its time whatever size the header announces.
struct TJpegDecodeWork {
  int64_t BytesCopied = 0;  // bytes copied from the stream (a memory stream is read in place)
  int64_t RowsDecoded = 0;  // rows the decoder produced
  int64_t RowsCleared = 0;  // rows the data did not reach, set to black one by one
};

class TJpegGraphic : public TDibGraphic {
 public:
  // The size a JPEG at the stream's position announces, read from its header alone; none when
  // the header does not read or describes a picture LoadFromStream would refuse (an unknown
  // colour space, more than 8 bits a sample). The position afterwards is not defined.
  static std::optional<TImageSize> ReadSize(TStream& stream);

  // The scale denominator (1, 2, 4 or 8) at which a picture of `picture` size, to be fitted to
  // `fitted`, is decoded: 1 (the whole picture) unless the fitted size is at most half the
  // picture's both ways. `format` is the format the decoded image takes.
  static int ReducedScale(TImageSize picture, TImageSize fitted, TPixelFormat format);

  int Quality = 80;  // 1..100, used when encoding
  // Set before decoding a picture that is to be shrunk: the size it will be fitted to, by the
  // size its header announces. The picture is then decoded at ReducedScale, so the image may be
  // smaller than the header's size, but never smaller than the fitted size.
  std::function<TImageSize(TImageSize)> FitFor;

  // Decodes the JPEG at the stream's position; the position afterwards is not defined. A failure
  // in the header leaves the image unchanged; one in the image data leaves the rows decoded so
  // far, the rest black. Data that ends early decodes as far as it goes, the rest black.
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const std::string& path);
  // What the last LoadFromStream did, also when it failed.
  const TJpegDecodeWork& LastDecode() const { return last_decode_; }
  // Appends the encoded image at the stream's position. Only 8-bit gray and true colour encode.
  void SaveToStream(TMemoryStream& stream) const;

 private:
  TJpegDecodeWork last_decode_;
};

}  // namespace morvane
