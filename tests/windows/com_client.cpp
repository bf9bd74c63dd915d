// A shell stand-in for the Wine test: it asks for thumbnails and info tips the way the file
// browser does, through the registry and the COM runtime only, and writes what it gets.
//   com_client thumb FILE SIZE OUT.ppm   the thumbnail handler of FILE's extension at SIZE x SIZE
//   com_client tip FILE OUT.txt          the info tip of FILE's extension, in UTF-8
// Exits 0 on success and prints the failing step otherwise.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t* const kThumbnailCategory = L"{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}";
const wchar_t* const kInfoTipCategory = L"{00021500-0000-0000-C000-000000000046}";

int Fail(const char* step, HRESULT hr) {
  std::fprintf(stderr, "com_client: %s failed (0x%08lX)\n", step, static_cast<unsigned long>(hr));
  return 1;
}

// The handler class registered for the file's extension in the given shell category.
bool HandlerClass(const std::wstring& file, const wchar_t* category, CLSID& clsid) {
  const size_t dot = file.find_last_of(L'.');
  if (dot == std::wstring::npos) return false;
  const std::wstring key = file.substr(dot) + L"\\shellex\\" + category;
  wchar_t value[64] = {};
  LONG size = sizeof(value);
  if (RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS) return false;
  return CLSIDFromString(value, &clsid) == NOERROR;
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: com_client thumb FILE SIZE OUT.ppm | tip FILE OUT.txt\n");
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
  CoUninitialize();
  return result;
}
