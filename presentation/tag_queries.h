// The tag queries that need the dictionary, beside the reading operations of the metadata model:
// the item of an expanded maker-note value. The rest are members of TTif, TTifIFD and TTifTag.
#pragma once

#include <string>

#include "presentation/tag_dictionary.h"

namespace morvane {

class TTifTag;

// The text of one setting of an expanded value: the item of the parent tag's expansion whose
// label is that of `row`, after "label = ". Empty when the parent is absent, has no row in
// `dictionary`, or holds no such item.
std::string GetSubValue(TTagDictionary dictionary, const TTifTag* parent, const TTagEntry& row);

}  // namespace morvane
