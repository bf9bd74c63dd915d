#include "support/mutation.h"

#include <cstdint>

namespace morvane::testing {

std::string Mutated(std::string bytes, std::mt19937& random) {
  if (bytes.empty()) bytes = "II";
  const int edits = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < edits; ++i) {
    const size_t at = random() % bytes.size();
    switch (random() % 4) {
      case 0: bytes[at] = static_cast<char>(random()); break;
      case 1: bytes[at] = static_cast<char>(0xFF); break;
      case 2: bytes.resize(at + 1); break;
      default: {
        // A 32-bit field set to a large or small count or offset.
        const uint32_t v = (random() % 2) ? 0xFFFFFFF0u : static_cast<uint32_t>(random() % 64);
        for (size_t k = 0; k < 4 && at + k < bytes.size(); ++k) bytes[at + k] = static_cast<char>(v >> (8 * k));
      }
    }
  }
  return bytes;
}

}  // namespace morvane::testing
