// The base of the handlers today's shell initialises with a stream: a COM object that takes the
// stream once (IInitializeWithStream) and answers the interfaces of its kind. No call lets an
// exception out; every failure is an error HRESULT.
#pragma once

#include <string>

#include "platform/windows_api.h"
#include "shellext/com_server.h"

namespace morvane {

extern const IID kIID_IInitializeWithStream;
extern const IID kIID_IThumbnailProvider;
extern const IID kIID_IPropertyStore;
extern const IID kIID_IPropertyStoreCapabilities;

// The HRESULT of the exception being handled: E_OUTOFMEMORY for a failed allocation, E_FAIL for
// everything else.
HRESULT CurrentExceptionResult();

class TStreamHandler : public TComObject, public IInitializeWithStream {
 public:
  // `type_name` names the file type by its extension ("stream.CR2").
  TStreamHandler(TComObjectFactory& factory, std::string type_name);
  ~TStreamHandler() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    return TComObject::QueryInterface(riid, ppvObject);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TComObject::Release(); }

  // Keeps the stream until the handler has read it; a second call fails.
  HRESULT STDMETHODCALLTYPE Initialize(IStream* pstream, DWORD grfMode) override;
  HRESULT ObjQueryInterface(REFIID riid, void** ppvObject) override;

 protected:
  const std::string& TypeName() const { return type_name_; }
  IStream* Stream() const { return stream_; }
  // Gives the stream back: the file is not held beyond the call that read it.
  void ReleaseStream();
  // Called by Initialize with the stream taken; reads at once when the kind needs to.
  virtual HRESULT StreamTaken() { return S_OK; }

 private:
  std::string type_name_;
  IStream* stream_ = nullptr;
  bool initialized_ = false;
};

}  // namespace morvane
