// The byte order of a TIFF structure and the three reads that every directory walk uses.
// Only tboMotorola reverses the bytes; every other value reads little-endian.
#pragma once

#include <cstdint>

#include "platform/stream.h"

namespace morvane {

enum TTifByteOrder : int { tboUnknown = 0, tboIntel = 1, tboMotorola = 2, tboDerived = 3 };

// Each read throws EReadError when the stream ends before the bytes asked for.
uint32_t ReadByte(TStream& stream, TTifByteOrder order);
uint32_t ReadWord(TStream& stream, TTifByteOrder order);
uint32_t ReadDWord(TStream& stream, TTifByteOrder order);

}  // namespace morvane
