// The loader's entry into the shell extension library on Linux: the library's entry point is
// called with the process-attach reason when the library is loaded and, if that succeeded,
// with the process-detach reason when it is unloaded (before the library's static objects made
// during loading are destroyed). Part of the shell extension library only.
#if !defined(_WIN32)

#include <dlfcn.h>

#include "platform/windows_api.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

// The address the library is mapped at, which is its instance handle.
HINSTANCE ThisLibrary() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&DllMain), &info) == 0) return nullptr;
  return static_cast<HINSTANCE>(info.dli_fbase);
}

struct TProcessDetach {
  ~TProcessDetach() { DllMain(ThisLibrary(), DLL_PROCESS_DETACH, nullptr); }
};

__attribute__((constructor)) void ProcessAttach() {
  if (DllMain(ThisLibrary(), DLL_PROCESS_ATTACH, nullptr) != FALSE) {
    // Made last, so destroyed first among the library's static objects.
    static TProcessDetach detach;
  }
}

}  // namespace

#endif
