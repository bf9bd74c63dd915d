// A test fixture that runs each test under the English regional settings (decimal point,
// thousands comma, time colon) in a fresh temporary folder, and restores the settings after.
#pragma once

#include <gtest/gtest.h>

#include "platform/regional.h"
#include "support/temp_file.h"

namespace morvane::testing {

class EnglishRegionalTest : public ::testing::Test {
 protected:
  void SetUp() override { SetRegionalSettings({'.', ',', ':'}); }
  void TearDown() override { ResetRegionalSettings(); }
  TempDir dir_;
};

}  // namespace morvane::testing
