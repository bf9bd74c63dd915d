#include "shellext/exception_controller.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "platform/date_time.h"
#include "platform/text.h"
#include "shellext/library_instance.h"
#include "shellext/server_errors.h"
#include "shellext/sx_module.h"

namespace morvane {

namespace {

constexpr size_t kMaxMessage = 259;

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LibraryFileName() {
  std::vector<char> name(4096, '\0');
  const DWORD length = GetModuleFileNameA(LibraryInstance(), name.data(), static_cast<DWORD>(name.size()));
  return FileNameOf(std::string(name.data(), length));
}

// The current date and time (UTC).
std::string NowText() {
  const TDateTime now = DateTimeFromUnixSeconds(static_cast<int64_t>(std::time(nullptr)));
  return Format("%04lld-%02d-%02d %02d:%02d:%02d", static_cast<long long>(now.Year), now.Month, now.Day, now.Hour,
                now.Minute, now.Second);
}

}  // namespace

TSxCustomExceptionInfo::TSxCustomExceptionInfo(TComponent* sender, std::exception_ptr error)
    : Sender(sender), Exception(std::move(error)) {
  const std::string message = ErrorMessage(Exception);
  const char* dot = !message.empty() && message.back() != '.' ? "." : "";
  Message = Format("Exception %s in module %s at %08llX.\r\n%s%s\r\n", ErrorClassName(Exception).c_str(),
                   LibraryFileName().c_str(), static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(ExceptionAddress)), message.c_str(), dot);
  if (Message.size() > kMaxMessage) Message.resize(kMaxMessage);
  Details.emplace_back("Date/time", NowText());
  if (Sender != nullptr) {
    Details.emplace_back("Class", Sender->ClassName());
    Details.emplace_back("Name", Sender->Name());
    Details.emplace_back("Owner name", Sender->Owner() != nullptr ? Sender->Owner()->Name() : "nil");
  }
}

TSxOleSysExceptionInfo::TSxOleSysExceptionInfo(TComponent* sender, std::exception_ptr error, HRESULT ole_error_code)
    : TSxCustomExceptionInfo(sender, std::move(error)), OleErrorCode(ole_error_code) {
  Details.emplace_back("OleExceptionCode", std::to_string(OleErrorCode));
}

void TSxExceptionSubscriber::Notify(TSxCustomExceptionInfo& info) { controller_.HandleException(info); }

void TSxExceptionCentral::Subscribe(TSxExceptionSubscriber* subscriber) {
  std::lock_guard guard(subscribers_lock_);
  subscribers_.push_back(subscriber);
}

void TSxExceptionCentral::Unsubscribe(TSxExceptionSubscriber* subscriber) {
  {
    std::lock_guard guard(subscribers_lock_);
    subscribers_.erase(std::remove(subscribers_.begin(), subscribers_.end(), subscriber), subscribers_.end());
  }
  std::lock_guard guard(failed_lock_);
  failed_.erase(subscriber);
}

HRESULT TSxExceptionCentral::Dispatch(TSxCustomExceptionInfo& info) {
  const HRESULT result = info.ErrorCode;
  try {
    if (info.Exception) std::rethrow_exception(info.Exception);
  } catch (const EAbort&) {
    return result;
  } catch (...) {
  }
  std::lock_guard guard(subscribers_lock_);
  for (TSxExceptionSubscriber* subscriber : subscribers_) {
    {
      std::lock_guard failed_guard(failed_lock_);
      if (failed_.count(subscriber) != 0) continue;
    }
    try {
      subscriber->Notify(info);
    } catch (...) {
      std::lock_guard failed_guard(failed_lock_);
      failed_.insert(subscriber);
    }
  }
  return info.ErrorCode;
}

TSxExceptionCentral& ExceptionCentral() {
  static TSxExceptionCentral central;
  return central;
}

HRESULT DispatchException(TComponent* sender, std::exception_ptr error) {
  HRESULT ole_code = S_OK;
  bool is_ole_sys_error = false;
  try {
    if (error) std::rethrow_exception(error);
  } catch (const EOleSysError& e) {
    is_ole_sys_error = true;
    ole_code = e.ErrorCode;
  } catch (...) {
  }
  if (is_ole_sys_error) {
    TSxOleSysExceptionInfo info(sender, error, ole_code);
    return ExceptionCentral().Dispatch(info);
  }
  TSxCustomExceptionInfo info(sender, error);
  return ExceptionCentral().Dispatch(info);
}

TSxExceptionController::TSxExceptionController() : subscriber_(*this) { ExceptionCentral().Subscribe(&subscriber_); }

TSxExceptionController::~TSxExceptionController() { ExceptionCentral().Unsubscribe(&subscriber_); }

void TSxExceptionController::HandleException(TSxCustomExceptionInfo& info) {
  bool auto_report_error = true;
  if (OnException) OnException(*this, info, auto_report_error);
  if (auto_report_error) ShowError(info);
}

void TSxExceptionController::ShowError(const TSxCustomExceptionInfo& info) const {
  switch (ErrorMessageType) {
    case dmtNone:
      return;
    case dmsSystem:
    case dmtSimple:
      MessageBoxA(nullptr, info.Message.c_str(), "Error", MB_OK | MB_ICONERROR);
      return;
    case dmsExtended: {
      size_t width = 0;
      for (const auto& [name, value] : info.Details) width = (std::max)(width, name.size());
      std::string text = info.Message + "\r\nExtended error information:\r\n";
      for (const auto& [name, value] : info.Details)
        text += name + std::string(width - name.size(), ' ') + " : " + value + "\r\n";
      MessageBoxA(nullptr, text.c_str(), "Error", MB_OK | MB_ICONERROR);
      return;
    }
  }
}

}  // namespace morvane
