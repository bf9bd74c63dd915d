// Damage for hostile-input tests: a few random edits of a file's bytes (byte changes, 0xFF
// marks, truncation, 32-bit fields set to huge or tiny counts and offsets).
#pragma once

#include <random>
#include <string>

namespace morvane::testing {

std::string Mutated(std::string bytes, std::mt19937& random);

}  // namespace morvane::testing
