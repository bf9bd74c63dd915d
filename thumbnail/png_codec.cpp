#include "thumbnail/png_codec.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "platform/errors.h"

namespace morvane {

TRgbaImage DecodePng(const uint8_t* bytes, size_t size) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, bytes, size) == 0)
    throw EMorvaneError(std::string("PNG: ") + image.message);
  image.format = PNG_FORMAT_RGBA;
  if (image.width == 0 || image.height == 0 || image.width > 4096 || image.height > 4096) {
    png_image_free(&image);
    throw EMorvaneError("PNG: unsupported size");
  }
  TRgbaImage out;
  out.Width = static_cast<int>(image.width);
  out.Height = static_cast<int>(image.height);
  out.Pixels.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, out.Pixels.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    throw EMorvaneError(std::string("PNG: ") + image.message);
  }
  return out;
}

namespace {

// libpng reports errors by a long jump back into the function that set it up; nothing with a
// destructor may live between that point and the call that fails.
struct TPngFile {
  FILE* File = nullptr;
  ~TPngFile() {
    if (File != nullptr) std::fclose(File);
  }
};

// At most this many text chunks, of at most this many bytes each, are read from a PNG.
constexpr png_uint_32 kMaxTextChunks = 64;
constexpr png_alloc_size_t kMaxChunkBytes = 64 * 1024;

// The part of a write that libpng may jump out of: it holds no C++ object of its own.
bool WritePng(png_structp png, png_infop info, FILE* file, int width, int height, png_text* chunks, int chunk_count,
              png_bytep* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (chunk_count > 0) png_set_text(png, info, chunks, chunk_count);
  // A thumbnail is written once per request: zlib's fastest level and one cheap row filter (the
  // default level with every filter tried cost more than the rest of a cached request).
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

bool WriteRows(FILE* file, const std::vector<uint8_t>& rgb, int width, int height, const TPngTexts& texts) {
  std::vector<png_text> chunks(texts.size());
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (size_t i = 0; i < texts.size(); ++i) {
    chunks[i].compression = PNG_TEXT_COMPRESSION_NONE;
    chunks[i].key = const_cast<char*>(texts[i].first.c_str());
    chunks[i].text = const_cast<char*>(texts[i].second.c_str());
    chunks[i].text_length = texts[i].second.size();
  }
  for (int y = 0; y < height; ++y)
    rows[static_cast<size_t>(y)] = const_cast<png_bytep>(rgb.data() + static_cast<size_t>(y) * width * 3);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  const bool written = info != nullptr && WritePng(png, info, file, width, height, chunks.data(),
                                                   static_cast<int>(chunks.size()), rows.data());
  png_destroy_write_struct(&png, &info);
  return written;
}

bool ReadTexts(FILE* file, TPngTexts& texts) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_user_limits(png, 65535, 65535);
  png_set_chunk_cache_max(png, kMaxTextChunks);
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
  png_init_io(png, file);
  png_read_info(png, info);
  png_textp chunks = nullptr;
  int count = 0;
  png_get_text(png, info, &chunks, &count);
  for (int i = 0; i < count; ++i)
    texts.emplace_back(chunks[i].key, std::string(chunks[i].text, chunks[i].text_length));
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

bool WritePngFile(const TRaster& raster, const std::string& path, const TPngTexts& texts) {
  std::vector<uint8_t> rgb(static_cast<size_t>(raster.Width()) * raster.Height() * 3);
  for (int y = 0; y < raster.Height(); ++y) {
    const uint8_t* in = raster.ScanLine(y);
    uint8_t* out = rgb.data() + static_cast<size_t>(y) * raster.Width() * 3;
    for (int x = 0; x < raster.Width(); ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  TPngFile output;
  output.File = std::fopen(path.c_str(), "wb");
  if (output.File == nullptr) return false;
  if (!WriteRows(output.File, rgb, raster.Width(), raster.Height(), texts)) return false;
  const int closed = std::fclose(output.File);
  output.File = nullptr;
  return closed == 0;
}

TPngTexts ReadPngTexts(const std::string& path) {
  TPngTexts texts;
  TPngFile input;
  input.File = std::fopen(path.c_str(), "rb");
  if (input.File == nullptr || !ReadTexts(input.File, texts)) return {};
  return texts;
}

}  // namespace morvane
