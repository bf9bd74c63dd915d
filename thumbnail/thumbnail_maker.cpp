// The thumbnail pipeline: read the metadata (quickly: orientation and any small embedded
// thumbnail), choose the preview (the loader's rule, the scanner when that falls short), decode,
// fit, orient, encode, draw. Every object lives
// for one call; every failure after the bitmap is prepared ends as the drawn text "error".
#include "thumbnail/thumbnail_maker.h"

#include <algorithm>

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
    int angle = 0;
    LoadPreview(file_name, width, height, image, angle, result.Work);
    if (image.Empty()) {
      result.Kind = TThumbnailOutcome::tkNoThumb;
      DrawCentredText(canvas, kNoThumbText, height / 2 - canvas.TextHeight("Xg") / 2, canvas.ClipRect());
      return false;
    }

    FitImage(image, width, height);
    if (angle != 0) RotateImage(image, angle);
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

void TMRV::LoadPreview(const std::string& file_name, int32_t width, int32_t height, TJpegGraphic& image,
                       int& angle, TThumbnailWork& work) const {
  TTif reader;
  reader.MaxValueSize = kReaderMaxValueSize;
  reader.FileName = SidecarFileName(file_name);
  reader.FullDng = false;
  reader.Open(true, true);
  work.Metadata = reader.Work;

  const int32_t larger = std::max(width, height);
  TMemoryStream* embedded = larger <= kEmbeddedThumbnailMaxSize ? reader.GetThumbnailStream() : nullptr;
  if (embedded != nullptr) {
    embedded->Seek(0);
    image.LoadFromStream(*embedded);
  } else {
    TQuickLoader loader;
    loader.MinSize = larger;
    loader.LoadPreview(file_name, image);
  }
  work.Decode = image.LastDecode();
  // The scanner finds JPEGs that no metadata points at; it is asked when the listed previews
  // do not serve the request, and wins only with a larger picture.
  if (!Covers({image.Width(), image.Height()}, width, height)) {
    const int64_t pixels = int64_t{image.Width()} * image.Height();
    TJpegGraphic scanned;
    ScanForPreview(file_name, scanned, pixels + 1, &work.Scan);
    if (int64_t{scanned.Width()} * scanned.Height() > pixels) {
      image.Assign(scanned);
      work.Decode = scanned.LastDecode();
    }
  }
  angle = UprightAngle(GetTagText(reader, 274, ikAll));
}

bool TMRV::MakePicture(const std::string& file_name, int32_t width, int32_t height, TJpegGraphic& picture,
                       TThumbnailOutcome* outcome) const {
  TThumbnailOutcome ignored;
  TThumbnailOutcome& result = outcome != nullptr ? *outcome : ignored;
  result = {};
  TJpegGraphic image;
  try {
    int angle = 0;
    LoadPreview(file_name, width, height, image, angle, result.Work);
    if (image.Empty()) {
      result.Kind = TThumbnailOutcome::tkNoThumb;
      return false;
    }
    if (Covers({image.Width(), image.Height()}, width, height)) FitImage(image, width, height);
    if (angle != 0) RotateImage(image, angle);
  } catch (const std::exception&) {
    result.Kind = TThumbnailOutcome::tkError;
    return false;
  }
  picture.Assign(image);
  result.Kind = TThumbnailOutcome::tkThumbnail;
  result.Width = picture.Width();
  result.Height = picture.Height();
  return true;
}

void TMRV::DrawCachedThumbnail(TStream& stream, int32_t width, int32_t height, TBitmap& bitmap) const {
  PrepareBitmap(bitmap, width, height);
  TJpegGraphic image;
  stream.Seek(0);
  image.LoadFromStream(stream);
  const TImageSize stored{image.Width(), image.Height()};
  const TImageSize fitted = FittedSize(stored, width, height);
  if (fitted.Width < stored.Width || fitted.Height < stored.Height) FitImage(image, width, height);
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
  const TImageSize fitted = FittedSize({image.Width(), image.Height()}, width, height);
  TResizeTransform resize;
  resize.Width = fitted.Width;
  resize.Height = fitted.Height;
  resize.ApplyTo(image);
}

}  // namespace morvane
