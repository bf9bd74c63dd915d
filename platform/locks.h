// Process-wide re-entrant locks. Lock order: the request lock first, then the reader's lock or
// the dictionary lock, never the reverse.
#pragma once

#include <mutex>

namespace morvane {

using TReentrantLock = std::recursive_mutex;
using TLockGuard = std::lock_guard<std::recursive_mutex>;

// Guards every metadata read (TTif::Open).
TReentrantLock& ReaderLock();
// Guards every dictionary lookup and value formatting.
TReentrantLock& DictionaryLock();
// Serialises every thumbnail request and info-tip composition.
TReentrantLock& RequestLock();

}  // namespace morvane
