// The extension module's components: one handler component per row of the handler table, in
// table order, with the row's class identifier, names, file type and flags, each wired to the
// module's request handler of its kind; then the module's silent exception controller.
#pragma once

#include "shellext/extract_image.h"
#include "shellext/info_tip.h"
#include "shellext/sx_module.h"

namespace morvane {

struct THandlerEvents {
  TSxExtractImageEvent ExtractImage;
  TGetInfoTipEvent GetInfoTip;
};

void AddHandlerComponents(TSxModule& module, const THandlerEvents& events);

}  // namespace morvane
