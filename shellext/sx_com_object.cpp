#include "shellext/sx_com_object.h"

#include <mutex>

#include "platform/errors.h"
#include "shellext/library_instance.h"

namespace morvane {

namespace {

// Thread notifications are switched off once, on the first binding.
std::mutex& ThreadCallsLock() {
  static std::mutex lock;
  return lock;
}
bool g_thread_calls_disabled = false;

TSxBaseShellObject& HandlerComponent(const TSxModule& module, const std::string& name) {
  auto* component = dynamic_cast<TSxBaseShellObject*>(module.FindComponent(name));
  if (component == nullptr) throw EMorvaneError("Component " + name + " not found");
  return *component;
}

// A new instance, owned by the module registry until the library is unloaded.
TSxModule* NewRegisteredModule(const TSxModuleClass& module_class) { return module_class.Construct().release(); }

}  // namespace

TSxComObject::TSxComObject(TComObjectFactory& factory, TSxBaseShellObject& component, TSxModulePtr module)
    : TComObject(factory), component_(&component), module_(std::move(module)) {
  {
    std::lock_guard guard(ThreadCallsLock());
    if (!g_thread_calls_disabled) {
      DisableThreadLibraryCalls(LibraryInstance());
      g_thread_calls_disabled = true;
    }
  }
  component_->Bind(static_cast<ISupportErrorInfo*>(this));
  ref_count_ = 0;
}

TSxComObject::~TSxComObject() {
  component_->Unbind();
  if (module_) {
    bool allow = true;
    component_->TryToReleaseModule(allow);
    if (allow)
      module_.reset();
    else
      ModuleRegistry().Keep(std::move(module_));
  }
}

HRESULT TSxComObject::ObjQueryInterface(REFIID riid, void** ppvObject) {
  const HRESULT own = TComObject::ObjQueryInterface(riid, ppvObject);
  if (own != E_NOINTERFACE) return own;
  if (component_->BoundObject() == nullptr) return E_NOINTERFACE;
  if (FAILED(component_->GetInterface(riid, ppvObject))) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

TSxComObjectFactory::TSxComObjectFactory(TComServer& server, const TSxModuleClass& module_class, REFCLSID class_id,
                                         std::string class_name, std::string description)
    : TComObjectFactory(server, class_id, std::move(class_name), std::move(description), ciMultiInstance,
                        tmApartment),
      module_class_(module_class) {}

TComObject* TSxComObjectFactory::CreateComObject(IUnknown*) {
  TSxModule* module = ModuleRegistry().FindNewest(GetCurrentThreadId(), module_class_.Name);
  if (module == nullptr) module = NewRegisteredModule(module_class_);
  TSxBaseShellObject* component = &HandlerComponent(*module, ClassName());
  if (component->BoundObject() != nullptr) {
    module = NewRegisteredModule(module_class_);
    component = &HandlerComponent(*module, ClassName());
  }
  return new TSxComObject(*this, *component);
}

TSxModule* TSxComObjectFactory::RegistryModule(TSxModulePtr&) {
  TSxModule* module = ModuleRegistry().FindNewest(GetCurrentThreadId(), module_class_.Name);
  return module != nullptr ? module : NewRegisteredModule(module_class_);
}

void TSxComObjectFactory::UpdateRegistry(bool register_class) {
  TComObjectFactory::UpdateRegistry(register_class);
  TSxModulePtr owned;
  TSxModule* module = RegistryModule(owned);
  auto* component = dynamic_cast<TSxBaseShellObject*>(module->FindComponent(ClassName()));
  if (component == nullptr) return;
  if (component->BeforeUpdateRegistry) component->BeforeUpdateRegistry(*component, register_class);
  component->UpdateShellRegistry(register_class);
  if (component->RefreshWhenRegistered) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  if (component->AfterUpdateRegistry) component->AfterUpdateRegistry(*component, register_class);
}

TComObject* TSxThreadFreeComObjectFactory::CreateComObject(IUnknown*) {
  TSxModulePtr module = ModuleClass().Construct();
  TSxBaseShellObject& component = HandlerComponent(*module, ClassName());
  return new TSxComObject(*this, component, std::move(module));
}

TSxModule* TSxThreadFreeComObjectFactory::RegistryModule(TSxModulePtr& owned) {
  owned = ModuleClass().Construct();
  return owned.get();
}

void RegisterModuleClass(TComServer& server, const TSxModuleClass& module_class) {
  const TSxModulePtr module = module_class.Construct();
  for (const auto& component : module->Components()) {
    const auto* handler = dynamic_cast<const TSxBaseShellObject*>(component.get());
    if (handler == nullptr) continue;
    if (module->ThreadFree())
      new TSxThreadFreeComObjectFactory(server, module_class, handler->ClassId(), handler->Name(),
                                        handler->Description());
    else
      new TSxComObjectFactory(server, module_class, handler->ClassId(), handler->Name(), handler->Description());
  }
}

}  // namespace morvane
