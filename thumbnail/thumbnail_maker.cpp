// The thumbnail pipeline: read the metadata (quickly: orientation and any small embedded
// thumbnail), choose the preview source, decode, fit, orient, encode, draw. Every object lives
// for one call; every failure after the bitmap is prepared ends as the drawn text "error".
#include "thumbnail/thumbnail_maker.h"

#include <algorithm>

#include "metadata/tif_reader.h"
#include "platform/text.h"
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
    TTif reader;
    reader.MaxValueSize = kReaderMaxValueSize;
    reader.FileName = SidecarFileName(file_name);
    reader.FullDng = false;
    reader.Open(true, true);
    result.Work.Metadata = reader.Work;

    const int32_t larger = std::max(width, height);
    TMemoryStream* embedded = larger <= kEmbeddedThumbnailMaxSize ? reader.GetThumbnailStream() : nullptr;
    if (embedded != nullptr) {
      embedded->Seek(0);
      image.LoadFromStream(*embedded);
    } else if (SameText(ExtractFileExt(reader.FileName), ".thm")) {
      image.LoadFromFile(reader.FileName);
    } else {
      TQuickLoader loader;
      loader.MinSize = larger;
      loader.LoadPreview(file_name, image);
    }
    if (image.Empty()) ScanForPreview(file_name, image, &result.Work.Scan);
    result.Work.Decode = image.LastDecode();

    if (image.Empty()) {
      result.Kind = TThumbnailOutcome::tkNoThumb;
      DrawCentredText(canvas, kNoThumbText, height / 2 - canvas.TextHeight("Xg") / 2, canvas.ClipRect());
      return false;
    }

    FitImage(image, width, height);
    if (const int angle = UprightAngle(reader.GetTagText(274, ikAll)); angle != 0) RotateImage(image, angle);
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

void TMRV::DrawCachedThumbnail(TStream& stream, int32_t width, int32_t height, TBitmap& bitmap) const {
  PrepareBitmap(bitmap, width, height);
  TJpegGraphic image;
  stream.Seek(0);
  image.LoadFromStream(stream);
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

void TMRV::FitImage(TJpegGraphic& image, int32_t width, int32_t height) {
  const int32_t w = image.Width(), h = image.Height();
  TResizeTransform resize;
  if (w > h) {
    resize.Width = width;
    resize.Height = MulDiv(height, h, w);
  } else {
    resize.Width = MulDiv(width, w, h);
    resize.Height = height;
  }
  // A sliver of an image (say 4000 x 1) still keeps one row or column rather than none.
  resize.Width = std::max(resize.Width, 1);
  resize.Height = std::max(resize.Height, 1);
  resize.ApplyTo(image);
}

}  // namespace morvane
