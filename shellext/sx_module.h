// The module: the container that owns the handler components. Constructing one creates its
// components and runs its creation handler; destroying one runs its destruction handler and
// frees them. Module instances that are not thread-free are entered, per creating thread, in
// the process-wide module registry through which the COM server shares them between objects.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "shellext/component.h"

namespace morvane {

class TSxModule;

// Runs the module's destruction handler while the whole module still exists, then frees it.
struct TSxModuleDeleter {
  void operator()(TSxModule* module) const;
};
using TSxModulePtr = std::unique_ptr<TSxModule, TSxModuleDeleter>;

class TSxModule {
 public:
  virtual ~TSxModule();
  TSxModule(const TSxModule&) = delete;
  TSxModule& operator=(const TSxModule&) = delete;

  // The module's class name ("TSxModule1"); instances are shared by class name.
  virtual std::string ClassName() const = 0;

  const std::string& Name() const { return name_; }
  bool ThreadFree() const { return thread_free_; }

  // The components in the order the module holds them.
  const std::vector<std::unique_ptr<TComponent>>& Components() const { return components_; }
  // The component of that name, ignoring letter case; null when there is none.
  TComponent* FindComponent(std::string_view name) const;

  // Runs the creation handler; called once, by ConstructModule.
  void Created() { DoCreate(); }

  // Takes a component into the module, after those it holds.
  template <class T>
  T& AddComponent(std::unique_ptr<T> component) {
    T& added = *component;
    component->SetOwner(this);
    components_.push_back(std::move(component));
    return added;
  }

 protected:
  // Enters the instance in the module registry for the constructing thread unless thread-free.
  TSxModule(std::string name, bool thread_free);

  virtual void DoCreate() {}
  virtual void DoDestroy() {}

 private:
  friend struct TSxModuleDeleter;

  std::string name_;
  bool thread_free_;
  std::vector<std::unique_ptr<TComponent>> components_;
};

// What the COM server needs to build instances of a module class.
struct TSxModuleClass {
  std::string Name;
  TSxModulePtr (*Construct)();
};

// A new instance with no owner: components created, creation handler run. If the creation
// handler fails the instance is destroyed again and the failure propagates.
template <class T>
TSxModulePtr ConstructModule() {
  TSxModulePtr module(new T);
  module->Created();
  return module;
}

// The class of a module type T, which names itself in T::kClassName.
template <class T>
TSxModuleClass ModuleClassOf() {
  return TSxModuleClass{std::string(T::kClassName), &ConstructModule<T>};
}

// The process-wide list of (creating thread, module instance) entries, with its own lock.
class TSxModuleRegistry {
 public:
  void Add(uint32_t thread_id, TSxModule* module);
  // Removes every entry naming the module.
  void Remove(TSxModule* module);
  // The newest instance of the class (compared ignoring case) created by the thread.
  TSxModule* FindNewest(uint32_t thread_id, std::string_view class_name) const;
  size_t Count() const;

  // Keeps a module no one else holds (a thread-free module its object may not free) until
  // the library is unloaded.
  void Keep(TSxModulePtr module);
  // Destroys every module still entered or kept, newest first (library unload).
  void DestroyAll();

 private:
  struct TEntry {
    uint32_t ThreadId;
    TSxModule* Module;
  };
  mutable std::mutex lock_;
  std::vector<TEntry> entries_;
  std::vector<TSxModulePtr> kept_;
};

TSxModuleRegistry& ModuleRegistry();

}  // namespace morvane
