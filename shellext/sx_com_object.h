// The COM objects the shell receives and the factories that make them. A factory finds (or
// builds) a module instance for the calling thread and binds a new object to that instance's
// component of its class; the object answers its own interfaces and the component's, and
// frees the binding on its last release. Module instances outlive their objects.
#pragma once

#include "shellext/com_server.h"
#include "shellext/shell_object.h"
#include "shellext/sx_module.h"

namespace morvane {

class TSxComObject : public TComObject {
 public:
  // Bound to the component; `module` is the instance a thread-free factory built for this
  // object alone (null otherwise). The reference count is 0 afterwards.
  TSxComObject(TComObjectFactory& factory, TSxBaseShellObject& component, TSxModulePtr module = nullptr);
  ~TSxComObject() override;

  // The object's own interfaces first, then the bound component's.
  HRESULT ObjQueryInterface(REFIID riid, void** ppvObject) override;

  TSxBaseShellObject* Component() const { return component_; }

 private:
  TSxBaseShellObject* component_;
  TSxModulePtr module_;
};

// Shares module instances per thread: the newest instance of the calling thread, or a new one
// when there is none or its component of this class is bound.
class TSxComObjectFactory : public TComObjectFactory {
 public:
  TSxComObjectFactory(TComServer& server, const TSxModuleClass& module_class, REFCLSID class_id,
                      std::string class_name, std::string description);

  const TSxModuleClass& ModuleClass() const { return module_class_; }

  // The class keys, then the component's registry work with its events.
  void UpdateRegistry(bool register_class) override;

 protected:
  TComObject* CreateComObject(IUnknown* controller) override;
  // The module instance a registry update works on, and whether the update must free it.
  virtual TSxModule* RegistryModule(TSxModulePtr& owned);

 private:
  TSxModuleClass module_class_;
};

// Builds a new module instance for every object, freed with the object.
class TSxThreadFreeComObjectFactory : public TSxComObjectFactory {
 public:
  using TSxComObjectFactory::TSxComObjectFactory;

 protected:
  TComObject* CreateComObject(IUnknown* controller) override;
  TSxModule* RegistryModule(TSxModulePtr& owned) override;
};

// Creates one factory per handler component of the module class, newest first in the class
// manager, from one instance that is destroyed again afterwards.
void RegisterModuleClass(TComServer& server, const TSxModuleClass& module_class);

}  // namespace morvane
