// The shell extension library driven the way the shell drives it, through its exports only:
// class objects for every handler, the unload rule, refused requests, and the thumbnail and
// info-tip call sequences on real camera files, compared with what the module and the command
// line produce for the same files.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/code_page.h"
#include "platform/text.h"
#include "shellext/shell_library.h"
#include "support/cache_query.h"
#include "support/run_cli.h"
#include "support/sample_nef.h"
#include "support/samples.h"
#include "support/temp_file.h"

namespace morvane {
namespace {

using testing::HandlerClassId;
using testing::TComPtr;
using testing::TShellLibrary;

const THandlerRow& RowOf(std::string_view component) { return *FindHandlerByComponent(component); }

// The handler row of a kind for a file's extension; null when no handler serves it.
const THandlerRow* HandlerFor(const std::string& path, THandlerKind kind) {
  const std::string extension = ExtractFileExt(path);
  for (const THandlerRow& row : kHandlerTable)
    if (row.Kind == kind && SameText(row.FileType, extension)) return &row;
  return nullptr;
}

std::vector<std::string> SampleFiles() {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(MORVANE_SAMPLES_DIR, error))
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

// Paths on this system are UTF-8; the shell hands them over in UTF-16.
std::u16string Wide(const std::string& path) { return Utf8ToUtf16(path); }

// A new handler object of the row's class, asked for `iid`.
template <class Interface>
bool CreateHandler(TShellLibrary& library, const THandlerRow& row, REFIID iid, TComPtr<Interface>& handler) {
  TComPtr<IClassFactory> factory(library.Factory(HandlerClassId(row)));
  if (!factory) return false;
  return factory->CreateInstance(nullptr, iid, handler.Out()) == S_OK;
}

// The shell's thumbnail sequence: Load, GetLocation at the size, Extract. The bitmap is null
// when the handler gave none.
struct TThumbnail {
  HRESULT Location = E_FAIL;
  std::u16string PathBuffer;
  DWORD Priority = 0xFFFF;
  DWORD Flags = 0;
  HBITMAP Bitmap = nullptr;
};

TThumbnail ExtractThumbnail(IExtractImage* image, const std::string& path, int side, DWORD cch = 260) {
  TThumbnail result;
  TComPtr<IPersistFile> file;
  if (image->QueryInterface(IID_IPersistFile, file.Out()) != S_OK) return result;
  const std::u16string wide = Wide(path);
  if (file->Load(wide.c_str(), 0) != S_OK) return result;
  std::vector<WCHAR> buffer(cch + 1, u'#');
  const SIZE size{side, side};
  result.Flags = 0x1234;
  result.Location = image->GetLocation(buffer.data(), cch, &result.Priority, &size, 24, &result.Flags);
  result.PathBuffer = buffer.data();
  if (image->Extract(&result.Bitmap) != S_OK) result.Bitmap = nullptr;
  return result;
}

// "WxH:" and the pixels, rows top-down, blue-green-red: a bitmap handle's picture.
std::string Picture(HBITMAP bitmap) {
  BITMAP description{};
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof(description), &description) != sizeof(description) ||
      description.bmBitsPixel != 24)
    return "<no bitmap>";
  std::string picture = std::to_string(description.bmWidth) + "x" + std::to_string(description.bmHeight) + ":";
  const auto* bits = static_cast<const char*>(description.bmBits);
  for (LONG y = description.bmHeight - 1; y >= 0; --y)
    picture.append(bits + static_cast<size_t>(y) * description.bmWidthBytes,
                   static_cast<size_t>(description.bmWidth) * 3);
  return picture;
}

// The same form of a PNG file.
std::string PngPicture(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return "<no png>";
  image.format = PNG_FORMAT_BGR;
  std::string pixels(PNG_IMAGE_SIZE(image), '\0');
  const bool read = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
  png_image_free(&image);
  if (!read) return "<no png>";
  return std::to_string(image.width) + "x" + std::to_string(image.height) + ":" + pixels;
}

std::u16string InfoTipOf(IQueryInfo* tip) {
  PWSTR text = nullptr;
  if (tip->GetInfoTip(0, &text) != S_OK || text == nullptr) return u"<failed>";
  std::u16string result(text);
  CoTaskMemFree(text);
  return result;
}

std::u16string LoadAndTip(IQueryInfo* tip, const std::string& path) {
  TComPtr<IPersistFile> file;
  if (tip->QueryInterface(IID_IPersistFile, file.Out()) != S_OK) return u"<no file>";
  if (file->Load(Wide(path).c_str(), 0) != S_OK) return u"<not loaded>";
  return InfoTipOf(tip);
}

TEST(ShellLibraryTest, EveryHandlerClassServesItsHandler) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  for (const THandlerRow& row : kHandlerTable) {
    SCOPED_TRACE(std::string(row.Component));
    TComPtr<IPersistFile> file;
    ASSERT_TRUE(CreateHandler(library, row, IID_IPersistFile, file));
    CLSID class_id{};
    EXPECT_EQ(file->GetClassID(&class_id), S_OK);
    EXPECT_EQ(class_id, HandlerClassId(row));
    TComPtr<IUnknown> own;
    TComPtr<IUnknown> other;
    EXPECT_EQ(file->QueryInterface(row.Kind == hkExtractImage ? IID_IExtractImage : IID_IQueryInfo, own.Out()), S_OK);
    EXPECT_EQ(file->QueryInterface(row.Kind == hkExtractImage ? IID_IQueryInfo : IID_IExtractImage, other.Out()),
              E_NOINTERFACE);
    EXPECT_FALSE(other);
    TComPtr<IPersist> persist;
    EXPECT_EQ(file->QueryInterface(IID_IPersist, persist.Out()), S_OK);
    EXPECT_EQ(file->IsDirty(), E_NOTIMPL);
  }
  EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST(ShellLibraryTest, UnloadRuleCountsFactoryReferencesObjectsAndServerLocks) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  EXPECT_EQ(library.CanUnloadNow(), S_OK);
  IClassFactory* factory = library.Factory(HandlerClassId(RowOf("itNEF")));
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
  TComPtr<IQueryInfo> tip;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IQueryInfo, tip.Out()), S_OK);
  factory->Release();
  EXPECT_EQ(library.CanUnloadNow(), S_FALSE);  // the object holds the library
  tip.Reset();
  EXPECT_EQ(library.CanUnloadNow(), S_OK);

  factory = library.Factory(HandlerClassId(RowOf("ImageCRW")));
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST(ShellLibraryTest, RefusedRequests) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  void* out = &library;
  const GUID unknown = *TryStringToGUID("{01234567-89AB-CDEF-0123-456789ABCDEF}");
  EXPECT_EQ(library.GetClassObject(unknown, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  out = &library;
  EXPECT_EQ(library.GetClassObject(HandlerClassId(RowOf("ImageNEF")), IID_IPersistFile, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);

  TComPtr<IClassFactory> factory(library.Factory(HandlerClassId(RowOf("ImageNEF"))));
  ASSERT_TRUE(factory);
  TComPtr<IUnknown> outer;
  ASSERT_TRUE(CreateHandler(library, RowOf("itNEF"), IID_IUnknown, outer));
  out = &library;
  EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IExtractImage, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  // Asked for IUnknown, an outer object is ignored: the object is a plain one.
  TComPtr<IUnknown> plain;
  ASSERT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, plain.Out()), S_OK);
  TComPtr<IExtractImage> image;
  EXPECT_EQ(plain->QueryInterface(IID_IExtractImage, image.Out()), S_OK);
  TComPtr<ISupportErrorInfo> error_info;
  ASSERT_EQ(plain->QueryInterface(IID_ISupportErrorInfo, error_info.Out()), S_OK);
  EXPECT_EQ(error_info->InterfaceSupportsErrorInfo(IID_IUnknown), S_OK);
  EXPECT_EQ(error_info->InterfaceSupportsErrorInfo(IID_IExtractImage), S_FALSE);
  error_info.Reset();
  image.Reset();
  plain.Reset();
  outer.Reset();

  // An interface the handler lacks: no object stays behind.
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IQueryInfo, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  factory.Reset();
  EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST(ShellLibraryTest, ThumbnailsAreTheCommandLinesThumbnails) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  testing::TempDir out;
  int compared = 0;
  for (const std::string& path : SampleFiles()) {
    const THandlerRow* row = HandlerFor(path, hkExtractImage);
    if (row == nullptr) continue;
    SCOPED_TRACE(path);
    TComPtr<IExtractImage> image;
    ASSERT_TRUE(CreateHandler(library, *row, IID_IExtractImage, image));
    // Below 80 pixels nothing is cached, so both make the thumbnail afresh.
    const TThumbnail thumbnail = ExtractThumbnail(image.Get(), path, 64);
    EXPECT_EQ(thumbnail.Location, S_OK);
    EXPECT_EQ(thumbnail.PathBuffer, Wide(path));
    EXPECT_EQ(thumbnail.Priority, 0u);
    EXPECT_EQ(thumbnail.Flags, 0x1234u);  // no flag is reported back

    const std::string png = out.Path() + "/thumb.png";
    const testing::CliResult cli =
        testing::RunCli("thumb " + testing::ShellQuote(path) + " -o " + testing::ShellQuote(png) + " --size 64",
                        "XDG_CACHE_HOME=" + testing::ShellQuote(out.Path()));
    ASSERT_EQ(cli.exit_code, 0) << cli.err;
    const std::string picture = Picture(thumbnail.Bitmap);
    EXPECT_EQ(picture.substr(0, 6), "64x64:");
    EXPECT_TRUE(picture == PngPicture(png)) << "the pictures differ";
    DeleteObject(thumbnail.Bitmap);
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "no sample files";
}

TEST(ShellLibraryTest, CachedThumbnailsComeThroughTheLibrary) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  const std::string path = MORVANE_BUNDLED_SAMPLES_DIR "/sample.nef";
  TComPtr<IExtractImage> image;
  ASSERT_TRUE(CreateHandler(library, RowOf("ImageNEF"), IID_IExtractImage, image));
  // The first request at 96 pixels writes the cache row, the second draws from it.
  const TThumbnail made = ExtractThumbnail(image.Get(), path, 96);
  const TThumbnail cached = ExtractThumbnail(image.Get(), path, 96);
  EXPECT_EQ(made.Location, S_OK);
  EXPECT_EQ(cached.Location, S_OK);
  EXPECT_EQ(Picture(made.Bitmap).substr(0, 6), "96x96:");
  EXPECT_EQ(Picture(cached.Bitmap).substr(0, 6), "96x96:");
  DeleteObject(made.Bitmap);
  DeleteObject(cached.Bitmap);
  EXPECT_TRUE(std::filesystem::exists(library.CacheFolder() + "/Morvane/mrvThumbs.db"));
}

TEST(ShellLibraryTest, ThumbnailPathBufferAndMissingFiles) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  MORVANE_REQUIRE_SAMPLE(path, "Nikon.nef");
  TComPtr<IExtractImage> image;
  ASSERT_TRUE(CreateHandler(library, RowOf("ImageNEF"), IID_IExtractImage, image));

  // A buffer too small for the path gets an empty string, and the thumbnail is still made.
  TThumbnail small = ExtractThumbnail(image.Get(), path, 48, static_cast<DWORD>(Wide(path).size()));
  EXPECT_EQ(small.Location, S_OK);
  EXPECT_EQ(small.PathBuffer, u"");
  EXPECT_EQ(Picture(small.Bitmap).substr(0, 6), "48x48:");
  // Extract again hands out another copy of the same picture.
  HBITMAP again = nullptr;
  ASSERT_EQ(image->Extract(&again), S_OK);
  EXPECT_NE(again, small.Bitmap);
  EXPECT_EQ(Picture(again), Picture(small.Bitmap));
  DeleteObject(again);
  DeleteObject(small.Bitmap);

  // Exactly fitting: the whole path; a null priority pointer is left alone.
  TThumbnail fitting = ExtractThumbnail(image.Get(), path, 48, static_cast<DWORD>(Wide(path).size() + 1));
  EXPECT_EQ(fitting.PathBuffer, Wide(path));
  DeleteObject(fitting.Bitmap);
  const SIZE size{32, 32};
  std::vector<WCHAR> buffer(300, 0);
  EXPECT_EQ(image->GetLocation(buffer.data(), 300, nullptr, &size, 32, nullptr), S_OK);

  // No directory entry: the module draws nothing, and the default image is empty.
  const TThumbnail missing = ExtractThumbnail(image.Get(), path + ".missing", 96);
  EXPECT_EQ(missing.Location, S_OK);
  EXPECT_EQ(missing.Bitmap, nullptr);
}

// A name outside the ANSI code page: the shell's path reaches the file, comes back unchanged
// from GetLocation, and is the cache's key; thumbnail and info tip are the command line's.
TEST(ShellLibraryTest, PathsOutsideTheCodePage) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  testing::TempDir dir;
  const std::string path = dir.Write("\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1_\xE5\x86\x99\xE7\x9C\x9F.nef",
                                     testing::BuildSampleNef());
  const std::u16string shell_path = Wide(dir.Path()) + u"/\u03A9\u03BC\u03AD\u03B3\u03B1_\u5199\u771F.nef";

  TComPtr<IExtractImage> image;
  ASSERT_TRUE(CreateHandler(library, RowOf("ImageNEF"), IID_IExtractImage, image));
  const TThumbnail thumbnail = ExtractThumbnail(image.Get(), path, 96);
  EXPECT_EQ(thumbnail.PathBuffer, shell_path);
  const std::string png = dir.Path() + "/thumb.png";
  const testing::CliResult cli =
      testing::RunCli("thumb " + testing::ShellQuote(path) + " -o " + testing::ShellQuote(png) + " --size 96",
                      "XDG_CACHE_HOME=" + testing::ShellQuote(dir.Path()));
  ASSERT_EQ(cli.exit_code, 0) << cli.err;
  EXPECT_EQ(Picture(thumbnail.Bitmap).substr(0, 6), "96x96:");
  EXPECT_TRUE(Picture(thumbnail.Bitmap) == PngPicture(png)) << "the pictures differ";
  DeleteObject(thumbnail.Bitmap);
  EXPECT_EQ(testing::QueryColumn(library.CacheFolder() + "/Morvane/mrvThumbs.db",
                                 "select count(*) from mrvThumbs where FileName = '" + path + "'"),
            std::vector<std::string>{"1"});

  TComPtr<IQueryInfo> tip;
  ASSERT_TRUE(CreateHandler(library, RowOf("itNEF"), IID_IQueryInfo, tip));
  const std::u16string text = LoadAndTip(tip.Get(), path);
  EXPECT_EQ(text.find(u"no exif available"), std::u16string::npos) << Utf16ToUtf8(text);
  const testing::CliResult info = testing::RunCli("info " + testing::ShellQuote(path));
  std::string lines = Utf16ToUtf8(text);
  std::erase(lines, '\r');
  EXPECT_EQ(lines + "\n", info.out);
}

TEST(ShellLibraryTest, InfoTipsAreTheCommandLinesInfoTips) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  int compared = 0;
  for (const std::string& path : SampleFiles()) {
    const THandlerRow* row = HandlerFor(path, hkInfoTip);
    if (row == nullptr) continue;
    SCOPED_TRACE(path);
    TComPtr<IQueryInfo> tip;
    ASSERT_TRUE(CreateHandler(library, *row, IID_IQueryInfo, tip));
    const std::u16string text = LoadAndTip(tip.Get(), path);
    const testing::CliResult cli = testing::RunCli("info " + testing::ShellQuote(path));
    ASSERT_EQ(cli.exit_code, 0) << cli.err;
    std::string lines;
    const std::string ansi = Utf16ToAnsi(text);
    for (size_t i = 0; i < ansi.size(); ++i)
      if (!(ansi[i] == '\r' && i + 1 < ansi.size() && ansi[i + 1] == '\n')) lines += ansi[i];
    EXPECT_EQ(AnsiToUtf8(lines) + "\n", cli.out);
    DWORD flags = 7;
    EXPECT_EQ(tip->GetInfoFlags(&flags), E_NOTIMPL);
    EXPECT_EQ(flags, 7u);
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "no sample files";
}

TEST(ShellLibraryTest, ObjectsOfOneClassOnOneThreadAndOnTwoThreads) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  MORVANE_REQUIRE_SAMPLE(nef, "Nikon.nef");
  MORVANE_REQUIRE_SAMPLE(cr2, "CanonRaw.cr2");
  const std::u16string nef_tip = [&] {
    TComPtr<IQueryInfo> tip;
    return CreateHandler(library, RowOf("itNEF"), IID_IQueryInfo, tip) ? LoadAndTip(tip.Get(), nef) : u"";
  }();
  const std::u16string cr2_tip = [&] {
    TComPtr<IQueryInfo> tip;
    return CreateHandler(library, RowOf("itNEF"), IID_IQueryInfo, tip) ? LoadAndTip(tip.Get(), cr2) : u"";
  }();
  ASSERT_NE(nef_tip, cr2_tip);

  // Two objects of one class alive at once each keep their own file.
  TComPtr<IQueryInfo> first;
  TComPtr<IQueryInfo> second;
  ASSERT_TRUE(CreateHandler(library, RowOf("itNEF"), IID_IQueryInfo, first));
  ASSERT_TRUE(CreateHandler(library, RowOf("itNEF"), IID_IQueryInfo, second));
  EXPECT_EQ(LoadAndTip(first.Get(), nef), nef_tip);
  EXPECT_EQ(LoadAndTip(second.Get(), cr2), cr2_tip);
  EXPECT_EQ(InfoTipOf(first.Get()), nef_tip);
  first.Reset();
  second.Reset();

  // Objects on two threads at once.
  std::u16string tips[2];
  std::vector<std::thread> threads;
  for (int i = 0; i < 2; ++i)
    threads.emplace_back([&, i] {
      for (int round = 0; round < 3; ++round) {
        TComPtr<IQueryInfo> tip;
        if (CreateHandler(library, RowOf("itNEF"), IID_IQueryInfo, tip)) tips[i] = LoadAndTip(tip.Get(), i ? cr2 : nef);
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(tips[0], nef_tip);
  EXPECT_EQ(tips[1], cr2_tip);
  EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace morvane
