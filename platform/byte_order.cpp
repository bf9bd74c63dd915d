#include "platform/byte_order.h"

namespace morvane {

uint32_t ReadByte(TStream& stream, TTifByteOrder /*order*/) {
  uint8_t b = 0;
  stream.ReadBuffer(&b, 1);
  return b;
}

uint32_t ReadWord(TStream& stream, TTifByteOrder order) {
  uint8_t b[2];
  stream.ReadBuffer(b, 2);
  return order == tboMotorola ? static_cast<uint32_t>((b[0] << 8) | b[1]) : LoadLE16(b);
}

uint32_t ReadDWord(TStream& stream, TTifByteOrder order) {
  uint8_t b[4];
  stream.ReadBuffer(b, 4);
  if (order != tboMotorola) return LoadLE32(b);
  return (static_cast<uint32_t>(b[0]) << 24) | (static_cast<uint32_t>(b[1]) << 16) |
         (static_cast<uint32_t>(b[2]) << 8) | b[3];
}

}  // namespace morvane
