#include "presentation/dictionary_lock.h"

namespace morvane {

TReentrantLock& DictionaryLock() {
  static TReentrantLock lock;
  return lock;
}

}  // namespace morvane
