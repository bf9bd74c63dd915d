#include "shellext/module.h"

#include <algorithm>

#include "cache/file_stamp.h"
#include "shellext/request_lock.h"
#include "platform/guid.h"
#include "shellext/info_tip_request.h"
#include "shellext/handler_components.h"

namespace morvane {

namespace {
constexpr int kWriteBackMinimumSide = 80;

// The logo, decoded once per process by the first thumbnail that is stamped with it: a process
// that only answers info tips never decodes it.
const TRgbaImage& Logo() {
  static const TRgbaImage logo = DecodePng(kLogoPng.data(), kLogoPng.size());
  return logo;
}
}  // namespace

TSxModule1::TSxModule1(const std::string& cache_folder)
    : TSxModule("SxModule1", false) {
  AddHandlerComponents(*this, {[this](TSxExtractImage& sender, TBitmap& image, const TSxSize& size) {
                                 ImageExtractImage(sender.FileName(), image, size.cx, size.cy);
                               },
                               [this](TSxInfoTip& sender, std::string& info_tip) {
                                 InfoTipGetInfoTip(sender.FileName(), info_tip);
                               }});
  SxModuleCreate(cache_folder);
}

TSxModule1::~TSxModule1() { SxModuleDestroy(); }

void TSxModule1::SxModuleCreate(const std::string& cache_folder) {
  mrv_ = std::make_unique<TMRV>();
  cache_ = std::make_unique<TThumbCache>(cache_folder);
}

void TSxModule1::SxModuleDestroy() { mrv_.reset(); }

void TSxModule1::ThumbnailRequest(const std::string& file_name, int width, int height, TBitmap& bitmap,
                                  TRequestReport* report) {
  TRequestReport local;
  TRequestReport& done = report != nullptr ? *report : local;
  {
    TLockGuard guard(RequestLock());
    const auto entry = CacheFileEntry(file_name);
    if (!entry) return;
    // A row serves the request when it was made for the file as it is now and its picture is
    // large enough to be drawn without enlarging it.
    std::vector<TCacheRow> undecodable;
    const auto serves = [&](const TCacheRow& row) {
      if (row.FileSize != entry->FileSize || row.FileStamp != entry->FileStamp || row.Thumb.empty()) return false;
      for (const TCacheRow& bad : undecodable)
        if (bad.GUID == row.GUID && bad.Thumb == row.Thumb) return false;
      TMemoryStream jpeg(row.Thumb);
      const auto stored = TJpegGraphic::ReadSize(jpeg);
      return stored && TMRV::Covers(*stored, width, height);
    };

    const std::vector<TCacheRow> rows = cache_->FindRows(file_name);
    for (const TCacheRow& row : rows) {
      if (!serves(row)) continue;
      try {
        TMemoryStream jpeg(row.Thumb);
        mrv_->DrawCachedThumbnail(jpeg, width, height, bitmap);
      } catch (const EMorvaneError&) {
        // A stored thumbnail that no longer decodes counts as stale: it is made again and its
        // row rewritten, instead of failing every later request for the file.
        undecodable.push_back(row);
        continue;
      }
      done.FromCache = true;
      if (rows.size() > 1) cache_->DeleteOtherRows(file_name, row.GUID);
      break;
    }

    if (!done.FromCache) {
      TCacheRow made{GuidToString(NewGuid()), file_name, entry->FileSize, entry->FileStamp, {}};
      TMemoryStream thumb;
      const bool ok = mrv_->MakeThumbnail(file_name, width, height, bitmap, &thumb, &done.Made);
      if (ok && std::max(width, height) >= kWriteBackMinimumSide) {
        made.Thumb = thumb.Bytes();
        cache_->StoreOnlyRow(made, serves);
        done.WrittenBack = true;
      }
    }
  }
  StampLogo(bitmap);
}

void TSxModule1::StampLogo(TBitmap& bitmap) const {
  if (bitmap.Width() <= 0 || bitmap.Height() <= 0) return;
  const TRgbaImage& logo = Logo();
  const TRect clip = bitmap.Canvas().ClipRect();
  TRaster& raster = bitmap.Raster();
  for (int y = 0; y < logo.Height; ++y) {
    for (int x = 0; x < logo.Width; ++x) {
      const int bx = clip.Left + x;
      const int by = clip.Top + y;
      if (bx < 0 || by < 0 || bx >= raster.Width() || by >= raster.Height()) continue;
      const uint8_t* p = &logo.Pixels[static_cast<size_t>((y * logo.Width + x) * 4)];
      const TColor under = raster.PixelColor(bx, by);
      raster.SetPixelColor(bx, by,
                           MakeColor(BlendChannel(p[0], RedOf(under), p[3]), BlendChannel(p[1], GreenOf(under), p[3]),
                                     BlendChannel(p[2], BlueOf(under), p[3])));
    }
  }
}

void TSxModule1::ImageExtractImage(const std::string& file_name, TBitmap& image, int cx, int cy) {
  ThumbnailRequest(file_name, cx, cy, image);
}

void TSxModule1::InfoTipGetInfoTip(const std::string& file_name, std::string& info_tip) {
  info_tip = ComposeInfoTip(file_name);
}

}  // namespace morvane
