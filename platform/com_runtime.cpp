// Stand-in for the COM runtime services the server uses: interface identifiers, GUID text,
// the task allocator, external locks and the release of property values.
#if !defined(_WIN32)

#include <malloc.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "platform/com_types.h"
#include "platform/property_api.h"

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IMalloc = {0x00000002, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_ISupportErrorInfo = {0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
const IID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
  const std::string text = morvane::GuidToString(rguid);
  if (lpsz == nullptr || cchMax < static_cast<int>(text.size()) + 1) return 0;
  for (size_t i = 0; i < text.size(); ++i) lpsz[i] = static_cast<OLECHAR>(text[i]);
  lpsz[text.size()] = 0;
  return static_cast<int>(text.size()) + 1;
}

HRESULT IIDFromString(LPCOLESTR lpsz, IID* lpiid) {
  if (lpsz == nullptr || lpiid == nullptr) return E_INVALIDARG;
  std::string text;
  for (const OLECHAR* p = lpsz; *p != 0 && text.size() <= 38; ++p) {
    if (*p > 0x7F) return CO_E_CLASSSTRING;
    text += static_cast<char>(*p);
  }
  const auto guid = morvane::GuidFromString(text);
  if (!guid) return CO_E_CLASSSTRING;
  *lpiid = *guid;
  return S_OK;
}

void* CoTaskMemAlloc(SIZE_T cb) { return std::malloc(cb == 0 ? 1 : cb); }
void* CoTaskMemRealloc(void* pv, SIZE_T cb) { return std::realloc(pv, cb == 0 ? 1 : cb); }
void CoTaskMemFree(void* pv) { std::free(pv); }

namespace {

// The process's task allocator. Blocks come from the C heap, so that any copy of this layer
// in the process (the server library has its own) frees what another allocated.
class TTaskAllocator final : public IMalloc {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    if (ppvObject == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMalloc)) {
      *ppvObject = static_cast<IMalloc*>(this);
      return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
  }
  // The allocator lives as long as the process; its count is only nominal.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  void* STDMETHODCALLTYPE Alloc(SIZE_T cb) override { return CoTaskMemAlloc(cb); }
  void* STDMETHODCALLTYPE Realloc(void* pv, SIZE_T cb) override { return CoTaskMemRealloc(pv, cb); }
  void STDMETHODCALLTYPE Free(void* pv) override { CoTaskMemFree(pv); }
  SIZE_T STDMETHODCALLTYPE GetSize(void* pv) override {
    return pv == nullptr ? static_cast<SIZE_T>(-1) : malloc_usable_size(pv);
  }
  int STDMETHODCALLTYPE DidAlloc(void* pv) override { return pv == nullptr ? 0 : -1; }
  void STDMETHODCALLTYPE HeapMinimize() override {}
};

TTaskAllocator& TaskAllocator() {
  static TTaskAllocator allocator;
  return allocator;
}

struct TExternalLocks {
  std::mutex Lock;
  std::map<IUnknown*, int> Counts;
};

TExternalLocks& ExternalLocks() {
  static TExternalLocks locks;
  return locks;
}

}  // namespace

HRESULT CoGetMalloc(DWORD, IMalloc** ppMalloc) {
  if (ppMalloc == nullptr) return E_INVALIDARG;
  *ppMalloc = &TaskAllocator();
  return S_OK;
}

HRESULT CoLockObjectExternal(IUnknown* pUnk, BOOL fLock, BOOL) {
  if (pUnk == nullptr) return E_INVALIDARG;
  TExternalLocks& locks = ExternalLocks();
  {
    std::lock_guard guard(locks.Lock);
    if (fLock) {
      ++locks.Counts[pUnk];
    } else {
      auto it = locks.Counts.find(pUnk);
      if (it == locks.Counts.end()) return S_OK;
      if (--it->second == 0) locks.Counts.erase(it);
    }
  }
  if (fLock)
    pUnk->AddRef();
  else
    pUnk->Release();
  return S_OK;
}

HRESULT PropVariantClear(PROPVARIANT* pvar) {
  if (pvar == nullptr) return E_INVALIDARG;
  if (pvar->vt == VT_LPWSTR) CoTaskMemFree(pvar->pwszVal);
  PropVariantInit(pvar);
  return S_OK;
}

#endif
