// The shell extension library's entry point and its four exports. Loading creates the request
// lock, the dictionary lock and the reader's lock, then the server, and registers the module
// class (one factory per handler). Unloading destroys the module instances still alive, then
// the server with its factories. Part of the shell extension library only.
#include "metadata/reader_lock.h"
#include "presentation/dictionary_lock.h"
#include "shellext/request_lock.h"
#include "platform/windows_api.h"
#include "shellext/com_server.h"
#include "shellext/exception_controller.h"
#include "shellext/explorer_handlers.h"
#include "shellext/library_instance.h"
#include "shellext/module.h"
#include "shellext/sx_com_object.h"
#include "shellext/sx_module.h"

namespace morvane {

namespace {

bool LoadServer(HINSTANCE instance) {
  SetLibraryInstance(instance);
  RequestLock();
  DictionaryLock();
  ReaderLock();
  ExceptionCentral();
  ModuleRegistry();
  ComClassManager();
  CreateComServer(instance);
  try {
    RegisterModuleClass(*ComServer(), ModuleClassOf<TSxModule1>());
    AddExplorerFactories(*ComServer());
    return true;
  } catch (...) {
    return false;
  }
}

void UnloadServer() {
  ModuleRegistry().DestroyAll();
  DestroyComServer();
}

HRESULT UpdateServerRegistry(bool register_server) {
  if (ComServer() == nullptr) return E_FAIL;
  try {
    ComServer()->UpdateRegistry(register_server);
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace

}  // namespace morvane

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return morvane::LoadServer(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
      morvane::UnloadServer();
      return TRUE;
    default:
      return TRUE;
  }
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  morvane::TComObjectFactory* factory =
      morvane::ComServer() != nullptr ? morvane::ComClassManager().GetFactoryFromClassID(rclsid) : nullptr;
  if (factory == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
  return factory->QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() {
  const morvane::TComServer* server = morvane::ComServer();
  return server == nullptr || server->CanUnloadNow() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() { return morvane::UpdateServerRegistry(true); }

STDAPI DllUnregisterServer() { return morvane::UpdateServerRegistry(false); }
