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

// Little-endian decoding of bytes already in memory.
inline uint16_t LoadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace morvane
