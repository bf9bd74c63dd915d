#include "cli/worker_pool.h"

#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "cli/interrupt.h"

namespace morvane::cli {

namespace {

// One result on a worker's pipe: this header, then the stdout bytes, then the stderr bytes.
struct TRecordHeader {
  uint64_t Index;
  uint64_t OutSize;
  uint64_t ErrSize;
  uint8_t Outcome;
};

// A record claiming more than this is not one of ours: the worker is treated as lost.
constexpr uint64_t kMaxRecordText = uint64_t{1} << 32;

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

TWorkerPool::TWorkerPool(size_t count, int processes, TWork work)
    : count_(count), work_(std::move(work)), delivered_(count, false) {
  void* memory = mmap(nullptr, sizeof(TShared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) throw std::runtime_error(std::string("cannot share memory: ") + std::strerror(errno));
  shared_ = new (memory) TShared();
  SetInterruptFlag(&shared_->Stop);
  if (Interrupted()) shared_->Stop.store(1);
  std::fflush(nullptr);  // a child must not inherit unwritten output and write it a second time
  for (int i = 0; i < processes; ++i)
    if (!StartWorker()) break;
}

TWorkerPool::~TWorkerPool() {
  Stop();
  for (TWorker& worker : workers_)
    if (worker.Fd >= 0) close(worker.Fd);
  ReapAll();
  SetInterruptFlag(nullptr);
  shared_->~TShared();
  munmap(shared_, sizeof(TShared));
}

bool TWorkerPool::StartWorker() {
  int fds[2];
  if (pipe(fds) != 0) return false;
  // SIGINT stays blocked from before the fork until the child ignores it: the child finishes
  // its file and the parent decides when to stop.
  sigset_t interrupt, previous;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  sigprocmask(SIG_BLOCK, &interrupt, &previous);
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGINT, SIG_IGN);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    close(fds[0]);
    for (const TWorker& other : workers_) close(other.Fd);
    RunWorker(fds[1]);
  }
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return false;
  }
  workers_.push_back({static_cast<int>(pid), fds[0], {}});
  return true;
}

TFileResult TWorkerPool::RunOne(size_t index) {
  try {
    return work_(index);
  } catch (const std::exception& e) {
    return {TOutcome::Failed, "", std::string("morvane: ") + e.what() + "\n"};
  }
}

void TWorkerPool::RunWorker(int fd) {
  int code = 0;
  while (shared_->Stop.load() == 0) {
    if (shared_->Next.load() >= shared_->Limit.load()) {
      usleep(1000);  // far ahead of what is printed: wait for the slow file
      continue;
    }
    const size_t index = shared_->Next.fetch_add(1);
    if (index >= count_) break;
    const TFileResult result = RunOne(index);
    const TRecordHeader header{index, result.Out.size(), result.Err.size(), static_cast<uint8_t>(result.Outcome)};
    if (!WriteAll(fd, reinterpret_cast<const char*>(&header), sizeof header) ||
        !WriteAll(fd, result.Out.data(), result.Out.size()) || !WriteAll(fd, result.Err.data(), result.Err.size())) {
      code = 1;
      break;
    }
  }
  close(fd);
  _exit(code);  // the parent's buffers and destructors are not this process's to run
}

bool TWorkerPool::CollectInProcess(const TDeliver& deliver) {
  if (shared_->Stop.load() != 0) return false;
  const size_t index = shared_->Next.fetch_add(1);
  if (index >= count_) return false;
  TFileResult result = RunOne(index);
  delivered_[index] = true;
  deliver(index, std::move(result));
  return true;
}

bool TWorkerPool::Collect(int timeout_ms, const TDeliver& deliver) {
  if (Interrupted()) Stop();
  if (workers_.empty()) return CollectInProcess(deliver);
  std::vector<pollfd> polled;
  std::vector<TWorker*> owners;
  for (TWorker& worker : workers_) {
    if (worker.Fd < 0) continue;
    polled.push_back({worker.Fd, POLLIN, 0});
    owners.push_back(&worker);
  }
  if (polled.empty()) {
    ReapAll();
    return false;
  }
  const int ready = poll(polled.data(), polled.size(), timeout_ms);
  if (ready <= 0) return true;  // a timeout or an interrupt: the caller looks again
  for (size_t i = 0; i < polled.size(); ++i)
    if (polled[i].revents != 0) ReadFrom(*owners[i], deliver);
  return true;
}

void TWorkerPool::ReadFrom(TWorker& worker, const TDeliver& deliver) {
  char buffer[65536];
  const ssize_t n = read(worker.Fd, buffer, sizeof buffer);
  if (n < 0 && errno == EINTR) return;
  if (n <= 0) {
    close(worker.Fd);
    worker.Fd = -1;
    return;
  }
  worker.Pending.append(buffer, static_cast<size_t>(n));
  for (;;) {
    TRecordHeader header{};
    if (worker.Pending.size() < sizeof header) return;
    std::memcpy(&header, worker.Pending.data(), sizeof header);
    if (header.Index >= count_ || header.OutSize > kMaxRecordText || header.ErrSize > kMaxRecordText ||
        header.Outcome > static_cast<uint8_t>(TOutcome::CacheFailure)) {
      close(worker.Fd);  // not a record of ours: what this worker had taken is lost
      worker.Fd = -1;
      return;
    }
    const size_t total = sizeof header + header.OutSize + header.ErrSize;
    if (worker.Pending.size() < total) return;
    TFileResult result{static_cast<TOutcome>(header.Outcome), worker.Pending.substr(sizeof header, header.OutSize),
                       worker.Pending.substr(sizeof header + header.OutSize, header.ErrSize)};
    worker.Pending.erase(0, total);
    delivered_[header.Index] = true;
    deliver(header.Index, std::move(result));
  }
}

void TWorkerPool::Stop() { shared_->Stop.store(1); }

void TWorkerPool::Printed(size_t printed) { shared_->Limit.store(printed + kAhead); }

std::vector<size_t> TWorkerPool::Lost() const {
  std::vector<size_t> lost;
  const size_t taken = std::min(shared_->Next.load(), count_);
  for (size_t i = 0; i < taken; ++i)
    if (!delivered_[i]) lost.push_back(i);
  return lost;
}

void TWorkerPool::ReapAll() {
  for (TWorker& worker : workers_) {
    if (worker.Pid <= 0) continue;
    while (waitpid(worker.Pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    worker.Pid = -1;
  }
}

}  // namespace morvane::cli
