// The process-wide re-entrant lock type. Each lock lives beside what it guards (the reader's,
// the dictionary's, the request's). Lock order: the request lock first, then the reader's lock
// or the dictionary lock, never the reverse.
#pragma once

#include <mutex>

namespace morvane {

using TReentrantLock = std::recursive_mutex;
using TLockGuard = std::lock_guard<std::recursive_mutex>;

}  // namespace morvane
