// The logo stamped on every thumbnail, kept as PNG bytes in the program and decoded into 16x16
// RGBA pixels.
#pragma once

#include <array>
#include <cstdint>

#include "thumbnail/png_codec.h"

namespace morvane {

extern const std::array<uint8_t, 159> kLogoPng;

}  // namespace morvane
