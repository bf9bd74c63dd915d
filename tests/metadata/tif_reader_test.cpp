// Opening files: header checks, the main chain and its pointers, maker notes of each kind,
// sidecars, queries, and hostile structures.
#include "metadata/tif_reader.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "support/temp_file.h"
#include "support/tiff_writer.h"

namespace morvane {
namespace {

using testing::EncodeNumber;
using testing::Order;
using testing::TempDir;
using testing::TiffWriter;

std::unique_ptr<TTif> OpenBytes(const TempDir& dir, const std::string& name, const std::string& bytes,
                                bool silent = true, bool quick = false) {
  auto tif = std::make_unique<TTif>();
  tif->FileName = dir.Write(name, bytes);
  tif->Open(silent, quick);
  return tif;
}

// A camera file: IFD0 (make, model, orientation, thumbnail) → IFD1, EXIF with a maker note,
// GPS, interoperability.
std::string CameraFile(Order order, const std::string& make,
                       std::function<std::string(uint32_t)> maker_note) {
  TiffWriter w(order);
  const int ifd0 = w.NewIfd();
  const int ifd1 = w.NewIfd();
  const int exif = w.NewIfd();
  const int gps = w.NewIfd();
  const int interop = w.NewIfd();
  w.AddAscii(ifd0, 271, make);
  w.AddAscii(ifd0, 272, "MODEL X");
  w.Add(ifd0, 274, TiffWriter::kShort, {1});
  w.AddPointer(ifd0, 34665, exif);
  w.AddPointer(ifd0, 34853, gps);
  w.SetNext(ifd0, ifd1);
  w.AddBlob(ifd1, 513, 514, "\xFF\xD8\xFF\xD9");
  w.Add(exif, 33434, TiffWriter::kRational, {1, 60});
  w.AddPointer(exif, 40965, interop);
  if (maker_note) w.AddPositioned(exif, 37500, std::move(maker_note));
  w.Add(gps, 0, TiffWriter::kByte, {2, 2, 0, 0});
  w.AddAscii(interop, 1, "R98");
  return w.Build();
}

TEST(TifReaderTest, ShortOrBadHeadersFailUnlessSilent) {
  TempDir dir;
  TTif tif;
  tif.FileName = dir.Write("short.nef", "II*\0\x08\0\0");
  EXPECT_THROW(tif.Open(false, false), EMorvaneError);
  EXPECT_NO_THROW(tif.Open(true, false));
  EXPECT_FALSE(tif.HasIFDs());

  tif.FileName = dir.Write("v43.tif", std::string("II\x2B\0\x08\0\0\0\0\0\0\0", 12));
  try {
    tif.Open(false, false);
    FAIL() << "no error";
  } catch (const EMorvaneError& e) {
    EXPECT_STREQ(e.what(), "Invalid TIF file.");
  }
}

TEST(TifReaderTest, UnknownContainerIsEmptyButGetsItsXmpSidecar) {
  TempDir dir;
  dir.Write("photo.xmp", "<x:xmpmeta>\n</x:xmpmeta>\n");
  auto tif = OpenBytes(dir, "photo.gif", std::string("GIF89a\x01\0\x01\0\0\0", 12), false);
  EXPECT_FALSE(tif->HasIFDs());
  EXPECT_EQ(tif->ByteOrder, tboUnknown);
  EXPECT_EQ(tif->XMPData.size(), 2u);
}

TEST(TifReaderTest, ReadsTheWholeStructureInBothByteOrders) {
  for (Order order : {Order::kIntel, Order::kMotorola}) {
    TempDir dir;
    auto tif = OpenBytes(dir, "shot.nef", CameraFile(order, "PENTAX", nullptr), false);
    EXPECT_EQ(tif->ByteOrder, order == Order::kIntel ? tboIntel : tboMotorola);
    ASSERT_EQ(tif->IFDs.Count(), 2);
    EXPECT_EQ(tif->GetMake(), "PENTAX");
    EXPECT_EQ(tif->GetModel(), "MODEL X");
    EXPECT_EQ(tif->FindTag(33434, ikExif)->GetValue().AsText(), "1/60");
    EXPECT_EQ(tif->FindTag(33434, ikBase), nullptr);
    EXPECT_EQ(tif->ExifInterIFD.FindTag(1)->GetValue().AsText(), "R98");
    // Big-endian byte lists are kept mirrored, as every later reader expects them.
    EXPECT_EQ(tif->GPSIFD.FindTag(0)->GetValue().AsText(), order == Order::kIntel ? "2,2,0,0" : "0,0,2,2");
    EXPECT_TRUE(tif->HasGPS());
    ASSERT_NE(tif->GetThumbnailStream(), nullptr);
    EXPECT_EQ(tif->GetThumbnailStream(), &tif->IFDs[1]->ThumbDataStream);
  }
}

TEST(TifReaderTest, QuickScanReadsOnlyTheMainChainAndExif) {
  TempDir dir;
  auto tif = OpenBytes(dir, "shot.cr2", CameraFile(Order::kIntel, "Canon", nullptr), false, true);
  EXPECT_EQ(tif->IFDs.Count(), 2);
  EXPECT_EQ(tif->ExifIFD.Tags.Count(), 2);
  EXPECT_TRUE(tif->ExifInterIFD.Tags.Empty());
  EXPECT_TRUE(tif->GPSIFD.Tags.Empty());
  EXPECT_TRUE(tif->ExifMarkerNotesIFD.Tags.Empty());
  EXPECT_EQ(tif->GetThumbnailStream(), nullptr);
}

TEST(TifReaderTest, MainChainThatLoopsEnds) {
  TiffWriter w;
  const int a = w.NewIfd();
  const int b = w.NewIfd();
  w.Add(a, 254, TiffWriter::kLong, {0});
  w.Add(b, 254, TiffWriter::kLong, {1});
  w.SetNext(a, b);
  w.SetNext(b, a);
  TempDir dir;
  auto tif = OpenBytes(dir, "loop.tif", w.Build(), false);
  EXPECT_EQ(tif->IFDs.Count(), 2);
  EXPECT_EQ(tif->Work.Directories, 2);
}

// A maker-note directory placed at `position` with offsets relative to `relative_to`.
std::function<std::string(uint32_t)> NoteWith(Order order, std::string header, uint32_t relative_base,
                                               bool relative_to_note) {
  return [=](uint32_t position) {
    const uint32_t dir_at = position + static_cast<uint32_t>(header.size());
    const uint32_t relative = relative_to_note ? position + relative_base : relative_base;
    return header + TiffWriter::EncodeIfd(order, dir_at, relative,
                                          {{2, {TiffWriter::kShort, {0, 200}}},
                                           {7, {TiffWriter::kRational, {12, 10, 7, 1}}}});
  };
}

TEST(TifReaderTest, MakerNotesOfEachLayout) {
  struct Case {
    std::string make;
    Order order;
    std::string header;
    uint32_t relative_base;
    bool relative_to_note;
    std::string ifd_type;
  };
  const Case cases[] = {
      {"Canon", Order::kIntel, "", 0, false, ""},
      {"OLYMPUS IMAGING", Order::kMotorola, std::string("OLYMP\0\x01\0", 8), 0, false, ""},
      {"CASIO", Order::kMotorola, "", 0, false, "1"},
      {"CASIO COMPUTER", Order::kMotorola, std::string("QVC\0\0\0", 6), 0, false, "2"},
      {"FUJIFILM", Order::kIntel, std::string("FUJIFILM\x0C\0\0\0", 12), 12, true, ""},
      {"SANYO Electric", Order::kMotorola, std::string("SANYO\0\x01\0", 8), 0, true, ""},
      {"NIKON", Order::kIntel, std::string("Nikon\0\x01\0", 8), 0, false, "1"},
      {"NIKON CORPORATION", Order::kMotorola, "", 0, false, "2"},
      {"Minolta Co", Order::kMotorola, "", 0, false, "5"},
      {"Acme", Order::kIntel, "", 0, true, ""},
  };
  for (const Case& c : cases) {
    TempDir dir;
    auto tif = OpenBytes(dir, "shot.orf",
                         CameraFile(c.order, c.make, NoteWith(c.order, c.header, c.relative_base, c.relative_to_note)),
                         false);
    const TTifIFD& notes = tif->ExifMarkerNotesIFD;
    EXPECT_EQ(notes.IFDType, c.ifd_type) << c.make;
    EXPECT_EQ(notes.CameraMake, c.make);
    ASSERT_EQ(notes.Tags.Count(), 2) << c.make;
    EXPECT_EQ(notes.FindTag(2)->GetValue().AsText(), c.order == Order::kIntel ? "0,200" : "200,0") << c.make;
    EXPECT_EQ(notes.FindTag(7)->RawTagValue(), "12/10,7/1") << c.make;
  }
}

TEST(TifReaderTest, MinoltaSignaturesReadNoDirectory) {
  const std::pair<std::string, std::string> cases[] = {
      {"MLY0", "1"}, {"KC", "2"}, {"+M+M+M+M", "3"}, {"MINOL", "4"}};
  for (const auto& [signature, type] : cases) {
    TempDir dir;
    auto tif = OpenBytes(dir, "x.mrw.tif",
                         CameraFile(Order::kIntel, "KONICA MINOLTA", [s = signature](uint32_t) {
                           return s + std::string(16, '\0');
                         }),
                         false);
    EXPECT_EQ(tif->ExifMarkerNotesIFD.IFDType, type);
    EXPECT_TRUE(tif->ExifMarkerNotesIFD.Tags.Empty());
  }
}

std::string NikonType3Note(uint32_t /*position*/) {
  TiffWriter inner(Order::kMotorola);
  const int ifd = inner.NewIfd();
  inner.Add(ifd, 2, TiffWriter::kShort, {0, 400});
  inner.Add(ifd, 132, TiffWriter::kRational, {18, 1, 70, 1, 35, 10, 45, 10});
  return std::string("Nikon\0\x02\x10\0\0", 10) + inner.Build();
}

TEST(TifReaderTest, NikonType3HoldsAnEmbeddedTiff) {
  TempDir dir;
  auto tif = OpenBytes(dir, "d70.nef", CameraFile(Order::kIntel, "NIKON CORPORATION", NikonType3Note), false);
  const TTifIFD& notes = tif->ExifMarkerNotesIFD;
  EXPECT_EQ(notes.IFDType, "3");
  ASSERT_EQ(notes.Tags.Count(), 2);
  EXPECT_EQ(notes.FindTag(2)->GetValue().AsText(), "400,0");
  EXPECT_EQ(notes.FindTag(132)->RawTagValue(), "18/1,70/1,35/10,45/10");
  EXPECT_EQ(notes.FindTag(2)->DictionaryKinds(), ikMakerNotes);
}

TEST(TifReaderTest, NikonType3NestingIsBounded) {
  // The embedded TIFF carries a maker note of the same kind again, and again.
  std::function<std::string(int)> note = [&](int depth) -> std::string {
    TiffWriter inner(Order::kIntel);
    const int ifd = inner.NewIfd();
    inner.AddAscii(ifd, 271, "NIKON");
    inner.Add(ifd, 2, TiffWriter::kShort, {static_cast<uint64_t>(depth)});
    if (depth < 6) inner.AddBytes(ifd, 37500, TiffWriter::kUndefined, note(depth + 1));
    return std::string("Nikon\0\x02\x10\0\0", 10) + inner.Build();
  };
  TempDir dir;
  auto tif = OpenBytes(dir, "deep.nef", CameraFile(Order::kIntel, "NIKON", [&](uint32_t) { return note(0); }), false);
  EXPECT_EQ(tif->ExifMarkerNotesIFD.IFDType, "3");
  EXPECT_EQ(tif->ExifMarkerNotesIFD.FindTag(2)->GetValue().AsText(), "0");
}

TEST(TifReaderTest, MrwWrapperFindsItsTiff) {
  TiffWriter w(Order::kMotorola);
  const int ifd = w.NewIfd();
  w.AddAscii(ifd, 271, "KONICA MINOLTA");
  const std::string tiff = w.Build();
  // MRW blocks come first; offsets in the TIFF count from its own header.
  const std::string mrw = std::string("\0MRM\0\0\0\x20", 8) + std::string("\0TTW\0\0\0\x18", 8) +
                          std::string(16, '\0') + tiff;
  TempDir dir;
  auto tif = OpenBytes(dir, "a2.mrw", mrw, false);
  EXPECT_EQ(tif->GetMake(), "KONICA MINOLTA");
  auto none = OpenBytes(dir, "b.mrw", std::string("\0MRM", 4) + std::string(2000, 'x'), false);
  EXPECT_FALSE(none->HasIFDs());
}

TEST(TifReaderTest, RafWithoutJpegReadsNothingAndNoSidecar) {
  TempDir dir;
  dir.Write("s5.xmp", "<x/>");
  auto tif = OpenBytes(dir, "s5.raf", "FUJIFILMCCD-RAW " + std::string(200, '\0'), false);
  EXPECT_FALSE(tif->HasIFDs());
  EXPECT_FALSE(tif->HasXMP());
}

TEST(TifReaderTest, XmpSidecarIsFoundWhateverItsLetterCaseButNotForJpeg) {
  TempDir dir;
  const std::string nef = CameraFile(Order::kIntel, "NIKON", nullptr);
  dir.Write("shot.XMP", "line one\r\nline two");
  EXPECT_EQ(OpenBytes(dir, "shot.nef", nef)->XMPData, (std::vector<std::string>{"line one", "line two"}));
  dir.Write("pic.xmp", "x");
  EXPECT_FALSE(OpenBytes(dir, "pic.jpg", nef)->HasXMP());
}

TEST(TifReaderTest, CallersStreamIsReadFromItsStartWithoutSidecars) {
  TempDir dir;
  dir.Write("shot.xmp", "line one");
  TMemoryStream nef(CameraFile(Order::kIntel, "NIKON", nullptr));
  nef.Seek(17);
  for (const std::string& name : {std::string(), dir.Path() + "/shot.nef"}) {
    TTif tif;
    tif.FileName = name;
    EXPECT_TRUE(tif.Open(nef, false, false));
    EXPECT_EQ(tif.GetMake(), "NIKON");
    EXPECT_EQ(tif.IFDs.Count(), 2);
    EXPECT_FALSE(tif.HasXMP());
  }

  // The name's extension still chooses the container: a CRW that exists only in memory.
  TTif crw;
  crw.FileName = "never/written.crw";
  const std::string block = std::string(498, '\0') + std::string("Canon\0EOS D60", 13);
  TMemoryStream crw_bytes(std::string("II\x1A\0\0\0HEAPCCDR", 14) + std::string(12, '\0') + block +
                          EncodeNumber(Order::kIntel, 0, 4) + EncodeNumber(Order::kIntel, block.size(), 4));
  EXPECT_TRUE(crw.Open(crw_bytes, false, false));
  EXPECT_EQ(crw.GetMake(), "Canon");
  EXPECT_EQ(crw.GetModel(), "EOS D60");

  // A failed read leaves nothing of the last one; silent reports it by the result alone.
  TTif tif;
  ASSERT_TRUE(tif.Open(nef, false, false));
  TMemoryStream bad(std::string("II\x2B\0\x08\0\0\0\0\0\0\0", 12));
  EXPECT_FALSE(tif.Open(bad, true, false));
  EXPECT_FALSE(tif.HasIFDs());
  TMemoryStream tiny("II*");
  try {
    tif.Open(tiny, false, false);
    FAIL() << "no error";
  } catch (const EMorvaneError& e) {
    EXPECT_STREQ(e.what(), "Invalid TIF file.");
  }
}

TEST(TifReaderTest, SidecarFileNameFindsTheThm) {
  TempDir dir;
  const std::string crw = dir.Write("IMG_1.CRW", "x");
  EXPECT_EQ(SidecarFileName(crw), crw);
  const std::string thm = dir.Write("IMG_1.thm", "x");
  EXPECT_EQ(SidecarFileName(crw), thm);
  EXPECT_EQ(SidecarFileName(thm), thm);
  EXPECT_EQ(SidecarFileName(dir.Path() + "/noext"), dir.Path() + "/noext");
  // Two sidecars that differ only in letter case: always the same one.
  dir.Write("IMG_2.thm", "x");
  const std::string upper = dir.Write("IMG_2.THM", "x");
  EXPECT_EQ(SidecarFileName(dir.Path() + "/IMG_2.CRW"), upper);
}

TEST(TifReaderTest, FileKindsByExtensionAndModel) {
  TTif tif;
  tif.FileName = "a/b.DNG";
  EXPECT_TRUE(tif.IsDng());
  EXPECT_TRUE(tif.IsRaw());
  tif.FileName = "x.Thm";
  EXPECT_TRUE(tif.IsJpeg());
  EXPECT_TRUE(tif.IsRaw());
  tif.FileName = "scan.tif";
  EXPECT_TRUE(tif.IsTiff());
  tif.EnsureExifPointer();
  TTifTag* model = tif.IFDs[0]->Tags.Add();
  model->TagNumber = 272;
  model->DataFormat = tdfAsciiString;
  model->SetValue("canon eos-1ds");
  EXPECT_TRUE(tif.IsRaw());
  EXPECT_FALSE(tif.IsTiff());
}

TEST(TifReaderTest, EnsureExifPointerAndIccProfile) {
  TTif tif;
  TMemoryStream small("short");
  tif.SetIccProfile(&small);
  EXPECT_FALSE(tif.HasIFDs());
  TMemoryStream profile(std::string(40, 'p'));
  tif.SetIccProfile(&profile);
  ASSERT_EQ(tif.IFDs.Count(), 1);
  ASSERT_EQ(tif.IFDs[0]->Tags.Count(), 2);
  EXPECT_EQ(tif.IFDs[0]->Tags[0]->TagNumber, 34665);
  EXPECT_EQ(tif.IFDs[0]->Tags[1]->Components, 40);
  TMemoryStream other(std::string(20, 'q'));
  tif.SetIccProfile(&other);
  ASSERT_EQ(tif.IFDs[0]->Tags.Count(), 2);
  EXPECT_EQ(tif.FindTag(34675, ikAll)->Components, 20);
}

TEST(FindPatternTest, WindowRules) {
  const std::string pattern = "\xFF\xD8";
  struct Case {
    int64_t at;
    int64_t start;
    int64_t max_pos;
    bool found;
  };
  const Case cases[] = {
      {0, 0, 0, true},
      {10239, 0, 0, true},  // split across the first window's end
      {10240, 0, 0, true},
      {30000, 0, 0, true},
      {30000, 0, 20000, false},  // the window that holds it starts reading beyond MaxPos
      {5000, 0, 100, true},      // the first window is always examined whole
      {5000, 5001, 0, false},
  };
  for (const Case& c : cases) {
    std::string bytes(40000, 'a');
    bytes.replace(static_cast<size_t>(c.at), 2, pattern);
    TMemoryStream stream(bytes);
    int64_t found = -1;
    EXPECT_EQ(FindPattern(stream, pattern, c.start, c.max_pos, found), c.found) << c.at;
    if (c.found) {
      EXPECT_EQ(found, c.at);
    }
  }
}

TEST(SplitLinesTest, AllLineEnds) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
}  // namespace morvane
