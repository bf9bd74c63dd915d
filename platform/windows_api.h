// The Windows API subset the shell extension is written against. A Windows build takes the
// system's own headers; elsewhere the stand-ins of this folder give the same names and shapes.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <propsys.h>
#include <thumbcache.h>
#else
#include "platform/com_types.h"
#include "platform/gdi_bitmap.h"
#include "platform/registry.h"
#include "platform/shell_api.h"
#include "platform/property_api.h"
#include "platform/stream_api.h"
#include "platform/system_api.h"
#endif
