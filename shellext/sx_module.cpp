#include "shellext/sx_module.h"

#include <algorithm>

#include "platform/text.h"

namespace morvane {

void TSxModuleDeleter::operator()(TSxModule* module) const {
  if (module == nullptr) return;
  module->DoDestroy();
  delete module;
}

TSxModule::TSxModule(std::string name, bool thread_free) : name_(std::move(name)), thread_free_(thread_free) {
  if (!thread_free_) ModuleRegistry().Add(GetCurrentThreadId(), this);
}

TSxModule::~TSxModule() {
  ModuleRegistry().Remove(this);
  // Components go in reverse order of creation, as they were made.
  while (!components_.empty()) components_.pop_back();
}

TComponent* TSxModule::FindComponent(std::string_view name) const {
  for (const auto& component : components_)
    if (SameText(component->Name(), name)) return component.get();
  return nullptr;
}

void TSxModuleRegistry::Add(uint32_t thread_id, TSxModule* module) {
  std::lock_guard guard(lock_);
  entries_.push_back(TEntry{thread_id, module});
}

void TSxModuleRegistry::Remove(TSxModule* module) {
  std::lock_guard guard(lock_);
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [&](const TEntry& e) { return e.Module == module; }),
                 entries_.end());
}

TSxModule* TSxModuleRegistry::FindNewest(uint32_t thread_id, std::string_view class_name) const {
  std::lock_guard guard(lock_);
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->ThreadId == thread_id && SameText(it->Module->ClassName(), class_name)) return it->Module;
  return nullptr;
}

size_t TSxModuleRegistry::Count() const {
  std::lock_guard guard(lock_);
  return entries_.size();
}

void TSxModuleRegistry::Keep(TSxModulePtr module) {
  std::lock_guard guard(lock_);
  kept_.push_back(std::move(module));
}

void TSxModuleRegistry::DestroyAll() {
  while (true) {
    TSxModulePtr module;
    {
      std::lock_guard guard(lock_);
      if (!entries_.empty()) {
        module.reset(entries_.back().Module);
        entries_.pop_back();
      } else if (!kept_.empty()) {
        module = std::move(kept_.back());
        kept_.pop_back();
      } else {
        return;
      }
    }
    // Destroyed outside the lock: the module's destructor removes its own entries.
  }
}

TSxModuleRegistry& ModuleRegistry() {
  static TSxModuleRegistry registry;
  return registry;
}

}  // namespace morvane
