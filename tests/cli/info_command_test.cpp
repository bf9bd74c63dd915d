// `morvane info`: the info tip one line per tip line, with the control characters that a file's
// metadata carries written as \xNN; the tip itself (as COM returns it) keeps them.
#include <gtest/gtest.h>

#include <string>

#include "shellext/info_tip_request.h"
#include "support/run_cli.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::RunCli;
using testing::ShellQuote;
using testing::TiffWriter;

TEST(InfoCommandTest, ControlCharactersOfTheMetadataAreEscaped) {
  // A make that would clear the screen and retitle the terminal, a model with a lone CR and a
  // backspace.
  const std::string make = "Canon\x1B[2J\x1B]0;owned\x07!";
  TiffWriter w;
  const int ifd0 = w.NewIfd();
  const int exif = w.NewIfd();
  w.AddAscii(ifd0, 271, make);
  w.AddAscii(ifd0, 272, "a\rb\x08" "c");
  w.AddPointer(ifd0, 34665, exif);
  w.Add(exif, 34855, TiffWriter::kShort, {200});
  testing::TempDir dir;
  const std::string path = dir.Write("hostile.nef", w.Build());

  const auto r = RunCli("info " + ShellQuote(path));
  EXPECT_EQ(r.exit_code, 0) << r.err;
  for (const char c : r.out) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << r.out;
  EXPECT_NE(r.out.find("Canon\\x1B[2J\\x1B]0;owned\\x07!"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("a\\x0Db\\x08c"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\nISO: 200\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\nType: NEF file\n"), std::string::npos) << r.out;

  EXPECT_NE(ComposeInfoTip(path).find(make), std::string::npos);
}

}  // namespace
}  // namespace morvane
