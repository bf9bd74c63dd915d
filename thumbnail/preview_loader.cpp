// Preview lists by extension. Every list reads the metadata in full (sub-directories, maker
// notes, embedded thumbnails) with a silent reader, so a damaged file simply offers nothing; a
// preview whose header does not read is left out, and decoding failures end quietly. The raw
// bytes come from one stream per list: a named file opened when a list first needs it (left
// unprotected on purpose: a file locked by another process shows as an error, not as "no
// thumb"), or the caller's stream, which has no sidecars.
#include "thumbnail/preview_loader.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>

#include "metadata/cr3_reader.h"
#include "metadata/crw_reader.h"
#include "metadata/tag_numbers.h"
#include "metadata/tif_reader.h"
#include "platform/byte_order.h"
#include "platform/files.h"
#include "platform/text.h"
#include "thumbnail/last_tiff_image.h"
#include "thumbnail/thumbnail_maker.h"

namespace morvane {

namespace {

constexpr int kPhotometricCfa = 32803;          // raw sensor data, not a picture
constexpr int kPhotometricLinearRaw = 34892;
constexpr int64_t kRafJpegPointer = 84;         // big-endian offset and length of the JPEG
constexpr int64_t kMaxTiffSide = 65535;

using TReader = std::shared_ptr<TTif>;

int64_t Area(TImageSize size) { return int64_t{size.Width} * size.Height; }

// Decodes a JPEG stream from its position; a failure leaves the image as the decoder left it.
void DecodeQuietly(TStream& stream, TJpegGraphic& image) {
  try {
    image.LoadFromStream(stream);
  } catch (const std::exception&) {
  }
}

int64_t TagNumber(const TTifIFD& directory, int tag_number) {
  const TTifTag* tag = directory.FindTag(tag_number);
  return tag != nullptr ? tag->GetValue().AsInteger() : 0;
}

bool StartsAsJpeg(const TMemoryStream& stream) {
  return stream.Size() >= 2 && stream.Bytes()[0] == 0xFF && stream.Bytes()[1] == 0xD8;
}

class TPreviewList {
 public:
  // The previews of the named file.
  explicit TPreviewList(std::string file_name) : file_name_(std::move(file_name)), sidecars_(true) {}
  // The previews of the caller's stream, which outlives the list and its previews; `type_name`
  // names the type by its extension.
  TPreviewList(TStream& stream, std::string type_name)
      : file_name_(std::move(type_name)), sidecars_(false), raw_(&stream, [](TStream*) {}) {}
  std::vector<TPreview> Take() { return std::move(previews_); }

  const std::string& FileName() const { return file_name_; }
  bool Sidecars() const { return sidecars_; }

  // The raw bytes; throws when the named file cannot be opened.
  TStream& Raw() {
    if (!raw_) raw_ = std::make_shared<TFileStream>(file_name_);
    return *raw_;
  }

  TReader OpenReader() {
    auto reader = std::make_shared<TTif>();
    reader->FileName = file_name_;
    reader->Open(Raw(), true, false);
    return reader;
  }

  // A JPEG held in memory by the reader, which the preview keeps alive.
  void AddStream(const TReader& reader, TMemoryStream& stream) {
    if (!StartsAsJpeg(stream)) return;
    for (const TMemoryStream* listed : streams_)
      if (listed == &stream) return;
    streams_.push_back(&stream);
    stream.Seek(0);
    const auto size = TJpegGraphic::ReadSize(stream);
    if (!size) return;
    previews_.push_back({*size, [reader, &stream](TJpegGraphic& image) {
                           stream.Seek(0);
                           DecodeQuietly(stream, image);
                         }});
  }

  // A JPEG inside the raw file at `offset`; the decoder reads as far as its data goes.
  void AddFileJpeg(int64_t offset) {
    TStream& file = Raw();
    if (offset < 0 || offset + 2 > file.Size()) return;
    file.Seek(offset);
    uint8_t mark[2] = {0, 0};
    if (file.Read(mark, 2) != 2 || mark[0] != 0xFF || mark[1] != 0xD8) return;
    file.Seek(offset);
    const auto size = TJpegGraphic::ReadSize(file);
    if (!size) return;
    previews_.push_back({*size, [raw = raw_, offset](TJpegGraphic& image) {
                           raw->Seek(offset);
                           DecodeQuietly(*raw, image);
                         }});
  }

  // A JPEG file of its own beside the raw file.
  void AddSidecar(const std::string& path) {
    std::optional<TImageSize> size;
    try {
      TFileStream file(path);
      size = TJpegGraphic::ReadSize(file);
    } catch (const std::exception&) {
    }
    if (!size) return;
    previews_.push_back({*size, [path](TJpegGraphic& image) {
                           try {
                             TJpegGraphic sidecar;
                             sidecar.FitFor = image.FitFor;
                             sidecar.LoadFromFile(path);
                             image.Assign(sidecar);
                           } catch (const std::exception&) {
                           }
                         }});
  }

  // The last directory of the main chain, decoded by libtiff (for NEF and DNG files normally
  // the small RGB thumbnail of IFD0), with the size its tags give.
  void AddLastTiffImage(const TTif& reader) {
    if (!reader.HasIFDs()) return;
    Raw();
    const TTifIFD& last = *reader.IFDs[reader.IFDs.Count() - 1];
    const int64_t width = TagNumber(last, kTagImageWidth), height = TagNumber(last, kTagImageLength);
    if (width <= 0 || height <= 0 || width > kMaxTiffSide || height > kMaxTiffSide) return;
    previews_.push_back({{static_cast<int>(width), static_cast<int>(height)},
                         [raw = raw_](TJpegGraphic& image) { LoadLastTiffImage(*raw, image); }});
  }

  // The embedded thumbnails of every directory: EXIF first, then the main chain, then IFD0's
  // sub-directories.
  void AddThumbnailStreams(const TReader& reader) {
    AddStream(reader, reader->ExifIFD.ThumbDataStream);
    for (const auto& directory : reader->IFDs) AddStream(reader, directory->ThumbDataStream);
    if (reader->HasIFDs())
      for (const auto& sub : reader->IFDs[0]->SubIFDs) AddStream(reader, sub->ThumbDataStream);
  }

 private:
  std::string file_name_;
  bool sidecars_;
  std::shared_ptr<TStream> raw_;
  std::vector<TPreview> previews_;
  std::vector<const TMemoryStream*> streams_;
};

// The single strip of a directory, if it has exactly one.
bool SingleStrip(TTifIFD& directory, const std::string& file_name, int64_t& offset) {
  directory.BuildStrips(file_name);
  if (!directory.Strips || directory.Strips->Count() != 1) return false;
  offset = static_cast<uint32_t>((*directory.Strips)[0]->ValueOffset);
  return true;
}

void ListFirstStrip(TPreviewList& list) {
  const TReader reader = list.OpenReader();
  if (!reader->HasIFDs()) return;
  int64_t offset = 0;
  if (SingleStrip(*reader->IFDs[0], list.FileName(), offset)) list.AddFileJpeg(offset);
  list.AddThumbnailStreams(reader);
}

void ListDngPreviews(TPreviewList& list) {
  const TReader reader = list.OpenReader();
  if (!reader->HasIFDs()) return;
  for (const auto& sub : reader->IFDs[0]->SubIFDs) {
    const int64_t photometric = TagNumber(*sub, kTagPhotometric);
    if (photometric == kPhotometricCfa || photometric == kPhotometricLinearRaw) continue;
    int64_t offset = 0;
    if (SingleStrip(*sub, list.FileName(), offset)) list.AddFileJpeg(offset);
  }
  list.AddThumbnailStreams(reader);
  list.AddLastTiffImage(*reader);
}

void ListNefPreviews(TPreviewList& list) {
  const TReader reader = list.OpenReader();
  list.AddThumbnailStreams(reader);
  list.AddLastTiffImage(*reader);
}

void ListThumbnails(TPreviewList& list) {
  list.AddThumbnailStreams(list.OpenReader());
}

void ListOrfPreviews(TPreviewList& list) {
  const TReader reader = list.OpenReader();
  if (TTifTag* tag = reader->FindTag(kTagOlympusThumbnail, ikMakerNotes)) list.AddStream(reader, tag->DataStream);
  list.AddThumbnailStreams(reader);
}

// The TIFF header of an MRW file: the first "MM" of its first 1024 bytes, as the reader finds it.
std::optional<int64_t> MrwTiffStart(TStream& file) {
  file.Seek(0);
  TMemoryStream head;
  head.CopyFrom(file, std::min<int64_t>(file.Size(), 1024));
  int64_t start = 0;
  if (head.Size() < 2 || head.Bytes()[0] != 0 || head.Bytes()[1] != 'M' || !FindPattern(head, "MM", 0, 0, start))
    return std::nullopt;
  return start;
}

void ListMrwPreviews(TPreviewList& list) {
  if (list.Sidecars())
    if (const auto jpg = FindFileIgnoringCase(ChangeFileExt(list.FileName(), ".jpg"))) list.AddSidecar(*jpg);
  const TReader reader = list.OpenReader();
  if (TTifTag* tag = reader->FindTag(kTagMinoltaThumbnail, ikMakerNotes)) list.AddStream(reader, tag->DataStream);
  const TTifTag* start = reader->FindTag(kTagMinoltaPreviewStart, ikMakerNotes);
  const TTifTag* length = reader->FindTag(kTagMinoltaPreviewLength, ikMakerNotes);
  const auto tiff_start = MrwTiffStart(list.Raw());
  if (start != nullptr && length != nullptr && tiff_start && length->GetValue().AsInteger() > 2)
    list.AddFileJpeg(*tiff_start + start->GetValue().AsInteger());
  list.AddThumbnailStreams(reader);
}

void ListRafPreviews(TPreviewList& list) {
  TStream& file = list.Raw();
  if (file.Size() >= kRafJpegPointer + 8) {
    file.Seek(kRafJpegPointer);
    const int64_t offset = ReadDWord(file, tboMotorola);
    list.AddFileJpeg(offset);
  }
  list.AddThumbnailStreams(list.OpenReader());
}

void ListCrwPreviews(TPreviewList& list) {
  std::vector<int64_t> offsets;
  {
    TStream& file = list.Raw();
    file.Seek(0);
    for (const uint32_t type : {kCrwRecordJpgFromRaw, kCrwRecordThumbnail})
      if (const auto record = FindCrwRecord(file, type); record && record->Size > 2) offsets.push_back(record->Offset);
  }
  for (const int64_t offset : offsets) list.AddFileJpeg(offset);
}

void ListCr3Previews(TPreviewList& list) {
  const TCr3Pictures pictures = FindCr3Pictures(list.Raw());
  for (const auto& picture : {pictures.Thumbnail, pictures.Preview, pictures.FullSize})
    if (picture) list.AddFileJpeg(picture->Offset);
}

void ListRw2Previews(TPreviewList& list) {
  const TReader reader = list.OpenReader();
  if (reader->HasIFDs())
    if (TTifTag* tag = reader->IFDs[0]->FindTag(kTagJpgFromRaw)) list.AddStream(reader, tag->DataStream);
  list.AddThumbnailStreams(reader);
}

}  // namespace

std::vector<size_t> ChoosePreviews(const std::vector<TImageSize>& sizes, int32_t min_size) {
  std::vector<size_t> order(sizes.size());
  std::iota(order.begin(), order.end(), size_t{0});
  const auto covers = [&](size_t i) { return TMRV::Covers(sizes[i], min_size, min_size); };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    if (covers(a) != covers(b)) return covers(a);
    return covers(a) ? Area(sizes[a]) < Area(sizes[b]) : Area(sizes[a]) > Area(sizes[b]);
  });
  return order;
}

void ListByType(TPreviewList& list) {
  const std::string extension = UpperCase(ExtractFileExt(list.FileName()));
  try {
    if (extension == ".CR2" || extension == ".RAW")
      ListFirstStrip(list);
    else if (extension == ".DNG")
      ListDngPreviews(list);
    else if (extension == ".NEF" || extension == ".NRW" || extension == ".3FR")
      ListNefPreviews(list);
    else if (extension == ".CR3")
      ListCr3Previews(list);
    else if (extension == ".RW2" || extension == ".RWL")
      ListRw2Previews(list);
    else if (extension == ".PEF" || extension == ".SR2" || extension == ".ARW" || extension == ".SRW" ||
             extension == ".IIQ")
      ListThumbnails(list);
    else if (extension == ".ORF")
      ListOrfPreviews(list);
    else if (extension == ".MRW")
      ListMrwPreviews(list);
    else if (extension == ".RAF")
      ListRafPreviews(list);
    else if (extension == ".CRW")
      ListCrwPreviews(list);
  } catch (const EReadError&) {
    // A preview pointer beyond the file's end: the previews listed so far stand.
  }
}

TImageSize LoadChosen(const std::vector<TPreview>& previews, int32_t min_size, TJpegGraphic& image) {
  std::vector<TImageSize> sizes;
  for (const TPreview& preview : previews) sizes.push_back(preview.Size);
  for (const size_t i : ChoosePreviews(sizes, min_size)) {
    previews[i].Decode(image);
    if (!image.Empty()) return previews[i].Size;
  }
  return {};
}

std::vector<TPreview> TQuickLoader::ListPreviews(const std::string& file_name) const {
  TPreviewList list(file_name);
  const std::string sidecar = SidecarFileName(file_name);
  if (SameText(ExtractFileExt(sidecar), ".thm")) list.AddSidecar(sidecar);
  ListByType(list);
  return list.Take();
}

std::vector<TPreview> TQuickLoader::ListPreviews(TStream& stream, const std::string& type_name) const {
  TPreviewList list(stream, type_name);
  ListByType(list);
  return list.Take();
}

TImageSize TQuickLoader::LoadPreview(const std::string& file_name, TJpegGraphic& image) const {
  image.Clear();
  return LoadChosen(ListPreviews(file_name), MinSize, image);
}

TImageSize TQuickLoader::LoadPreview(TStream& stream, const std::string& type_name, TJpegGraphic& image) const {
  image.Clear();
  return LoadChosen(ListPreviews(stream, type_name), MinSize, image);
}

}  // namespace morvane
