#include "platform/locks.h"

namespace morvane {

TReentrantLock& ReaderLock() {
  static TReentrantLock lock;
  return lock;
}

TReentrantLock& DictionaryLock() {
  static TReentrantLock lock;
  return lock;
}

TReentrantLock& RequestLock() {
  static TReentrantLock lock;
  return lock;
}

}  // namespace morvane
