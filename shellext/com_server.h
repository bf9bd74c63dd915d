// The in-process COM server: the one server object of the process with its object and factory
// counts, the class manager holding every class factory newest first, the COM object base and
// the class factory base with its object creation and its class registration.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/read_write_lock.h"
#include "platform/windows_api.h"

namespace morvane {

class TComObjectFactory;

class TComServer {
 public:
  // The server of the library loaded at `instance`.
  explicit TComServer(HINSTANCE instance);
  // Frees every class factory of this server.
  ~TComServer();
  TComServer(const TComServer&) = delete;
  TComServer& operator=(const TComServer&) = delete;

  int32_t ObjectCount() const { return object_count_.load(); }
  int32_t FactoryCount() const { return factory_count_.load(); }
  // Interlocked increment (created) or decrement; returns the new count.
  int32_t CountObject(bool created);
  int32_t CountFactory(bool created);

  HINSTANCE Instance() const { return instance_; }
  // The library's file name without its extension.
  const std::string& ServerName() const { return server_name_; }
  // The full path of the library, in its long form.
  const std::string& ServerFileName() const { return server_file_name_; }
  std::string ServerKey() const { return "InprocServer32"; }

  // Registers or unregisters every factory of this server, newest first, under the class
  // manager's write lock. The first error ends the walk and propagates.
  void UpdateRegistry(bool register_server);

  // No object, server lock or factory reference is outstanding.
  bool CanUnloadNow() const { return ObjectCount() == 0 && FactoryCount() == 0; }

 private:
  HINSTANCE instance_;
  std::string server_file_name_;
  std::string server_name_;
  std::atomic<int32_t> object_count_{0};
  std::atomic<int32_t> factory_count_{0};
};

// The process's server: made at library load, freed at unload; null outside that span.
TComServer* ComServer();
void CreateComServer(HINSTANCE instance);
void DestroyComServer();

// Every class factory of the process in a list, newest first.
class TComClassManager {
 public:
  void AddObjectFactory(TComObjectFactory* factory);
  void RemoveObjectFactory(TComObjectFactory* factory);
  TComObjectFactory* GetFactoryFromClassID(REFCLSID class_id);
  // Visits the factories of `server`, newest first, under the write lock. Each factory's
  // successor is read before the visit, so a visit may remove (and free) the visited factory.
  void ForEachFactory(const TComServer* server, const std::function<void(TComObjectFactory&)>& visit);

 private:
  TMultiReadExclusiveWriteLock lock_;
  TComObjectFactory* head_ = nullptr;
};

TComClassManager& ComClassManager();

// A COM object: reference counted, counted by the server while it exists.
class TComObject : public ISupportErrorInfo {
 public:
  // Starts with a reference count of 1 and counts itself with the server; a derived
  // constructor sets the count back to 0 once it is initialised.
  explicit TComObject(TComObjectFactory& factory);
  virtual ~TComObject();
  TComObject(const TComObject&) = delete;
  TComObject& operator=(const TComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // S_OK for the interfaces of the object's own class, S_FALSE for all others.
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

  // The object's own interfaces: IUnknown and ISupportErrorInfo.
  virtual HRESULT ObjQueryInterface(REFIID riid, void** ppvObject);

  LONG RefCount() const { return ref_count_.load(); }
  TComObjectFactory& Factory() const { return factory_; }

 protected:
  std::atomic<LONG> ref_count_{1};

 private:
  TComObjectFactory& factory_;
};

enum TClassInstancing { ciInternal, ciSingleInstance, ciMultiInstance };
enum TThreadingModel { tmSingle, tmApartment, tmFree, tmBoth, tmNeutral };

// A class factory. It enters the class manager when made and leaves it when freed; it lives
// until the library is unloaded, whatever its reference count.
class TComObjectFactory : public IClassFactory {
 public:
  TComObjectFactory(TComServer& server, REFCLSID class_id, std::string class_name, std::string description,
                    TClassInstancing instancing, TThreadingModel threading_model);
  virtual ~TComObjectFactory();
  TComObjectFactory(const TComObjectFactory&) = delete;
  TComObjectFactory& operator=(const TComObjectFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  // Count the server's factory references; the factory itself is never freed by Release.
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

  TComServer& Server() const { return server_; }
  const CLSID& ClassID() const { return class_id_; }
  const std::string& ClassName() const { return class_name_; }
  const std::string& Description() const { return description_; }
  TClassInstancing Instancing() const { return instancing_; }
  TThreadingModel ThreadingModel() const { return threading_model_; }
  // The server name, a dot and the class name; empty without a class name.
  std::string ProgID() const;

  // Show a message box when an object cannot be created.
  bool ShowErrors = true;

  // Writes (or deletes) the class keys: the class identifier's key with its server and
  // threading model, and the ProgID keys. Errors raise.
  virtual void UpdateRegistry(bool register_class);

 protected:
  // Makes a new COM object, reference count 0; errors raise.
  virtual TComObject* CreateComObject(IUnknown* controller) = 0;

 private:
  friend class TComClassManager;

  TComServer& server_;
  CLSID class_id_;
  std::string class_name_;
  std::string description_;
  TClassInstancing instancing_;
  TThreadingModel threading_model_;
  TComObjectFactory* next_ = nullptr;
};

}  // namespace morvane
