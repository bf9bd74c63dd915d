// Guards every metadata read (TTif::Open).
#pragma once

#include "platform/locks.h"

namespace morvane {

TReentrantLock& ReaderLock();

}  // namespace morvane
