// Guards every dictionary lookup and value formatting.
#pragma once

#include "platform/locks.h"

namespace morvane {

TReentrantLock& DictionaryLock();

}  // namespace morvane
