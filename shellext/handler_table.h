// The handler table: every shell handler component of the module, one row per component,
// with its own fixed class identifier. The COM server creates one class factory per row and
// self-registration writes each row's registry entries.
#pragma once

#include <array>
#include <string_view>

namespace morvane {

enum THandlerKind { hkExtractImage, hkInfoTip };

// The module event a component forwards its request to.
enum THandlerEvent { heExtractImage, heGetInfoTip };

struct THandlerRow {
  std::string_view Component;      // the component's name, e.g. "ImageNEF"
  THandlerKind Kind;               // a thumbnail extractor or an info-tip handler
  std::string_view FileType;       // the extension it serves, e.g. ".NEF"
  std::string_view Description;    // also the extension name
  bool OverwriteExistent;          // replace another handler of the file type on registration
  bool ModifySystemInfoTip;        // info tips: change the system tip instead (never used)
  THandlerEvent Event;
  std::string_view ClassId;        // registry form; stable across builds
};

inline constexpr size_t kHandlerCount = 53;

extern const std::array<THandlerRow, kHandlerCount> kHandlerTable;

// The row of a component name or a class identifier (either letter case); none when unknown.
const THandlerRow* FindHandlerByComponent(std::string_view component);
const THandlerRow* FindHandlerByClassId(std::string_view class_id);

}  // namespace morvane
