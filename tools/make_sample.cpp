// Writes the bundled sample file that the README's first command runs on.
#include <cstdio>
#include <fstream>

#include "support/sample_nef.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: morvane_make_sample OUTPUT.nef\n");
    return 2;
  }
  const std::string bytes = morvane::testing::BuildSampleNef();
  std::ofstream out(argv[1], std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return out ? 0 : 1;
}
