#include "metadata/reader_lock.h"

namespace morvane {

TReentrantLock& ReaderLock() {
  static TReentrantLock lock;
  return lock;
}

}  // namespace morvane
