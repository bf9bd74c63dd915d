// The built shell extension library, loaded once per test program the way the shell loads it
// (dlopen) and reached only through its four exports. Before loading, the user's cache folder
// and the registry stand-in's backing file are pointed into a temporary folder, so that the
// tests can give the library a registry and read what it wrote.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/com_guid.h"
#include "platform/registry.h"
#include "platform/windows_api.h"
#include "shellext/handler_table.h"
#include "support/temp_file.h"

namespace morvane::testing {

class TShellLibrary {
 public:
  using TGetClassObject = HRESULT (*)(REFCLSID, REFIID, LPVOID*);
  using TPlainExport = HRESULT (*)();

  static TShellLibrary& Get() {
    static TShellLibrary library;
    return library;
  }

  bool Loaded() const { return handle_ != nullptr; }
  const std::string& LoadError() const { return load_error_; }
  const std::string& Path() const { return path_; }
  const std::string& RegistryFile() const { return registry_file_; }
  const std::string& CacheFolder() const { return dir_.Path(); }

  TGetClassObject GetClassObject = nullptr;
  TPlainExport CanUnloadNow = nullptr;
  TPlainExport RegisterServer = nullptr;
  TPlainExport UnregisterServer = nullptr;

  // The class factory of a handler class; null when the library refuses it.
  IClassFactory* Factory(const GUID& class_id) const {
    void* factory = nullptr;
    if (GetClassObject(class_id, IID_IClassFactory, &factory) != S_OK) return nullptr;
    return static_cast<IClassFactory*>(factory);
  }

 private:
  TShellLibrary() : path_(MORVANE_SHELLEXT_PATH), registry_file_(dir_.Path() + "/registry.txt") {
    ::setenv("XDG_CACHE_HOME", dir_.Path().c_str(), 1);
    ::setenv("MORVANE_REGISTRY", registry_file_.c_str(), 1);
    WriteRegistryFile(registry_file_, {});
    handle_ = ::dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
      load_error_ = ::dlerror();
      return;
    }
    GetClassObject = reinterpret_cast<TGetClassObject>(::dlsym(handle_, "DllGetClassObject"));
    CanUnloadNow = reinterpret_cast<TPlainExport>(::dlsym(handle_, "DllCanUnloadNow"));
    RegisterServer = reinterpret_cast<TPlainExport>(::dlsym(handle_, "DllRegisterServer"));
    UnregisterServer = reinterpret_cast<TPlainExport>(::dlsym(handle_, "DllUnregisterServer"));
  }

  TempDir dir_;
  std::string path_;
  std::string registry_file_;
  std::string load_error_;
  void* handle_ = nullptr;
};

#define MORVANE_REQUIRE_SHELL_LIBRARY(name)                                                 \
  ::morvane::testing::TShellLibrary& name = ::morvane::testing::TShellLibrary::Get();      \
  ASSERT_TRUE(name.Loaded()) << name.LoadError()

inline GUID HandlerClassId(const THandlerRow& row) { return *TryStringToGUID(row.ClassId); }

// Releases an interface pointer at the end of the scope.
template <class Interface>
class TComPtr {
 public:
  TComPtr() = default;
  explicit TComPtr(Interface* pointer) : pointer_(pointer) {}
  ~TComPtr() { Reset(); }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  void Reset() {
    if (pointer_ != nullptr) pointer_->Release();
    pointer_ = nullptr;
  }
  Interface* operator->() const { return pointer_; }
  Interface* Get() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  void** Out() {
    Reset();
    return reinterpret_cast<void**>(&pointer_);
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace morvane::testing
