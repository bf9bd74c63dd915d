// Standard output through one buffer whose failures are kept: a full disk or a closed pipe
// ends the run with one message and exit code 1 instead of a silent success.
#pragma once

#include <string>
#include <string_view>

namespace morvane::cli {

class TCheckedOutput {
 public:
  explicit TCheckedOutput(int fd) : fd_(fd) {}
  // False once any write has failed; later text is dropped.
  bool Write(std::string_view text);
  bool Flush();
  bool Failed() const { return error_ != 0; }
  // "cannot write the output: REASON".
  std::string FailureMessage() const;

 private:
  static constexpr size_t kBufferSize = 1 << 16;
  int fd_;
  int error_ = 0;
  std::string buffer_;
};

}  // namespace morvane::cli
