// A shell stand-in for the Wine test: it asks for thumbnails and info tips the way the file
// browser does, through the registry and the COM runtime only, and writes what it gets.
//   com_client thumb FILE SIZE OUT.ppm   the thumbnail handler of FILE's extension at SIZE x SIZE
//   com_client tip FILE OUT.txt          the info tip of FILE's extension, in UTF-8
//   com_client provider FILE SIZE OUT.ppm  the thumbnail provider of FILE's extension, given a
//                                        stream on the file, at SIZE on the longer side
//   com_client props FILE OUT.txt        the property handler of FILE's extension, given a stream
//                                        on the file: one "name=value" line per property
// Exits 0 on success and prints the failing step otherwise.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <shlwapi.h>
#include <propsys.h>
#include <thumbcache.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const wchar_t* const kThumbnailCategory = L"{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}";
const wchar_t* const kInfoTipCategory = L"{00021500-0000-0000-C000-000000000046}";
const wchar_t* const kProviderCategory = L"{E357FCCD-A995-4576-B01F-234630154E96}";
const wchar_t* const kPropertyHandlers = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\PropertySystem\\PropertyHandlers\\";
const IID kIInitializeWithStream = {0xB824B49D, 0x22AC, 0x4161, {0xAC, 0x8A, 0x99, 0x16, 0xE8, 0xFA, 0x3F, 0x7F}};
const IID kIThumbnailProvider = {0xE357FCCD, 0xA995, 0x4576, {0xB0, 0x1F, 0x23, 0x46, 0x30, 0x15, 0x4E, 0x96}};
const IID kIPropertyStore = {0x886D8EEB, 0x8CF2, 0x4446, {0x8D, 0x02, 0xCD, 0xBA, 0x1D, 0xBD, 0xCF, 0x99}};

int Fail(const char* step, HRESULT hr) {
  std::fprintf(stderr, "com_client: %s failed (0x%08lX)\n", step, static_cast<unsigned long>(hr));
  return 1;
}

// The handler class registered for the file's extension in the given shell category.
bool ClassOfKey(HKEY root, const std::wstring& key, CLSID& clsid) {
  wchar_t value[64] = {};
  LONG size = sizeof(value);
  if (RegQueryValueW(root, key.c_str(), value, &size) != ERROR_SUCCESS) return false;
  return CLSIDFromString(value, &clsid) == NOERROR;
}

std::wstring Extension(const std::wstring& file) {
  const size_t dot = file.find_last_of(L'.');
  return dot == std::wstring::npos ? std::wstring() : file.substr(dot);
}

bool HandlerClass(const std::wstring& file, const wchar_t* category, CLSID& clsid) {
  if (Extension(file).empty()) return false;
  return ClassOfKey(HKEY_CLASSES_ROOT, Extension(file) + L"\\shellex\\" + category, clsid);
}

template <typename T>
struct TReleaser {
  T* p = nullptr;
  ~TReleaser() {
    if (p != nullptr) p->Release();
  }
};

bool WriteFileBytes(const wchar_t* path, const std::string& header, const std::vector<BYTE>& bytes) {
  FILE* out = _wfopen(path, L"wb");
  if (out == nullptr) return false;
  const bool ok = std::fwrite(header.data(), 1, header.size(), out) == header.size() &&
                  std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && ok;
}

// What the file browser does first: the handler class of the file's type in the category,
// an object of it loaded with the file, asked for the interface. 0, or the failing step's code.
template <typename T>
int LoadHandler(const std::wstring& file, const wchar_t* category, REFIID iid, const char* what,
                TReleaser<T>& handler) {
  CLSID clsid{};
  if (!HandlerClass(file, category, clsid)) return Fail((std::string(what) + " handler lookup").c_str(), E_FAIL);
  TReleaser<IPersistFile> persist;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistFile,
                                reinterpret_cast<void**>(&persist.p));
  if (FAILED(hr)) return Fail("CoCreateInstance", hr);
  hr = persist.p->Load(file.c_str(), STGM_READ);
  if (FAILED(hr)) return Fail("IPersistFile::Load", hr);
  hr = persist.p->QueryInterface(iid, reinterpret_cast<void**>(&handler.p));
  if (FAILED(hr)) return Fail("QueryInterface", hr);
  return 0;
}

int Thumbnail(const std::wstring& file, int size, const wchar_t* out_path) {
  TReleaser<IExtractImage> extract;
  if (const int failed = LoadHandler(file, kThumbnailCategory, IID_IExtractImage, "thumbnail", extract)) return failed;
  wchar_t location[MAX_PATH] = {};
  DWORD priority = 0;
  SIZE wanted{size, size};
  DWORD flags = IEIFLAG_ASPECT;
  HRESULT hr = extract.p->GetLocation(location, MAX_PATH, &priority, &wanted, 24, &flags);
  if (FAILED(hr) && hr != E_PENDING) return Fail("IExtractImage::GetLocation", hr);
  HBITMAP bitmap = nullptr;
  hr = extract.p->Extract(&bitmap);
  if (FAILED(hr) || bitmap == nullptr) return Fail("IExtractImage::Extract", hr);

  BITMAP shape{};
  GetObjectW(bitmap, sizeof(shape), &shape);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = shape.bmWidth;
  info.bmiHeader.biHeight = -shape.bmHeight;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const size_t stride = (static_cast<size_t>(shape.bmWidth) * 3 + 3) & ~size_t{3};
  std::vector<BYTE> bits(stride * static_cast<size_t>(shape.bmHeight));
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(shape.bmHeight), bits.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  DeleteObject(bitmap);
  if (rows != shape.bmHeight) return Fail("GetDIBits", E_FAIL);

  std::vector<BYTE> rgb;
  rgb.reserve(static_cast<size_t>(shape.bmWidth) * static_cast<size_t>(shape.bmHeight) * 3);
  for (LONG y = 0; y < shape.bmHeight; ++y) {
    const BYTE* row = bits.data() + stride * static_cast<size_t>(y);
    for (LONG x = 0; x < shape.bmWidth; ++x) {
      rgb.push_back(row[x * 3 + 2]);
      rgb.push_back(row[x * 3 + 1]);
      rgb.push_back(row[x * 3]);
    }
  }
  const std::string header =
      "P6\n" + std::to_string(shape.bmWidth) + " " + std::to_string(shape.bmHeight) + "\n255\n";
  if (!WriteFileBytes(out_path, header, rgb)) return Fail("writing the picture", E_FAIL);
  std::printf("%ldx%ld\n", shape.bmWidth, shape.bmHeight);
  return 0;
}

int InfoTip(const std::wstring& file, const wchar_t* out_path) {
  TReleaser<IQueryInfo> query;
  if (const int failed = LoadHandler(file, kInfoTipCategory, IID_IQueryInfo, "info-tip", query)) return failed;
  wchar_t* tip = nullptr;
  const HRESULT hr = query.p->GetInfoTip(0, &tip);
  if (FAILED(hr) || tip == nullptr) return Fail("IQueryInfo::GetInfoTip", hr);
  const int length = WideCharToMultiByte(CP_UTF8, 0, tip, -1, nullptr, 0, nullptr, nullptr);
  std::vector<BYTE> utf8(static_cast<size_t>(length > 0 ? length - 1 : 0));
  if (length > 1)
    WideCharToMultiByte(CP_UTF8, 0, tip, -1, reinterpret_cast<char*>(utf8.data()), length, nullptr, nullptr);
  CoTaskMemFree(tip);
  if (!WriteFileBytes(out_path, "", utf8)) return Fail("writing the text", E_FAIL);
  return 0;
}

// A handler of the class made and given a stream on the file, which is then released: the
// handler holds its own reference as long as it needs one. 0, or the failing step's code.
int InitialiseWithStream(const CLSID& clsid, const std::wstring& file, TReleaser<IInitializeWithStream>& init) {
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIInitializeWithStream,
                                reinterpret_cast<void**>(&init.p));
  if (FAILED(hr)) return Fail("CoCreateInstance", hr);
  TReleaser<IStream> stream;
  hr = SHCreateStreamOnFileEx(file.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, FILE_ATTRIBUTE_NORMAL, FALSE, nullptr,
                              &stream.p);
  if (FAILED(hr)) return Fail("SHCreateStreamOnFileEx", hr);
  hr = init.p->Initialize(stream.p, STGM_READ);
  if (FAILED(hr)) return Fail("IInitializeWithStream::Initialize", hr);
  return 0;
}

// What the thumbnail cache does: the provider created from its class and initialised with a
// stream on the file, the file then opened again exclusively to show that nothing holds it.
int Provider(const std::wstring& file, int size, const wchar_t* out_path) {
  CLSID clsid{};
  if (!HandlerClass(file, kProviderCategory, clsid)) return Fail("thumbnail provider lookup", E_FAIL);
  TReleaser<IInitializeWithStream> init;
  if (const int failed = InitialiseWithStream(clsid, file, init)) return failed;
  HBITMAP bitmap = nullptr;
  WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
  {
    TReleaser<IThumbnailProvider> provider;
    const HRESULT hr = init.p->QueryInterface(kIThumbnailProvider, reinterpret_cast<void**>(&provider.p));
    if (FAILED(hr)) return Fail("QueryInterface", hr);
    const HRESULT got = provider.p->GetThumbnail(static_cast<UINT>(size), &bitmap, &alpha);
    if (FAILED(got) || bitmap == nullptr) return Fail("IThumbnailProvider::GetThumbnail", got);
  }
  HANDLE exclusive = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (exclusive == INVALID_HANDLE_VALUE) return Fail("opening the file exclusively after the call", E_FAIL);
  CloseHandle(exclusive);
  if (alpha != WTSAT_RGB) return Fail("alpha type WTSAT_RGB", E_FAIL);

  DIBSECTION section{};
  if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section)) return Fail("a DIB section", E_FAIL);
  if (section.dsBm.bmBitsPixel != 32 || section.dsBm.bmBits == nullptr) return Fail("32-bit rows", E_FAIL);
  const LONG width = section.dsBm.bmWidth, height = section.dsBm.bmHeight;
  if ((width > height ? width : height) != size) return Fail("the longer side equal to the size", E_FAIL);
  const auto* bits = static_cast<const BYTE*>(section.dsBm.bmBits);
  // The rows in memory are the rows as the system reads them top-down.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<BYTE> top_down(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), top_down.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != height || std::memcmp(top_down.data(), bits, top_down.size()) != 0)
    return Fail("top-down rows without padding", E_FAIL);
  std::vector<BYTE> rgb;
  bool varied = false;
  for (LONG y = 0; y < height; ++y) {
    for (LONG x = 0; x < width; ++x) {
      const BYTE* p = bits + (static_cast<size_t>(y) * width + x) * 4;
      rgb.push_back(p[2]);
      rgb.push_back(p[1]);
      rgb.push_back(p[0]);
      varied = varied || p[0] != bits[0] || p[1] != bits[1] || p[2] != bits[2];
    }
  }
  DeleteObject(bitmap);
  if (!varied) return Fail("a picture rather than a plain colour", E_FAIL);
  const std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  if (!WriteFileBytes(out_path, header, rgb)) return Fail("writing the picture", E_FAIL);
  std::printf("%ldx%ld\n", width, height);
  return 0;
}

struct TKeyName {
  PROPERTYKEY Key;
  const char* Name;
};

const GUID kPhoto = {0x14B81DA1, 0x0135, 0x4D31, {0x96, 0xD9, 0x6C, 0xBF, 0xC9, 0x67, 0x1A, 0x99}};
const GUID kImage = {0x6444048F, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}};
const GUID kLens = {0xE1277516, 0x2B5F, 0x4869, {0x89, 0xB1, 0x2E, 0x58, 0x5B, 0xD3, 0x8B, 0x7A}};
const TKeyName kKeyNames[] = {
    {{kPhoto, 271}, "CameraManufacturer"}, {{kPhoto, 272}, "CameraModel"},  {{kPhoto, 36867}, "DateTaken"},
    {{kPhoto, 33437}, "FNumber"},          {{kPhoto, 33434}, "ExposureTime"}, {{kPhoto, 34855}, "ISOSpeed"},
    {{kPhoto, 37386}, "FocalLength"},      {{kPhoto, 37385}, "Flash"},       {{kLens, 100}, "LensModel"},
    {{kImage, 13}, "Dimensions"},          {{kImage, 3}, "HorizontalSize"},  {{kImage, 4}, "VerticalSize"},
    {{kPhoto, 274}, "Orientation"},
};

std::string Utf8(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length > 0 ? length : 1), '\0');
  if (length > 0) WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  return utf8;
}

// A value as "type:text": the date taken in UTC and in the local time of this system.
std::string ValueText(const PROPVARIANT& value) {
  char text[128] = {};
  switch (value.vt) {
    case VT_LPWSTR:
      return "text:" + Utf8(value.pwszVal);
    case VT_R8:
      std::snprintf(text, sizeof(text), "real:%.10g", value.dblVal);
      return text;
    case VT_UI1:
      return "ui1:" + std::to_string(value.bVal);
    case VT_UI2:
      return "ui2:" + std::to_string(value.uiVal);
    case VT_UI4:
      return "ui4:" + std::to_string(value.ulVal);
    case VT_FILETIME: {
      SYSTEMTIME utc{}, local{};
      FileTimeToSystemTime(&value.filetime, &utc);
      SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
      std::snprintf(text, sizeof(text), "filetime:%04u:%02u:%02u %02u:%02u:%02u local %04u:%02u:%02u %02u:%02u:%02u",
                    utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, local.wYear, local.wMonth,
                    local.wDay, local.wHour, local.wMinute, local.wSecond);
      return text;
    }
    default:
      return "type " + std::to_string(value.vt);
  }
}

int Properties(const std::wstring& file, const wchar_t* out_path) {
  CLSID clsid{};
  if (Extension(file).empty() || !ClassOfKey(HKEY_LOCAL_MACHINE, kPropertyHandlers + Extension(file), clsid))
    return Fail("property handler lookup", E_FAIL);
  TReleaser<IInitializeWithStream> init;
  if (const int failed = InitialiseWithStream(clsid, file, init)) return failed;
  TReleaser<IPropertyStore> store;
  HRESULT hr = init.p->QueryInterface(kIPropertyStore, reinterpret_cast<void**>(&store.p));
  if (FAILED(hr)) return Fail("QueryInterface", hr);
  DWORD count = 0;
  hr = store.p->GetCount(&count);
  if (FAILED(hr)) return Fail("IPropertyStore::GetCount", hr);
  std::string lines;
  for (DWORD i = 0; i < count; ++i) {
    PROPERTYKEY key{};
    hr = store.p->GetAt(i, &key);
    if (FAILED(hr)) return Fail("IPropertyStore::GetAt", hr);
    const char* name = "unknown";
    for (const TKeyName& known : kKeyNames)
      if (IsEqualGUID(known.Key.fmtid, key.fmtid) && known.Key.pid == key.pid) name = known.Name;
    PROPVARIANT value;
    PropVariantInit(&value);
    hr = store.p->GetValue(key, &value);
    if (FAILED(hr)) return Fail("IPropertyStore::GetValue", hr);
    lines += std::string(name) + "=" + ValueText(value) + "\n";
    PropVariantClear(&value);
  }
  if (!WriteFileBytes(out_path, lines, {})) return Fail("writing the values", E_FAIL);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: com_client thumb|provider FILE SIZE OUT.ppm | tip|props FILE OUT.txt\n");
    return 2;
  }
  const HRESULT init = CoInitialize(nullptr);
  if (FAILED(init)) return Fail("CoInitialize", init);
  const std::wstring command = argv[1];
  int result = 2;
  if (command == L"thumb" && argc == 5)
    result = Thumbnail(argv[2], _wtoi(argv[3]), argv[4]);
  else if (command == L"tip")
    result = InfoTip(argv[2], argv[3]);
  else if (command == L"provider" && argc == 5)
    result = Provider(argv[2], _wtoi(argv[3]), argv[4]);
  else if (command == L"props")
    result = Properties(argv[2], argv[3]);
  CoUninitialize();
  return result;
}
