// Serialises every thumbnail request and info-tip composition.
#pragma once

#include "platform/locks.h"

namespace morvane {

TReentrantLock& RequestLock();

}  // namespace morvane
