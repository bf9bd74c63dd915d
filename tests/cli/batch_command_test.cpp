// The commands over many files: exit codes and messages, sorted output whatever the worker
// count, JSON parsed back, thumbnails into a folder or the cache, interrupts and write errors.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli_fixture.h"
#include "support/cache_query.h"
#include "support/run_cli.h"
#include "support/sample_nef.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using testing::RunCli;
using testing::ShellQuote;
using testing::TempDir;

using testing::CacheEnv;
using testing::CacheRowCount;

// A small library: supported files in nested folders, a file of another type, and a
// symbolic link back up to the top folder.
struct TLibrary {
  TempDir dir;
  std::string root = dir.Path() + "/photos";
  std::vector<std::string> photos;  // sorted, as the program lists them

  explicit TLibrary(int count) {
    const std::string sample = testing::BuildSampleNef();
    for (int i = 0; i < count; ++i) {
      const std::string folder = root + (i % 3 == 0 ? "" : i % 3 == 1 ? "/2024" : "/2024/b");
      fs::create_directories(folder);
      photos.push_back(folder + "/img" + std::to_string(i) + ".nef");
      std::FILE* f = std::fopen(photos.back().c_str(), "wb");
      std::fwrite(sample.data(), 1, sample.size(), f);
      std::fclose(f);
    }
    std::FILE* notes = std::fopen((root + "/notes.txt").c_str(), "wb");
    std::fputs("not a photo", notes);
    std::fclose(notes);
    fs::create_directory_symlink(root, root + "/2024/loop");
    std::sort(photos.begin(), photos.end());
  }
};

// Runs a shell script; its exit code, with the standard error in `err`.
int RunScript(const std::string& script, std::string& err) {
  TempDir dir;
  const std::string command = "bash -c " + ShellQuote(script) + " 2>" + ShellQuote(dir.Path() + "/err");
  const int status = std::system(command.c_str());
  err = testing::ReadFileBytes(dir.Path() + "/err");
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST(BatchCommandTest, ExitCodesAndMessages) {
  TempDir dir;
  const std::string nef = ShellQuote(dir.Write("a.nef", testing::BuildSampleNef()));
  const std::string text = ShellQuote(dir.Write("plain.txt", "just some words"));
  const std::string folder = ShellQuote(dir.Path());
  fs::create_directories(dir.Path() + "/broken/Morvane");
  const std::string broken_cache = "XDG_CACHE_HOME=" + ShellQuote(dir.Path() + "/broken");
  {
    std::FILE* f = std::fopen((dir.Path() + "/broken/Morvane/mrvThumbs.db").c_str(), "wb");
    std::fputs(std::string(5000, 'g').c_str(), f);
    std::fclose(f);
  }
  struct TCase {
    std::string args;
    int exit_code;
    std::string message;  // in stderr; its first line, for usage errors
  };
  const TCase cases[] = {
      {"info " + nef, 0, ""},
      {"--version", 0, ""},
      {"info /no/such.nef", 1, "morvane: /no/such.nef: No such file or directory"},
      {"tags " + folder, 1, ": Is a directory"},
      {"tags " + text, 1, "plain.txt: not a supported file type"},
      {"info " + nef + " /no/such.nef", 1, "/no/such.nef: No such file or directory"},
      {"thumb " + nef + " -o " + ShellQuote(dir.Path() + "/t.png") + " --size 0", 2,
       "morvane: --size needs a number from 1 to 4096"},
      {"thumb " + nef + " --width 5000 --height 5", 2, "morvane: --width needs a number from 1 to 4096"},
      {"info -j 0 " + nef, 2, "morvane: -j needs a number from 1 to 256"},
      {"info --size 3 " + nef, 2, "morvane: "},
      {"info", 2, "morvane: info needs at least one FILE or FOLDER"},
      {"thumb " + nef, 2, "morvane: one FILE needs -o OUT.png"},
      {"thumb " + nef + " " + nef + " -j 2", 2, "Thumbnail cache"},
  };
  for (const TCase& c : cases) {
    const auto r = RunCli(c.args, c.exit_code == 2 && c.message == "Thumbnail cache" ? broken_cache : CacheEnv(dir));
    EXPECT_EQ(r.exit_code, c.exit_code) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    if (c.exit_code == 2 && c.message != "Thumbnail cache") {
      EXPECT_EQ(Lines(r.err), 2u) << c.args << "\n" << r.err;  // the message and the usage hint
      EXPECT_EQ(r.err.find("usage: morvane "), r.err.find('\n') + 1) << r.err;
    }
    if (c.exit_code == 1 && c.args.find(' ' + nef) == std::string::npos) {
      EXPECT_TRUE(r.out.empty()) << c.args;
    }
  }
  const auto version = RunCli("--version");
  EXPECT_EQ(version.out.substr(0, 8), "morvane ");
  const auto help = RunCli("thumb --help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("--size"), std::string::npos);
  EXPECT_EQ(help.out.find("--json"), std::string::npos);  // the thumb command's own options
}

TEST(BatchCommandTest, UnreadableFilesAndFoldersAreReportedAndTheRunGoesOn) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
  TLibrary library(3);
  const std::string locked_file = library.root + "/img0.nef";
  const std::string locked_folder = library.root + "/2024/b";
  ASSERT_EQ(chmod(locked_file.c_str(), 0), 0);
  ASSERT_EQ(chmod(locked_folder.c_str(), 0), 0);
  const auto r = RunCli("info -r " + ShellQuote(library.root));
  chmod(locked_folder.c_str(), 0755);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find(locked_file + ": Permission denied\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(locked_folder + ": Permission denied\n"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("======== " + library.root + "/2024/img1.nef\n"), std::string::npos) << r.out;
}

TEST(BatchCommandTest, ManyFilesPrintInSortedOrderWhateverTheWorkers) {
  TLibrary library(12);
  const std::string root = ShellQuote(library.root);
  const auto one = RunCli("info -r -j 1 " + root);
  const auto four = RunCli("info -r -j 4 " + root);
  EXPECT_EQ(one.exit_code, 0) << one.err;
  EXPECT_EQ(four.exit_code, 0) << four.err;
  EXPECT_EQ(one.out, four.out);
  std::vector<std::string> headers;
  for (size_t at = one.out.find("======== "); at != std::string::npos; at = one.out.find("\n======== ", at + 1)) {
    const size_t start = one.out[at] == '\n' ? at + 10 : at + 9;
    headers.push_back(one.out.substr(start, one.out.find('\n', start) - start));
  }
  EXPECT_EQ(headers, library.photos);
  // The loop is reported and not followed; the text file is skipped; the summary counts both.
  EXPECT_NE(four.err.find("/2024/loop: symbolic link loop, not followed\n"), std::string::npos) << four.err;
  EXPECT_NE(four.err.find("morvane: 13 files: 12 made, 0 from cache, 1 skipped, 0 failed in "), std::string::npos)
      << four.err;
  EXPECT_EQ(four.err.find('\r'), std::string::npos);  // no progress line when stderr is a file

  // Without -r a folder among files is a failure of its own; the files are still listed.
  const auto mixed =
      RunCli("tags -j 2 " + ShellQuote(library.photos[1]) + " " + root + " " + ShellQuote(library.photos[0]));
  EXPECT_EQ(mixed.exit_code, 1);
  EXPECT_NE(mixed.err.find(library.root + ": Is a directory\n"), std::string::npos);
  EXPECT_LT(mixed.out.find("======== " + library.photos[0]), mixed.out.find("======== " + library.photos[1]));
}

TEST(BatchCommandTest, JsonIsValidAndParsesBack) {
  TempDir dir;
  testing::TiffWriter w;
  const int ifd0 = w.NewIfd();
  w.AddAscii(ifd0, 271, "Caf\xE9 \x01 Maker");  // Windows-1252 text with a control byte
  w.AddAscii(ifd0, 272, "Model");
  w.AddAscii(ifd0, 306, "2024:05:06 07:08:09");
  const std::string odd_name = dir.Write("odd\xFF name.tif", w.Build());
  const std::string sample = dir.Write("sample.nef", testing::BuildSampleNef());
  dir.Write("plain.txt", "words");

  const auto info = RunCli("info -r --json -j 2 " + ShellQuote(dir.Path()));
  EXPECT_EQ(info.exit_code, 0) << info.err;
  const auto tips = nlohmann::json::parse(info.out);  // throws on anything but valid JSON in UTF-8
  ASSERT_TRUE(tips.is_array());
  ASSERT_EQ(tips.size(), 2u);
  EXPECT_EQ(tips[0]["path"], dir.Path() + "/odd\\xFF name.tif");
  const std::string camera = tips[0]["Camera"];
  EXPECT_EQ(camera.substr(0, 6), "Caf\xC3\xA9 ") << camera;
  EXPECT_EQ(camera.substr(camera.size() - 12), " Maker-Model") << camera;
  EXPECT_EQ(tips[0]["Date"], "2024:05:06");
  EXPECT_EQ(tips[1]["path"], sample);
  for (const char* field :
       {"Camera", "Date", "Focal Length", "F-Number", "Exposure Time", "Lens information", "Type", "Size"})
    EXPECT_TRUE(tips[1].contains(field)) << field;
  EXPECT_EQ(tips[1]["Type"], "NEF file");
  EXPECT_EQ(tips[1]["text"].get<std::string>().substr(0, 28), "NIKON CORPORATION-NIKON D70\n");

  const auto tags = RunCli("tags --json " + ShellQuote(sample) + " " + ShellQuote(odd_name) + " /no/such.nef");
  EXPECT_EQ(tags.exit_code, 1);
  const auto listings = nlohmann::json::parse(tags.out);
  ASSERT_EQ(listings.size(), 2u);
  EXPECT_EQ(listings[0]["tags"]["Camera Maker"], "Caf\xC3\xA9 \\x01 Maker");  // sorted: "odd" before "sample"
  EXPECT_EQ(listings[1]["path"], sample);
  EXPECT_EQ(listings[1]["tags"]["Camera Maker"], "NIKON CORPORATION");
  EXPECT_EQ(listings[1]["tags"]["Exposure Time"], "1/60 sec");

  // One file is still one array; nothing to list is an empty one.
  EXPECT_EQ(nlohmann::json::parse(RunCli("info --json " + ShellQuote(sample)).out).size(), 1u);
  EXPECT_EQ(RunCli("info --json /no/such.nef").out, "[]\n");
}

TEST(BatchCommandTest, ThumbnailsIntoAFolderOrOnlyIntoTheCache) {
  TLibrary library(7);
  const std::string root = ShellQuote(library.root);
  const std::string out = library.dir.Path() + "/thumbs";
  const auto made = RunCli("thumb -r -j 2 --size 96 -o " + ShellQuote(out) + " " + root, CacheEnv(library.dir));
  EXPECT_EQ(made.exit_code, 0) << made.err;
  std::vector<std::string> written;
  for (const auto& entry : fs::recursive_directory_iterator(out))
    if (entry.is_regular_file()) written.push_back(fs::relative(entry.path(), out).string());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"2024/b/img2.png", "2024/b/img5.png", "2024/img1.png", "2024/img4.png",
                                               "img0.png", "img3.png", "img6.png"}));
  EXPECT_EQ(CacheRowCount(library.dir), 7);
  EXPECT_NE(made.err.find("7 made, 0 from cache, 1 skipped, 0 failed"), std::string::npos) << made.err;

  // Again without -o: only the cache is asked, and it answers every file.
  const auto cached = RunCli("thumb -r -j 2 --size 96 " + root, CacheEnv(library.dir));
  EXPECT_EQ(cached.exit_code, 0);
  EXPECT_EQ(Lines(cached.out), 14u);  // a header and "cached thumbnail" per file
  EXPECT_NE(cached.err.find("0 made, 7 from cache"), std::string::npos) << cached.err;

  // Two files of the same name from two named files land under two names.
  TempDir other;
  const std::string a = other.Write("a.nef", testing::BuildSampleNef());
  fs::create_directory(other.Path() + "/x");
  const std::string b = other.Write("x/a.nef", testing::BuildSampleNef());
  ASSERT_EQ(
      RunCli("thumb " + ShellQuote(a) + " " + ShellQuote(b) + " -o " + ShellQuote(other.Path() + "/t"), CacheEnv(other))
          .exit_code,
      0);
  EXPECT_TRUE(fs::exists(other.Path() + "/t/a.png"));
  EXPECT_TRUE(fs::exists(other.Path() + "/t/a-2.png"));
}

TEST(BatchCommandTest, WriteErrorsAreFailures) {
  TLibrary library(160);
  const std::string cli = ShellQuote(MORVANE_CLI_PATH);
  std::string err;
  EXPECT_EQ(RunScript(cli + " info " + ShellQuote(library.photos[0]) + " >/dev/full", err), 1);
  EXPECT_EQ(err, "morvane: cannot write the output: No space left on device\n");
  EXPECT_EQ(RunScript(cli + " tags -r -j 2 " + ShellQuote(library.root) + " >/dev/full", err), 1);
  EXPECT_NE(err.find("morvane: cannot write the output: No space left on device\n"), std::string::npos) << err;
  // A reader that leaves early: the listing (about 180 KB) is far more than a pipe holds.
  const std::string dump = cli + " dump -r -j 2 " + ShellQuote(library.root);
  EXPECT_EQ(RunScript("set -o pipefail; " + dump + " | head -c 10 >/dev/null", err), 1);
  EXPECT_NE(err.find("morvane: cannot write the output: Broken pipe\n"), std::string::npos) << err;
}

// Runs the program with its stdout on a pipe the caller reads; the process id.
// Its stderr goes to the file `err`.
pid_t Spawn(const std::vector<std::string>& args, const std::string& cache, const std::string& err, int& out_fd) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    std::freopen(err.c_str(), "wb", stderr);
    close(fds[0]);
    close(fds[1]);
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(MORVANE_CLI_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(MORVANE_CLI_PATH, argv.data());
    _exit(127);
  }
  close(fds[1]);
  out_fd = fds[0];
  return pid;
}

TEST(BatchCommandTest, InterruptStopsCleanlyAndLeavesTheCacheConsistent) {
  TempDir dir;
  const std::string nef = testing::NefWithPreview();
  constexpr int kFiles = 120;
  fs::create_directory(dir.Path() + "/in");
  for (int i = 0; i < kFiles; ++i) dir.Write("in/p" + std::to_string(1000 + i) + ".nef", nef);

  int out_fd = -1;
  const std::string thumbs = dir.Path() + "/thumbs";
  const pid_t pid = Spawn({"thumb", "-r", "-j", "2", "-o", thumbs, dir.Path() + "/in"}, dir.Path() + "/cache",
                          dir.Path() + "/err", out_fd);
  ASSERT_GT(pid, 0);
  std::string out;
  char buffer[4096];
  bool signalled = false;
  for (ssize_t n; (n = read(out_fd, buffer, sizeof buffer)) > 0;) {
    out.append(buffer, static_cast<size_t>(n));
    if (!signalled && out.find("thumbnail ") != std::string::npos) {
      kill(pid, SIGINT);
      signalled = true;
    }
  }
  close(out_fd);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  const std::string err = testing::ReadFileBytes(dir.Path() + "/err");
  EXPECT_NE(err.find("morvane: interrupted after "), std::string::npos) << err;

  // Every file reported was finished: its image complete, its cache row written; no file
  // after them was started, and no part of an image is left anywhere.
  const size_t reported = static_cast<size_t>(std::count(out.begin(), out.end(), '\n')) / 2;
  EXPECT_GT(reported, 0u);
  EXPECT_LT(reported, static_cast<size_t>(kFiles));
  size_t images = 0;
  for (const auto& entry : fs::directory_iterator(thumbs)) {
    EXPECT_EQ(entry.path().extension(), ".png") << entry.path();
    ++images;
  }
  EXPECT_EQ(images, reported);
  const std::string db = dir.Path() + "/cache/Morvane/mrvThumbs.db";
  EXPECT_EQ(testing::QueryColumn(db, "pragma integrity_check"), std::vector<std::string>{"ok"});
  EXPECT_EQ(testing::QueryColumn(db, "select count(*) from mrvThumbs"),
            std::vector<std::string>{std::to_string(reported)});
}

}  // namespace
}  // namespace morvane
