#include "platform/read_write_lock.h"

namespace morvane {

void TMultiReadExclusiveWriteLock::BeginRead() {
  std::unique_lock guard(mutex_);
  if (write_depth_ > 0 && writer_ == std::this_thread::get_id()) {
    ++writer_reads_;
    return;
  }
  changed_.wait(guard, [&] { return write_depth_ == 0; });
  ++readers_;
}

void TMultiReadExclusiveWriteLock::EndRead() {
  std::lock_guard guard(mutex_);
  if (writer_reads_ > 0 && writer_ == std::this_thread::get_id()) {
    --writer_reads_;
    return;
  }
  if (--readers_ == 0) changed_.notify_all();
}

void TMultiReadExclusiveWriteLock::BeginWrite() {
  std::unique_lock guard(mutex_);
  const auto self = std::this_thread::get_id();
  if (write_depth_ > 0 && writer_ == self) {
    ++write_depth_;
    return;
  }
  changed_.wait(guard, [&] { return write_depth_ == 0 && readers_ == 0; });
  writer_ = self;
  write_depth_ = 1;
}

void TMultiReadExclusiveWriteLock::EndWrite() {
  std::lock_guard guard(mutex_);
  if (--write_depth_ == 0) {
    writer_ = std::thread::id();
    changed_.notify_all();
  }
}

}  // namespace morvane
