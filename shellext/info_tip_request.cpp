#include "shellext/info_tip_request.h"

#include <exception>

#include "metadata/tif_reader.h"
#include "platform/code_page.h"
#include "platform/file_path.h"
#include "platform/files.h"
#include "shellext/request_lock.h"
#include "platform/text.h"
#include "presentation/info_tip.h"

namespace morvane {

namespace {

// The file type as the tip names it: the extension in capitals, without its dot, as text of
// the code page.
std::string TypeText(const std::string& path) {
  std::string type = UpperCase(Utf16ToAnsi(PathToUtf16(ExtractFileExt(path))));
  std::erase(type, '.');
  return type;
}

}  // namespace

std::string ComposeInfoTip(const std::string& path) {
  TLockGuard guard(RequestLock());
  try {
    TTifTags filter;
    for (int tag : InfoTipTags()) filter.Add()->TagNumber = tag;
    TTif tif;
    tif.TagFilter = &filter;
    tif.FileName = SidecarFileName(path);
    tif.FullDng = false;
    tif.Open(true, false);
    return InfoTipText(tif, TypeText(path), FileSizeOf(path));
  } catch (const std::exception&) {
    return {};  // the file could not be opened: nothing was composed
  }
}

uint64_t FileSizeOf(const std::string& file_name) { return GetFileSize(file_name).value_or(0); }

}  // namespace morvane
