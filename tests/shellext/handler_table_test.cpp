// The handler table and the logo it stamps.
#include "shellext/handler_table.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/errors.h"
#include "platform/guid.h"
#include "platform/text.h"
#include "shellext/logo.h"

namespace morvane {
namespace {

TEST(HandlerTableTest, FiftyThreeRowsWithTheirOwnClassIds) {
  std::set<std::string_view> ids;
  std::set<std::string_view> thumbnail_types;
  std::set<std::string_view> tip_types;
  for (const THandlerRow& row : kHandlerTable) {
    EXPECT_TRUE(GuidFromString(row.ClassId)) << row.Component;
    EXPECT_TRUE(ids.insert(row.ClassId).second) << row.Component;
    EXPECT_EQ(row.OverwriteExistent, row.Kind == hkExtractImage);
    EXPECT_FALSE(row.ModifySystemInfoTip);
    EXPECT_EQ(row.Event, row.Kind == hkExtractImage ? heExtractImage : heGetInfoTip);
    (row.Kind == hkExtractImage ? thumbnail_types : tip_types).insert(row.FileType);
  }
  EXPECT_EQ(thumbnail_types.size(), 22u);
  EXPECT_EQ(tip_types.size(), 31u);
  EXPECT_EQ(kHandlerTable.front().Component, "ImageCRW");
  EXPECT_EQ(kHandlerTable[12].FileType, ".PSPImage");
  EXPECT_EQ(kHandlerTable[27].Description, "PSPINFO InfoTIP");
  EXPECT_EQ(kHandlerTable[38].Component, "itJPE");
  EXPECT_EQ(kHandlerTable.back().Component, "itIIQ");
  const THandlerRow* nef = FindHandlerByComponent("itNEF");
  ASSERT_NE(nef, nullptr);
  EXPECT_EQ(FindHandlerByClassId(LowerCase(nef->ClassId)), nef);
  EXPECT_EQ(FindHandlerByComponent("itGIF"), nullptr);
}

TEST(LogoTest, SixteenBySixteenRgba) {
  const TRgbaImage logo = DecodePng(kLogoPng.data(), kLogoPng.size());
  EXPECT_EQ(logo.Width, 16);
  EXPECT_EQ(logo.Height, 16);
  ASSERT_EQ(logo.Pixels.size(), 16u * 16u * 4u);
  EXPECT_EQ(logo.Pixels[3], 0);                      // the corner is transparent
  EXPECT_EQ(logo.Pixels[(8 * 16 + 1) * 4 + 3], 255);  // the tile is opaque
  const uint8_t not_png[] = {1, 2, 3};
  EXPECT_THROW(DecodePng(not_png, sizeof not_png), EMorvaneError);
}

}  // namespace
}  // namespace morvane
