// A component: a named part owned by a module (the handler components, the exception
// controller). Components answer the COM interfaces they implement without reference counting
// of their own; a handler component bound to a COM object forwards its counting there.
#pragma once

#include <string>

#include "platform/windows_api.h"

namespace morvane {

class TSxModule;

class TComponent {
 public:
  TComponent() = default;
  virtual ~TComponent() = default;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // The class name, as the exception records report it ("TSxExtractImage").
  virtual std::string ClassName() const = 0;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) {
    const std::string old_name = name_;
    name_ = name;
    NameChanged(old_name);
  }

  // The module holding the component; none until a module takes it.
  TSxModule* Owner() const { return owner_; }
  void SetOwner(TSxModule* owner) { owner_ = owner; }

  // The interface `iid` of the component itself, with no reference added; E_NOINTERFACE (and
  // null) when it has none.
  virtual HRESULT GetInterface(REFIID iid, void** ppv) {
    (void)iid;
    *ppv = nullptr;
    return E_NOINTERFACE;
  }

 protected:
  virtual void NameChanged(const std::string& old_name) { (void)old_name; }

 private:
  std::string name_;
  TSxModule* owner_ = nullptr;
};

}  // namespace morvane
