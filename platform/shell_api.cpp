// Stand-in for the shell services: change notifications are counted, the shell's allocator is
// the task allocator, and there is no namespace of folders to find.
#if !defined(_WIN32)

#include "platform/shell_api.h"

#include <atomic>

const IID IID_IShellFolder = {0x000214E6, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IExtractImage = {0xBB2E617C, 0x0920, 0x11D1, {0x9A, 0x0B, 0x00, 0xC0, 0x4F, 0xC2, 0xD6, 0xC1}};
const IID IID_IQueryInfo = {0x00021500, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {
std::atomic<int> g_change_notifications{0};
}  // namespace

void SHChangeNotify(LONG, UINT, LPCVOID, LPCVOID) { ++g_change_notifications; }

HRESULT SHGetMalloc(IMalloc** ppMalloc) { return CoGetMalloc(1, ppMalloc); }

HRESULT SHGetDesktopFolder(IShellFolder** ppshf) {
  if (ppshf != nullptr) *ppshf = nullptr;
  return E_FAIL;
}

HRESULT SHGetSpecialFolderLocation(HWND, int, LPITEMIDLIST* ppidl) {
  if (ppidl != nullptr) *ppidl = nullptr;
  return E_FAIL;
}

namespace morvane {
int StandInChangeNotifyCount() { return g_change_notifications.load(); }
}  // namespace morvane

#endif
