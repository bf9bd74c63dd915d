// The workers of a batch: N processes forked from the program, each with its own reader,
// decoder and cache connection (the engine serialises requests within one process, so
// processes are what run in parallel). They take the next file index from a counter in shared
// memory and send each result back through their own pipe; the thumbnail cache is the only
// state they share, through its own locking. With no worker processes the work runs in this
// process, one file per Collect call.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cli/file_result.h"

namespace morvane::cli {

class TWorkerPool {
 public:
  using TWork = std::function<TFileResult(size_t index)>;
  using TDeliver = std::function<void(size_t index, TFileResult&& result)>;

  // Starts `processes` workers (0: the work runs inside Collect) over indices [0, count); when
  // the system refuses processes, fewer, down to none.
  TWorkerPool(size_t count, int processes, TWork work);
  ~TWorkerPool();
  TWorkerPool(const TWorkerPool&) = delete;
  TWorkerPool& operator=(const TWorkerPool&) = delete;

  // Hands over the results that arrive within `timeout_ms`; false once every worker is done.
  bool Collect(int timeout_ms, const TDeliver& deliver);
  // No file is started after this; the files in progress finish and are still delivered.
  void Stop();
  // The caller has printed the results of indices [0, printed): workers may run up to
  // kAhead indices beyond, so that results waiting for a slow file stay few.
  void Printed(size_t printed);
  // The indices a worker took and never reported (it died), once Collect returned false.
  std::vector<size_t> Lost() const;

 private:
  static constexpr size_t kAhead = 256;
  struct TShared {
    std::atomic<size_t> Next{0};
    std::atomic<size_t> Limit{kAhead};
    std::atomic<int> Stop{0};
  };
  struct TWorker {
    int Pid = -1;
    int Fd = -1;
    std::string Pending;  // bytes of a result not complete yet
  };

  bool StartWorker();
  [[noreturn]] void RunWorker(int fd);
  TFileResult RunOne(size_t index);
  bool CollectInProcess(const TDeliver& deliver);
  void ReadFrom(TWorker& worker, const TDeliver& deliver);
  void ReapAll();

  size_t count_;
  TWork work_;
  TShared* shared_ = nullptr;
  std::vector<TWorker> workers_;
  std::vector<bool> delivered_;
};

}  // namespace morvane::cli
