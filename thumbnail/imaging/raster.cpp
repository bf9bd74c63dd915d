// Raster storage and the two stretching modes. The halftone stretch is separable and integer:
// each source row is weighted by the part of a destination row it covers, each column likewise,
// so a destination pixel is the exact area average of what it covers (rounded at the end).
#include "thumbnail/imaging/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/errors.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace morvane {

namespace {

constexpr double kInchesPerMeter = 39.370078740157480317;

size_t StrideOf(int width, TPixelFormat format) {
  return ((static_cast<size_t>(width) * static_cast<size_t>(format) + 31) / 32) * 4;
}

// Blocks this large are mapped straight from the system, which hands them out black, with
// large pages: a picture of 100 megapixels then costs a few hundred page faults, not 100000.
// Smaller blocks come from the allocator, which reuses memory from one picture to the next.
constexpr size_t kMappedBytes = size_t{32} << 20;

// Which source pixels one destination pixel covers along one axis, in units where a source
// pixel is `unit` long and a destination pixel `picture_length` long: for a whole source,
// `unit` is the destination's length and `picture_length` the source's; for a source reduced by
// r from a picture, `unit` is r times the destination's length and `picture_length` the
// picture's, so the source's partial last pixel counts for the part of the picture it stands
// for. The first and last source pixels may be covered partly; the ones between are covered
// whole.
struct TSpan {
  int First = 0;
  int Last = 0;
  uint32_t FirstWeight = 0;
  uint32_t LastWeight = 0;
};

std::vector<TSpan> SpansOf(int picture_length, int destination_length, int64_t unit) {
  std::vector<TSpan> spans(static_cast<size_t>(destination_length));
  for (int i = 0; i < destination_length; ++i) {
    const int64_t start = int64_t{i} * picture_length;
    const int64_t end = start + picture_length;
    TSpan& s = spans[static_cast<size_t>(i)];
    s.First = static_cast<int>(start / unit);
    s.Last = static_cast<int>((end - 1) / unit);
    if (s.First == s.Last) {
      s.FirstWeight = static_cast<uint32_t>(picture_length);
      s.LastWeight = 0;
    } else {
      s.FirstWeight = static_cast<uint32_t>((s.First + 1) * unit - start);
      s.LastWeight = static_cast<uint32_t>(end - s.Last * unit);
    }
  }
  return spans;
}

// Row arithmetic in blocks of 16 bytes with a constant inner trip count, which compilers turn
// into vector instructions without being told, and a plain tail.
constexpr size_t kBlock = 16;
// An unsigned 16-bit sum holds 257 rows of bytes.
constexpr int kMaxRowsPerWordSum = 257;


// Adds the rows to the 16-bit sums, four rows per pass over the sums.
void AddRowsToWords(uint16_t* __restrict sum, const TRaster& source, int first, int stop, size_t n) {
  int y = first;
  for (; y + 4 <= stop; y += 4) {
    const uint8_t* __restrict r0 = source.ScanLine(y);
    const uint8_t* __restrict r1 = source.ScanLine(y + 1);
    const uint8_t* __restrict r2 = source.ScanLine(y + 2);
    const uint8_t* __restrict r3 = source.ScanLine(y + 3);
    size_t j = 0;
    for (; j + kBlock <= n; j += kBlock)
      for (size_t k = 0; k < kBlock; ++k)
        sum[j + k] = static_cast<uint16_t>(sum[j + k] + r0[j + k] + r1[j + k] + r2[j + k] + r3[j + k]);
    for (; j < n; ++j) sum[j] = static_cast<uint16_t>(sum[j] + r0[j] + r1[j] + r2[j] + r3[j]);
  }
  for (; y < stop; ++y) {
    const uint8_t* __restrict row = source.ScanLine(y);
    size_t j = 0;
    for (; j + kBlock <= n; j += kBlock)
      for (size_t k = 0; k < kBlock; ++k) sum[j + k] = static_cast<uint16_t>(sum[j + k] + row[j + k]);
    for (; j < n; ++j) sum[j] = static_cast<uint16_t>(sum[j] + row[j]);
  }
}

// acc = first x first_weight + words x words_weight + last x last_weight, in one pass.
template <class Acc>
void CombineRows(Acc* __restrict acc, const uint8_t* __restrict first, uint32_t first_weight,
                 const uint16_t* __restrict words, uint32_t words_weight, const uint8_t* __restrict last,
                 uint32_t last_weight, size_t n) {
  size_t j = 0;
  for (; j + kBlock <= n; j += kBlock)
    for (size_t k = 0; k < kBlock; ++k)
      acc[j + k] = static_cast<Acc>(first[j + k]) * first_weight + static_cast<Acc>(words[j + k]) * words_weight +
                   static_cast<Acc>(last[j + k]) * last_weight;
  for (; j < n; ++j)
    acc[j] = static_cast<Acc>(first[j]) * first_weight + static_cast<Acc>(words[j]) * words_weight +
             static_cast<Acc>(last[j]) * last_weight;
}

template <class Acc>
void AddWeightedWords(Acc* __restrict acc, const uint16_t* __restrict words, size_t n, uint32_t weight) {
  size_t j = 0;
  for (; j + kBlock <= n; j += kBlock)
    for (size_t k = 0; k < kBlock; ++k) acc[j + k] += static_cast<Acc>(words[j + k]) * weight;
  for (; j < n; ++j) acc[j] += static_cast<Acc>(words[j]) * weight;
}

// Halftone with an accumulator type wide enough for 255 x the source height. For each
// destination row the covered source rows are summed column by column (the rows covered whole
// in 16-bit sums, weighted by the unit, the partly covered first and last rows by their part),
// then each destination pixel sums its columns the same way.
template <class Acc>
void HalftoneRows(const TRaster& source, int picture_width, int picture_height, int reduction,
                  TRaster& destination) {
  const int sw = source.Width();
  const int dw = destination.Width(), dh = destination.Height();
  const size_t n = static_cast<size_t>(sw) * 3;
  const int64_t column_unit = int64_t{dw} * reduction, row_unit = int64_t{dh} * reduction;
  const std::vector<TSpan> columns = SpansOf(picture_width, dw, column_unit);
  const std::vector<TSpan> rows = SpansOf(picture_height, dh, row_unit);
  std::vector<uint16_t> words(n);
  std::vector<Acc> acc(n);
  const double scale = 1.0 / (static_cast<double>(picture_width) * static_cast<double>(picture_height));

  for (int y = 0; y < dh; ++y) {
    const TSpan& r = rows[static_cast<size_t>(y)];
    const int inner_end = std::max(r.First + 1, r.Last);
    int sy = r.First + 1;
    int stop = std::min(inner_end, sy + kMaxRowsPerWordSum);
    std::fill(words.begin(), words.end(), uint16_t{0});
    AddRowsToWords(words.data(), source, sy, stop, n);
    CombineRows(acc.data(), source.ScanLine(r.First), r.FirstWeight, words.data(), static_cast<uint32_t>(row_unit),
                source.ScanLine(r.Last), r.LastWeight, n);
    for (sy = stop; sy < inner_end; sy = stop) {
      stop = std::min(inner_end, sy + kMaxRowsPerWordSum);
      std::fill(words.begin(), words.end(), uint16_t{0});
      AddRowsToWords(words.data(), source, sy, stop, n);
      AddWeightedWords(acc.data(), words.data(), n, static_cast<uint32_t>(row_unit));
    }

    uint8_t* out = destination.ScanLine(y);
    for (int x = 0; x < dw; ++x) {
      const TSpan& c = columns[static_cast<size_t>(x)];
      const Acc* first = acc.data() + static_cast<size_t>(c.First) * 3;
      const Acc* last = acc.data() + static_cast<size_t>(c.Last) * 3;
      uint64_t middle[3] = {0, 0, 0};
      for (const Acc* p = first + 3; p < last; p += 3) {
        middle[0] += p[0];
        middle[1] += p[1];
        middle[2] += p[2];
      }
      for (int k = 0; k < 3; ++k) {
        const uint64_t sum = uint64_t{c.FirstWeight} * first[k] + middle[k] * static_cast<uint64_t>(column_unit) +
                             uint64_t{c.LastWeight} * last[k];
        const double v = static_cast<double>(sum) * scale + 0.5;
        out[x * 3 + k] = static_cast<uint8_t>(v >= 255.0 ? 255.0 : v);
      }
    }
  }
}

void RequireStretchable(const TRaster& source, const TRaster& destination) {
  if (source.Empty() || destination.Empty() || source.Format() != destination.Format())
    throw EMorvaneError("Stretch needs two bitmaps of one pixel format");
}

}  // namespace

void TFreePixels::operator()(uint8_t* pixels) const {
#if defined(__linux__)
  if (MappedBytes != 0) {
    ::munmap(pixels, MappedBytes);
    return;
  }
#endif
  std::free(pixels);
}

void TRaster::Allocate(size_t bytes, TNewPixels pixels) {
#if defined(__linux__)
  if (bytes >= kMappedBytes) {
    void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw EMorvaneError("Out of memory for a bitmap");
    ::madvise(block, bytes, MADV_HUGEPAGE);
    pixels_ = std::unique_ptr<uint8_t[], TFreePixels>(static_cast<uint8_t*>(block), TFreePixels{bytes});
    allocated_black_ = true;
    return;
  }
#endif
  const bool black = pixels == TNewPixels::Black;
  auto* block = static_cast<uint8_t*>(black ? std::calloc(bytes, 1) : std::malloc(bytes));
  if (block == nullptr) throw EMorvaneError("Out of memory for a bitmap");
  pixels_ = std::unique_ptr<uint8_t[], TFreePixels>(block, TFreePixels{});
  allocated_black_ = black;
}

int32_t DpiToPelsPerMeter(int dpi) {
  return static_cast<int32_t>(std::lround(static_cast<double>(dpi) * kInchesPerMeter));
}

int PelsPerMeterToDpi(int32_t pels_per_meter) {
  return static_cast<int>(std::lround(static_cast<double>(pels_per_meter) / kInchesPerMeter));
}

TRaster::TRaster(int width, int height, TPixelFormat format, TNewPixels pixels) {
  if (width <= 0 || height <= 0 || int64_t{width} * height > kMaxRasterPixels)
    throw EMorvaneError("Invalid bitmap size");
  width_ = width;
  height_ = height;
  format_ = format;
  stride_ = StrideOf(width, format);
  Allocate(stride_ * static_cast<size_t>(height), pixels);
  if (format != pf24bit) Palette = GrayPalette(format);
}

TRaster::TRaster(const TRaster& other)
    : Palette(other.Palette),
      XPelsPerMeter(other.XPelsPerMeter),
      YPelsPerMeter(other.YPelsPerMeter),
      width_(other.width_),
      height_(other.height_),
      format_(other.format_),
      stride_(other.stride_) {
  if (other.pixels_) {
    const size_t bytes = stride_ * static_cast<size_t>(height_);
    Allocate(bytes, TNewPixels::Undefined);
    std::memcpy(pixels_.get(), other.pixels_.get(), bytes);
    allocated_black_ = false;
  }
}

TRaster& TRaster::operator=(const TRaster& other) {
  if (this != &other) {
    TRaster copy(other);
    *this = std::move(copy);
  }
  return *this;
}

void TRaster::Release() {
  pixels_.reset();
  width_ = height_ = 0;
  stride_ = 0;
  allocated_black_ = false;
  Palette.clear();
}

uint8_t TRaster::PixelIndex(int x, int y) const {
  const uint8_t* row = ScanLine(y);
  switch (format_) {
    case pf1bit: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case pf4bit: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    case pf8bit: return row[x];
    case pf24bit: break;
  }
  return 0;
}

void TRaster::SetPixelIndex(int x, int y, uint8_t index) {
  uint8_t* row = ScanLine(y);
  switch (format_) {
    case pf1bit: {
      const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = (index & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      break;
    }
    case pf4bit:
      row[x >> 1] = (x & 1) ? static_cast<uint8_t>((row[x >> 1] & 0xF0) | (index & 0x0F))
                            : static_cast<uint8_t>((row[x >> 1] & 0x0F) | (index << 4));
      break;
    case pf8bit: row[x] = index; break;
    case pf24bit: break;
  }
}

TColor TRaster::PixelColor(int x, int y) const {
  if (format_ == pf24bit) {
    const uint8_t* p = ScanLine(y) + static_cast<size_t>(x) * 3;
    return MakeColor(p[2], p[1], p[0]);
  }
  const uint8_t index = PixelIndex(x, y);
  if (index >= Palette.size()) return 0;
  const TPaletteEntry& e = Palette[index];
  return MakeColor(e.Red, e.Green, e.Blue);
}

void TRaster::SetPixelColor(int x, int y, TColor color) {
  if (format_ != pf24bit) return;
  uint8_t* p = ScanLine(y) + static_cast<size_t>(x) * 3;
  p[0] = BlueOf(color);
  p[1] = GreenOf(color);
  p[2] = RedOf(color);
}

void TRaster::Fill(TColor color) {
  if (Empty() || format_ != pf24bit) return;
  uint8_t* first = ScanLine(0);
  for (int x = 0; x < width_; ++x) {
    first[x * 3] = BlueOf(color);
    first[x * 3 + 1] = GreenOf(color);
    first[x * 3 + 2] = RedOf(color);
  }
  for (int y = 1; y < height_; ++y) std::memcpy(ScanLine(y), first, static_cast<size_t>(width_) * 3);
}

bool TRaster::SameShape(const TRaster& other) const {
  return width_ == other.width_ && height_ == other.height_ && format_ == other.format_ &&
         Palette == other.Palette;
}

std::vector<TPaletteEntry> GrayPalette(TPixelFormat format) {
  if (format == pf24bit) return {};
  const int count = 1 << static_cast<int>(format);
  std::vector<TPaletteEntry> palette(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const auto v = static_cast<uint8_t>(i * 255 / (count - 1));
    palette[static_cast<size_t>(i)] = {v, v, v, 0};
  }
  return palette;
}

void StretchHalftone(const TRaster& source, TRaster& destination) {
  StretchHalftoneReduced(source, source.Width(), source.Height(), 1, destination);
}

void StretchHalftoneReduced(const TRaster& source, int picture_width, int picture_height, int reduction,
                            TRaster& destination) {
  RequireStretchable(source, destination);
  if (!source.IsTrueColor()) throw EMorvaneError("Halftone stretch needs a true-colour bitmap");
  if (reduction < 1 || reduction > 8 || (int64_t{picture_width} + reduction - 1) / reduction != source.Width() ||
      (int64_t{picture_height} + reduction - 1) / reduction != source.Height())
    throw EMorvaneError("Halftone stretch of a reduced picture needs its reduced size");
  // The accumulator of one destination row holds up to 255 x the picture's height; the weights
  // of one row or column, up to 8 x the destination's length, fit 32 bits.
  if (int64_t{picture_height} * 255 < (int64_t{1} << 32))
    HalftoneRows<uint32_t>(source, picture_width, picture_height, reduction, destination);
  else
    HalftoneRows<uint64_t>(source, picture_width, picture_height, reduction, destination);
}

void StretchColorOnColor(const TRaster& source, TRaster& destination) {
  RequireStretchable(source, destination);
  const int sw = source.Width(), sh = source.Height();
  const int dw = destination.Width(), dh = destination.Height();
  std::vector<int> column(static_cast<size_t>(dw));
  for (int x = 0; x < dw; ++x)
    column[static_cast<size_t>(x)] = static_cast<int>((int64_t{2} * x + 1) * sw / (int64_t{2} * dw));
  for (int y = 0; y < dh; ++y) {
    const int sy = static_cast<int>((int64_t{2} * y + 1) * sh / (int64_t{2} * dh));
    const uint8_t* in = source.ScanLine(sy);
    uint8_t* out = destination.ScanLine(y);
    switch (source.Format()) {
      case pf24bit:
        for (int x = 0; x < dw; ++x) std::memcpy(out + x * 3, in + column[static_cast<size_t>(x)] * 3, 3);
        break;
      case pf8bit:
        for (int x = 0; x < dw; ++x) out[x] = in[column[static_cast<size_t>(x)]];
        break;
      case pf1bit:
      case pf4bit:
        for (int x = 0; x < dw; ++x)
          destination.SetPixelIndex(x, y, source.PixelIndex(column[static_cast<size_t>(x)], sy));
        break;
    }
  }
}

}  // namespace morvane
