// The instance handle of the loaded library, kept from its entry point for the parts that name
// the library's file.
#pragma once

#include "platform/windows_api.h"

namespace morvane {

HINSTANCE LibraryInstance();
void SetLibraryInstance(HINSTANCE instance);

}  // namespace morvane
