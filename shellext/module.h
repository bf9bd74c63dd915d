// The extension module: the handler components' common service. It answers the two requests
// the shell makes, a thumbnail (through the cache) and an info tip, and owns the thumbnail
// service, the cache connection and the logo.
#pragma once

#include <memory>
#include <string>

#include "cache/thumb_cache.h"
#include "thumbnail/imaging/canvas.h"
#include "shellext/logo.h"
#include "shellext/sx_module.h"
#include "thumbnail/thumbnail_maker.h"

namespace morvane {

// What a thumbnail request did, for callers that report it.
struct TRequestReport {
  bool FromCache = false;          // a fresh cached thumbnail was drawn
  bool WrittenBack = false;        // a new thumbnail was stored in the cache
  TThumbnailOutcome Made;          // what the thumbnail maker drew, when it ran
};

class TSxModule1 : public TSxModule {
 public:
  static constexpr const char* kClassName = "TSxModule1";
  std::string ClassName() const override { return kClassName; }

  // Creates the handler components, then runs the creation handler: the thumbnail service,
  // then the cache in `cache_folder` (created with its database when missing; ECacheError
  // when that fails).
  explicit TSxModule1(const std::string& cache_folder = TThumbCache::DefaultFolder());
  // Runs the destruction handler.
  ~TSxModule1() override;
  TSxModule1(const TSxModule1&) = delete;
  TSxModule1& operator=(const TSxModule1&) = delete;

  // Fills `bitmap` (empty on entry) with the thumbnail of the file: a fresh cached one, or a
  // newly made one written back to the cache when the request is 80 pixels or more on its
  // larger side; the logo is stamped on it. A missing file leaves the bitmap empty. Failures
  // of the cache database propagate (ECacheError).
  void ThumbnailRequest(const std::string& file_name, int width, int height, TBitmap& bitmap,
                        TRequestReport* report = nullptr);

  // The shell-facing forms of the two requests.
  void ImageExtractImage(const std::string& file_name, TBitmap& image, int cx, int cy);
  void InfoTipGetInfoTip(const std::string& file_name, std::string& info_tip);

  TThumbCache& Cache() { return *cache_; }

 private:
  void SxModuleCreate(const std::string& cache_folder);
  void SxModuleDestroy();
  void StampLogo(TBitmap& bitmap) const;

  std::unique_ptr<TMRV> mrv_;
  std::unique_ptr<TThumbCache> cache_;
};

// Blends a logo pixel over a bitmap channel: (a * logo + (255 - a) * bitmap + 255) div 256.
constexpr uint8_t BlendChannel(uint8_t logo, uint8_t bitmap, uint8_t alpha) {
  return static_cast<uint8_t>((alpha * logo + (255 - alpha) * bitmap + 255) / 256);
}

}  // namespace morvane
