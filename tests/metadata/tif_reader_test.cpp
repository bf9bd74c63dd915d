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
    EXPECT_EQ(tif->GPSIFD.FindTag(0)->GetValue().AsText(), "2,2,0,0");
    EXPECT_TRUE(tif->HasGPS());
    ASSERT_NE(tif->GetThumbnailStream(), nullptr);
    EXPECT_EQ(tif->GetThumbnailStream(), &tif->IFDs[1]->ThumbDataStream);
  }
}

// Arrays of every component size, in both byte orders: the components come out in the order
// the file stores them, each number right, and sub-directories in the order listed.
TEST(TifReaderTest, ValuesAndSubDirectoriesReadInStoredOrder) {
  for (Order order : {Order::kIntel, Order::kMotorola}) {
    TiffWriter w(order);
    const int ifd0 = w.NewIfd();
    const int raw = w.NewIfd();
    const int preview = w.NewIfd();
    const int exif = w.NewIfd();
    const int gps = w.NewIfd();
    w.Add(ifd0, 258, TiffWriter::kShort, {8, 12, 16});
    w.AddSubIfds(ifd0, {raw, preview});
    w.AddPointer(ifd0, 34665, exif);
    w.AddPointer(ifd0, 34853, gps);
    w.Add(ifd0, 33422, TiffWriter::kByte, {0, 1, 1, 2});
    w.Add(ifd0, 50706, TiffWriter::kByte, {1, 1, 0, 0});
    w.Add(ifd0, 50829, TiffWriter::kLong, {14, 42, 2328, 70000});
    w.Add(ifd0, 50000, TiffWriter::kSByte, {0xFF, 2, 0xFD});
    w.Add(ifd0, 50001, TiffWriter::kSShort, {0xFFFE, 3});
    w.Add(ifd0, 50002, TiffWriter::kRational, {51, 1, 30, 1});
    w.Add(raw, 254, TiffWriter::kLong, {0});
    w.Add(preview, 254, TiffWriter::kLong, {1});
    w.AddBytes(exif, 36864, TiffWriter::kUndefined, "0221");
    w.AddBytes(exif, 40960, TiffWriter::kUndefined, "0100");
    w.AddBytes(exif, 37121, TiffWriter::kUndefined, std::string("\x01\x02\x03\x00", 4));
    w.Add(gps, 0, TiffWriter::kByte, {2, 2, 0, 0});
    w.AddBytes(gps, 27, TiffWriter::kUndefined, std::string("ASCII\0\0\0GPS-FIX", 15));
    TempDir dir;
    auto tif = OpenBytes(dir, "shot.dng", w.Build(), false);
    const std::string name = order == Order::kIntel ? "Intel" : "Motorola";

    struct Case {
      const TTifIFD& directory;
      int tag;
      std::string value;
    };
    const TTifIFD& main = *tif->IFDs[0];
    const Case cases[] = {
        {main, 258, "8,12,16"},
        {main, 33422, "0,1,1,2"},
        {main, 50706, "1,1,0,0"},
        {main, 50829, "14,42,2328,70000"},
        {main, 50000, "-1,2,-3"},
        {main, 50001, "-2,3"},
        {main, 50002, "51/1,30/1"},
        {tif->ExifIFD, 36864, "0221"},
        {tif->ExifIFD, 40960, "0100"},
        {tif->ExifIFD, 37121, std::string("\x01\x02\x03\x00", 4)},
        {tif->GPSIFD, 0, "2,2,0,0"},
        {tif->GPSIFD, 27, std::string("ASCII\0\0\0GPS-FIX", 15)},
    };
    for (const Case& c : cases) {
      const TTifTag* tag = c.directory.FindTag(c.tag);
      ASSERT_NE(tag, nullptr) << name << " tag " << c.tag;
      EXPECT_EQ(tag->RawTagValue(), c.value) << name << " tag " << c.tag;
    }
    ASSERT_EQ(main.SubIFDs.Count(), 2) << name;
    EXPECT_EQ(main.SubIFDs[0]->FindTag(254)->GetValue().AsInteger(), 0) << name;
    EXPECT_EQ(main.SubIFDs[1]->FindTag(254)->GetValue().AsInteger(), 1) << name;
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
      // Today's Olympus notes: their own byte order, offsets from the note's start.
      {"OLYMPUS IMAGING", Order::kIntel, std::string("OLYMPUS\0II\x03\0", 12), 0, true, ""},
      {"OLYMPUS IMAGING", Order::kMotorola, std::string("OLYMPUS\0MM\0\x03", 12), 0, true, ""},
      // Fuji offsets count from the note's start, Sanyo ones from the TIFF header.
      {"FUJIFILM", Order::kIntel, std::string("FUJIFILM\x0C\0\0\0", 12), 0, true, ""},
      {"SANYO Electric", Order::kMotorola, std::string("SANYO\0\x01\0", 8), 0, false, ""},
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
    EXPECT_EQ(notes.FindTag(2)->GetValue().AsText(), "0,200") << c.make;
    EXPECT_EQ(notes.FindTag(7)->RawTagValue(), "12/10,7/1") << c.make;
  }
}

// A DNG keeps the original file's maker note in its private data, with the note's byte order
// and its offset in the original file, from which the note's own offsets still count.
TEST(TifReaderTest, DngPrivateDataHoldsTheOriginalMakerNote) {
  for (Order note_order : {Order::kIntel, Order::kMotorola}) {
    const uint32_t original_offset = 5000;
    const std::string note = TiffWriter::EncodeIfd(note_order, original_offset, 0,
                                                   {{2, {TiffWriter::kShort, {0, 200}}},
                                                    {7, {TiffWriter::kRational, {12, 10, 7, 1}}}});
    const std::string private_data = std::string("Adobe\0MakN", 10) +
                                     EncodeNumber(Order::kMotorola, note.size() + 6, 4) +
                                     (note_order == Order::kIntel ? "II" : "MM") +
                                     EncodeNumber(Order::kMotorola, original_offset, 4) + note;
    TiffWriter w(Order::kIntel);
    const int ifd0 = w.NewIfd();
    w.AddAscii(ifd0, 271, "Canon");
    w.AddBytes(ifd0, 50740, TiffWriter::kByte, private_data);
    TempDir dir;
    auto tif = OpenBytes(dir, "shot.dng", w.Build(), false);
    const TTifIFD& notes = tif->ExifMarkerNotesIFD;
    ASSERT_EQ(notes.Tags.Count(), 2);
    EXPECT_EQ(notes.FindTag(2)->GetValue().AsText(), "0,200");
    EXPECT_EQ(notes.FindTag(7)->RawTagValue(), "12/10,7/1");
  }

  // Private data of another kind: the file's own maker note is read.
  TiffWriter other(Order::kIntel);
  const int ifd0 = other.NewIfd();
  const int exif = other.NewIfd();
  other.AddAscii(ifd0, 271, "Canon");
  other.AddBytes(ifd0, 50740, TiffWriter::kByte, "Other software's data");
  other.AddPointer(ifd0, 34665, exif);
  other.AddPositioned(exif, 37500, NoteWith(Order::kIntel, "", 0, false));
  TempDir dir;
  auto tif = OpenBytes(dir, "other.dng", other.Build(), false);
  ASSERT_EQ(tif->ExifMarkerNotesIFD.Tags.Count(), 2);
  EXPECT_EQ(tif->ExifMarkerNotesIFD.FindTag(7)->RawTagValue(), "12/10,7/1");
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
  EXPECT_EQ(notes.FindTag(2)->GetValue().AsText(), "0,400");
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
  const std::string block = std::string(498, '\0') + std::string("Canon\0EOS D60\0", 14);
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
