// The one-line progress display of a long run on a terminal: files done of all, the rate and
// the time left, on stderr, redrawn at most four times a second once the run has lasted half a
// second, and erased before any other stderr line and at the end. Off when stderr is not a
// terminal, so logs and pipes never see it.
#pragma once

#include <chrono>
#include <cstddef>

namespace morvane::cli {

class TProgressLine {
 public:
  TProgressLine(size_t total, bool wanted);
  ~TProgressLine() { Erase(); }
  TProgressLine(const TProgressLine&) = delete;
  TProgressLine& operator=(const TProgressLine&) = delete;

  void Update(size_t done);
  void Erase();

 private:
  using TClock = std::chrono::steady_clock;
  size_t total_;
  bool enabled_;
  bool shown_ = false;
  TClock::time_point start_;
  TClock::time_point last_draw_;
};

}  // namespace morvane::cli
