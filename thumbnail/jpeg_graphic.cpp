// libjpeg driven for the thumbnail path. libjpeg reports fatal errors through a callback that must
// not return; ours jumps back to the one libjpeg call in progress. Each such call sits alone in a
// small function with no C++ object of its own, so the jump never skips a destructor, and the
// C++ code around turns a failed call into EJpegError with libjpeg's message.
#include "thumbnail/jpeg_graphic.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>
// jerror.h after jpeglib.h: it needs its types.
#include <jerror.h>

#include "thumbnail/resize.h"

namespace morvane {

namespace {

// Read and write buffer sizes: small reads keep a failed probe cheap, large writes are rare.
constexpr size_t kChunk = 16384;
// Progressive files re-visit every block once per scan; hostile ones may carry thousands.
constexpr int kMaxScans = 100;
constexpr int64_t kMaxScanPixels = 1'500'000'000;
// libjpeg's own working memory (coefficient buffers of progressive files, for instance).
constexpr long kMaxLibjpegMemory = 768L * 1024 * 1024;

struct TErrorManager {
  jpeg_error_mgr Public{};
  std::jmp_buf Jump{};
  char Message[JMSG_LENGTH_MAX + 64] = {};
  bool DataEnded = false;  // the coded data ran out or broke off before the image was complete
};

extern "C" void JumpOnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

// Warnings (premature end, corrupt data) are not shown anywhere: decoding goes on. The two that
// say the coded data has ended are noted.
extern "C" void IgnoreMessage(j_common_ptr /*cinfo*/) {}

extern "C" void NoteWarning(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  auto* err = reinterpret_cast<TErrorManager*>(cinfo->err);
  if (err->Public.msg_code == JWRN_JPEG_EOF || err->Public.msg_code == JWRN_HIT_MARKER) err->DataEnded = true;
  ++err->Public.num_warnings;
}

void InitErrorManager(TErrorManager& err) {
  jpeg_std_error(&err.Public);
  err.Public.error_exit = JumpOnError;
  err.Public.emit_message = NoteWarning;
  err.Public.output_message = IgnoreMessage;
}

// Reads from a TStream at its position, as far as libjpeg asks. A memory stream is read in
// place; a file stream through a buffer, skipping by seeking.
struct TSourceManager {
  jpeg_source_mgr Public{};
  TStream* Stream = nullptr;
  bool StartOfData = true;
  bool InPlace = false;
  std::unique_ptr<JOCTET[]> Buffer;
  int64_t BytesCopied = 0;
};

const JOCTET kFakeEnd[2] = {0xFF, JPEG_EOI};

extern "C" void SourceInit(j_decompress_ptr /*cinfo*/) {}

extern "C" boolean SourceFill(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<TSourceManager*>(cinfo->src);
  size_t got = 0;
  if (!src->InPlace) got = src->Stream->Read(src->Buffer.get(), kChunk);
  src->BytesCopied += static_cast<int64_t>(got);
  if (got == 0) {
    if (src->StartOfData) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->Public.next_input_byte = kFakeEnd;
    src->Public.bytes_in_buffer = 2;
    return TRUE;
  }
  src->Public.next_input_byte = src->Buffer.get();
  src->Public.bytes_in_buffer = got;
  src->StartOfData = false;
  return TRUE;
}

extern "C" void SourceSkip(j_decompress_ptr cinfo, long count) {
  auto* src = reinterpret_cast<TSourceManager*>(cinfo->src);
  if (count <= 0) return;
  const auto n = static_cast<size_t>(count);
  if (n <= src->Public.bytes_in_buffer) {
    src->Public.next_input_byte += n;
    src->Public.bytes_in_buffer -= n;
    return;
  }
  // Past the buffer: move the stream on instead of reading what is skipped. In place, the
  // buffer is the whole rest of the stream, so the next fill reports the end.
  if (!src->InPlace) src->Stream->Skip(static_cast<int64_t>(n - src->Public.bytes_in_buffer));
  src->Public.bytes_in_buffer = 0;
  (*src->Public.fill_input_buffer)(cinfo);
}

extern "C" void SourceTerm(j_decompress_ptr /*cinfo*/) {}

struct TProgress {
  jpeg_progress_mgr Public{};
  int64_t Pixels = 0;
  TErrorManager* Errors = nullptr;
};

extern "C" void CheckScans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* progress = reinterpret_cast<TProgress*>(cinfo->progress);
  const int scans = reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number;
  if (scans > kMaxScans || scans * progress->Pixels > kMaxScanPixels) {
    std::snprintf(progress->Errors->Message, sizeof progress->Errors->Message,
                  "JPEG image has too many scans");
    std::longjmp(progress->Errors->Jump, 1);
  }
}

// One decompression: libjpeg's state, and one small function per libjpeg call that may fail.
class TDecompressor {
 public:
  explicit TDecompressor(TStream& stream) {
    InitErrorManager(err_);
    cinfo_.err = &err_.Public;
    if (!Create()) return;
    cinfo_.mem->max_memory_to_use = kMaxLibjpegMemory;
    source_.Stream = &stream;
    source_.Public.init_source = SourceInit;
    source_.Public.fill_input_buffer = SourceFill;
    source_.Public.skip_input_data = SourceSkip;
    source_.Public.resync_to_restart = jpeg_resync_to_restart;
    source_.Public.term_source = SourceTerm;
    if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
      source_.InPlace = true;
      const int64_t at = memory->Position();
      if (at < memory->Size()) {
        source_.Public.next_input_byte = memory->Bytes().data() + at;
        source_.Public.bytes_in_buffer = static_cast<size_t>(memory->Size() - at);
        source_.StartOfData = false;
      }
    } else {
      source_.Buffer = std::make_unique<JOCTET[]>(kChunk);
    }
    cinfo_.src = &source_.Public;
    progress_.Errors = &err_;
    progress_.Public.progress_monitor = CheckScans;
    cinfo_.progress = &progress_.Public;
  }
  ~TDecompressor() {
    if (created_) jpeg_destroy_decompress(&cinfo_);
  }
  TDecompressor(const TDecompressor&) = delete;
  TDecompressor& operator=(const TDecompressor&) = delete;

  jpeg_decompress_struct& Info() { return cinfo_; }
  const char* Message() const { return err_.Message; }
  bool DataEnded() const { return err_.DataEnded; }
  int64_t BytesCopied() const { return source_.BytesCopied; }

  bool ReadHeader() {
    if (!created_) return false;
    if (setjmp(err_.Jump)) return false;
    jpeg_read_header(&cinfo_, TRUE);
    return true;
  }
  bool Start(int64_t pixels) {
    progress_.Pixels = pixels;
    if (setjmp(err_.Jump)) return false;
    jpeg_start_decompress(&cinfo_);
    return true;
  }
  bool ReadRows(JSAMPARRAY rows, JDIMENSION count, JDIMENSION& got) {
    got = 0;
    if (setjmp(err_.Jump)) return false;
    got = jpeg_read_scanlines(&cinfo_, rows, count);
    return true;
  }
  bool HasMultipleScans() {
    if (setjmp(err_.Jump)) return true;
    return jpeg_has_multiple_scans(&cinfo_) != FALSE;
  }
  bool AllocateRows(JDIMENSION width, JDIMENSION count, JSAMPARRAY& rows) {
    if (setjmp(err_.Jump)) return false;
    rows = (*cinfo_.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo_), JPOOL_IMAGE, width, count);
    return true;
  }

 private:
  bool Create() {
    if (setjmp(err_.Jump)) return false;
    jpeg_create_decompress(&cinfo_);
    created_ = true;
    return true;
  }

  TErrorManager err_;
  TSourceManager source_;
  TProgress progress_;
  jpeg_decompress_struct cinfo_{};
  bool created_ = false;
};

struct TDestinationManager {
  jpeg_destination_mgr Public{};
  TMemoryStream* Stream = nullptr;
  std::unique_ptr<JOCTET[]> Buffer;
};

// Appends bytes to the stream; a failure to grow it becomes libjpeg's write error.
void Flush(j_compress_ptr cinfo, size_t count) {
  auto* dest = reinterpret_cast<TDestinationManager*>(cinfo->dest);
  bool failed = false;
  try {
    dest->Stream->Write(dest->Buffer.get(), count);
  } catch (...) {
    failed = true;
  }
  if (failed) ERREXIT(cinfo, JERR_FILE_WRITE);
}

extern "C" void DestinationInit(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<TDestinationManager*>(cinfo->dest);
  dest->Public.next_output_byte = dest->Buffer.get();
  dest->Public.free_in_buffer = kChunk;
}

extern "C" boolean DestinationEmpty(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<TDestinationManager*>(cinfo->dest);
  Flush(cinfo, kChunk);
  dest->Public.next_output_byte = dest->Buffer.get();
  dest->Public.free_in_buffer = kChunk;
  return TRUE;
}

extern "C" void DestinationTerm(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<TDestinationManager*>(cinfo->dest);
  Flush(cinfo, kChunk - dest->Public.free_in_buffer);
}

class TCompressor {
 public:
  explicit TCompressor(TMemoryStream& stream) {
    InitErrorManager(err_);
    cinfo_.err = &err_.Public;
    if (!Create()) return;
    dest_.Stream = &stream;
    dest_.Buffer = std::make_unique<JOCTET[]>(kChunk);
    dest_.Public.init_destination = DestinationInit;
    dest_.Public.empty_output_buffer = DestinationEmpty;
    dest_.Public.term_destination = DestinationTerm;
    cinfo_.dest = &dest_.Public;
  }
  ~TCompressor() {
    if (created_) jpeg_destroy_compress(&cinfo_);
  }
  TCompressor(const TCompressor&) = delete;
  TCompressor& operator=(const TCompressor&) = delete;

  jpeg_compress_struct& Info() { return cinfo_; }
  const char* Message() const { return err_.Message; }

  bool Setup(int quality, int x_dpi, int y_dpi) {
    if (!created_) return false;
    if (setjmp(err_.Jump)) return false;
    jpeg_set_defaults(&cinfo_);
    jpeg_set_quality(&cinfo_, quality, TRUE);
    cinfo_.density_unit = 1;
    cinfo_.X_density = static_cast<UINT16>(x_dpi);
    cinfo_.Y_density = static_cast<UINT16>(y_dpi);
    jpeg_start_compress(&cinfo_, TRUE);
    return true;
  }
  bool WriteRow(JSAMPROW row) {
    if (setjmp(err_.Jump)) return false;
    jpeg_write_scanlines(&cinfo_, &row, 1);
    return true;
  }
  bool Finish() {
    if (setjmp(err_.Jump)) return false;
    jpeg_finish_compress(&cinfo_);
    return true;
  }

 private:
  bool Create() {
    if (setjmp(err_.Jump)) return false;
    jpeg_create_compress(&cinfo_);
    created_ = true;
    return true;
  }

  TErrorManager err_;
  TDestinationManager dest_;
  jpeg_compress_struct cinfo_{};
  bool created_ = false;
};

int DensityToDpi(int unit, int density) {
  switch (unit) {
    case 1: return density;
    case 2: return static_cast<int>(density * 2.54 + 0.5);
    default: return 0;
  }
}

int ClampDensity(int dpi) { return dpi < 0 ? 0 : (dpi > 65535 ? 65535 : dpi); }

// Inverted CMYK (as Adobe applications store it) to blue, green, red.
void CmykRowToBgr(const JSAMPLE* cmyk, uint8_t* bgr, int width) {
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const int k = cmyk[3];
    const int r = cmyk[0] + k - 255, g = cmyk[1] + k - 255, b = cmyk[2] + k - 255;
    bgr[0] = static_cast<uint8_t>(b > 0 ? b : 0);
    bgr[1] = static_cast<uint8_t>(g > 0 ? g : 0);
    bgr[2] = static_cast<uint8_t>(r > 0 ? r : 0);
  }
}

}  // namespace

int TJpegGraphic::ReducedScale(TImageSize picture, TImageSize fitted, TPixelFormat format) {
  // libjpeg decodes at 1/2, 1/4 or 1/8 of the size by a smaller inverse transform per block: the
  // entropy decoding stays, the transform, upsampling and colour work shrink with the output.
  // The reduced decode stands in for part of the area average that follows, so it is used only
  // where that average is (true colour, enough pixels), and only when the fitted size is at most
  // half the picture's both ways; a picture less than twice its thumbnail is decoded whole. The
  // scale is the smallest whose output still covers the fitted size: the average then shrinks
  // by less than two (else a smaller scale would have served), every thumbnail pixel still
  // averages at least one whole decoded pixel, and the picture stays the one a full decode gives.
  if (fitted.Width <= 0 || fitted.Height <= 0 || int64_t{fitted.Width} * 2 > picture.Width ||
      int64_t{fitted.Height} * 2 > picture.Height)
    return 1;
  for (const int denominator : {8, 4, 2}) {
    // libjpeg's output size at 1/denominator: the picture's size divided, rounded up.
    const int64_t width = (int64_t{picture.Width} + denominator - 1) / denominator;
    const int64_t height = (int64_t{picture.Height} + denominator - 1) / denominator;
    if (width >= fitted.Width && height >= fitted.Height && TResizeTransform::UsesHalftone(format, width * height))
      return denominator;
  }
  return 1;
}

std::optional<TImageSize> TJpegGraphic::ReadSize(TStream& stream) {
  TDecompressor decompressor(stream);
  jpeg_decompress_struct& info = decompressor.Info();
  if (!decompressor.ReadHeader() || info.data_precision != 8) return std::nullopt;
  const int samples = info.jpeg_color_space == JCS_GRAYSCALE                                ? 1
                      : info.jpeg_color_space == JCS_RGB || info.jpeg_color_space == JCS_YCbCr ? 3
                      : info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK ? 4
                                                                                              : 0;
  if (samples == 0 || info.num_components != samples || info.image_width == 0 || info.image_height == 0)
    return std::nullopt;
  return TImageSize{static_cast<int>(info.image_width), static_cast<int>(info.image_height)};
}

void TJpegGraphic::LoadFromStream(TStream& stream) {
  const int64_t available = stream.Remaining();
  TDecompressor decompressor(stream);
  jpeg_decompress_struct& info = decompressor.Info();
  last_decode_ = {};
  // Noted on every way out, a failure included.
  struct TNoteBytes {
    TJpegDecodeWork& work;
    const TDecompressor& decompressor;
    ~TNoteBytes() { work.BytesCopied = decompressor.BytesCopied(); }
  } note_bytes{last_decode_, decompressor};
  if (!decompressor.ReadHeader()) throw EJpegError(decompressor.Message());

  int required_samples = 0;
  TPixelFormat format = pf24bit;
  switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
      info.out_color_space = JCS_GRAYSCALE;
      required_samples = 1;
      format = pf8bit;
      break;
    case JCS_RGB:
    case JCS_YCbCr:
      info.out_color_space = JCS_EXT_BGR;
      required_samples = 3;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      info.out_color_space = JCS_CMYK;
      required_samples = 4;
      break;
    default:
      throw EJpegError("Unsupported color space");
  }
  if (info.num_components != required_samples)
    throw EJpegError("Invalid number of samples, " + std::to_string(info.num_components));
  if (!ImageSizeAllowed(info.image_width, info.image_height, available))
    throw EJpegError("JPEG image too large");

  if (FitFor) {
    const TImageSize picture{static_cast<int>(info.image_width), static_cast<int>(info.image_height)};
    int denominator = ReducedScale(picture, FitFor(picture), format);
    // A picture whose colour is halved across only (4:2:2) loses more than its luma at reduced
    // scales (the decoder repeats its colour samples instead of scaling them with the luma), so
    // it is decoded one scale larger, which keeps it the picture a full decode gives.
    const bool colour_halved_across = info.num_components == 3 && info.comp_info[0].h_samp_factor == 2 &&
                                      info.comp_info[0].v_samp_factor == 1;
    if (denominator > 1 && colour_halved_across) denominator /= 2;
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned int>(denominator);
  }
  const int64_t pixels = int64_t{info.image_width} * info.image_height;
  if (!decompressor.Start(pixels)) throw EJpegError(decompressor.Message());
  const int width = static_cast<int>(info.output_width);
  const int height = static_cast<int>(info.output_height);
  TRaster raster(width, height, format, TNewPixels::Undefined);
  const int dpi_x = DensityToDpi(info.density_unit, info.X_density);
  const int dpi_y = DensityToDpi(info.density_unit, info.Y_density);
  raster.XPelsPerMeter = DpiToPelsPerMeter(dpi_x);
  raster.YPelsPerMeter = DpiToPelsPerMeter(dpi_y);

  const bool cmyk = info.out_color_space == JCS_CMYK;
  constexpr JDIMENSION kBatch = 16;
  JSAMPARRAY cmyk_rows = nullptr;
  if (cmyk && !decompressor.AllocateRows(info.output_width * 4, kBatch, cmyk_rows))
    throw EJpegError(decompressor.Message());

  // A single-scan file is decoded while its rows are read, so once its data has ended the rows
  // still to come hold nothing: they are left out, which keeps the work in proportion to the
  // bytes that exist, whatever size the header announces.
  const bool single_scan = !decompressor.HasMultipleScans();
  JSAMPROW rows[kBatch];
  bool failed = false;
  while (info.output_scanline < info.output_height && !failed && !(single_scan && decompressor.DataEnded())) {
    const JDIMENSION first = info.output_scanline;
    const JDIMENSION count = std::min<JDIMENSION>(kBatch, info.output_height - first);
    for (JDIMENSION i = 0; i < count; ++i)
      rows[i] = cmyk ? cmyk_rows[i] : raster.ScanLine(static_cast<int>(first + i));
    JDIMENSION got = 0;
    failed = !decompressor.ReadRows(rows, count, got);
    if (cmyk)
      for (JDIMENSION i = 0; i < got; ++i)
        CmykRowToBgr(cmyk_rows[i], raster.ScanLine(static_cast<int>(first + i)), width);
    if (got == 0 && !failed) break;
  }
  last_decode_.RowsDecoded = info.output_scanline;
  // Rows the data did not reach are black; a large raster already is, and is left untouched so
  // that an image announced huge on few bytes costs no more than those bytes.
  if (!raster.AllocatedBlack())
    for (int y = static_cast<int>(info.output_scanline); y < height; ++y) {
      std::memset(raster.ScanLine(y), 0, raster.Stride());
      ++last_decode_.RowsCleared;
    }
  raster_ = std::move(raster);
  if (failed) throw EJpegError(decompressor.Message());
}

void TJpegGraphic::LoadFromFile(const std::string& path) {
  TFileStream stream(path);
  LoadFromStream(stream);
}

void TJpegGraphic::SaveToStream(TMemoryStream& stream) const {
  const bool gray = raster_.Format() == pf8bit && raster_.Palette == GrayPalette(pf8bit);
  if (raster_.Empty() || !(gray || raster_.IsTrueColor()))
    throw EJpegError("JPEG image must be gray scale or true color");

  TCompressor compressor(stream);
  jpeg_compress_struct& info = compressor.Info();
  info.image_width = static_cast<JDIMENSION>(raster_.Width());
  info.image_height = static_cast<JDIMENSION>(raster_.Height());
  info.input_components = gray ? 1 : 3;
  info.in_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
  const int quality = Quality < 1 ? 1 : (Quality > 100 ? 100 : Quality);
  if (!compressor.Setup(quality, ClampDensity(XDpi()), ClampDensity(YDpi())))
    throw EJpegError(compressor.Message());
  for (int y = 0; y < raster_.Height(); ++y) {
    // libjpeg takes rows as writable pointers but only reads them.
    auto* row = const_cast<JSAMPLE*>(raster_.ScanLine(y));
    if (!compressor.WriteRow(row)) throw EJpegError(compressor.Message());
  }
  if (!compressor.Finish()) throw EJpegError(compressor.Message());
}

}  // namespace morvane
