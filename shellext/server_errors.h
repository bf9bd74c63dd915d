// The failures of the shell extension host: registry and handler setup errors, OLE errors that
// carry an HRESULT, and the silent abort that reaches no one. All are EMorvaneError, so the COM
// boundary turns any of them into its failure code.
#pragma once

#include <exception>
#include <string>

#include "platform/errors.h"
#include "platform/windows_api.h"

namespace morvane {

// A handler component that cannot do its registry work.
class ESxShellExtError : public EMorvaneError {
 public:
  using EMorvaneError::EMorvaneError;
};

class EOleError : public EMorvaneError {
 public:
  using EMorvaneError::EMorvaneError;
};

// An OLE failure reported by the system as an HRESULT.
class EOleSysError : public EOleError {
 public:
  EOleSysError(const std::string& message, HRESULT error_code) : EOleError(message), ErrorCode(error_code) {}
  HRESULT ErrorCode;
};

// A class registration key or value that cannot be written.
class EOleRegistrationError : public EOleError {
 public:
  using EOleError::EOleError;
};

// Ends an operation without anything being reported.
class EAbort : public EMorvaneError {
 public:
  EAbort() : EMorvaneError("Operation aborted") {}
};

// The class name of an error ("ESxShellExtError"), without namespace; "Exception" for an
// error that is no std::exception.
std::string ErrorClassName(const std::exception_ptr& error);
// The message of an error; empty for an error that is no std::exception.
std::string ErrorMessage(const std::exception_ptr& error);

}  // namespace morvane
