#include "cli/checked_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace morvane::cli {

bool TCheckedOutput::Write(std::string_view text) {
  if (error_ != 0) return false;
  buffer_.append(text);
  return buffer_.size() < kBufferSize || Flush();
}

bool TCheckedOutput::Flush() {
  size_t at = 0;
  while (error_ == 0 && at < buffer_.size()) {
    const ssize_t n = write(fd_, buffer_.data() + at, buffer_.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      error_ = errno;
    else if (n == 0)
      error_ = EIO;
    else
      at += static_cast<size_t>(n);
  }
  buffer_.clear();
  return error_ == 0;
}

std::string TCheckedOutput::FailureMessage() const {
  return std::string("cannot write the output: ") + std::strerror(error_);
}

}  // namespace morvane::cli
