// The thumbnail pipeline: read the metadata (quickly: orientation and any small embedded
// thumbnail), choose the preview (the loader's rule, the scanner when that falls short), decode,
// fit, orient, encode, draw. Every object lives
// for one call; every failure after the bitmap is prepared ends as the drawn text "error".
#include "thumbnail/thumbnail_maker.h"

#include <algorithm>
#include <optional>

#include "metadata/tag_numbers.h"
#include "metadata/tif_reader.h"
#include "platform/text.h"
#include "presentation/tag_queries.h"
#include "thumbnail/embedded_scan.h"
#include "thumbnail/preview_loader.h"
#include "thumbnail/resize.h"
#include "thumbnail/rotate.h"

namespace morvane {

namespace {

constexpr int32_t kEmbeddedThumbnailMaxSize = 160;
constexpr int32_t kReaderMaxValueSize = 512;
constexpr int kThumbnailQuality = 90;

constexpr const char* kNoThumbText = "no thumb";
constexpr const char* kErrorText = "error";

// The quarter turns that make the picture upright, by the Orientation tag's display text.
int UprightAngle(const std::string& orientation) {
  if (SameText(orientation, "Rotated 180\xB0")) return 180;
  if (SameText(orientation, "Counter Clockwise 90\xB0")) return 90;
  if (SameText(orientation, "Clockwise 90\xB0")) return -90;
  return 0;
}

void PrepareBitmap(TBitmap& bitmap, int32_t width, int32_t height) {
  bitmap.Canvas().BrushColor = GetSysColor(COLOR_WINDOW);
  bitmap.SetWidth(width);
  bitmap.SetHeight(height);
}

// Stretches the image, which may be `picture` decoded at a reduced scale, to `size`.
void StretchTo(TJpegGraphic& image, TImageSize size, TImageSize picture) {
  TResizeTransform resize;
  resize.Width = size.Width;
  resize.Height = size.Height;
  if (picture.Width != image.Width() || picture.Height != image.Height()) {
    resize.PictureWidth = picture.Width;
    resize.PictureHeight = picture.Height;
  }
  resize.ApplyTo(image);
}

// Where a picture's bytes come from: the metadata reader, the preview loader and the scanner,
// each over the same file or stream.
struct TPictureSource {
  std::function<void(TTif&)> OpenMetadata;
  std::function<void(const TQuickLoader&, TJpegGraphic&)> LoadPreview;
  std::function<void(TJpegGraphic&, int64_t, TScanBudget*)> Scan;
};

bool LoadFittedPicture(const TPictureSource& source, int32_t size, bool enlarge, TJpegGraphic& picture,
                       TThumbnailOutcome& result) {
  result = {};
  picture.Clear();
  if (size <= 0) return false;
  try {
    TTif reader;
    reader.MaxValueSize = kReaderMaxValueSize;
    reader.FullDng = false;
    source.OpenMetadata(reader);
    result.Work.Metadata = reader.Work;
    TMemoryStream* embedded = size <= kEmbeddedThumbnailMaxSize ? reader.GetThumbnailStream() : nullptr;
    if (embedded != nullptr) {
      embedded->Seek(0);
      picture.LoadFromStream(*embedded);
    } else {
      TQuickLoader loader;
      loader.MinSize = size;
      source.LoadPreview(loader, picture);
    }
    if (!TMRV::Covers({picture.Width(), picture.Height()}, size, size)) {
      const int64_t pixels = int64_t{picture.Width()} * picture.Height();
      TJpegGraphic scanned;
      source.Scan(scanned, pixels + 1, &result.Work.Scan);
      if (int64_t{scanned.Width()} * scanned.Height() > pixels) picture.Assign(scanned);
    }
    result.Work.Decode = picture.LastDecode();
    if (picture.Empty()) {
      result.Kind = TThumbnailOutcome::tkNoThumb;
      return false;
    }
    if (enlarge || TMRV::Covers({picture.Width(), picture.Height()}, size, size)) TMRV::FitImage(picture, size, size);
    if (const int angle = UprightAngle(GetTagText(reader, kTagOrientation, ikAll)); angle != 0) TMRV::RotateImage(picture, angle);
    result.Kind = TThumbnailOutcome::tkThumbnail;
    result.Width = picture.Width();
    result.Height = picture.Height();
    return true;
  } catch (const std::exception&) {
    picture.Clear();
    result.Kind = TThumbnailOutcome::tkError;
    return false;
  }
}

void DrawCentred(const TDibGraphic& image, int32_t width, int32_t height, TBitmap& bitmap) {
  image.Draw(bitmap.Canvas(), width / 2 - image.Width() / 2, height / 2 - image.Height() / 2);
}

}  // namespace

bool TMRV::MakeThumbnail(const std::string& file_name, int32_t width, int32_t height, TBitmap& bitmap,
                         TMemoryStream* stream, TThumbnailOutcome* outcome) const {
  TThumbnailOutcome ignored;
  TThumbnailOutcome& result = outcome != nullptr ? *outcome : ignored;
  result = {};
  try {
    PrepareBitmap(bitmap, width, height);
  } catch (const std::exception&) {
    return false;
  }
  TCanvas& canvas = bitmap.Canvas();
  try {
    TJpegGraphic image;
    TTif reader;
    reader.MaxValueSize = kReaderMaxValueSize;
    reader.FileName = SidecarFileName(file_name);
    reader.FullDng = false;
    reader.Open(true, true);
    result.Work.Metadata = reader.Work;

    const int32_t larger = std::max(width, height);
    TMemoryStream* embedded = larger <= kEmbeddedThumbnailMaxSize ? reader.GetThumbnailStream() : nullptr;
    // The picture's own size, which a reduced decode leaves larger than the image; the fitted
    // size is always taken from it, so the thumbnail's size does not depend on the decoding.
    TImageSize picture;
    if (embedded != nullptr) {
      embedded->Seek(0);
      image.LoadFromStream(*embedded);
    } else {
      TQuickLoader loader;
      loader.MinSize = larger;
      image.FitFor = [width, height](TImageSize size) { return FittedSize(size, width, height); };
      picture = loader.LoadPreview(file_name, image);
    }
    result.Work.Decode = image.LastDecode();
    if (TResizeTransform::ReductionOf(image.Width(), image.Height(), picture.Width, picture.Height) == 1)
      picture = {image.Width(), image.Height()};
    // The scanner finds JPEGs that no metadata points at; it is asked when the listed previews
    // do not serve the request, and wins only with a larger picture.
    if (!Covers(picture, width, height)) {
      const int64_t pixels = int64_t{picture.Width} * picture.Height;
      TJpegGraphic scanned;
      ScanForPreview(file_name, scanned, pixels + 1, &result.Work.Scan);
      if (int64_t{scanned.Width()} * scanned.Height() > pixels) {
        image.Assign(scanned);
        picture = {image.Width(), image.Height()};
        result.Work.Decode = scanned.LastDecode();
      }
    }

    if (image.Empty()) {
      result.Kind = TThumbnailOutcome::tkNoThumb;
      DrawCentredText(canvas, kNoThumbText, height / 2 - canvas.TextHeight("Xg") / 2, canvas.ClipRect());
      return false;
    }

    StretchTo(image, FittedSize(picture, width, height), picture);
    if (const int angle = UprightAngle(GetTagText(reader, kTagOrientation, ikAll)); angle != 0) RotateImage(image, angle);
    if (stream != nullptr) {
      stream->Clear();
      image.Quality = kThumbnailQuality;
      image.SaveToStream(*stream);
    }
    DrawCentred(image, width, height, bitmap);
    result.Kind = TThumbnailOutcome::tkThumbnail;
    result.Width = image.Width();
    result.Height = image.Height();
    return true;
  } catch (const std::exception&) {
    result.Kind = TThumbnailOutcome::tkError;
    DrawCentredText(canvas, kErrorText, height - canvas.TextHeight("X") - 2, canvas.ClipRect());
    return false;
  }
}

bool TMRV::MakePicture(const std::string& file_name, int32_t size, TJpegGraphic& picture,
                       TThumbnailOutcome* outcome, bool enlarge) const {
  TThumbnailOutcome ignored;
  const TPictureSource source{
      [&](TTif& reader) {
        reader.FileName = SidecarFileName(file_name);
        reader.Open(true, true);
      },
      [&](const TQuickLoader& loader, TJpegGraphic& image) { loader.LoadPreview(file_name, image); },
      [&](TJpegGraphic& image, int64_t min_pixels, TScanBudget* budget) {
        ScanForPreview(file_name, image, min_pixels, budget);
      }};
  return LoadFittedPicture(source, size, enlarge, picture, outcome != nullptr ? *outcome : ignored);
}

bool TMRV::MakePicture(TStream& stream, const std::string& type_name, int32_t size, TJpegGraphic& picture,
                       TThumbnailOutcome* outcome) const {
  TThumbnailOutcome ignored;
  const TPictureSource source{
      [&](TTif& reader) {
        reader.FileName = type_name;
        reader.Open(stream, true, true);
      },
      [&](const TQuickLoader& loader, TJpegGraphic& image) { loader.LoadPreview(stream, type_name, image); },
      [&](TJpegGraphic& image, int64_t min_pixels, TScanBudget* budget) {
        ScanForPreview(stream, type_name, image, min_pixels, budget);
      }};
  return LoadFittedPicture(source, size, true, picture, outcome != nullptr ? *outcome : ignored);
}

void TMRV::DrawCachedThumbnail(TStream& stream, int32_t width, int32_t height, TBitmap& bitmap) const {
  PrepareBitmap(bitmap, width, height);
  stream.Seek(0);
  const std::optional<TImageSize> header = TJpegGraphic::ReadSize(stream);
  TJpegGraphic image;
  image.FitFor = [width, height](TImageSize size) { return FittedSize(size, width, height); };
  stream.Seek(0);
  image.LoadFromStream(stream);
  const TImageSize stored = header.value_or(TImageSize{image.Width(), image.Height()});
  const TImageSize fitted = FittedSize(stored, width, height);
  if (fitted.Width < stored.Width || fitted.Height < stored.Height) StretchTo(image, fitted, stored);
  DrawCentred(image, width, height, bitmap);
}

void TMRV::DrawCentredText(TCanvas& canvas, const std::string& text, int y, const TRect& rect) {
  const int x = rect.Left + ((rect.Right - rect.Left) - canvas.TextWidth(text)) / 2;
  std::lock_guard<TCanvas> lock(canvas);
  canvas.TextOut(x, rect.Top + y, text);
}

void TMRV::RotateImage(TJpegGraphic& image, int32_t angle) {
  TRotateTransform rotate;
  rotate.Angle = static_cast<double>(angle);
  rotate.ApplyTo(image);
}

TImageSize TMRV::FittedSize(TImageSize image, int32_t width, int32_t height) {
  TImageSize fitted;
  if (image.Width > image.Height) {
    fitted = {width, MulDiv(height, image.Height, image.Width)};
  } else {
    fitted = {MulDiv(width, image.Width, image.Height), height};
  }
  // A sliver of an image (say 4000 x 1) still keeps one row or column rather than none.
  return {std::max(fitted.Width, 1), std::max(fitted.Height, 1)};
}

bool TMRV::Covers(TImageSize image, int32_t width, int32_t height) {
  if (image.Width <= 0 || image.Height <= 0) return false;
  const TImageSize fitted = FittedSize(image, width, height);
  return fitted.Width <= image.Width && fitted.Height <= image.Height;
}

void TMRV::FitImage(TJpegGraphic& image, int32_t width, int32_t height) {
  const TImageSize size{image.Width(), image.Height()};
  StretchTo(image, FittedSize(size, width, height), size);
}

}  // namespace morvane
