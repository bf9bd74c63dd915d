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

std::unique_ptr<TTif> OpenReader(const std::string& file_name) {
  auto reader = std::make_unique<TTif>();
  reader->FileName = file_name;
  reader->Open(true, false);
  return reader;
}

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
// `count` sub-directories in file order, or -1 when there is none. The first sub-directory is
// the raw image; the previews follow it, the medium one first.
int DngPreviewIndex(int32_t min_size, int count) {
  if (min_size <= kLargestMediumPreview && count >= 2) return 1;
  if (count >= 3) return 2;
  if (count == 2) return 1;
  if (count == 1) return 0;
  return -1;
}

}  // namespace

void TQuickLoader::LoadPreview(const std::string& file_name, TJpegGraphic& image) const {
  const std::string extension = UpperCase(ExtractFileExt(file_name));
  if (extension == ".CR2" || extension == ".RAW")
    LoadFirstStrip(file_name, image);
  else if (extension == ".DNG")
    LoadDngPreview(file_name, image);
  else if (extension == ".MRW")
    LoadSidecarJpeg(file_name, image);
  else if (extension == ".PEF" || extension == ".SR2" || extension == ".ARW")
    LoadLargestThumbnail(file_name, image);
  else if (extension == ".ORF")
    LoadMakerNoteThumbnail(file_name, image);
  else if (extension == ".NEF")
    LoadNefPreview(file_name, image);
}

void TQuickLoader::LoadFirstStrip(const std::string& file_name, TJpegGraphic& image) const {
  image.Clear();
  auto reader = OpenReader(file_name);
  if (!reader->HasIFDs()) return;
  uint32_t offset = 0;
  if (!SingleStrip(*reader->IFDs[0], file_name, offset)) return;
  TFileStream file(file_name);
  file.Seek(offset);
  DecodeQuietly(file, image);
}

void TQuickLoader::LoadDngPreview(const std::string& file_name, TJpegGraphic& image) const {
  image.Clear();
  auto reader = OpenReader(file_name);
  if (!reader->HasIFDs()) return;
  if (MinSize <= kLargestTiffThumbnail) {
    LoadLastTiffImage(file_name, image);
    return;
  }
  TTifIFD& main = *reader->IFDs[0];
  const int index = DngPreviewIndex(MinSize, main.SubIFDs.Count());
  if (index < 0) {
    LoadLastTiffImage(file_name, image);
    return;
  }
  uint32_t offset = 0;
  if (!SingleStrip(*main.SubIFDs[index], file_name, offset)) return;

  TFileStream file(file_name);
  file.Seek(offset);
  uint8_t mark[2] = {0, 0};
  if (file.Read(mark, 2) != 2) return;
  if (mark[0] == 0xFF && mark[1] == 0xD8) {
    file.Seek(offset);
    DecodeQuietly(file, image);
  } else {
    LoadLastTiffImage(file_name, image);
  }
}

void TQuickLoader::LoadSidecarJpeg(const std::string& file_name, TJpegGraphic& image) const {
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
  if (MinSize <= kLargestSmallThumbnail) {
    const auto thm = FindFileIgnoringCase(ChangeFileExt(file_name, ".thm"));
    if (thm && decode_sidecar(*thm)) return;
  }
  if (const auto jpg = FindFileIgnoringCase(ChangeFileExt(file_name, ".jpg"))) decode_sidecar(*jpg);
}

void TQuickLoader::LoadLargestThumbnail(const std::string& file_name, TJpegGraphic& image) const {
  image.Clear();
  auto reader = OpenReader(file_name);
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

void TQuickLoader::LoadMakerNoteThumbnail(const std::string& file_name, TJpegGraphic& image) const {
  if (MinSize > kLargestSmallThumbnail) return;
  image.Clear();
  auto reader = OpenReader(file_name);
  TTifTag* tag = reader->FindTag(256, ikMakerNotes);
  if (tag == nullptr) return;
  tag->DataStream.Seek(0);
  DecodeQuietly(tag->DataStream, image);
}

void TQuickLoader::LoadNefPreview(const std::string& file_name, TJpegGraphic& image) const {
  image.Clear();
  auto reader = OpenReader(file_name);
  TMemoryStream* candidate = nullptr;
  if (reader->HasIFDs()) {
    for (const auto& sub : reader->IFDs[0]->SubIFDs) {
      TMemoryStream& thumbnail = sub->ThumbDataStream;
      if (StartsAsJpeg(thumbnail) && (candidate == nullptr || thumbnail.Size() > candidate->Size()))
        candidate = &thumbnail;
    }
  }
  if (candidate == nullptr) {
    LoadLastTiffImage(file_name, image);
    return;
  }
  candidate->Seek(0);
  DecodeQuietly(*candidate, image);
}

}  // namespace morvane
