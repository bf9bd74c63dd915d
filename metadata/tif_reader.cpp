// Opening a file or a stream, whose reader the container table chooses; the TIFF walk with its
// EXIF, interoperability, GPS, IPTC and XMP pointers, the maker notes of ten makers, and the
// queries every caller asks.
#include "metadata/tif_reader.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <set>

#include "metadata/containers.h"
#include "metadata/tag_numbers.h"
#include "platform/byte_view.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "metadata/reader_lock.h"
#include "platform/text.h"

namespace morvane {

namespace {

constexpr int kMaxMainChain = 1024;
// A Nikon type-3 maker note holds a whole TIFF; real files need one level of it.
constexpr int kMaxMakerNoteNesting = 1;

bool HasExtension(const std::string& file_name, std::initializer_list<const char*> extensions) {
  const std::string ext = ExtractFileExt(file_name);
  return std::any_of(extensions.begin(), extensions.end(),
                     [&](const char* e) { return SameText(ext, e); });
}

// The first four value bytes of a pointer tag, little-endian (missing bytes read as zero).
uint32_t PointerValue(const TTifTag& tag) {
  return static_cast<uint32_t>(TByteView(tag.Bytes()).LEZeroFilled(0, 4));
}

// Where a maker-note directory starts, how it is read and what its offsets are relative to.
struct MakerNoteLayout {
  bool read_directory = true;
  std::string ifd_type;
  int64_t start = 0;
  TTifByteOrder byte_order = tboUnknown;
  bool relative_to_notes = false;  // offsets count from `relative` within the notes themselves
  int64_t relative = 0;
  bool reader_settings = true;     // the reader's filter and limits, else none
  bool nikon_embedded_tiff = false;
  bool olympus_sections = false;   // the note's sections are directories of their own
};

// The sections of today's Olympus notes that are read as directories: equipment, camera settings.
bool IsOlympusSection(int tag) { return tag == kTagOlympusEquipment || tag == kTagOlympusCameraSettings; }

bool StartsWithBytes(std::string_view data, std::string_view signature) {
  return data.size() >= signature.size() && data.substr(0, signature.size()) == signature;
}

// The maker note a DNG keeps of its original raw: "Adobe", 0, "MakN", a big-endian count of the
// bytes that follow, the original byte order ("II" or "MM"), the note's big-endian offset in
// the original file, then the note itself. None when the private data holds something else.
struct OriginalMakerNote {
  std::string_view bytes;
  TTifByteOrder byte_order;
  int64_t offset;
};

std::optional<OriginalMakerNote> OriginalMakerNoteOf(const std::vector<uint8_t>& data) {
  const std::string_view view(reinterpret_cast<const char*>(data.data()), data.size());
  constexpr size_t kHead = 20;
  if (view.size() < kHead || !StartsWithBytes(view, std::string_view("Adobe\0MakN", 10))) return std::nullopt;
  TMemoryStream head(view.substr(0, kHead));
  head.Seek(10);
  const uint32_t count = ReadDWord(head, tboMotorola);
  const std::string_view order = view.substr(14, 2);
  head.Seek(16);
  const uint32_t offset = ReadDWord(head, tboMotorola);
  if (count < 6 || (order != "II" && order != "MM")) return std::nullopt;
  const size_t size = std::min<size_t>(count - 6, view.size() - kHead);
  return OriginalMakerNote{view.substr(kHead, size), order == "II" ? tboIntel : tboMotorola, offset};
}

// Appends to `own` a copy of each tag of `found` whose number it lacks.
void MergeMissingTags(TTifIFD& own, const TTifIFD& found) {
  for (const auto& tag : found.Tags)
    if (own.FindTag(tag->TagNumber) == nullptr) own.Tags.Add()->Assign(*tag);
}

}  // namespace

TTif::TTif() {
  ExifIFD.Name = "Exif";
  ExifInterIFD.Name = "InterExif";
  ExifMarkerNotesIFD.Name = "MakerNotes";
  GPSIFD.Name = "Gps";
  IPTCIFD.Name = "IPTC";
}

TTif::~TTif() = default;

void TTif::Clear() {
  IFDs.Clear();
  ExifIFD.Clear();
  ExifInterIFD.Clear();
  ExifMarkerNotesIFD.Clear();
  GPSIFD.Clear();
  IPTCIFD.Clear();
  IPTCResources.Clear();
  XMPData.clear();
  JpgCommentStream.Clear();
  Work = {};
}

void TTif::Open(bool silent, bool quick_scan) {
  if (!FileExists(FileName)) return;
  TLockGuard guard(ReaderLock());
  std::unique_ptr<TFileStream> file;
  try {
    file = std::make_unique<TFileStream>(FileName);
  } catch (const std::exception&) {
    Clear();
    if (!silent) throw;
    return;
  }
  if (!Open(*file, silent, quick_scan)) return;
  try {
    if (!IsJpeg()) LoadXmpSidecar();
  } catch (const std::exception&) {
    if (!silent) throw;
  }
}

bool TTif::Open(TStream& stream, bool silent, bool quick_scan) {
  TLockGuard guard(ReaderLock());
  try {
    Clear();
    return ReadContainer(*this, stream, quick_scan);
  } catch (const std::exception&) {
    if (!silent) throw;
    return false;
  }
}

void TTif::LoadXmpSidecar() {
  const auto sidecar = FindFileIgnoringCase(ChangeFileExt(FileName, ".XMP"));
  if (!sidecar) return;
  TFileStream file(*sidecar);
  XMPData = SplitLines(file.ReadString(static_cast<size_t>(file.Size())));
}

void TTif::ReadDirectoryAt(TTifIFD& directory, TStream& stream, const TTifTag* pointer,
                           int64_t base_offset, TStream* value_stream, bool skip_thumbnail,
                           TWalkBudget& budget) {
  if (pointer == nullptr || pointer->DataStream.Empty()) return;
  const int64_t saved = stream.Position();
  stream.Seek(base_offset + PointerValue(*pointer));
  directory.ReadIFD(FileName, stream, TagFilter, MaxValueSize, FullDng, value_stream, skip_thumbnail,
                    base_offset, ByteOrder, &budget);
  stream.Seek(saved);
}

void TTif::ReadTiff(TStream& stream, int64_t base_offset, TStream* value_stream, bool check_magic,
                    bool quick_scan) {
  char mark[2] = {0, 0};
  if (stream.Read(mark, 2) != 2) {
    ByteOrder = tboUnknown;
    return;
  }
  if (mark[0] == 'I' && mark[1] == 'I') {
    ByteOrder = tboIntel;
  } else if (mark[0] == 'M' && mark[1] == 'M') {
    ByteOrder = tboMotorola;
  } else {
    ByteOrder = tboUnknown;
    return;
  }
  const uint32_t version = ReadWord(stream, ByteOrder);
  if (check_magic && version != 42 && version != 0x4F52 && version != 0x5352 && version != 0x0055 &&
      version != 0xC0E1)
    throw EMorvaneError(kInvalidTif);
  const auto first = static_cast<int32_t>(ReadDWord(stream, ByteOrder));
  if (first < 0) return;

  TWalkBudget budget(stream.Size() + (value_stream != nullptr ? value_stream->Size() : 0));
  const TWalkBudget granted = budget;
  const auto count_work = [&] {
    Work.Directories += granted.directories - budget.directories;
    Work.ValueBytes += granted.value_bytes - budget.value_bytes;
  };
  // The main chain ends at a next offset of 0, one outside the stream, one already read, or
  // after kMaxMainChain directories.
  std::set<int64_t> visited;
  int64_t position = base_offset + first;
  while (static_cast<int>(visited.size()) < kMaxMainChain && visited.insert(position).second) {
    stream.Seek(position);
    const uint32_t next = IFDs.Add()->ReadIFD(FileName, stream, TagFilter, MaxValueSize, FullDng,
                                              value_stream, quick_scan, base_offset, ByteOrder, &budget);
    if (next == 0 || base_offset + next >= stream.Size()) break;
    position = base_offset + next;
  }

  ReadDirectoryAt(ExifIFD, stream, IFDs.FindTag(kTagExifPointer), base_offset, value_stream,
                  quick_scan, budget);
  if (!quick_scan)
    ReadDirectoryAt(ExifInterIFD, stream, ExifIFD.FindTag(kTagInteropPointer), base_offset,
                    value_stream, quick_scan, budget);
  if (quick_scan) {
    count_work();
    return;
  }

  ReadDirectoryAt(GPSIFD, stream, IFDs.FindTag(kTagGpsPointer), base_offset, value_stream, false,
                  budget);
  count_work();

  auto first_with_value = [this](int tag_number) -> const TTifTag* {
    for (const auto& directory : IFDs)
      for (const auto& tag : directory->Tags)
        if (tag->TagNumber == tag_number && !tag->DataStream.Empty()) return tag.get();
    return nullptr;
  };
  if (const TTifTag* iptc = first_with_value(kTagIptc)) ReadIptcFromTag(*iptc);
  if (const TTifTag* xmp = first_with_value(kTagXmp)) {
    const std::vector<uint8_t>& bytes = xmp->Bytes();
    XMPData = SplitLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  ReadMakerNotes(&stream, base_offset);
}

void TTif::ReadMakerNotes(TStream* value_stream, int64_t base_offset) {
  // A DNG keeps its original file's maker note, byte order and offset in its private data;
  // the note's offsets still count from the original file's TIFF header.
  TMemoryStream notes;
  TTifByteOrder notes_order = ByteOrder;
  const TTifTag* private_data = FindTag(kTagDngPrivateData, ikAll);
  const auto original = private_data != nullptr ? OriginalMakerNoteOf(private_data->Bytes()) : std::nullopt;
  if (original) {
    notes = TMemoryStream(original->bytes);
    notes_order = original->byte_order;
    value_stream = &notes;
    base_offset = -original->offset;
  } else {
    const TTifTag* notes_tag = FindTag(kTagMakerNote, ikAll);
    if (notes_tag == nullptr) return;
    notes = TMemoryStream(notes_tag->Bytes());
  }
  if (value_stream == nullptr) value_stream = &notes;
  const std::string make = GetMake();
  ExifMarkerNotesIFD.CameraMake = make;
  if (make.empty()) return;

  const std::string maker = UpperCase(make.substr(0, 5));
  const std::string_view data = notes.View();
  MakerNoteLayout layout;
  layout.byte_order = notes_order;
  layout.relative = base_offset;
  auto from_notes = [&](int64_t start, TTifByteOrder order, int64_t relative) {
    layout.start = start;
    layout.byte_order = order;
    layout.relative_to_notes = true;
    layout.relative = relative;
    layout.reader_settings = false;
  };
  const bool signature_maker = maker == "CASIO" || maker == "MINOL" || maker == "KONIC" || maker == "NIKON";
  if (signature_maker && data.empty()) return;

  if (maker == "CANON") {
    layout.start = 0;
  } else if (maker == "OLYMP") {
    layout.start = 8;
    layout.olympus_sections = true;
    // Today's notes carry their own byte order and count their offsets from the note's start.
    for (const auto& [signature, order_at] : {std::pair{std::string_view("OLYMPUS\0", 8), size_t{8}},
                                              std::pair{std::string_view("OM SYSTEM\0", 10), size_t{12}}}) {
      if (!StartsWithBytes(data, signature) || data.size() < order_at + 4) continue;
      const std::string_view mark = data.substr(order_at, 2);
      if (mark != "II" && mark != "MM") continue;
      layout.start = static_cast<int64_t>(order_at) + 4;
      layout.byte_order = mark == "II" ? tboIntel : tboMotorola;
      layout.relative_to_notes = true;
      layout.relative = 0;
      break;
    }
  } else if (maker == "CASIO") {
    const bool type2 = StartsWithBytes(data, std::string_view("QVC\0\0\0", 6));
    layout.ifd_type = type2 ? "2" : "1";
    layout.start = type2 ? 6 : 0;
    layout.byte_order = tboMotorola;
  } else if (maker == "FUJIF") {
    // "FUJIFILM", then the directory's offset; every offset counts from the note's start.
    const uint32_t directory = TByteView(data).LE32(8).value_or(12);
    from_notes(directory >= 12 && directory < data.size() ? directory : 12, tboIntel, 0);
  } else if (maker == "PANAS" && StartsWithBytes(data, std::string_view("Panasonic\0\0\0", 12))) {
    // A 12-byte header, then a directory whose offsets count from the TIFF header.
    layout.start = 12;
  } else if (maker == "SEIKO" || maker == "SANYO") {
    // An 8-byte header, then a directory whose offsets count from the TIFF header.
    layout.start = 8;
    layout.reader_settings = false;
  } else if (maker == "MINOL" || maker == "KONIC") {
    const std::string_view head = data.substr(0, 8);
    layout.read_directory = false;
    if (StartsWithBytes(head, "MLY")) {
      layout.ifd_type = "1";
    } else if (StartsWithBytes(head, "KC")) {
      layout.ifd_type = "2";
    } else if (StartsWithBytes(head, "+M+M+M+M")) {
      layout.ifd_type = "3";
    } else if (StartsWithBytes(head, "MINOL")) {
      layout.ifd_type = "4";
    } else {
      layout.ifd_type = "5";
      layout.read_directory = true;
    }
  } else if (maker == "NIKON") {
    if (StartsWithBytes(data, std::string_view("Nikon\0\x02", 7))) {
      layout.nikon_embedded_tiff = true;
    } else if (StartsWithBytes(data, std::string_view("Nikon\0\x01", 7))) {
      layout.ifd_type = "1";
      layout.start = 8;
    } else {
      layout.ifd_type = "2";
    }
  } else {
    from_notes(0, tboIntel, 0);
  }

  if (layout.nikon_embedded_tiff) {
    ReadNikonType3(notes);
    return;
  }
  ExifMarkerNotesIFD.IFDType = layout.ifd_type;
  if (!layout.read_directory) return;
  TStream* values = layout.relative_to_notes ? &notes : value_stream;
  notes.Seek(layout.start);
  ExifMarkerNotesIFD.ReadIFD(FileName, notes, layout.reader_settings ? TagFilter : nullptr,
                             layout.reader_settings ? MaxValueSize : -1,
                             layout.reader_settings && FullDng, values, false, layout.relative,
                             layout.byte_order);
  if (layout.olympus_sections) ReadOlympusSections(*values, layout.relative, layout.byte_order);
}

void TTif::ReadOlympusSections(TStream& values, int64_t relative, TTifByteOrder byte_order) {
  // Each section tag points at a directory (or, on older cameras, holds one) whose offsets count
  // from where the note's own offsets count. A section becomes a sub-directory of the maker-note
  // directory named by its tag in IFDType.
  TWalkBudget budget(values.Size());
  const int64_t saved = values.Position();
  for (const auto& tag : ExifMarkerNotesIFD.Tags) {
    if (!IsOlympusSection(tag->TagNumber) || tag->DataStream.Empty()) continue;
    int64_t start = -1;
    if (tag->DataFormat == tdfUndefined && tag->ValueOffset >= 0) {
      start = relative + static_cast<uint32_t>(tag->ValueOffset);
    } else if (tag->DataFormat == tdfUnsignedLong || tag->DataFormat == tdfIFD) {
      if (const auto pointer = TByteView(tag->Bytes()).LE32(0)) start = relative + *pointer;
    }
    if (start < 0 || start + 2 > values.Size()) continue;
    TTifIFD* section = ExifMarkerNotesIFD.SubIFDs.Add();
    section->Name = ExifMarkerNotesIFD.Name;
    section->CameraMake = ExifMarkerNotesIFD.CameraMake;
    section->IFDType = std::to_string(tag->TagNumber);
    values.Seek(start);
    section->ReadIFD(FileName, values, TagFilter, MaxValueSize, FullDng, &values, true, relative, byte_order,
                     &budget);
  }
  values.Seek(saved);
}

void TTif::ReadNikonType3(const TMemoryStream& notes) {
  if (maker_note_nesting_ < kMaxMakerNoteNesting) {
    TTif embedded;
    embedded.FileName = FileName;
    embedded.maker_note_nesting_ = maker_note_nesting_ + 1;
    TMemoryStream tiff;
    tiff.Assign(notes);
    tiff.Seek(10);
    embedded.ReadTiff(tiff, 10, nullptr, true, false);
    if (!embedded.IFDs.Empty()) {
      const TTifIFD& first = *embedded.IFDs[0];
      ExifMarkerNotesIFD.Tags.Assign(first.Tags);
      ExifMarkerNotesIFD.SubIFDs.Assign(first.SubIFDs);
      ExifMarkerNotesIFD.ThumbDataStream.Assign(first.ThumbDataStream);
    }
  }
  ExifMarkerNotesIFD.IFDType = "3";
}

void TTif::ReadEmbeddedJpegExif(const TMemoryStream& jpeg) {
  if (maker_note_nesting_ >= kMaxMakerNoteNesting) return;
  TTif embedded;
  embedded.FileName = FileName;
  embedded.TagFilter = TagFilter;
  embedded.MaxValueSize = MaxValueSize;
  embedded.maker_note_nesting_ = maker_note_nesting_ + 1;
  TMemoryStream stream;
  stream.Assign(jpeg);
  embedded.ReadJpeg(stream, false);
  Work.Directories += embedded.Work.Directories;
  Work.ValueBytes += embedded.Work.ValueBytes;
  // The embedded JPEG holds the camera's whole EXIF; the raw's own directories keep their
  // values, and gain the tags that only the JPEG has.
  if (!embedded.IFDs.Empty() && !IFDs.Empty()) MergeMissingTags(*IFDs[0], *embedded.IFDs[0]);
  for (const auto& [own, found] : {std::pair{&ExifIFD, &embedded.ExifIFD}, std::pair{&ExifInterIFD, &embedded.ExifInterIFD},
                                   std::pair{&GPSIFD, &embedded.GPSIFD}})
    MergeMissingTags(*own, *found);
  if (ExifMarkerNotesIFD.Tags.Empty() && !embedded.ExifMarkerNotesIFD.Tags.Empty()) {
    ExifMarkerNotesIFD.Assign(embedded.ExifMarkerNotesIFD);
    ExifMarkerNotesIFD.Name = "MakerNotes";
  }
}

void TTif::SetIccProfile(TStream* stream) {
  if (stream == nullptr || stream->Size() < 12) return;
  if (IFDs.Empty()) EnsureExifPointer();
  while (TTifTag* old = FindTag(kTagIccProfile, ikAll)) {
    auto* owner = const_cast<TTifTags*>(old->Owner());
    if (owner == nullptr) break;
    owner->Remove(old);
  }
  TTifTag* tag = IFDs[0]->Tags.Add();
  tag->TagNumber = kTagIccProfile;
  tag->DataFormat = tdfUndefined;
  stream->Seek(0);
  tag->DataStream.CopyFrom(*stream, stream->Size());
  tag->DataStream.Seek(0);
  tag->Components = static_cast<int32_t>(tag->DataStream.Size());
}

void TTif::EnsureExifPointer() {
  if (FindTag(kTagExifPointer, ikAll) != nullptr) return;
  if (IFDs.Empty()) IFDs.Add();
  TTifTag* tag = IFDs[0]->Tags.Add();
  tag->TagNumber = kTagExifPointer;
  tag->DataFormat = tdfUnsignedLong;
}

TTifTag* TTif::FindTag(int tag_number, int kinds) const {
  if (kinds & ikBase)
    if (TTifTag* tag = IFDs.FindTag(tag_number)) return tag;
  const std::pair<int, const TTifIFD*> named[] = {{ikExif, &ExifIFD},
                                                  {ikInterExif, &ExifInterIFD},
                                                  {ikMakerNotes, &ExifMarkerNotesIFD},
                                                  {ikIPTC, &IPTCIFD},
                                                  {ikGps, &GPSIFD}};
  for (const auto& [kind, directory] : named)
    if (kinds & kind)
      if (TTifTag* tag = directory->FindTag(tag_number)) return tag;
  return nullptr;
}

TMemoryStream* TTif::GetThumbnailStream() {
  if (!ExifIFD.ThumbDataStream.Empty()) return &ExifIFD.ThumbDataStream;
  for (const auto& directory : IFDs)
    if (!directory->ThumbDataStream.Empty()) return &directory->ThumbDataStream;
  return nullptr;
}

std::string TTif::GetMake() const {
  const TTifTag* tag = FindTag(kTagMake, ikAll);
  return tag != nullptr ? tag->GetValue().AsText() : std::string();
}

std::string TTif::GetModel() const {
  const TTifTag* tag = FindTag(kTagModel, ikAll);
  return tag != nullptr ? tag->GetValue().AsText() : std::string();
}

bool TTif::IsDng() const { return HasExtension(FileName, {".dng"}); }

bool TTif::IsJpeg() const { return HasExtension(FileName, {".jpg", ".jpeg", ".jpe", ".thm"}); }

bool TTif::IsRaw() const {
  if (HasExtension(FileName, {".crw", ".cr2", ".sr2", ".erf", ".raf", ".nef", ".orf", ".srf", ".dng",
                              ".pef", ".raw", ".mrw", ".x3f", ".dcr", ".kdc", ".thm", ".cr3", ".rw2",
                              ".rwl", ".nrw", ".srw", ".3fr", ".iiq"}))
    return true;
  return HasExtension(FileName, {".tif", ".tiff"}) && SameText(GetModel(), "Canon EOS-1DS");
}

bool TTif::IsTiff() const { return HasExtension(FileName, {".tif", ".tiff"}) && !IsRaw(); }

bool TTif::HasGPS() const { return FindTag(kTagGpsPointer, ikAll) != nullptr || !GPSIFD.Tags.Empty(); }

bool TTif::HasIPTC() const { return FindTag(kTagIptc, ikAll) != nullptr || !IPTCIFD.Tags.Empty(); }

std::string TTif::GetJpgComment() const { return std::string(JpgCommentStream.View()); }

std::string SidecarFileName(const std::string& file_name) {
  const auto sidecar = FindFileIgnoringCase(ChangeFileExt(file_name, ".THM"));
  return sidecar ? *sidecar : file_name;
}

bool FindPattern(TStream& stream, std::string_view pattern, int64_t start, int64_t max_pos,
                 int64_t& found) {
  if (pattern.empty() || pattern.size() > static_cast<size_t>(kFindPatternWindow)) return false;
  std::string window(static_cast<size_t>(kFindPatternWindow), '\0');
  stream.Seek(start);
  int64_t window_start = stream.Position();
  size_t n = stream.Read(window.data(), window.size());
  if (n == 0) return false;
  for (;;) {
    const size_t at = std::string_view(window.data(), n).find(pattern);
    if (at != std::string_view::npos) {
      found = window_start + static_cast<int64_t>(at);
      return true;
    }
    stream.Skip(-static_cast<int64_t>(pattern.size() - 1));
    window_start = stream.Position();
    n = stream.Read(window.data(), window.size());
    if (n < pattern.size()) return false;
    if (max_pos > 0 && stream.Position() > max_pos) return false;
  }
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t begin = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(begin, i - begin));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    begin = i + 1;
  }
  if (begin < text.size()) lines.emplace_back(text.substr(begin));
  return lines;
}

}  // namespace morvane
