// The property handler: the camera, shot and image properties of a file handed over as a stream,
// read once when the shell initialises the handler (the stream is given back at once) and served
// read-only as the property system's types: texts as strings, numbers as numbers, the date
// taken as a UTC time made from the camera's local clock by the system's time-zone rules.
#pragma once

#include <vector>

#include "shellext/photo_properties.h"
#include "shellext/stream_handler.h"

namespace morvane {

// One property the handler serves: its key and its value of one type.
struct TPropertyValue {
  PROPERTYKEY Key;
  VARTYPE Type;
  std::u16string Text;    // VT_LPWSTR
  double Real = 0;        // VT_R8
  uint32_t Number = 0;    // VT_UI1, VT_UI2, VT_UI4
  FILETIME Time{};        // VT_FILETIME
};

// The served values of a file's properties, in a fixed order, absent ones left out.
std::vector<TPropertyValue> PropertyValuesOf(const TPhotoProperties& properties);
// Fills `value` (which the caller clears) with a copy of `property`; E_OUTOFMEMORY when a
// string cannot be allocated.
HRESULT CopyPropertyValue(const TPropertyValue& property, PROPVARIANT& value);

class TPropertyHandler : public TStreamHandler, public IPropertyStore, public IPropertyStoreCapabilities {
 public:
  using TStreamHandler::TStreamHandler;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    return TComObject::QueryInterface(riid, ppvObject);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TComObject::Release(); }

  HRESULT STDMETHODCALLTYPE GetCount(DWORD* cProps) override;
  HRESULT STDMETHODCALLTYPE GetAt(DWORD iProp, PROPERTYKEY* pkey) override;
  HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* pv) override;
  HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, REFPROPVARIANT propvar) override;
  HRESULT STDMETHODCALLTYPE Commit() override;
  HRESULT STDMETHODCALLTYPE IsPropertyWritable(REFPROPERTYKEY key) override;

  HRESULT ObjQueryInterface(REFIID riid, void** ppvObject) override;

 protected:
  HRESULT StreamTaken() override;

 private:
  std::vector<TPropertyValue> values_;
};

}  // namespace morvane
