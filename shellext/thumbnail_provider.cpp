#include "shellext/thumbnail_provider.h"

#include <algorithm>

#include "platform/istream_reader.h"
#include "shellext/request_lock.h"
#include "thumbnail/imaging/raster_handle.h"
#include "thumbnail/thumbnail_maker.h"

namespace morvane {

namespace {

// Larger requests are answered at this size; the shell scales the bitmap itself.
constexpr UINT kMaxThumbnailSide = 2560;

}  // namespace

HRESULT STDMETHODCALLTYPE TThumbnailProvider::GetThumbnail(UINT cx, HBITMAP* phbmp, WTS_ALPHATYPE* pdwAlpha) {
  if (phbmp == nullptr) return E_POINTER;
  *phbmp = nullptr;
  if (pdwAlpha != nullptr) *pdwAlpha = WTSAT_UNKNOWN;
  if (Stream() == nullptr) {
    ReleaseStream();
    return E_UNEXPECTED;
  }
  if (cx == 0) {
    ReleaseStream();
    return E_INVALIDARG;
  }
  HRESULT result = E_FAIL;
  try {
    TJpegGraphic picture;
    bool made = false;
    {
      TIStreamReader reader(Stream());
      TLockGuard guard(RequestLock());
      made = TMRV().MakePicture(reader, TypeName(), static_cast<int32_t>(std::min(cx, kMaxThumbnailSide)), picture) &&
             !reader.Failed();
      if (reader.Failed()) result = STG_E_READFAULT;
    }
    if (made) {
      *phbmp = CreateTopDownBitmapHandle(picture.Raster());
      result = *phbmp != nullptr ? S_OK : E_OUTOFMEMORY;
    }
  } catch (...) {
    result = CurrentExceptionResult();
  }
  ReleaseStream();
  if (SUCCEEDED(result) && pdwAlpha != nullptr) *pdwAlpha = WTSAT_RGB;
  return result;
}

HRESULT TThumbnailProvider::ObjQueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (IsEqualIID(riid, kIID_IThumbnailProvider)) {
    *ppvObject = static_cast<IThumbnailProvider*>(this);
    AddRef();
    return S_OK;
  }
  return TStreamHandler::ObjQueryInterface(riid, ppvObject);
}

}  // namespace morvane
