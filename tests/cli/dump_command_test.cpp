// The program's calling conventions and the dump listing.
#include <gtest/gtest.h>

#include "support/run_cli.h"
#include "support/sample_nef.h"
#include "support/samples.h"
#include "support/temp_file.h"

namespace morvane {
namespace {

using testing::RunCli;
using testing::ShellQuote;

TEST(CliTest, HelpAndWrongCalls) {
  const auto help = RunCli("--help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("dump"), std::string::npos);
  for (const char* args : {"", "frobnicate", "dump", "dump --frobnicate a"}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.exit_code, 2) << args;
    EXPECT_NE(r.err.find("usage:"), std::string::npos) << args;
  }
}

TEST(CliTest, DumpOfAMissingFileFailsWithOneLine) {
  const auto r = RunCli("dump /no/such/file.nef");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  EXPECT_TRUE(r.out.empty());
}

TEST(CliTest, DumpListsEveryDirectory) {
  testing::TempDir dir;
  const std::string path = dir.Write("sample.nef", testing::BuildSampleNef());
  const auto r = RunCli("dump " + ShellQuote(path));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "byte order\tII");
  for (const char* line : {"IFD0\t271\t2\t18\tNIKON CORPORATION\n", "IFD0.Sub1\t256\t4\t1\t3008\n",
                           "Exif\t33434\t5\t1\t1/60\n", "MakerNotes\t132\t5\t4\t18/1,70/1,35/10,45/10\n",
                           "Gps\t2\t5\t3\t52/1,22/1,3456/100\n", "Exif\t37500\t7\t112\tNikon\\x00\\x02"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line;
}

TEST(CliTest, DumpOfAFileWithNothingInItSucceeds) {
  testing::TempDir dir;
  const auto r = RunCli("dump " + ShellQuote(dir.Write("x.nef", "just some text, no TIFF")));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "byte order\tunknown\n");
  const auto tiny = RunCli("dump " + ShellQuote(dir.Write("t.nef", "II*")));
  EXPECT_EQ(tiny.exit_code, 0);
  EXPECT_NE(tiny.err.find("Invalid TIF file."), std::string::npos);
}

TEST(CliTest, DumpCutsLongValuesAndEscapesControlCharacters) {
  MORVANE_REQUIRE_SAMPLE(path, "Nikon.nef");
  const auto r = RunCli("dump " + ShellQuote(path));
  EXPECT_EQ(r.exit_code, 0);
  const size_t at = r.out.find("IFD0\t34675\t7\t492\t");
  ASSERT_NE(at, std::string::npos);
  const std::string line = r.out.substr(at, r.out.find('\n', at) - at);
  EXPECT_EQ(line.find('\x01'), std::string::npos);
  EXPECT_NE(line.find("\\x00\\x00\\x01"), std::string::npos);
  EXPECT_NE(r.out.find("IFD0.Sub0\t513\t4\t1\t1120\n"), std::string::npos);
}

}  // namespace
}  // namespace morvane
