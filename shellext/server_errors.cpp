#include "shellext/server_errors.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace morvane {

namespace {

std::string Demangled(const char* name) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> text(abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
  std::string result = status == 0 && text ? text.get() : name;
  const size_t scope = result.rfind("::");
  return scope == std::string::npos ? result : result.substr(scope + 2);
}

}  // namespace

std::string ErrorClassName(const std::exception_ptr& error) {
  if (!error) return "Exception";
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return Demangled(typeid(e).name());
  } catch (...) {
  }
  return "Exception";
}

std::string ErrorMessage(const std::exception_ptr& error) {
  if (!error) return "";
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
  }
  return "";
}

}  // namespace morvane
