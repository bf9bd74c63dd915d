// Failures of the logic are exceptions. These are the kinds the request paths tell apart:
// a short read of a stream, a text that does not convert to a number, and every other failure
// (with the system's own message, such as "Invalid TIF file.").
#pragma once

#include <stdexcept>
#include <string>

namespace morvane {

class EMorvaneError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A read that could not deliver the bytes asked for.
class EReadError : public EMorvaneError {
 public:
  EReadError() : EMorvaneError("Stream read error") {}
  using EMorvaneError::EMorvaneError;
};

// A text that was to be read as a number and is not one.
class EConvertError : public EMorvaneError {
 public:
  using EMorvaneError::EMorvaneError;
};

}  // namespace morvane
