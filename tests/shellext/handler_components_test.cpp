// The two handler components on their own, in the settings the module does not use: the
// info tip's text sources and system-tip mode, the thumbnail extractor's default image.
#include <gtest/gtest.h>

#include <string>

#include "thumbnail/imaging/canvas.h"
#include "platform/errors.h"
#include "shellext/extract_image.h"
#include "shellext/info_tip.h"

namespace morvane {
namespace {

// The tip the shell receives, freed with the task allocator; "<failed>" when refused.
std::u16string TipOf(TSxInfoTip& tip) {
  PWSTR text = nullptr;
  if (tip.GetInfoTip(0, &text) != S_OK) return u"<failed>";
  std::u16string result(text);
  CoTaskMemFree(text);
  return result;
}

TEST(InfoTipComponentTest, TextSources) {
  TSxInfoTip tip;
  tip.InfoTip = "ignored";
  tip.InfoTipW = u"wide \u00E9 \u4E2D";
  // With no event the wide text is shown, through the code page (no CJK there).
  EXPECT_EQ(TipOf(tip), u"wide \u00E9 ?");

  std::string eight_bit_start;
  tip.OnGetInfoTip = [&](TSxInfoTip&, std::string& text) {
    eight_bit_start = text;
    text = "8-bit \xE9";
  };
  EXPECT_EQ(TipOf(tip), u"8-bit \u00E9");
  EXPECT_EQ(eight_bit_start, "ignored");

  bool eight_bit_ran = false;
  tip.OnGetInfoTip = [&](TSxInfoTip&, std::string&) { eight_bit_ran = true; };
  tip.OnGetInfoTipW = [](TSxInfoTip&, std::u16string& text) { text += u" + W"; };
  EXPECT_EQ(TipOf(tip), u"wide \u00E9 ? + W");
  EXPECT_FALSE(eight_bit_ran);

  tip.OnGetInfoTipW = [](TSxInfoTip&, std::u16string& text) { text.clear(); };
  EXPECT_EQ(TipOf(tip), u"");

  DWORD flags = 0xABCD;
  EXPECT_EQ(tip.GetInfoFlags(&flags), E_NOTIMPL);
  EXPECT_EQ(flags, 0xABCDu);
}

TEST(InfoTipComponentTest, SystemTipModeFailsWithoutAShellNamespace) {
  TSxInfoTip tip;
  ASSERT_EQ(tip.Load(u"/photos/a.nef", 0), S_OK);
  tip.ModifySystemInfoTip = true;
  tip.OnGetInfoTip = [](TSxInfoTip&, std::string& text) { text = "never shown"; };
  EXPECT_EQ(TipOf(tip), u"<failed>");
  // The marker is cleared again: loads on this thread still work.
  EXPECT_EQ(tip.Load(u"/photos/b.nef", 0), S_OK);
  EXPECT_EQ(tip.FileName(), "/photos/b.nef");
}

TEST(ExtractImageComponentTest, ExtractHandsOutTheDefaultImageUntilAnEventDrewOne) {
  TSxExtractImage image;
  HBITMAP handle = reinterpret_cast<HBITMAP>(&image);
  EXPECT_EQ(image.Extract(&handle), S_OK);
  EXPECT_EQ(handle, nullptr);  // no default image either

  TBitmap picture;
  picture.SetSize(3, 2);
  picture.Raster().Fill(MakeColor(1, 2, 3));
  image.SetImage(picture);
  ASSERT_EQ(image.Extract(&handle), S_OK);
  BITMAP description{};
  ASSERT_EQ(GetObjectA(handle, sizeof(description), &description), static_cast<int>(sizeof(description)));
  EXPECT_EQ(description.bmWidth, 3);
  EXPECT_EQ(description.bmHeight, 2);
  const auto* bits = static_cast<const BYTE*>(description.bmBits);
  EXPECT_EQ(bits[0], 3);  // blue, green, red
  EXPECT_EQ(bits[2], 1);
  DeleteObject(handle);

  // An event that leaves its bitmap empty still gets the default image handed out.
  image.OnExtractImage = [](TSxExtractImage&, TBitmap&, const TSxSize&) {};
  const SIZE size{96, 96};
  EXPECT_EQ(image.GetLocation(nullptr, 0, nullptr, &size, 24, nullptr), S_OK);
  ASSERT_EQ(image.Extract(&handle), S_OK);
  ASSERT_EQ(GetObjectA(handle, sizeof(description), &description), static_cast<int>(sizeof(description)));
  EXPECT_EQ(description.bmWidth, 3);
  DeleteObject(handle);

  image.OnExtractImage = [](TSxExtractImage&, TBitmap&, const TSxSize&) { throw EMorvaneError("cache"); };
  EXPECT_EQ(image.GetLocation(nullptr, 0, nullptr, &size, 24, nullptr), E_FAIL);
}

}  // namespace
}  // namespace morvane
