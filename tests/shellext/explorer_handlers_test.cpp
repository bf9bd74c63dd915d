// Today's shell handlers through the library's COM surface, as the shell's surrogate uses them:
// created from their class, initialised with a stream, the stream given back on every way out.
// Pictures are compared with the engine's own picture of the same file read by path; property
// values with the camera's values as exiftool reads them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/date_time.h"
#include "platform/files.h"
#include "shellext/explorer_handlers.h"
#include "shellext/shell_library.h"
#include "shellext/stream_handler.h"
#include "support/samples.h"
#include "thumbnail/thumbnail_maker.h"

namespace morvane {
namespace {

using testing::TComPtr;
using testing::TShellLibrary;

// An IStream over bytes that counts its references and can be made to fail its reads.
class TBytesStream final : public IStream {
 public:
  explicit TBytesStream(std::string bytes) : bytes_(std::move(bytes)) {}
  bool FailReads = false;
  LONG References() const { return references_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references_); }
  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (FailReads) return STG_E_READFAULT;
    const size_t start = std::min<uint64_t>(position_, bytes_.size());
    const size_t count = std::min<size_t>(cb, bytes_.size() - start);
    std::memcpy(pv, bytes_.data() + start, count);
    position_ += count;
    if (pcbRead != nullptr) *pcbRead = static_cast<ULONG>(count);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    const int64_t base = origin == STREAM_SEEK_SET ? 0 : origin == STREAM_SEEK_CUR ? static_cast<int64_t>(position_)
                                                                                    : static_cast<int64_t>(bytes_.size());
    if (base + move.QuadPart < 0) return E_INVALIDARG;
    position_ = static_cast<uint64_t>(base + move.QuadPart);
    if (position != nullptr) position->QuadPart = position_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    *stat = STATSTG{};
    stat->cbSize.QuadPart = bytes_.size();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  std::string bytes_;
  uint64_t position_ = 0;
  LONG references_ = 1;
};

const TExplorerRow& RowOf(std::string_view file_type) {
  for (const TExplorerRow& row : kExplorerTable)
    if (row.FileType == file_type) return row;
  throw std::logic_error("no row");
}

template <class Interface>
bool Create(std::string_view class_id, const IID& iid, TComPtr<Interface>& handler) {
  TComPtr<IClassFactory> factory(TShellLibrary::Get().Factory(*TryStringToGUID(class_id)));
  return factory && factory->CreateInstance(nullptr, iid, handler.Out()) == S_OK;
}

std::string FileBytes(const std::string& path) {
  TFileStream file(path);
  return file.ReadString(static_cast<size_t>(file.Size()));
}

struct TPixels {
  LONG Width = 0, Height = 0;
  WORD BitsPixel = 0;
  std::vector<BYTE> Bytes;
};

TPixels PixelsOf(HBITMAP bitmap) {
  BITMAP description{};
  TPixels pixels;
  if (GetObjectA(bitmap, sizeof(description), &description) == 0) return pixels;
  pixels = {description.bmWidth, description.bmHeight, description.bmBitsPixel, {}};
  const auto* bits = static_cast<const BYTE*>(description.bmBits);
  pixels.Bytes.assign(bits, bits + static_cast<size_t>(description.bmWidthBytes) * description.bmHeight);
  return pixels;
}

TEST(ThumbnailProviderTest, StreamPictureIsThePathPictureFittedUprightWithoutPadding) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  struct TCase {
    const char* sample;
    const char* type;
    UINT cx;
  };
  for (const TCase& c : {TCase{"DNG.dng", ".DNG", 96}, TCase{"DNG.dng", ".DNG", 257},
                         TCase{"FujiFilm.raf", ".RAF", 160},
                         TCase{"sample.nef", ".NEF", 256}}) {
    SCOPED_TRACE(std::string(c.sample) + " at " + std::to_string(c.cx));
    const std::string bundled = std::string(MORVANE_BUNDLED_SAMPLES_DIR) + "/" + c.sample;
    const std::string path = FileExists(bundled) ? bundled : testing::SamplePath(c.sample);
    if (!FileExists(path)) continue;
    TJpegGraphic expected;
    ASSERT_TRUE(TMRV().MakePicture(path, static_cast<int32_t>(c.cx), expected));

    TComPtr<IInitializeWithStream> init;
    ASSERT_TRUE(Create(RowOf(c.type).ProviderClassId, kIID_IInitializeWithStream, init));
    TComPtr<IThumbnailProvider> provider;
    ASSERT_EQ(init->QueryInterface(kIID_IThumbnailProvider, provider.Out()), S_OK);
    TBytesStream stream(FileBytes(path));
    ASSERT_EQ(init->Initialize(&stream, STGM_READ), S_OK);
    HBITMAP bitmap = nullptr;
    WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
    ASSERT_EQ(provider->GetThumbnail(c.cx, &bitmap, &alpha), S_OK);
    EXPECT_EQ(stream.References(), 1) << "the stream is given back after the call";
    EXPECT_EQ(alpha, WTSAT_RGB);
    const TPixels pixels = PixelsOf(bitmap);
    DeleteObject(bitmap);
    EXPECT_EQ(pixels.BitsPixel, 32);
    EXPECT_EQ(static_cast<UINT>(std::max(pixels.Width, pixels.Height)), c.cx);
    ASSERT_EQ(pixels.Width, expected.Width());
    ASSERT_EQ(pixels.Height, expected.Height());
    // Top-down rows of blue, green, red and an opaque fourth byte.
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{pixels.Width - 1, pixels.Height / 2}}) {
      const TColor color = expected.Raster().PixelColor(x, y);
      const BYTE* p = &pixels.Bytes[static_cast<size_t>(y * pixels.Width + x) * 4];
      EXPECT_EQ(p[0], BlueOf(color));
      EXPECT_EQ(p[1], GreenOf(color));
      EXPECT_EQ(p[2], RedOf(color));
      EXPECT_EQ(p[3], 255);
    }
  }
}

TEST(ThumbnailProviderTest, FailuresAreErrorsAndGiveTheStreamBack) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  MORVANE_REQUIRE_SAMPLE(path, "CanonRaw.cr2");
  struct TCase {
    const char* name;
    std::string bytes;
    bool fail_reads;
    UINT cx;
  };
  const std::string real = FileBytes(path);
  for (const TCase& c : {TCase{"garbage", std::string(5000, 'x'), false, 96}, TCase{"empty", "", false, 96},
                         TCase{"truncated", real.substr(0, 200), false, 96},
                         TCase{"unreadable", real, true, 96}, TCase{"size zero", real, false, 0}}) {
    SCOPED_TRACE(c.name);
    TComPtr<IInitializeWithStream> init;
    ASSERT_TRUE(Create(RowOf(".CR2").ProviderClassId, kIID_IInitializeWithStream, init));
    TComPtr<IThumbnailProvider> provider;
    ASSERT_EQ(init->QueryInterface(kIID_IThumbnailProvider, provider.Out()), S_OK);
    TBytesStream stream(c.bytes);
    stream.FailReads = c.fail_reads;
    ASSERT_EQ(init->Initialize(&stream, STGM_READ), S_OK);
    EXPECT_EQ(init->Initialize(&stream, STGM_READ), E_UNEXPECTED) << "a handler takes one stream";
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    EXPECT_TRUE(FAILED(provider->GetThumbnail(c.cx, &bitmap, nullptr)));
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(stream.References(), 1);
  }
  TComPtr<IThumbnailProvider> uninitialised;
  ASSERT_TRUE(Create(RowOf(".CR2").ProviderClassId, kIID_IThumbnailProvider, uninitialised));
  HBITMAP bitmap = nullptr;
  EXPECT_EQ(uninitialised->GetThumbnail(96, &bitmap, nullptr), E_UNEXPECTED);
}

// The properties served for a file, by key.
class TServed {
 public:
  explicit TServed(IPropertyStore* store) : store_(store) {}
  std::optional<PROPVARIANT> Get(const GUID& fmtid, DWORD pid) const {
    PROPVARIANT value;
    if (store_->GetValue(PROPERTYKEY{fmtid, pid}, &value) != S_OK || value.vt == VT_EMPTY) return std::nullopt;
    return value;
  }
  std::string Text(const GUID& fmtid, DWORD pid) const {
    auto value = Get(fmtid, pid);
    if (!value || value->vt != VT_LPWSTR) return "<none>";
    std::string text;
    for (const WCHAR* p = value->pwszVal; *p != 0; ++p) text += static_cast<char>(*p);
    PropVariantClear(&*value);
    return text;
  }

 private:
  IPropertyStore* store_;
};

constexpr GUID kPhoto = {0x14B81DA1, 0x0135, 0x4D31, {0x96, 0xD9, 0x6C, 0xBF, 0xC9, 0x67, 0x1A, 0x99}};
constexpr GUID kImage = {0x6444048F, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}};
constexpr GUID kLens = {0xE1277516, 0x2B5F, 0x4869, {0x89, 0xB1, 0x2E, 0x58, 0x5B, 0xD3, 0x8B, 0x7A}};

TEST(PropertyHandlerTest, CameraValuesAsThePropertySystemsTypes) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  struct TCase {
    const char* sample;
    const char* type;
    const char* maker;
    const char* model;
    double f_number, exposure, focal;
    int iso, flash;
    const char* dimensions;
    const char* lens;
  };
  for (const TCase& c : {TCase{"CanonRaw.cr2", ".CR2", "Canon", "Canon EOS 350D DIGITAL", 8, 1.0 / 15, 55, 400, 16,
                               "3456 x 2304", "<none>"},
                         TCase{"Nikon.nef", ".NEF", "NIKON CORPORATION", "NIKON D70", 3.5, 0.05, 18, 200, 0,
                               "3008 x 2000", "18-70 mm  F3.5-F4.5"}}) {
    SCOPED_TRACE(c.sample);
    const std::string path = testing::SamplePath(c.sample);
    if (!FileExists(path)) continue;
    TComPtr<IInitializeWithStream> init;
    ASSERT_TRUE(Create(RowOf(c.type).PropertyClassId, kIID_IInitializeWithStream, init));
    TBytesStream stream(FileBytes(path));
    ASSERT_EQ(init->Initialize(&stream, STGM_READ), S_OK);
    EXPECT_EQ(stream.References(), 1) << "the stream is read at once and given back";
    TComPtr<IPropertyStore> store;
    ASSERT_EQ(init->QueryInterface(kIID_IPropertyStore, store.Out()), S_OK);
    const TServed served(store.Get());
    EXPECT_EQ(served.Text(kPhoto, 271), c.maker);
    EXPECT_EQ(served.Text(kPhoto, 272), c.model);
    EXPECT_EQ(served.Text(kImage, 13), c.dimensions);
    EXPECT_EQ(served.Text(kLens, 100), c.lens);
    const auto real = [&](DWORD pid) {
      const auto value = served.Get(kPhoto, pid);
      return value && value->vt == VT_R8 ? value->dblVal : -1;
    };
    EXPECT_NEAR(real(33437), c.f_number, 1e-9);
    EXPECT_NEAR(real(33434), c.exposure, 1e-9);
    EXPECT_NEAR(real(37386), c.focal, 1e-9);
    const auto iso = served.Get(kPhoto, 34855);
    ASSERT_TRUE(iso && iso->vt == VT_UI2);
    EXPECT_EQ(iso->uiVal, c.iso);
    const auto flash = served.Get(kPhoto, 37385);
    ASSERT_TRUE(flash && flash->vt == VT_UI1);
    EXPECT_EQ(flash->bVal, c.flash);
    const auto date = served.Get(kPhoto, 36867);
    ASSERT_TRUE(date && date->vt == VT_FILETIME);

    DWORD count = 0;
    ASSERT_EQ(store->GetCount(&count), S_OK);
    PROPERTYKEY key{};
    EXPECT_EQ(store->GetAt(count, &key), E_INVALIDARG);
    PROPVARIANT value{};
    EXPECT_EQ(store->SetValue(PROPERTYKEY{kPhoto, 271}, value), STG_E_ACCESSDENIED);
    EXPECT_EQ(store->Commit(), STG_E_ACCESSDENIED);
    TComPtr<IPropertyStoreCapabilities> capabilities;
    ASSERT_EQ(init->QueryInterface(kIID_IPropertyStoreCapabilities, capabilities.Out()), S_OK);
    EXPECT_EQ(capabilities->IsPropertyWritable(PROPERTYKEY{kPhoto, 271}), S_FALSE);
  }
}

TEST(PropertyHandlerTest, DateTakenIsTheCameraClockInUtcByTheLocalZone) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  MORVANE_REQUIRE_SAMPLE(path, "CanonRaw.cr2");
  TComPtr<IInitializeWithStream> init;
  ASSERT_TRUE(Create(RowOf(".CR2").PropertyClassId, kIID_IInitializeWithStream, init));
  TBytesStream stream(FileBytes(path));
  ASSERT_EQ(init->Initialize(&stream, STGM_READ), S_OK);
  TComPtr<IPropertyStore> store;
  ASSERT_EQ(init->QueryInterface(kIID_IPropertyStore, store.Out()), S_OK);
  const auto date = TServed(store.Get()).Get(kPhoto, 36867);
  ASSERT_TRUE(date && date->vt == VT_FILETIME);
  const uint64_t ticks = (uint64_t{date->filetime.dwHighDateTime} << 32) | date->filetime.dwLowDateTime;
  const auto seconds = static_cast<int64_t>(ticks / 10000000) - 11644473600;
  // 2005:08:03 18:59:18 on the camera's clock, read in the local zone of this process.
  const auto local = LocalDateTimeFromUnixSeconds(seconds);
  ASSERT_TRUE(local);
  EXPECT_EQ(local->Year, 2005);
  EXPECT_EQ(local->Month, 8);
  EXPECT_EQ(local->Day, 3);
  EXPECT_EQ(local->Hour, 18);
  EXPECT_EQ(local->Minute, 59);
  EXPECT_EQ(local->Second, 18);
}

// A damaged file has no properties; a stream that cannot be read is an error.
TEST(PropertyHandlerTest, DamagedOrUnreadableStreamsServeNothing) {
  MORVANE_REQUIRE_SHELL_LIBRARY(library);
  for (const bool fail_reads : {false, true}) {
    TComPtr<IInitializeWithStream> init;
    ASSERT_TRUE(Create(RowOf(".NEF").PropertyClassId, kIID_IInitializeWithStream, init));
    TBytesStream stream(fail_reads ? std::string(4096, 'I') : std::string("II*\0\x08\0\0\0\xFF\xFF", 10));
    stream.FailReads = fail_reads;
    EXPECT_EQ(FAILED(init->Initialize(&stream, STGM_READ)), fail_reads);
    EXPECT_EQ(stream.References(), 1);
    TComPtr<IPropertyStore> store;
    ASSERT_EQ(init->QueryInterface(kIID_IPropertyStore, store.Out()), S_OK);
    DWORD count = 99;
    ASSERT_EQ(store->GetCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
  }
}

}  // namespace
}  // namespace morvane
