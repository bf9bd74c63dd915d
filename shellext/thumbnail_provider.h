// The thumbnail provider: the picture of a file handed over as a stream, fitted to the size the
// shell asks for on its longer side, upright, as a 32-bit top-down bitmap with no padding and no
// logo (the shell frames it). The same engine and preview choice as the thumbnail extractor,
// without sidecars or cache: a stream has neither a name nor neighbours.
#pragma once

#include "shellext/stream_handler.h"

namespace morvane {

class TThumbnailProvider : public TStreamHandler, public IThumbnailProvider {
 public:
  using TStreamHandler::TStreamHandler;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    return TComObject::QueryInterface(riid, ppvObject);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TComObject::Release(); }

  // Reads the stream once, then gives it back, whatever the outcome.
  HRESULT STDMETHODCALLTYPE GetThumbnail(UINT cx, HBITMAP* phbmp, WTS_ALPHATYPE* pdwAlpha) override;
  HRESULT ObjQueryInterface(REFIID riid, void** ppvObject) override;
};

}  // namespace morvane
