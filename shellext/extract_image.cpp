#include "shellext/extract_image.h"

#include "thumbnail/imaging/raster_handle.h"
#include "platform/file_path.h"
#include "platform/wide_text.h"

namespace morvane {

namespace {

void CopyBitmap(const TBitmap& source, TBitmap& target) {
  target.SetSize(source.Width(), source.Height());
  target.Raster() = source.Raster();
}

bool IsEmpty(const TBitmap& bitmap) { return bitmap.Width() == 0 || bitmap.Height() == 0; }

}  // namespace

HRESULT TSxExtractImage::GetInterface(REFIID iid, void** ppv) {
  if (IsEqualIID(iid, IID_IExtractImage)) {
    *ppv = static_cast<IExtractImage*>(this);
    return S_OK;
  }
  return TSxPersistFile::GetInterface(iid, ppv);
}

void TSxExtractImage::SetImage(const TBitmap& image) { CopyBitmap(image, default_image_); }

HRESULT STDMETHODCALLTYPE TSxExtractImage::GetLocation(LPWSTR pszPathBuffer, DWORD cch, DWORD* pdwPriority,
                                                       const SIZE* prgSize, DWORD, DWORD*) {
  if (pdwPriority != nullptr) *pdwPriority = 0;
  try {
    if (pszPathBuffer != nullptr && cch > 0) {
      const std::u16string path = PathToUtf16(FileName());
      CopyToWide(path.size() <= cch - 1 ? std::u16string_view(path) : std::u16string_view(), pszPathBuffer);
    }
    if (!OnExtractImage) return S_OK;
    last_image_.reset();
    last_image_ = std::make_unique<TBitmap>();
    static const SIZE kNoSize{0, 0};
    OnExtractImage(*this, *last_image_, prgSize != nullptr ? *prgSize : kNoSize);
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE TSxExtractImage::Extract(HBITMAP* phBmpThumbnail) {
  if (phBmpThumbnail == nullptr) return E_POINTER;
  *phBmpThumbnail = nullptr;
  try {
    TBitmap temporary;
    CopyBitmap(last_image_ && !IsEmpty(*last_image_) ? *last_image_ : default_image_, temporary);
    HBITMAP source = CreateBitmapHandle(temporary.Raster());
    if (source != nullptr) {
      *phBmpThumbnail = static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, 0));
      DeleteObject(source);
    }
  } catch (...) {
  }
  return S_OK;
}

void TSxExtractImage::RegisterFileType(const std::string& file_type, bool register_component) {
  RegisterShellHandler(file_type, kExtractImageCategory, register_component);
}

}  // namespace morvane
