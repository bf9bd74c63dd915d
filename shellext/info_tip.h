// The info-tip component. GetInfoTip produces the text through the OnGetInfoTipW or
// OnGetInfoTip event (or takes InfoTipW) and hands it to the shell as a string from the task
// allocator. Optionally the shell's own tip for the file is fetched first as the starting
// text; while a thread does that, info-tip loads on that thread are refused, which stops the
// shell from asking this handler again for the same tip.
#pragma once

#include <functional>
#include <string>

#include "shellext/shell_object.h"

namespace morvane {

class TSxInfoTip;

using TGetInfoTipEvent = std::function<void(TSxInfoTip& sender, std::string& info_tip)>;
using TGetInfoTipWEvent = std::function<void(TSxInfoTip& sender, std::u16string& info_tip)>;

// The shell's info-tip category.
inline constexpr const char* kInfoTipCategory = "{00021500-0000-0000-C000-000000000046}";

class TSxInfoTip : public TSxPersistFile, public IQueryInfo {
 public:
  static constexpr const char* kClassName = "TSxInfoTip";
  std::string ClassName() const override { return kClassName; }

  // Takes the shell's task allocator.
  TSxInfoTip();
  ~TSxInfoTip() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    return TSxBaseShellObject::QueryInterface(riid, ppvObject);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TSxBaseShellObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TSxBaseShellObject::Release(); }

  HRESULT STDMETHODCALLTYPE GetInfoTip(DWORD dwFlags, PWSTR* ppwszTip) override;
  HRESULT STDMETHODCALLTYPE GetInfoFlags(DWORD* pdwFlags) override;

  HRESULT GetInterface(REFIID iid, void** ppv) override;
  void RegisterFileType(const std::string& file_type, bool register_component) override;
  // Refused (E_FAIL, file unchanged) while this thread fetches the shell's own tip.
  HRESULT DoLoad(LPCOLESTR file_name, DWORD mode) override;

  std::string InfoTip;
  std::u16string InfoTipW;
  bool ModifySystemInfoTip = false;
  TGetInfoTipEvent OnGetInfoTip;
  TGetInfoTipWEvent OnGetInfoTipW;

 private:
  // The shell's own tip for FileName; empty when the shell has none. Errors raise.
  std::u16string SystemInfoTip();

  IMalloc* malloc_ = nullptr;
};

}  // namespace morvane
