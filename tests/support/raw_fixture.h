// Raw-like files for the thumbnail tests: TIFF structures from the TIFF writer carrying JPEG
// previews (strips, embedded thumbnails, sub-directories, maker notes) and small uncompressed
// RGB images that libtiff can decode.
#pragma once

#include <string>
#include <vector>

#include "support/tiff_writer.h"

namespace morvane::testing {

// Adds an uncompressed 8-bit RGB image of four coloured quadrants (see QuadrantColor) to the
// directory: size, samples, photometric, orientation and one strip.
void AddRgbImage(TiffWriter& writer, int ifd, int width, int height, int orientation = 1);

// Adds Make (271) to IFD0.
void AddMake(TiffWriter& writer, int ifd, const std::string& make);

// The bytes of a JPEG as UNDEFINED components for TiffWriter::EncodeIfd.
std::vector<uint64_t> AsComponents(const std::string& bytes);

}  // namespace morvane::testing
