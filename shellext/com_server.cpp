#include "shellext/com_server.h"

#include <string_view>

#include "platform/code_page.h"
#include "platform/com_guid.h"
#include "platform/file_path.h"
#include "platform/module_file.h"
#include "shellext/registry_entries.h"
#include "shellext/server_errors.h"

namespace morvane {

namespace {

TComServer* g_server = nullptr;

// The file name of a path without its folder and its extension.
std::string BaseName(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

// The path written as a class's server: its short form when it contains a space, or a character
// that the registry's code-page text cannot hold.
std::string RegistryPath(const std::string& path) {
  if (path.find(' ') == std::string::npos && Utf16FitsAnsi(PathToUtf16(path))) return path;
  return ShortPathOf(path);
}

const char* ThreadingModelText(TThreadingModel model) {
  switch (model) {
    case tmSingle:
      return "";
    case tmApartment:
      return "Apartment";
    case tmFree:
      return "Free";
    case tmBoth:
      return "Both";
    case tmNeutral:
      return "Neutral";
  }
  return "";
}

// The text of the failure message box: the error's message, with a full stop added when it
// does not already end in a punctuation mark.
std::string CreationErrorText(const std::exception_ptr& error) {
  std::string text = ErrorMessage(error);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

}  // namespace

TComServer::TComServer(HINSTANCE instance)
    : instance_(instance), server_file_name_(ModuleFilePath(instance)), server_name_(BaseName(server_file_name_)) {}

TComServer::~TComServer() {
  ComClassManager().ForEachFactory(this, [](TComObjectFactory& factory) { delete &factory; });
}

int32_t TComServer::CountObject(bool created) { return created ? ++object_count_ : --object_count_; }

int32_t TComServer::CountFactory(bool created) { return created ? ++factory_count_ : --factory_count_; }

void TComServer::UpdateRegistry(bool register_server) {
  ComClassManager().ForEachFactory(this, [&](TComObjectFactory& factory) {
    if (factory.Instancing() != ciInternal) factory.UpdateRegistry(register_server);
  });
}

TComServer* ComServer() { return g_server; }

void CreateComServer(HINSTANCE instance) {
  if (g_server == nullptr) g_server = new TComServer(instance);
}

void DestroyComServer() {
  delete g_server;
  g_server = nullptr;
}

void TComClassManager::AddObjectFactory(TComObjectFactory* factory) {
  TWriteGuard guard(lock_);
  factory->next_ = head_;
  head_ = factory;
}

void TComClassManager::RemoveObjectFactory(TComObjectFactory* factory) {
  TWriteGuard guard(lock_);
  for (TComObjectFactory** link = &head_; *link != nullptr; link = &(*link)->next_) {
    if (*link == factory) {
      *link = factory->next_;
      factory->next_ = nullptr;
      return;
    }
  }
}

TComObjectFactory* TComClassManager::GetFactoryFromClassID(REFCLSID class_id) {
  TReadGuard guard(lock_);
  for (TComObjectFactory* factory = head_; factory != nullptr; factory = factory->next_)
    if (IsEqualCLSID(factory->ClassID(), class_id)) return factory;
  return nullptr;
}

void TComClassManager::ForEachFactory(const TComServer* server,
                                      const std::function<void(TComObjectFactory&)>& visit) {
  TWriteGuard guard(lock_);
  TComObjectFactory* factory = head_;
  while (factory != nullptr) {
    TComObjectFactory* next = factory->next_;
    if (&factory->Server() == server) visit(*factory);
    factory = next;
  }
}

TComClassManager& ComClassManager() {
  static TComClassManager manager;
  return manager;
}

TComObject::TComObject(TComObjectFactory& factory) : factory_(factory) { factory_.Server().CountObject(true); }

TComObject::~TComObject() { factory_.Server().CountObject(false); }

HRESULT STDMETHODCALLTYPE TComObject::QueryInterface(REFIID riid, void** ppvObject) {
  return ObjQueryInterface(riid, ppvObject);
}

ULONG STDMETHODCALLTYPE TComObject::AddRef() { return static_cast<ULONG>(++ref_count_); }

ULONG STDMETHODCALLTYPE TComObject::Release() {
  const LONG count = --ref_count_;
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE TComObject::InterfaceSupportsErrorInfo(REFIID riid) {
  return IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISupportErrorInfo) ? S_OK : S_FALSE;
}

HRESULT TComObject::ObjQueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISupportErrorInfo)) {
    *ppvObject = static_cast<ISupportErrorInfo*>(this);
    AddRef();
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

TComObjectFactory::TComObjectFactory(TComServer& server, REFCLSID class_id, std::string class_name,
                                     std::string description, TClassInstancing instancing,
                                     TThreadingModel threading_model)
    : server_(server),
      class_id_(class_id),
      class_name_(std::move(class_name)),
      description_(std::move(description)),
      instancing_(instancing),
      threading_model_(threading_model) {
  ComClassManager().AddObjectFactory(this);
}

TComObjectFactory::~TComObjectFactory() { ComClassManager().RemoveObjectFactory(this); }

HRESULT STDMETHODCALLTYPE TComObjectFactory::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *ppvObject = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TComObjectFactory::AddRef() { return static_cast<ULONG>(server_.CountFactory(true)); }

ULONG STDMETHODCALLTYPE TComObjectFactory::Release() { return static_cast<ULONG>(server_.CountFactory(false)); }

HRESULT STDMETHODCALLTYPE TComObjectFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                                            void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (pUnkOuter != nullptr && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  TComObject* object = nullptr;
  try {
    object = CreateComObject(pUnkOuter);
  } catch (...) {
    if (ShowErrors) {
      const std::string text = CreationErrorText(std::current_exception());
      MessageBoxA(nullptr, text.c_str(), "DAX Error", MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
    }
    return E_UNEXPECTED;
  }
  const HRESULT result = object->ObjQueryInterface(riid, ppvObject);
  if (object->RefCount() == 0) delete object;
  return result;
}

HRESULT STDMETHODCALLTYPE TComObjectFactory::LockServer(BOOL fLock) {
  const HRESULT result = CoLockObjectExternal(static_cast<IClassFactory*>(this), fLock, TRUE);
  server_.CountObject(fLock != FALSE);
  return result;
}

std::string TComObjectFactory::ProgID() const {
  if (class_name_.empty()) return "";
  return server_.ServerName() + "." + class_name_;
}

void TComObjectFactory::UpdateRegistry(bool register_class) {
  const std::string class_id = GUIDToString(class_id_);
  const std::string class_key = "CLSID\\" + class_id;
  const std::string prog_id = ProgID();
  if (register_class) {
    CreateRegKey(class_key, "", description_);
    CreateRegKey(class_key + "\\" + server_.ServerKey(), "", RegistryPath(server_.ServerFileName()));
    if (threading_model_ != tmSingle)
      CreateRegKey(class_key + "\\" + server_.ServerKey(), "ThreadingModel", ThreadingModelText(threading_model_));
    if (!prog_id.empty()) {
      CreateRegKey(prog_id, "", description_);
      CreateRegKey(prog_id + "\\Clsid", "", class_id);
      CreateRegKey(class_key + "\\ProgID", "", prog_id);
    }
  } else {
    if (!prog_id.empty()) {
      DeleteRegKey(class_key + "\\ProgID");
      DeleteRegKey(prog_id + "\\Clsid");
      DeleteRegKey(prog_id);
    }
    DeleteRegKey(class_key + "\\" + server_.ServerKey());
    DeleteRegKey(class_key);
  }
}

}  // namespace morvane
