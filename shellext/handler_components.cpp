#include "shellext/handler_components.h"

#include <memory>
#include <string>

#include "shellext/exception_controller.h"
#include "shellext/handler_table.h"

namespace morvane {

namespace {

template <class T>
std::unique_ptr<T> HandlerOf(const THandlerRow& row) {
  auto component = std::make_unique<T>();
  component->SetName(std::string(row.Component));
  component->SetCLSID(std::string(row.ClassId));
  component->SetDescription(std::string(row.Description));
  component->SetExtensionName(std::string(row.Description));
  component->SetFileType(std::string(row.FileType));
  component->OverwriteExistent = row.OverwriteExistent;
  component->RefreshWhenRegistered = false;
  return component;
}

}  // namespace

void AddHandlerComponents(TSxModule& module, const THandlerEvents& events) {
  for (const THandlerRow& row : kHandlerTable) {
    if (row.Kind == hkExtractImage) {
      auto image = HandlerOf<TSxExtractImage>(row);
      image->OnExtractImage = events.ExtractImage;
      module.AddComponent(std::move(image));
    } else {
      auto tip = HandlerOf<TSxInfoTip>(row);
      tip->ModifySystemInfoTip = row.ModifySystemInfoTip;
      tip->OnGetInfoTip = events.GetInfoTip;
      module.AddComponent(std::move(tip));
    }
  }
  // Failures that reach the controller are absorbed: no message, no report.
  auto controller = std::make_unique<TSxExceptionController>();
  controller->SetName("ExceptionHandler");
  controller->ErrorMessageType = dmtNone;
  const TSxExceptionNotify silent = [](TSxExceptionController&, TSxCustomExceptionInfo&, bool& auto_report_error) {
    auto_report_error = false;
  };
  controller->OnBeforeHandling = silent;
  controller->OnException = silent;
  module.AddComponent(std::move(controller));
}

}  // namespace morvane
