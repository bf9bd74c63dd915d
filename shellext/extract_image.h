// The thumbnail extractor component. GetLocation runs the OnExtractImage event on a new empty
// bitmap at the size the shell asked for, synchronously; Extract hands the shell a copy of that
// picture (or of the default image when the event drew none).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "thumbnail/imaging/canvas.h"
#include "shellext/shell_object.h"

namespace morvane {

class TSxExtractImage;

using TSxSize = SIZE;
using TSxExtractImageEvent = std::function<void(TSxExtractImage& sender, TBitmap& image, const TSxSize& size)>;

// The shell's thumbnail-extractor category, in the letter cases its registry key is written with.
inline constexpr const char* kExtractImageCategory = "{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}";

class TSxExtractImage : public TSxPersistFile, public IExtractImage {
 public:
  static constexpr const char* kClassName = "TSxExtractImage";
  std::string ClassName() const override { return kClassName; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    return TSxBaseShellObject::QueryInterface(riid, ppvObject);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TSxBaseShellObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TSxBaseShellObject::Release(); }

  HRESULT STDMETHODCALLTYPE GetLocation(LPWSTR pszPathBuffer, DWORD cch, DWORD* pdwPriority, const SIZE* prgSize,
                                        DWORD dwRecClrDepth, DWORD* pdwFlags) override;
  HRESULT STDMETHODCALLTYPE Extract(HBITMAP* phBmpThumbnail) override;

  HRESULT GetInterface(REFIID iid, void** ppv) override;
  void RegisterFileType(const std::string& file_type, bool register_component) override;

  // The default image; setting it copies the bitmap.
  const TBitmap& Image() const { return default_image_; }
  void SetImage(const TBitmap& image);

  TSxExtractImageEvent OnExtractImage;

 private:
  TBitmap default_image_;
  std::unique_ptr<TBitmap> last_image_;
};

}  // namespace morvane
