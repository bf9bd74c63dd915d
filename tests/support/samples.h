// Access to the real camera files of the shared samples folder; tests that use them skip when
// the folder is absent, so the suite passes on any machine.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"

namespace morvane::testing {

inline std::string SamplePath(const std::string& name) { return std::string(MORVANE_SAMPLES_DIR) + "/" + name; }

#define MORVANE_REQUIRE_SAMPLE(path_var, name)                                   \
  const std::string path_var = ::morvane::testing::SamplePath(name);             \
  if (!::morvane::FileExists(path_var)) GTEST_SKIP() << "no sample " << (name)

}  // namespace morvane::testing
