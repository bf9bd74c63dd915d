// The checked byte view: loads in both byte orders, and no load reaching past the bytes.
#include "platform/byte_view.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace morvane {
namespace {

TEST(ByteViewTest, LoadsNumbersInBothByteOrders) {
  const TByteView view(std::string_view("\x12\x34\x56\x78\x9A", 5));
  EXPECT_EQ(view.U8(4), 0x9A);
  EXPECT_EQ(view.LE16(0), 0x3412);
  EXPECT_EQ(view.BE16(3), 0x789A);
  EXPECT_EQ(view.LE32(1), 0x9A785634u);
  EXPECT_EQ(view.BE32(0), 0x12345678u);
  EXPECT_TRUE(view.StartsWith("\x12\x34"));
  EXPECT_FALSE(view.StartsWith(std::string_view("\x12\x34\x56\x78\x9A\x00", 6)));
}

// Every load that would need a byte past the end gives nothing, for offsets near the end and
// offsets so large that adding the width would wrap around.
TEST(ByteViewTest, LoadsPastTheEndGiveNothing) {
  const TByteView view(std::string_view("\x01\x02\x03\x04", 4));
  constexpr size_t kHuge = std::numeric_limits<size_t>::max();
  for (const size_t offset : {size_t{1}, size_t{3}, size_t{4}, kHuge - 1, kHuge}) {
    EXPECT_FALSE(view.LE32(offset)) << offset;
    EXPECT_FALSE(view.BE32(offset)) << offset;
  }
  EXPECT_FALSE(view.LE16(3));
  EXPECT_FALSE(view.BE16(kHuge));
  EXPECT_FALSE(view.U8(4));
  EXPECT_TRUE(view.Has(4, 0));
  EXPECT_FALSE(view.Has(2, kHuge));
  EXPECT_FALSE(TByteView().LE16(0));
  EXPECT_FALSE(TByteView(nullptr, 8).U8(0));  // no bytes, whatever the size claims
}

TEST(ByteViewTest, ZeroFilledLoadsKeepTheBytesThatExist) {
  const TByteView view(std::string_view("\x01\x02\x03", 3));
  EXPECT_EQ(view.LEZeroFilled(0, 4), 0x030201u);
  EXPECT_EQ(view.LEZeroFilled(2, 2), 0x03u);
  EXPECT_EQ(view.LEZeroFilled(3, 8), 0u);
  EXPECT_EQ(view.LEZeroFilled(std::numeric_limits<size_t>::max(), 4), 0u);
}

}  // namespace
}  // namespace morvane
