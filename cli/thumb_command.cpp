// `morvane thumb FILE -o OUT.png [--size N | --width W --height H]`: the thumbnail the shell would
// show for the file, answered through the per-user cache like a shell request, written as PNG or
// JPEG by the output's extension, and one line on stdout saying what was drawn: the fitted
// image's size, "cached thumbnail", "no thumb" or "error".
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/file_access.h"
#include "platform/text.h"
#include "thumbnail/jpeg_graphic.h"
#include "cache/thumb_cache.h"
#include "shellext/module.h"

namespace morvane::cli {

namespace {

constexpr int kDefaultSize = 256;
constexpr int kMaxSize = 4096;
constexpr int kOutputJpegQuality = 90;

bool ParseSize(const std::string& text, int& size) {
  int64_t value = 0;
  if (!TryStrToInt64(text, value) || value < 1 || value > kMaxSize) return false;
  size = static_cast<int>(value);
  return true;
}

// libpng reports a failure by a jump back to the call, so the call sits alone in a function with
// no C++ object of its own, and the jump skips no destructor.
bool WritePngRows(png_structp png, png_infop info, std::FILE* file, const TRaster& raster,
                  png_bytep* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(raster.Width()), static_cast<png_uint_32>(raster.Height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // A thumbnail is written once per request: zlib's fastest level and one cheap row filter (the
  // default level with every filter tried cost more than the rest of a cached request; this
  // writes a 256-pixel thumbnail in half the bytes and a fraction of the time).
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_write_info(png, info);
  png_set_bgr(png);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

// The raster's rows are written as they are stored, blue first, libpng turning each pixel.
bool WritePng(const TRaster& raster, const std::string& path) {
  std::vector<png_bytep> rows(static_cast<size_t>(raster.Height()));
  for (int y = 0; y < raster.Height(); ++y) rows[static_cast<size_t>(y)] = const_cast<png_bytep>(raster.ScanLine(y));
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  const bool written = info != nullptr && WritePngRows(png, info, file, raster, rows.data());
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && written;
}

bool WriteJpeg(const TRaster& raster, const std::string& path) {
  TJpegGraphic image;
  image.SetRaster(raster);
  image.Quality = kOutputJpegQuality;
  TMemoryStream encoded;
  image.SaveToStream(encoded);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(encoded.Bytes().data()), static_cast<std::streamsize>(encoded.Size()));
  return static_cast<bool>(out);
}

}  // namespace

int RunThumb(const Arguments& arguments) {
  std::string file, output;
  int size = 0, width = 0, height = 0;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    const bool has_value = i + 1 < arguments.size();
    if (a == "-o" && has_value) {
      output = arguments[++i];
    } else if (a == "--size" && has_value) {
      if (!ParseSize(arguments[++i], size)) return UsageError("--size takes a number from 1 to 4096");
    } else if (a == "--width" && has_value) {
      if (!ParseSize(arguments[++i], width)) return UsageError("--width takes a number from 1 to 4096");
    } else if (a == "--height" && has_value) {
      if (!ParseSize(arguments[++i], height)) return UsageError("--height takes a number from 1 to 4096");
    } else if (!a.empty() && a[0] != '-' && file.empty()) {
      file = a;
    } else {
      return UsageError("thumb: unexpected argument '" + a + "'");
    }
  }
  if (file.empty() || output.empty()) return UsageError("thumb takes FILE and -o OUT.png");
  if (size != 0 && (width != 0 || height != 0)) return UsageError("thumb takes --size or --width and --height");
  if ((width == 0) != (height == 0)) return UsageError("thumb takes --width and --height together");
  if (width == 0) width = height = size != 0 ? size : kDefaultSize;
  const std::string extension = LowerCase(ExtractFileExt(output));
  const bool png = extension == ".png";
  if (!png && extension != ".jpg" && extension != ".jpeg") return UsageError("thumb writes .png or .jpg files");
  if (!CheckReadableFile(file)) return 1;

  TBitmap bitmap;
  TRequestReport report;
  try {
    TSxModule1 module;
    module.ThumbnailRequest(file, width, height, bitmap, &report);
  } catch (const ECacheError& e) {
    std::fprintf(stderr, "morvane: %s\n", e.what());
    return 2;
  }
  bool written = false;
  try {
    written = png ? WritePng(bitmap.Raster(), output) : WriteJpeg(bitmap.Raster(), output);
  } catch (const std::exception&) {
    written = false;
  }
  if (!written) {
    std::fprintf(stderr, "morvane: %s: cannot be written\n", output.c_str());
    return 1;
  }
  const TThumbnailOutcome& outcome = report.Made;
  if (report.FromCache) {
    std::printf("cached thumbnail\n");
    return 0;
  }
  switch (outcome.Kind) {
    case TThumbnailOutcome::tkThumbnail: std::printf("thumbnail %dx%d\n", outcome.Width, outcome.Height); break;
    case TThumbnailOutcome::tkNoThumb: std::printf("no thumb\n"); break;
    default: std::printf("error\n"); break;
  }
  return 0;
}

}  // namespace morvane::cli
