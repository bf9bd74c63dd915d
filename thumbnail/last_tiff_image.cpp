// libtiff over our own file stream, so its reads are bounded like every other read, with
// handlers of ours for its messages (none reaches the terminal) and a cap on its allocations.
// Pixels come through libtiff's RGBA reader band by band, in the order they are stored.
#include "thumbnail/last_tiff_image.h"

#include <tiffio.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/stream.h"
#include "thumbnail/rotate.h"

namespace morvane {

namespace {

constexpr tmsize_t kMaxLibtiffAllocation = 256 * 1024 * 1024;
constexpr size_t kMaxBandBytes = 64 * 1024 * 1024;

extern "C" int IgnoreTiffMessage(TIFF*, void*, const char*, const char*, va_list) { return 1; }
extern "C" void IgnoreGlobalTiffMessage(const char*, const char*, va_list) {}

// Messages raised before a handle exists go to libtiff's process-wide handlers.
void SilenceGlobalHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    TIFFSetErrorHandler(IgnoreGlobalTiffMessage);
    TIFFSetWarningHandler(IgnoreGlobalTiffMessage);
  });
}

TStream& StreamOf(thandle_t handle) { return *static_cast<TStream*>(handle); }

extern "C" tmsize_t StreamRead(thandle_t handle, void* buffer, tmsize_t size) {
  if (size <= 0) return 0;
  return static_cast<tmsize_t>(StreamOf(handle).Read(buffer, static_cast<size_t>(size)));
}
extern "C" tmsize_t StreamWrite(thandle_t, void*, tmsize_t) { return -1; }
extern "C" toff_t StreamSeek(thandle_t handle, toff_t offset, int whence) {
  TStream& stream = StreamOf(handle);
  const auto signed_offset = static_cast<int64_t>(offset);
  switch (whence) {
    case SEEK_SET: stream.Seek(signed_offset); break;
    case SEEK_CUR: stream.Seek(stream.Position() + signed_offset); break;
    case SEEK_END: stream.Seek(stream.Size() + signed_offset); break;
    default: return static_cast<toff_t>(-1);
  }
  return static_cast<toff_t>(stream.Position());
}
extern "C" int StreamClose(thandle_t) { return 0; }
extern "C" toff_t StreamSize(thandle_t handle) { return static_cast<toff_t>(StreamOf(handle).Size()); }
extern "C" int NoMap(thandle_t, void**, toff_t*) { return 0; }
extern "C" void NoUnmap(thandle_t, void*, toff_t) {}

struct TTiffCloser {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};
struct TOptionsFreer {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct TRgbaImageEnd {
  void operator()(TIFFRGBAImage* image) const { TIFFRGBAImageEnd(image); }
};

std::unique_ptr<TIFF, TTiffCloser> OpenTiff(TStream& stream) {
  SilenceGlobalHandlers();
  std::unique_ptr<TIFFOpenOptions, TOptionsFreer> options(TIFFOpenOptionsAlloc());
  if (!options) return nullptr;
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxLibtiffAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), IgnoreTiffMessage, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreTiffMessage, nullptr);
  // "m": our stream cannot be mapped.
  return std::unique_ptr<TIFF, TTiffCloser>(TIFFClientOpenExt("preview", "rm", &stream, StreamRead, StreamWrite,
                                                              StreamSeek, StreamClose, StreamSize, NoMap,
                                                              NoUnmap, options.get()));
}

// Rows per band: whole strips or tiles, so that each is decoded once (libtiff decodes a strip
// from its start for every band that needs part of it). 0 when one strip or row of tiles takes
// more than kMaxBandBytes: no thumbnail is stored like that.
uint32_t BandRows(TIFF* tif, uint32_t width, uint32_t height) {
  uint32_t rows = 0;
  if (TIFFIsTiled(tif))
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &rows);
  else
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
  rows = std::min(rows == 0 ? height : rows, height);
  if (uint64_t{rows} * width * 4 > kMaxBandBytes) return 0;
  return rows;
}

bool DecodeCurrentDirectory(TIFF* tif, int64_t file_size, TRaster& result) {
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tif, message)) return false;
  TIFFRGBAImage rgba{};
  if (!TIFFRGBAImageBegin(&rgba, tif, 0, message)) return false;
  std::unique_ptr<TIFFRGBAImage, TRgbaImageEnd> end(&rgba);
  const uint32_t width = rgba.width, height = rgba.height;
  if (!ImageSizeAllowed(width, height, file_size)) return false;
  // Rows as stored, top row first: the caller turns the picture by its orientation.
  rgba.req_orientation = rgba.orientation;

  TRaster raster(static_cast<int>(width), static_cast<int>(height), pf24bit, TNewPixels::Undefined);
  const uint32_t band = BandRows(tif, width, height);
  if (band == 0) return false;
  std::vector<uint32_t> pixels(size_t{width} * band);
  for (uint32_t row = 0; row < height; row += band) {
    const uint32_t rows = std::min(band, height - row);
    rgba.row_offset = static_cast<int>(row);
    rgba.col_offset = 0;
    if (!TIFFRGBAImageGet(&rgba, pixels.data(), width, rows)) return false;
    for (uint32_t y = 0; y < rows; ++y) {
      const uint32_t* in = pixels.data() + size_t{y} * width;
      uint8_t* out = raster.ScanLine(static_cast<int>(row + y));
      for (uint32_t x = 0; x < width; ++x, out += 3) {
        out[0] = static_cast<uint8_t>(TIFFGetB(in[x]));
        out[1] = static_cast<uint8_t>(TIFFGetG(in[x]));
        out[2] = static_cast<uint8_t>(TIFFGetR(in[x]));
      }
    }
  }
  result = std::move(raster);
  return true;
}

}  // namespace

void LoadLastTiffImage(const std::string& file_name, TDibGraphic& image) {
  TFileStream stream(file_name);
  LoadLastTiffImage(stream, image);
}

void LoadLastTiffImage(TStream& stream, TDibGraphic& image) {
  image.Clear();
  stream.Seek(0);
  try {
    auto tif = OpenTiff(stream);
    if (!tif) return;
    const tdir_t count = TIFFNumberOfDirectories(tif.get());
    if (count == 0 || !TIFFSetDirectory(tif.get(), static_cast<tdir_t>(count - 1))) return;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ORIENTATION, &orientation);
    TDibGraphic decoded;
    if (!DecodeCurrentDirectory(tif.get(), stream.Size(), decoded.Raster())) return;
    if (orientation == ORIENTATION_BOTRIGHT) {
      TRotateTransform rotate;
      rotate.Angle = 180;
      rotate.ApplyTo(decoded);
    }
    image.Assign(decoded);
  } catch (const std::exception&) {
    image.Clear();
  }
}

}  // namespace morvane
