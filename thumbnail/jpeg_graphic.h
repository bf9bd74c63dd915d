// TJpegGraphic: a TDibGraphic that decodes and encodes JPEG through libjpeg. Decoding starts at
// the stream's position and reads only as far as the JPEG data needs; a failure raises EJpegError
// and never ends the process or prints anything.
#pragma once

#include <string>

#include "platform/errors.h"
#include "platform/stream.h"
#include "thumbnail/dib_graphic.h"

namespace morvane {

class EJpegError : public EMorvaneError {
 public:
  using EMorvaneError::EMorvaneError;
};

// The work of one decoding, which bounds its time whatever size the header announces.
struct TJpegDecodeWork {
  int64_t BytesCopied = 0;  // bytes copied from the stream (a memory stream is read in place)
  int64_t RowsDecoded = 0;  // rows the decoder produced
  int64_t RowsCleared = 0;  // rows the data did not reach, set to black one by one
};

class TJpegGraphic : public TDibGraphic {
 public:
  int Quality = 80;  // 1..100, used when encoding

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
