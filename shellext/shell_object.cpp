#include "shellext/shell_object.h"

#include <optional>

#include "platform/com_guid.h"
#include "platform/errors.h"
#include "platform/file_path.h"
#include "platform/wide_text.h"
#include "shellext/exception_controller.h"
#include "shellext/registry_entries.h"
#include "shellext/server_errors.h"

namespace morvane {

namespace {

constexpr const char* kApprovedKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
// The longest default value read from an existing handler key.
constexpr DWORD kMaxHandlerValue = 260;

GUID StringToGUID(const std::string& text) {
  const std::optional<GUID> guid = TryStringToGUID(text);
  if (!guid) throw EConvertError("'" + text + "' is not a valid GUID value");
  return *guid;
}

// A handler key's value names a class other than `class_id` (or holds a text that names no
// class at all).
bool NamesAnotherClass(const std::optional<std::string>& text, const GUID& class_id) {
  if (!text || text->empty()) return false;
  const std::optional<GUID> guid = TryStringToGUID(*text);
  return !guid || !IsEqualGUID(*guid, class_id);
}

class TApprovedKey {
 public:
  TApprovedKey() {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kApprovedKey, 0, KEY_READ | KEY_WRITE, &key_) != ERROR_SUCCESS)
      key_ = nullptr;
  }
  ~TApprovedKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  TApprovedKey(const TApprovedKey&) = delete;
  TApprovedKey& operator=(const TApprovedKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool IsNTFamily() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  return GetVersionExA(&info) != FALSE && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

HRESULT STDMETHODCALLTYPE TSxBaseShellObject::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (bound_object_ != nullptr) return bound_object_->QueryInterface(riid, ppvObject);
  return GetInterface(riid, ppvObject);
}

ULONG STDMETHODCALLTYPE TSxBaseShellObject::AddRef() {
  return bound_object_ != nullptr ? bound_object_->AddRef() : static_cast<ULONG>(-1);
}

ULONG STDMETHODCALLTYPE TSxBaseShellObject::Release() {
  return bound_object_ != nullptr ? bound_object_->Release() : static_cast<ULONG>(-1);
}

HRESULT STDMETHODCALLTYPE TSxBaseShellObject::GetClassID(CLSID* pClassID) {
  if (pClassID == nullptr) return E_POINTER;
  *pClassID = class_id_;
  return S_OK;
}

HRESULT TSxBaseShellObject::GetInterface(REFIID iid, void** ppv) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist)) {
    *ppv = static_cast<IPersist*>(this);
    return S_OK;
  }
  return TComponent::GetInterface(iid, ppv);
}

std::string TSxBaseShellObject::CLSIDString() const { return GUIDToString(class_id_); }

void TSxBaseShellObject::SetCLSID(const std::string& text) { class_id_ = StringToGUID(text); }

void TSxBaseShellObject::TryToReleaseModule(bool& allow) {
  if (OnTryToReleaseModule) OnTryToReleaseModule(allow);
}

void TSxBaseShellObject::SetDescription(const std::string& description) { description_ = description; }

void TSxBaseShellObject::SetExtensionName(const std::string& name) { extension_name_ = name; }

void TSxBaseShellObject::UpdateShellRegistry(bool) {}

void TSxBaseShellObject::NameChanged(const std::string& old_name) {
  if (description_.empty() || description_ == old_name) SetDescription(Name());
  if (extension_name_.empty() || extension_name_ == old_name) SetExtensionName(Name());
}

void TSxShellLink::SetFileType(const std::string& file_type) { file_type_ = file_type; }

void TSxShellLink::RegisterFileType(const std::string&, bool) {}

void TSxShellLink::UpdateShellRegistry(bool register_component) {
  if (register_component && !WriteRegText(HKEY_CLASSES_ROOT, "CLSID\\" + CLSIDString(), "", Description()))
    throw ESxShellExtError("Registration failed");
  if (OnUpdateRegistry) OnUpdateRegistry(*this, register_component);
  if (FileClasses.empty()) {
    RegisterFileType(FileType(), register_component);
  } else {
    for (const std::string& file_class : FileClasses) RegisterFileType(file_class, register_component);
  }
  if (!register_component && !FileType().empty() && RegKeyIsEmpty(HKEY_CLASSES_ROOT, FileType()))
    RegDeleteKeyA(HKEY_CLASSES_ROOT, FileType().c_str());
}

HRESULT TSxPersistFile::GetInterface(REFIID iid, void** ppv) {
  if (IsEqualIID(iid, IID_IPersistFile)) {
    *ppv = static_cast<IPersistFile*>(this);
    return S_OK;
  }
  return TSxShellLink::GetInterface(iid, ppv);
}

void TSxPersistFile::DoInitialize() {
  if (OnInitialize) OnInitialize(*this);
}

HRESULT TSxPersistFile::DoLoad(LPCOLESTR file_name, DWORD mode) {
  try {
    Files.assign(1, PathFromUtf16(WideToUtf16(file_name)));
    Mode = mode;
    DoInitialize();
    return S_OK;
  } catch (...) {
    return DispatchException(this, std::current_exception());
  }
}

void TSxPersistFile::RegisterShellHandler(const std::string& file_type, std::string_view category,
                                          bool register_component) {
  if (file_type.empty()) throw ESxShellExtError("File class is not specified for component " + Name());
  SetFileType(file_type);
  const bool nt_family = IsNTFamily();
  const std::string handler_key = file_type + "\\shellex\\" + std::string(category);
  const std::string class_id = CLSIDString();
  if (register_component) {
    // A value that cannot be read as a text (missing, of another type, too long) names no
    // class: the handler writes its own.
    if (const auto registered = ReadDefaultText(HKEY_CLASSES_ROOT, handler_key, kMaxHandlerValue);
        registered && !registered->empty() && *registered != class_id) {
      const GUID other_class = StringToGUID(*registered);
      bool overwrite = OverwriteExistent;
      if (OnKeyAlreadyExist) OnKeyAlreadyExist(other_class, overwrite);
      if (!overwrite) return;
    }
    if (!WriteRegText(HKEY_CLASSES_ROOT, handler_key, "", class_id)) throw ESxShellExtError("Registration failed");
    if (nt_family) {
      TApprovedKey approved;
      if (approved.Get() != nullptr)
        RegSetValueExA(approved.Get(), class_id.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(ExtensionName().c_str()),
                       static_cast<DWORD>(ExtensionName().size()));
    }
  } else {
    // Another class's registration (left in place when this handler was registered) stays.
    if (!NamesAnotherClass(ReadDefaultText(HKEY_CLASSES_ROOT, handler_key, kMaxHandlerValue), ClassId()))
      RegDeleteKeyA(HKEY_CLASSES_ROOT, handler_key.c_str());
    const std::string shellex_key = file_type + "\\shellex";
    if (RegKeyIsEmpty(HKEY_CLASSES_ROOT, shellex_key)) RegDeleteKeyA(HKEY_CLASSES_ROOT, shellex_key.c_str());
    if (nt_family) {
      TApprovedKey approved;
      if (approved.Get() != nullptr) RegDeleteValueA(approved.Get(), class_id.c_str());
    }
  }
}

}  // namespace morvane
