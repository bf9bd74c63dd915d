#include "shellext/info_tip.h"

#include <algorithm>
#include <vector>

#include "platform/code_page.h"
#include "platform/errors.h"
#include "platform/file_path.h"
#include "platform/wide_text.h"

namespace morvane {

namespace {

// Set while this thread fetches the shell's own tip; no path can equal it.
constexpr const char* kSystemTipMarker = "{A5F0E1C2-7D3B-4E69-9C48-2B1F6D0E8A37}";
thread_local std::string t_marker;

// Holds the marker for the span of one fetch.
class TMarkerScope {
 public:
  TMarkerScope() { t_marker = kSystemTipMarker; }
  ~TMarkerScope() { t_marker.clear(); }
  TMarkerScope(const TMarkerScope&) = delete;
  TMarkerScope& operator=(const TMarkerScope&) = delete;
};

constexpr size_t kPathUnits = 260;

// A path piece in a buffer of 260 units, cut to fit with its zero.
std::u16string Fixed260(std::u16string_view path) {
  return std::u16string(path.substr(0, kPathUnits - 1));
}

void AsWide(const std::u16string& text, std::vector<WCHAR>& buffer) {
  buffer.assign(text.size() + 1, 0);
  CopyToWide(text, buffer.data());
}

}  // namespace

TSxInfoTip::TSxInfoTip() {
  if (FAILED(SHGetMalloc(&malloc_))) malloc_ = nullptr;
}

TSxInfoTip::~TSxInfoTip() {
  if (malloc_ != nullptr) malloc_->Release();
}

HRESULT TSxInfoTip::GetInterface(REFIID iid, void** ppv) {
  if (IsEqualIID(iid, IID_IQueryInfo)) {
    *ppv = static_cast<IQueryInfo*>(this);
    return S_OK;
  }
  return TSxPersistFile::GetInterface(iid, ppv);
}

HRESULT TSxInfoTip::DoLoad(LPCOLESTR file_name, DWORD mode) {
  if (t_marker == kSystemTipMarker) return E_FAIL;
  return TSxPersistFile::DoLoad(file_name, mode);
}

HRESULT STDMETHODCALLTYPE TSxInfoTip::GetInfoTip(DWORD, PWSTR* ppwszTip) {
  try {
    if (ppwszTip == nullptr) return E_POINTER;
    std::string text;
    std::u16string wide;
    if (ModifySystemInfoTip) {
      wide = SystemInfoTip();
      text = Utf16ToAnsi(wide);
    } else {
      text = InfoTip;
      wide = InfoTipW;
    }
    if (OnGetInfoTipW) {
      OnGetInfoTipW(*this, wide);
    } else if (OnGetInfoTip) {
      OnGetInfoTip(*this, text);
      wide = AnsiToUtf16(text);
    }
    if (malloc_ == nullptr) throw EMorvaneError("No task allocator");
    const size_t units = wide.size() + 1;
    auto* tip = static_cast<PWSTR>(malloc_->Alloc(units * sizeof(WCHAR)));
    if (tip == nullptr) throw EMorvaneError("Out of memory");
    // Through the code page and back: what the code page cannot hold arrives as its
    // replacement character. The round trip never lengthens the text.
    std::u16string shown = AnsiToUtf16(Utf16ToAnsi(wide));
    if (shown.size() > units - 1) shown.resize(units - 1);
    CopyToWide(shown, tip);
    *ppwszTip = tip;
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE TSxInfoTip::GetInfoFlags(DWORD*) { return E_NOTIMPL; }

void TSxInfoTip::RegisterFileType(const std::string& file_type, bool register_component) {
  RegisterShellHandler(file_type, kInfoTipCategory, register_component);
}

std::u16string TSxInfoTip::SystemInfoTip() {
  const std::string path = FileName();
  const std::u16string wide_path = PathToUtf16(path);
  const size_t cut = wide_path.find_last_of(u"\\/:");
  const std::u16string_view whole(wide_path);
  std::vector<WCHAR> directory;
  std::vector<WCHAR> name;
  AsWide(Fixed260(cut == std::u16string::npos ? std::u16string_view() : whole.substr(0, cut + 1)), directory);
  AsWide(Fixed260(cut == std::u16string::npos ? whole : whole.substr(cut + 1)), name);

  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop))) desktop = nullptr;
  IShellFolder* folder = nullptr;
  LPITEMIDLIST item = nullptr;
  if (desktop != nullptr) {
    LPITEMIDLIST directory_list = nullptr;
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, directory.data(), nullptr, &directory_list, nullptr))) {
      if (SUCCEEDED(desktop->BindToObject(directory_list, nullptr, IID_IShellFolder,
                                          reinterpret_cast<void**>(&folder))) &&
          FAILED(folder->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &item, nullptr))) {
        folder->Release();
        folder = nullptr;
        item = nullptr;
      }
      if (malloc_ != nullptr) malloc_->Free(directory_list);
    }
    if (folder == nullptr) {
      LPITEMIDLIST drives = nullptr;
      if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives))) {
        if (SUCCEEDED(desktop->BindToObject(drives, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder)))) {
          std::u16string full = wide_path;
          if (full.empty() || full.back() != u'\\') full += u'\\';
          std::vector<WCHAR> full_wide;
          AsWide(full, full_wide);
          if (FAILED(folder->ParseDisplayName(nullptr, nullptr, full_wide.data(), nullptr, &item, nullptr)))
            item = nullptr;
        }
        if (malloc_ != nullptr) malloc_->Free(drives);
      }
    }
    desktop->Release();
  }

  std::u16string result;
  {
    TMarkerScope marker;
    if (folder == nullptr) {
      if (item != nullptr && malloc_ != nullptr) malloc_->Free(item);
      throw EMorvaneError("No shell folder for " + path);
    }
    IQueryInfo* info = nullptr;
    LPCITEMIDLIST items[1] = {item};
    if (SUCCEEDED(folder->GetUIObjectOf(nullptr, 1, items, IID_IQueryInfo, nullptr, reinterpret_cast<void**>(&info)))) {
      PWSTR tip = nullptr;
      if (SUCCEEDED(info->GetInfoTip(0xFFFFFFFF, &tip)) && tip != nullptr) {
        result = WideToUtf16(tip);
        if (malloc_ != nullptr) malloc_->Free(tip);
      }
      info->Release();
    }
    if (item != nullptr && malloc_ != nullptr) malloc_->Free(item);
    folder->Release();
  }
  return result;
}

}  // namespace morvane
