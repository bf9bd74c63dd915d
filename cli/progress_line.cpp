#include "cli/progress_line.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace morvane::cli {

namespace {

constexpr auto kFirstDrawAfter = std::chrono::milliseconds(500);
constexpr auto kRedrawEvery = std::chrono::milliseconds(250);

void WriteToStderr(const std::string& text) {
  std::fflush(stderr);
  size_t at = 0;
  while (at < text.size()) {
    const ssize_t n = write(STDERR_FILENO, text.data() + at, text.size() - at);
    if (n <= 0) return;
    at += static_cast<size_t>(n);
  }
}

std::string Duration(double seconds) {
  const long total = static_cast<long>(seconds + 0.5);
  char text[32];
  if (total >= 3600)
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
  else
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

}  // namespace

TProgressLine::TProgressLine(size_t total, bool wanted)
    : total_(total), enabled_(wanted && isatty(STDERR_FILENO) == 1), start_(TClock::now()), last_draw_(start_) {}

void TProgressLine::Update(size_t done) {
  if (!enabled_) return;
  const TClock::time_point now = TClock::now();
  if (now - start_ < kFirstDrawAfter || (shown_ && now - last_draw_ < kRedrawEvery)) return;
  last_draw_ = now;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const double rate = elapsed > 0 ? static_cast<double>(done) / elapsed : 0;
  std::string line = "\r\033[K" + std::to_string(done) + "/" + std::to_string(total_) + " files";
  char figures[64];
  std::snprintf(figures, sizeof figures, ", %.1f files/s", rate);
  line += figures;
  if (rate > 0) line += ", " + Duration(static_cast<double>(total_ - done) / rate) + " left";
  WriteToStderr(line);
  shown_ = true;
}

void TProgressLine::Erase() {
  if (!shown_) return;
  WriteToStderr("\r\033[K");
  shown_ = false;
}

}  // namespace morvane::cli
