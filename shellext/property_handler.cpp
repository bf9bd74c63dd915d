#include "shellext/property_handler.h"

#include "metadata/tag_numbers.h"
#include "platform/code_page.h"
#include "platform/istream_reader.h"
#include "platform/wide_text.h"

namespace morvane {

namespace {

constexpr GUID kPhotoProperties = {0x14B81DA1, 0x0135, 0x4D31, {0x96, 0xD9, 0x6C, 0xBF, 0xC9, 0x67, 0x1A, 0x99}};
constexpr GUID kLensProperties = {0xE1277516, 0x2B5F, 0x4869, {0x89, 0xB1, 0x2E, 0x58, 0x5B, 0xD3, 0x8B, 0x7A}};
constexpr GUID kImageProperties = {0x6444048F, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}};

// System.Photo.* keys use the EXIF tag number as their property number.
constexpr PROPERTYKEY kCameraManufacturer{kPhotoProperties, kTagMake};
constexpr PROPERTYKEY kCameraModel{kPhotoProperties, kTagModel};
constexpr PROPERTYKEY kOrientation{kPhotoProperties, kTagOrientation};
constexpr PROPERTYKEY kExposureTime{kPhotoProperties, kTagExposureTime};
constexpr PROPERTYKEY kFNumber{kPhotoProperties, kTagFNumber};
constexpr PROPERTYKEY kISOSpeed{kPhotoProperties, kTagISOSpeedRatings};
constexpr PROPERTYKEY kDateTaken{kPhotoProperties, kTagDateTimeOriginal};
constexpr PROPERTYKEY kFlash{kPhotoProperties, kTagFlash};
constexpr PROPERTYKEY kFocalLength{kPhotoProperties, kTagFocalLength};
constexpr PROPERTYKEY kLensModel{kLensProperties, 100};
constexpr PROPERTYKEY kHorizontalSize{kImageProperties, 3};
constexpr PROPERTYKEY kVerticalSize{kImageProperties, 4};
constexpr PROPERTYKEY kDimensions{kImageProperties, 13};

// 100-nanosecond intervals from 1601-01-01 to 1970-01-01.
constexpr int64_t kFileTimeOf1970 = 116444736000000000;

bool SameKey(REFPROPERTYKEY a, REFPROPERTYKEY b) { return IsEqualGUID(a.fmtid, b.fmtid) && a.pid == b.pid; }

void AddText(std::vector<TPropertyValue>& values, const PROPERTYKEY& key, const std::string& text) {
  if (!text.empty()) values.push_back({key, VT_LPWSTR, AnsiToUtf16(text)});
}

void AddReal(std::vector<TPropertyValue>& values, const PROPERTYKEY& key, std::optional<double> number) {
  if (number) values.push_back({key, VT_R8, {}, *number});
}

template <class T>
void AddNumber(std::vector<TPropertyValue>& values, const PROPERTYKEY& key, VARTYPE type, std::optional<T> number) {
  if (number) values.push_back({key, type, {}, 0, static_cast<uint32_t>(*number)});
}

std::optional<FILETIME> UtcFileTime(const TDateTime& local) {
  const std::optional<int64_t> seconds = UnixSecondsFromLocalDateTime(local);
  if (!seconds || *seconds < -kFileTimeOf1970 / 10000000) return std::nullopt;
  const auto ticks = static_cast<uint64_t>(*seconds * 10000000 + kFileTimeOf1970);
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

std::vector<TPropertyValue> PropertyValuesOf(const TPhotoProperties& properties) {
  std::vector<TPropertyValue> values;
  AddText(values, kCameraManufacturer, properties.CameraMaker);
  AddText(values, kCameraModel, properties.CameraModel);
  if (properties.DateTaken)
    if (const auto time = UtcFileTime(*properties.DateTaken)) {
      values.push_back({kDateTaken, VT_FILETIME, {}, 0, 0, *time});
    }
  AddReal(values, kFNumber, properties.FNumber);
  AddReal(values, kExposureTime, properties.ExposureTime);
  AddNumber(values, kISOSpeed, VT_UI2, properties.ISOSpeed);
  AddReal(values, kFocalLength, properties.FocalLength);
  AddNumber(values, kFlash, VT_UI1, properties.Flash);
  AddText(values, kLensModel, properties.LensModel);
  if (properties.Width && properties.Height) {
    AddText(values, kDimensions, std::to_string(*properties.Width) + " x " + std::to_string(*properties.Height));
    AddNumber(values, kHorizontalSize, VT_UI4, properties.Width);
    AddNumber(values, kVerticalSize, VT_UI4, properties.Height);
  }
  AddNumber(values, kOrientation, VT_UI2, properties.Orientation);
  return values;
}

HRESULT CopyPropertyValue(const TPropertyValue& property, PROPVARIANT& value) {
  PropVariantInit(&value);
  switch (property.Type) {
    case VT_LPWSTR: {
      auto* text = static_cast<LPWSTR>(CoTaskMemAlloc((property.Text.size() + 1) * sizeof(WCHAR)));
      if (text == nullptr) return E_OUTOFMEMORY;
      CopyToWide(property.Text, text);
      value.pwszVal = text;
      break;
    }
    case VT_R8:
      value.dblVal = property.Real;
      break;
    case VT_UI1:
      value.bVal = static_cast<BYTE>(property.Number);
      break;
    case VT_UI2:
      value.uiVal = static_cast<USHORT>(property.Number);
      break;
    case VT_UI4:
      value.ulVal = property.Number;
      break;
    case VT_FILETIME:
      value.filetime = property.Time;
      break;
    default:
      return E_UNEXPECTED;
  }
  value.vt = property.Type;
  return S_OK;
}

HRESULT TPropertyHandler::StreamTaken() {
  HRESULT result = S_OK;
  try {
    TIStreamReader reader(Stream());
    values_ = PropertyValuesOf(ReadPhotoProperties(reader, TypeName()));
    if (reader.Failed()) {
      values_.clear();
      result = STG_E_READFAULT;
    }
  } catch (...) {
    values_.clear();
    result = CurrentExceptionResult();
  }
  ReleaseStream();
  return result;
}

HRESULT STDMETHODCALLTYPE TPropertyHandler::GetCount(DWORD* cProps) {
  if (cProps == nullptr) return E_POINTER;
  *cProps = static_cast<DWORD>(values_.size());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TPropertyHandler::GetAt(DWORD iProp, PROPERTYKEY* pkey) {
  if (pkey == nullptr) return E_POINTER;
  if (iProp >= values_.size()) return E_INVALIDARG;
  *pkey = values_[iProp].Key;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TPropertyHandler::GetValue(REFPROPERTYKEY key, PROPVARIANT* pv) {
  if (pv == nullptr) return E_POINTER;
  PropVariantInit(pv);
  for (const TPropertyValue& property : values_)
    if (SameKey(property.Key, key)) return CopyPropertyValue(property, *pv);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TPropertyHandler::SetValue(REFPROPERTYKEY, REFPROPVARIANT) { return STG_E_ACCESSDENIED; }

HRESULT STDMETHODCALLTYPE TPropertyHandler::Commit() { return STG_E_ACCESSDENIED; }

HRESULT STDMETHODCALLTYPE TPropertyHandler::IsPropertyWritable(REFPROPERTYKEY) { return S_FALSE; }

HRESULT TPropertyHandler::ObjQueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (IsEqualIID(riid, kIID_IPropertyStore)) {
    *ppvObject = static_cast<IPropertyStore*>(this);
  } else if (IsEqualIID(riid, kIID_IPropertyStoreCapabilities)) {
    *ppvObject = static_cast<IPropertyStoreCapabilities*>(this);
  } else {
    return TStreamHandler::ObjQueryInterface(riid, ppvObject);
  }
  AddRef();
  return S_OK;
}

}  // namespace morvane
