// Preview strategies by extension. Every strategy reads the metadata in full (sub-directories,
// maker notes, embedded thumbnails) with a silent reader, so a damaged file simply offers
// nothing; decoding failures end a strategy quietly. Opening the raw file a second time is left
// unprotected on purpose: a file locked by another process shows as an error, not as "no thumb".
#include "thumbnail/preview_loader.h"

#include <algorithm>
#include <memory>

#include "metadata/tif_reader.h"
#include "platform/files.h"
#include "platform/text.h"
#include "thumbnail/last_tiff_image.h"

namespace morvane {

namespace {

constexpr int32_t kLargestSmallThumbnail = 160;  // MRW and ORF thumbnails serve up to this size
constexpr int32_t kLargestTiffThumbnail = 256;   // DNG: the TIFF thumbnail serves up to this
constexpr int32_t kLargestMediumPreview = 1024;  // DNG: the medium preview serves up to this

}  // namespace

// Where a strategy reads from: the file by its name, opened anew for each read as a file on disk
// is, or a stream the caller holds (which has no sidecars).
struct TQuickLoader::TSource {
  const std::string& FileName;
  TStream* Stream;

  std::unique_ptr<TTif> OpenReader() const {
    auto reader = std::make_unique<TTif>();
    reader->FileName = FileName;
    if (Stream != nullptr)
      reader->Open(*Stream, true, false);
    else
      reader->Open(true, false);
    return reader;
  }
  // Calls `read` with the file's bytes positioned at `offset`.
  template <typename TRead>
  void ReadAt(uint32_t offset, TRead read) const {
    if (Stream != nullptr) {
      Stream->Seek(offset);
      read(*Stream);
      return;
    }
    TFileStream file(FileName);
    file.Seek(offset);
    read(file);
  }
  void LoadLastTiff(TDibGraphic& image) const {
    if (Stream != nullptr)
      LoadLastTiffImage(*Stream, image);
    else
      LoadLastTiffImage(FileName, image);
  }
};

namespace {

// Decodes a JPEG stream from its start; a failure leaves the image as the decoder left it.
void DecodeQuietly(TStream& stream, TJpegGraphic& image) {
  try {
    image.LoadFromStream(stream);
  } catch (const std::exception&) {
  }
}

// The single strip of a directory, if it has exactly one.
bool SingleStrip(TTifIFD& directory, const std::string& file_name, uint32_t& offset) {
  directory.BuildStrips(file_name);
  if (!directory.Strips || directory.Strips->Count() != 1) return false;
  offset = static_cast<uint32_t>((*directory.Strips)[0]->ValueOffset);
  return true;
}

bool StartsAsJpeg(const TMemoryStream& stream) {
  return stream.Size() >= 2 && stream.Bytes()[0] == 0xFF && stream.Bytes()[1] == 0xD8;
}

// The index of the DNG preview sub-directory that serves a request of `min_size` pixels among
// `count` sub-directories, or -1 when there is none. The reader holds the sub-directory list of a
// big-endian file in reverse order, hence the choice by byte order.
int DngPreviewIndex(int32_t min_size, int count, bool intel) {
  if (min_size <= kLargestMediumPreview && count >= 2) return intel ? 1 : 0;
  if (count >= 3) return intel ? 2 : 1;
  if (count == 2) return intel ? 1 : 0;
  if (count == 1) return 0;
  return -1;
}

}  // namespace

void TQuickLoader::LoadPreview(const std::string& file_name, TJpegGraphic& image) const {
  LoadPreview(TSource{file_name, nullptr}, image);
}

void TQuickLoader::LoadPreview(TStream& stream, const std::string& file_name, TJpegGraphic& image) const {
  LoadPreview(TSource{file_name, &stream}, image);
}

void TQuickLoader::LoadPreview(const TSource& source, TJpegGraphic& image) const {
  const std::string extension = UpperCase(ExtractFileExt(source.FileName));
  if (extension == ".CR2" || extension == ".RAW")
    LoadFirstStrip(source, image);
  else if (extension == ".DNG")
    LoadDngPreview(source, image);
  else if (extension == ".MRW")
    LoadSidecarJpeg(source, image);
  else if (extension == ".PEF" || extension == ".SR2" || extension == ".ARW")
    LoadLargestThumbnail(source, image);
  else if (extension == ".ORF")
    LoadMakerNoteThumbnail(source, image);
  else if (extension == ".NEF")
    LoadNefPreview(source, image);
}

void TQuickLoader::LoadFirstStrip(const TSource& source, TJpegGraphic& image) const {
  image.Clear();
  auto reader = source.OpenReader();
  if (!reader->HasIFDs()) return;
  uint32_t offset = 0;
  if (!SingleStrip(*reader->IFDs[0], source.FileName, offset)) return;
  source.ReadAt(offset, [&image](TStream& file) { DecodeQuietly(file, image); });
}

void TQuickLoader::LoadDngPreview(const TSource& source, TJpegGraphic& image) const {
  image.Clear();
  auto reader = source.OpenReader();
  if (!reader->HasIFDs()) return;
  if (MinSize <= kLargestTiffThumbnail) {
    source.LoadLastTiff(image);
    return;
  }
  TTifIFD& main = *reader->IFDs[0];
  const int index = DngPreviewIndex(MinSize, main.SubIFDs.Count(), reader->ByteOrder == tboIntel);
  if (index < 0) {
    source.LoadLastTiff(image);
    return;
  }
  uint32_t offset = 0;
  if (!SingleStrip(*main.SubIFDs[index], source.FileName, offset)) return;

  // A preview that is not a JPEG is read by libtiff; one whose start is missing is none.
  bool tiff = false;
  source.ReadAt(offset, [&](TStream& file) {
    uint8_t mark[2] = {0, 0};
    if (file.Read(mark, 2) != 2) return;
    tiff = mark[0] != 0xFF || mark[1] != 0xD8;
    if (tiff) return;
    file.Seek(offset);
    DecodeQuietly(file, image);
  });
  if (tiff) source.LoadLastTiff(image);
}

void TQuickLoader::LoadSidecarJpeg(const TSource& source, TJpegGraphic& image) const {
  auto decode_sidecar = [&image](const std::string& path) {
    try {
      TJpegGraphic sidecar;
      sidecar.LoadFromFile(path);
      image.Assign(sidecar);
      return true;
    } catch (const std::exception&) {
      return false;
    }
  };
  if (source.Stream != nullptr) return;  // a stream has no sidecars
  const std::string& file_name = source.FileName;
  if (MinSize <= kLargestSmallThumbnail) {
    const auto thm = FindFileIgnoringCase(ChangeFileExt(file_name, ".thm"));
    if (thm && decode_sidecar(*thm)) return;
  }
  if (const auto jpg = FindFileIgnoringCase(ChangeFileExt(file_name, ".jpg"))) decode_sidecar(*jpg);
}

void TQuickLoader::LoadLargestThumbnail(const TSource& source, TJpegGraphic& image) const {
  image.Clear();
  auto reader = source.OpenReader();
  TMemoryStream* candidate = reader->GetThumbnailStream();
  for (const auto& directory : reader->IFDs) {
    TMemoryStream& thumbnail = directory->ThumbDataStream;
    if (!thumbnail.Empty() && (candidate == nullptr || thumbnail.Size() > candidate->Size()))
      candidate = &thumbnail;
  }
  if (candidate == nullptr) return;
  candidate->Seek(0);
  DecodeQuietly(*candidate, image);
}

void TQuickLoader::LoadMakerNoteThumbnail(const TSource& source, TJpegGraphic& image) const {
  if (MinSize > kLargestSmallThumbnail) return;
  image.Clear();
  auto reader = source.OpenReader();
  TTifTag* tag = reader->FindTag(256, ikMakerNotes);
  if (tag == nullptr) return;
  // The reader keeps a big-endian value mirrored; the JPEG needs its bytes in file order.
  if (reader->ByteOrder == tboMotorola) {
    std::vector<uint8_t>& bytes = tag->DataStream.MutableBytes();
    std::reverse(bytes.begin(), bytes.end());
  }
  tag->DataStream.Seek(0);
  DecodeQuietly(tag->DataStream, image);
}

void TQuickLoader::LoadNefPreview(const TSource& source, TJpegGraphic& image) const {
  image.Clear();
  auto reader = source.OpenReader();
  TMemoryStream* candidate = nullptr;
  if (reader->HasIFDs()) {
    for (const auto& sub : reader->IFDs[0]->SubIFDs) {
      TMemoryStream& thumbnail = sub->ThumbDataStream;
      if (StartsAsJpeg(thumbnail) && (candidate == nullptr || thumbnail.Size() > candidate->Size()))
        candidate = &thumbnail;
    }
  }
  if (candidate == nullptr) {
    source.LoadLastTiff(image);
    return;
  }
  candidate->Seek(0);
  DecodeQuietly(*candidate, image);
}

}  // namespace morvane
