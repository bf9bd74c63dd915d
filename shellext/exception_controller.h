// The exception central and its controllers. An error that escapes a handler's file load is
// dispatched here: a record of it is shown to every subscribed controller, each of which may
// report it to the user as its ErrorMessageType says, and the central answers the HRESULT the
// COM method returns. A subscriber whose notification fails is skipped from then on.
#pragma once

#include <exception>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "shellext/component.h"

namespace morvane {

class TComponent;

class TSxCustomExceptionInfo {
 public:
  TSxCustomExceptionInfo(TComponent* sender, std::exception_ptr error);
  virtual ~TSxCustomExceptionInfo() = default;

  TComponent* Sender;
  std::exception_ptr Exception;
  // Where the error was raised, when known (a C++ error does not carry it).
  const void* ExceptionAddress = nullptr;
  HRESULT ErrorCode = E_FAIL;
  // "Exception <class> in module <file> at <address>.\r\n<message>[.]\r\n", at most 259
  // characters.
  std::string Message;
  // Name and value pairs: date and time, the sender's class, name and owner.
  std::vector<std::pair<std::string, std::string>> Details;
};

// The record of an OLE system error: its HRESULT is added to the details.
class TSxOleSysExceptionInfo : public TSxCustomExceptionInfo {
 public:
  TSxOleSysExceptionInfo(TComponent* sender, std::exception_ptr error, HRESULT ole_error_code);
  HRESULT OleErrorCode;
};

enum TSxErrorMessageType { dmtNone, dmsSystem, dmtSimple, dmsExtended };

class TSxExceptionController;

// The controller's entry in the central.
class TSxExceptionSubscriber {
 public:
  explicit TSxExceptionSubscriber(TSxExceptionController& controller) : controller_(controller) {}
  void Notify(TSxCustomExceptionInfo& info);

 private:
  TSxExceptionController& controller_;
};

class TSxExceptionCentral {
 public:
  void Subscribe(TSxExceptionSubscriber* subscriber);
  void Unsubscribe(TSxExceptionSubscriber* subscriber);
  // Tells every working subscriber, in order, unless the error is a silent abort; returns the
  // record's ErrorCode afterwards.
  HRESULT Dispatch(TSxCustomExceptionInfo& info);

 private:
  std::recursive_mutex subscribers_lock_;
  std::vector<TSxExceptionSubscriber*> subscribers_;
  std::mutex failed_lock_;
  std::set<TSxExceptionSubscriber*> failed_;
};

// The process's central, made on first use.
TSxExceptionCentral& ExceptionCentral();

// Builds the record of the error (an OLE system record for EOleSysError), dispatches it and
// returns the central's HRESULT.
HRESULT DispatchException(TComponent* sender, std::exception_ptr error);

using TSxExceptionNotify =
    std::function<void(TSxExceptionController& sender, TSxCustomExceptionInfo& info, bool& auto_report_error)>;

class TSxExceptionController : public TComponent {
 public:
  // Enters its subscriber in the central.
  TSxExceptionController();
  ~TSxExceptionController() override;

  std::string ClassName() const override { return "TSxExceptionController"; }

  TSxErrorMessageType ErrorMessageType = dmsExtended;
  TSxExceptionNotify OnException;
  // Published for the module's wiring; never fired.
  TSxExceptionNotify OnBeforeHandling;

  // Fires OnException and, unless it cancelled the report, shows the error.
  void HandleException(TSxCustomExceptionInfo& info);

 private:
  void ShowError(const TSxCustomExceptionInfo& info) const;

  TSxExceptionSubscriber subscriber_;
};

}  // namespace morvane
