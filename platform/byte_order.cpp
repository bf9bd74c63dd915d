#include "platform/byte_order.h"

#include "platform/byte_view.h"

namespace morvane {

uint32_t ReadByte(TStream& stream, TTifByteOrder /*order*/) {
  uint8_t b = 0;
  stream.ReadBuffer(&b, 1);
  return b;
}

uint32_t ReadWord(TStream& stream, TTifByteOrder order) {
  uint8_t b[2];
  stream.ReadBuffer(b, 2);
  const TByteView bytes(b, 2);
  return (order == tboMotorola ? bytes.BE16(0) : bytes.LE16(0)).value_or(0);
}

uint32_t ReadDWord(TStream& stream, TTifByteOrder order) {
  uint8_t b[4];
  stream.ReadBuffer(b, 4);
  const TByteView bytes(b, 4);
  return (order == tboMotorola ? bytes.BE32(0) : bytes.LE32(0)).value_or(0);
}

}  // namespace morvane
