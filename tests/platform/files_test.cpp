// The case-insensitive sibling lookup: the smallest of several spellings wins, and a folder's
// listing, kept between lookups, follows the folder's changes.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <ctime>

#include "support/temp_file.h"

namespace morvane {
namespace {

void SetFolderTime(const std::string& folder, std::time_t when) {
  utimbuf times{when, when};
  ASSERT_EQ(utime(folder.c_str(), &times), 0);
}

TEST(FilesTest, SiblingLookupIgnoresCaseAndFollowsTheFolder) {
  testing::TempDir dir;
  const std::string& folder = dir.Path();
  dir.Write("photo.NEF", "raw");
  dir.Write("photo.xmp", "second");
  dir.Write("photo.XMP", "first");
  SetFolderTime(folder, std::time(nullptr) - 3600);  // settled: its listing is kept

  EXPECT_EQ(FindFileIgnoringCase(folder + "/photo.nef"), folder + "/photo.NEF");
  EXPECT_EQ(FindFileIgnoringCase(folder + "/PHOTO.Xmp"), folder + "/photo.XMP");
  EXPECT_EQ(FindFileIgnoringCase(folder + "/other.xmp"), std::nullopt);

  // A file added after the listing was kept, and one removed, are seen at the next lookup.
  dir.Write("OTHER.XMP", "new");
  EXPECT_EQ(FindFileIgnoringCase(folder + "/other.xmp"), folder + "/OTHER.XMP");
  SetFolderTime(folder, std::time(nullptr) - 1800);
  EXPECT_EQ(FindFileIgnoringCase(folder + "/other.Xmp"), folder + "/OTHER.XMP");
  ASSERT_EQ(std::remove((folder + "/OTHER.XMP").c_str()), 0);
  EXPECT_EQ(FindFileIgnoringCase(folder + "/other.xmp"), std::nullopt);

  // Another folder's lookup is its own.
  testing::TempDir second;
  second.Write("Photo.xmp", "x");
  SetFolderTime(second.Path(), std::time(nullptr) - 3600);
  EXPECT_EQ(FindFileIgnoringCase(second.Path() + "/photo.XMP"), second.Path() + "/Photo.xmp");
  EXPECT_EQ(FindFileIgnoringCase(folder + "/photo.xmp"), folder + "/photo.xmp");  // the exact name first
}

}  // namespace
}  // namespace morvane
