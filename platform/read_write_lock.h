// A multi-reader/single-writer lock whose writer may enter again, and may also read, while it
// holds the lock: a walk under the write lock can remove what it visits.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace morvane {

class TMultiReadExclusiveWriteLock {
 public:
  void BeginRead();
  void EndRead();
  void BeginWrite();
  void EndWrite();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int readers_ = 0;
  std::thread::id writer_;
  int write_depth_ = 0;
  int writer_reads_ = 0;
};

class TReadGuard {
 public:
  explicit TReadGuard(TMultiReadExclusiveWriteLock& lock) : lock_(lock) { lock_.BeginRead(); }
  ~TReadGuard() { lock_.EndRead(); }
  TReadGuard(const TReadGuard&) = delete;
  TReadGuard& operator=(const TReadGuard&) = delete;

 private:
  TMultiReadExclusiveWriteLock& lock_;
};

class TWriteGuard {
 public:
  explicit TWriteGuard(TMultiReadExclusiveWriteLock& lock) : lock_(lock) { lock_.BeginWrite(); }
  ~TWriteGuard() { lock_.EndWrite(); }
  TWriteGuard(const TWriteGuard&) = delete;
  TWriteGuard& operator=(const TWriteGuard&) = delete;

 private:
  TMultiReadExclusiveWriteLock& lock_;
};

}  // namespace morvane
