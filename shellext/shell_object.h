// The handler component bases. TSxBaseShellObject carries a handler's identity (class
// identifier, description, extension name), its registry events and its binding to one COM
// object; TSxShellLink adds the file type and the file list; TSxPersistFile adds IPersistFile,
// through which the shell hands over the file to work on, and the common procedure that
// registers a handler for its file type.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shellext/component.h"

namespace morvane {

class TSxBaseShellObject;

using TSxRegistryEvent = std::function<void(TSxBaseShellObject& sender, bool register_component)>;

class TSxBaseShellObject : public TComponent, public IPersist {
 public:
  TSxBaseShellObject() = default;

  // While bound, reference counting and interface requests go to the bound COM object, so that
  // the pair has one count. Unbound, interfaces are answered uncounted.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;

  HRESULT GetInterface(REFIID iid, void** ppv) override;

  // The class identifier, in registry form (braces, upper-case hexadecimal digits).
  std::string CLSIDString() const;
  const GUID& ClassId() const { return class_id_; }
  // EConvertError "'text' is not a valid GUID value" for anything but a GUID.
  virtual void SetCLSID(const std::string& text);
  virtual void TryToReleaseModule(bool& allow);
  const std::string& Description() const { return description_; }
  virtual void SetDescription(const std::string& description);
  const std::string& ExtensionName() const { return extension_name_; }
  virtual void SetExtensionName(const std::string& name);
  // The component's own registry work (the class keys are the factory's).
  virtual void UpdateShellRegistry(bool register_component);

  bool RefreshWhenRegistered = false;
  TSxRegistryEvent BeforeUpdateRegistry;
  TSxRegistryEvent OnUpdateRegistry;
  TSxRegistryEvent AfterUpdateRegistry;
  std::function<void(bool& allow)> OnTryToReleaseModule;

  // The COM object bound to the component; null while free.
  IUnknown* BoundObject() const { return bound_object_; }
  void Bind(IUnknown* object) { bound_object_ = object; }
  void Unbind() { bound_object_ = nullptr; }

 protected:
  // Description and extension name follow the name while they were empty or equal to it.
  void NameChanged(const std::string& old_name) override;

 private:
  GUID class_id_{};
  std::string description_;
  std::string extension_name_;
  IUnknown* bound_object_ = nullptr;
};

class TSxShellLink : public TSxBaseShellObject {
 public:
  const std::string& FileType() const { return file_type_; }
  virtual void SetFileType(const std::string& file_type);
  // Registers (or unregisters) the handler for a file type; the handler kinds say how.
  virtual void RegisterFileType(const std::string& file_type, bool register_component);

  // Writes the class key's description again, fires OnUpdateRegistry, registers the file type
  // (each file class instead, when there are any) and, unregistering, removes the file type's
  // key once it is empty.
  void UpdateShellRegistry(bool register_component) override;

  // Names of file classes to register instead of the file type; empty in this system.
  std::vector<std::string> FileClasses;
  // The files the shell handed over; the first is the one to work on.
  std::vector<std::string> Files;
  std::string FileName() const { return Files.empty() ? std::string() : Files.front(); }

 private:
  std::string file_type_;
};

class TSxPersistFile : public TSxShellLink, public IPersistFile {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    return TSxBaseShellObject::QueryInterface(riid, ppvObject);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TSxBaseShellObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TSxBaseShellObject::Release(); }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override { return TSxBaseShellObject::GetClassID(pClassID); }

  HRESULT STDMETHODCALLTYPE IsDirty() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Load(LPCOLESTR pszFileName, DWORD dwMode) override { return DoLoad(pszFileName, dwMode); }
  HRESULT STDMETHODCALLTYPE Save(LPCOLESTR, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR*) override { return E_NOTIMPL; }

  HRESULT GetInterface(REFIID iid, void** ppv) override;

  bool OverwriteExistent = false;
  // Told of another class registered for the file type; may change Overwrite.
  std::function<void(const GUID& registered_class, bool& overwrite)> OnKeyAlreadyExist;
  std::function<void(TSxPersistFile& sender)> OnInitialize;
  // The open mode last passed to Load.
  DWORD Mode = 0;

  virtual void DoInitialize();
  // Takes the path (converted to the system code page) as the only file and the mode, then
  // initialises; an error goes to the exception central, whose HRESULT is returned.
  virtual HRESULT DoLoad(LPCOLESTR file_name, DWORD mode);

 protected:
  // The registration of a shell handler for a file type under the category key
  // "<file type>\shellex\<category>", with the approved-extensions entry on the NT family.
  void RegisterShellHandler(const std::string& file_type, std::string_view category, bool register_component);
};

// True on an NT-family system.
bool IsNTFamily();

}  // namespace morvane
