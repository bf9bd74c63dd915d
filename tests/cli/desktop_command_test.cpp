// The desktop commands: `thumbnailer` as a file manager runs it, `prefill` as the desktop's
// thumbnail cache reads it back, and the names both share (URI, MD5, MIME types).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/cli_fixture.h"
#include "cli/desktop_types.h"
#include "cli/input_list.h"
#include "cli/md5.h"
#include "thumbnail/png_codec.h"

namespace morvane {
namespace {

using testing::NefWithPreview;
using testing::RunCli;
using testing::ShellQuote;

// An environment in which the home folder, the cache and the data folders are all `dir`'s.
std::string DesktopEnv(const testing::TempDir& dir) {
  return "HOME=" + ShellQuote(dir.Path() + "/home") + " XDG_CACHE_HOME=" + ShellQuote(dir.Path() + "/cache");
}

std::string Text(const TPngTexts& texts, const std::string& key) {
  for (const auto& [name, text] : texts)
    if (name == key) return text;
  return "<none>";
}

TEST(DesktopNamesTest, DigestsUrisAndTypes) {
  // The cache standard's own example, the empty text, and one spanning several blocks.
  EXPECT_EQ(cli::Md5Hex("file:///home/jens/photos/me.png"), "c6ee772d9e49320e97ec29a7eb5b1697");
  EXPECT_EQ(cli::Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(cli::Md5Hex(std::string(200, 'a')), "887f30b43b2867f4a9accceee7d16e6c");

  EXPECT_EQ(cli::FileUri("/a b/\xC3\xBC%#?[]~!$&'()*+,;=:@"), "file:///a%20b/%C3%BC%25%23%3F%5B%5D~!$&'()*+,;=:@");
  EXPECT_EQ(cli::FileUri("/photos/IMG_0001.CR2"), "file:///photos/IMG_0001.CR2");

  EXPECT_EQ(cli::MimeTypeOf("/x/a.nef"), "image/x-nikon-nef");
  EXPECT_EQ(cli::MimeTypeOf("b.PspImage"), "image/x-psp");
  EXPECT_EQ(cli::MimeTypeOf("c.txt"), "");
}

// The installed thumbnailer entry declares exactly the types the program names in the cache,
// and every one of them is a type the program makes thumbnails of.
TEST(DesktopNamesTest, ThumbnailerEntryListsEveryType) {
  std::ifstream entry("packaging/morvane.thumbnailer.in");
  std::string line, listed;
  while (std::getline(entry, line))
    if (line.rfind("MimeType=", 0) == 0) listed = line.substr(9);
  std::set<std::string> declared, named;
  std::stringstream types(listed);
  for (std::string type; std::getline(types, type, ';');) declared.insert(type);
  for (const cli::TDesktopType& type : cli::kDesktopTypes) {
    // A camera's index picture is a JPEG: the desktop's own thumbnailer serves that type.
    if (type.MimeType != "image/jpeg") named.insert(std::string(type.MimeType));
    EXPECT_TRUE(cli::IsSupportedType(std::string("x") + std::string(type.Extension), cli::TTypeUse::Thumbnail))
        << type.Extension;
  }
  EXPECT_EQ(declared, named);
}

TEST(ThumbnailerCommandTest, WritesTheFittedPictureAndNothingElse) {
  testing::TempDir dir;
  const std::string file = dir.Write("gnome-desktop-file-to-thumbnail.nef", NefWithPreview());
  const std::string out = dir.Path() + "/out.png";
  std::ofstream(out).put('x');  // the caller makes the output file; it is overwritten in place
  struct stat before {};
  ASSERT_EQ(stat(out.c_str(), &before), 0);
  const auto result = RunCli("thumbnailer --size 256 " + ShellQuote(file) + " " + ShellQuote(out), DesktopEnv(dir));
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "");
  TRgbaImage image;
  const std::string bytes = testing::ReadFileBytes(out);
  ASSERT_NO_THROW(image = DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  EXPECT_EQ(image.Width, 256);
  EXPECT_EQ(image.Height, 171);
  // The top-left pixel is the picture's red, not a background.
  EXPECT_TRUE(testing::NearColor(MakeColor(image.Pixels[0], image.Pixels[1], image.Pixels[2]),
                                 testing::kQuadrantColors[0], 48));
  struct stat after {};
  ASSERT_EQ(stat(out.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  // No cache, no home folder.
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/cache"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/home"));
}

TEST(ThumbnailerCommandTest, FailuresAreOneLineAndNonZero) {
  testing::TempDir dir;
  const std::string nef = ShellQuote(dir.Write("a.nef", NefWithPreview()));
  const std::string bare = ShellQuote(dir.Write("bare.nef", "not a raw file"));
  const std::string out = ShellQuote(dir.Path() + "/out.png");
  struct Case {
    std::string args;
    int exit_code;
    std::string message;
  } cases[] = {
      {"thumbnailer --size 128 " + bare + " " + out, 1, "no preview in the file"},
      {"thumbnailer --size 128 " + ShellQuote(dir.Path() + "/missing.nef") + " " + out, 1, "No such file"},
      {"thumbnailer --size 128 " + nef + " " + ShellQuote(dir.Path() + "/no/such/out.png"), 1, "cannot be written"},
      {"thumbnailer --size 0 " + nef + " " + out, 2, "--size needs a number from 1 to 4096"},
      {"thumbnailer " + nef + " " + out, 2, "thumbnailer needs --size N"},
      {"thumbnailer --size 128 " + nef, 2, "thumbnailer needs --size N"},
  };
  for (const Case& c : cases) {
    const auto result = RunCli(c.args, DesktopEnv(dir));
    EXPECT_EQ(result.exit_code, c.exit_code) << c.args;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << c.args << ": " << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/out.png")) << c.args;
  }
}

class PrefillCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_.Path() + "/photos/sub");
    nef_ = dir_.Write("photos/sub/a b.nef", NefWithPreview());
    bare_ = dir_.Write("photos/bare.cr2", "not a raw file");
    dir_.Write("photos/notes.txt", "text");
  }
  testing::CliResult Prefill(const std::string& options = "") {
    return RunCli("prefill -r " + options + " " + ShellQuote(dir_.Path() + "/photos"), DesktopEnv(dir_));
  }
  std::string CachePath(const std::string& folder, const std::string& file) const {
    return dir_.Path() + "/cache/thumbnails/" + folder + "/" + cli::Md5Hex(cli::FileUri(file)) + ".png";
  }
  testing::TempDir dir_;
  std::string nef_, bare_;
};

TEST_F(PrefillCommandTest, WritesTheCachesFormat) {
  const auto result = Prefill("--size large");
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const std::string thumbnail = CachePath("large", nef_);
  const TPngTexts texts = ReadPngTexts(thumbnail);
  struct stat file {};
  ASSERT_EQ(stat(nef_.c_str(), &file), 0);
  EXPECT_EQ(Text(texts, "Thumb::URI"), cli::FileUri(nef_));
  EXPECT_NE(Text(texts, "Thumb::URI").find("a%20b.nef"), std::string::npos);
  EXPECT_EQ(Text(texts, "Thumb::MTime"), std::to_string(file.st_mtime));
  EXPECT_EQ(Text(texts, "Thumb::Size"), std::to_string(file.st_size));
  EXPECT_EQ(Text(texts, "Thumb::Mimetype"), "image/x-nikon-nef");
  EXPECT_EQ(Text(texts, "Software").rfind("Morvane ", 0), 0u);
  const std::string bytes = testing::ReadFileBytes(thumbnail);
  const TRgbaImage image = DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  EXPECT_EQ(image.Width, 256);
  EXPECT_EQ(image.Height, 171);

  // Private to the user; the file with nothing to show recorded as a failure, no temporary left.
  struct stat info {};
  ASSERT_EQ(stat((dir_.Path() + "/cache/thumbnails").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(thumbnail.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(Text(ReadPngTexts(CachePath("fail/morvane-" MORVANE_TEST_VERSION, bare_)), "Thumb::URI"),
            cli::FileUri(bare_));
  EXPECT_FALSE(std::filesystem::exists(CachePath("normal", nef_)));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.Path() + "/cache"))
    EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
}

TEST_F(PrefillCommandTest, FreshThumbnailsAreSkippedAndChangedFilesRemade) {
  ASSERT_EQ(Prefill("-j 2").exit_code, 0);
  const auto again = Prefill("-j 2");
  EXPECT_EQ(again.exit_code, 0) << again.err;
  EXPECT_NE(again.out.find("fresh thumbnail"), std::string::npos) << again.out;
  EXPECT_NE(again.out.find("no thumb (recorded)"), std::string::npos) << again.out;
  EXPECT_EQ(again.out.find("thumbnail 128x"), std::string::npos) << again.out;

  const struct timeval times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimes(nef_.c_str(), times), 0);
  const auto changed = Prefill();
  EXPECT_NE(changed.out.find("thumbnail 128x85"), std::string::npos) << changed.out;
  EXPECT_EQ(Text(ReadPngTexts(CachePath("normal", nef_)), "Thumb::MTime"), "1000000000");
}

TEST_F(PrefillCommandTest, WrongCallsAreUsageErrors) {
  EXPECT_EQ(Prefill("--size huge").exit_code, 2);
  const auto no_home = RunCli("prefill " + ShellQuote(nef_), "HOME= XDG_CACHE_HOME=");
  EXPECT_EQ(no_home.exit_code, 2);
  EXPECT_NE(no_home.err.find("HOME"), std::string::npos) << no_home.err;
}

}  // namespace
}  // namespace morvane
