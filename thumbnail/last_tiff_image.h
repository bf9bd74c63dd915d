// The TIFF fallback of the preview loader: the last directory of a file's main TIFF chain,
// decoded through libtiff into true colour. For NEF and DNG files that is normally the small
// uncompressed RGB thumbnail of IFD0.
#pragma once

#include <string>

#include "platform/stream.h"
#include "thumbnail/dib_graphic.h"

namespace morvane {

// Decodes the last main-chain directory of the file into Image, turned by 180 degrees when its
// Orientation is 3. Any decoding failure leaves Image empty; only a file that cannot be opened
// throws. libtiff's warnings and errors are swallowed.
void LoadLastTiffImage(const std::string& file_name, TDibGraphic& image);
// The same for the bytes of a stream, read from its start.
void LoadLastTiffImage(TStream& stream, TDibGraphic& image);

}  // namespace morvane
