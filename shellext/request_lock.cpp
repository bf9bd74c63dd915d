#include "shellext/request_lock.h"

namespace morvane {

TReentrantLock& RequestLock() {
  static TReentrantLock lock;
  return lock;
}

}  // namespace morvane
