// Candidates of the scan. A candidate runs from a start pattern FF D8 FF to just after the first
// end pattern FF D9; when another start lies inside it, that inner JPEG (an EXIF thumbnail in a
// preview's header, say) owns the end marker and becomes the candidate. The walk is linear in
// the file: the end search is remembered across candidates that share it, short candidates are
// decoded from a bounded view of the file instead of a copy, and a budget caps the decoding.
#include "thumbnail/embedded_scan.h"

#include <algorithm>
#include <string_view>

#include "metadata/tif_reader.h"
#include "platform/text.h"

namespace morvane {

namespace {

constexpr std::string_view kStartPattern("\xFF\xD8\xFF", 3);
constexpr std::string_view kEndPattern("\xFF\xD9", 2);

// The bytes [start, start + length) of another stream, seen as a stream of their own: decoding
// from it ends exactly where a copy of those bytes would end.
class TStreamWindow : public TStream {
 public:
  TStreamWindow(TStream& base, int64_t start, int64_t length)
      : base_(base), start_(start), length_(length) {}
  int64_t Size() const override { return length_; }

 protected:
  size_t ReadAt(int64_t offset, void* buffer, size_t count) override {
    base_.Seek(start_ + offset);
    return base_.Read(buffer, count);
  }

 private:
  TStream& base_;
  int64_t start_;
  int64_t length_;
};

// Another stream, read through: counts the bytes read from it.
class TCountedStream : public TStream {
 public:
  TCountedStream(TStream& base, int64_t& bytes_read) : base_(base), bytes_read_(bytes_read) {}
  int64_t Size() const override { return base_.Size(); }

 protected:
  size_t ReadAt(int64_t offset, void* buffer, size_t count) override {
    base_.Seek(offset);
    const size_t got = base_.Read(buffer, count);
    bytes_read_ += static_cast<int64_t>(got);
    return got;
  }

 private:
  TStream& base_;
  int64_t& bytes_read_;
};

class TScan {
 public:
  TScan(TStream& stream, int64_t min_pixels, TJpegGraphic& image, TScanBudget& budget)
      : stream_(stream), searched_(stream, budget.BytesSearched), image_(image), budget_(budget),
        min_pixels_(min_pixels), size_(stream.Size()) {}

  bool Run() {
    pos_ = 0;
    end_pos_ = 0;
    stream_.Seek(0);
    bool ok = TryCandidate();
    while (!ok) {
      ok = TryCandidate();
      if (ok || pos_ >= size_ || Exhausted()) break;
      ++pos_;
    }
    return ok;
  }

 private:
  bool Exhausted() const { return budget_.DecodeAttempts <= 0 || budget_.DecodedPixels <= 0; }

  // The first end pattern at or after `from`. An earlier search from at or before `from` that
  // found its match at or after `from` (or found none) has the answer already.
  bool FindEnd(int64_t from, int64_t& found) {
    if (end_searched_ && end_from_ <= from && (!end_found_ || end_at_ >= from)) {
      found = end_at_;
      return end_found_;
    }
    end_searched_ = true;
    end_from_ = from;
    end_found_ = FindPattern(searched_, kEndPattern, from, 0, end_at_);
    found = end_at_;
    return end_found_;
  }

  bool TryCandidate() {
    int64_t start = 0;
    if (!FindPattern(searched_, kStartPattern, pos_ + 1, 0, start)) {
      pos_ = size_;
      return false;
    }
    pos_ = start;
    ++budget_.Candidates;

    int64_t end = 0;
    end_pos_ = FindEnd(pos_, end) ? end + 2 : size_;

    int64_t inner = 0;
    if (FindPattern(searched_, kStartPattern, pos_ + 2, end_pos_, inner) && inner < end_pos_) pos_ = inner;

    const int64_t length = end_pos_ - pos_;
    if (length <= kScanMinCandidate || length > kScanMaxCandidate) {
      pos_ = end_pos_;
      return false;
    }
    if (Exhausted()) return false;
    --budget_.DecodeAttempts;
    try {
      if (length < kScanInMemoryBelow) {
        TStreamWindow window(stream_, pos_, length);
        image_.LoadFromStream(window);
      } else {
        stream_.Seek(pos_);
        image_.LoadFromStream(stream_);
      }
    } catch (const EMorvaneError&) {
      return false;
    } catch (const std::bad_alloc&) {
      return false;
    }
    const int64_t pixels = int64_t{image_.Width()} * image_.Height();
    budget_.DecodedPixels -= pixels;
    return pixels >= min_pixels_;
  }

  TStream& stream_;
  TCountedStream searched_;  // the stream, as the pattern searches read it
  TJpegGraphic& image_;
  TScanBudget& budget_;
  const int64_t min_pixels_;
  const int64_t size_;
  int64_t pos_ = 0;
  int64_t end_pos_ = 0;
  bool end_searched_ = false;
  bool end_found_ = false;
  int64_t end_from_ = 0;
  int64_t end_at_ = 0;
};

}  // namespace

bool FindEmbeddedJpeg(TStream& stream, int64_t min_pixels, TJpegGraphic& image, TScanBudget& budget) {
  return TScan(stream, min_pixels, image, budget).Run();
}

bool FindEmbeddedJpeg(TStream& stream, int64_t min_pixels, TJpegGraphic& image) {
  TScanBudget budget;
  return FindEmbeddedJpeg(stream, min_pixels, image, budget);
}

void ScanForPreview(const std::string& file_name, TJpegGraphic& image, int64_t min_pixels,
                    TScanBudget* shared_budget) {
  TFileStream stream(file_name);
  ScanForPreview(stream, file_name, image, min_pixels, shared_budget);
}

void ScanForPreview(TStream& stream, const std::string& type_name, TJpegGraphic& image, int64_t min_pixels,
                    TScanBudget* shared_budget) {
  stream.Seek(0);
  const std::string extension = ExtractFileExt(type_name);
  TScanBudget own_budget;
  TScanBudget& budget = shared_budget != nullptr ? *shared_budget : own_budget;
  if (SameText(extension, ".NEF")) {
    if (FindEmbeddedJpeg(stream, kNefScanMinPixels, image, budget)) return;
  } else if (SameText(extension, ".CRW") || SameText(extension, ".ERF")) {
    return;
  }
  FindEmbeddedJpeg(stream, std::max(kScanMinPixels, min_pixels), image, budget);
}

}  // namespace morvane
