#include "shellext/stream_handler.h"

#include <new>

namespace morvane {

const IID kIID_IInitializeWithStream = {0xB824B49D, 0x22AC, 0x4161, {0xAC, 0x8A, 0x99, 0x16, 0xE8, 0xFA, 0x3F, 0x7F}};
const IID kIID_IThumbnailProvider = {0xE357FCCD, 0xA995, 0x4576, {0xB0, 0x1F, 0x23, 0x46, 0x30, 0x15, 0x4E, 0x96}};
const IID kIID_IPropertyStore = {0x886D8EEB, 0x8CF2, 0x4446, {0x8D, 0x02, 0xCD, 0xBA, 0x1D, 0xBD, 0xCF, 0x99}};
const IID kIID_IPropertyStoreCapabilities = {0xC8E2D566, 0x186E, 0x4D49, {0xBF, 0x41, 0x69, 0x09, 0xEA, 0xD5, 0x6A, 0xCC}};

HRESULT CurrentExceptionResult() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

TStreamHandler::TStreamHandler(TComObjectFactory& factory, std::string type_name)
    : TComObject(factory), type_name_(std::move(type_name)) {
  ref_count_ = 0;
}

TStreamHandler::~TStreamHandler() { ReleaseStream(); }

void TStreamHandler::ReleaseStream() {
  if (stream_ != nullptr) stream_->Release();
  stream_ = nullptr;
}

HRESULT STDMETHODCALLTYPE TStreamHandler::Initialize(IStream* pstream, DWORD) {
  if (pstream == nullptr) return E_INVALIDARG;
  if (initialized_) return E_UNEXPECTED;
  initialized_ = true;
  stream_ = pstream;
  stream_->AddRef();
  return StreamTaken();
}

HRESULT TStreamHandler::ObjQueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (IsEqualIID(riid, kIID_IInitializeWithStream)) {
    *ppvObject = static_cast<IInitializeWithStream*>(this);
    AddRef();
    return S_OK;
  }
  return TComObject::ObjQueryInterface(riid, ppvObject);
}

}  // namespace morvane
